#include "kvnpictureedit.h"

#include "selectionedits.h"
#include "selectionoverlay.h"

#include "annotations/annotationediting.h"
#include "conversion/colordepth/changecoldlg.h"
#include "conversion/sizing/picsizedlg.h"
#include "effects/dialog/effectsdialog.h"
#include "effects/undoring.h"
#include "imagecontrol/clipboardpicture.h"
#include "imagecontrol/annotationfile.h"
#include "imagecontrol/ilmultiimagetoolbarbutton.h"
#include "imagecontrol/imageinfo.h"
#include "imagecontrol/mmsavedialog.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/hourglass.h"
#include "platform/colors.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "printing/printservice.h"
#include "thumbnails/ispicturefile.h"
#include "viewer/changedpicture.h"
#include "viewer/samplepicture.h"
#include "viewer/specialpictures.h"
#include "codec/binding/piclibtypes.h"
#include "viewer/settings/aboutbox3.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kCaption = QStringLiteral("Korvane® Picture Editor");

// The buttons that replace the picture.
bool replacesPicture(TILMultiImageToolBarBtn b)
{
    switch (b) {
    case ibOpen: case ibback: case ibnext: case ibScan:
    case ibFirstpage: case ibPriorpage: case ibNextpage: case ibLastpage:
        return true;
    default:
        return false;
    }
}

// The pixel format of an icon by the colour class of its depth.
TPixelFormat iconFormat(int colourClass)
{
    switch (colourClass) {
    case 1: return pf1bit;
    case 2: return pf4bit;
    case 3: return pf8bit;
    default: return pf24bit;
    }
}

// The type name of a metafile by its lower-case extension.
const char* metafileType(const QString& ext)
{
    return ext == QLatin1String(".wmf") ? "Windows Metafile" : "Enhanced Metafile";
}

// The picture information of a picture the control did not load itself.
void describeOwnLoad(TPMultiImage* control, const char* type)
{
    ImageInfo info;
    info.type = QString::fromLatin1(type);
    info.width = control->Picture().width();
    info.height = control->Picture().height();
    info.bitsPerPixel = qint16(control->Picture().bitsPerPixel());
    info.planes = 1;
    info.pageCount = 1;
    control->imageInfo = info;
}

}  // namespace

TKvnPictureEdit::TKvnPictureEdit(const QString& picturePath, int page, QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TKvnPictureEdit"));
    setWindowTitle(kCaption);
    resize(662, 507);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    samplePicture_ = samplepicture::ensure();
    openDialog_ = std::make_unique<TMMOpenDialog>(this);
    saveDialog_ = std::make_unique<TMMSaveDialog>(this);
    buildWindow();
    buildMenus();
    setUpToolbar();
    applySettings();
    if (!picturePath.isEmpty())
        ShowPicture(picturePath, page, image_);
    // with the opening animation the window grows there once it shows
    if (!settings_.openAnimate)
        moveToSavedBounds();
    toolbar_->RefreshButtons();
    refreshEditState();
}

void TKvnPictureEdit::start(const QString& picturePath, int page)
{
    // with a load transition the window is in place first, so the
    // transition plays at its final size
    const bool placedFirst = image_->FXMethod != FXNone && settings_.plausibleBounds(screenSize());
    if (placedFirst) {
        show();
        moveToSavedBounds();
    }
    if (!picturePath.isEmpty())
        ShowPicture(picturePath, page, image_);
    QCoreApplication::processEvents();
    if (!placedFirst) {
        show();
        moveToSavedBounds();
    }
    repaint();
    toolbar_->RefreshButtons();
    refreshEditState();
}

QSize TKvnPictureEdit::screenSize() const
{
    return screen() ? screen()->size() : QSize(1024, 768);
}

TKvnPictureEdit::~TKvnPictureEdit()
{
    toolbar_->setMultiImage(nullptr);
    toolbar_->setMMOpenDialog(nullptr);
    toolbar_->setMMSaveDialog(nullptr);
}

