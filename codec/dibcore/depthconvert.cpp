#include "depthconvert.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "dibcore.h"
#include "dibguard.h"
#include "fieldscale.h"
#include "nearestcolor.h"

namespace dibcore {

namespace {

bool keepGoing(const Progress& progress, int y, int height)
{
    if (!progress || (y & 31) != 0)
        return true;
    return progress(height > 0 ? static_cast<int>(std::int64_t(y) * 100 / height) : 0);
}

Palette tableOf(const DibView& src)
{
    Palette p;
    for (int i = 0; i < src.colorCount(); ++i)
        p.push_back(src.colorTable()[i]);
    return p;
}

void rowToRgb24(const DibView& src, const std::uint8_t* in, std::uint8_t* out, const FieldScale* fields)
{
    const int w = src.width();
    const int bits = src.bitCount();
    if (bits == 24) {
        std::memcpy(out, in, std::size_t(w) * 3);
        return;
    }
    for (int x = 0; x < w; ++x) {
        std::uint8_t* d = out + 3 * std::size_t(x);
        const unsigned v = DibView::indexAt(in, x, bits);
        if (bits <= 8) {
            const RgbQuad c = src.color(static_cast<int>(v));
            d[0] = c.blue;
            d[1] = c.green;
            d[2] = c.red;
        } else {
            d[0] = fields[2](v);
            d[1] = fields[1](v);
            d[2] = fields[0](v);
        }
    }
}

// Writes one RLE pixel, clipped to the picture.
struct RleCursor {
    const DibView& dst;
    int bits;
    int x = 0;
    int y = 0;  // counted from the bottom
    void put(unsigned index)
    {
        if (x < dst.width() && y < dst.height())
            setIndex(dst.mutableRow(dst.height() - 1 - y), x, bits, index);
        ++x;
    }
};

// Same depth or wider palette depth (1 -> 4 -> 8), colours kept exactly.
GlobalHandle widenIndexed(const DibView& src, int bits)
{
    const int w = src.width();
    const int h = src.height();
    DibGuard out(allocDib(w, h, bits, tableOf(src)));
    if (!out.get())
        return nullptr;
    DibView dst = lockView(out.get());
    if (!dst.valid())
        return nullptr;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = src.row(y);
        std::uint8_t* o = dst.mutableRow(y);
        for (int x = 0; x < w; ++x) {
            unsigned v = DibView::indexAt(in, x, src.bitCount());
            if (int(v) >= src.colorCount())
                v = 0;
            setIndex(o, x, bits, v);
        }
    }
    return out.release();
}

struct DiffusionTap {
    int dx, dy, weight;
};

constexpr DiffusionTap kFloyd[] = {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}};
constexpr DiffusionTap kBurkes[] = {{1, 0, 8}, {2, 0, 4}, {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4}, {2, 1, 2}};

constexpr int kBayer8[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21},
};

int clamp255(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

int luminance(int r, int g, int b)
{
    return (r * 299 + g * 587 + b * 114 + 500) / 1000;
}

// Spread of the ordered dither: about one palette step.
int bayerSpread(const Palette& palette, bool grey)
{
    const int n = static_cast<int>(palette.size());
    if (grey)
        return n > 1 ? 255 / (n - 1) : 255;
    if (n <= 2)
        return 255;
    if (n <= 16)
        return 128;
    return 48;
}

}  // namespace

