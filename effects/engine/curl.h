#pragma once
// The page curl: a corner (or an edge) of the picture folded over.

#include <cstdint>

#include "progressmeter.h"
#include "rgbimage.h"

namespace isp {

enum class CurlCorner { LeftBottom, RightBottom, LeftTop, RightTop };

struct CurlStyle {
    CurlCorner corner = CurlCorner::RightBottom;
    bool horizontal = false;  // fold line runs up and down: the page turns sideways
    bool vertical = false;    // fold line runs across: the page turns up or down
    bool keepPicture = false;
    bool uncoveredInForeground = false;
    bool shadowInBackground = false;
    bool shadeUnder = true;
    double shadowTransparency = 0.0;  // 0 solid .. 1 none
    std::uint8_t fore[3] = {255, 255, 255};  // blue, green, red
    std::uint8_t back[3] = {0, 0, 0};
};

bool pageCurl(RgbImage& image, const CurlStyle& style, ProgressMeter& meter);

}  // namespace isp