QString TKvnPictureEdit::captionFor(const QString& path)
{
    return path.isEmpty() ? kCaption : kCaption + QStringLiteral(" - ") + path;
}

QString TKvnPictureEdit::picturePath() const { return shownFile_; }
int TKvnPictureEdit::page() const { return shownPage_; }
QLabel* TKvnPictureEdit::statusPanel(int index) const { return panels_.value(index - 1); }
QAbstractButton* TKvnPictureEdit::selectButton() const { return toolbar_->button(ibShowsel); }

void TKvnPictureEdit::buildWindow()
{
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    toolbar_ = new TILMultiImageToolBar(central);
    toolbar_->setObjectName(QStringLiteral("ILMultiImageToolBar1"));
    // one row of the design height; the strip grows by rows when it wraps
    toolbar_->setMinimumHeight(25);
    toolbar_->setMaximumHeight(25);
    column->addWidget(toolbar_);
    image_ = new TPMultiImage(central);
    image_->setObjectName(QStringLiteral("PMultiImage2"));
    column->addWidget(image_, 1);
    setCentralWidget(central);
    overlay_ = new SelectionOverlay(selection_, image_);

    for (int width : {50, 200, 300, 50}) {
        auto* panel = new QLabel(statusBar());
        panel->setMinimumWidth(width);
        statusBar()->addWidget(panel, width >= 300 ? 1 : 0);
        panels_ << panel;
    }

    image_->setCenter(true);
    image_->setBorderStyle(bsSingle);
    image_->setScrolling(true);
    image_->setShowScrollbars(true);
    image_->B_W_CopyFlags = {C_DEL, C_ANTIALIAS, C_ANTIALIAS256};
    image_->DefSaveFilename = QStringLiteral("Image1.bmp");
    image_->ImageDither = true;
    image_->setBlitMode(sLightest);
    image_->setScrollbarWidth(12);
    image_->ZoomBy = 10;
    image_->GrabHandCursor = 5;
    image_->setJPegSaveQuality(255);   // out of range: 25
    image_->ReduceDither = IL_BAYER;
    image_->OnIlibError = [](QObject*, qint16, const QString&, const char*) {};
    image_->OnPaintArea = [this](QObject*, int x, int y, int w, int h) {
        drawn_ = QRect(x, y, w, h);
        selection_.clampInto(drawn_);
    };
    image_->OnPictureChanged = [this](QObject*) { refreshEditState(); };
    image_->setMouseTracking(true);
    image_->installEventFilter(this);
    image_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(image_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (selectionMode_)
            contextMenu_->popup(image_->mapToGlobal(at));
    });
}

void TKvnPictureEdit::buildMenus()
{
    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    auto command = [this](const QString& text, QKeyCombination keys, auto run) {
        QAction* action = contextMenu_->addAction(text);
        if (keys.key() != Qt::Key_unknown)
            action->setShortcut(QKeySequence(keys));
        connect(action, &QAction::triggered, this, run);
        addAction(action);   // the shortcuts work while the action is enabled
        return action;
    };
    copy_ = command(QStringLiteral("Kopieren"), Qt::CTRL | Qt::Key_C, [this] { toolbar_->Click(ibCopy); });
    paste_ = command(QStringLiteral("Einfügen"), Qt::CTRL | Qt::Key_V, [this] { toolbar_->Click(ibPaste); });
    contextMenu_->addSeparator();
    cut_ = command(QStringLiteral("Ausschneiden"), Qt::CTRL | Qt::Key_X, [this] { toolbar_->Click(ibCut); });
    contextMenu_->addSeparator();
    crop_ = command(QStringLiteral("Zuschneiden"), Qt::CTRL | Qt::Key_Y, [this] { cropToSelection(); });
    connect(contextMenu_, &QMenu::aboutToShow, this, &TKvnPictureEdit::refreshEditState);

    QMenu* help = menuBar()->addMenu(QStringLiteral("?"));
    info_ = help->addAction(QStringLiteral("Info"));
    connect(info_, &QAction::triggered, this, &TKvnPictureEdit::showAbout);
}

