#pragma once
// JPEG decoding through libjpeg(-turbo).

#include "bytespan.h"
#include "decoderequest.h"
#include "pictureinfo.h"

namespace jpegcodec {

// Grey pictures come out as 8-bit grey DIBs, everything else as 24 bits,
// turned upright by the EXIF orientation (the information's sizes too).
// scale 2, 4 or 8 decodes at that fraction of the size; other values at 1.
// Damaged data (a truncated or corrupt entropy stream) is a failure.
GlobalHandle decode(ByteSpan bytes, DecodeRequest& request, int scale);
bool info(ByteSpan bytes, PictureInfo& out);

}  // namespace jpegcodec
