#pragma once
// A DXF drawing reduced to what the renderer draws, in drawing units.

#include <cstdint>
#include <string>
#include <vector>

struct DxfBox {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool valid = false;

    void add(double x, double y)
    {
        if (!valid) {
            minX = maxX = x, minY = maxY = y, valid = true;
            return;
        }
        minX = x < minX ? x : minX, maxX = x > maxX ? x : maxX;
        minY = y < minY ? y : minY, maxY = y > maxY ? y : maxY;
    }
    bool intersects(const DxfBox& o) const
    {
        return valid && o.valid && minX <= o.maxX && o.minX <= maxX && minY <= o.maxY && o.minY <= maxY;
    }
};

struct DxfSegment {
    double x0, y0, x1, y1;
    std::uint32_t rgb;  // 0xRRGGBB
};

// An elliptical arc: centre, end of the major axis relative to the centre,
// minor/major ratio and the parameter range in radians (counter-clockwise).
// Circles and circular arcs have ratio 1.
struct DxfCurve {
    double cx, cy, majorX, majorY, ratio, start, end;
    std::uint32_t rgb;
};

struct DxfText {
    double x, y, height, widthFactor, rotation;  // rotation in degrees
    std::string text;
    std::uint32_t rgb;
};

struct DxfPoint {
    double x, y;
    std::uint32_t rgb;
};

struct DxfDrawing {
    std::vector<DxfSegment> segments;
    std::vector<DxfCurve> curves;
    std::vector<DxfText> texts;
    std::vector<DxfPoint> points;
    DxfBox headerExtents;  // $EXTMIN/$EXTMAX when both were given
    DxfBox entityExtents;  // of everything above

    std::size_t elementCount() const { return segments.size() + curves.size() + texts.size() + points.size(); }
};
