#include "epsboundingbox.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "dibcore/dibcore.h"
#include "epslines.h"

namespace epsboundingbox {

namespace {

constexpr std::string_view kBox = "%%BoundingBox:";
constexpr std::string_view kHiRes = "%%HiResBoundingBox:";
// A header that goes on longer than this is not read further.
constexpr std::size_t kMaxHeaderLines = 4096;

enum class Parsed { Missing, AtEnd, Bad, Box };

struct Numbers {
    double v[4] = {0, 0, 0, 0};
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

Parsed parseValues(std::string_view text, Numbers& out)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (text.substr(i).starts_with("(atend)"))
        return Parsed::AtEnd;
    for (int k = 0; k < 4; ++k) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        const char* first = text.data() + i;
        const char* last = text.data() + text.size();
        if (first < last && *first == '+')
            ++first;
        double value = 0;
        const auto [end, ec] = std::from_chars(first, last, value);
        if (ec != std::errc() || !std::isfinite(value) || std::fabs(value) > 1e7)
            return Parsed::Bad;
        out.v[k] = value;
        i = static_cast<std::size_t>(end - text.data());
    }
    return Parsed::Box;
}

// Whole points covering the box; false when it is empty, inverted or too
// large.
bool toBox(const Numbers& n, EpsBox& out)
{
    const double llx = std::floor(n.v[0]);
    const double lly = std::floor(n.v[1]);
    const double urx = std::ceil(n.v[2]);
    const double ury = std::ceil(n.v[3]);
    const double w = urx - llx;
    const double h = ury - lly;
    if (!(w >= 1 && h >= 1 && w <= kMaxSide && h <= kMaxSide))
        return false;
    if (!dibcore::fitsLimit(static_cast<std::int64_t>(w), static_cast<std::int64_t>(h), 24))
        return false;
    out = EpsBox{static_cast<int>(llx), static_cast<int>(lly), static_cast<int>(w), static_cast<int>(h)};
    return true;
}

struct Found {
    Parsed box = Parsed::Missing;
    Parsed hiRes = Parsed::Missing;
    Numbers boxValues;
    Numbers hiResValues;
};

void take(std::string_view line, Found& f)
{
    if (EpsLines::startsWith(line, kBox) && f.box != Parsed::Box)
        f.box = parseValues(line.substr(kBox.size()), f.boxValues);
    else if (EpsLines::startsWith(line, kHiRes) && f.hiRes != Parsed::Box)
        f.hiRes = parseValues(line.substr(kHiRes.size()), f.hiResValues);
}

// The header comments: up to "%%EndComments" or the first line that is not
// a comment.
Found readHeader(ByteSpan ps)
{
    Found f;
    EpsLines lines(ps);
    std::string_view line;
    for (std::size_t n = 0; n < kMaxHeaderLines && lines.next(line); ++n) {
        if (line.empty() || line[0] != '%' || EpsLines::startsWith(line, "%%EndComments"))
            break;
        take(line, f);
    }
    return f;
}

// The last values of the comments in the whole section (the trailer).
Found readTrailer(ByteSpan ps)
{
    Found f;
    EpsLines lines(ps);
    std::string_view line;
    while (lines.next(line)) {
        if (line.size() < 2 || line[0] != '%' || line[1] != '%')
            continue;
        Found one;
        take(line, one);
        if (one.box == Parsed::Box)
            f.box = Parsed::Box, f.boxValues = one.boxValues;
        if (one.hiRes == Parsed::Box)
            f.hiRes = Parsed::Box, f.hiResValues = one.hiResValues;
    }
    return f;
}

}  // namespace

bool find(ByteSpan postscript, EpsBox& out)
{
    Found f = readHeader(postscript);
    if (f.box == Parsed::AtEnd || (f.box != Parsed::Box && f.hiRes == Parsed::AtEnd))
        f = readTrailer(postscript);
    if (f.box == Parsed::Box && toBox(f.boxValues, out))
        return true;
    return f.hiRes == Parsed::Box && toBox(f.hiResValues, out);
}

}  // namespace epsboundingbox