GlobalHandle decodeRle(const DibView& src, bool* complete)
{
    if (complete)
        *complete = false;
    if (!src.valid() || !src.isRle())
        return nullptr;
    const int bits = src.compression() == kBiRle8 ? 8 : 4;
    DibGuard out(allocDib(src.width(), src.height(), bits, tableOf(src)));
    if (!out.get())
        return nullptr;
    DibView dst = lockView(out.get());
    if (!dst.valid())
        return nullptr;
    const std::uint8_t* p = src.pixels();
    const std::size_t n = src.pixelBytes();
    std::size_t i = 0;
    RleCursor cur{dst, bits};
    bool ended = false;
    while (i + 1 < n && cur.y < dst.height()) {
        const unsigned count = p[i];
        const unsigned value = p[i + 1];
        i += 2;
        if (count > 0) {
            for (unsigned k = 0; k < count && cur.x < dst.width(); ++k) {
                if (bits == 8)
                    cur.put(value);
                else
                    cur.put((k & 1) ? (value & 0x0F) : (value >> 4));
            }
            continue;
        }
        if (value == 0) {  // end of line
            cur.x = 0;
            ++cur.y;
        } else if (value == 1) {  // end of picture
            ended = true;
            break;
        } else if (value == 2) {  // delta
            if (i + 1 >= n)
                break;
            cur.x += p[i];
            cur.y += p[i + 1];
            i += 2;
        } else {  // literal run
            const std::size_t bytes = bits == 8 ? value : (value + 1) / 2;
            const std::size_t padded = (bytes + 1) & ~std::size_t(1);
            if (bytes > n - i)
                break;
            for (unsigned k = 0; k < value && cur.x < dst.width(); ++k) {
                if (bits == 8)
                    cur.put(p[i + k]);
                else
                    cur.put((k & 1) ? (p[i + k / 2] & 0x0F) : (p[i + k / 2] >> 4));
            }
            i += std::min(padded, n - i);
        }
    }
    if (complete)
        *complete = ended || cur.y >= dst.height() || (cur.y == dst.height() - 1 && cur.x >= dst.width());
    return out.release();
}

namespace {

// Runs convert on the expanded form of an RLE DIB.
template <typename Convert>
GlobalHandle onExpandedRle(const DibView& src, Convert convert)
{
    DibGuard plain(decodeRle(src));
    if (!plain.get())
        return nullptr;
    const DibView view = lockView(plain.get());
    return convert(view);
}

}  // namespace

GlobalHandle toRgb24(const DibView& src, const Progress& progress)
{
    if (!src.valid())
        return nullptr;
    if (src.isRle())
        return onExpandedRle(src, [&](const DibView& v) { return toRgb24(v, progress); });
    const int w = src.width();
    const int h = src.height();
    DibGuard out(allocDib(w, h, 24));
    if (!out.get())
        return nullptr;
    DibView dst = lockView(out.get());
    if (!dst.valid())
        return nullptr;
    const FieldScale fields[3] = {FieldScale(src.redMask()), FieldScale(src.greenMask()), FieldScale(src.blueMask())};
    for (int y = 0; y < h; ++y) {
        if (!keepGoing(progress, y, h))
            return nullptr;
        rowToRgb24(src, src.row(y), dst.mutableRow(y), fields);
    }
    return out.release();
}

GlobalHandle increaseDepth(const DibView& src, int bits)
{
    if (!src.valid() || src.bitCount() > 8)
        return nullptr;
    if (src.isRle())
        return onExpandedRle(src, [&](const DibView& v) { return increaseDepth(v, bits); });
    if (bits == 24)
        return toRgb24(src);
    if ((bits != 4 && bits != 8) || bits <= src.bitCount())
        return nullptr;
    return widenIndexed(src, bits);
}

