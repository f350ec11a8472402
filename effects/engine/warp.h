#pragma once
// The warp dissolve: pixels drift along a vector field taken from their
// colours, in steps.

#include <functional>

#include "progressmeter.h"
#include "rgbimage.h"

namespace isp {

struct WarpStyle {
    bool hueDirection = true;       // hue gives the direction, else luminance
    bool saturationLength = true;   // saturation gives the length, else 1
    bool convolve = true;           // smooth the field
    int scale = 20;
    int rotation = 90;              // degrees added to every direction
    int steps = 4;
    int displacement = 10;
};

// Called with each intermediate picture (not the last); false stops.
using WarpFrame = std::function<bool(const RgbImage& frame)>;

bool warp(RgbImage& image, const WarpStyle& style, const WarpFrame& frame, ProgressMeter& meter);

}  // namespace isp