void TKvnPictureEdit::setUpToolbar()
{
    TILMultiImageToolBar* bar = toolbar_;
    bar->setAligned(true);
    bar->setVisibleButtons(toolbarbuttons::all().set(ibShowsel));
    bar->setHints(TILMultiImageToolBar::ViewerHints() << QStringLiteral("Auswählen..."));
    bar->ShowSelection = [this](bool on) { setSelectionMode(on); };
    bar->SelectionShown = [this] { return selectionMode_; };
    bar->setMMOpenDialog(openDialog_.get());
    bar->setMMSaveDialog(saveDialog_.get());
    bar->ShowPicture = [this](const QString& file, int page, TPMultiImage& target) {
        ShowPicture(file, page, &target);
    };
    bar->OnActionError = [this](const QString& message) { statusPanel(1)->setText(message); };
    print_ = new PrintService(this);
    bar->PrintDialog = [this](TPMultiImage& image) { print_->PrintPicture(image); };
    annotationediting::Attach(*bar);
    image_->EffectsDialog = [this](TPMultiImage&, GlobalHandle& master) { return RunEffectsDialog(this, master); };
    bar->ResizeDialog = [this](TPMultiImage& image) { return RunPicSizeDialog(this, print_->printer(), image); };
    bar->ColorDepthDialog = MakeColorDepthHook(this, [] { return paths::programFolder() + QStringLiteral("beispiel.jpg"); });
    bar->BeforeAction = [this](QObject*, TILMultiImageToolBarBtn b, bool& process) { beforeToolbarAction(b, process); };
    bar->AfterAction = [this](QObject*, TILMultiImageToolBarBtn b) { afterToolbarAction(b); };
    bar->setMultiImage(image_);
}

void TKvnPictureEdit::applySettings()
{
    settings_ = EditorSettings::read();
    image_->FXDelay = settings_.fxDelay;
    image_->FXColRowThick = settings_.fxThick;
    image_->FXMethod = settings_.fxMethod >= 1 && settings_.fxMethod <= 5 ? TFXMethod(settings_.fxMethod) : FXNone;
    image_->setColor(settings_.viewColor);
    for (TMMOpenDialog* dialog : {static_cast<TMMOpenDialog*>(saveDialog_.get()), openDialog_.get()}) {
        dialog->JPEGSmooth = settings_.jpegSaveSmooth;
        dialog->JPEGQualiy = settings_.jpegSaveQuality;
        dialog->PNGInterLaced = settings_.pngInterlaced;
        dialog->TIFFAppended = settings_.tiffAppended;
        dialog->TIFFCompres = settings_.tiffCompression;
    }
    image_->TiffAppend = settings_.tiffAppended;
    image_->TifSaveCompress = TTiffCompression(std::clamp(settings_.tiffCompression, int(sNONE), int(sPACKBITS)));
    image_->PNGInterLaced = settings_.pngInterlaced;
    image_->setJPegSaveQuality(settings_.jpegSaveQuality);
    image_->setJPegSaveSmooth(settings_.jpegSaveSmooth);
    openDialog_->JPEGQualiy = image_->JPegSaveQuality();
    openDialog_->JPEGSmooth = image_->JPegSaveSmooth();
    image_->setStretchRatio(settings_.stretchRatio);
    image_->setCenter(settings_.center);
    image_->AllowRubberBand = settings_.allowRubberBand;
    image_->setEditAnnotat(settings_.editAnnotations);
}

void TKvnPictureEdit::storeSettings()
{
    // the frame's corner and the inside's size, as the viewer keeps its own
    settings_.bounds = QRect(pos(), size());
    settings_.stretchRatio = image_->StretchRatio();
    settings_.center = image_->Center();
    settings_.allowRubberBand = image_->AllowRubberBand;
    settings_.editAnnotations = image_->EditAnnotat();
    settings_.write();
}

// bounds: the frame's top left corner and the size inside the frame, so the
// title bar stays on the screen and a restart puts the window where it was
void TKvnPictureEdit::placeAt(const QRect& bounds)
{
    resize(bounds.size());
    move(bounds.topLeft());
}

