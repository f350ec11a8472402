#pragma once
// Geometry the device's drawing files share.

#include <QPointF>

#include <cmath>

namespace gdigeometry {

inline double length(QPointF v)
{
    return std::hypot(v.x(), v.y());
}

}  // namespace gdigeometry
