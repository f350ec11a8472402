#pragma once
// PCX decoding (1, 2, 4 and 8 bits per plane, 1 to 4 planes) and DCX, a
// directory of PCX pages.

#include "bytespan.h"
#include "decoderequest.h"
#include "pictureinfo.h"

namespace pcxcodec {

// Palette pictures keep their colours (1, 4 or 8 bits); 3- and 4-plane
// 8-bit pictures come out as 24 bits (a fourth plane is alpha over white).
GlobalHandle decode(ByteSpan bytes, DecodeRequest& request);
bool info(ByteSpan bytes, PictureInfo& out);

// DCX: page counts from 0.
GlobalHandle decodeDcx(ByteSpan bytes, int page, DecodeRequest& request);
bool dcxInfo(ByteSpan bytes, int page, PictureInfo& out);

}  // namespace pcxcodec
