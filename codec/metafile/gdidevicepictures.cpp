// GdiDevice: pictures and the raster operations of the blit records, and
// filling, framing and inverting regions.

#include "gdidevice.h"
#include "gdidevicegeometry.h"

#include <QPainterPathStroker>

#include <algorithm>

using gdigeometry::length;

void GdiDevice::image(const QRectF& dest, const QImage& image, const QRectF& source, std::uint32_t rop)
{
    if (recording() || image.isNull())
        return;
    QImage img = image;
    QRectF src = source.normalized().intersected(QRectF(img.rect()));
    if (src.isEmpty())
        src = QRectF(img.rect());
    QRectF dst = dest;
    if (dst.width() < 0 || dst.height() < 0) {
        // a negative extent mirrors the picture
        img = img.mirrored(dst.width() < 0, dst.height() < 0);
        if (dst.width() < 0)
            src.moveLeft(img.width() - src.right());
        if (dst.height() < 0)
            src.moveTop(img.height() - src.bottom());
        dst = dst.normalized();
    }
    if (dst.isEmpty())
        return;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (rop) {
    case SRCAND: mode = QPainter::RasterOp_SourceAndDestination; break;
    case SRCPAINT: mode = QPainter::RasterOp_SourceOrDestination; break;
    case SRCINVERT: mode = QPainter::RasterOp_SourceXorDestination; break;
    case SRCERASE: mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case NOTSRCERASE: mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case MERGEPAINT: mode = QPainter::RasterOp_NotSourceOrDestination; break;
    case NOTSRCCOPY: img.invertPixels(); break;
    case PATCOPY: case PATINVERT: case DSTINVERT: case BLACKNESS: case WHITENESS: case DSTCOPY:
        patBlt(dest, rop);
        return;
    default: break;
    }
    const bool raster = mode != QPainter::CompositionMode_SourceOver;
    if (raster && img.hasAlphaChannel())
        img = img.convertToFormat(QImage::Format_RGB32);
    applyClip();
    reached(logicalToPainter().mapRect(dst));
    painter_.setWorldTransform(logicalToPainter() * base_);
    painter_.setCompositionMode(mode);
    const bool smooth = state_.stretchMode == HALFTONE;
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.drawImage(dst, img, src);
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setWorldTransform(base_);
}

void GdiDevice::patBlt(const QRectF& box, std::uint32_t rop)
{
    if (recording() || rop == DSTCOPY)
        return;
    QPainterPath path;
    path.addPolygon(logicalToPainter().map(QPolygonF(box.normalized())));
    path.closeSubpath();
    applyClip();
    reached(path.boundingRect());
    painter_.setWorldTransform(base_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    switch (rop) {
    case BLACKNESS: painter_.fillPath(path, Qt::black); break;
    case WHITENESS: painter_.fillPath(path, Qt::white); break;
    case DSTINVERT:
        painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter_.fillPath(path, Qt::black);
        break;
    case PATINVERT:
        painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter_.fillPath(path, qtBrush(state_.brush));
        break;
    default:
        if (!state_.brush.isNull())
            painter_.fillPath(path, qtBrush(state_.brush));
        break;
    }
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setRenderHint(QPainter::Antialiasing, true);
}

void GdiDevice::fillRect(const QRectF& box, const gdi::Brush& brush)
{
    QPainterPath path;
    path.addPolygon(logicalToPainter().map(QPolygonF(box.normalized())));
    path.closeSubpath();
    fillRegion(path, brush);
}

// Regions ---------------------------------------------------------------------

void GdiDevice::fillRegion(const QPainterPath& region, const gdi::Brush& brush)
{
    if (recording() || brush.isNull())
        return;
    applyClip();
    reached(region.boundingRect());
    painter_.setWorldTransform(base_);
    painter_.fillPath(region, qtBrush(brush));
}

void GdiDevice::frameRegion(const QPainterPath& region, const gdi::Brush& brush, QSizeF stroke)
{
    if (recording() || brush.isNull())
        return;
    // the frame lies inside the region's edge
    const QTransform t = logicalToPainter();
    const double w = std::max(1.0, length(t.map(QPointF(stroke.width(), 0)) - t.map(QPointF(0, 0))));
    QPainterPathStroker stroker;
    stroker.setWidth(2 * w);
    const QPainterPath frame = stroker.createStroke(region).intersected(region);
    fillRegion(frame, brush);
}

void GdiDevice::invertRegion(const QPainterPath& region)
{
    if (recording())
        return;
    applyClip();
    painter_.setWorldTransform(base_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter_.fillPath(region, Qt::black);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setRenderHint(QPainter::Antialiasing, true);
}
