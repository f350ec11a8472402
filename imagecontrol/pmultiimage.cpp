// TPMultiImage: construction, the display properties, the text overlay and
// the save settings. The other parts stand in pmultiimage*.cpp by what they do.

#include "pmultiimage.h"

#include "zoomview.h"

#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>

#include <algorithm>

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
