#pragma once
// Palettes for depth reduction and nearest-colour lookup.

#include <cstdint>
#include <vector>

#include "rgbquad.h"

namespace dibcore {

class DibView;

using Palette = std::vector<RgbQuad>;

// n evenly spaced greys from black to white (n >= 2).
Palette greyPalette(int n);
// Black and white.
Palette monoPalette();
// The 16 colours of the standard VGA palette.
Palette vgaPalette();
// 256 entries: a 6x6x6 colour cube, then greys.
Palette halftonePalette();
// At most maxColors colours chosen for a 24-bit picture (median cut). When
// the picture has no more distinct colours than that, exactly its colours.
Palette optimalPalette(const DibView& rgb24, int maxColors);

// The distinct colours of a 24-bit picture, sorted, when there are at most
// maxColors of them; false otherwise.
bool exactPalette(const DibView& rgb24, int maxColors, Palette& out);
// True when every pixel of a 24-bit picture is grey.
bool isGreyPicture(const DibView& rgb24);

// True when every entry has red == green == blue.
bool isGreyPalette(const Palette& palette);

// Index of the entry nearest to (r, g, b) by squared distance.
int nearestIndex(const Palette& palette, int r, int g, int b);

}  // namespace dibcore
