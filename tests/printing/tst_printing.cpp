// Printing to PDF files: the options dialog and its preview, the print
// action, PrintImage, contact sheets, and jobs that are cancelled or whose
// printer fails; the files are read back with poppler's tools.
#include "pdfprobe.h"

#include "printing/contactsheetpages.h"
#include "printing/druckdlg.h"
#include "printing/minidruckdlg.h"
#include "printing/printimage.h"
#include "printing/printjob.h"
#include "printing/printservice.h"

#include "imagecontrol/pmultiimage.h"
#include "platform/fileops.h"
#include "platform/messagebox.h"
#include "platform/printdialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace {

const QString kCorpus = QStringLiteral(KV_SOURCE_DIR "/../shared/corpus");
constexpr int kProbeDpi = 60;

// A4 at 300 dpi with 10 mm margins, printing into file.
void setUpPdf(QPrinter& printer, const QString& file, QPageLayout::Orientation orientation)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(300);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    printer.setPageOrientation(orientation);
    printer.setOutputFileName(file);
}

// millimetres on the paper to pixels of a page rendered at kProbeDpi
int px(double mm)
{
    return int(std::lround(mm * kProbeDpi / 25.4));
}

void verifyNear(const QRect& seen, const QRect& expected, int tolerance = 2)
{
    const bool near = std::abs(seen.left() - expected.left()) <= tolerance
                   && std::abs(seen.top() - expected.top()) <= tolerance
                   && std::abs(seen.right() - expected.right()) <= tolerance
                   && std::abs(seen.bottom() - expected.bottom()) <= tolerance;
    if (!near)
        qWarning() << "seen" << seen << "expected" << expected;
    QVERIFY(near);
}

QStringList hiddenFiles(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden).filter(QRegularExpression("^\\."));
}

