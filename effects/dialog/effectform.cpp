#include "effectform.h"

#include "ilpimage.h"
#include "ilrubberband.h"
#include "palettepage.h"
#include "pastepage.h"
#include "ui_effectform.h"

#include "codec/binding/codecstate.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/tbitmap.h"
#include "dibcore/dibcore.h"
#include "effects/effectcalls.h"
#include "effects/effectframe.h"
#include "effects/effectsstate.h"
#include "platform/messagebox.h"
#include "platform/settings.h"
#include "paramfield.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QSlider>
#include <QStatusTipEvent>
#include <QTabWidget>

#include <atomic>
#include <cmath>

namespace {

std::atomic<bool> changedFlag{false};
std::atomic<bool> shownFlag{false};

QImage imageOf(GlobalHandle dib)
{
    TBitmap bitmap;
    if (!dib || !DIBToGraphic(dib, bitmap))
        return {};
    return bitmap.image();
}

// The preview picture of a master: scaled to the preview's size at the
// master's own depth.
GlobalHandle previewOf(GlobalHandle master, QSize size)
{
    if (!master || size.isEmpty())
        return nullptr;
    return ScaleDib(master, size.width(), size.height(), effectframe::bitCount(master));
}

int scaled(int v, int to, int from)
{
    return from > 0 ? int(std::lround(double(v) * to / from)) : v;
}

}  // namespace

std::function<QColor(const QColor&, QWidget*)> TEffectForm::ChooseColour = [](const QColor& start, QWidget* owner) {
    return QColorDialog::getColor(start, owner, QString());
};

std::function<QString(QWidget*, bool)> TEffectForm::ChoosePaletteFile = [](QWidget* owner, bool save) {
    const QString filter = QStringLiteral("Korvane 3.0 Palette (*.ILP)");
    if (!save)
        return QFileDialog::getOpenFileName(owner, QString(), QString(), filter);
    QFileDialog dialog(owner, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("ILP"));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                  : QString();
};

std::function<void(const QUrl&)> TEffectForm::OpenHelp = [](const QUrl& page) { QDesktopServices::openUrl(page); };

bool TEffectForm::Changed()
{
    return changedFlag;
}

bool TEffectForm::Shown()
{
    return shownFlag;
}

TEffectForm::TEffectForm(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TEffectForm>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::Tool);
    if (EffectsHelpFile().isEmpty())
        InitEffectsHelpFile();
    changedFlag = false;
    shownFlag = false;
    const QColor face = palette().color(QPalette::Button);
    background_ = foreground_ = mask_ = redEye_ = face;
    static const char* const customDefaults[] = {"141414", "3C3C3C", "646464", "8C8C8C", "B4B4B4", "DCDCDC",
                                                 "F0F0F0", "F0F0F0", "282828", "505050", "787878", "A0A0A0",
                                                 "C8C8C8", "F0F0F0", "F0F0F0", "F0F0F0"};
    for (const char* c : customDefaults)
        customColours_ << QColor(QLatin1Char('#') + QLatin1String(c));

    preview_ = new TILPImage(ui->previewHost);
    auto* hostLayout = new QVBoxLayout(ui->previewHost);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    hostLayout->addWidget(preview_);
    band_ = new TILRubberBand(this);
    band_->OnBandChange = [this](TILRubberBand&, Qt::MouseButton, int bottom, int right, int top, int left,
                                 Qt::KeyboardModifiers) { bandChanged(left, top, right, bottom); };

    auto* statusLabel = new QLabel(QStringLiteral("Status:"), this);
    statusLabel->setFixedWidth(45);
    statusText_ = new QLabel(this);
    statusText_->setFixedWidth(300);
    auto* progressLabel = new QLabel(QStringLiteral("Progress"), this);
    progressLabel->setFixedWidth(50);
    ui->StatusBar->addWidget(statusLabel);
    ui->StatusBar->addWidget(statusText_);
    ui->StatusBar->addWidget(progressLabel);
    ui->ProgressBar->setRange(0, 100);

    buildMenu();
    buildPages();
    connectControls();
    ui->SplitCtrl->setSizes({409, 405});
    if (EffectsHelpFile().isEmpty() || !QFileInfo::exists(EffectsHelpFile()))
        helpMenu_->menuAction()->setVisible(false);
    Settings s;
    saveOnExit_->setChecked(s.readBool(QStringLiteral("StartUp"), QStringLiteral("SaveEffects"), true));
}

