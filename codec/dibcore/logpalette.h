#pragma once
// Logical palettes in a GlobalHandle: uint16 version 0x300, uint16 count, then
// count entries of {red, green, blue, flags}.

#include <vector>

#include "platform/globalmem.h"
#include "rgbquad.h"

namespace dibcore {

constexpr int kLogPaletteVersion = 0x300;

// Null for an empty list, more than 256 entries or no memory.
GlobalHandle makeLogPalette(const std::vector<RgbQuad>& colors);
// The entries of a logical palette block; empty for a bad block.
std::vector<RgbQuad> readLogPalette(GlobalHandle palette);

}  // namespace dibcore
