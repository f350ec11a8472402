#include "ilmultiimagetoolbar.h"

#include "annotationfile.h"
#include "clipboardpicture.h"
#include "ilmultiimagetoolbarbutton.h"
#include "pmultiimage.h"
#include "toolbarlayout.h"

#include "codec/binding/codecwrappers.h"
#include "effects/undoring.h"
#include "platform/hourglass.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "thumbnails/piclibthumbnails.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QKeyEvent>
#include <algorithm>

namespace {

TSaveResolution resolutionForDepth(const QString& depth)
{
    static const struct {
        const char* text;
        TSaveResolution resolution;
    } kDepths[] = {
        {"Monochrom (1 Bit)", sMonoChrome},
        {"16 (4 Bit) Farben", sColor16},
        {"256 (8 Bit) Farben", sColor256},
        {"32767 (15 Bit) Farben", sColor15b},
        {"65535 (16 Bit) Farben", sColor16b},
        {"16 Millionen (24 Bit, True Color) Farben", sColorTrue},
        {"4 Milliarden (32 Bit) Farben", sColor32b},
        {"256 (8 Bit) Graustufen", sJpegGray},
    };
    for (const auto& d : kDepths)
        if (depth == QString::fromUtf8(d.text))
            return d.resolution;
    return sAutoMatic;
}

}  // namespace

// The glyphs live in a static library: register them before the first use.
static void registerGlyphs()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(toolbarglyphs);
        return true;
    }();
    Q_UNUSED(registered);
}

TILMultiImageToolBar::TILMultiImageToolBar(QWidget* parent) : QWidget(parent), visible_(toolbarbuttons::all())
{
    registerGlyphs();
    setFocusPolicy(Qt::TabFocus);
    order_ = toolbarbuttons::stripOrder();
    for (int i = 0; i < kEditorToolBarButtonCount; ++i) {
        const auto b = TILMultiImageToolBarBtn(i);
        auto* button = new TILMultiImageToolBarButton(b, this);
        button->loadGlyphs(toolbarbuttons::glyphSuffix(b));
        connect(button, &QAbstractButton::pressed, this, [this, b] { buttonPressed(b); });
        connect(button, &QAbstractButton::clicked, this, [this, b] { buttonClicked(b); });
        buttons_[size_t(i)] = button;
    }
    applyHints();
    applyMinimumSize();
    resize(241, 25);
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &TILMultiImageToolBar::RefreshButtons);
    LayoutButtons();
    RefreshButtons();
}

TILMultiImageToolBar::~TILMultiImageToolBar()
{
    if (image_)
        image_->OnButtonUpdate = nullptr;
}

QStringList TILMultiImageToolBar::ViewerHints()
{
    return toolbarbuttons::viewerHints();
}

// ---- properties ------------------------------------------------------------------

void TILMultiImageToolBar::setMultiImage(TPMultiImage* image)
{
    if (image_ == image)
        return;
    if (image_) {
        image_->OnButtonUpdate = nullptr;
        disconnect(image_, nullptr, this, nullptr);
    }
    image_ = image;
    if (image_) {
        QPointer<TILMultiImageToolBar> self(this);
        image_->OnButtonUpdate = [self] {
            if (self)
                self->RefreshButtons();
        };
        connect(image_, &QObject::destroyed, this, &TILMultiImageToolBar::RefreshButtons, Qt::QueuedConnection);
    }
    RefreshButtons();
}

void TILMultiImageToolBar::setThumbnails(TPicLibThumbnails* grid)
{
    grid_ = grid;
    RefreshButtons();
}

void TILMultiImageToolBar::setVisibleButtons(TILMultiImageToolBarBtns buttons)
{
    visible_ = buttons;
    applyMinimumSize();
    LayoutButtons();
}

void TILMultiImageToolBar::setFlat(bool on)
{
    flat_ = on;
    for (auto* b : buttons_)
        b->setFlat(on);
}

