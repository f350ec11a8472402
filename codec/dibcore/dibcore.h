#pragma once
// Packed-DIB layout: sizes, allocation and the parts of a DIB in memory.
// No global state; the engines and the bindings link it alike.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "depthconvert.h"
#include "dibguard.h"
#include "dibheader.h"
#include "dibview.h"
#include "logpalette.h"
#include "palette.h"
#include "platform/globalmem.h"
#include "rgbquad.h"

namespace dibcore {

// Largest pixel buffer a decoder may allocate.
constexpr std::size_t kMaxPixelBytes = std::size_t(1) << 30;

// Bytes of one row: ((width * bits + 31) / 32) * 4; 0 when width or bits are
// not positive or the result would not fit.
std::size_t rowStride(std::int64_t width, int bits);
// Pixel bytes of an uncompressed picture; 0 on overflow or bad sizes.
std::size_t imageBytes(std::int64_t width, std::int64_t height, int bits);
// True when width x height at bits fits under kMaxPixelBytes.
bool fitsLimit(std::int64_t width, std::int64_t height, int bits);
// Colour-table entries a new DIB of this depth gets: 2, 16, 256 or 0.
int colorsForBits(int bits);
// The DIB depth a picture of bits per pixel is delivered at: 0 for none,
// then 1, 4, 8 or 24.
int deliveredDepth(int bits);
// The depth a picture whose file states bits per pixel is delivered at: as
// deliveredDepth, 24 when the file states none.
int describedDepth(int fileBits);

// The rule against pictures that claim far more than their data can hold:
// a decoded pixel buffer may take at most 1024 times the bytes it is
// decoded from plus 16 MiB (Deflate, the strongest compression in these
// formats, tops out near 1032:1), and never more than kMaxPixelBytes.
constexpr std::uint64_t kClaimRatio = 1024;
constexpr std::uint64_t kClaimAllowance = std::uint64_t(16) << 20;
std::size_t claimLimit(std::uint64_t sourceBytes);
// True when width x height at bits fits under claimLimit(sourceBytes); false
// too for sizes that make no picture.
bool fitsSource(std::int64_t width, std::int64_t height, int bits, std::uint64_t sourceBytes);
// How a refusal by fitsSource is reported.
constexpr const char* kClaimTooLarge = "the file is too small for the picture it claims";

// A zero-filled bottom-up packed DIB (bits 1, 4, 8, 16, 24 or 32) with its
// header written and the colour table filled from palette (missing entries
// black). Null for bad sizes, a pixel buffer over kMaxPixelBytes or no memory.
GlobalHandle allocDib(int width, int height, int bits, const Palette& palette = {});

// A new block with the same bytes; null for a bad handle or no memory.
GlobalHandle copyBlock(GlobalHandle h);

// Locks h and wraps it; unlock with globalmem::unlock when done.
DibView lockView(GlobalHandle h);

// Little-endian helpers for decoders.
inline std::uint16_t le16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void putLe16(std::uint8_t* p, std::uint16_t v);
void putLe32(std::uint8_t* p, std::uint32_t v);

// Writes a pixel value into a row of 1, 4 or 8 bits.
void setIndex(std::uint8_t* row, int x, int bits, unsigned index);

}  // namespace dibcore
