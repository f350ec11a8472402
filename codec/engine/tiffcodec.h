#pragma once
// TIFF decoding through libtiff, from memory, any page.

#include <string>

#include "bytespan.h"
#include "decoderequest.h"
#include "pictureinfo.h"

namespace tiffcodec {

// Page counts from 0. Bilevel pages come out as 1 bit, palette and grey
// pages as 4 or 8 bits with the colours they use, the rest as 24 bits;
// alpha is composited over white.
GlobalHandle decode(ByteSpan bytes, int page, DecodeRequest& request);
// Information about one page; pages is the number of pages in the file.
bool info(ByteSpan bytes, int page, PictureInfo& out);
// Display name of a TIFF compression code (the code may arrive as a signed
// 16-bit value): "NONE", "CCITT3", "FAXCCITT3", "FAXCCITT4", "LZW",
// "PACKBITS", else "UNKNOWN".
std::string compressionName(int code);

}  // namespace tiffcodec
