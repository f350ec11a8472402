// GdiDevice: the figures of the records (lines, polygons, Bezier curves,
// rectangles, ellipses, arcs, pixels), painted with the pen and brush or
// recorded into the open path.

#include "gdidevice.h"

#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

namespace {

// Painter pixels around the picture within which geometry is drawn whole.
constexpr double kMargin = 1024;

// Parametric angle, in Qt's degrees, of the ellipse point on the ray from
// the centre through p.
double ellipseAngle(const QRectF& box, QPointF p)
{
    const QPointF c = box.center();
    const double a = box.width() / 2, b = box.height() / 2;
    return std::atan2(-(p.y() - c.y()) / b, (p.x() - c.x()) / a) * 180 / M_PI;
}

// The angle from from to to, counter-clockwise, in (0, 360].
double ccwSweep(double from, double to)
{
    double s = std::fmod(to - from, 360.0);
    if (s <= 1e-9)
        s += 360;
    return s;
}

}  // namespace

void GdiDevice::record(const QPainterPath& mapped)
{
    recording_->addPath(mapped);
}

void GdiDevice::paint(const QPainterPath& logical, bool fill)
{
    QPainterPath mapped = logicalToPainter().map(logical);
    if (recording()) {
        record(mapped);
        return;
    }
    paintMapped(mapped, fill, true);
}

