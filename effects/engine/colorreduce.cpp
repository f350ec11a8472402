#include "colorreduce.h"

#include <algorithm>

#include "dibcore/dibcore.h"
#include "dibcore/dibguard.h"
#include "lockeddib.h"

namespace isp {

namespace {

dibcore::Dither ditherOf(int code)
{
    switch (code) {
    case 1: return dibcore::Dither::Bayer;
    case 2: return dibcore::Dither::Burkes;
    case 4: return dibcore::Dither::FloydSteinberg;
    case 8: return dibcore::Dither::Grey;
    default: return dibcore::Dither::None;
    }
}

dibcore::Progress progressOf(ProgressMeter& meter)
{
    return [&meter](int percent) { return meter.step(percent, 100); };
}

dibcore::Palette fixedPaletteFor(int bits, dibcore::Dither dither)
{
    const int n = dibcore::colorsForBits(bits);
    if (dither == dibcore::Dither::Grey)
        return dibcore::greyPalette(n);
    switch (bits) {
    case 1: return dibcore::monoPalette();
    case 4: return dibcore::vgaPalette();
    default: return dibcore::halftonePalette();
    }
}

int bitsForColors(int colors)
{
    return colors <= 2 ? 1 : (colors <= 16 ? 4 : 8);
}

}  // namespace

GlobalHandle reduceDib(GlobalHandle dib, int bits, int dither, bool fixedPalette, ProgressMeter& meter)
{
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return nullptr;
    LockedDib in(dib);
    if (!in.valid())
        return nullptr;
    const dibcore::Dither mode = ditherOf(dither);
    if (!fixedPalette || bits == 24) {
        dibcore::DibGuard out(dibcore::convertDepth(in.view(), bits, mode, progressOf(meter)));
        return out.get() && meter.finish() ? out.release() : nullptr;
    }
    meter.phase(0, 30);
    dibcore::DibGuard rgb(dibcore::toRgb24(in.view(), progressOf(meter)));
    if (!rgb.get())
        return nullptr;
    LockedDib rgbView(rgb.get());
    meter.phase(30, 100);
    dibcore::DibGuard out(
        dibcore::reduceToPalette(rgbView.view(), bits, fixedPaletteFor(bits, mode), mode, progressOf(meter)));
    return out.get() && meter.finish() ? out.release() : nullptr;
}

GlobalHandle reduceColors(GlobalHandle dib, int colors, int dither)
{
    colors = std::clamp(colors, 2, 256);
    LockedDib in(dib);
    if (!in.valid())
        return nullptr;
    dibcore::DibGuard rgb(dibcore::toRgb24(in.view()));
    if (!rgb.get())
        return nullptr;
    LockedDib rgbView(rgb.get());
    const dibcore::Dither mode = ditherOf(dither);
    const dibcore::Palette palette = mode == dibcore::Dither::Grey ? dibcore::greyPalette(colors)
                                                                   : dibcore::optimalPalette(rgbView.view(), colors);
    if (palette.empty())
        return nullptr;
    return dibcore::reduceToPalette(rgbView.view(), bitsForColors(int(palette.size())), palette, mode);
}

}  // namespace isp
