#include "ilpimage.h"

#include <QMouseEvent>
#include <QPainter>

TILPImage::TILPImage(QWidget* parent) : QWidget(parent)
{
    resize(20, 20);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TILPImage::SetPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void TILPImage::SetPictureColour(int index, QRgb colour)
{
    if (index < 0 || index >= picture_.colorCount())
        return;
    picture_.setColor(index, colour);
    update();
}

void TILPImage::SetStretch(bool stretch)
{
    stretch_ = stretch;
    update();
}

void TILPImage::SetOverlay(const QImage& overlay)
{
    overlay_ = overlay;
    update();
}

void TILPImage::SetOverlayRect(const QRect& rect)
{
    overlayRect_ = rect;
    update();
}

void TILPImage::SetOverlayMode(bool on)
{
    overlayMode_ = on;
    update();
}

void TILPImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!picture_.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, picture_.depth() > 2);
        if (stretch_)
            painter.drawImage(rect(), picture_);
        else
            painter.drawImage(QPoint(0, 0), picture_);
    }
    if (AfterPaint)
        AfterPaint(painter);
    if (overlayMode_ && !overlay_.isNull() && overlayRect_.isValid())
        painter.drawImage(overlayRect_, overlay_);
}

void TILPImage::mousePressEvent(QMouseEvent* event)
{
    if (MousePressed)
        MousePressed(event);
}

void TILPImage::mouseMoveEvent(QMouseEvent* event)
{
    if (MouseMoved)
        MouseMoved(event);
}

void TILPImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (MouseReleased)
        MouseReleased(event);
}
