#pragma once
// One annotation object drawn over a picture: its kind, its points in picture
// pixels, and its drawing attributes. Colours are 0x00BBGGRR values.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace annotation {

enum class Kind : std::uint16_t {
    PolyLine,
    Ellipse,
    Rectangle,
    Polygon,
    Pointer,
    Notes,
    Label,
    Line,
    Hilite,
    RubberStamp,
    Freehand,
    Image,
};
constexpr int kKindCount = 12;

// The kind's name as the annotation settings name it ("PolyLine", "Hilite").
const char* kindName(Kind kind);

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;   // right and bottom inclusive
};

enum PenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psNull };
// Hatch styles 0..5 (horizontal, vertical, forward and backward diagonal,
// cross, diagonal cross); kHatchSolid fills plainly.
constexpr int kHatchSolid = 6;

// The pixels of an embedded picture. Copies of an object (the undo steps of
// a layer) share them; they compare by content.
class Pixels {
public:
    Pixels() = default;
    Pixels(std::initializer_list<std::uint8_t> bytes) : Pixels(std::vector<std::uint8_t>(bytes)) {}
    explicit Pixels(std::vector<std::uint8_t> bytes);
    void assign(const std::uint8_t* first, const std::uint8_t* last);
    const std::uint8_t* data() const { return bytes_ ? bytes_->data() : nullptr; }
    std::size_t size() const { return bytes_ ? bytes_->size() : 0; }
    bool empty() const { return size() == 0; }
    bool operator==(const Pixels& other) const;

private:
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
};

struct Object {
    Kind kind = Kind::Rectangle;
    // Rectangle-like kinds (ellipse, rectangle, notes, label, highlight,
    // stamp, image): two opposite corners. Line and pointer: start and end
    // (the pointer's head at the end). Connected lines, polygon, freehand:
    // the nodes in order.
    std::vector<Point> points;
    int penWidth = 1;           // 1..20
    int penStyle = psSolid;     // 0..5
    std::uint32_t foreColor = 0;
    std::uint32_t backColor = 0xFFFFFF;
    bool opaque = false;        // background filled (hatch) or transparent
    int hatch = kHatchSolid;    // 0..6
    std::string fontName = "Arial";
    int fontHeight = 16;        // 1..210 picture pixels
    std::uint32_t fontColor = 0;
    std::uint32_t fontBackColor = 0xFFFFFF;
    std::string text;           // UTF-8
    bool iconic = false;        // a note shown as a small symbol
    // Embedded picture: width x height pixels, top-down rows of B, G, R, A.
    int imageWidth = 0;
    int imageHeight = 0;
    Pixels imagePixels;

    bool operator==(const Object&) const = default;
    // The smallest rectangle holding every point.
    Rect bounds() const;
};

// Whether the kind is given by two opposite corners.
bool isBoxKind(Kind kind);
// The fewest points an object of the kind needs, and the most (0: no limit).
int minimumPoints(Kind kind);
int maximumPoints(Kind kind);

}  // namespace annotation