TEffectForm::~TEffectForm()
{
    runner_.stop();
    runner_.waitForIdle();
    {
        Settings s;
        s.writeBool(QStringLiteral("StartUp"), QStringLiteral("SaveEffects"), saveOnExit_->isChecked());
        s.sync();
    }
    if (saveOnExit_->isChecked() && settingsLoaded_)
        saveSettings();
    shownFlag = false;
    FreeDIB(previewDib_);
    FreeDIB(snapshot_);
    FreeDIB(MasterDib);
}

GlobalHandle TEffectForm::TakeMaster()
{
    GlobalHandle m = MasterDib;
    MasterDib = nullptr;
    return m;
}

void TEffectForm::buildMenu()
{
    menuBar_ = new QMenuBar(this);
    layout()->setMenuBar(menuBar_);
    QMenu* actions = menuBar_->addMenu(QStringLiteral("Aktionen"));
    auto add = [&](QMenu* menu, const QString& text, const QString& hint, auto slot) {
        QAction* a = menu->addAction(text);
        a->setStatusTip(hint);
        connect(a, &QAction::triggered, this, slot);
        actions_.push_back(a);
        return a;
    };
    add(actions, QStringLiteral("Vorschau"), QStringLiteral("Vorschau"), [this] { Preview(); });
    add(actions, QStringLiteral("Rückgangig"), QStringLiteral("Bild neu laden"), [this] {
        if (ui->sbUndo->isEnabled())
            Undo();
    });
    actions->addSeparator();
    add(actions, QStringLiteral("Übernehmen"), QStringLiteral("Änderungen übernehmen (noch nicht speichern)"),
        [this] { Apply(); });
    actions->addSeparator();
    add(actions, QStringLiteral("Alles auf Voreinstellungen zurücksetzen"), QString(), [this] { ResetToDefaults(); });
    saveOnExit_ = actions->addAction(QStringLiteral("Einstellungen beim Beenden speichern"));
    saveOnExit_->setCheckable(true);
    saveOnExit_->setChecked(true);
    actions_.push_back(saveOnExit_);
    actions->addSeparator();
    add(actions, QStringLiteral("Beenden"), QStringLiteral("Schliessen"), [this] { ApplyAndClose(); });
    actions->addSeparator();
    helpMenu_ = menuBar_->addMenu(QStringLiteral("&Help"));
    add(helpMenu_, QStringLiteral("Search"), QString(), [this] { openHelp(QStringLiteral("Filters_and_Effects")); });
    add(helpMenu_, QStringLiteral("Content"), QString(), [this] { openHelp(QString()); });
    add(helpMenu_, QStringLiteral("How to use..."), QString(),
        [this] { openHelp(QStringLiteral("Filters_and_Effects_Manager")); });
}

