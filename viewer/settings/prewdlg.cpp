#include "prewdlg.h"
#include "ui_prewdlg.h"

#include "transitionpreview.h"
#include "viewer/viewerstate.h"

#include "imagecontrol/pmultiimage.h"
#include "platform/colors.h"
#include "platform/settings.h"
#include "thumbnails/piclibthumbnails.h"

#include <QShowEvent>

namespace {

const QString kStartUp = QStringLiteral("StartUp");

TprewDlg::Runner& runner()
{
    static TprewDlg::Runner r = [](TprewDlg& d) { return d.exec(); };
    return r;
}

// A stored integer inside the bar's range, else the default.
int storedInRange(const Settings& store, const QString& key, int def, const QSlider* bar)
{
    const int value = store.readInteger(kStartUp, key, def);
    return value >= bar->minimum() && value <= bar->maximum() ? value : def;
}

}  // namespace

TprewDlg::TprewDlg(const Target& target, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TprewDlg>()), target_(target)
{
    ui->setupUi(this);
    loading_ = true;
    TPMultiImage* p = ui->PreviewImage;
    p->setScrolling(false);
    p->setShowScrollbars(false);
    p->setJPegSaveQuality(255);
    p->ReduceDither = IL_BAYER;
    if (target_.state)
        p->setImageName(target_.state->SamplePicturePath);
    ui->PreviewGrid->setGridLineWidth(5);

    connectTrack(ui->tbFXDelay, ui->edFXDelay);
    connectTrack(ui->tbFXThick, ui->edFXThick);
    for (ColourBox* box : {ui->cbHintergrund, ui->cbAuswahlrahmen, ui->cbMarkierung, ui->cbFuellfarbe,
                           ui->cbDiarahmen, ui->cbDiafarbe, ui->cbSchriftfarbe, ui->cbViewColor})
        connect(box, &ColourBox::colourChosen, this, &TprewDlg::rebuildPreviewGrid);
    connect(ui->seRahmenstaerke, &QSpinBox::valueChanged, this, &TprewDlg::rebuildPreviewGrid);
    connect(ui->tbGroesse, &QSlider::actionTriggered, this, [this] { userMovesSize_ = true; });
    connect(ui->tbGroesse, &QSlider::valueChanged, this, &TprewDlg::sizeChanged);
    connect(ui->btVorschau, &QPushButton::clicked, this, &TprewDlg::runPreview);
    connect(ui->btOK, &QPushButton::clicked, this, [this] {
        acceptChanges();
        accept();
    });
    connect(ui->btAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
    fillFromWindow();
}

TprewDlg::~TprewDlg() = default;

int TprewDlg::run(TprewDlg& dialog)
{
    return runner()(dialog);
}

void TprewDlg::setRunner(Runner r)
{
    runner() = r ? std::move(r) : Runner([](TprewDlg& d) { return d.exec(); });
}

TPicLibThumbnails* TprewDlg::previewGrid() const { return ui->PreviewGrid; }
TPMultiImage* TprewDlg::previewPicture() const { return ui->PreviewImage; }

// The main window's part: the grid's look, the size and the switches.
void TprewDlg::fillFromWindow()
{
    loading_ = true;
    if (!target_.state)
        return;
    const ThumbnailAppearance& a = target_.state->appearance;
    ui->cbHintergrund->setValue(a.diacolor);
    ui->cbAuswahlrahmen->setValue(a.diarahmen);
    ui->cbMarkierung->setValue(a.diasel);
    ui->cbFuellfarbe->setValue(a.fillcolor);
    ui->cbDiarahmen->setValue(a.diarahmencolor);
    ui->cbDiafarbe->setValue(a.diafillcolor);
    ui->cbSchriftfarbe->setValue(a.ThumbFontColor);
    ui->seRahmenstaerke->setValue(a.rahmenw);
    ui->tbGroesse->setValue(a.diax);
    ui->cbLastFolder->setChecked(target_.lastFolder && *target_.lastFolder);
    ui->cbAutoLoadAnno->setChecked(target_.pane && target_.pane->AutoLoadAnno);
    ui->cbSaveDiaDB->setChecked(target_.state->ThumbnailsEnabled);
}

void TprewDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    fillOnShow();
    // first activation: the preview at the size the bar shows
    rebuildPreviewGrid();
    sizeChanged(ui->tbGroesse->value());
    rebuild_ = false;
}

// The dialog's own part: the picture pane's values and the editor's keys.
void TprewDlg::fillOnShow()
{
    TPMultiImage* p = ui->PreviewImage;
    if (target_.pane) {
        ui->cbViewColor->setValue(target_.pane->Color());
        p->setColor(target_.pane->Color());
        ui->tbFXDelay->setValue(target_.pane->FXDelay);
        ui->tbFXThick->setValue(target_.pane->FXColRowThick);
        checkDirection(target_.pane->FXMethod);
    }
    ui->edFXDelay->setText(QString::number(ui->tbFXDelay->value()));
    ui->edFXThick->setText(QString::number(ui->tbFXThick->value()));
    p->setStretch(false);
    p->setStretchRatio(false);
    p->setCenter(true);
    {
        Settings store;
        ui->cbOpenAnimate->setChecked(store.readBool(kStartUp, QStringLiteral("open_animate"), false));
        ui->tbOpenStep->setValue(storedInRange(store, QStringLiteral("open_steep"), 5, ui->tbOpenStep));
        ui->tbOpenDelay->setValue(storedInRange(store, QStringLiteral("open_delay"), 10, ui->tbOpenDelay));
    }
    loading_ = false;
    runPreview();
    rebuild_ = false;
}

