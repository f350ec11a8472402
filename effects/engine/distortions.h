#pragma once
// Geometric distortions of a working picture: every output pixel reads the
// source at a computed position.

#include "progressmeter.h"
#include "rgbimage.h"

namespace isp {

bool pinchHole(RgbImage& image, double amount, ProgressMeter& meter);
bool whirl(RgbImage& image, double angle, ProgressMeter& meter);
bool wave(RgbImage& image, double amplitude, int waveLength, double phase, bool smear, bool reflection,
          ProgressMeter& meter);
bool jiggle(RgbImage& image, int period, int amplitude, bool triangle, ProgressMeter& meter);
bool rectToPolar(RgbImage& image, int value, int angle, bool invert, bool backwards, ProgressMeter& meter);

}  // namespace isp