void TILMultiImageToolBar::setHints(const QStringList& hints)
{
    hints_ = hints;
    applyHints();
}

void TILMultiImageToolBar::setAligned(bool on)
{
    aligned_ = on;
    applyMinimumSize();
    LayoutButtons();
}

void TILMultiImageToolBar::applyHints()
{
    for (int i = 0; i < kEditorToolBarButtonCount; ++i) {
        const auto b = TILMultiImageToolBarBtn(i);
        const QString line = i < hints_.size() ? hints_.at(i) : QString();
        buttons_[size_t(i)]->setToolTip(line.isEmpty() ? toolbarbuttons::defaultHint(b) : line);
    }
}

// An aligned toolbar wraps its buttons into rows: one button is the least
// width it needs. An unaligned one keeps them in one row.
void TILMultiImageToolBar::applyMinimumSize()
{
    const int n = std::max(int(visible_.count()), 1);
    setMinimumWidth(aligned_ ? kMinButtonWidth : n * kMinButtonWidth);
}

// ---- layout ------------------------------------------------------------------------

void TILMultiImageToolBar::LayoutButtons()
{
    if (layingOut_)
        return;
    layingOut_ = true;
    QList<TILMultiImageToolBarBtn> shown;
    for (TILMultiImageToolBarBtn b : order_)
        if (visible_.test(size_t(b)))
            shown.append(b);
    const int n = std::max(int(shown.size()), 1);
    const int perRow = aligned_ ? std::clamp(width() / kMinButtonWidth, 1, n) : n;
    const int rows = (n + perRow - 1) / perRow;
    fitRows(rows);
    for (int row = 0; row < rows; ++row) {
        const QList<TILMultiImageToolBarBtn> part = shown.mid(row * perRow, perRow);
        // every row has the first row's cells, so wrapped buttons line up
        const ToolBarLayout layout = LayoutToolBarButtons(width(), rows > 1 ? perRow : int(part.size()), aligned_);
        if (!aligned_ && layout.width != width() && !part.isEmpty())
            resize(layout.width, height());
        int x = 0;
        for (int i = 0; i < part.size(); ++i) {
            TILMultiImageToolBarButton* button = buttons_[size_t(part[i])];
            button->setGeometry(x, row * rowHeight_, layout.widths[i], rowHeight_);
            button->show();
            x += layout.widths[i];
        }
    }
    for (TILMultiImageToolBarBtn b : order_) {
        if (visible_.test(size_t(b)))
            continue;
        TILMultiImageToolBarButton* button = buttons_[size_t(b)];
        button->move(width() + 1, 0);
        button->hide();
    }
    layingOut_ = false;
}

// A wrapped toolbar is as high as its rows; one row gets the height the
// toolbar was given back.
void TILMultiImageToolBar::fitRows(int rows)
{
    if (rows <= 1) {
        if (wrapped_) {
            wrapped_ = false;
            setMinimumHeight(designHeights_.first);
            setMaximumHeight(designHeights_.second);
            resize(width(), rowHeight_);
        }
        rowHeight_ = height();
        return;
    }
    if (!wrapped_) {
        wrapped_ = true;
        designHeights_ = {minimumHeight(), maximumHeight()};
        rowHeight_ = height();
    }
    if (height() != rows * rowHeight_)
        setFixedHeight(rows * rowHeight_);
}

void TILMultiImageToolBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutButtons();
}

void TILMultiImageToolBar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    LayoutButtons();
    RefreshButtons();
}

void TILMultiImageToolBar::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        RefreshButtons();
}

// ---- button states -------------------------------------------------------------

TILMultiImageToolBar::PictureState TILMultiImageToolBar::pictureState() const
{
    PictureState s;
    s.e = image_ && isEnabled() && image_->isEnabled();
    if (s.e) {
        const TBitmap& picture = image_->Picture();
        s.p = picture.width() > 0 && picture.height() > 0;
        s.ne = !picture.empty();
    }
    return s;
}

