#include "pmultiimage.h"

#include "clipboardpicture.h"
#include "effectsdepth.h"
#include "picturedecoder.h"
#include "transitioncomposer.h"
#include "zoomview.h"

#include "codec/binding/codecstate.h"
#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/display.h"
#include "codec/binding/errorinvalid.h"
#include "codec/binding/messagefiles.h"
#include "codec/metafile/metafileconvert.h"
#include "effects/graphiceffects.h"
#include "effects/transitioncalls.h"
#include "effects/undoring.h"
#include "platform/hourglass.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QThread>

#include <utility>

namespace {

// Clears a flag on every way out of a scope.
class FlagReset {
public:
    explicit FlagReset(bool& flag) : flag_(flag) {}
    ~FlagReset() { flag_ = false; }
    FlagReset(const FlagReset&) = delete;
    FlagReset& operator=(const FlagReset&) = delete;

private:
    bool& flag_;
};

QString upperExtension(const QString& file)
{
    const QString suffix = QFileInfo(file).suffix();
    return suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix.toUpper();
}

bool letEventsRunFor(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents();
        if (timer.elapsed() < milliseconds)
            QThread::msleep(1);
    } while (timer.elapsed() < milliseconds);
    return true;
}

QString unreadableFileText(const QString& file)
{
    return QStringLiteral("Die Datei \"%1\" konnte nicht gelesen werden.").arg(file);
}

QSize screenSize(const QWidget* widget)
{
    const QScreen* screen = widget->screen();
    return screen ? screen->size() : widget->size();
}

}  // namespace

TPMultiImage::TPMultiImage(QWidget* parent) : QWidget(parent)
{
    resize(105, 105);
    setFocusPolicy(Qt::StrongFocus);
    hBar_ = new QScrollBar(Qt::Horizontal, this);
    vBar_ = new QScrollBar(Qt::Vertical, this);
    corner_ = new QWidget(this);
    // classic scroll bars: the pane's designed look, and they draw several
    // times quicker than Fusion's while the picture pans
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        classic->setParent(this);
        hBar_->setStyle(classic);
        vBar_->setStyle(classic);
    }
    corner_->setAutoFillBackground(true);
    QPalette cornerColours = corner_->palette();
    cornerColours.setColor(QPalette::Window, colors::toQColor(colors::kButtonFace));
    corner_->setPalette(cornerColours);
    for (QScrollBar* bar : {hBar_, vBar_}) {
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setSingleStep(5);
        bar->setPageStep(25);
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this,
                [this, bar](int position) { barMoved(bar->orientation(), position); });
    }
    corner_->hide();
    UpdateScrollBars();
    attachAnnotations();
}

TPMultiImage::~TPMultiImage()
{
    detachAnnotations();
}

// ---- loading ---------------------------------------------------------------------

int TPMultiImage::LoadDepth() const
{
    switch (ImageReadRes) {
    case lColorVga: return 0;
    case lMonoChrome: return 1;
    case lColor16: return 4;
    case lColor256: return 8;
    case lColorTrue: return 24;
    case lAutoMatic: return DeviceDepth();
    default: return 8;
    }
}

void TPMultiImage::setImageName(const QString& name)
{
    if (loading_) {
        nextName_ = name;
        stopAsked_ = true;
        return;
    }
    const ProgressWork work(*this);
    nextName_.reset();
    loadName(name);
    while (nextName_) {
        const QString next = *std::exchange(nextName_, std::nullopt);
        stopAsked_ = false;
        stopped_ = false;
        loadName(next);
    }
}

void TPMultiImage::loadName(const QString& name)
{
    // the picture on show after a failed load is still the previous file's,
    // also when the error handler raises
    struct KeepShownName {
        TPMultiImage& c;
        QString name;
        qint16 page;
        ~KeepShownName()
        {
            if (c.loadFailed_) {
                c.imageName_ = name;
                c.tiffPage_ = page;
            }
            c.annotationsAfterNewPicture();
        }
    } keep{*this, imageName_, tiffPage_};
    annotationsBeforeNewPicture();
    imageName_ = name;
    loadFailed_ = false;
    awaitingPicture_ = false;
    ResetView = true;
    const FlagReset clearReset(ResetView);
    const bool wasModified = modified_;
    loading_ = true;
    {
        const FlagReset loaded(loading_);
        loadImageName();
    }
    modified_ = loadFailed_ && wasModified;
}