void TEffectForm::connectControls()
{
    connect(ui->sbHideSelection, &QToolButton::toggled, this, [this](bool hidden) {
        ui->sbHideSelection->setText(hidden ? QStringLiteral("Auswahl anzeigen") : QStringLiteral("Auswahl verbergen"));
        showSelection(!hidden);
    });
    connect(ui->sbSelectAll, &QToolButton::clicked, this, [this] { SelectAll(); });
    connect(ui->sbUndo, &QToolButton::clicked, this, [this] { Undo(); });
    connect(ui->sbPreview, &QToolButton::clicked, this, [this] { Preview(); });
    connect(ui->sbStop, &QToolButton::clicked, this, [this] { StopEffect(); });
    connect(ui->sbApply, &QToolButton::clicked, this, [this] { Apply(); });
    connect(ui->sbApplyClose, &QToolButton::clicked, this, [this] { ApplyAndClose(); });
    connect(ui->sbClose, &QToolButton::clicked, this, [this] { close(); });
    connect(ui->PageControl, &QTabWidget::currentChanged, this, [this] { pageChanged(); });
    connect(&runner_, &EffectRunner::finished, this, &TEffectForm::effectFinished);
    connect(&runner_, &EffectRunner::progressed, this, &TEffectForm::progressed);
    connect(&palettePage_->Runner(), &EffectRunner::progressed, this, &TEffectForm::progressed);
    connect(&runner_, &EffectRunner::frameArrived, this, [this](const QImage& frame) { preview_->SetPicture(frame); });

    preview_->MousePressed = [this](QMouseEvent* e) {
        const QPoint p = e->position().toPoint();
        if (ActiveCaption() == QLatin1String("Farbpalette") && palettePage_->EditorEnabled()) {
            const QImage& picture = preview_->Picture();
            if (!picture.isNull() && preview_->width() > 0 && preview_->height() > 0) {
                const int x = std::clamp(p.x() * picture.width() / preview_->width(), 0, picture.width() - 1);
                const int y = std::clamp(p.y() * picture.height() / preview_->height(), 0, picture.height() - 1);
                palettePage_->TakeColour(picture.pixel(x, y));
            }
            return;
        }
        if (band_->Control())
            band_->MouseDown(e->button(), p.x(), p.y());
    };
    preview_->MouseMoved = [this](QMouseEvent* e) {
        if (band_->Control())
            band_->MouseMove(e->modifiers(), int(e->position().x()), int(e->position().y()));
    };
    preview_->MouseReleased = [this](QMouseEvent* e) {
        if (band_->Control())
            band_->MouseUp(e->button(), e->modifiers(), int(e->position().x()), int(e->position().y()));
    };

    palettePage_->ChooseOpenFile = [this] { return ChoosePaletteFile(this, false); };
    palettePage_->ChooseSaveFile = [this] { return ChoosePaletteFile(this, true); };
    palettePage_->Failed = [this](const QString& m) {
        MessageBox::warning(this, QStringLiteral("Farbpalette"), m);
    };
    palettePage_->ColourChanged = [this](int index, QRgb colour) { preview_->SetPictureColour(index, colour); };
    palettePage_->PictureReplaced = [this] {
        readMasterSize();
        preview_->SetPicture(imageOf(MasterDib));
    };
    pastePage_->PictureChanged = [this] {
        preview_->SetOverlay(pastePage_->PictureImage());
        preview_->SetOverlayMode(pasteMode_ && !pastePage_->PictureImage().isNull());
    };
    pastePage_->Started = [this] { ui->ProgressBar->setValue(0); };
}

QToolButton* TEffectForm::Button(const QString& name) const
{
    return findChild<QToolButton*>(name);
}

// ---- opening ----------------------------------------------------------------

void TEffectForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (shownFlag)
        return;
    if (parentWidget()) {
        const QRect p = parentWidget()->window()->geometry();
        QPoint at = p.center() - rect().center();
        if (const QScreen* screen = parentWidget()->screen()) {
            const QRect room = screen->availableGeometry();
            at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width())));
            at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - height())));
        }
        move(at);
    }
    readMasterSize();
    if (MasterDib) {
        loadSettings();
        settingsLoaded_ = true;
    }
    if (!SavedCursor.pixmap().isNull() || SavedCursor.shape() != Qt::ArrowCursor)
        setCursor(SavedCursor);
    shownFlag = true;
    rebuildPreview();
    pageChanged();
}

void TEffectForm::readMasterSize()
{
    masterWidth_ = effectframe::width(MasterDib);
    masterHeight_ = effectframe::height(MasterDib);
    masterBits_ = effectframe::bitCount(MasterDib);
    if (selection_.isNull() && MasterDib)
        selection_.setCoords(0, 0, masterWidth_, masterHeight_);
}

// The preview picture and its snapshot, made from the master on a worker.
void TEffectForm::rebuildPreview()
{
    if (!MasterDib)
        return;
    const GlobalHandle master = dibcore::copyBlock(MasterDib);
    const QSize size = preview_->size();
    if (!busy())
        setBusy(true);
    work_ = Work::Rebuild;
    runner_.start([master, size](const EffectRunner::Context&) {
        EffectOutcome o;
        o.preview = previewOf(master, size);
        o.shown = imageOf(o.preview);
        FreeDIB(master);
        return o;
    });
}

