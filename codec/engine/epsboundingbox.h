#pragma once
// The bounding box of an EPS file's PostScript section, from its
// "%%BoundingBox:" comment (or "%%HiResBoundingBox:" when that is missing
// or unusable); "(atend)" takes the last such comment of the section.

#include "bytespan.h"

struct EpsBox {
    // Lower-left corner in points; the picture covers width x height points
    // from there, at one pixel per point.
    int llx = 0;
    int lly = 0;
    int width = 0;
    int height = 0;
};

namespace epsboundingbox {

// Largest side accepted in points.
constexpr int kMaxSide = 1000000;

// False when no usable box is found: missing, malformed, empty or inverted,
// sides over kMaxSide, or a 24-bit picture of that size over the engine's
// pixel limit.
bool find(ByteSpan postscript, EpsBox& out);

}  // namespace epsboundingbox