void TPMultiImage::loadImageName()
{
    const QString file = imageName_;
    const QString ext = upperExtension(file);
    if (ext != QLatin1String(".RES") && !QFileInfo(file).isFile()) {
        setPicture(TBitmap());
        return;
    }
    SetLastError(0, QString());
    reportProgress(0);
    if (ext == QLatin1String(".WMF") || ext == QLatin1String(".ICO") || ext == QLatin1String(".EMF")) {
        // the caller puts the metafile or icon into the picture itself
        EndMessageMode();
        takeSnapshot();
        awaitPicture(file, ext);
        return;
    }
    if (ext == QLatin1String(".SCM") || ext == QLatin1String(".CMS")) {
        loadMessageFile(file, ext);
        return;
    }
    if (ext == QLatin1String(".THB") || ext == QLatin1String(".THJ")) {
        loadThumbnailFile(file, ext);
        return;
    }
    if (ext == QLatin1String(".RES")) {
        loadResource(file);
        return;
    }
    loadPictureFile(file, ext);
}

bool TPMultiImage::loadMessageFile(const QString& file, const QString& ext)
{
    takeSnapshot();
    EndMessageMode();
    setPicture(TBitmap());
    MessageStyle style;
    style.fontColor = MessageFontColor;
    style.fontHeight = -MessageFont.pixelSize();
    style.fontName = MessageFont.family();
    style.fontSize = MessageFont.pointSize();
    style.bold = MessageFont.bold();
    style.italic = MessageFont.italic();
    style.underline = MessageFont.underline();
    style.strikeOut = MessageFont.strikeOut();
    style.backColor = MessageColor;
    style.speed = MessageSpeed;
    const MessageStyle before = style;
    const bool credits = ext == QLatin1String(".CMS");
    QStringList lines;
    QString message;
    const bool read = credits ? ReadCreditMessageFile(file, style, lines)
                              : ReadScrollingMessageFile(file, style, message);
    if (!read) {
        reportError(unreadableFileText(file));
        return false;
    }
    applyMessageStyle(before, style);
    if (credits) {
        startBanner(true, lines);
    } else {
        MessageText = message;
        startBanner(false, {});
    }
    ReadImageInfo(file);
    return true;
}

void TPMultiImage::applyMessageStyle(const MessageStyle& before, const MessageStyle& style)
{
    MessageFontColor = style.fontColor;
    if (!style.fontName.isEmpty())
        MessageFont.setFamily(style.fontName);
    if (style.fontSize != before.fontSize && style.fontSize > 0)
        MessageFont.setPointSize(style.fontSize);
    else if (style.fontHeight != before.fontHeight && style.fontHeight != 0)
        MessageFont.setPixelSize(std::abs(style.fontHeight));
    MessageFont.setBold(style.bold);
    MessageFont.setItalic(style.italic);
    MessageFont.setUnderline(style.underline);
    MessageFont.setStrikeOut(style.strikeOut);
    MessageColor = style.backColor;
    MessageSpeed = style.speed;
}

bool TPMultiImage::loadThumbnailFile(const QString& file, const QString& ext)
{
    const bool bmp = ext == QLatin1String(".THB");
    PictureFileInfo header;
    const bool monochrome = bmp && ReadBmpHeaderInfo(file, header) && MonochromeFile(header.bits);
    const int bits = monochrome ? 1 : LoadDepth();
    TBitmap decoded;
    bool ok = false;
    try {
        ok = bmp ? ReadBmpFileBitmap(file, bits, ImageDither, decoded, this, CodecProgressOf)
                 : ReadJpgFileBitmap(file, bits, ImageDither, decoded, this, CodecProgressOf);
    } catch (...) {
        setPicture(TBitmap());
        return false;
    }
    if (!ok || decoded.empty()) {
        reportError(unreadableFileText(file));
        return false;
    }
    installBitmap(decoded, !bmp);
    return true;
}

