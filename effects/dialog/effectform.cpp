// TEffectForm: construction, the menu and the controls' connections,
// opening and closing the dialog, and help.

#include "effectform.h"
#include "effectformshared.h"

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

using namespace effectformshared;

namespace effectformshared {

std::atomic<bool> changedFlag{false};
std::atomic<bool> shownFlag{false};

QImage imageOf(GlobalHandle dib)
{
    TBitmap bitmap;
    if (!dib || !DIBToGraphic(dib, bitmap))
        return {};
    return bitmap.image();
}

GlobalHandle previewOf(GlobalHandle master, QSize size)
{
    if (!master || size.isEmpty())
        return nullptr;
    return ScaleDib(master, size.width(), size.height(), effectframe::bitCount(master));
}

}  // namespace effectformshared

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
