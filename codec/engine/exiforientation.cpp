#include "exiforientation.h"

#include <cstring>

#include "dibcore/dibcore.h"

namespace exiforientation {

namespace {

// TIFF 6.0 byte order within the EXIF block
struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    bool little;

    bool has(std::size_t offset, std::size_t n) const { return offset <= size && n <= size - offset; }
    unsigned u16(std::size_t offset) const
    {
        const std::uint8_t* p = data + offset;
        return little ? unsigned(p[0] | (p[1] << 8)) : unsigned((p[0] << 8) | p[1]);
    }
    std::uint32_t u32(std::size_t offset) const
    {
        const std::uint8_t* p = data + offset;
        return little ? dibcore::le32(p)
                      : (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
    }
};

constexpr unsigned kOrientationTag = 0x0112;
constexpr unsigned kShort = 3;

// Where output pixel (x, y) of the upright picture comes from in a source
// of w x h pixels.
void sourceOf(int orientation, int x, int y, int w, int h, int& sx, int& sy)
{
    switch (orientation) {
    case 2: sx = w - 1 - x; sy = y; break;
    case 3: sx = w - 1 - x; sy = h - 1 - y; break;
    case 4: sx = x; sy = h - 1 - y; break;
    case 5: sx = y; sy = x; break;
    case 6: sx = y; sy = h - 1 - x; break;
    case 7: sx = w - 1 - y; sy = h - 1 - x; break;
    case 8: sx = w - 1 - y; sy = x; break;
    default: sx = x; sy = y; break;
    }
}

}  // namespace

int read(const std::uint8_t* block, std::size_t size)
{
    static const char kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (!block || size < 14 || std::memcmp(block, kExif, 6) != 0)
        return 1;
    const std::uint8_t* tiff = block + 6;
    const std::size_t tiffSize = size - 6;
    Reader r{tiff, tiffSize, tiff[0] == 'I'};
    if (!((tiff[0] == 'I' && tiff[1] == 'I') || (tiff[0] == 'M' && tiff[1] == 'M')) || r.u16(2) != 42)
        return 1;
    const std::uint32_t ifd = r.u32(4);
    if (!r.has(ifd, 2))
        return 1;
    const unsigned count = r.u16(ifd);
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = ifd + 2 + std::size_t(i) * 12;
        if (!r.has(entry, 12))
            return 1;
        if (r.u16(entry) != kOrientationTag)
            continue;
        if (r.u16(entry + 2) != kShort || r.u32(entry + 4) != 1)
            return 1;
        const unsigned value = r.u16(entry + 8);
        return value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}

bool swapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

GlobalHandle upright(GlobalHandle natural, int orientation)
{
    dibcore::DibGuard source(natural);
    if (!natural)
        return nullptr;
    if (orientation < 2 || orientation > 8)
        return source.release();
    const dibcore::DibView in = dibcore::lockView(natural);
    const int bits = in.valid() ? in.bitCount() : 0;
    if (in.isRle() || (bits != 8 && bits != 24 && bits != 32)) {
        globalmem::unlock(natural);
        return nullptr;
    }
    const int w = in.width(), h = in.height();
    const bool swap = swapsSides(orientation);
    dibcore::Palette palette(in.colorTable(), in.colorTable() + in.colorCount());
    GlobalHandle out = dibcore::allocDib(swap ? h : w, swap ? w : h, bits, palette);
    if (!out) {
        globalmem::unlock(natural);
        return nullptr;
    }
    const dibcore::DibView view = dibcore::lockView(out);
    const int bytes = bits / 8;
    for (int y = 0; y < view.height(); ++y) {
        std::uint8_t* row = view.mutableRow(y);
        for (int x = 0; x < view.width(); ++x) {
            int sx = 0, sy = 0;
            sourceOf(orientation, x, y, w, h, sx, sy);
            std::memcpy(row + std::size_t(x) * bytes, in.row(sy) + std::size_t(sx) * bytes, std::size_t(bytes));
        }
    }
    globalmem::unlock(out);
    globalmem::unlock(natural);
    return out;
}

}  // namespace exiforientation
