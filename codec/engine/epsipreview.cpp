#include "epsipreview.h"

#include <charconv>
#include <string_view>
#include <vector>

#include "dibcore/dibcore.h"
#include "epslines.h"

namespace epsipreview {

namespace {

constexpr std::string_view kBegin = "%%BeginPreview:";
constexpr std::string_view kEnd = "%%EndPreview";

struct Header {
    int width = 0;
    int height = 0;
    int depth = 0;
    std::size_t dataStart = 0;  // first line after the header line
};

bool readInt(std::string_view& text, int& value)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    const auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value);
    if (ec != std::errc())
        return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return true;
}

bool findHeader(ByteSpan ps, Header& h)
{
    EpsLines lines(ps);
    std::string_view line;
    while (lines.next(line)) {
        if (!EpsLines::startsWith(line, kBegin))
            continue;
        std::string_view rest = line.substr(kBegin.size());
        int count = 0;
        if (!readInt(rest, h.width) || !readInt(rest, h.height) || !readInt(rest, h.depth) ||
            !readInt(rest, count))
            return false;
        h.dataStart = lines.position();
        return true;
    }
    return false;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The bytes of the hexadecimal comment lines after the header, at most
// wanted of them; false on a bad digit or a line that is not a comment.
bool readHex(ByteSpan ps, std::size_t from, std::size_t wanted, std::vector<std::uint8_t>& out)
{
    EpsLines lines(ps, from);
    std::string_view line;
    int high = -1;
    while (out.size() < wanted && lines.next(line)) {
        if (EpsLines::startsWith(line, kEnd))
            break;
        if (line.empty() || line[0] != '%')
            return false;
        for (std::size_t i = 1; i < line.size() && out.size() < wanted; ++i) {
            const char c = line[i];
            if (c == ' ' || c == '\t')
                continue;
            const int v = hexValue(c);
            if (v < 0)
                return false;
            if (high < 0) {
                high = v;
            } else {
                out.push_back(static_cast<std::uint8_t>(high << 4 | v));
                high = -1;
            }
        }
    }
    return out.size() == wanted;
}

// 0 white up to the highest value black.
dibcore::Palette invertedGreys(int levels)
{
    dibcore::Palette p = dibcore::greyPalette(levels);
    return dibcore::Palette(p.rbegin(), p.rend());
}

}  // namespace

GlobalHandle decode(ByteSpan ps)
{
    Header h;
    if (!findHeader(ps, h) || h.width <= 0 || h.height <= 0)
        return nullptr;
    if (h.depth != 1 && h.depth != 2 && h.depth != 4 && h.depth != 8)
        return nullptr;
    const std::size_t rowBytes = (static_cast<std::size_t>(h.width) * std::size_t(h.depth) + 7) / 8;
    // two digits a byte: the section must be able to hold the rows
    if (!dibcore::fitsLimit(h.width, h.height, 8) || rowBytes * std::size_t(h.height) > ps.size / 2)
        return nullptr;
    std::vector<std::uint8_t> data;
    data.reserve(rowBytes * std::size_t(h.height));
    if (!readHex(ps, h.dataStart, rowBytes * std::size_t(h.height), data))
        return nullptr;
    const int bits = h.depth == 2 ? 4 : h.depth;
    GlobalHandle dib = dibcore::allocDib(h.width, h.height, bits, invertedGreys(1 << h.depth));
    if (!dib)
        return nullptr;
    dibcore::DibView view = dibcore::lockView(dib);
    for (int y = 0; y < h.height; ++y) {
        const std::uint8_t* src = data.data() + std::size_t(y) * rowBytes;
        std::uint8_t* dst = view.mutableRow(y);
        for (int x = 0; x < h.width; ++x) {
            const unsigned value = h.depth == 2 ? (src[x / 4] >> (6 - 2 * (x % 4))) & 3u
                                                : dibcore::DibView::indexAt(src, x, h.depth);
            dibcore::setIndex(dst, x, bits, value);
        }
    }
    globalmem::unlock(dib);
    return dib;
}

}  // namespace epsipreview
