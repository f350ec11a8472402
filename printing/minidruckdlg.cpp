#include "minidruckdlg.h"
#include "ui_minidruckdlg.h"

#include "dialogsupport.h"

#include "platform/printdialogs.h"

#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace {
constexpr int kPreviewSide = 200;
}  // namespace

TMiniDruckDlg::TMiniDruckDlg(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TMiniDruckDlg>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->SpinSpalten, &QSpinBox::valueChanged, this, &TMiniDruckDlg::UpdateSheet);
    for (QCheckBox* box : {ui->CheckDateiname, ui->CheckBildgroesse})
        connect(box, &QCheckBox::toggled, this, &TMiniDruckDlg::UpdateSheet);
    for (QRadioButton* button : {ui->RadioHochformat, ui->RadioQuerformat})
        connect(button, &QRadioButton::clicked, this, &TMiniDruckDlg::UpdateSheet);
    connect(ui->BtnSeiteEinrichten, &QPushButton::clicked, this, &TMiniDruckDlg::setUpPage);
}

TMiniDruckDlg::~TMiniDruckDlg() = default;

void TMiniDruckDlg::setItems(const QList<ContactSheetItem>& items)
{
    items_ = items;
}

ContactSheetOptions TMiniDruckDlg::options() const
{
    return {ui->SpinSpalten->value(), ui->CheckDateiname->isChecked(), ui->CheckBildgroesse->isChecked()};
}

void TMiniDruckDlg::takePrinterOrientation()
{
    ShowOrientation(printer_, *ui->RadioHochformat, *ui->RadioQuerformat);
}

void TMiniDruckDlg::setUpPage()
{
    if (!printer_)
        return;
    UpdateSheet();
    if (PrintDialogs::pageSetup(this, *printer_))
        takePrinterOrientation();
    UpdateSheet();
}

QString TMiniDruckDlg::paperText() const
{
    if (!printer_)
        return {};
    const QPageLayout layout = printer_->pageLayout();
    const QRectF mm = layout.fullRect(QPageLayout::Millimeter);
    return QStringLiteral("%1, %2 x %3 mm")
        .arg(layout.pageSize().name())
        .arg(std::lround(mm.width()))
        .arg(std::lround(mm.height()));
}

QString TMiniDruckDlg::summaryText() const
{
    if (!printer_)
        return {};
    const ContactSheetPages pages(items_, options(), *printer_);
    const int n = int(items_.size());
    const int count = pages.pageCount();
    return QStringLiteral("%1 %2 auf %3 %4")
        .arg(n)
        .arg(n == 1 ? QStringLiteral("Bild") : QStringLiteral("Bilder"))
        .arg(count)
        .arg(count == 1 ? QStringLiteral("Seite") : QStringLiteral("Seiten"));
}

void TMiniDruckDlg::UpdateSheet()
{
    if (!printer_)
        return;
    printer_->setPageOrientation(ui->RadioQuerformat->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
    ui->LabelPapier->setText(paperText());
    ui->LabelUmfang->setText(summaryText());
    ui->Vorschau->setPixmap(QPixmap::fromImage(firstPagePreview(kPreviewSide)));
}

// The first page as the printer will print it, the paper's long edge side
// pixels long, drawn with the grid's miniatures.
QImage TMiniDruckDlg::firstPagePreview(int side) const
{
    const QRect paper = printer_->paperRect(QPrinter::DevicePixel).toRect();
    const QRect area = printer_->pageRect(QPrinter::DevicePixel).toRect();
    if (paper.isEmpty() || area.isEmpty())
        return {};
    const double scale = double(side) / std::max(paper.width(), paper.height());
    QImage sheet(std::max(1, int(paper.width() * scale)), std::max(1, int(paper.height() * scale)),
                 QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QImage printable(std::max(1, int(area.width() * scale)), std::max(1, int(area.height() * scale)),
                     QImage::Format_ARGB32_Premultiplied);
    printable.fill(Qt::transparent);
    const int dotsPerMetre = int(std::lround(printer_->resolution() * scale / 0.0254));
    printable.setDotsPerMeterX(dotsPerMetre);
    printable.setDotsPerMeterY(dotsPerMetre);
    ContactSheetPages pages(items_, options(), printable);
    pages.load = [](const ContactSheetItem& item) { return item.miniature; };
    {
        QPainter p(&printable);
        const std::atomic<bool> running{false};
        pages.render(p, 0, running);
    }
    QPainter p(&sheet);
    p.drawImage(QPoint(int(area.left() * scale), int(area.top() * scale)), printable);
    p.setPen(Qt::lightGray);
    p.drawRect(sheet.rect().adjusted(0, 0, -1, -1));
    return sheet;
}

void TMiniDruckDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen(*this);
    UpdateSheet();
}
