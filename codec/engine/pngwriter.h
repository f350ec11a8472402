#pragma once
// PNG encoding through libpng: palette pictures as 1-, 4- or 8-bit palette
// PNGs (or grey when the table is a grey ramp), the rest as 8-bit RGB.

#include <cstdint>
#include <vector>

#include "decoderequest.h"
#include "dibcore/dibview.h"

namespace pngwriter {

// interlaced: Adam7. Progress runs from 0 to 80.
bool encode(const dibcore::DibView& dib, bool interlaced, DecodeRequest& request, std::vector<std::uint8_t>& out);

}  // namespace pngwriter