bool TPMultiImage::loadResource(const QString& file)
{
    QString name = QFileInfo(file).completeBaseName();
    bool numeric = false;
    const qlonglong id = name.toLongLong(&numeric);
    if (numeric)
        name = QString::number(id);
    QImage image;
    for (const char* suffix : {"", ".bmp", ".png"}) {
        image = QImage(QStringLiteral(":/res/") + name + QLatin1String(suffix));
        if (!image.isNull())
            break;
    }
    if (image.isNull()) {
        reportError(QStringLiteral("Die Ressource \"%1\" wurde nicht gefunden.").arg(name));
        return false;
    }
    TPixelFormat format = TBitmap::pixelFormatOf(image);
    TBitmap bitmap(image, format == pfCustom ? pf32bit : format);
    bitmap.setPalette(image.colorTable());
    installBitmap(bitmap, false);
    return true;
}

void TPMultiImage::loadPictureFile(const QString& file, const QString& ext)
{
    const ImageInfo previous = imageInfo;
    bool described = false;
    try {
        described = ReadImageInfo(file);
    } catch (...) {
        imageInfo = previous;
        loadFailed_ = true;
        throw;
    }
    if (!described) {
        imageInfo = previous;
        loadFailed_ = true;
        return;
    }
    const QString type = DecodeTypeFor(ext, imageInfo.type);
    if (!DecodableType(type)) {
        imageInfo = previous;
        loadFailed_ = true;
        finishBitmapLoad();
        return;
    }
    if (type == QLatin1String("TIF") && tiffPage_ > imageInfo.pageCount - 1)
        setTiffPage(qint16(std::max(0, imageInfo.pageCount - 1)));

    DecodeRequest request;
    request.file = file;
    request.type = type;
    request.bits = LoadDepth();
    request.dither = ImageDither;
    request.monochrome = MonochromeFile(imageInfo.bitsPerPixel);
    request.page = tiffPage_;
    request.pcdMode = PCDMode;
    request.sender = this;
    request.progress = CodecProgressOf;
    TBitmap decoded;
    bool ok = false;
    try {
        ok = DecodePicture(request, decoded);
    } catch (...) {
        imageInfo = previous;
        setPicture(TBitmap());
        return;
    }
    if (!ok) {
        imageInfo = previous;
        loadFailed_ = true;
        reportError(unreadableFileText(file));
        return;
    }
    installBitmap(decoded, type == QLatin1String("JPEG"));
    finishBitmapLoad();
}

void TPMultiImage::installBitmap(const TBitmap& bitmap, bool jpeg)
{
    takeSnapshot();
    EndMessageMode();
    if (FXMethod != FXNone || (jpeg && SlideShowMode)) {
        TransitionBitmap = bitmap;
        PlayTransition();
    } else {
        setPicture(bitmap);
    }
    ReadImageInfo(imageName_);
}

void TPMultiImage::finishBitmapLoad()
{
    ResetView = false;
    annotationsAfterLoad();
    notifyToolbar();
    if (OnFinishedLoadSave)
        OnFinishedLoadSave(this);
}

// A metafile or icon arrives with the caller's next picture: that picture
// takes the view of a newly loaded one, and the information no longer
// describes the previous file (a TIFF's pages, say).
void TPMultiImage::awaitPicture(const QString& file, const QString& ext)
{
    ImageInfo info;
    if (ReadPictureInfo(file, 0, picture_, info) != InfoFailure::None)
        info = ImageInfo{};
    info.type = info.compression = ext.mid(1);
    info.pageCount = 0;
    imageInfo = info;
    awaitingPicture_ = true;
}

bool TPMultiImage::ReadImageInfo(const QString& fileName)
{
    const InfoFailure failure = ReadPictureInfo(fileName, tiffPage_, picture_, imageInfo);
    if (failure == InfoFailure::Codec)
        reportError(
            QStringLiteral("Die Bildinformationen der Datei \"%1\" konnten nicht gelesen werden.").arg(fileName));
    return failure == InfoFailure::None;
}

void TPMultiImage::setTiffPage(qint16 page)
{
    if (page == tiffPage_)
        return;
    previousTiffPage_ = tiffPage_;
    tiffPage_ = page;
}

void TPMultiImage::setPicture(const TBitmap& picture)
{
    picture_ = picture;
    if (!loading_)
        modified_ = true;
    PictureChanged();
}

int TPMultiImage::CodecProgressOf(int percent, void* sender)
{
    auto* self = static_cast<TPMultiImage*>(sender);
    return self ? self->progressAnswer(percent) : 1;
}

int TPMultiImage::progressAnswer(int percent)
{
    bool cancel = stopAsked_;
    if (OnProgress && !cancel) {
        workReported_ = workReported_ || workDepth_ > 0;
        OnProgress(this, qint16(percent), OperationText().toLower(), cancel);
    }
    if (cancel)
        stopped_ = true;
    return cancel ? 0 : 1;
}