GlobalHandle reduceToPalette(const DibView& src, int bits, const Palette& palette, Dither dither,
                             const Progress& progress)
{
    if (!src.valid() || src.bitCount() != 24 || src.isRle() || (bits != 1 && bits != 4 && bits != 8))
        return nullptr;
    if (palette.empty() || palette.size() > std::size_t(colorsForBits(bits)))
        return nullptr;
    const int w = src.width();
    const int h = src.height();
    DibGuard out(allocDib(w, h, bits, palette));
    if (!out.get())
        return nullptr;
    DibView dst = lockView(out.get());
    if (!dst.valid())
        return nullptr;

    NearestColor nearest(palette);
    const bool grey = dither == Dither::Grey || isGreyPalette(palette);
    const bool diffuse = dither == Dither::FloydSteinberg || dither == Dither::Burkes || dither == Dither::Grey;
    const DiffusionTap* taps = dither == Dither::Burkes ? kBurkes : kFloyd;
    const int tapCount = dither == Dither::Burkes ? 7 : 4;
    const int divisor = dither == Dither::Burkes ? 32 : 16;
    const int spread = bayerSpread(palette, grey);

    // error rows: current and next, 2 pixels of margin on each side
    const std::size_t errWidth = (std::size_t(w) + 4) * 3;
    std::vector<int> errors[2] = {std::vector<int>(diffuse ? errWidth : 0, 0),
                                  std::vector<int>(diffuse ? errWidth : 0, 0)};

    for (int y = 0; y < h; ++y) {
        if (!keepGoing(progress, y, h))
            return nullptr;
        const std::uint8_t* in = src.row(y);
        std::uint8_t* o = dst.mutableRow(y);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* px = in + 3 * std::size_t(x);
            int c[3] = {px[2], px[1], px[0]};
            if (grey) {
                const int l = luminance(c[0], c[1], c[2]);
                c[0] = c[1] = c[2] = l;
            }
            if (diffuse) {
                const int* e = &errors[0][(std::size_t(x) + 2) * 3];
                for (int k = 0; k < 3; ++k)
                    c[k] = clamp255(c[k] + e[k] / divisor);
            } else if (dither == Dither::Bayer) {
                const int offset = (kBayer8[y & 7][x & 7] * 2 - 63) * spread / 128;
                for (int k = 0; k < 3; ++k)
                    c[k] = clamp255(c[k] + offset);
            }
            const int idx = nearest.index(c[0], c[1], c[2]);
            setIndex(o, x, bits, static_cast<unsigned>(idx));
            if (diffuse) {
                const RgbQuad& q = nearest.entry(idx);
                const int err[3] = {c[0] - q.red, c[1] - q.green, c[2] - q.blue};
                for (int t = 0; t < tapCount; ++t) {
                    const int tx = x + taps[t].dx;
                    if (tx < 0 || tx >= w)
                        continue;
                    int* e = &errors[taps[t].dy][(std::size_t(tx) + 2) * 3];
                    for (int k = 0; k < 3; ++k)
                        e[k] += err[k] * taps[t].weight;
                }
            }
        }
        if (diffuse) {
            errors[0].swap(errors[1]);
            std::fill(errors[1].begin(), errors[1].end(), 0);
        }
    }
    return out.release();
}

namespace {

Palette choosePalette(const DibView& rgb24, int bits, Dither dither)
{
    const int maxColors = colorsForBits(bits);
    if (dither == Dither::Grey)
        return greyPalette(maxColors);
    Palette exact;
    if (exactPalette(rgb24, maxColors, exact))
        return exact;
    return bits == 1 ? monoPalette() : optimalPalette(rgb24, maxColors);
}

GlobalHandle toGrey24(const DibView& rgb24, const Progress& progress)
{
    DibGuard out(allocDib(rgb24.width(), rgb24.height(), 24));
    if (!out.get())
        return nullptr;
    DibView dst = lockView(out.get());
    for (int y = 0; y < rgb24.height(); ++y) {
        if (!keepGoing(progress, y, rgb24.height()))
            return nullptr;
        const std::uint8_t* in = rgb24.row(y);
        std::uint8_t* o = dst.mutableRow(y);
        for (int x = 0; x < rgb24.width(); ++x) {
            const std::uint8_t* px = in + 3 * std::size_t(x);
            const auto l = static_cast<std::uint8_t>(luminance(px[2], px[1], px[0]));
            o[3 * x] = o[3 * x + 1] = o[3 * x + 2] = l;
        }
    }
    return out.release();
}

}  // namespace

GlobalHandle convertDepth(const DibView& src, int bits, Dither dither, const Progress& progress)
{
    if (!src.valid() || (bits != 1 && bits != 4 && bits != 8 && bits != 24))
        return nullptr;
    const int srcBits = src.bitCount();
    if (dither != Dither::Grey && srcBits <= 8 && bits >= srcBits) {
        if (src.isRle())
            return onExpandedRle(src, [&](const DibView& v) { return convertDepth(v, bits, dither, progress); });
        return bits == 24 ? toRgb24(src, progress) : widenIndexed(src, bits);
    }
    DibGuard rgb(toRgb24(src, progress));
    if (!rgb.get())
        return nullptr;
    DibView rgbView = lockView(rgb.get());
    if (bits == 24)
        return dither == Dither::Grey ? toGrey24(rgbView, progress) : rgb.release();
    const Palette palette = choosePalette(rgbView, bits, dither);
    if (palette.empty())
        return nullptr;
    return reduceToPalette(rgbView, bits, palette, dither, progress);
}

}  // namespace dibcore
