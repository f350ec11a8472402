#pragma once
// The annotation file (".ant"): the annotation objects of every page of one
// picture file.
//
// Layout, all integers little-endian, no padding:
//
//   header   8 bytes  magic "KVANNOT" followed by one 0 byte
//            u16      version, 1
//            u16      0 (reserved)
//            u32      page count P
//   P pages, page numbers strictly ascending:
//            u32      page number (0-based, at most 65535)
//            u32      object count N (a page is only written with N > 0)
//   N objects, each:
//            u16      kind (0 PolyLine, 1 Ellipse, 2 Rectangle, 3 Polygon,
//                     4 Pointer, 5 Notes, 6 Label, 7 Line, 8 Hilite,
//                     9 RubberStamp, 10 Freehand, 11 Image)
//            u16      flags: bit 0 opaque background, bit 1 shown as a
//                     symbol; the other bits are 0
//            u32      body length B: the bytes of the body below
//     body:  u8       pen width 1..20
//            u8       pen style 0..5 (solid, dash, dot, dash-dot,
//                     dash-dot-dot, none)
//            u8       hatch 0..5, or 6 for a plain fill
//            u8       0 (reserved)
//            u32 x4   foreground, background, font and font background
//                     colours, 0x00BBGGRR
//            u16      font height 1..210
//            u16      0 (reserved)
//            text     font name
//            text     object text
//            u32      point count, then per point i32 x, i32 y; the count
//                     fits the kind (two corners for boxes, two ends for
//                     lines and pointers, at least 2 nodes for connected
//                     lines, 3 for a polygon, 1 for freehand), coordinates
//                     within +-16777216
//            u32      picture width W, u32 picture height H (both 0 when
//                     the object holds no picture, else 1..16384), then
//                     W x H x 4 bytes: top-down rows of B, G, R, A
//   text:    u32 byte length L (at most 65536), then L bytes of UTF-8
//            without a 0 byte
//
// A reader takes nothing from a file that breaks any rule above: a length or
// count past the end of the file or of its body, a body not used up exactly,
// bytes after the last page, an unknown version, kind or flag, values out of
// range, or text that is not UTF-8.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "annotationobject.h"

namespace annotationformat {

constexpr std::uint16_t kVersion = 1;
// Largest annotation file read.
constexpr std::size_t kMaxFileBytes = std::size_t(256) << 20;
constexpr std::size_t kMaxTextBytes = 65536;
constexpr int kMaxPictureSide = 16384;
constexpr std::int32_t kMaxCoordinate = 1 << 24;
constexpr int kMaxPage = 65535;

// Page number -> the page's objects (never empty).
using Pages = std::map<int, std::vector<annotation::Object>>;

// The pages of the file's bytes; nothing for a file that breaks a rule.
std::optional<Pages> parse(const std::uint8_t* data, std::size_t size);
// The bytes of a file holding pages (empty pages are left out).
std::vector<std::uint8_t> serialize(const Pages& pages);
// Whether an object keeps every rule of the file (so that it can be
// written and read back).
bool writable(const annotation::Object& object);

}  // namespace annotationformat
