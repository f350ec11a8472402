#pragma once
// PCX encoding (version 5, RLE): 1 bit in one plane, 4 bits in four bit
// planes, 8 bits with the 256-colour table at the end, 24 bits in three
// 8-bit planes.

#include <cstdint>
#include <vector>

#include "decoderequest.h"
#include "dibcore/dibview.h"

namespace pcxwriter {

// Progress runs from 0 to 80.
bool encode(const dibcore::DibView& dib, DecodeRequest& request, std::vector<std::uint8_t>& out);

}  // namespace pcxwriter