QByteArray contents(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QImage pattern(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

QList<ContactSheetItem> generatedItems(const QTemporaryDir& dir, int count)
{
    QList<ContactSheetItem> items;
    for (int i = 0; i < count; ++i) {
        const QImage image = pattern(60 + i, 40, QColor(20 * (i % 10), 60, 120));
        const QString file = dir.filePath(QString("bild%1.png").arg(i));
        image.save(file);
        items << ContactSheetItem{file, 0, 0, image.size(), image.scaled(30, 20)};
    }
    return items;
}

}  // namespace

class PrintingTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QList<MessageBox::Request> messages_;

    // Scripted dialogs: the options dialog ticks what tick says and answers
    // answer; the print dialog prints into file.
    void script(PrintService& service, const QString& file, std::function<void(QDialog&)> tick = {},
                int answer = QDialog::Accepted)
    {
        service.ShowModal = [tick, answer](QDialog& dialog) {
            if (tick)
                tick(dialog);
            return answer;
        };
        PrintDialogs::setScript([file](PrintDialogs::Kind kind, QPrinter& printer) {
            if (kind == PrintDialogs::Kind::Print)
                printer.setOutputFileName(file);
            return true;
        });
    }

private slots:
    void init()
    {
        messages_.clear();
        MessageBox::setScript([this](const MessageBox::Request& r) {
            messages_ << r;
            return QMessageBox::Ok;
        });
    }

    void cleanup()
    {
        MessageBox::setScript({});
        PrintDialogs::setScript({});
        fileops::setFaultHook({});
    }

    void optionsDialogPreview()
    {
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, dir_.filePath("unused.pdf"), QPageLayout::Portrait);
        TDruckDlg dialog;
        dialog.setPrinter(&printer);
        dialog.setPrintBitmap(TBitmap(pattern(1500, 1000, Qt::darkBlue), pf24bit));
        dialog.takePrinterOrientation();
        auto* fit = dialog.findChild<QCheckBox*>("CheckBox1");
        auto* distort = dialog.findChild<QCheckBox*>("CheckBox4");
        auto* centre = dialog.findChild<QCheckBox*>("CheckBox2");
        auto* landscape = dialog.findChild<QRadioButton*>("RadioButton2");
        QVERIFY(fit && distort && centre && landscape);
        QVERIFY(dialog.findChild<QRadioButton*>("RadioButton1")->isChecked());
        dialog.UpdatePreview();
        const QSize page(printer.width(), printer.height());
        const QSize panel = PaperPanelSize(page, true);
        QCOMPARE(dialog.paperPanel()->size(), panel);
        QCOMPARE(panel.height(), 200);
        // unfitted: the picture at its printed size relative to the paper
        QVERIFY(!distort->isEnabled());
        const QSize shown = dialog.preview()->Picture().image().size();
        QCOMPARE(shown, PreviewPictureSize(QSize(1500, 1000), page, panel));
        QVERIFY(shown.width() < panel.width());
        // distortion stays disabled and without effect until fit is ticked
        distort->setChecked(true);
        QVERIFY(!dialog.preview()->Stretch());
        fit->setChecked(true);
        QVERIFY(distort->isEnabled());
        QVERIFY(dialog.preview()->Stretch());
        distort->setChecked(false);
        QVERIFY(dialog.preview()->StretchRatio());
        QCOMPARE(dialog.preview()->Picture().width(), 1500);
        centre->setChecked(true);
        QVERIFY(dialog.preview()->Center());
        // the orientation button turns the printer
        landscape->click();
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
        QCOMPARE(dialog.paperPanel()->width(), 200);
        QVERIFY(dialog.paperPanel()->height() < 200);
        QCOMPARE(dialog.options().fitToPaper, true);
        QCOMPARE(dialog.options().center, true);
    }

    void photoPrintsWhereTheOptionsPutIt_data()
    {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<bool>("fit");
        QTest::addColumn<QRectF>("millimetres");   // the picture on the paper, worked out by hand
        // A4 inside 10 mm margins: 190 x 277 mm. Fitted, 1920 x 1280 is
        // 190 x 126.67 mm, centred 75.17 mm below the printable top.
        QTest::newRow("portrait fitted centred") << false << true << QRectF(10, 85.17, 190, 126.67);
        // One pixel per printer pixel at 300 dpi: 162.56 x 108.37 mm on a
        // 277 x 190 mm landscape printable area, centred.
        QTest::newRow("landscape natural centred") << true << false << QRectF(67.22, 50.82, 162.56, 108.37);
    }

    void photoPrintsWhereTheOptionsPutIt()
    {
        QFETCH(bool, landscape);
        QFETCH(bool, fit);
        QFETCH(QRectF, millimetres);
        const QString photo = kCorpus + "/jpeg/mate-backgrounds--Storm.jpg";
        if (!QFileInfo::exists(photo))
            QSKIP("the shared picture corpus is not here");
        TPMultiImage image;
        image.setImageName(photo);
        QCOMPARE(image.Picture().width(), 1920);
        const QString pdf = dir_.filePath(QString("storm-%1.pdf").arg(landscape));
        PrintService service(nullptr);
        setUpPdf(service.printer(), pdf, landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        script(service, pdf, [fit](QDialog& d) {
            d.findChild<QCheckBox*>("CheckBox1")->setChecked(fit);
            d.findChild<QCheckBox*>("CheckBox2")->setChecked(true);
        });
        QCOMPARE(service.PrintPicture(image).status, PrintOutcome::Printed);
        QVERIFY(messages_.isEmpty());

        const pdfprobe::Info info = pdfprobe::info(pdf);
        QCOMPARE(info.pages, 1);
        const QSizeF a4 = landscape ? QSizeF(841.89, 595.28) : QSizeF(595.28, 841.89);
        QVERIFY(std::abs(info.pagePoints.width() - a4.width()) < 1);
        QVERIFY(std::abs(info.pagePoints.height() - a4.height()) < 1);
        const QImage page = pdfprobe::page(pdf, 1, kProbeDpi);
        QVERIFY(!page.isNull());
        const QRect expected(QPoint(px(millimetres.left()), px(millimetres.top())),
                             QPoint(px(millimetres.right()) - 1, px(millimetres.bottom()) - 1));
        verifyNear(pdfprobe::inkBox(page), expected);
        QVERIFY(hiddenFiles(dir_.path()).isEmpty());
        const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::WriteGroup
                       | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFile::permissions(pdf) & all, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }

    void printActionStepsAside()
    {
        PrintService service(nullptr);
        const QString pdf = dir_.filePath("aside.pdf");
        setUpPdf(service.printer(), pdf, QPageLayout::Portrait);
        int shown = 0;
        bool printDialog = false;
        service.ShowModal = [&](QDialog&) { return ++shown, QDialog::Rejected; };
        PrintDialogs::setScript([&](PrintDialogs::Kind, QPrinter& printer) {
            printDialog = true;
            printer.setOutputFileName(pdf);
            return false;
        });
        // no picture: nothing at all
        TPMultiImage image;
        QCOMPARE(service.PrintPicture(image).status, PrintOutcome::Cancelled);
        QCOMPARE(shown, 0);
        QVERIFY(!service.optionsDialog());
        // cancel in the options dialog: no print dialog
        image.setPicture(TBitmap(pattern(40, 30, Qt::red), pf24bit));
        image.P_Begin_End_Doc = false;
        QCOMPARE(service.PrintPicture(image).status, PrintOutcome::Cancelled);
        QCOMPARE(shown, 1);
        QVERIFY(!printDialog);
        QVERIFY(!image.P_Begin_End_Doc);
        // cancel in the print dialog: no file; the dialog is kept
        TDruckDlg* dialog = service.optionsDialog();
        service.ShowModal = [](QDialog&) { return int(QDialog::Accepted); };
        QCOMPARE(service.PrintPicture(image).status, PrintOutcome::Cancelled);
        QVERIFY(printDialog);
        QVERIFY(!QFileInfo::exists(pdf));
        QCOMPARE(service.optionsDialog(), dialog);
        // confirmed: a job of its own although the control had it off, then off again
        script(service, pdf);
        QCOMPARE(service.PrintPicture(image).status, PrintOutcome::Printed);
        QCOMPARE(pdfprobe::info(pdf).pages, 1);
        QVERIFY(!image.P_Begin_End_Doc);
        QVERIFY(!image.PrintAnnotations);
    }

    void printImageIntoAnOpenJob()
    {
        // without P_Begin_End_Doc two pictures share the caller's job
        QPrinter printer(QPrinter::HighResolution);
        const QString pdf = dir_.filePath("two.pdf");
        setUpPdf(printer, pdf, QPageLayout::Portrait);
        TPMultiImage image;
        image.P_Begin_End_Doc = false;
        image.setPicture(TBitmap(pattern(300, 150, Qt::black), pf24bit));
        QPainter job(&printer);
        QCOMPARE(PrintImage(image, printer, 0, 0, 0, 0, {}, nullptr, &job).status, PrintOutcome::Printed);
        QVERIFY(printer.newPage());
        // a width or height below 1 means the picture's own size
        QCOMPARE(PrintImage(image, printer, 300, 600, 600, 0, {}, nullptr, &job).status, PrintOutcome::Printed);
        QVERIFY(job.end());
        QCOMPARE(pdfprobe::info(pdf).pages, 2);
        // 300 x 150 printer pixels at 300 dpi from the 10 mm margin: 25.4 x 12.7 mm
        const QImage second = pdfprobe::page(pdf, 2, kProbeDpi);
        verifyNear(pdfprobe::inkBox(second), QRect(QPoint(px(10 + 25.4), px(10 + 50.8)),
                                                  QPoint(px(10 + 50.8) - 1, px(10 + 63.5) - 1)));
    }

    void annotationsBurntInOnlyWhenAsked()
    {
        TPMultiImage image;
        image.setPicture(TBitmap(pattern(8, 8, Qt::white), pf16bit));
        int burns = 0;
        const AnnotationBurner burn = [&](const TPMultiImage&, const QImage& picture) {
            ++burns;
            return picture;
        };
        image.PrintAnnotations = true;
        const QImage printable = PrintablePicture(image, burn);
        // the control holds no annotations yet: nothing to burn
        QCOMPARE(burns, 0);
        QCOMPARE(printable.format(), QImage::Format_RGB888);
    }

    void theControlsOwnLayerBurnsWithoutABurner()
    {
        TPMultiImage image;
        image.setPicture(TBitmap(pattern(200, 150, Qt::white), pf24bit));
        // a copy: the test data stays as it is whatever the control writes
        const QString annotations = dir_.filePath("allkinds.ant");
        QVERIFY(QFile::copy(QStringLiteral(KV_SOURCE_DIR "/tests/data/codec/allkinds.ant"), annotations));
        image.LoadAnnotations(7, annotations);
        QCOMPARE(image.AnnotationCount(), 6);
        const QImage plain = PrintablePicture(image, {});
        QCOMPARE(plain, image.Picture().image());
        image.PrintAnnotations = true;
        const QImage burnt = PrintablePicture(image, {});
        QCOMPARE(burnt.size(), plain.size());
        QVERIFY(burnt != plain);
        QCOMPARE(image.Picture().image(), plain);   // the shown picture keeps no trace
    }

    void pagesRenderOnAWorkerWhileTheWindowGoesOn()
    {
        QPrinter printer(QPrinter::HighResolution);
        const QString pdf = dir_.filePath("worker.pdf");
        setUpPdf(printer, pdf, QPageLayout::Portrait);
        QSemaphore uiRan;
        QThread* drawnOn = nullptr;
        bool uiSeen = false;
        PrintJob job(printer, 2, [&](QPainter& p, int page, const std::atomic<bool>&) {
            drawnOn = QThread::currentThread();
            // the UI thread handles its events while the page is drawn
            if (page == 0)
                uiSeen = uiRan.tryAcquire(1, 60000);
            p.fillRect(QRect(0, 0, 100, 100), Qt::black);
            return true;
        });
        QList<int> progress;
        job.OnProgress = [&](int done, int count) {
            QCOMPARE(QThread::currentThread(), qApp->thread());
            progress << done * 10 + count;
        };
        QTimer::singleShot(0, [&] { uiRan.release(); });
        QCOMPARE(job.run(nullptr).status, PrintOutcome::Printed);
        QVERIFY(uiSeen);
        QVERIFY(drawnOn && drawnOn != qApp->thread());
        QCOMPARE(progress, QList<int>({12, 22}));
        QCOMPARE(pdfprobe::info(pdf).pages, 2);
    }

    void cancelledJobLeavesTheOldFile()
    {
        QPrinter printer(QPrinter::HighResolution);
        const QString pdf = dir_.filePath("cancel.pdf");
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        setUpPdf(printer, pdf, QPageLayout::Portrait);
        QSemaphore cancelled;
        int drawn = 0;
        PrintJob job(printer, 3, [&](QPainter&, int page, const std::atomic<bool>& cancel) {
            if (page == 1) {
                cancelled.tryAcquire(1, 60000);
                return !cancel;
            }
            ++drawn;
            return true;
        });
        job.OnProgress = [&](int done, int) {
            if (done == 1) {
                job.cancel();
                cancelled.release();
            }
        };
        QCOMPARE(job.run(nullptr).status, PrintOutcome::Cancelled);
        QCOMPARE(drawn, 1);
        QCOMPARE(contents(pdf), QByteArray("old"));
        QVERIFY(hiddenFiles(dir_.path()).isEmpty());
        QCOMPARE(printer.outputFileName(), pdf);
    }

    void failingPrinterEndsTheJobWithAGermanMessage()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("sheet.pdf");
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        PrintService service(nullptr);
        setUpPdf(service.printer(), pdf, QPageLayout::Portrait);
        script(service, pdf, [](QDialog& d) { d.findChild<QSpinBox*>("SpinSpalten")->setValue(1); });
        // the printer goes away after its second page
        int pages = 0;
        fileops::setFaultHook([&](fileops::Op op, const QString& path) {
            return op == fileops::Op::Write && path == pdf && ++pages == 2;
        });
        const PrintOutcome outcome = service.PrintContactSheet(generatedItems(dir, 12));
        QCOMPARE(outcome.status, PrintOutcome::Failed);
        QCOMPARE(messages_.size(), 1);
        QCOMPARE(messages_[0].caption, QString("Drucken"));
        QCOMPARE(messages_[0].icon, QMessageBox::Warning);
        QVERIFY2(messages_[0].text.contains("bei Seite 2 von"), qPrintable(messages_[0].text));
        QVERIFY(messages_[0].text.contains("Es wurde nichts gedruckt."));
        QCOMPARE(contents(pdf), QByteArray("old"));
        QVERIFY(hiddenFiles(dir.path()).isEmpty());

        // the finished file cannot take the place of the old one
        messages_.clear();
        fileops::setFaultHook([&](fileops::Op op, const QString& path) {
            return op == fileops::Op::Rename && path == pdf;
        });
        QCOMPARE(service.PrintContactSheet(generatedItems(dir, 2)).status, PrintOutcome::Failed);
        QCOMPARE(messages_.size(), 1);
        QVERIFY(messages_[0].text.contains("kann nicht geschrieben werden"));
        QCOMPARE(contents(pdf), QByteArray("old"));
        QVERIFY(hiddenFiles(dir.path()).isEmpty());

        // a folder that is not there: no file can be made
        messages_.clear();
        fileops::setFaultHook({});
        const QString nowhere = dir.filePath("fehlt/sheet.pdf");
        script(service, nowhere);
        QCOMPARE(service.PrintContactSheet(generatedItems(dir, 2)).status, PrintOutcome::Failed);
        QCOMPARE(messages_.size(), 1);
        QVERIFY(messages_[0].text.contains("kann nicht angelegt werden"));
    }

    void contactSheetDialogFollowsThePaper()
    {
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, dir.filePath("x.pdf"), QPageLayout::Portrait);
        TMiniDruckDlg dialog;
        dialog.setPrinter(&printer);
        dialog.setItems(generatedItems(dir, 30));
        dialog.takePrinterOrientation();
        dialog.UpdateSheet();
        QCOMPARE(dialog.summaryText(), QString("30 Bilder auf 2 Seiten"));
        // the platform's set-up dialog turns the paper: the dialog follows
        PrintDialogs::setScript([](PrintDialogs::Kind kind, QPrinter& p) {
            if (kind != PrintDialogs::Kind::PageSetup)
                return false;
            p.setPageSize(QPageSize(QPageSize::A5));
            p.setPageOrientation(QPageLayout::Landscape);
            return true;
        });
        dialog.findChild<QPushButton*>("BtnSeiteEinrichten")->click();
        QVERIFY(dialog.findChild<QRadioButton*>("RadioQuerformat")->isChecked());
        QCOMPARE(dialog.paperText(), QString("A5, 210 x 148 mm"));
        // A5 across inside 10 mm margins, 190 x 128 mm: 4 columns of 43.75 mm,
        // cells 50.4 mm high with the captions, 2 rows a page
        QCOMPARE(dialog.summaryText(), QString("30 Bilder auf 4 Seiten"));
        dialog.findChild<QSpinBox*>("SpinSpalten")->setValue(8);
        QCOMPARE(dialog.options().columns, 8);
        // 8 columns of 19.4 mm, 4 rows of 26 mm: 32 a page
        QCOMPARE(dialog.summaryText(), QString("30 Bilder auf 1 Seite"));
        dialog.findChild<QRadioButton*>("RadioHochformat")->click();
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
    }

    void secondPrintWhileOneRunsDoesNothing()
    {
        QTemporaryDir dir;
        PrintService service(nullptr);
        const QString pdf = dir.filePath("one.pdf");
        setUpPdf(service.printer(), pdf, QPageLayout::Portrait);
        int shown = 0;
        script(service, pdf, [&](QDialog&) { ++shown; });
        TPMultiImage image;
        image.setPicture(TBitmap(pattern(40, 30, Qt::red), pf24bit));
        QList<PrintOutcome::Status> nested;
        service.OnProgress = [&](PrintJob&, int, int) {
            QVERIFY(service.busy());
            nested << service.PrintPicture(image).status << service.PrintContactSheet(generatedItems(dir, 1)).status;
        };
        QCOMPARE(service.PrintContactSheet(generatedItems(dir, 2)).status, PrintOutcome::Printed);
        QCOMPARE(shown, 1);
        QCOMPARE(nested, QList<PrintOutcome::Status>({PrintOutcome::Cancelled, PrintOutcome::Cancelled}));
        QVERIFY(!service.busy());
    }

    void contactSheetOfThirtyRealPictures()
    {
        QFile manifest(kCorpus + "/manifest.tsv");
        if (!manifest.open(QIODevice::ReadOnly))
            QSKIP("the shared picture corpus is not here");
        // the smaller valid JPEG photos, the storm picture 14th
        QStringList files;
        for (const QByteArray& line : manifest.readAll().split('\n')) {
            const QList<QByteArray> f = line.split('\t');
            if (f.size() < 10 || f[1] != "jpeg" || f[9] != "valid" || f[0].contains("cmyk") || f[0].contains("Storm"))
                continue;
            if (f[2].toLongLong() * f[3].toLongLong() <= 1000000)
                files << kCorpus + "/" + QString::fromUtf8(f[0]);
        }
        QVERIFY(files.size() >= 29);
        files = files.mid(0, 29);
        files.insert(13, kCorpus + "/jpeg/mate-backgrounds--Storm.jpg");
        QList<ContactSheetItem> items;
        for (const QString& file : files) {
            const QSize size = QImageReader(file).size();
            QVERIFY2(size.isValid(), qPrintable(file));
            items << ContactSheetItem{file, 0, 0, size, QImage()};
        }
        QCOMPARE(items.size(), 30);

        const QString pdf = dir_.filePath("kontaktbogen.pdf");
        PrintService service(nullptr);
        setUpPdf(service.printer(), pdf, QPageLayout::Portrait);
        QList<int> progress;
        service.OnProgress = [&](PrintJob&, int done, int count) { progress << done * 10 + count; };
        script(service, pdf, [](QDialog& d) {
            auto& dialog = static_cast<TMiniDruckDlg&>(d);
            QCOMPARE(dialog.summaryText(), QString("30 Bilder auf 2 Seiten"));
            QCOMPARE(dialog.paperText(), QString("A4, 210 x 297 mm"));
        });
        QCOMPARE(service.PrintContactSheet(items).status, PrintOutcome::Printed);
        QCOMPARE(progress, QList<int>({12, 22}));

        // four columns of 43.75 mm with 5 mm gaps; five rows a page
        const pdfprobe::Info info = pdfprobe::info(pdf);
        QCOMPARE(info.pages, 2);
        QVERIFY(std::abs(info.pagePoints.width() - 595.28) < 1);
        // item 13: row 3, column 1. Its cell starts 10 + 43.75 + 5 mm from
        // the left; a cell is 43.75 mm of picture and two caption lines
        // (2 x 39 pixels at 300 dpi) high, plus 5 mm; the 3:2 storm is
        // 43.75 x 29.17 mm at the bottom of its square, 14.58 mm down.
        const double lines = 2 * 39 * 25.4 / 300;
        const double top = 10 + 3 * (43.75 + lines + 5) + 14.58;
        const QRect expected(QPoint(px(58.75), px(top)), QPoint(px(58.75 + 43.75) - 1, px(top + 29.17) - 1));
        const QImage first = pdfprobe::page(pdf, 1, kProbeDpi);
        QVERIFY(!first.isNull());
        // the caption starts right under the picture: look no lower than its bottom
        verifyNear(pdfprobe::inkBox(first, expected.adjusted(-6, -6, 6, 0)), expected);
        const QString text = pdfprobe::text(pdf);
        QVERIFY(text.contains("mate-backgrounds--Storm.jpg"));
        QVERIFY(text.contains("1920 x 1280"));
        // page two holds the last ten: rows 0 to 2, the third with two
        const QImage second = pdfprobe::page(pdf, 2, kProbeDpi);
        const auto rowOnSecond = [&](int row, int firstColumn) {
            const double y = 10 + row * (43.75 + lines + 5);
            return pdfprobe::inkBox(second, QRect(px(10 + firstColumn * 48.75), px(y), px(190 - firstColumn * 48.75),
                                                  px(43.75 + lines)));
        };
        QVERIFY(!rowOnSecond(2, 0).isEmpty());
        QVERIFY(rowOnSecond(2, 2).isEmpty());
        QVERIFY(rowOnSecond(3, 0).isEmpty());
    }
};

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