void GdiDevice::paintMapped(const QPainterPath& mapped, bool fill, bool stroke)
{
    applyClip();
    if (!beginRop2())
        return;
    painter_.setWorldTransform(base_);
    reached(mapped.controlPointRect());
    QPainterPath path = mapped;
    path.setFillRule(state_.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    const gdi::Brush& brush = state_.brush;
    // geometry reaching far past the picture is cut to its surroundings
    // first: drawing it whole costs time in proportion to its size
    const QRectF limit = everything().boundingRect().adjusted(-kMargin, -kMargin, kMargin, kMargin);
    const bool huge = !limit.contains(path.controlPointRect());
    QPainterPath limitPath;
    limitPath.addRect(limit);
    if (fill && !brush.isNull()) {
        const QPainterPath area = huge ? path.intersected(limitPath) : path;
        if (brush.style == gdi::BS_HATCHED && state_.bkMode == OPAQUE && !ropColor_)
            painter_.fillPath(area, state_.bkColor);
        painter_.fillPath(area, qtBrush(brush));
    }
    if (stroke && !state_.pen.isNull()) {
        const QPen pen = qtPen();
        if (huge)
            painter_.fillPath(QPainterPathStroker(pen).createStroke(path).intersected(limitPath), pen.color());
        else
            painter_.strokePath(path, pen);
    }
    endRop2();
}

void GdiDevice::moveTo(QPointF p)
{
    state_.position = p;
    if (recording())
        recording_->moveTo(logicalToPainter().map(p));
}

void GdiDevice::lineTo(QPointF p)
{
    if (recording()) {
        if (recording_->elementCount() == 0)
            recording_->moveTo(logicalToPainter().map(state_.position));
        recording_->lineTo(logicalToPainter().map(p));
    } else {
        QPainterPath line(state_.position);
        line.lineTo(p);
        paint(line, false);
    }
    state_.position = p;
}

void GdiDevice::polyline(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    paint(path, false);
}

void GdiDevice::polylineTo(const QPolygonF& points)
{
    for (const QPointF& p : points)
        lineTo(p);
}

void GdiDevice::polygon(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    paint(path, true);
}

void GdiDevice::polyPolygon(const QList<QPolygonF>& polygons)
{
    QPainterPath path;
    for (const QPolygonF& p : polygons) {
        if (p.size() < 2)
            continue;
        path.addPolygon(p);
        path.closeSubpath();
    }
    if (!path.isEmpty())
        paint(path, true);
}

void GdiDevice::polyPolyline(const QList<QPolygonF>& lines)
{
    QPainterPath path;
    for (const QPolygonF& p : lines)
        if (p.size() >= 2)
            path.addPolygon(p);
    if (!path.isEmpty())
        paint(path, false);
}

void GdiDevice::polyBezier(const QPolygonF& points)
{
    if (points.size() < 4)
        return;
    QPainterPath path(points.first());
    for (qsizetype i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    paint(path, false);
}

void GdiDevice::polyBezierTo(const QPolygonF& points)
{
    if (points.size() < 3)
        return;
    const QTransform t = logicalToPainter();
    if (recording()) {
        if (recording_->elementCount() == 0)
            recording_->moveTo(t.map(state_.position));
        for (qsizetype i = 0; i + 2 < points.size(); i += 3)
            recording_->cubicTo(t.map(points[i]), t.map(points[i + 1]), t.map(points[i + 2]));
    } else {
        QPainterPath path(state_.position);
        for (qsizetype i = 0; i + 2 < points.size(); i += 3)
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
        paint(path, false);
    }
    state_.position = points[points.size() - 1 - (points.size() % 3)];
}

QRectF GdiDevice::insideFrame(const QRectF& box) const
{
    const QRectF r = box.normalized();
    if ((state_.pen.style & gdi::PS_STYLE_MASK) != gdi::PS_INSIDEFRAME || state_.pen.width <= 0)
        return r;
    const double half = state_.pen.width / 2;
    if (r.width() <= 2 * half || r.height() <= 2 * half)
        return r;
    return r.adjusted(half, half, -half, -half);
}

void GdiDevice::rectangle(const QRectF& box)
{
    QPainterPath path;
    path.addRect(insideFrame(box));
    paint(path, true);
}

void GdiDevice::roundRect(const QRectF& box, QSizeF corner)
{
    QPainterPath path;
    path.addRoundedRect(insideFrame(box), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    paint(path, true);
}

void GdiDevice::ellipse(const QRectF& box)
{
    QPainterPath path;
    path.addEllipse(insideFrame(box));
    paint(path, true);
}

// +1 when a counter-clockwise arc on the device runs counter-clockwise in
// logical coordinates, -1 when the mapping mirrors it.
double GdiDevice::arcSweepSign() const
{
    const double sign = logicalToPainter().determinant() < 0 ? -1 : 1;
    return state_.clockwiseArcs ? -sign : sign;
}

QPainterPath GdiDevice::arcPath(const QRectF& box, QPointF start, QPointF end, ArcKind kind) const
{
    const QRectF r = box.normalized();
    QPainterPath path;
    if (r.width() <= 0 || r.height() <= 0)
        return path;
    const double a1 = ellipseAngle(r, start);
    const double a2 = ellipseAngle(r, end);
    const double sweep = arcSweepSign() > 0 ? ccwSweep(a1, a2) : -ccwSweep(a2, a1);
    if (kind == Pie)
        path.moveTo(r.center());
    else if (kind == ArcTo)
        path.moveTo(state_.position);
    else
        path.arcMoveTo(r, a1);
    path.arcTo(r, a1, sweep);
    if (kind == Pie || kind == Chord)
        path.closeSubpath();
    return path;
}

void GdiDevice::arc(const QRectF& box, QPointF start, QPointF end, ArcKind kind)
{
    const QPainterPath path = arcPath(box, start, end, kind);
    if (path.isEmpty())
        return;
    paint(path, kind == Chord || kind == Pie);
    if (kind == ArcTo)
        state_.position = path.currentPosition();
}

void GdiDevice::angleArc(QPointF center, double radius, double startDegrees, double sweepDegrees)
{
    if (!std::isfinite(radius) || radius <= 0 || !std::isfinite(startDegrees) || !std::isfinite(sweepDegrees))
        return;
    const QRectF r(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path(state_.position);
    const double sign = logicalToPainter().determinant() < 0 ? -1 : 1;
    path.arcTo(r, sign * startDegrees, sign * std::clamp(sweepDegrees, -3600.0, 3600.0));
    paint(path, false);
    state_.position = path.currentPosition();
}

void GdiDevice::setPixel(QPointF p, const QColor& c)
{
    if (recording())
        return;
    applyClip();
    painter_.setWorldTransform(base_);
    const QPointF at = logicalToPainter().map(p);
    reached(QRectF(at, QSizeF(1, 1)));
    painter_.fillRect(QRectF(std::floor(at.x()), std::floor(at.y()), 1, 1), c);
}
