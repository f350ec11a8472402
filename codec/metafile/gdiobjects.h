#pragma once
// The drawing objects a metafile creates and selects: pens, brushes, fonts,
// palettes and regions, as the record player keeps them.

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QString>

#include <cstdint>
#include <variant>

namespace gdi {

// Pen styles (low nibble), end caps and joins of the style word.
enum PenStyle : std::uint32_t {
    PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4,
    PS_NULL = 5, PS_INSIDEFRAME = 6, PS_USERSTYLE = 7, PS_ALTERNATE = 8,
    PS_STYLE_MASK = 0x0F,
    PS_ENDCAP_ROUND = 0x000, PS_ENDCAP_SQUARE = 0x100, PS_ENDCAP_FLAT = 0x200, PS_ENDCAP_MASK = 0xF00,
    PS_JOIN_ROUND = 0x0000, PS_JOIN_BEVEL = 0x1000, PS_JOIN_MITER = 0x2000, PS_JOIN_MASK = 0xF000,
    PS_GEOMETRIC = 0x10000,
};

enum BrushStyle : std::uint32_t {
    BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5, BS_DIBPATTERNPT = 6,
};

enum HatchStyle : std::uint32_t {
    HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5,
};

struct Pen {
    std::uint32_t style = PS_SOLID;
    double width = 0;  // logical units; 0 is one device pixel
    QColor color = Qt::black;
    bool geometric = false;
    QList<double> dashes;  // PS_USERSTYLE lengths in logical units
    bool isNull() const { return (style & PS_STYLE_MASK) == PS_NULL; }
};

struct Brush {
    std::uint32_t style = BS_SOLID;
    QColor color = Qt::white;
    std::uint32_t hatch = HS_HORIZONTAL;
    QImage pattern;          // BS_PATTERN / BS_DIBPATTERN
    bool monochrome = false;  // a 1-bit pattern drawn in the text and background colours
    bool isNull() const { return style == BS_NULL || ((style == BS_PATTERN || style == BS_DIBPATTERN) && pattern.isNull()); }
};

struct Font {
    double height = 0;  // logical units; negative: character height, positive: cell height
    double width = 0;
    int escapement = 0;  // tenths of a degree
    int orientation = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charSet = 0;
    int pitchAndFamily = 0;
    QString faceName;
};

struct Palette {
    QList<QRgb> colors;
};

// A region in the coordinates the player gives it (logical for WMF,
// device for EMF).
struct Region {
    QPainterPath path;
};

using Object = std::variant<std::monostate, Pen, Brush, Font, Palette, Region>;

}  // namespace gdi
