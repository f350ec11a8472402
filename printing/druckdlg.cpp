#include "druckdlg.h"
#include "ui_druckdlg.h"

#include "dialogsupport.h"

#include "imagecontrol/pmultiimage.h"

#include <QPrinter>

#include <algorithm>

namespace {
constexpr int kPanelSide = 200;
constexpr qint32 kPaperColor = 0xFFFFFF;
}  // namespace

TDruckDlg::TDruckDlg(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TDruckDlg>())
{
    ui->setupUi(this);
    fitTexts();
    setFixedSize(size());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    TPMultiImage* p = ui->PMultiImage1;
    p->setScrolling(true);
    p->setShowScrollbars(false);
    p->ILUndo = false;
    p->setColor(kPaperColor);
    connect(ui->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->CheckBox1, &QCheckBox::toggled, this, [this] {
        applyFitRule();
        UpdatePreview();
    });
    for (QCheckBox* box : {ui->CheckBox2, ui->CheckBox3, ui->CheckBox4})
        connect(box, &QCheckBox::toggled, this, &TDruckDlg::UpdatePreview);
    for (QRadioButton* button : {ui->RadioButton1, ui->RadioButton2})
        connect(button, &QRadioButton::clicked, this, &TDruckDlg::orientationClicked);
    applyFitRule();
}

TDruckDlg::~TDruckDlg() = default;

TPMultiImage* TDruckDlg::preview() const
{
    return ui->PMultiImage1;
}

QWidget* TDruckDlg::paperPanel() const
{
    return ui->Panel1;
}

void TDruckDlg::setPrintBitmap(const TBitmap& bitmap)
{
    printBitmap_ = bitmap;
    ui->PMultiImage1->setPicture(bitmap);
}

void TDruckDlg::takePrinterOrientation()
{
    ShowOrientation(printer_, *ui->RadioButton1, *ui->RadioButton2);
}

PrintOptions TDruckDlg::options() const
{
    return {ui->CheckBox1->isChecked(), ui->CheckBox4->isChecked(), ui->CheckBox2->isChecked()};
}

bool TDruckDlg::printAnnotations() const
{
    return ui->CheckBox3->isChecked();
}

bool TDruckDlg::portrait() const
{
    return ui->RadioButton1->isChecked();
}

// A font wider than the design's widens the option column, so that no
// caption is cut off.
void TDruckDlg::fitTexts()
{
    const QList<QAbstractButton*> options = {ui->CheckBox1, ui->CheckBox4, ui->CheckBox2,
                                             ui->CheckBox3, ui->RadioButton1, ui->RadioButton2};
    int extra = 0;
    for (QAbstractButton* b : options)
        extra = std::max(extra, b->sizeHint().width() - b->width());
    if (extra <= 0)
        return;
    for (QAbstractButton* w : options)
        w->resize(w->width() + extra, w->height());
    for (QWidget* w : {ui->GroupBox1, ui->GroupBox2})
        w->resize(w->width() + extra, w->height());
    for (QWidget* w : {ui->OKBtn, ui->CancelBtn})
        w->move(w->x() + extra, w->y());
    resize(width() + extra, height());
}

void TDruckDlg::applyFitRule()
{
    ui->CheckBox4->setEnabled(ui->CheckBox1->isChecked());
}

void TDruckDlg::orientationClicked()
{
    if (printer_)
        printer_->setPageOrientation(portrait() ? QPageLayout::Portrait : QPageLayout::Landscape);
    UpdatePreview();
}

void TDruckDlg::UpdatePreview()
{
    if (!printer_)
        return;
    printer_->setPageOrientation(portrait() ? QPageLayout::Portrait : QPageLayout::Landscape);
    const QSize page(printer_->width(), printer_->height());
    if (page.width() < 1 || page.height() < 1)
        return;
    TPMultiImage* p = ui->PMultiImage1;
    p->setPicture(printBitmap_);
    const QSize panel = PaperPanelSize(page, portrait(), kPanelSide);
    // the panel keeps the middle of its 200 x 200 place
    QRect place(ui->Panel1->geometry().topLeft(), panel);
    place.moveCenter(QRect(8, 7, kPanelSide, kPanelSide).center());
    ui->Panel1->setGeometry(place);
    p->setCenter(ui->CheckBox2->isChecked());
    if (ui->CheckBox1->isChecked()) {
        p->setStretch(false);
        p->setStretchRatio(true);
        if (ui->CheckBox4->isChecked())
            p->setStretch(true);
    } else if (!printBitmap_.empty()) {
        const QSize size = PreviewPictureSize(printBitmap_.image().size(), page, panel);
        const QImage scaled = printBitmap_.image().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        p->setPicture(TBitmap(scaled, TBitmap::pixelFormatOf(scaled)));
        p->setStretchRatio(false);
        p->setStretch(false);
    }
    ui->Panel1->layout()->activate();
    p->update();
}

void TDruckDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen(*this);
    applyFitRule();
    UpdatePreview();
}
