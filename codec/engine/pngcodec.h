#pragma once
// PNG decoding through libpng.

#include "bytespan.h"
#include "decoderequest.h"
#include "pictureinfo.h"

namespace pngcodec {

// Palette pictures keep their palette (1, 4 or 8 bits), grey ones come out
// as 1- or 8-bit grey, colour as 24 bits; 16-bit samples are scaled to 8 and
// transparency is composited over white.
GlobalHandle decode(ByteSpan bytes, DecodeRequest& request);
bool info(ByteSpan bytes, PictureInfo& out);

}  // namespace pngcodec
