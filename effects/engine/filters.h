#pragma once
// Neighbourhood filters of a working picture. Each answers false when the
// meter reports a stop.

#include "progressmeter.h"
#include "rgbimage.h"

namespace isp {

bool blur(RgbImage& image, int amount, ProgressMeter& meter);
bool sharpen(RgbImage& image, int amount, ProgressMeter& meter);
bool findEdges(RgbImage& image, int amount, ProgressMeter& meter);
bool engrave(RgbImage& image, int amount, ProgressMeter& meter);
bool bleed(RgbImage& image, int amount, ProgressMeter& meter);
bool despeckle(RgbImage& image, int amount, ProgressMeter& meter);
bool oilPaint(RgbImage& image, int radius, ProgressMeter& meter);
bool halftone(RgbImage& image, int cellSize, double angle, int shape, ProgressMeter& meter);
bool addNoise(RgbImage& image, bool gaussian, bool grey, int red, int green, int blue, ProgressMeter& meter);
bool motionBlur(RgbImage& image, int amount, int angle, int kind, ProgressMeter& meter);
bool spray(RgbImage& image, int amount, int seed, ProgressMeter& meter);
bool fadeBorder(RgbImage& image, int border, int red, int green, int blue, ProgressMeter& meter);

}  // namespace isp
