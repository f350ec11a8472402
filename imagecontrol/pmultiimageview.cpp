// TPMultiImage: the view of the picture: painting, zoom and the scroll bars.

#include "pmultiimage.h"

#include "flagreset.h"
#include "zoomview.h"

#include "codec/metafile/metafileconvert.h"

#include <QPainter>
#include <QScrollBar>

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
