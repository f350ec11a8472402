#pragma once
// GIF encoding through giflib: one frame with a global colour table.

#include <cstdint>
#include <vector>

#include "decoderequest.h"
#include "dibcore/dibview.h"

namespace gifwriter {

// dib: 1, 4 or 8 bits (the caller reduces deeper pictures). Progress runs
// from 0 to 80.
bool encode(const dibcore::DibView& dib, DecodeRequest& request, std::vector<std::uint8_t>& out);

}  // namespace gifwriter
