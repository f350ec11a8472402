#include "photocdcodec.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "decodefailure.h"
#include "dibcore/dibcore.h"

namespace photocdcodec {

namespace {

constexpr std::size_t kSector = 2048;
constexpr std::size_t kSignatureOffset = 0x800;
constexpr std::size_t kRotationOffset = 0xE02;
constexpr char kSignature[] = "PCD_IPI";

struct Level {
    int width;
    int height;
    std::size_t offset;
};

constexpr Level kLevels[] = {
    {192, 128, 4 * kSector},
    {384, 256, 23 * kSector},
    {768, 512, 96 * kSector},
};

int rotationOf(ByteSpan b)
{
    return b.data[kRotationOffset] & 3;
}

// Fixed-point (16 fraction bits) terms of the Photo YCC decoding.
struct YccTables {
    std::array<int, 256> luma;
    std::array<int, 256> redFromC2;
    std::array<int, 256> greenFromC1;
    std::array<int, 256> greenFromC2;
    std::array<int, 256> blueFromC1;

    YccTables()
    {
        constexpr double one = 65536.0;
        constexpr double lumaScale = 1.3584;
        for (int i = 0; i < 256; ++i) {
            const double c1 = 2.2179 * (i - 156) / lumaScale;
            const double c2 = 1.8215 * (i - 137) / lumaScale;
            luma[std::size_t(i)] = int(i * one);
            redFromC2[std::size_t(i)] = int(c2 * one);
            greenFromC1[std::size_t(i)] = int(-0.194 * c1 * one);
            greenFromC2[std::size_t(i)] = int(-0.509 * c2 * one);
            blueFromC1[std::size_t(i)] = int(c1 * one);
        }
    }
};

std::uint8_t clampByte(int fixed)
{
    const int v = (fixed + 32768) >> 16;
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

// The chroma row for luma row y, interpolated to full width.
void chromaRow(const std::uint8_t* plane0, const std::uint8_t* plane1, int halfWidth, std::uint8_t* out)
{
    for (int cx = 0; cx < halfWidth; ++cx) {
        const int next = std::min(cx + 1, halfWidth - 1);
        const int here = (plane0[cx] + plane1[cx] + 1) >> 1;
        const int there = (plane0[next] + plane1[next] + 1) >> 1;
        out[2 * cx] = static_cast<std::uint8_t>(here);
        out[2 * cx + 1] = static_cast<std::uint8_t>((here + there + 1) >> 1);
    }
}

// Decodes the level into top-down RGB triplets.
bool decodeLevel(ByteSpan b, const Level& level, std::vector<std::uint8_t>& rgb, DecodeRequest& request)
{
    static const YccTables tables;
    const int w = level.width, h = level.height, half = w / 2;
    const std::size_t pairBytes = std::size_t(w) * 3;  // two luma rows and two half chroma rows
    const std::uint8_t* base = b.data + level.offset;
    auto c1Of = [&](int cy) { return base + std::size_t(cy) * pairBytes + 2 * std::size_t(w); };
    auto c2Of = [&](int cy) { return c1Of(cy) + half; };
    const std::size_t width = static_cast<std::size_t>(w);
    std::vector<std::uint8_t> c1(width), c2(width);
    rgb.assign(std::size_t(w) * std::size_t(h) * 3, 0);
    for (int y = 0; y < h; ++y) {
        const int cy = y / 2;
        const int cyNext = (y & 1) ? std::min(cy + 1, h / 2 - 1) : cy;
        chromaRow(c1Of(cy), c1Of(cyNext), half, c1.data());
        chromaRow(c2Of(cy), c2Of(cyNext), half, c2.data());
        const std::uint8_t* luma = base + std::size_t(cy) * pairBytes + std::size_t(y & 1) * std::size_t(w);
        std::uint8_t* out = rgb.data() + std::size_t(y) * std::size_t(w) * 3;
        for (int x = 0; x < w; ++x) {
            const int l = tables.luma[luma[x]];
            out[3 * x] = clampByte(l + tables.redFromC2[c2[std::size_t(x)]]);
            out[3 * x + 1] =
                clampByte(l + tables.greenFromC1[c1[std::size_t(x)]] + tables.greenFromC2[c2[std::size_t(x)]]);
            out[3 * x + 2] = clampByte(l + tables.blueFromC1[c1[std::size_t(x)]]);
        }
        if ((y & 31) == 0 && !request.progress(y * 80 / h))
            return false;
    }
    return true;
}

// Where source pixel (x, y) of a w x h picture lands after the rotation.
void rotatedPosition(int rotation, int w, int h, int x, int y, int& ox, int& oy)
{
    switch (rotation) {
    case 1:  // a quarter turn counter-clockwise
        ox = y, oy = w - 1 - x;
        break;
    case 2:
        ox = w - 1 - x, oy = h - 1 - y;
        break;
    case 3:  // a quarter turn clockwise
        ox = h - 1 - y, oy = x;
        break;
    default:
        ox = x, oy = y;
        break;
    }
}

GlobalHandle toDib(const std::vector<std::uint8_t>& rgb, int w, int h, int rotation)
{
    const bool turned = rotation == 1 || rotation == 3;
    const int outW = turned ? h : w, outH = turned ? w : h;
    dibcore::DibGuard out(dibcore::allocDib(outW, outH, 24));
    if (!out.get())
        return nullptr;
    dibcore::DibView dib = dibcore::lockView(out.get());
    if (!dib.valid())
        return nullptr;
    std::vector<std::uint8_t*> rows(static_cast<std::size_t>(outH));
    for (int y = 0; y < outH; ++y)
        rows[std::size_t(y)] = dib.mutableRow(y);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = rgb.data() + std::size_t(y) * std::size_t(w) * 3;
        for (int x = 0; x < w; ++x) {
            int ox = 0, oy = 0;
            rotatedPosition(rotation, w, h, x, y, ox, oy);
            std::uint8_t* px = rows[std::size_t(oy)] + 3 * std::size_t(ox);
            px[0] = src[3 * x + 2];
            px[1] = src[3 * x + 1];
            px[2] = src[3 * x];
        }
    }
    return out.release();
}

}  // namespace

bool recognised(ByteSpan bytes)
{
    return bytes.data && bytes.has(kSignatureOffset, sizeof kSignature - 1) &&
           std::memcmp(bytes.data + kSignatureOffset, kSignature, sizeof kSignature - 1) == 0;
}

GlobalHandle decode(ByteSpan bytes, int resolution, DecodeRequest& request)
{
    if (resolution < Base16 || resolution > Base || !recognised(bytes) || !bytes.has(kRotationOffset, 1))
        return nullptr;
    const Level& level = kLevels[resolution];
    if (!bytes.has(level.offset, std::size_t(level.width) * std::size_t(level.height) * 3 / 2) ||
        !decodefailure::admits(level.width, level.height, 24, bytes))
        return nullptr;
    std::vector<std::uint8_t> rgb;
    if (!decodeLevel(bytes, level, rgb, request))
        return nullptr;
    return toDib(rgb, level.width, level.height, rotationOf(bytes));
}

bool info(ByteSpan bytes, PictureInfo& out)
{
    if (!recognised(bytes) || !bytes.has(kRotationOffset, 1))
        return false;
    const int rotation = rotationOf(bytes);
    const bool turned = rotation == 1 || rotation == 3;
    const Level& base = kLevels[Base];
    out.type = "PCD";
    out.compression = "None";
    out.width = turned ? base.height : base.width;
    out.height = turned ? base.width : base.height;
    out.bits = 24;
    out.planes = 1;
    out.colours = 0;
    out.pages = 1;
    return true;
}

}  // namespace photocdcodec
