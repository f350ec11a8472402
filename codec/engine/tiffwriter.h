#pragma once
// TIFF encoding of one page through libtiff, in the compressions of TIFF
// 6.0: none (1), CCITT modified Huffman (2), Group 3 (3), Group 4 (4), LZW
// (5) and PackBits (32773).

#include <cstdint>
#include <vector>

#include <tiffio.h>

#include "decoderequest.h"
#include "dibcore/dibview.h"

class WriterInput;

namespace tiffwriter {

bool knownCompression(int code);
// The CCITT compressions take black and white only: the picture is reduced
// to that (dithered) unless it already is.
bool prepare(WriterInput& input, int code);

// Writes the picture as the next page of an open TIFF and ends the page.
// Progress runs from 0 to 80.
bool writePage(TIFF* tif, const dibcore::DibView& dib, int code, DecodeRequest& request);
// A new file of one page.
bool encode(const dibcore::DibView& dib, int code, DecodeRequest& request, std::vector<std::uint8_t>& out);

}  // namespace tiffwriter