TPMultiImage::ProgressWork::ProgressWork(TPMultiImage& control) : control_(control)
{
    if (control_.workDepth_++ > 0)
        return;
    control_.workReported_ = false;
    control_.stopped_ = false;
    control_.stopAsked_ = false;
}

TPMultiImage::ProgressWork::~ProgressWork()
{
    if (--control_.workDepth_ > 0 || !std::exchange(control_.workReported_, false))
        return;
    if (control_.OnProgressEnd) {
        try {
            control_.OnProgressEnd(&control_);
        } catch (...) {
        }
    }
}

void TPMultiImage::reportProgress(int percent)
{
    progressAnswer(percent);
}

void TPMultiImage::reportError(const QString& fallback)
{
    const qint16 code = LastErrorCode();
    const QString last = LastErrorText();
    const QString text = last.isEmpty() ? fallback : last;
    if (!OnIlibError)
        throw ErrorInvalid(text);
    const QByteArray bytes = text.toLocal8Bit();
    OnIlibError(this, code, text, bytes.constData());
}

void TPMultiImage::takeSnapshot()
{
    if (ILUndo && !picture_.empty())
        PushUndo(picture_);
}

bool TPMultiImage::ScanImage(void* parentWindow)
{
    const ProgressWork work(*this);
    reportProgress(0);
    SetLastError(0, QString());
    const int bits = LoadDepth();
    EndMessageMode();
    TBitmap scanned;
    bool ok = false;
    try {
        ok = AcquireBitmap(parentWindow, bits, ImageDither, scanned, this, CodecProgressOf);
    } catch (...) {
        return false;
    }
    if (!ok) {
        reportError(QStringLiteral("Es wurde kein Bild eingelesen."));
        return false;
    }
    takeSnapshot();
    if (!scanned.empty())
        replacePicture(scanned);
    return true;
}

// ---- moving text -------------------------------------------------------------------

void TPMultiImage::StartMessage()
{
    takeSnapshot();
    EndMessageMode();
    setPicture(TBitmap());
    if (MessageText.isEmpty())
        return;
    if (!MessageText.endsWith(QLatin1Char(' ')))
        MessageText += QLatin1Char(' ');
    startBanner(false, {});
}

void TPMultiImage::startBanner(bool credits, const QStringList& lines)
{
    colorBeforeMessage_ = color_;
    color_ = MessageColor;
    const QColor text = colors::toQColor(MessageFontColor);
    const QColor back = colors::toQColor(MessageColor);
    if (credits) {
        if (!banner_.startCredits(lines, MessageFont, text, back, size()))
            color_ = colorBeforeMessage_;
    } else {
        banner_.startMessage(MessageText, MessageFont, text, back, size());
    }
    update();
}

void TPMultiImage::MessageTick()
{
    const QRect before = banner_.stripRect();
    if (banner_.tick(MessageSpeed, size()))
        update(before.united(banner_.stripRect()).adjusted(-1, -1, 1, 1));
}

void TPMultiImage::EndMessageMode()
{
    if (!banner_.active())
        return;
    banner_.stop();
    color_ = colorBeforeMessage_;
    update();
}

// ---- display properties ------------------------------------------------------------

void TPMultiImage::setStretch(bool on)
{
    stretch_ = on;
    if (on)
        stretchRatio_ = false;
    UpdateScrollBars();
    update();
}

void TPMultiImage::setStretchRatio(bool on)
{
    if (on != stretchRatio_) {
        if (on && !picture_.empty()) {
            SavedZoomFactor = ZoomFactor;
            SavedViewOrigin = ViewOrigin;
            ViewOrigin = QPoint();
            ComputeFitZoom();
        } else {
            ZoomFactor = SavedZoomFactor;
            ViewOrigin = SavedViewOrigin;
        }
    }
    stretchRatio_ = on;
    if (on)
        stretch_ = false;
    UpdateScrollBars();
    update();
    notifyToolbar();
}

void TPMultiImage::setCenter(bool on)
{
    center_ = on;
    update();
}

void TPMultiImage::setAutoSize(bool on)
{
    autoSize_ = on;
    PictureChanged();
}