void TKvnPictureEdit::moveToSavedBounds()
{
    if (!settings_.plausibleBounds(screenSize()))
        return;
    const QRect target = settings_.bounds;
    if (!settings_.openAnimate) {
        placeAt(target);
        return;
    }
    const int steep = std::max(settings_.openSteep, 1);
    auto toward = [](int value, int goal, int step) {
        return value < goal ? std::min(value + step, goal) : std::max(value - step, goal);
    };
    QRect now(pos(), size());
    for (int i = 0; i < 2000 && now != target; ++i) {
        now = QRect(toward(now.x(), target.x(), steep), toward(now.y(), target.y(), steep),
                    toward(now.width(), target.width(), 2 * steep), toward(now.height(), target.height(), 2 * steep));
        placeAt(now);
        QCoreApplication::processEvents();
        if (settings_.openDelay > 0)
            QThread::msleep(ulong(std::min(settings_.openDelay, 1000)));
        QCoreApplication::processEvents();
    }
}

// ---- pictures -------------------------------------------------------------------------

void TKvnPictureEdit::ShowPicture(const QString& file, int page, TPMultiImage* control)
{
    if (!control || !IsPictureFile(file))
        return;
    {
        HourglassCursor wait;
        loadPicture(file, page, control);
    }
    if (control == image_)
        showAnnotationsOf(file);
    setWindowTitle(captionFor(file));
    control->setModified(false);
    annotationCount_ = control->AnnotationCount();
    shownFile_ = file;
    shownPage_ = control->TiffPage();
    refreshEditState();
}

// With automatic loading the picture's annotation file is loaded and the
// annotation button pressed, so they can be edited at once.
void TKvnPictureEdit::showAnnotationsOf(const QString& file)
{
    const QString annotations = PictureAnnotationFile(file);
    if (image_->Picture().empty() || image_->LoadFailed() || !image_->AutoLoadAnno || !QFileInfo::exists(annotations))
        return;
    image_->ClearAnnotations();
    image_->LoadAnnotations(image_->TiffPage(), annotations);
    TILMultiImageToolBarButton* button = toolbar_->button(ibAnnotEdit);
    if (button->isEnabled() && !button->isChecked())
        toolbar_->Click(ibAnnotEdit);
}

void TKvnPictureEdit::loadPicture(const QString& file, int page, TPMultiImage* control)
{
    if (!control->Picture().empty())
        PushUndo(control->Picture());
    control->setPicture(TBitmap());
    control->setTiffPage(qint16(page));
    control->ImageReadRes = lAutoMatic;
    control->ImageWriteRes = sAutoMatic;
    const QString ext = paths::lowerExtension(file);
    QString information;
    if (ext == QLatin1String(".wmf") || ext == QLatin1String(".emf")) {
        control->setImageName(file);   // the control leaves metafiles to us
        control->setPicture(specialpictures::metafilePicture(file));
        describeOwnLoad(control, metafileType(ext));
        information = specialpictures::metafileInformationText(control->imageInfo.type, control->Picture());
    } else if (ext == QLatin1String(".ico")) {
        control->setImageName(file);
        TBitmap icon;
        if (!specialpictures::iconPicture(file, colors::toQColor(control->Color()), icon))
            return;   // 256-pixel entries are not shown
        icon.setPixelFormat(iconFormat(PixelFormatCode(specialpictures::foldedDeviceDepth())));
        control->setPicture(icon);
        describeOwnLoad(control, "ICON");
        information = specialpictures::iconInformationText(file, control->Picture());
    } else {
        control->setImageName(file);
        saveDialog_->TiffSelectedPage = qint16(page);
        information = specialpictures::pictureInformationText(control->imageInfo, file, page);
    }
    control->DefSaveFilename = file;
    saveDialog_->FileName = file;
    if (const int index = TMMOpenDialog::filterIndexOfExtension(paths::extension(file).mid(1)); index > 0)
        saveDialog_->FilterIndex = index;
    control->setShowScrollbars(true);
    control->setJPegSaveQuality(255);
    control->ImageWriteRes = sAutoMatic;
    control->ReduceDither = IL_BAYER;
    if (control->Picture().empty() || control->LoadFailed()) {
        statusPanel(3)->clear();
        MessageBox::warning(this, QStringLiteral("Nicht unterstütztes Bildformat"),
                            "Die Datei \"" + paths::fileName(file) + "\" ist keine unterstützte Bilddatei.");
        return;
    }
    statusPanel(3)->setText(information);
    statusPanel(2)->setText(file);
}

