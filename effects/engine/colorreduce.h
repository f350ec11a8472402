#pragma once
// Colour reduction through the DIB core: fixed depths with a chosen palette,
// or a given number of colours.

#include "isp2000.h"
#include "progressmeter.h"

namespace isp {

// Any valid DIB at bits 1, 4, 8 or 24. dither: 0 none, 1 Bayer, 2 Burkes,
// 4 Floyd-Steinberg, 8 grey. fixedPalette takes the standard palette of
// the depth instead of one chosen for the picture.
GlobalHandle reduceDib(GlobalHandle dib, int bits, int dither, bool fixedPalette, ProgressMeter& meter);
// At most colors colours (2..256), optimal palette (grey ramp for dither 8).
GlobalHandle reduceColors(GlobalHandle dib, int colors, int dither);

}  // namespace isp