bool TILMultiImageToolBar::backEnabled() const
{
    if (!grid_ || grid_->Count() < 2)
        return false;
    return grid_->CurrentSelected >= 1 && grid_->CurrentSelected <= grid_->Count() - 1;
}

bool TILMultiImageToolBar::nextEnabled() const
{
    if (!grid_ || grid_->Count() < 2)
        return false;
    return grid_->CurrentSelected >= 0 && grid_->CurrentSelected <= grid_->Count() - 2;
}

bool TILMultiImageToolBar::tiffPicture() const
{
    const QString type = image_ ? image_->imageInfo.type.toLower() : QString();
    return type == QLatin1String("tif") || type == QLatin1String("tiff");
}

int TILMultiImageToolBar::pageCount() const
{
    return image_ ? image_->imageInfo.pageCount : 0;
}

void TILMultiImageToolBar::refreshState(TILMultiImageToolBarBtn b, bool enabled, bool pressed)
{
    TILMultiImageToolBarButton* button = buttons_[size_t(b)];
    button->setEnabled(enabled);
    if (button->isCheckable())
        button->setChecked(pressed);
}

void TILMultiImageToolBar::RefreshButtons()
{
    const PictureState s = pictureState();
    if (!s.e) {
        for (auto* b : buttons_) {
            b->setEnabled(false);
            if (b->isCheckable())
                b->setChecked(false);
        }
        return;
    }
    TPMultiImage& image = *image_;
    const bool fit = image.StretchRatio();
    for (TILMultiImageToolBarBtn b : {ibOpen, ibScan, ibSelectScanner})
        refreshState(b, s.e);
    refreshState(ibSave, s.ne);
    refreshState(ibback, backEnabled());
    refreshState(ibnext, nextEnabled());
    for (TILMultiImageToolBarBtn b : {ibResetZoom, ibCut, ibCopy, ibInvert, ibRotate90, ibRotate180})
        refreshState(b, s.p);
    refreshState(ibPrint, s.p && PrintDialog);
    refreshState(ibResize, s.p && ResizeDialog);
    refreshState(ibChangeColor, s.p && ColorDepthDialog);
    refreshState(ibEffects, s.p && image.EffectsDialog);
    refreshState(ibPanZoom, s.ne && !fit, !image.AllowRubberBand);
    refreshState(ibZoomIn, s.p && !fit);
    refreshState(ibZoomOut, s.p && !fit);
    refreshState(ibBestFit, s.p, fit);
    refreshState(ibCenter, s.p, image.Center());
    refreshState(ibPaste, clipboardpicture::offersPicture());
    refreshState(ibUndo, UndoAvailable());
    refreshState(ibAnnotEdit, s.p && LoadAnnotations, image.EditAnnotat());
    refreshState(ibShowsel, s.p && ShowSelection, SelectionShown && SelectionShown());
    const bool pages = tiffPicture() && s.p;
    const int count = pageCount();
    const int page = image.TiffPage();
    refreshState(ibFirstpage, pages && count > 1 && page > 0);
    refreshState(ibPriorpage, pages && count > 1 && page > 0);
    refreshState(ibNextpage, pages && count >= 2 && page < count - 1);
    refreshState(ibLastpage, pages && count >= 2 && page < count - 1);
}

// ---- clicks and keys ---------------------------------------------------------------

bool TILMultiImageToolBar::Click(TILMultiImageToolBarBtn b)
{
    if (int(b) < 0 || int(b) >= kEditorToolBarButtonCount)
        return false;
    TILMultiImageToolBarButton* button = buttons_[size_t(b)];
    if (!button->isEnabled())
        return false;
    if (button->isCheckable())
        button->setChecked(!button->isChecked());
    runGuarded(b);
    return true;
}

