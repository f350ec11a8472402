#pragma once
// Recognising a picture format from its first bytes.

#include "bytespan.h"

enum class PictureFormat { Unknown, Jpeg, Png, Gif, Bmp, Tiff, Pcx, Dcx, Tga };

namespace pictureformat {

// The format by content. TGA has no signature: it is taken only when
// tgaAllowed is set and the header is plausible.
PictureFormat detect(ByteSpan bytes, bool tgaAllowed);
// True when the file name ends in ".tga" (any case).
bool hasTgaExtension(const char* fileName);

}  // namespace pictureformat
