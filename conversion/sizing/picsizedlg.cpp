#include "picsizedlg.h"
#include "ui_picsizedlg.h"

#include "picturesizes.h"
#include "picturestretch.h"

#include "effects/undoring.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/hourglass.h"
#include "platform/messagebox.h"
#include "platform/printdialogs.h"
#include "printing/dialogsupport.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace {

const QString kCaption = QStringLiteral("Bildgröße ändern");
// The preview is drawn from a copy of the picture no larger than this.
constexpr int kPreviewSide = 600;
constexpr int kPdfResolution = 300;

TPicSizeDlg::PrinterLister& printerLister()
{
    static TPicSizeDlg::PrinterLister lister;
    return lister;
}

QStringList systemPrinters()
{
    return printerLister() ? printerLister()() : QPrinterInfo::availablePrinterNames();
}

// size shrunk to fit a kPreviewSide square, aspect kept, no side below 1
QSize previewSizeOf(QSize size)
{
    if (size.width() <= kPreviewSide && size.height() <= kPreviewSide)
        return size;
    QSize fitted = size.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio);
    return fitted.expandedTo(QSize(1, 1));
}

}  // namespace

void TPicSizeDlg::setPrinterLister(PrinterLister lister)
{
    printerLister() = std::move(lister);
}

QString TPicSizeDlg::pdfPrinterName()
{
    return QStringLiteral("In PDF-Datei drucken");
}

TPicSizeDlg::TPicSizeDlg(TPMultiImage& image, QPrinter& printer, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TPicSizeDlg>()), image_(image), printer_(printer)
{
    ui->setupUi(this);
    setWindowFlag(Qt::Tool);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    TPMultiImage* p = ui->PMultiImage1;
    p->ILUndo = false;
    p->setShowScrollbars(false);
    p->setStretchRatio(true);
    p->OnIlibError = [](QObject*, qint16, const QString&, const char*) {};
    ui->SizeList->addItems(picturesizes::StandardSizeNames());
    ui->SizeList->setCurrentRow(-1);
    const QSize picture = pictureSize();
    previewBase_ = StretchedPicture(image.Picture(), previewSizeOf(picture));
    setFields(picture.width(), picture.height());
    fillPrinterBox();

    connect(ui->OKBtn, &QPushButton::clicked, this, &TPicSizeDlg::applySize);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->SizeList, &QListWidget::itemClicked, this, &TPicSizeDlg::listChosen);
    connect(ui->SizeList, &QListWidget::currentRowChanged, this, &TPicSizeDlg::listChosen);
    for (QRadioButton* radio : {ui->StandardSizes, ui->FreeSize})
        connect(radio, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                Recompute();
        });
    connect(ui->KeepRatio, &QCheckBox::toggled, this, &TPicSizeDlg::keepRatioToggled);
    connect(ui->WidthField, &QSpinBox::valueChanged, this, [this] { fieldTyped(true); });
    connect(ui->HeightField, &QSpinBox::valueChanged, this, [this] { fieldTyped(false); });
    connect(ui->PrinterBox, &QComboBox::currentIndexChanged, this, &TPicSizeDlg::Recompute);
    connect(ui->PrinterSetup, &QPushButton::clicked, this, &TPicSizeDlg::setupPrinter);
}

TPicSizeDlg::~TPicSizeDlg() = default;

TPMultiImage* TPicSizeDlg::preview() const
{
    return ui->PMultiImage1;
}

QSize TPicSizeDlg::pictureSize() const
{
    const TBitmap& picture = image_.Picture();
    return picture.empty() ? QSize() : QSize(picture.width(), picture.height());
}

void TPicSizeDlg::fillPrinterBox()
{
    const QSignalBlocker quiet(ui->PrinterBox);
    ui->PrinterBox->clear();
    ui->PrinterBox->addItem(pdfPrinterName());
    ui->PrinterBox->addItems(systemPrinters());
    selectCurrentPrinter();
}

void TPicSizeDlg::selectCurrentPrinter()
{
    const QSignalBlocker quiet(ui->PrinterBox);
    int index = 0;
    if (printer_.outputFormat() != QPrinter::PdfFormat)
        index = std::max(0, ui->PrinterBox->findText(printer_.printerName()));
    ui->PrinterBox->setCurrentIndex(index);
}

// The printer chosen in the box becomes the program's printer.
void TPicSizeDlg::usePrinterOfBox()
{
    const int index = ui->PrinterBox->currentIndex();
    if (index <= 0) {
        if (printer_.outputFormat() != QPrinter::PdfFormat) {
            printer_.setOutputFormat(QPrinter::PdfFormat);
            printer_.setResolution(kPdfResolution);
        }
        return;
    }
    const QString name = ui->PrinterBox->currentText();
    if (printer_.outputFormat() == QPrinter::PdfFormat || printer_.printerName() != name) {
        printer_.setOutputFormat(QPrinter::NativeFormat);
        printer_.setPrinterName(name);
    }
}

void TPicSizeDlg::setFields(int width, int height)
{
    settingFields_ = true;
    ui->WidthField->setValue(width);
    ui->HeightField->setValue(height);
    settingFields_ = false;
}