// ---- selection ------------------------------------------------------------------------

bool TKvnPictureEdit::selectionPresent() const
{
    return selection_.present(image_->AllowRubberBand);
}

QRect TKvnPictureEdit::selectedPictureRect() const
{
    return selection_.pictureRect(drawn_, image_->ZoomFactor, image_->ViewOrigin, image_->Picture().image().size());
}

void TKvnPictureEdit::setSelectionMode(bool on)
{
    selectionMode_ = on;
    selection_.setHidden(!on);
    if (on) {
        image_->AllowRubberBand = true;
        image_->setEditAnnotat(false);
    }
    toolbar_->RefreshButtons();
    refreshEditState();
    image_->update();
}

bool TKvnPictureEdit::modified() const
{
    return image_->Modified() || image_->AnnotationCount() != annotationCount_;
}

void TKvnPictureEdit::setModified(bool on)
{
    image_->setModified(on);
}

void TKvnPictureEdit::copySelection()
{
    HourglassCursor wait;
    if (selectionPresent())
        selectionedits::copy(*image_, selectedPictureRect());
    else
        image_->CopyToClipboard();
}

void TKvnPictureEdit::cutSelection()
{
    HourglassCursor wait;
    if (selectionPresent())
        selectionedits::cut(*image_, selectedPictureRect());
    else if (!image_->Picture().empty())
        image_->CutToClipboard();
    refreshEditState();
}

void TKvnPictureEdit::pasteSelection()
{
    HourglassCursor wait;
    if (selectionPresent() && !image_->Picture().empty())
        selectionedits::pasteInto(*image_, selectedPictureRect());
    else if (clipboardpicture::offersPicture())
        image_->PasteFromClipboard();
    if (image_->StretchRatio())
        image_->ComputeFitZoom();
    refreshEditState();
}

void TKvnPictureEdit::cropToSelection()
{
    if (image_->Picture().empty() || !selectionPresent())
        return;
    HourglassCursor wait;
    if (selectionedits::crop(*image_, selectedPictureRect())) {
        selection_.reset();
        if (image_->StretchRatio())
            image_->ComputeFitZoom();
    }
    toolbar_->RefreshButtons();
    refreshEditState();
}

void TKvnPictureEdit::refreshEditState()
{
    if (!toolbar_ || !overlay_)
        return;
    const bool picture = !image_->Picture().empty();
    overlay_->setVisibleFrame(selectionMode_ && !selection_.hidden() && picture);
    overlay_->update();
    copy_->setEnabled(selectionMode_ && toolbar_->button(ibCopy)->isEnabled());
    paste_->setEnabled(selectionMode_ && toolbar_->button(ibPaste)->isEnabled());
    cut_->setEnabled(selectionMode_ && toolbar_->button(ibCut)->isEnabled());
    crop_->setEnabled(selectionMode_ && picture);
}

// ---- toolbar --------------------------------------------------------------------------

void TKvnPictureEdit::beforeToolbarAction(TILMultiImageToolBarBtn b, bool& process)
{
    if (replacesPicture(b) && !askToSave(true)) {
        process = false;
        return;
    }
    switch (b) {
    case ibback:
    case ibnext:
        process = false;   // the editor has no picture list
        break;
    case ibCut:
        cutSelection();
        process = false;
        break;
    case ibCopy:
        copySelection();
        process = false;
        break;
    case ibPaste:
        pasteSelection();
        process = false;
        break;
    default:
        break;
    }
}

