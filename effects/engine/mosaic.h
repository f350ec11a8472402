#pragma once
// Tiles: the mosaic of square or irregular tiles with grout and bevels,
// and the extruded blocks.

#include <cstdint>

#include "progressmeter.h"
#include "rgbimage.h"

namespace isp {

struct MosaicStyle {
    int tileSize = 16;
    int tileHeight = 30;  // bevel, tenths of a pixel
    int spacing = 1;      // grout, pixels
    int lightAngle = 45;  // degrees, counter-clockwise from the right
    int randomness = 0;   // 0..5
    bool antiAlias = true;
    bool squares = false;
    bool smoothing = true;
    std::uint8_t back[3] = {0, 0, 0};  // blue, green, red
    std::uint8_t fore[3] = {255, 255, 255};
};

bool mosaic(RgbImage& image, const MosaicStyle& style, ProgressMeter& meter);
bool extrude(RgbImage& image, bool levels, int depth, ProgressMeter& meter);

}  // namespace isp
