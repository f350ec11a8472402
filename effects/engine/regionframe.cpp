#include "regionframe.h"

#include <algorithm>
#include <cstring>

#include "dibcore/dibcore.h"
#include "dibcore/dibguard.h"
#include "freshblock.h"

namespace isp {

PixelRect clipRect(const IspRect* rect, int width, int height)
{
    PixelRect r{0, 0, width, height};
    if (!rect)
        return r;
    r.left = std::clamp<int>(rect->left, 0, width);
    r.top = std::clamp<int>(rect->top, 0, height);
    r.right = std::clamp<int>(rect->right, r.left, width);
    r.bottom = std::clamp<int>(rect->bottom, r.top, height);
    return r;
}

RgbImage readRegion(const dibcore::DibView& dib, const PixelRect& r)
{
    RgbImage img(r.width(), r.height());
    const int bpp = dib.bitCount() / 8;
    for (int y = 0; y < r.height(); ++y) {
        const std::uint8_t* in = dib.row(r.top + y) + std::size_t(r.left) * bpp;
        std::uint8_t* out = img.row(y);
        if (bpp == 3) {
            std::memcpy(out, in, img.stride());
            continue;
        }
        for (int x = 0; x < r.width(); ++x, in += 4, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
    return img;
}

void writeRegion(const dibcore::DibView& dib, const PixelRect& r, const RgbImage& pixels)
{
    const int bpp = dib.bitCount() / 8;
    for (int y = 0; y < r.height(); ++y) {
        std::uint8_t* out = dib.mutableRow(r.top + y) + std::size_t(r.left) * bpp;
        const std::uint8_t* in = pixels.row(y);
        if (bpp == 3) {
            std::memcpy(out, in, pixels.stride());
            continue;
        }
        for (int x = 0; x < r.width(); ++x, in += 3, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
}

namespace {

// The rectangle of a 24-bit DIB as a working picture over its own rows.
RgbImage regionView(const dibcore::DibView& dib, const PixelRect& r)
{
    std::vector<std::uint8_t*> rows(std::size_t(r.height()));
    for (int y = 0; y < r.height(); ++y)
        rows[std::size_t(y)] = dib.mutableRow(r.top + y) + std::size_t(r.left) * 3;
    return RgbImage::view(std::move(rows), r.width());
}

// Runs the effect on the region of target, which holds the same picture
// as source; false when stopped.
bool runOn(const dibcore::DibView& source, const dibcore::DibView& target, const IspRect* rect, ProgressMeter& meter,
           const RegionEffect& effect, bool inPlace)
{
    const PixelRect r = clipRect(rect, source.width(), source.height());
    if (r.empty())
        return meter.finish();
    if (source.bitCount() == 24 && !inPlace) {
        // works on the copy's rows directly
        RgbImage region = regionView(target, r);
        return effect(region, meter) && !meter.stopped() && meter.finish();
    }
    RgbImage region = readRegion(source, r);
    if (!effect(region, meter) || meter.stopped())
        return false;
    writeRegion(target, r, region);
    return meter.finish();
}

}  // namespace

GlobalHandle applyToRegion(GlobalHandle dib, const IspRect* rect, ProgressMeter& meter, const RegionEffect& effect)
{
    LockedDib in(dib);
    if (!in.trueColour())
        return nullptr;
    dibcore::DibGuard out(copyForWriting(dib));
    if (!out.get())
        return nullptr;
    LockedDib target(out.get());
    if (!target.valid() || !runOn(in.view(), target.view(), rect, meter, effect, false))
        return nullptr;
    return out.release();
}

bool applyInPlace(GlobalHandle dib, const IspRect* rect, ProgressMeter& meter, const RegionEffect& effect)
{
    LockedDib in(dib);
    if (!in.trueColour())
        return false;
    return runOn(in.view(), in.view(), rect, meter, effect, true);
}

}  // namespace isp
