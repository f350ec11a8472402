// TPMultiImage: mouse and keys: panning with the grab hand, the rubber band
// and the clipboard keys.

#include "pmultiimage.h"

#include "zoomview.h"

#include <QKeyEvent>
#include <QMouseEvent>

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