void TILMultiImageToolBar::buttonPressed(TILMultiImageToolBarBtn b)
{
    focused_ = b;
    if (focusPolicy() & Qt::TabFocus)
        setFocus(Qt::MouseFocusReason);
    showFocus();
}

void TILMultiImageToolBar::buttonClicked(TILMultiImageToolBarBtn b)
{
    runGuarded(b);
}

// Actions are reached through the widget library's own frames, which an
// exception must not cross: its message goes to OnActionError instead.
void TILMultiImageToolBar::runGuarded(TILMultiImageToolBarBtn b)
{
    QString message;
    try {
        runAction(b);
        return;
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("Unbekannter Fehler");
    }
    if (OnActionError)
        OnActionError(message);
    else
        MessageBox::warning(this, QString(), message);
}

void TILMultiImageToolBar::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        Click(focused_);
        break;
    case Qt::Key_Left:
        moveFocus(-1);
        break;
    case Qt::Key_Right:
        moveFocus(1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TILMultiImageToolBar::moveFocus(int step)
{
    QList<TILMultiImageToolBarBtn> shown;
    for (TILMultiImageToolBarBtn b : order_)
        if (visible_.test(size_t(b)))
            shown.append(b);
    if (shown.isEmpty())
        return;
    const int at = int(shown.indexOf(focused_));
    const int to = at < 0 ? 0 : std::clamp(at + step, 0, int(shown.size()) - 1);
    focused_ = shown[to];
    showFocus();
}

void TILMultiImageToolBar::showFocus()
{
    const bool has = hasFocus();
    for (auto* b : buttons_)
        b->setShowsFocus(has && b->Index() == focused_);
}

void TILMultiImageToolBar::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    showFocus();
}

void TILMultiImageToolBar::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    showFocus();
}

// ---- actions -------------------------------------------------------------------------

bool TILMultiImageToolBar::runAction(TILMultiImageToolBarBtn b)
{
    // the states follow the control on every way out, exceptions included
    struct Refresh {
        TILMultiImageToolBar* bar;
        ~Refresh() { bar->RefreshButtons(); }
    } refresh{this};
    if (BeforeAction) {
        bool process = true;
        BeforeAction(this, b, process);
        if (!process)
            return false;
    }
    if (!image_)
        return false;
    TPMultiImage& image = *image_;
    const bool pressed = buttons_[size_t(b)]->isChecked();
    bool completed = true;
    switch (b) {
    case ibOpen: completed = openPicture(); break;
    case ibSave: completed = savePicture(); break;
    case ibback: stepPicture(-1); break;
    case ibnext: stepPicture(1); break;
    case ibPrint:
        if (!PrintDialog)
            return false;
        PrintDialog(image);
        break;
    case ibScan: completed = scanPicture(); break;
    case ibSelectScanner: completed = selectScanner(); break;
    case ibPanZoom: image.AllowRubberBand = !pressed; break;
    case ibZoomIn: {
        HourglassCursor wait;
        image.ZoomIn(1.1);
        break;
    }
    case ibZoomOut: {
        HourglassCursor wait;
        image.ZoomOut(0.9);
        break;
    }
    case ibBestFit: image.setStretchRatio(pressed); break;
    case ibCenter: image.setCenter(pressed); break;
    case ibResetZoom: {
        HourglassCursor wait;
        image.ResetZoom();
        break;
    }
    case ibCut: {
        HourglassCursor wait;
        snapshot();
        image.CutToClipboard();
        break;
    }
    case ibCopy: {
        HourglassCursor wait;
        image.CopyToClipboard();
        break;
    }
    case ibPaste: {
        HourglassCursor wait;
        snapshot();
        image.PasteFromClipboard();
        break;
    }
    case ibUndo: {
        HourglassCursor wait;
        image.UndoImage();
        break;
    }
    case ibAnnotEdit: editAnnotations(pressed); break;
    case ibResize:
        if (!ResizeDialog)
            return false;
        completed = ResizeDialog(image);
        break;
    case ibChangeColor: completed = changeColorDepth(); break;
    case ibInvert: {
        HourglassCursor wait;
        snapshot();
        image.InvertImage();
        break;
    }
    case ibRotate90:
    case ibRotate180: {
        HourglassCursor wait;
        snapshot();
        image.RotateImage(0, 0, b == ibRotate90 ? -90.0 : 180.0, 0, 0);
        if (image.StretchRatio())
            image.ResetZoom();
        break;
    }
    case ibEffects: completed = showEffects(); break;
    case ibShowsel:
        if (!ShowSelection)
            return false;
        ShowSelection(pressed);
        break;
    case ibFirstpage:
    case ibPriorpage:
    case ibNextpage:
    case ibLastpage: showTiffPage(b); break;
    }
    if (completed && AfterAction)
        AfterAction(this, b);
    return completed;
}

