#include "annotationnodes.h"

#include <algorithm>
#include <cmath>

namespace annotationnodes {

using annotation::Kind;
using annotation::Object;
using annotation::Point;

namespace {

bool near(Point a, Point b, int tolerance)
{
    return std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance;
}

int nodeAt(const Object& o, Point p, int tolerance)
{
    for (std::size_t i = o.points.size(); i-- > 0;)
        if (near(o.points[i], p, tolerance))
            return int(i);
    return -1;
}

double segmentDistance(Point p, Point a, Point b)
{
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((double(p.x) - a.x) * dx + (double(p.y) - a.y) * dy) / length2, 0.0, 1.0) : 0;
    return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

// The index the new node takes: after the start of the nearest segment
// within tolerance (the polygon's closing segment appends); -1 for none.
int insertionAt(const Object& o, Point p, int tolerance)
{
    const std::vector<Point>& pts = o.points;
    const double reach = tolerance + o.penWidth / 2.0;
    int best = -1;
    double bestDistance = reach;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        const double d = segmentDistance(p, pts[i], pts[i + 1]);
        if (d <= bestDistance)
            best = int(i) + 1, bestDistance = d;
    }
    if (o.kind == Kind::Polygon && pts.size() > 2 && segmentDistance(p, pts.back(), pts.front()) <= bestDistance)
        best = int(pts.size());
    return best;
}

// Corners of the bounds in the order top-left, top-right, bottom-right,
// bottom-left; the opposite corner of i is (i + 2) % 4.
std::vector<Point> corners(const Object& o)
{
    const annotation::Rect r = o.bounds();
    return {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
}

std::int32_t scaled(std::int32_t v, std::int32_t fixed, std::int32_t from, std::int32_t to)
{
    if (from == fixed)
        return v;
    return std::int32_t(std::lround(fixed + (double(v) - fixed) * (double(to) - fixed) / (double(from) - fixed)));
}

}  // namespace

bool hasNodes(Kind kind)
{
    return kind == Kind::PolyLine || kind == Kind::Polygon || kind == Kind::Freehand;
}

std::vector<Point> handles(const Object& o, bool shapeEditing)
{
    if (hasNodes(o.kind) && !shapeEditing)
        return o.points.empty() ? std::vector<Point>{} : corners(o);
    return o.points;
}

int handleAt(const Object& o, bool shapeEditing, Point p, int tolerance)
{
    const std::vector<Point> hs = handles(o, shapeEditing);
    for (std::size_t i = hs.size(); i-- > 0;)
        if (near(hs[i], p, tolerance))
            return int(i);
    return -1;
}

void dragHandle(Object& o, const Object& before, bool shapeEditing, int handle, Point p)
{
    if (handle < 0)
        return;
    if (!hasNodes(o.kind) || shapeEditing) {
        if (std::size_t(handle) < o.points.size())
            o.points[std::size_t(handle)] = p;
        return;
    }
    if (handle > 3 || before.points.size() != o.points.size())
        return;
    const std::vector<Point> c = corners(before);
    const Point fixed = c[std::size_t((handle + 2) % 4)], from = c[std::size_t(handle)];
    for (std::size_t i = 0; i < o.points.size(); ++i)
        o.points[i] = {scaled(before.points[i].x, fixed.x, from.x, p.x), scaled(before.points[i].y, fixed.y, from.y, p.y)};
}

bool canAddNode(const Object& o, Point p, int tolerance)
{
    return hasNodes(o.kind) && nodeAt(o, p, tolerance) < 0 && insertionAt(o, p, tolerance) >= 0;
}

bool canRemoveNode(const Object& o, Point p, int tolerance)
{
    return hasNodes(o.kind) && nodeAt(o, p, tolerance) >= 0 &&
           o.points.size() > std::size_t(annotation::minimumPoints(o.kind));
}

bool addNode(Object& o, Point p, int tolerance)
{
    if (!canAddNode(o, p, tolerance))
        return false;
    o.points.insert(o.points.begin() + insertionAt(o, p, tolerance), p);
    return true;
}

bool removeNode(Object& o, Point p, int tolerance)
{
    if (!canRemoveNode(o, p, tolerance))
        return false;
    o.points.erase(o.points.begin() + nodeAt(o, p, tolerance));
    return true;
}

}  // namespace annotationnodes