void TPMultiImage::setScrolling(bool on)
{
    scrolling_ = on;
    UpdateScrollBars();
    hBar_->setEnabled(on);
    vBar_->setEnabled(on);
    corner_->setEnabled(on);
    PictureChanged();
}

void TPMultiImage::setShowScrollbars(bool on)
{
    if (!on && !picture_.empty()) {
        ViewOrigin.setX(zoomview::originBeforeHidingBars(ViewOrigin.x(), picture_.width(), width(), ZoomFactor));
        ViewOrigin.setY(zoomview::originBeforeHidingBars(ViewOrigin.y(), picture_.height(), height(), ZoomFactor));
    }
    showScrollbars_ = on;
    UpdateScrollBars();
    PictureChanged();
}

void TPMultiImage::setScrollbarWidth(int width)
{
    scrollbarWidth_ = std::max(0, width);
    UpdateScrollBars();
    update();
}

void TPMultiImage::setTileWindow(bool on)
{
    tileWindow_ = on;
    update();
}

void TPMultiImage::setBorderStyle(TBorderStyle style)
{
    borderStyle_ = style;
    update();
}

void TPMultiImage::setColor(qint32 stored)
{
    color_ = stored;
    update();
}

void TPMultiImage::setBlitMode(TBlitMode mode)
{
    blitMode_ = mode;
    update();
}

void TPMultiImage::setText(const QString& text)
{
    text_ = text;
    update();
}

void TPMultiImage::setTextLeft(int x)
{
    textLeft_ = x;
    update();
}

void TPMultiImage::setTextTop(int y)
{
    textTop_ = y;
    update();
}

void TPMultiImage::setTextRotate(int degrees)
{
    textRotate_ = degrees;
    update();
}

void TPMultiImage::setTextShadow(bool on)
{
    textShadow_ = on;
    update();
}

void TPMultiImage::setTextShadowColor(qint32 stored)
{
    textShadowColor_ = stored;
    update();
}

void TPMultiImage::setTextTransParent(bool on)
{
    textTransparent_ = on;
    update();
}

void TPMultiImage::setFont(const QFont& f)
{
    QWidget::setFont(f);
    update();
}

void TPMultiImage::setFontColor(qint32 stored)
{
    fontColor_ = stored;
    update();
}

void TPMultiImage::setJPegSaveQuality(int quality)
{
    jpegQuality_ = (quality < 1 || quality > 100) ? 25 : quality;
}

void TPMultiImage::setJPegSaveSmooth(int smoothing)
{
    jpegSmooth_ = (smoothing < 1 || smoothing > 100) ? 5 : smoothing;
}

// ---- view --------------------------------------------------------------------------

bool TPMultiImage::Opaque() const
{
    return testAttribute(Qt::WA_OpaquePaintEvent);
}

void TPMultiImage::PictureChanged()
{
    if (autoSize_ && picture_.width() > 0 && picture_.height() > 0)
        resize(picture_.width(), picture_.height());
    setAttribute(Qt::WA_OpaquePaintEvent, !picture_.empty() && picture_.image().size() == size());
    if (awaitingPicture_ && !picture_.empty()) {
        awaitingPicture_ = false;
        imageInfo.width = picture_.width();
        imageInfo.height = picture_.height();
        resetView();
    } else if (ResetView) {
        resetView();
    } else if (stretchRatio_) {
        // the fit belongs to the picture now shown, not to its predecessor
        ComputeFitZoom();
    }
    UpdateScrollBars();
    if (OnPictureChanged)
        OnPictureChanged(this);
    notifyToolbar();
    update();
}

void TPMultiImage::resetView()
{
    ZoomFactor = SavedZoomFactor = 1.0;
    ViewOrigin = SavedViewOrigin = QPoint();
    if (stretchRatio_)
        ComputeFitZoom();
}

void TPMultiImage::replacePicture(const TBitmap& picture)
{
    ResetView = true;
    const FlagReset clearReset(ResetView);
    setPicture(picture);
}

void TPMultiImage::ComputeFitZoom()
{
    if (picture_.empty())
        return;
    ZoomFactor = zoomview::fitZoom(size(), picture_.image().size());
    UpdateScrollBars();
    update();
}

void TPMultiImage::ZoomIn(double factor)
{
    const double z = ZoomFactor * factor;
    if (!picture_.empty() && zoomview::zoomInAccepted(z)) {
        ZoomFactor = z;
        UpdateScrollBars();
    }
    update();
}

