#include "tgacodec.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "alpha.h"
#include "decodefailure.h"
#include "dibcore/dibcore.h"

namespace tgacodec {

namespace {

using dibcore::le16;

constexpr std::size_t kHeaderSize = 18;

struct TgaHeader {
    int idLength = 0;
    int mapType = 0;
    int imageType = 0;
    int mapFirst = 0;
    int mapLength = 0;
    int mapEntryBits = 0;
    int width = 0;
    int height = 0;
    int depth = 0;
    int descriptor = 0;

    bool rle() const { return imageType >= 9; }
    bool mapped() const { return imageType == 1 || imageType == 9; }
    bool grey() const { return imageType == 3 || imageType == 11; }
    int alphaBits() const { return descriptor & 0x0F; }
    bool topOrigin() const { return (descriptor & 0x20) != 0; }
    bool rightToLeft() const { return (descriptor & 0x10) != 0; }
    int pixelBytes() const { return (depth + 7) / 8; }
};

bool validEntryBits(int bits)
{
    return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

bool readHeader(ByteSpan b, TgaHeader& h)
{
    if (b.size < kHeaderSize)
        return false;
    const std::uint8_t* p = b.data;
    h.idLength = p[0];
    h.mapType = p[1];
    h.imageType = p[2];
    h.mapFirst = le16(p + 3);
    h.mapLength = le16(p + 5);
    h.mapEntryBits = p[7];
    h.width = le16(p + 12);
    h.height = le16(p + 14);
    h.depth = p[16];
    h.descriptor = p[17];
    if (h.mapType > 1 || h.width == 0 || h.height == 0 || (h.descriptor & 0xC0) != 0)
        return false;
    if (h.mapType == 1 && (!validEntryBits(h.mapEntryBits) || h.mapLength == 0))
        return false;
    switch (h.imageType) {
    case 1:
    case 9:
        return h.mapType == 1 && (h.depth == 8 || h.depth == 16);
    case 2:
    case 10:
        return h.depth == 15 || h.depth == 16 || h.depth == 24 || h.depth == 32;
    case 3:
    case 11:
        return h.depth == 8 || h.depth == 16;
    default:
        return false;
    }
}

// A pixel of 2, 3 or 4 bytes (or a colour-map entry) as blue, green, red,
// alpha; 15/16-bit values are 5-5-5 with an attribute bit as alpha.
struct Bgra {
    std::uint8_t b = 0, g = 0, r = 0, a = 255;
};

Bgra unpack(const std::uint8_t* p, int bits)
{
    Bgra c;
    if (bits == 15 || bits == 16) {
        const unsigned v = le16(p);
        c.b = static_cast<std::uint8_t>(((v & 31u) * 255 + 15) / 31);
        c.g = static_cast<std::uint8_t>((((v >> 5) & 31u) * 255 + 15) / 31);
        c.r = static_cast<std::uint8_t>((((v >> 10) & 31u) * 255 + 15) / 31);
        if (bits == 16)
            c.a = (v & 0x8000u) ? 255 : 0;
    } else {
        c.b = p[0];
        c.g = p[1];
        c.r = p[2];
        if (bits == 32)
            c.a = p[3];
    }
    return c;
}

// Reads pixels in file order, raw or RLE; RLE packets may cross rows.
class PixelStream
{
public:
    PixelStream(ByteSpan b, std::size_t offset, int pixelBytes, bool rle)
        : m_b(b), m_pos(offset), m_size(std::size_t(pixelBytes)), m_rle(rle)
    {
    }

    // Pointer to the next pixel's bytes; null when the data ends.
    const std::uint8_t* next()
    {
        if (!m_rle)
            return take();
        if (m_left == 0) {
            if (m_pos >= m_b.size)
                return nullptr;
            const std::uint8_t packet = m_b.data[m_pos++];
            m_left = (packet & 0x7Fu) + 1;
            m_repeat = (packet & 0x80u) != 0;
            if (m_repeat && !(m_current = take()))
                return nullptr;
        }
        --m_left;
        return m_repeat ? m_current : take();
    }

private:
    const std::uint8_t* take()
    {
        if (!m_b.has(m_pos, m_size))
            return nullptr;
        const std::uint8_t* p = m_b.data + m_pos;
        m_pos += m_size;
        return p;
    }

    ByteSpan m_b;
    std::size_t m_pos;
    std::size_t m_size;
    bool m_rle;
    unsigned m_left = 0;
    bool m_repeat = false;
    const std::uint8_t* m_current = nullptr;
};

struct ColourMap {
    std::vector<Bgra> entries;
    int first = 0;
};

bool readColourMap(ByteSpan b, const TgaHeader& h, ColourMap& map, std::size_t& offset)
{
    offset = kHeaderSize + std::size_t(h.idLength);
    if (h.mapType != 1)
        return offset <= b.size;
    const std::size_t entryBytes = std::size_t((h.mapEntryBits + 7) / 8);
    if (!b.has(offset, entryBytes * std::size_t(h.mapLength)))
        return false;
    map.first = h.mapFirst;
    for (int i = 0; i < h.mapLength; ++i)
        map.entries.push_back(unpack(b.data + offset + entryBytes * std::size_t(i), h.mapEntryBits));
    // a map whose alpha is zero throughout carries no transparency
    const bool noAlpha = std::all_of(map.entries.begin(), map.entries.end(), [](const Bgra& c) { return c.a == 0; });
    if (noAlpha)
        for (Bgra& c : map.entries)
            c.a = 255;
    offset += entryBytes * std::size_t(h.mapLength);
    return true;
}

int naturalBits(const TgaHeader& h)
{
    if (h.mapped() && h.depth == 8 && h.mapFirst + h.mapLength <= 256)
        return 8;
    if (h.grey())
        return 8;
    return 24;
}

dibcore::Palette mapPalette(const ColourMap& map)
{
    dibcore::Palette pal(256);
    for (std::size_t i = 0; i < map.entries.size(); ++i) {
        const Bgra& c = map.entries[i];
        pal[std::size_t(map.first) + i] =
            dibcore::rgb(alpha::overWhite(c.r, c.a), alpha::overWhite(c.g, c.a), alpha::overWhite(c.b, c.a));
    }
    return pal;
}

// Stores one pixel's colour (alpha is laid over white later) and returns
// its alpha.
std::uint8_t storePixel(const TgaHeader& h, const ColourMap& map, const std::uint8_t* px, std::uint8_t* row,
                        int x, int bits)
{
    if (bits == 8) {
        row[x] = px[0];
        return h.grey() && h.depth == 16 ? px[1] : 255;
    }
    Bgra c;
    if (h.mapped()) {
        const int index = (h.depth == 16 ? le16(px) : px[0]) - map.first;
        if (index >= 0 && index < static_cast<int>(map.entries.size()))
            c = map.entries[std::size_t(index)];
    } else {
        c = unpack(px, h.depth);
    }
    row[3 * x] = c.b;
    row[3 * x + 1] = c.g;
    row[3 * x + 2] = c.r;
    return c.a;
}

// 32-bit pixels carry alpha even when the header declares no attribute bits
// (common writers leave them at 0); 16-bit ones only when declared. Alpha
// that is zero throughout is no alpha.
bool alphaDeclared(const TgaHeader& h)
{
    if (h.mapped())
        return true;
    if (h.grey())
        return h.depth == 16;
    return h.depth == 32 || (h.depth == 16 && h.alphaBits() > 0);
}

void layOverWhite(const dibcore::DibView& dib, const std::vector<std::uint8_t>& alphas, int bits)
{
    const int w = dib.width();
    for (int y = 0; y < dib.height(); ++y) {
        std::uint8_t* row = dib.mutableRow(y);
        const std::uint8_t* a = alphas.data() + std::size_t(y) * std::size_t(w);
        const int samples = bits == 8 ? w : 3 * w;
        for (int i = 0; i < samples; ++i)
            row[i] = alpha::overWhite(row[i], a[bits == 8 ? i : i / 3]);
    }
}

}  // namespace

bool plausible(ByteSpan bytes)
{
    TgaHeader h;
    return readHeader(bytes, h);
}

GlobalHandle decode(ByteSpan bytes, DecodeRequest& request)
{
    TgaHeader h;
    ColourMap map;
    std::size_t offset = 0;
    if (!readHeader(bytes, h) || !readColourMap(bytes, h, map, offset))
        return nullptr;
    const int bits = naturalBits(h);
    if (!decodefailure::admits(h.width, h.height, bits, bytes))
        return nullptr;
    const dibcore::Palette palette = bits != 8 ? dibcore::Palette()
                                     : h.grey() ? dibcore::greyPalette(256)
                                                : mapPalette(map);
    dibcore::DibGuard out(dibcore::allocDib(h.width, h.height, bits, palette));
    if (!out.get())
        return nullptr;
    dibcore::DibView dib = dibcore::lockView(out.get());
    // colour-mapped 8-bit pictures have their alpha in the palette already
    const bool trackAlpha = alphaDeclared(h) && !(h.mapped() && bits == 8);
    std::vector<std::uint8_t> alphas(trackAlpha ? std::size_t(h.width) * std::size_t(h.height) : 0);
    bool anyAlpha = false, anyVisible = false;
    PixelStream stream(bytes, offset, h.pixelBytes(), h.rle());
    for (int i = 0; i < h.height; ++i) {
        const int y = h.topOrigin() ? i : h.height - 1 - i;
        std::uint8_t* row = dib.mutableRow(y);
        for (int j = 0; j < h.width; ++j) {
            const std::uint8_t* px = stream.next();
            if (!px)
                return nullptr;
            const int x = h.rightToLeft() ? h.width - 1 - j : j;
            const std::uint8_t a = storePixel(h, map, px, row, x, bits);
            if (trackAlpha) {
                alphas[std::size_t(y) * std::size_t(h.width) + std::size_t(x)] = a;
                anyAlpha = anyAlpha || a != 255;
                anyVisible = anyVisible || a != 0;
            }
        }
        if ((i & 63) == 0 && !request.progress(i * 90 / h.height))
            return nullptr;
    }
    if (anyAlpha && anyVisible)
        layOverWhite(dib, alphas, bits);
    return out.release();
}

bool info(ByteSpan bytes, PictureInfo& out)
{
    TgaHeader h;
    if (!readHeader(bytes, h))
        return false;
    out.type = "TGA";
    out.compression = h.rle() ? "RLE" : "None";
    out.width = h.width;
    out.height = h.height;
    out.bits = h.depth;
    out.planes = 1;
    out.colours = h.mapped() ? h.mapLength : 0;
    out.pages = 1;
    return true;
}

}  // namespace tgacodec
