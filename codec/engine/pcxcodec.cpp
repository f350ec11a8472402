#include "pcxcodec.h"

#include <cstring>
#include <vector>

#include "alpha.h"
#include "decodefailure.h"
#include "dibcore/dibcore.h"

namespace pcxcodec {

namespace {

using dibcore::le16;
using dibcore::le32;

constexpr std::size_t kHeaderSize = 128;
constexpr std::uint32_t kDcxMagic = 987654321;
constexpr int kMaxDcxPages = 1023;

struct PcxHeader {
    int version = 0;
    bool rle = true;
    int bitsPerPixel = 0;
    int planes = 0;
    int width = 0;
    int height = 0;
    int bytesPerLine = 0;
};

bool readHeader(ByteSpan b, PcxHeader& h)
{
    if (b.size < kHeaderSize || b.data[0] != 0x0A || b.data[2] > 1)
        return false;
    const std::uint8_t* p = b.data;
    h.version = p[1];
    h.rle = p[2] == 1;
    h.bitsPerPixel = p[3];
    const int xmin = le16(p + 4), ymin = le16(p + 6), xmax = le16(p + 8), ymax = le16(p + 10);
    h.planes = p[65];
    h.bytesPerLine = le16(p + 66);
    if (xmax < xmin || ymax < ymin)
        return false;
    h.width = xmax - xmin + 1;
    h.height = ymax - ymin + 1;
    const bool supported = (h.bitsPerPixel == 1 && h.planes >= 1 && h.planes <= 4) ||
                           ((h.bitsPerPixel == 2 || h.bitsPerPixel == 4) && h.planes == 1) ||
                           (h.bitsPerPixel == 8 && (h.planes == 1 || h.planes == 3 || h.planes == 4));
    if (!supported)
        return false;
    return std::int64_t(h.bytesPerLine) * 8 >= std::int64_t(h.width) * h.bitsPerPixel;
}

int naturalBits(const PcxHeader& h)
{
    const int total = h.bitsPerPixel * h.planes;
    if (h.bitsPerPixel == 8 && h.planes > 1)
        return 24;
    return total == 1 ? 1 : (total <= 4 ? 4 : 8);
}

dibcore::Palette headerPalette(ByteSpan b, int count)
{
    dibcore::Palette pal;
    for (int i = 0; i < count && i < 16; ++i) {
        const std::uint8_t* e = b.data + 16 + 3 * i;
        pal.push_back(dibcore::rgb(e[0], e[1], e[2]));
    }
    return pal;
}

int intensity(const dibcore::RgbQuad& q)
{
    return q.red * 299 + q.green * 587 + q.blue * 114;
}

dibcore::Palette paletteFor(ByteSpan b, const PcxHeader& h)
{
    if (h.bitsPerPixel == 8 && h.planes == 1) {
        if (b.size >= kHeaderSize + 769 && b.data[b.size - 769] == 0x0C) {
            dibcore::Palette pal;
            const std::uint8_t* e = b.data + b.size - 768;
            for (int i = 0; i < 256; ++i)
                pal.push_back(dibcore::rgb(e[3 * i], e[3 * i + 1], e[3 * i + 2]));
            return pal;
        }
        return dibcore::greyPalette(256);
    }
    const int colours = 1 << (h.bitsPerPixel * h.planes);
    dibcore::Palette pal = headerPalette(b, colours);
    // a monochrome header palette of two equal entries means black on white
    if (colours == 2 && intensity(pal[0]) == intensity(pal[1]))
        return dibcore::monoPalette();
    return pal;
}

// Continuous RLE stream over all scan lines.
class PcxReader
{
public:
    PcxReader(ByteSpan b, bool rle) : m_b(b), m_pos(kHeaderSize), m_rle(rle) {}

