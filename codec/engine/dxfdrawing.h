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

// An elliptical arc: the points c + u cos t + v sin t for t from start to
// end (radians, start < end). A circle of radius r has u = (r, 0) and
// v = (0, r); any affine map of the plane keeps the form.
struct DxfCurve {
    double cx, cy, ux, uy, vx, vy, start, end;
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

// A block placed by INSERT: name, insertion point, scale and rotation.
struct DxfInsert {
    std::string name;
    double x, y, scaleX, scaleY, rotation;  // rotation in degrees
};

// A block definition: its geometry relative to the base point, and the
// blocks it places in turn.
struct DxfBlock {
    double baseX = 0, baseY = 0;
    std::vector<DxfSegment> segments;
    std::vector<DxfCurve> curves;
    std::vector<DxfText> texts;
    std::vector<DxfPoint> points;
    std::vector<DxfInsert> inserts;
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
