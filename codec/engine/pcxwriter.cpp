#include "pcxwriter.h"

#include <algorithm>

#include "dibcore/dibcore.h"

namespace pcxwriter {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr int kMaxRun = 63;

struct Layout {
    int bitsPerPlane = 8;
    int planes = 1;
    int bytesPerLine = 0;  // per plane, even
};

Layout layoutFor(const dibcore::DibView& dib)
{
    Layout l;
    switch (dib.bitCount()) {
    case 1:
        l.bitsPerPlane = 1;
        break;
    case 4:
        l.bitsPerPlane = 1;
        l.planes = 4;
        break;
    case 24:
        l.planes = 3;
        break;
    default:
        break;
    }
    const std::int64_t bytes = (std::int64_t(dib.width()) * l.bitsPerPlane + 7) / 8;
    l.bytesPerLine = static_cast<int>((bytes + 1) / 2 * 2);
    return l;
}

int dotsPerInch(std::int32_t pelsPerMeter)
{
    return std::clamp(static_cast<int>((std::int64_t(pelsPerMeter) * 254 + 5000) / 10000), 1, 65535);
}

void writeHeader(const dibcore::DibView& dib, const Layout& l, std::uint8_t* h)
{
    h[0] = 0x0A;
    h[1] = 5;
    h[2] = 1;
    h[3] = static_cast<std::uint8_t>(l.bitsPerPlane);
    dibcore::putLe16(h + 8, static_cast<std::uint16_t>(dib.width() - 1));
    dibcore::putLe16(h + 10, static_cast<std::uint16_t>(dib.height() - 1));
    dibcore::putLe16(h + 12, static_cast<std::uint16_t>(dotsPerInch(dib.header().xPelsPerMeter)));
    dibcore::putLe16(h + 14, static_cast<std::uint16_t>(dotsPerInch(dib.header().yPelsPerMeter)));
    const int headerColours = dib.bitCount() <= 4 ? dibcore::colorsForBits(dib.bitCount()) : 0;
    for (int i = 0; i < headerColours; ++i) {
        const dibcore::RgbQuad c = dib.color(i);
        h[16 + 3 * i] = c.red;
        h[17 + 3 * i] = c.green;
        h[18 + 3 * i] = c.blue;
    }
    h[65] = static_cast<std::uint8_t>(l.planes);
    dibcore::putLe16(h + 66, static_cast<std::uint16_t>(l.bytesPerLine));
    dibcore::putLe16(h + 68, 1);
}

// The planes of one row, each bytesPerLine long, one after the other.
void splitRow(const dibcore::DibView& dib, const Layout& l, const std::uint8_t* row, std::uint8_t* line)
{
    const std::size_t bpl = std::size_t(l.bytesPerLine);
    std::fill(line, line + bpl * std::size_t(l.planes), 0);
    const int w = dib.width();
    switch (dib.bitCount()) {
    case 1:
    case 8:
        std::copy(row, row + (std::size_t(w) * std::size_t(dib.bitCount()) + 7) / 8, line);
        break;
    case 4:
        for (int x = 0; x < w; ++x) {
            const unsigned index = dibcore::DibView::indexAt(row, x, 4);
            for (int p = 0; p < 4; ++p)
                if (index & (1u << p))
                    line[bpl * std::size_t(p) + std::size_t(x >> 3)] |= static_cast<std::uint8_t>(0x80u >> (x & 7));
        }
        break;
    default:
        for (int x = 0; x < w; ++x) {
            line[std::size_t(x)] = row[3 * x + 2];
            line[bpl + std::size_t(x)] = row[3 * x + 1];
            line[2 * bpl + std::size_t(x)] = row[3 * x];
        }
        break;
    }
}

// Run-length codes of one plane line; runs never cross into the next plane.
void compress(const std::uint8_t* in, std::size_t n, std::vector<std::uint8_t>& out)
{
    for (std::size_t i = 0; i < n;) {
        const std::uint8_t v = in[i];
        std::size_t run = 1;
        while (i + run < n && run < kMaxRun && in[i + run] == v)
            ++run;
        if (run > 1 || (v & 0xC0) == 0xC0)
            out.push_back(static_cast<std::uint8_t>(0xC0 | run));
        out.push_back(v);
        i += run;
    }
}

}  // namespace

bool encode(const dibcore::DibView& dib, DecodeRequest& request, std::vector<std::uint8_t>& out)
{
    if (!dib.valid() || dib.isRle() || dib.width() > 65536 || dib.height() > 65536)
        return false;
    const Layout l = layoutFor(dib);
    out.assign(kHeaderSize, 0);
    writeHeader(dib, l, out.data());
    const std::size_t bpl = std::size_t(l.bytesPerLine);
    std::vector<std::uint8_t> line(bpl * std::size_t(l.planes));
    for (int y = 0; y < dib.height(); ++y) {
        splitRow(dib, l, dib.row(y), line.data());
        for (int p = 0; p < l.planes; ++p)
            compress(line.data() + bpl * std::size_t(p), bpl, out);
        if (!request.progress(static_cast<int>((y + 1) * 80LL / dib.height())))
            return false;
    }
    if (dib.bitCount() == 8) {
        out.push_back(0x0C);
        for (int i = 0; i < 256; ++i) {
            const dibcore::RgbQuad c = dib.color(i);
            out.insert(out.end(), {c.red, c.green, c.blue});
        }
    }
    return true;
}

}  // namespace pcxwriter
