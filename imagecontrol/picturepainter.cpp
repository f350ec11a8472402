#include "picturepainter.h"

#include "monostretch.h"
#include "zoomview.h"

#include <QPainter>
#include <QRegion>

TStretchMode PicturePainter::stretchModeOf(const PictureView& view)
{
    return StretchModeFor(view.fileBits, view.blitMode);
}

PaintOutcome PicturePainter::paint(QPainter& p, const PictureView& v)
{
    const QRect all(QPoint(0, 0), v.control);
    if (v.tile && v.picture && !v.picture->isNull()) {
        tile(p, v);
        return {};
    }
    if (!v.picture || v.picture->isNull()) {
        p.fillRect(all, v.color);
        return {};
    }
    if (v.stretch)
        return stretched(p, v);
    if (!v.stretchRatio && !v.scrolling)
        return natural(p, v);
    return zoomed(p, v);
}

void PicturePainter::tile(QPainter& p, const PictureView& v)
{
    const QImage& image = *v.picture;
    for (int y = 0; y < v.control.height(); y += image.height()) {
        for (int x = 0; x < v.control.width(); x += image.width())
            p.drawImage(x, y, image);
    }
}

PaintOutcome PicturePainter::stretched(QPainter& p, const PictureView& v)
{
    drawScaled(p, QRect(QPoint(0, 0), v.control), v.picture->rect(), v);
    PaintOutcome out;
    out.areaDrawn = true;
    out.area = v.picture->rect();
    return out;
}

PaintOutcome PicturePainter::natural(QPainter& p, const PictureView& v)
{
    const QImage& image = *v.picture;
    const QPoint at = zoomview::naturalOffset(v.control, image.size(), v.center);
    const QRect target(at, image.size());
    fillOutside(p, QRect(QPoint(0, 0), v.control), target, v.color);
    p.drawImage(at, image);
    PaintOutcome out;
    out.areaDrawn = true;
    out.area = target;
    return out;
}

PaintOutcome PicturePainter::zoomed(QPainter& p, const PictureView& v)
{
    const int s = v.showScrollbars ? v.scrollbarWidth : 0;
    const zoomview::Plan plan = zoomview::zoomPlan(v.control, v.picture->size(), v.zoom, v.origin, s, v.center);
    QRect all(QPoint(0, 0), v.control);
    if (v.showScrollbars && !v.stretchRatio && zoomview::exceeds(v.control, v.picture->size(), v.zoom))
        all = QRect(0, 0, v.control.width() - s, v.control.height() - s);
    fillOutside(p, all, plan.target, v.color);
    drawScaled(p, plan.target, plan.source, v);
    PaintOutcome out;
    out.areaDrawn = true;
    out.area = plan.target;
    out.offset = plan.offset;
    out.zoomed = true;
    return out;
}

void PicturePainter::drawScaled(QPainter& p, const QRect& target, const QRect& source, const PictureView& v)
{
    if (target.isEmpty() || source.isEmpty())
        return;
    const TStretchMode mode = stretchModeOf(v);
    const bool shrinks = source.width() > target.width() || source.height() > target.height();
    if (mode == smColorOnColor || !shrinks) {
        p.drawImage(target, *v.picture, source);
        return;
    }
    // the source may reach past the picture: the part inside keeps its place
    const QRect inside = source.intersected(v.picture->rect());
    if (inside.isEmpty())
        return;
    const double sx = double(target.width()) / source.width();
    const double sy = double(target.height()) / source.height();
    const QRect drawn(target.left() + int((inside.left() - source.left()) * sx),
                      target.top() + int((inside.top() - source.top()) * sy), int(inside.width() * sx),
                      int(inside.height() * sy));
    if (drawn.isEmpty())
        return;
    const qint64 key = v.picture->cacheKey();
    if (cache_.key != key || cache_.source != inside || cache_.target != drawn.size() || cache_.mode != mode) {
        cache_.image = StretchWithMode(*v.picture, inside, drawn.size(), mode);
        cache_.key = key;
        cache_.source = inside;
        cache_.target = drawn.size();
        cache_.mode = mode;
    }
    p.drawImage(drawn.topLeft(), cache_.image);
}

void PicturePainter::fillOutside(QPainter& p, const QRect& all, const QRect& keep, const QColor& color)
{
    const QRegion rest = QRegion(all).subtracted(QRegion(keep));
    for (const QRect& r : rest)
        p.fillRect(r, color);
}