void TILMultiImageToolBar::snapshot()
{
    if (image_ && !image_->Picture().empty())
        PushUndo(image_->Picture());
}

void* TILMultiImageToolBar::parentWindow() const
{
    return static_cast<void*>(parentWidget());
}

bool TILMultiImageToolBar::changeColorDepth()
{
    if (!ColorDepthDialog)
        return false;
    TPMultiImage& image = *image_;
    TBitmap result;
    QString depth;
    if (!ColorDepthDialog(image, result, depth) || !image_)
        return false;
    HourglassCursor wait;
    snapshot();
    image.setJPegSaveQuality(0);  // out of range: falls back to the default
    if (!result.empty())
        image.setPicture(result);
    image.ImageWriteRes = resolutionForDepth(depth);
    return true;
}

bool TILMultiImageToolBar::showEffects()
{
    TPMultiImage& image = *image_;
    if (image.Picture().empty()) {
        MessageBox::warning(this, QString(), QStringLiteral("Das Bild ist leer."));
        return false;
    }
    snapshot();
    return image.ShowEffectsDialog();
}

void TILMultiImageToolBar::editAnnotations(bool on)
{
    HourglassCursor wait;
    TPMultiImage& image = *image_;
    if (image.AnnotationCount() == 0 && on && LoadAnnotations) {
        const QString file = PictureAnnotationFile(image.ImageName());
        if (!image.ImageName().isEmpty() && QFileInfo::exists(file))
            LoadAnnotations(image, file, image.TiffPage());
    }
    image.setEditAnnotat(on);
}

void TILMultiImageToolBar::showTiffPage(TILMultiImageToolBarBtn b)
{
    TPMultiImage& image = *image_;
    const int current = image.TiffPage();
    const int count = pageCount();
    const QString shown = image.ImageName();
    const int selected = grid_ ? grid_->CurrentSelected : -1;
    if (grid_ && selected >= 0 && selected < grid_->itemCount()
        && paths::samePath(grid_->item(selected).FileName, shown)) {
        int page = 0;
        switch (b) {
        case ibPriorpage: page = std::max(current - 1, 0); break;
        case ibNextpage: page = current + 1; break;
        case ibLastpage: page = grid_->item(selected).PageCount - 1; break;
        default: break;
        }
        const int index = grid_->IndexOfFile(shown, page);
        if (grid_) {
            grid_->ScrollIntoView(index);
            grid_->viewport()->repaint();
        }
        return;
    }
    if (shown.isEmpty() || !QFileInfo::exists(shown))
        return;
    int page = 0;
    switch (b) {
    case ibPriorpage: page = std::max(current - 1, 0); break;
    case ibNextpage: page = std::min(current + 1, count - 1); break;
    case ibLastpage: page = count - 1; break;
    default: break;
    }
    page = std::max(page, 0);
    if (ShowPicture) {
        ShowPicture(shown, page, image);
    } else {
        image.setTiffPage(qint16(page));
        image.setImageName(shown);
    }
}
