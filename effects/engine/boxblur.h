#pragma once
// Gaussian blur of a working picture by three box passes per axis, with
// integer running sums; the picture's edges are extended.

#include "progressmeter.h"
#include "rgbimage.h"

namespace isp {

// False when stopped through the meter (the picture is then undefined).
bool gaussianBlur(RgbImage& image, double sigma, ProgressMeter* meter = nullptr);
// One box pass of the given radius along rows and along columns.
void boxBlur(RgbImage& image, int radius);

}  // namespace isp
