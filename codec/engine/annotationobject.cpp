#include "annotationobject.h"

#include <algorithm>
#include <cstring>

namespace annotation {

const char* kindName(Kind kind)
{
    static const char* const names[kKindCount] = {"PolyLine", "Ellipse", "Rectangle", "Polygon",
                                                  "Pointer",  "Notes",   "Label",     "Line",
                                                  "Hilite",   "RubberStamp", "Freehand", "Image"};
    const int i = int(kind);
    return i >= 0 && i < kKindCount ? names[i] : "";
}

bool isBoxKind(Kind kind)
{
    switch (kind) {
    case Kind::Ellipse:
    case Kind::Rectangle:
    case Kind::Notes:
    case Kind::Label:
    case Kind::Hilite:
    case Kind::RubberStamp:
    case Kind::Image:
        return true;
    default:
        return false;
    }
}

int minimumPoints(Kind kind)
{
    if (isBoxKind(kind) || kind == Kind::Line || kind == Kind::Pointer || kind == Kind::PolyLine)
        return 2;
    if (kind == Kind::Polygon)
        return 3;
    return 1;
}

int maximumPoints(Kind kind)
{
    return isBoxKind(kind) || kind == Kind::Line || kind == Kind::Pointer ? 2 : 0;
}

Pixels::Pixels(std::vector<std::uint8_t> bytes)
{
    if (!bytes.empty())
        bytes_ = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

void Pixels::assign(const std::uint8_t* first, const std::uint8_t* last)
{
    *this = Pixels(std::vector<std::uint8_t>(first, last));
}

bool Pixels::operator==(const Pixels& other) const
{
    return bytes_ == other.bytes_ || (size() == other.size() && (size() == 0 || std::memcmp(data(), other.data(), size()) == 0));
}

Rect Object::bounds() const
{
    if (points.empty())
        return {};
    Rect r{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const Point& p : points) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x);
        r.bottom = std::max(r.bottom, p.y);
    }
    return r;
}

}  // namespace annotation
