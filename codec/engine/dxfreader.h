#pragma once
// Reads an ASCII DXF file (group code and value lines, LF or CR LF) into a
// DxfDrawing: the header's $EXTMIN/$EXTMAX, the layer colours of the TABLES
// section and the drawable entities of the ENTITIES section: LINE, POLYLINE
// with VERTEX and SEQEND, LWPOLYLINE (bulges drawn straight), CIRCLE, ARC,
// ELLIPSE, POINT, SOLID and 3DFACE (outlines), TEXT, and INSERT of the
// blocks of the BLOCKS section (scale and rotation; nested to 16 levels; no
// insert arrays).
//
// Refused: binary DXF, a file that does not start with a section, a line
// longer than kMaxLineBytes, a group code that is not a number, a pair cut
// off at the end, an ENTITIES section without ENDSEC, more than
// kMaxElements drawing elements (block contents and every placement of a
// block count too), texts of more than 64 MiB together. Entities with coordinates that are not
// finite or beyond kMaxCoordinate are left out.

#include <cstddef>
#include <functional>

#include "bytespan.h"
#include "dxfdrawing.h"

namespace dxfreader {

constexpr std::size_t kMaxLineBytes = 4096;
constexpr std::size_t kMaxElements = 2000000;
constexpr double kMaxCoordinate = 1e12;

// Percentage of the bytes read; false to stop.
using Progress = std::function<bool(int percent)>;

// True when the drawing was read; false for a refused file or a stop.
bool read(ByteSpan bytes, DxfDrawing& out, const Progress& progress = {});

}  // namespace dxfreader