void TEffectForm::moveSplitter()
{
    if (masterHeight_ <= 0)
        return;
    const int pane = preview_->height();
    const int pos = int(std::lround(double(pane) * masterWidth_ / masterHeight_));
    const int total = ui->SplitCtrl->width();
    if (total - pos > 200)
        ui->SplitCtrl->setSizes({pos, total - pos});
}

void TEffectForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placeBand();
}

bool TEffectForm::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        statusText_->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QDialog::event(event);
}

void TEffectForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        const QString topic = effectpages::helpTopic(ui->PageControl->currentIndex());
        if (!topic.isEmpty())
            openHelp(topic);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TEffectForm::openHelp(const QString& topic)
{
    const QString file = EffectsHelpFile();
    if (file.isEmpty() || !QFileInfo::exists(file))
        return;
    QUrl url = QUrl::fromLocalFile(file);
    if (!topic.isEmpty())
        url.setFragment(topic);
    OpenHelp(url);
}

// ---- the selection --------------------------------------------------------------

void TEffectForm::SetSelection(int left, int top, int right, int bottom)
{
    selection_.setCoords(left, top, right, bottom);
    placeBand();
}

void TEffectForm::placeBand()
{
    if (!MasterDib || masterWidth_ <= 0 || masterHeight_ <= 0)
        return;
    const QRect s = selection_;
    const int w = preview_->width(), h = preview_->height();
    const int l = scaled(s.left(), w, masterWidth_), t = scaled(s.top(), h, masterHeight_);
    const QRect keep = selection_;
    bandPlaced_.setCoords(l, t, scaled(s.right(), w, masterWidth_), scaled(s.bottom(), h, masterHeight_));
    band_->SetBounds(l, t, bandPlaced_.right() - l, bandPlaced_.bottom() - t);
    selection_ = keep;   // placing the band must not round the selection
    ui->edCropLeft->setText(QString::number(selection_.left()));
    ui->edCropTop->setText(QString::number(selection_.top()));
    ui->edCropRight->setText(QString::number(selection_.right()));
    ui->edCropBottom->setText(QString::number(selection_.bottom()));
}

void TEffectForm::bandChanged(int left, int top, int right, int bottom)
{
    const int w = preview_->width(), h = preview_->height();
    // sides the band left where they were keep their exact master values
    auto side = [](int band, int placed, int master, int to, int from) {
        return band == placed ? master : scaled(band, to, from);
    };
    selection_.setCoords(side(left, bandPlaced_.left(), selection_.left(), masterWidth_, w),
                         side(top, bandPlaced_.top(), selection_.top(), masterHeight_, h),
                         side(right, bandPlaced_.right(), selection_.right(), masterWidth_, w),
                         side(bottom, bandPlaced_.bottom(), selection_.bottom(), masterHeight_, h));
    bandPlaced_.setCoords(left, top, right, bottom);
    ui->edCropLeft->setText(QString::number(selection_.left()));
    ui->edCropTop->setText(QString::number(selection_.top()));
    ui->edCropRight->setText(QString::number(selection_.right()));
    ui->edCropBottom->setText(QString::number(selection_.bottom()));
    preview_->SetOverlayRect(QRect(QPoint(left, top), QSize(right - left + 1, bottom - top + 1)));
}

void TEffectForm::SelectAll()
{
    band_->SetBounds(0, 0, preview_->width(), preview_->height());
}

void TEffectForm::showSelection(bool show)
{
    show = show && !ui->sbHideSelection->isChecked();
    band_->SetControl(show ? preview_ : nullptr);
    preview_->AfterPaint = show ? TILPImage::PaintEvent([this](QPainter& p) { band_->Paint(p); }) : nullptr;
    ui->sbSelectAll->setEnabled(show);
    for (QWidget* w : {static_cast<QWidget*>(ui->lbLeft), static_cast<QWidget*>(ui->lbTop),
                       static_cast<QWidget*>(ui->lbRight), static_cast<QWidget*>(ui->lbBottom),
                       static_cast<QWidget*>(ui->edCropLeft), static_cast<QWidget*>(ui->edCropTop),
                       static_cast<QWidget*>(ui->edCropRight), static_cast<QWidget*>(ui->edCropBottom)})
        w->setVisible(show);
    preview_->update();
}

