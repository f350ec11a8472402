#pragma once
// Tone and colour changes of a working picture.

#include <array>
#include <cstdint>

#include "platform/globalmem.h"
#include "progressmeter.h"
#include "rgbimage.h"

namespace isp {

// One table per channel, blue, green, red.
using ChannelTables = std::array<std::array<std::uint8_t, 256>, 3>;

ChannelTables invertTables();
ChannelTables brightnessTables(int amount);
// gammaTimesTen 10 = 1.0; above brightens.
ChannelTables gammaTables(int gammaTimesTen);
ChannelTables enhanceTables(int brightness, int contrast, int gammaBlue, int gammaGreen, int gammaRed);

bool applyTables(RgbImage& image, const ChannelTables& tables, ProgressMeter& meter);
// Changes the colour table of a 1-, 4- or 8-bit DIB in place; false for
// any other picture.
bool applyToColorTable(GlobalHandle dib, const ChannelTables& tables);
bool autoContrast(RgbImage& image, ProgressMeter& meter);
bool grayArea(RgbImage& image, ProgressMeter& meter);
bool threshold(RgbImage& image, int level, bool antiAlias, ProgressMeter& meter);

// The colour ranges a hue and saturation change applies to.
struct HueSelection {
    bool red, green, blue, yellow, magenta, cyan;
    bool all() const { return red && green && blue && yellow && magenta && cyan; }
};
bool hueSaturation(RgbImage& image, const HueSelection& selection, int hueShift, int saturation, int lightness,
                   ProgressMeter& meter);

}  // namespace isp
