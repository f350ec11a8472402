#include "printservice.h"

#include "druckdlg.h"
#include "minidruckdlg.h"
#include "pagelayout.h"

#include "imagecontrol/pmultiimage.h"
#include "platform/hourglass.h"
#include "platform/messagebox.h"
#include "platform/printdialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QScopedValueRollback>
#include <QStandardPaths>

namespace {

// A PDF printer prints at a usual printer's resolution.
constexpr int kPdfResolution = 300;

// Restores the control's P_Begin_End_Doc on every way out.
class BeginEndDocGuard {
public:
    explicit BeginEndDocGuard(TPMultiImage& image) : image_(image), saved_(image.P_Begin_End_Doc)
    {
        image.P_Begin_End_Doc = true;
    }
    ~BeginEndDocGuard() { image_.P_Begin_End_Doc = saved_; }
    BeginEndDocGuard(const BeginEndDocGuard&) = delete;
    BeginEndDocGuard& operator=(const BeginEndDocGuard&) = delete;

private:
    TPMultiImage& image_;
    bool saved_;
};

}  // namespace

PrintService::PrintService(QWidget* owner)
    : QObject(owner), owner_(owner)
{
}

// Made on first use: asking the system for its printers takes a moment.
QPrinter& PrintService::printer()
{
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        usePdfResolution();
    }
    return *printer_;
}

void PrintService::usePdfResolution()
{
    if (printer().outputFormat() == QPrinter::PdfFormat && printer().resolution() != kPdfResolution)
        printer().setResolution(kPdfResolution);
}

PrintService::~PrintService()
{
    delete options_;
    delete sheet_;
}

TDruckDlg* PrintService::optionsDialog() const
{
    return options_;
}

TMiniDruckDlg* PrintService::contactSheetDialog() const
{
    return sheet_;
}

int PrintService::showModal(QDialog& dialog)
{
    return ShowModal ? ShowModal(dialog) : dialog.exec();
}

void PrintService::proposeOutputName(const QString& name)
{
    if (printer().outputFormat() != QPrinter::PdfFormat)
        return;
    QString folder = printer().outputFileName().isEmpty() ? QString()
                                                          : QFileInfo(printer().outputFileName()).absolutePath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    printer().setOutputFileName(QDir(folder).filePath(name));
}

PrintOutcome PrintService::runJob(PrintJob& job)
{
    if (OnProgress)
        job.OnProgress = [this, &job](int done, int count) { OnProgress(job, done, count); };
    return finish(job.run(owner_));
}

PrintOutcome PrintService::finish(PrintOutcome outcome)
{
    if (outcome.status == PrintOutcome::Failed && !outcome.message.isEmpty())
        MessageBox::warning(owner_, QStringLiteral("Drucken"), outcome.message);
    return outcome;
}

PrintOutcome PrintService::PrintPicture(TPMultiImage& image)
{
    const PrintOutcome nothing{PrintOutcome::Cancelled, {}};
    const TBitmap& picture = image.Picture();
    if (busy_ || picture.empty() || picture.width() < 1 || picture.height() < 1 || printer().width() < 1
        || printer().height() < 1)
        return nothing;
    const QScopedValueRollback<bool> busy(busy_, true);
    BeginEndDocGuard guard(image);
    if (!options_)
        options_ = new TDruckDlg(owner_);
    TDruckDlg& dialog = *options_;
    dialog.setPrinter(&printer());
    dialog.setPrintBitmap(picture);
    dialog.takePrinterOrientation();
    dialog.UpdatePreview();
    if (showModal(dialog) != QDialog::Accepted)
        return nothing;
    const QString base = QFileInfo(image.ImageName()).completeBaseName();
    proposeOutputName((base.isEmpty() ? QStringLiteral("Bild") : base) + ".pdf");
    if (!PrintDialogs::print(owner_, printer()))
        return nothing;
    usePdfResolution();
    HourglassCursor wait;
    const QSize page(printer().width(), printer().height());
    image.PrintAnnotations = dialog.printAnnotations();
    const QRect r = PrintRectangle(QSize(picture.width(), picture.height()), page, dialog.options());
    return finish(PrintImage(image, printer(), r.x(), r.y(), r.height(), r.width(), BurnAnnotations, owner_));
}

PrintOutcome PrintService::PrintContactSheet(const QList<ContactSheetItem>& items)
{
    const PrintOutcome nothing{PrintOutcome::Cancelled, {}};
    if (busy_ || items.isEmpty() || printer().width() < 1 || printer().height() < 1)
        return nothing;
    const QScopedValueRollback<bool> busy(busy_, true);
    if (!sheet_)
        sheet_ = new TMiniDruckDlg(owner_);
    TMiniDruckDlg& dialog = *sheet_;
    dialog.setPrinter(&printer());
    dialog.setItems(items);
    dialog.takePrinterOrientation();
    dialog.UpdateSheet();
    if (showModal(dialog) != QDialog::Accepted)
        return nothing;
    proposeOutputName(QStringLiteral("Miniaturbilder.pdf"));
    if (!PrintDialogs::print(owner_, printer()))
        return nothing;
    usePdfResolution();
    const ContactSheetPages pages(items, dialog.options(), printer());
    PrintJob job(printer(), pages.pageCount(), [&pages](QPainter& painter, int page, const std::atomic<bool>& cancel) {
        return pages.render(painter, page, cancel);
    });
    job.ProgressText = QStringLiteral("Miniaturbilder: Seite %1 von %2 wird gedruckt...");
    return runJob(job);
}
