#include "scaling.h"

#include <algorithm>
#include <vector>

#include "dibcore/dibcore.h"
#include "dibcore/dibguard.h"
#include "freshblock.h"
#include "lockeddib.h"
#include "resampler.h"
#include "rgbimage.h"

namespace isp {

namespace {

const std::uint8_t* viewRow(const void* context, int y)
{
    return static_cast<const dibcore::DibView*>(context)->row(y);
}

std::uint8_t* viewMutableRow(const void* context, int y)
{
    return static_cast<const dibcore::DibView*>(context)->mutableRow(y);
}

RowSource sourceOf(const dibcore::DibView& v)
{
    return RowSource{viewRow, &v, v.width(), v.height()};
}

RowTarget targetOf(const dibcore::DibView& v)
{
    return RowTarget{viewMutableRow, &v, v.width(), v.height()};
}

// A grey plane: one byte per pixel.
struct Plane {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bytes;
    static const std::uint8_t* row(const void* c, int y)
    {
        const auto* p = static_cast<const Plane*>(c);
        return p->bytes.data() + std::size_t(y) * p->width;
    }
    static std::uint8_t* mutableRow(const void* c, int y)
    {
        auto* p = const_cast<Plane*>(static_cast<const Plane*>(c));
        return p->bytes.data() + std::size_t(y) * p->width;
    }
};

Plane luminancePlane(const dibcore::DibView& rgb)
{
    Plane p{rgb.width(), rgb.height(), std::vector<std::uint8_t>(std::size_t(rgb.width()) * rgb.height())};
    for (int y = 0; y < rgb.height(); ++y) {
        const std::uint8_t* in = rgb.row(y);
        std::uint8_t* out = p.bytes.data() + std::size_t(y) * p.width;
        for (int x = 0; x < rgb.width(); ++x, in += 3)
            out[x] = static_cast<std::uint8_t>(luminance(in[0], in[1], in[2]));
    }
    return p;
}

Plane pointSampled(const Plane& src, int width, int height)
{
    Plane p{width, height, std::vector<std::uint8_t>(std::size_t(width) * height)};
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>((std::int64_t(y) * 2 + 1) * src.height / (2 * std::int64_t(height)));
        for (int x = 0; x < width; ++x) {
            const int sx = static_cast<int>((std::int64_t(x) * 2 + 1) * src.width / (2 * std::int64_t(width)));
            p.bytes[std::size_t(y) * width + x] = src.bytes[std::size_t(sy) * src.width + sx];
        }
    }
    return p;
}

// Ink weight in tenths for a mode: darkness is multiplied by it.
int inkTenths(int mode)
{
    switch (mode) {
    case kGray16Ink8: return 8;
    case kGray16Ink12: return 12;
    case kGray16Ink20: return 20;
    case kGray16Ink24:
    case kGray256Ink24: return 24;
    default: return 10;
    }
}

int levelsOf(int mode)
{
    return (mode == kGrayNone || mode == kGray256Ink24 || mode == kGrayAnti256) ? 256 : 16;
}

GlobalHandle greyDib(const Plane& plane, int levels)
{
    const int bits = levels == 16 ? 4 : 8;
    dibcore::DibGuard out(dibcore::allocDib(plane.width, plane.height, bits, dibcore::greyPalette(levels)));
    if (!out.get())
        return nullptr;
    LockedDib target(out.get());
    if (!target.valid())
        return nullptr;
    for (int y = 0; y < plane.height; ++y) {
        std::uint8_t* row = target.view().mutableRow(y);
        const std::uint8_t* in = plane.bytes.data() + std::size_t(y) * plane.width;
        for (int x = 0; x < plane.width; ++x)
            dibcore::setIndex(row, x, bits, levels == 16 ? (in[x] * 15u + 127u) / 255u : in[x]);
    }
    return out.release();
}

}  // namespace

namespace {

GlobalHandle scaleTrueColour(const LockedDib& in, int width, int height, ProgressMeter& meter)
{
    dibcore::DibGuard out(dibcore::allocDib(width, height, in.view().bitCount()));
    if (!out.get())
        return nullptr;
    adviseHugePages(out.get());
    LockedDib target(out.get());
    if (!target.valid() || !resample(sourceOf(in.view()), targetOf(target.view()), in.bytesPerPixel(), meter))
        return nullptr;
    return out.release();
}

}  // namespace

GlobalHandle scaleDib(GlobalHandle dib, int width, int height, ProgressMeter& meter)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    GlobalHandle wide = nullptr;
    {
        LockedDib in(dib);
        if (in.trueColour())
            return scaleTrueColour(in, width, height, meter);
        if (!in.valid())
            return nullptr;
        wide = dibcore::toRgb24(in.view());
    }
    dibcore::DibGuard guard(wide);
    if (!wide)
        return nullptr;
    LockedDib rgb(wide);
    return scaleTrueColour(rgb, width, height, meter);
}

GlobalHandle tileDib(GlobalHandle dib, ProgressMeter& meter)
{
    LockedDib in(dib);
    if (!in.trueColour())
        return nullptr;
    const int w = in.width(), h = in.height(), bpp = in.bytesPerPixel();
    const int tw = std::max(1, w / 2), th = std::max(1, h / 2);
    meter.phase(0, 80);
    dibcore::DibGuard tile(dibcore::allocDib(tw, th, in.view().bitCount()));
    dibcore::DibGuard out(copyForWriting(dib));
    if (!tile.get() || !out.get())
        return nullptr;
    LockedDib small(tile.get());
    LockedDib target(out.get());
    if (!small.valid() || !target.valid() ||
        !resample(sourceOf(in.view()), targetOf(small.view()), bpp, meter))
        return nullptr;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* from = small.view().row(y % th);
        std::uint8_t* to = target.view().mutableRow(y);
        for (int x = 0; x < w; x += tw) {
            const int n = std::min(tw, w - x);
            std::copy(from, from + std::size_t(n) * bpp, to + std::size_t(x) * bpp);
        }
    }
    return meter.finish() ? out.release() : nullptr;
}

GlobalHandle scaleToGray(GlobalHandle dib, int mode, int width, int height)
{
    if (width <= 0 || height <= 0 || mode < kGrayNone || mode > kGrayAnti256 ||
        !dibcore::fitsLimit(width, height, 8))
        return nullptr;
    GlobalHandle rgb = nullptr;
    {
        LockedDib in(dib);
        if (!in.valid())
            return nullptr;
        rgb = dibcore::toRgb24(in.view());
    }
    dibcore::DibGuard rgbGuard(rgb);
    if (!rgb)
        return nullptr;
    LockedDib rgbView(rgb);
    const Plane full = luminancePlane(rgbView.view());
    if (mode == kGrayNone)
        return greyDib(pointSampled(full, width, height), 256);
    Plane small{width, height, std::vector<std::uint8_t>(std::size_t(width) * height)};
    ProgressMeter quiet;
    if (!resample(RowSource{Plane::row, &full, full.width, full.height},
                  RowTarget{Plane::mutableRow, &small, width, height}, 1, quiet))
        return nullptr;
    const int ink = inkTenths(mode);
    for (std::uint8_t& g : small.bytes)
        g = static_cast<std::uint8_t>(255 - std::min(255, (255 - g) * ink / 10));
    return greyDib(small, levelsOf(mode));
}

}  // namespace isp
