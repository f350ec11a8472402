#include "dxffont.h"

#include <cctype>
#include <cstring>

namespace dxffont {

namespace {

// Strokes as runs of two-digit points "xy", runs separated by spaces; the
// table runs from ' ' (32) to '~' (126) without the lower-case letters.
const char* const kGlyphs[] = {
    "",                                        // space
    "2622 2120",                               // !
    "1614 3634",                               // "
    "1511 3531 0444 0242",                     // #
    "453616050413334241301001 2620",           // $
    "0046 0615 4031",                          // %
    "4015162634330201102042",                  // &
    "2624",                                    // '
    "36252130",                                // (
    "16252110",                                // )
    "2521 0541 4501",                          // *
    "2521 0343",                               // +
    "2110",                                    // ,
    "0343",                                    // -
    "2021",                                    // .
    "0046",                                    // /
    "103041453616050110",                      // 0
    "152620 1030",                             // 1
    "05163645440040",                          // 2
    "0516364544334241301001 1333",             // 3
    "30360242",                                // 4
    "460603334241301001",                      // 5
    "36160501103041423303",                    // 6
    "064610",                                  // 7
    "130405163645443313 1302011030414233",     // 8
    "10304145361605041343",                    // 9
    "2524 2221",                               // :
    "2524 2210",                               // ;
    "450341",                                  // <
    "0444 0242",                               // =
    "054301",                                  // >
    "0516364544332322 2120",                   // ?
    "44342322324244 42413010010516364544",     // @
    "002640 1333",                             // A
    "00063645443303 3342413000",               // B
    "4536160501103041",                        // C
    "00063645413000",                          // D
    "46060040 0333",                           // E
    "460600 0333",                             // F
    "45361605011030414323",                    // G
    "0006 4640 0343",                          // H
    "1636 2620 1030",                          // I
    "4641301001 2646",                         // J
    "0006 4602 1340",                          // K
    "060040",                                  // L
    "0006234640",                              // M
    "00064046",                                // N
    "103041453616050110",                      // O
    "00063645443303",                          // P
    "103041453616050110 2240",                 // Q
    "00063645443303 2340",                     // R
    "453616050413334241301001",                // S
    "0646 2620",                               // T
    "060110304146",                            // U
    "062046",                                  // V
    "0610233046",                              // W
    "0046 0640",                               // X
    "062346 2320",                             // Y
    "06460040",                                // Z
    "36161030",                                // [
    "0640",                                    // backslash
    "16363010",                                // ]
    "142634",                                  // ^
    "0040",                                    // _
    "1625",                                    // `
    "36252413222130",                          // {
    "2620",                                    // |
    "16252433222110",                          // }
    "0415243344",                              // ~
};

constexpr unsigned kFirst = 32;
constexpr unsigned kLast = 126;
constexpr unsigned kLetters = 26;
static_assert(sizeof kGlyphs / sizeof kGlyphs[0] == kLast - kFirst + 1 - kLetters);
constexpr double kSmallCapitals = 0.7;

std::size_t tableIndex(unsigned char c)
{
    return c < 'a' ? c - kFirst : c - kFirst - kLetters;
}

std::vector<Stroke> parse(unsigned char c)
{
    double yScale = 1.0;
    if (c >= 'a' && c <= 'z') {
        c = static_cast<unsigned char>(c - 'a' + 'A');
        yScale = kSmallCapitals;
    }
    if (c < kFirst || c > kLast)
        c = '?';
    std::vector<Stroke> strokes;
    Stroke current;
    const char* p = kGlyphs[tableIndex(c)];
    const std::size_t n = std::strlen(p);
    for (std::size_t i = 0; i <= n; ++i) {
        if (i == n || p[i] == ' ') {
            if (current.size() >= 2)
                strokes.push_back(current);
            current.clear();
            continue;
        }
        if (i + 1 < n && std::isdigit(static_cast<unsigned char>(p[i])) &&
            std::isdigit(static_cast<unsigned char>(p[i + 1]))) {
            current.push_back({double(p[i] - '0'), (p[i + 1] - '0') * yScale});
            ++i;
        }
    }
    return strokes;
}

struct Font {
    std::vector<Stroke> glyphs[256];
    Font()
    {
        for (int c = 0; c < 256; ++c)
            glyphs[c] = parse(static_cast<unsigned char>(c));
    }
};

}  // namespace

const std::vector<Stroke>& glyph(unsigned char c)
{
    static const Font font;
    return font.glyphs[c];
}

}  // namespace dxffont