void TPMultiImage::ZoomOut(double factor)
{
    const double z = ZoomFactor * factor;
    if (!picture_.empty() && zoomview::zoomOutAccepted(z)) {
        ZoomFactor = z;
        ViewOrigin = zoomview::originAfterZoomOut(size(), picture_.image().size(), z, ViewOrigin);
        UpdateScrollBars();
    }
    update();
}

void TPMultiImage::ResetZoom()
{
    if (!stretchRatio_)
        ZoomFactor = SavedZoomFactor = 1.0;
    ViewOrigin = SavedViewOrigin = QPoint();
    UpdateScrollBars();
    update();
}

bool TPMultiImage::barsNeeded() const
{
    return !picture_.empty() && !stretch_ && !stretchRatio_ && scrolling_ && showScrollbars_ &&
           zoomview::exceeds(size(), picture_.image().size(), ZoomFactor);
}

void TPMultiImage::UpdateScrollBars()
{
    const bool needed = barsNeeded();
    placingBars_ = true;
    placeBars(needed);
    if (needed) {
        const int s = scrollbarWidth_;
        const int hMax = zoomview::scrollMaximum(picture_.width(), ZoomFactor, width(), s);
        const int vMax = zoomview::scrollMaximum(picture_.height(), ZoomFactor, height(), s);
        hBar_->setRange(0, hMax);
        hBar_->setValue(zoomview::scrollPosition(ViewOrigin.x(), ZoomFactor, hMax));
        vBar_->setRange(0, vMax);
        vBar_->setValue(zoomview::scrollPosition(ViewOrigin.y(), ZoomFactor, vMax));
    }
    placingBars_ = false;
}

void TPMultiImage::placeBars(bool needed)
{
    if (!needed) {
        for (QWidget* w : {static_cast<QWidget*>(hBar_), static_cast<QWidget*>(vBar_), corner_}) {
            if (!w->isHidden())
                w->hide();
            w->setFocusPolicy(Qt::NoFocus);
        }
        return;
    }
    const int s = scrollbarWidth_, W = width(), H = height();
    vBar_->setGeometry(W - s, 1, s, H - s - 1);
    hBar_->setGeometry(1, H - s, W - s - 1, s);
    corner_->setGeometry(W - s, H - s, s, s);
    const Qt::FocusPolicy barFocus = (focusPolicy() & Qt::TabFocus) ? Qt::TabFocus : Qt::NoFocus;
    for (QWidget* w : {static_cast<QWidget*>(hBar_), static_cast<QWidget*>(vBar_)})
        w->setFocusPolicy(barFocus);
    for (QWidget* w : {static_cast<QWidget*>(hBar_), static_cast<QWidget*>(vBar_), corner_}) {
        if (w->isHidden())
            w->show();
    }
}

void TPMultiImage::barMoved(Qt::Orientation orientation, int position)
{
    if (placingBars_ || ZoomFactor <= 0)
        return;
    if (orientation == Qt::Horizontal)
        ViewOrigin.setX(zoomview::originOfScroll(position, ZoomFactor));
    else
        ViewOrigin.setY(zoomview::originOfScroll(position, ZoomFactor));
    repaint();
}

void TPMultiImage::notifyToolbar()
{
    if (OnButtonUpdate)
        OnButtonUpdate();
}

PictureView TPMultiImage::viewState() const
{
    PictureView v;
    v.picture = picture_.empty() ? nullptr : &picture_.image();
    v.control = size();
    v.color = colors::toQColor(color_);
    v.tile = tileWindow_;
    v.stretch = stretch_;
    v.stretchRatio = stretchRatio_;
    v.scrolling = scrolling_;
    v.center = center_;
    v.showScrollbars = showScrollbars_;
    v.scrollbarWidth = scrollbarWidth_;
    v.zoom = ZoomFactor;
    v.origin = ViewOrigin;
    v.fileBits = imageInfo.bitsPerPixel;
    v.blitMode = blitMode_;
    return v;
}

void TPMultiImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (transitionBusy_ && !transitionScreen_.isNull()) {
        p.drawImage(0, 0, transitionScreen_);
        return;
    }
    const PictureView view = viewState();
    const PaintOutcome out = painter_.paint(p, view);
    if (view.tile && view.picture)
        return;
    if (out.zoomed) {
        CenterOffset = out.offset;
        UpdateScrollBars();
    }
    if (out.areaDrawn && OnPaintArea)
        OnPaintArea(this, out.area.x(), out.area.y(), out.area.width(), out.area.height());
    banner_.paint(p);
    paintOverlay(p);
    band_.paint(p);
    if (borderStyle_ == bsSingle) {
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    p.end();
    if (out.areaDrawn)
        paintAnnotations(out.area, out.zoomed);
    if (OnPaint)
        OnPaint(this);
}

void TPMultiImage::paintOverlay(QPainter& p)
{
    if (text_.isEmpty())
        return;
    p.save();
    p.setBrush(colors::toQColor(color_));  // the background of opaque text
    DrawFontText(textLeft_, textTop_, textRotate_, text_, colors::toQColor(textShadowColor_), textTransparent_,
                 textShadow_, p, font(), colors::toQColor(fontColor_));
    p.restore();
}

void TPMultiImage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (stretchRatio_ && !picture_.empty())
        ComputeFitZoom();
    UpdateScrollBars();
    setAttribute(Qt::WA_OpaquePaintEvent, !picture_.empty() && picture_.image().size() == size());
}

// ---- transition ------------------------------------------------------------------

void TPMultiImage::PlayTransition()
{
    if (TransitionBitmap.empty() || transitionBusy_)
        return;
    transitionBusy_ = true;
    const FlagReset clearBusy(transitionBusy_);
    QCoreApplication::processEvents();
    const QSize next = TransitionBitmap.image().size();
    if (SlideShowMode) {
        const bool larger = next.width() > width() || next.height() > height();
        const bool smaller = next.width() < width() && next.height() < height();
        if ((FitLargeInShow && larger) || (FitSmallInShow && smaller))
            setStretchRatio(true);
    }
    TransitionLayout layout;
    layout.control = size();
    layout.workSize = SlideShowMode ? screenSize(this) : size();
    layout.color = colors::toQColor(color_);
    layout.stretch = stretch_;
    layout.center = center_;
    layout.fit = stretchRatio_;
    const ComposedTransition composed = ComposeTransition(TransitionBitmap.image(), layout);
    CenterOffset = composed.offset;
    if (FXMethod != FXNone && !composed.work.isNull() && isVisible()) {
        transitionScreen_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        transitionScreen_.fill(colors::toQColor(color_));
        {
            QPainter current(&transitionScreen_);
            PicturePainter().paint(current, viewState());
        }
        QPainter screen(&transitionScreen_);
        const auto pause = [this](int milliseconds) {
            repaint();
            return TransitionPause ? TransitionPause(milliseconds) : letEventsRunFor(milliseconds);
        };
        ::PlayTransition(FXMethod, screen, composed.work, FXColRowThick, FXDelay, pause);
        screen.end();
        transitionScreen_ = QImage();
    }
    const TBitmap next24 = SlideShowMode && !composed.work.isNull() ? TBitmap(composed.work, pf24bit) : TransitionBitmap;
    TransitionBitmap.clear();
    setPicture(next24);
}

// ---- mouse and keys ----------------------------------------------------------------

void TPMultiImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && (focusPolicy() & Qt::ClickFocus))
        setFocus(Qt::MouseFocusReason);
    if (annotationMouse(event, event->button() == Qt::RightButton ? kRightDown : kLeftDown))
        return;
    const QPoint at = event->position().toPoint();
    if (AllowRubberBand) {
        const Qt::MouseButton b = event->button();
        if (b == RubberBandBtn && (b == Qt::LeftButton || b == Qt::RightButton)) {
            band_.start(at, b);
            update();
        }
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    lastMouse_ = at;
    if (!picture_.empty() && !stretch_ && zoomview::exceeds(size(), picture_.image().size(), ZoomFactor)) {
        panning_ = true;
        cursorBeforePan_ = cursor();
        setCursor(Qt::ClosedHandCursor);
    }
}

void TPMultiImage::mouseMoveEvent(QMouseEvent* event)
{
    if (annotationMouse(event, kMouseMove))
        return;
    const QPoint at = event->position().toPoint();
    if (band_.active()) {
        band_.follow(at, size());
        update();
        return;
    }
    if (panning_)
        panTo(at);
}