void TKvnPictureEdit::afterToolbarAction(TILMultiImageToolBarBtn b)
{
    if (b == ibPanZoom && toolbar_->button(ibPanZoom)->isChecked())
        setSelectionMode(false);
    if (b == ibAnnotEdit && toolbar_->button(ibAnnotEdit)->isChecked())
        setSelectionMode(false);
    if (b == ibScan && !image_->Picture().empty()) {
        const QString scan = QStringLiteral("Scanner.bmp");
        image_->DefSaveFilename = scan;
        setWindowTitle(captionFor(scan));
        image_->setModified(true);
        annotationCount_ = image_->AnnotationCount();
        saveDialog_->FileName = scan;
    }
    if (b == ibSave)
        showSavedFile(toolbar_->SavedFile());
    refreshEditState();
}

// After a save the window names the file written, as after opening it;
// the picture stays as it is.
void TKvnPictureEdit::showSavedFile(const QString& file)
{
    if (file.isEmpty())
        return;
    const QString ext = paths::lowerExtension(file);
    int page = 0;
    ImageInfo info;
    if (ReadPictureInfo(file, page, image_->Picture(), info) == InfoFailure::None && info.pageCount > 1
        && (ext == QLatin1String(".tif") || ext == QLatin1String(".tiff")) && image_->TiffAppend) {
        page = info.pageCount - 1;   // the appended page
        ReadPictureInfo(file, page, image_->Picture(), info);
    }
    QString information;
    if (ext == QLatin1String(".wmf") || ext == QLatin1String(".emf"))
        information = specialpictures::metafileInformationText(QLatin1String(metafileType(ext)), image_->Picture());
    else if (ext == QLatin1String(".ico"))
        information = specialpictures::iconInformationText(file, image_->Picture());
    else
        information = specialpictures::pictureInformationText(info, file, page);
    shownFile_ = file;
    shownPage_ = page;
    setWindowTitle(captionFor(file));
    statusPanel(2)->setText(file);
    statusPanel(3)->setText(information);
    image_->DefSaveFilename = file;
    saveDialog_->FileName = file;
}

bool TKvnPictureEdit::askToSave(bool countAnnotations)
{
    const bool annotationsChanged = countAnnotations && image_->AnnotationCount() != annotationCount_;
    const auto answer = changedpicture::ask(this, *toolbar_, annotationsChanged);
    if (answer == changedpicture::Answer::NotSaved)
        statusPanel(1)->setText(changedpicture::notSavedText());
    if (answer != changedpicture::Answer::Replace)
        return false;
    annotationCount_ = image_->AnnotationCount();
    return true;
}

// ---- events ---------------------------------------------------------------------------

void TKvnPictureEdit::closeEvent(QCloseEvent* event)
{
    // annotations added or removed since the load count too: closing would lose them
    if (!askToSave(true)) {
        event->ignore();
        return;
    }
    storeSettings();
    event->accept();
}

bool TKvnPictureEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == image_ && handleMouse(event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

bool TKvnPictureEdit::handleMouse(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Wheel:
        return true;   // the picture list it would step through does not exist here
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!image_->AllowRubberBand || image_->EditAnnotat() || mouse->button() != image_->RubberBandBtn)
            return false;
        image_->setFocus(Qt::MouseFocusReason);
        selection_.start(mouse->position().toPoint());
        dragging_ = true;
        image_->update();
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!image_->hasFocus() || toolbar_->hasFocus())
            image_->setFocus(Qt::MouseFocusReason);
        if (dragging_) {
            selection_.follow(mouse->position().toPoint());
            selection_.clampInto(drawn_);
            overlay_->update();
        }
        statusPanel(1)->setText(selection_.statusText());
        return dragging_;
    }
    case QEvent::MouseButtonRelease:
        if (!dragging_)
            return false;
        dragging_ = false;
        image_->update();
        refreshEditState();
        return true;
    default:
        return false;
    }
}

void TKvnPictureEdit::showAbout()
{
    auto* about = new TAboutBox3(this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}
