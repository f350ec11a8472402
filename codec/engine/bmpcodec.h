#pragma once
// BMP/DIB decoding: every header version (OS/2 12 and 16..64 bytes, 40, 52,
// 56, 108, 124), 1/4/8/16/24/32 bits, BITFIELDS, RLE4/RLE8, top-down rows,
// and JPEG or PNG pixel data.

#include "bytespan.h"
#include "decoderequest.h"
#include "pictureinfo.h"

namespace bmpcodec {

// 1-, 4- and 8-bit pictures keep their colour table; the rest come out as
// 24 bits, with an alpha channel (when present and used) laid over white.
GlobalHandle decode(ByteSpan bytes, DecodeRequest& request);
bool info(ByteSpan bytes, PictureInfo& out);

}  // namespace bmpcodec
