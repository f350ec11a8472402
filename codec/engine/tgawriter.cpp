#include "tgawriter.h"

#include <cstring>

#include "dibcore/dibcore.h"

namespace tgawriter {

namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr std::size_t kMaxPacket = 128;
constexpr char kFooterSignature[] = "TRUEVISION-XFILE.";

void writeHeader(const dibcore::DibView& dib, bool rle, std::vector<std::uint8_t>& out)
{
    const bool mapped = dib.bitCount() <= 8;
    std::uint8_t h[kHeaderSize] = {};
    h[1] = mapped ? 1 : 0;
    h[2] = static_cast<std::uint8_t>((mapped ? 1 : 2) + (rle ? 8 : 0));
    if (mapped) {
        dibcore::putLe16(h + 5, static_cast<std::uint16_t>(dibcore::colorsForBits(dib.bitCount())));
        h[7] = 24;
    }
    dibcore::putLe16(h + 12, static_cast<std::uint16_t>(dib.width()));
    dibcore::putLe16(h + 14, static_cast<std::uint16_t>(dib.height()));
    h[16] = mapped ? 8 : 24;
    out.insert(out.end(), h, h + kHeaderSize);
    if (mapped) {
        const int n = dibcore::colorsForBits(dib.bitCount());
        for (int i = 0; i < n; ++i) {
            const dibcore::RgbQuad c = dib.color(i);
            out.insert(out.end(), {c.blue, c.green, c.red});
        }
    }
}

// Row y (from the top) as 8-bit indices or BGR triples.
void pixelsOf(const dibcore::DibView& dib, int y, std::vector<std::uint8_t>& line)
{
    const std::uint8_t* row = dib.row(y);
    if (dib.bitCount() == 24) {
        std::memcpy(line.data(), row, std::size_t(dib.width()) * 3);
        return;
    }
    for (int x = 0; x < dib.width(); ++x)
        line[std::size_t(x)] = static_cast<std::uint8_t>(dibcore::DibView::indexAt(row, x, dib.bitCount()));
}

// RLE packets of one row: runs of equal pixels and raw stretches.
void compress(const std::uint8_t* px, std::size_t count, std::size_t size, std::vector<std::uint8_t>& out)
{
    auto same = [&](std::size_t a, std::size_t b) { return std::memcmp(px + a * size, px + b * size, size) == 0; };
    for (std::size_t i = 0; i < count;) {
        std::size_t run = 1;
        while (i + run < count && run < kMaxPacket && same(i, i + run))
            ++run;
        if (run > 1) {
            out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
            out.insert(out.end(), px + i * size, px + (i + 1) * size);
            i += run;
            continue;
        }
        std::size_t raw = 1;
        while (i + raw < count && raw < kMaxPacket && !(i + raw + 1 < count && same(i + raw, i + raw + 1)))
            ++raw;
        out.push_back(static_cast<std::uint8_t>(raw - 1));
        out.insert(out.end(), px + i * size, px + (i + raw) * size);
        i += raw;
    }
}

void writeFooter(std::vector<std::uint8_t>& out)
{
    out.insert(out.end(), 8, 0);
    out.insert(out.end(), kFooterSignature, kFooterSignature + sizeof kFooterSignature);
}

}  // namespace

bool encode(const dibcore::DibView& dib, bool rle, DecodeRequest& request, std::vector<std::uint8_t>& out)
{
    if (!dib.valid() || dib.isRle() || dib.width() > 65535 || dib.height() > 65535)
        return false;
    out.clear();
    writeHeader(dib, rle, out);
    const std::size_t size = dib.bitCount() == 24 ? 3 : 1;
    std::vector<std::uint8_t> line(std::size_t(dib.width()) * size);
    for (int y = dib.height() - 1; y >= 0; --y) {
        pixelsOf(dib, y, line);
        if (rle)
            compress(line.data(), std::size_t(dib.width()), size, out);
        else
            out.insert(out.end(), line.begin(), line.end());
        if (!request.progress(static_cast<int>((dib.height() - y) * 80LL / dib.height())))
            return false;
    }
    writeFooter(out);
    return true;
}

}  // namespace tgawriter