void TprewDlg::checkDirection(int method)
{
    switch (method) {
    case FXHorizontal: ui->rbHorizontal->setChecked(true); break;
    case FXVertical: ui->rbSenkrecht->setChecked(true); break;
    case FXDiagonal: ui->rbDiagonal->setChecked(true); break;
    case FXDiagonalSquares: ui->rbQuadrat->setChecked(true); break;
    case FXRectangles: ui->rbRechteck->setChecked(true); break;
    default: ui->rbKeine->setChecked(true); break;
    }
}

int TprewDlg::chosenDirection() const
{
    if (ui->rbDiagonal->isChecked())
        return FXDiagonal;
    if (ui->rbQuadrat->isChecked())
        return FXDiagonalSquares;
    if (ui->rbHorizontal->isChecked())
        return FXHorizontal;
    if (ui->rbRechteck->isChecked())
        return FXRectangles;
    if (ui->rbSenkrecht->isChecked())
        return FXVertical;
    return FXNone;
}

void TprewDlg::rebuildPreviewGrid()
{
    if (loading_)
        return;
    TPicLibThumbnails* g = ui->PreviewGrid;
    g->Clear();
    g->CancelRequested = false;
    g->FrameWidth = ui->seRahmenstaerke->value();
    g->setColor(colors::toQColor(ui->cbHintergrund->value()));
    g->ColorSelected = colors::toQColor(ui->cbAuswahlrahmen->value());
    g->ColorChecked = colors::toQColor(ui->cbMarkierung->value());
    g->FillColor = colors::toQColor(ui->cbFuellfarbe->value());
    g->ColorUnSelected = colors::toQColor(ui->cbDiarahmen->value());
    g->ColorUnChecked = colors::toQColor(ui->cbDiafarbe->value());
    g->FontColor = colors::toQColor(ui->cbSchriftfarbe->value());
    ui->PreviewImage->setColor(ui->cbViewColor->value());
    if (target_.state) {
        g->AddFile(target_.state->SamplePicturePath);
        g->AddFile(target_.state->SamplePicturePath);
    }
    if (g->itemCount() == 2) {
        g->SetChecked(0, true);
        g->SetChecked(1, false);
        g->SelectIndex(0);
    }
    g->viewport()->update();
}

void TprewDlg::sizeChanged(int position)
{
    const bool byUser = userMovesSize_;
    userMovesSize_ = false;
    if (!shown_ || loading_)
        return;
    ui->PreviewGrid->setThumbnailWidth(position);
    ui->PreviewGrid->setThumbnailHeight(position);
    ui->gbGroesse->setTitle(" Miniatürgröße " + QString::number(position) + " x " + QString::number(position));
    rebuildPreviewGrid();
    if (byUser)
        rebuild_ = true;
}

void TprewDlg::runPreview()
{
    playTransitionPreview(*ui->PreviewImage, ui->tbFXDelay->value(), ui->tbFXThick->value(),
                          TFXMethod(chosenDirection()));
}

void TprewDlg::writeStartUpKeys() const
{
    Settings store;
    store.writeBool(kStartUp, QStringLiteral("open_animate"), ui->cbOpenAnimate->isChecked());
    store.writeInteger(kStartUp, QStringLiteral("open_steep"), ui->tbOpenStep->value());
    store.writeInteger(kStartUp, QStringLiteral("open_delay"), ui->tbOpenDelay->value());
    store.writeBool(kStartUp, QStringLiteral("SaveDiaDB"), ui->cbSaveDiaDB->isChecked());
    store.sync();
}

void TprewDlg::acceptChanges()
{
    writeStartUpKeys();
    if (!target_.state)
        return;
    ViewerState& s = *target_.state;
    s.SettingsResult = rebuild_ ? 2 : 1;
    s.ThumbnailsEnabled = ui->cbSaveDiaDB->isChecked();
    ThumbnailAppearance& a = s.appearance;
    a.diax = a.diay = ui->tbGroesse->value();
    a.diacolor = ui->cbHintergrund->value();
    a.diarahmen = ui->cbAuswahlrahmen->value();
    a.diasel = ui->cbMarkierung->value();
    a.fillcolor = ui->cbFuellfarbe->value();
    a.diarahmencolor = ui->cbDiarahmen->value();
    a.diafillcolor = ui->cbDiafarbe->value();
    a.ThumbFontColor = ui->cbSchriftfarbe->value();
    a.rahmenw = ui->seRahmenstaerke->value();
    if (target_.lastFolder)
        *target_.lastFolder = ui->cbLastFolder->isChecked();
    if (TPMultiImage* p = target_.pane) {
        p->AutoLoadAnno = ui->cbAutoLoadAnno->isChecked();
        p->FXMethod = TFXMethod(chosenDirection());
        p->FXDelay = ui->tbFXDelay->value();
        p->FXColRowThick = ui->tbFXThick->value();
        p->setColor(ui->cbViewColor->value());
    }
    if (target_.grid)
        target_.grid->FontColor = colors::toQColor(a.ThumbFontColor);
}
