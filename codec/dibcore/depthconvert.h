#pragma once
// Colour-depth conversions between packed DIBs, with dithering.

#include <functional>

#include "platform/globalmem.h"
#include "palette.h"

namespace dibcore {

class DibView;

// The values match the effects engine's dither codes.
enum class Dither {
    None = 0,            // nearest palette colour
    Bayer = 1,           // ordered 8x8 Bayer matrix
    Burkes = 2,          // Burkes error diffusion
    FloydSteinberg = 4,  // Floyd-Steinberg error diffusion
    Grey = 8,            // grey palette, Floyd-Steinberg on the grey levels
};

// Percentage in, false to stop. May be empty.
using Progress = std::function<bool(int percent)>;

// Any valid DIB (1/4/8/16/24/32 bits, BITFIELDS, RLE4/RLE8, top-down) as a
// new bottom-up 24-bit DIB; null when the DIB is bad, too large or stopped.
GlobalHandle toRgb24(const DibView& src, const Progress& progress = {});

// An RLE4/RLE8 DIB decoded into an uncompressed 4/8-bit DIB with the same
// colour table. Runs past a row or past the picture are clipped; a stream
// that ends early leaves the remaining pixels at index 0, and *complete
// (when given) tells whether the end-of-picture code or the last row was
// reached.
GlobalHandle decodeRle(const DibView& src, bool* complete = nullptr);

// A new DIB of bits 1, 4, 8 or 24. Reductions keep the picture's own
// colours when they fit; otherwise 1 bit is black and white and 4 or 8 bits
// get an optimal palette (median cut). Dither::Grey gives a grey palette at
// any depth.
// Increases keep the colours exactly. Null on bad input, an unsupported
// depth, a size over the limit or a stop from progress.
GlobalHandle convertDepth(const DibView& src, int bits, Dither dither, const Progress& progress = {});

// Reduces a 24-bit DIB to bits (1, 4 or 8) with the given palette.
GlobalHandle reduceToPalette(const DibView& rgb24, int bits, const Palette& palette, Dither dither,
                             const Progress& progress = {});

// Exact increase of a 1-, 4- or 8-bit DIB to 4, 8 or 24 bits.
GlobalHandle increaseDepth(const DibView& src, int bits);

}  // namespace dibcore
