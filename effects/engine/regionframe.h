#pragma once
// The frame shared by the effects that change a rectangle of a picture:
// check the input, clip the rectangle, hand its pixels to the effect as a
// working picture and put the result into a copy of the input.

#include <functional>

#include "isp2000.h"
#include "lockeddib.h"
#include "progressmeter.h"
#include "rgbimage.h"

namespace isp {

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
};

// The rectangle clipped to a width x height picture; null gives the whole.
PixelRect clipRect(const IspRect* rect, int width, int height);

// The pixels of a true-colour DIB inside the rectangle.
RgbImage readRegion(const dibcore::DibView& dib, const PixelRect& r);
// Writes the working picture back into the rectangle (the fourth byte of
// 32-bit pixels is kept).
void writeRegion(const dibcore::DibView& dib, const PixelRect& r, const RgbImage& pixels);

// Changes the region in place; false when stopped or when it cannot work.
using RegionEffect = std::function<bool(RgbImage& region, ProgressMeter& meter)>;

// A new picture: a copy of dib with the effect applied inside the
// rectangle. Null for an unsuitable DIB, a stop or no memory.
GlobalHandle applyToRegion(GlobalHandle dib, const IspRect* rect, ProgressMeter& meter, const RegionEffect& effect);
// The same on the block itself; false leaves it unchanged.
bool applyInPlace(GlobalHandle dib, const IspRect* rect, ProgressMeter& meter, const RegionEffect& effect);

}  // namespace isp