QRect TEffectForm::limited(QRect r, int width, int height) const
{
    r.setCoords(std::max(0, r.left()), std::max(0, r.top()), std::min(width, r.right()), std::min(height, r.bottom()));
    return r;
}

// ---- pages --------------------------------------------------------------------

QString TEffectForm::ActiveCaption() const
{
    return ui->PageControl->tabText(ui->PageControl->currentIndex());
}

const PageSpec* TEffectForm::ActivePage() const
{
    return effectpages::find(ActiveCaption());
}

bool TEffectForm::SetActivePage(const QString& caption)
{
    for (int i = 0; i < ui->PageControl->count(); ++i) {
        if (ui->PageControl->tabText(i) == caption) {
            ui->PageControl->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void TEffectForm::pageChanged()
{
    refreshColourCount();
    const PageSpec* page = ActivePage();
    const QString caption = ActiveCaption();
    const bool selection = page && page->selection;
    ui->sbHideSelection->setEnabled(selection);
    showSelection(selection);
    const bool havePreview = previewDib_ != nullptr;
    ui->sbPreview->setEnabled(havePreview);
    ui->sbApply->setEnabled(havePreview);
    ui->sbApplyClose->setEnabled(havePreview);
    const bool palette = caption == QLatin1String("Farbpalette");
    const bool paste = caption == QStringLiteral("Image einfügen");
    if (palette) {
        ui->sbPreview->setEnabled(false);
        ui->sbApply->setEnabled(false);
    }
    pasteMode_ = paste;
    if (paste)
        ui->sbPreview->setEnabled(false);
    pastePage_->SetPolling(paste);
    preview_->SetOverlayMode(paste && !pastePage_->PictureImage().isNull());
    if (!havePreview)
        return;
    if (palette && masterBits_ <= 8) {
        runner_.stop();
        palettePage_->SetPicture(&MasterDib);
        preview_->SetPicture(imageOf(MasterDib));
        return;
    }
    palettePage_->SetPicture(nullptr);
    if (palettePage_->Edited()) {
        palettePage_->ClearEdited();
        rebuildPreview();
        return;
    }
    showPicture(snapshot_);
    FreeDIB(previewDib_);
    previewDib_ = dibcore::copyBlock(snapshot_);
}

void TEffectForm::refreshColourCount()
{
    if (!colourCountText_)
        return;
    auto* trueColour = qobject_cast<QCheckBox*>(controls_[QStringLiteral("cbColourTrueColour")]);
    if (!previewDib_) {
        colourCountText_->clear();
        return;
    }
    const int bits = effectframe::bitCount(previewDib_);
    switch (bits) {
    case 1: colourCountText_->setText(QStringLiteral("Das gegenwärtige gestellte Bild hat 1 Farbe")); break;
    case 4: colourCountText_->setText(QStringLiteral("Das gegenwärtige gestellte Bild hat 16 Farben")); break;
    case 8: colourCountText_->setText(QStringLiteral("Das gegenwärtige gestellte Bild hat 256 Farben")); break;
    case 16:
    case 24:
        colourCountText_->setText(QStringLiteral("Das gegenwärtige gestellte Bild hat %1 Bit Farben").arg(bits));
        trueColour->setChecked(false);
        trueColour->setEnabled(false);
        return;
    default: return;
    }
    trueColour->setEnabled(true);
}

QString TEffectForm::ColourCountText() const
{
    return colourCountText_ ? colourCountText_->text() : QString();
}

QString TEffectForm::StatusText() const
{
    return statusText_->text();
}

// ---- preview, apply, undo -------------------------------------------------------

void TEffectForm::showPicture(GlobalHandle dib)
{
    preview_->SetPicture(imageOf(dib));
}

void TEffectForm::automaticPreview()
{
    if (ui->sbPreview->isEnabled() && !busy())
        Preview();
}

void TEffectForm::Preview()
{
    runEffect(false);
}

void TEffectForm::Apply()
{
    runEffect(true);
}

void TEffectForm::runEffect(bool apply)
{
    const PageSpec* page = ActivePage();
    if (!shownFlag || !previewDib_ || !page || page->caption == QLatin1String("Farbpalette") || busy())
        return;
    if (!apply && !ui->sbPreview->isEnabled())
        return;
    const bool paste = page->caption == QStringLiteral("Image einfügen");
    if (!apply && page->caption == QLatin1String("Kneifenloch") &&
        Values(*page).slider(QStringLiteral("Value")) == 0) {
        if (ui->sbUndo->isEnabled())
            Undo();
        return;
    }
    changedFlag = true;
    stopRequested_ = false;
    ui->ProgressBar->setValue(0);
    ui->sbApplyClose->setEnabled(true);
    lastWasApply_ = apply;

    EffectRequest request;
    request.values = Values(*page);
    const QSize previewSize = preview_->size();
    if (apply) {
        const QRect r = paste ? selection_ : limited(selection_, masterWidth_, masterHeight_);
        request.left = r.left(), request.top = r.top(), request.right = r.right(), request.bottom = r.bottom();
        ui->sbUndo->setEnabled(false);
        work_ = Work::Apply;
        setBusy(true);
    } else {
        // previews never accumulate: each starts from the snapshot
        FreeDIB(previewDib_);
        previewDib_ = dibcore::copyBlock(snapshot_);
        const int pw = effectframe::width(previewDib_), ph = effectframe::height(previewDib_);
        const QRect r = limited(QRect(QPoint(scaled(selection_.left(), pw, masterWidth_),
                                             scaled(selection_.top(), ph, masterHeight_)),
                                      QPoint(scaled(selection_.right(), pw, masterWidth_),
                                             scaled(selection_.bottom(), ph, masterHeight_))),
                                pw, ph);
        request.left = r.left(), request.top = r.top(), request.right = r.right(), request.bottom = r.bottom();
        ui->sbUndo->setEnabled(true);
        work_ = Work::Preview;
        ui->sbStop->setEnabled(true);
    }
    const bool fromMaster = apply || page->masterSource;
    const GlobalHandle source = dibcore::copyBlock(fromMaster ? MasterDib : snapshot_);
    const GlobalHandle pasted = paste ? dibcore::copyBlock(pastePage_->Picture()) : nullptr;
    const EffectRun run = page->run;
    const int resultBits = masterBits_;
    runner_.start([=](const EffectRunner::Context& c) mutable {
        EffectOutcome o;
        request.source = source;
        request.owner = c.owner;
        request.progress = c.progress;
        request.frame = c.frame;
        if (paste) {
            if (pasted) {
                const GlobalHandle fitted =
                    ScaleDib(pasted, request.right - request.left, request.bottom - request.top, 24);
                if (fitted)
                    o.result = DropDib(source, fitted, -1, -1, -1, request.top, request.left);
                FreeDIB(fitted);
                FreeDIB(pasted);
            }
        } else if (run) {
            o.result = run(request);
        }
        if (request.source != o.result)
            FreeDIB(request.source);
        if (c.stopped()) {
            FreeDIB(o.result);
            o.result = nullptr;
        }
        if (apply && o.result)
            o.preview = previewOf(o.result, previewSize);
        o.shown = imageOf(apply ? o.preview : o.result);
        Q_UNUSED(resultBits);
        return o;
    });
}

void TEffectForm::effectFinished(const EffectOutcome& result)
{
    EffectOutcome o = result;
    const Work work = work_;
    work_ = Work::None;
    if (work == Work::None) {   // undone meanwhile
        EffectRunner::freeOutcome(o);
        return;
    }
    if (work == Work::Rebuild) {
        FreeDIB(previewDib_);
        FreeDIB(snapshot_);
        previewDib_ = o.preview;
        snapshot_ = dibcore::copyBlock(o.preview);
        o.preview = nullptr;
        preview_->SetPicture(o.shown);
        setBusy(false);
        moveSplitter();
        placeBand();
        pageChanged();
        EffectRunner::freeOutcome(o);
        return;
    }
    if (work == Work::Apply) {
        if (o.result) {
            FreeDIB(MasterDib);
            MasterDib = o.result;
            o.result = nullptr;
            readMasterSize();
            FreeDIB(previewDib_);
            FreeDIB(snapshot_);
            previewDib_ = o.preview;
            snapshot_ = dibcore::copyBlock(o.preview);
            o.preview = nullptr;
            if (ActiveCaption() == QLatin1String("Rote Augen"))
                changedFlag = false;
        }
        showPicture(previewDib_);
        setBusy(false);
    } else if (o.result) {
        FreeDIB(previewDib_);
        previewDib_ = o.result;
        o.result = nullptr;
        preview_->SetPicture(o.shown);
    } else {
        showPicture(previewDib_);
    }
    EffectRunner::freeOutcome(o);
    finishRun();
    if (closeAfterApply_ && work == Work::Apply) {
        closeAfterApply_ = false;
        endDialog();
    }
}

void TEffectForm::finishRun()
{
    const PageSpec* page = ActivePage();
    showSelection(page && page->selection);
    ui->sbStop->setEnabled(false);
    statusText_->clear();
    refreshColourCount();
    ui->sbPreview->setEnabled(previewDib_ && page && page->run && !pasteMode_);
    preview_->update();
}

void TEffectForm::setBusy(bool busy)
{
    if (busy) {
        disabledByRun_.clear();
        for (QWidget* w : std::initializer_list<QWidget*>{ui->sbHideSelection, ui->sbSelectAll, ui->sbUndo,
                                                          ui->sbPreview, ui->sbApply, ui->sbApplyClose, ui->sbClose,
                                                          ui->PageControl, menuBar_}) {
            if (w->isEnabled()) {
                disabledByRun_.push_back(w);
                w->setEnabled(false);
            }
        }
        ui->sbStop->setEnabled(true);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        for (QWidget* w : disabledByRun_)
            w->setEnabled(true);
        disabledByRun_.clear();
        ui->sbStop->setEnabled(false);
        QApplication::restoreOverrideCursor();
    }
}

void TEffectForm::progressed(int percent, const QString& operation)
{
    QProgressBar* bar = ui->ProgressBar;
    if (percent == 0) {
        bar->setValue(0);
    } else if (percent > 99) {
        bar->setValue(percent);
    } else if (percent > bar->value() + 5) {
        bar->setValue(percent);
        statusText_->setText(operation);
    }
}

void TEffectForm::StopEffect()
{
    stopRequested_ = true;
    runner_.stop();
}

void TEffectForm::Undo()
{
    if (busy())
        return;
    runner_.stop();
    work_ = Work::None;
    FreeDIB(previewDib_);
    previewDib_ = dibcore::copyBlock(snapshot_);
    showPicture(previewDib_);
    moveSplitter();
    changedFlag = false;
    finishRun();
}

void TEffectForm::WaitForWork()
{
    runner_.waitForIdle();
    palettePage_->Runner().waitForIdle();
    pastePage_->Runner().waitForIdle();
}

// ---- closing --------------------------------------------------------------------

void TEffectForm::ApplyAndClose()
{
    returnResult_ = true;
    if (!lastWasApply_ && changedFlag && previewDib_) {
        closeAfterApply_ = true;
        changedFlag = false;
        Apply();
        return;
    }
    close();
}

void TEffectForm::closeEvent(QCloseEvent* event)
{
    if (busy()) {
        event->ignore();
        return;
    }
    if (changedFlag) {
        const auto answer = MessageBox::show(this, QMessageBox::Question, QStringLiteral("Änderungen speichern"),
                                             QStringLiteral("Sie haben das Bild verändert. Änderungen speichern?"),
                                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel) {
            event->ignore();
            return;
        }
        if (answer == QMessageBox::Yes) {
            returnResult_ = true;
            if (!lastWasApply_) {
                changedFlag = false;
                closeAfterApply_ = true;
                event->ignore();
                Apply();
                return;
            }
        }
    }
    runner_.stop();
    shownFlag = false;
    event->accept();
    setResult(returnResult_ ? QDialog::Accepted : QDialog::Rejected);
    QDialog::done(result());
}

void TEffectForm::endDialog()
{
    changedFlag = false;
    close();
}
