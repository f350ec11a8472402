#pragma once
// Turning and flipping true-colour DIBs.

#include <cstdint>

#include "isp2000.h"

namespace isp {

// A new picture: the whole picture turned by angle degrees (counter-
// clockwise) in a frame that holds all of it, or, for a smaller rectangle,
// the rectangle's content turned about its centre within the rectangle.
// Uncovered pixels take fill (0x00BBGGRR). Null for an unsuitable DIB.
GlobalHandle rotateDib(GlobalHandle dib, double angle, const IspRect* rect, std::uint32_t fill);

// Flips any uncompressed picture in place, exactly; false for a bad or
// compressed DIB.
bool mirrorDib(GlobalHandle dib, bool vertical, bool horizontal);

}  // namespace isp