void TPMultiImage::panTo(QPoint mouse)
{
    const QSize pic = picture_.image().size();
    const bool barsShown = scrolling_ && showScrollbars_ && zoomview::exceeds(size(), pic, ZoomFactor);
    const int s = barsShown ? scrollbarWidth_ : 0;
    const int dx = zoomview::panStep(lastMouse_.x(), mouse.x(), ZoomFactor);
    const int dy = zoomview::panStep(lastMouse_.y(), mouse.y(), ZoomFactor);
    lastMouse_ = mouse;
    ViewOrigin.setX(zoomview::pannedOrigin(ViewOrigin.x(), dx, pic.width(), width(), s, ZoomFactor));
    ViewOrigin.setY(zoomview::pannedOrigin(ViewOrigin.y(), dy, pic.height(), height(), s, ZoomFactor));
    UpdateScrollBars();
    repaint();
}

void TPMultiImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (annotationMouse(event, event->button() == Qt::RightButton ? kRightUp : kLeftUp))
        return;
    if (band_.active() && event->button() == band_.button()) {
        band_.end();
        update();
        if (OnRubberband)
            OnRubberband(this, band_.button(), event->modifiers(), band_.anchor().x(), band_.anchor().y(),
                         band_.currentCorner().x(), band_.currentCorner().y());
        return;
    }
    if (panning_ && event->button() == Qt::LeftButton) {
        panning_ = false;
        setCursor(cursorBeforePan_);
    }
}

void TPMultiImage::keyPressEvent(QKeyEvent* event)
{
    if (annotationKey(event))
        return;
    const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const int key = event->key();
    if (mods == Qt::ControlModifier && (key == Qt::Key_C || key == Qt::Key_Insert)) {
        CopyToClipboard();
    } else if (mods == Qt::ControlModifier && key == Qt::Key_V) {
        PasteFromClipboard();
    } else if (mods == Qt::ControlModifier && key == Qt::Key_X) {
        CutToClipboard();
    } else if (mods == Qt::ShiftModifier && key == Qt::Key_Insert) {
        PasteFromClipboard();
    } else if (mods == Qt::ShiftModifier && key == Qt::Key_Delete) {
        CutToClipboard();
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

// ---- editing ---------------------------------------------------------------------

void TPMultiImage::UndoImage()
{
    EndMessageMode();
    HourglassCursor wait;
    TBitmap work = picture_;
    PopUndo(work);
    if (work.empty())
        PopUndo(work);
    replacePicture(work);
}

void TPMultiImage::RotateImage(int left, int top, double angle, int right, int bottom)
{
    const ProgressWork work(*this);
    reportProgress(0);
    HourglassCursor wait;
    TBitmap copy = picture_;
    if (RotateGraphic(&copy, left, top, right, bottom, angle, RotateBackColor))
        setPicture(copy);
}

void TPMultiImage::InvertImage()
{
    const ProgressWork work(*this);
    reportProgress(0);
    HourglassCursor wait;
    TBitmap copy = picture_;
    if (InvertGraphic(&copy, ILUndo))
        setPicture(copy);
}

bool TPMultiImage::ShowEffectsDialog()
{
    if (!EffectsDialog)
        return false;
    takeSnapshot();
    QCoreApplication::processEvents();
    const TBitmap copy = picture_;
    GlobalHandle master = nullptr;
    {
        HourglassCursor wait;
        if (!copy.empty())
            master = BitmapToDibAtDepth(copy, EffectsDialogDepth(copy, imageInfo, LoadDepth()));
    }
    EffectApplied = false;
    bool applied = false;
    try {
        applied = EffectsDialog(*this, master);
    } catch (...) {
        FreeDIB(master);
        throw;
    }
    if (applied) {
        EffectApplied = true;
        HourglassCursor wait;
        TBitmap result;
        if (DIBToGraphic(master, result))
            setPicture(result);
    }
    FreeDIB(master);
    return true;
}

void TPMultiImage::CopyToClipboard()
{
    clipboardpicture::copy(picture_);
}

void TPMultiImage::CutToClipboard()
{
    if (picture_.empty())
        return;
    CopyToClipboard();
    takeSnapshot();
    replacePicture(TBitmap());
}

void TPMultiImage::PasteFromClipboard()
{
    if (!clipboardpicture::offersPicture())
        return;
    if (banner_.active())
        banner_.stop();  // the message's background colour stays
    takeSnapshot();
    const TBitmap pasted = clipboardpicture::paste();
    if (pasted.empty())
        return;
    replacePicture(pasted);
}
