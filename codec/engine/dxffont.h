#pragma once
// A small stroke font for DXF text: printable ASCII on a grid 4 units wide
// and 6 high (baseline at 0); the advance is 6 units. Lower-case letters are
// small capitals, anything outside printable ASCII draws as '?'.

#include <vector>

namespace dxffont {

constexpr double kCapHeight = 6.0;
constexpr double kAdvance = 6.0;

struct StrokePoint {
    double x, y;
};
using Stroke = std::vector<StrokePoint>;

// The strokes of one character in font units.
const std::vector<Stroke>& glyph(unsigned char c);

}  // namespace dxffont