void TPicSizeDlg::Recompute()
{
    usePrinterOfBox();
    measures_ = MeasuresOfPrinter(printer_);
    const QSize picture = pictureSize();
    QSize size;
    QString caption = kCaption;
    if (ui->StandardSizes->isChecked()) {
        const int row = ui->SizeList->currentItem() && ui->SizeList->currentItem()->isSelected()
                                ? ui->SizeList->currentRow()
                                : -1;
        size = picturesizes::StandardSize(row, picture, measures_);
        if (ui->KeepRatio->isChecked() && !picture.isEmpty()) {
            size = picturesizes::KeptRatio(size, picture);
            caption = QStringLiteral("%1   %2").arg(size.width()).arg(size.height());
        }
    } else {
        size = QSize(ui->WidthField->value(), ui->HeightField->value());
        if (size.width() < 1 || size.height() < 1)
            return;
    }
    setWindowTitle(caption);
    size = picturesizes::WithinLimit(size, picture);
    if (size.width() >= 1 && size.height() >= 1) {
        size_ = size;
        showPreview();
    }
    ui->ActiveWidth->setText(QString::number(size_.width()));
    ui->ActiveHeight->setText(QString::number(size_.height()));
    const QStringList lines = picturesizes::PageLines(measures_);
    QLabel* labels[] = {ui->PageLine1, ui->PageLine2, ui->PageLine3, ui->PageLine4};
    for (int i = 0; i < 4; ++i)
        labels[i]->setText(lines.value(i));
}

void TPicSizeDlg::showPreview()
{
    ui->PMultiImage1->setPicture(StretchedPicture(previewBase_, previewSizeOf(size_)));
}

// Typing in a field selects "Frei"; a value out of range becomes the
// picture's, and with the ratio kept the other field follows.
void TPicSizeDlg::fieldTyped(bool width)
{
    if (settingFields_)
        return;
    const QSize picture = pictureSize();
    QSpinBox* typed = width ? ui->WidthField : ui->HeightField;
    int value = typed->value();
    if (value < 1 || value > picturesizes::kMaxSide)
        value = width ? picture.width() : picture.height();
    int other = width ? ui->HeightField->value() : ui->WidthField->value();
    if (ui->KeepRatio->isChecked())
        other = width ? picturesizes::FollowingHeight(value, picture) : picturesizes::FollowingWidth(value, picture);
    if (width)
        setFields(value, other);
    else
        setFields(other, value);
    if (ui->FreeSize->isChecked())
        Recompute();
    else
        ui->FreeSize->setChecked(true);
}

void TPicSizeDlg::keepRatioToggled(bool on)
{
    if (on)
        setFields(ui->WidthField->value(), picturesizes::FollowingHeight(ui->WidthField->value(), pictureSize()));
    Recompute();
}

void TPicSizeDlg::listChosen()
{
    if (ui->StandardSizes->isChecked())
        Recompute();
    else
        ui->StandardSizes->setChecked(true);
}

void TPicSizeDlg::showPictureFacts()
{
    const QSize picture = pictureSize();
    ui->ActiveWidth->setText(QString::number(picture.width()));
    ui->ActiveHeight->setText(QString::number(picture.height()));
    ui->FileWidth->setText(QString::number(image_.imageInfo.width));
    ui->FileHeight->setText(QString::number(image_.imageInfo.height));
}

void TPicSizeDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen(*this);
    selectCurrentPrinter();
    showPictureFacts();
    Recompute();
}

void TPicSizeDlg::setupPrinter()
{
    usePrinterOfBox();
    if (!PrintDialogs::pageSetup(this, printer_))
        return;
    selectCurrentPrinter();
    Recompute();
}

void TPicSizeDlg::applySize()
{
    if (image_.Picture().empty() || size_.isEmpty()) {
        reject();
        return;
    }
    HourglassCursor wait;
    ui->OKBtn->setEnabled(false);
    ui->CancelBtn->setEnabled(false);
    const TBitmap resized = StretchedPicture(image_.Picture(), size_);
    if (resized.empty()) {
        ui->OKBtn->setEnabled(true);
        ui->CancelBtn->setEnabled(true);
        MessageBox::warning(this, kCaption,
                            QStringLiteral("Für %1 x %2 Pixel reicht der Speicher nicht.")
                                .arg(size_.width())
                                .arg(size_.height()));
        return;
    }
    PushUndo(image_.Picture());
    image_.setPicture(resized);
    accept();
}

bool RunPicSizeDialog(QWidget* owner, QPrinter& printer, TPMultiImage& image,
                      const std::function<int(TPicSizeDlg&)>& show)
{
    if (image.Picture().empty())
        return false;
    TPicSizeDlg dialog(image, printer, owner);
    TPMultiImage* preview = dialog.preview();
    preview->setColor(image.Color());
    preview->MessageColor = image.MessageColor;
    preview->setCenter(image.Center());
    return (show ? show(dialog) : dialog.exec()) == QDialog::Accepted;
}
