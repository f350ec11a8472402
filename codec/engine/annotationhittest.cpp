#include "annotationhittest.h"

#include <algorithm>
#include <cmath>

namespace annotationhit {

using annotation::Kind;
using annotation::Object;
using annotation::Point;

namespace {

double segmentDistance(Point p, Point a, Point b)
{
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((double(p.x) - a.x) * dx + (double(p.y) - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

bool nearPath(const Object& o, Point p, double reach, bool closed)
{
    const std::vector<Point>& pts = o.points;
    if (pts.size() == 1)
        return std::hypot(double(p.x) - pts[0].x, double(p.y) - pts[0].y) <= reach;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        if (segmentDistance(p, pts[i], pts[i + 1]) <= reach)
            return true;
    }
    return closed && pts.size() > 2 && segmentDistance(p, pts.back(), pts.front()) <= reach;
}

// Even-odd rule, as the polygon is filled.
bool insidePolygon(const std::vector<Point>& pts, Point p)
{
    bool inside = false;
    for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        const Point a = pts[i], b = pts[j];
        if ((a.y > p.y) != (b.y > p.y)) {
            const double x = a.x + (double(p.y) - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y);
            if (p.x < x)
                inside = !inside;
        }
    }
    return inside;
}

bool insideBox(const annotation::Rect& r, Point p, double reach)
{
    return p.x >= r.left - reach && p.x <= r.right + reach && p.y >= r.top - reach && p.y <= r.bottom + reach;
}

bool insideEllipse(const annotation::Rect& r, Point p, double reach)
{
    const double rx = (double(r.right) - r.left) / 2 + reach, ry = (double(r.bottom) - r.top) / 2 + reach;
    if (rx <= 0 || ry <= 0)
        return false;
    const double cx = (double(r.left) + r.right) / 2, cy = (double(r.top) + r.bottom) / 2;
    const double nx = (p.x - cx) / rx, ny = (p.y - cy) / ry;
    return nx * nx + ny * ny <= 1.0;
}

}  // namespace

bool touches(const Object& o, Point p, int tolerance)
{
    if (o.points.empty())
        return false;
    const double reach = std::max(0, tolerance) + o.penWidth / 2.0;
    switch (o.kind) {
    case Kind::PolyLine:
    case Kind::Freehand:
    case Kind::Line:
    case Kind::Pointer:
        return nearPath(o, p, reach, false);
    case Kind::Polygon:
        return (o.opaque && insidePolygon(o.points, p)) || nearPath(o, p, reach, true);
    case Kind::Ellipse:
        return insideEllipse(o.bounds(), p, reach);
    default:
        return insideBox(o.bounds(), p, reach);
    }
}

int objectAt(const std::vector<Object>& objects, Point p, int tolerance)
{
    for (std::size_t i = objects.size(); i-- > 0;) {
        if (touches(objects[i], p, tolerance))
            return int(i);
    }
    return -1;
}

int handleAt(const Object& o, Point p, int tolerance)
{
    for (std::size_t i = o.points.size(); i-- > 0;) {
        if (std::abs(o.points[i].x - p.x) <= tolerance && std::abs(o.points[i].y - p.y) <= tolerance)
            return int(i);
    }
    return -1;
}

}  // namespace annotationhit
