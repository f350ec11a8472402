#pragma once
// GIF decoding through giflib: the first frame, laid on the logical screen.

#include "bytespan.h"
#include "decoderequest.h"
#include "pictureinfo.h"

namespace gifcodec {

// A 1-, 4- or 8-bit DIB with the frame's colour table. Transparent pixels
// and the screen outside the frame are white.
GlobalHandle decode(ByteSpan bytes, DecodeRequest& request);
bool info(ByteSpan bytes, PictureInfo& out);

}  // namespace gifcodec
