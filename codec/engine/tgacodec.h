#pragma once
// Truevision TGA decoding: colour-mapped, grey and true colour, raw or RLE,
// either origin and direction.

#include "bytespan.h"
#include "decoderequest.h"
#include "pictureinfo.h"

namespace tgacodec {

// True when the first 18 bytes look like a TGA header (TGA has no signature).
bool plausible(ByteSpan bytes);

// Colour-mapped pictures with at most 256 colours keep them (8 bits), grey
// ones come out as 8-bit grey, the rest as 24 bits; alpha (when the header
// declares attribute bits) is laid over white.
GlobalHandle decode(ByteSpan bytes, DecodeRequest& request);
bool info(ByteSpan bytes, PictureInfo& out);

}  // namespace tgacodec