    bool readLine(std::uint8_t* out, std::size_t n)
    {
        std::size_t i = 0;
        while (i < n) {
            if (m_count > 0) {
                const std::size_t take = std::min<std::size_t>(m_count, n - i);
                std::memset(out + i, m_value, take);
                i += take;
                m_count -= take;
                continue;
            }
            if (m_pos >= m_b.size)
                return false;
            const std::uint8_t c = m_b.data[m_pos++];
            if (m_rle && (c & 0xC0) == 0xC0) {
                if (m_pos >= m_b.size)
                    return false;
                m_count = c & 0x3Fu;
                m_value = m_b.data[m_pos++];
            } else {
                out[i++] = c;
            }
        }
        return true;
    }

private:
    ByteSpan m_b;
    std::size_t m_pos;
    bool m_rle;
    std::size_t m_count = 0;
    std::uint8_t m_value = 0;
};

void storeLine(const PcxHeader& h, const std::uint8_t* line, std::uint8_t* out, int bits)
{
    const std::size_t bpl = std::size_t(h.bytesPerLine);
    if (bits == 24) {
        for (int x = 0; x < h.width; ++x) {
            const int r = line[x], g = line[bpl + x], b = line[2 * bpl + x];
            const int a = h.planes == 4 ? line[3 * bpl + x] : 255;
            out[3 * x] = alpha::overWhite(b, a);
            out[3 * x + 1] = alpha::overWhite(g, a);
            out[3 * x + 2] = alpha::overWhite(r, a);
        }
        return;
    }
    for (int x = 0; x < h.width; ++x) {
        unsigned index = 0;
        if (h.bitsPerPixel == 1) {
            for (int p = 0; p < h.planes; ++p)
                index |= ((line[bpl * std::size_t(p) + std::size_t(x >> 3)] >> (7 - (x & 7))) & 1u) << p;
        } else if (h.bitsPerPixel == 2) {
            index = (line[x >> 2] >> (6 - 2 * (x & 3))) & 3u;
        } else {
            index = dibcore::DibView::indexAt(line, x, h.bitsPerPixel);
        }
        dibcore::setIndex(out, x, bits, index);
    }
}

bool dcxPageSpan(ByteSpan b, int page, ByteSpan& out, int& pages)
{
    if (b.size < 8 || le32(b.data) != kDcxMagic)
        return false;
    std::vector<std::uint32_t> offsets;
    for (int i = 0; i < kMaxDcxPages && b.has(4 + 4 * std::size_t(i), 4); ++i) {
        const std::uint32_t off = le32(b.data + 4 + 4 * i);
        if (off == 0)
            break;
        offsets.push_back(off);
    }
    pages = static_cast<int>(offsets.size());
    if (page < 0 || page >= pages || offsets[std::size_t(page)] >= b.size)
        return false;
    const std::size_t start = offsets[std::size_t(page)];
    std::size_t end = b.size;
    if (std::size_t(page) + 1 < offsets.size() && offsets[std::size_t(page) + 1] > start &&
        offsets[std::size_t(page) + 1] <= b.size)
        end = offsets[std::size_t(page) + 1];
    out = ByteSpan{b.data + start, end - start};
    return true;
}

}  // namespace

GlobalHandle decode(ByteSpan bytes, DecodeRequest& request)
{
    PcxHeader h;
    if (!readHeader(bytes, h))
        return nullptr;
    const int bits = naturalBits(h);
    if (!decodefailure::admits(h.width, h.height, bits, bytes))
        return nullptr;
    const std::size_t lineBytes = std::size_t(h.bytesPerLine) * std::size_t(h.planes);
    dibcore::DibGuard out(dibcore::allocDib(h.width, h.height, bits,
                                            bits == 24 ? dibcore::Palette() : paletteFor(bytes, h)));
    if (!out.get())
        return nullptr;
    dibcore::DibView dib = dibcore::lockView(out.get());
    std::vector<std::uint8_t> line(lineBytes);
    PcxReader reader(bytes, h.rle);
    for (int y = 0; y < h.height; ++y) {
        if (!reader.readLine(line.data(), lineBytes))
            return nullptr;
        storeLine(h, line.data(), dib.mutableRow(y), bits);
        if ((y & 63) == 0 && !request.progress(y * 90 / h.height))
            return nullptr;
    }
    return out.release();
}

bool info(ByteSpan bytes, PictureInfo& out)
{
    PcxHeader h;
    if (!readHeader(bytes, h))
        return false;
    out.type = "PCX";
    out.compression = h.rle ? "RLE" : "None";
    out.width = h.width;
    out.height = h.height;
    out.bits = h.bitsPerPixel * h.planes;
    out.planes = 1;
    out.colours = out.bits <= 8 ? (1 << out.bits) : 0;
    out.pages = 1;
    return true;
}

GlobalHandle decodeDcx(ByteSpan bytes, int page, DecodeRequest& request)
{
    ByteSpan span;
    int pages = 0;
    if (!dcxPageSpan(bytes, page, span, pages))
        return nullptr;
    return decode(span, request);
}

bool dcxInfo(ByteSpan bytes, int page, PictureInfo& out)
{
    ByteSpan span;
    int pages = 0;
    if (!dcxPageSpan(bytes, page, span, pages) || !info(span, out))
        return false;
    out.type = "DCX";
    out.pages = pages;
    return true;
}

}  // namespace pcxcodec
