#pragma once
// TIFF pages of IEEE floating-point samples (SampleFormat 3) of 32 or 64
// bits: grey or RGB, chunky or planar, in strips or tiles. Their range is
// scaled to 8 bits: SMinSampleValue..SMaxSampleValue when the page states
// both, else 0..1 when every sample lies there (photographic pictures),
// else the smallest to the largest sample (measurements).

#include <tiffio.h>

#include "bytespan.h"
#include "decoderequest.h"

namespace tifffloat {

// Whether the page holds floating-point samples at all.
bool isFloatPage(TIFF* tif);
// Whether tifffloat can decode the page (32 or 64 bits, grey or RGB).
bool supported(TIFF* tif);
// The depth the page is delivered at: 8 for grey, 24 for RGB.
int deliveredBits(TIFF* tif);
// The current page as a 24-bit DIB; null for damage, a stop, or a
// working buffer the source cannot justify (decodefailure::admitsBuffer).
GlobalHandle decode(TIFF* tif, ByteSpan source, DecodeRequest& request);

}  // namespace tifffloat
