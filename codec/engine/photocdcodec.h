#pragma once
// Kodak Photo CD image packs: the three base resolutions, stored
// uncompressed as Photo YCC 4:2:0 at fixed sector offsets.
//
// Layout (2048-byte sectors): the image pack information header "PCD_IPI"
// starts at byte 0x800 (an overview pack "PCD_OPA" is not read); its byte
// at 0xE02 holds the rotation in the low two bits (0 none, 1 a quarter turn
// counter-clockwise, 2 a half turn, 3 a quarter turn clockwise). Base/16
// (192x128) starts at sector 4, base/4 (384x256) at sector 23 and base
// (768x512) at sector 96. Each pair of picture rows is stored as two rows of
// luma Y followed by one row each of the half-width chroma C1 and C2.
//
// Photo YCC to RGB: Kodak's decoding
//   L = 1.3584 Y, C1' = 2.2179 (C1 - 156), C2' = 1.8215 (C2 - 137)
//   R = L + C2', G = L - 0.194 C1' - 0.509 C2', B = L + C1'
// gives values up to 1.402 times reference white (L = 346); that whole range
// is mapped linearly onto 0..255 (all terms divided by 1.3584), so
// highlights keep their detail instead of clipping:
//   R = Y + 1.3409 (C2 - 137), G = Y - 0.3168 (C1 - 156) - 0.6825 (C2 - 137),
//   B = Y + 1.6327 (C1 - 156), clipped to 0..255.
// Chroma is co-sited with the even luma samples and
// interpolated linearly in between.

#include "bytespan.h"
#include "decoderequest.h"
#include "pictureinfo.h"

namespace photocdcodec {

// pcdMode values of the entries.
enum Resolution { Base16 = 0, Base4 = 1, Base = 2 };

// True when the bytes hold an image pack information header.
bool recognised(ByteSpan bytes);

// The picture at the resolution as a 24-bit DIB, turned upright; null when
// the pack is not recognised, the resolution is unknown or the file is too
// short to hold it (no fallback to a smaller resolution).
GlobalHandle decode(ByteSpan bytes, int resolution, DecodeRequest& request);

// Type "PCD", the base size (768x512, 512x768 for a portrait pack), 24 bits.
bool info(ByteSpan bytes, PictureInfo& out);

}  // namespace photocdcodec
