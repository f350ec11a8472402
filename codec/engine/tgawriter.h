#pragma once
// Truevision TGA encoding: palette pictures colour-mapped with 8-bit
// indices, the rest as 24-bit true colour; bottom-left origin, raw or RLE,
// with the TGA 2.0 footer.

#include <cstdint>
#include <vector>

#include "decoderequest.h"
#include "dibcore/dibview.h"

namespace tgawriter {

// Progress runs from 0 to 80.
bool encode(const dibcore::DibView& dib, bool rle, DecodeRequest& request, std::vector<std::uint8_t>& out);

}  // namespace tgawriter
