#pragma once
// Reads a packed DIB (uncompressed 1/4/8/24 bits) into a QImage, written
// independently of the engine's own DIB code so tests cross-check it.

#include <QImage>

#include "platform/globalmem.h"

namespace dibimage {

// Null image for a malformed or unsupported DIB.
QImage toImage(GlobalHandle dib);
// biBitCount of the DIB, 0 when there is none.
int bitCount(GlobalHandle dib);
// Number of colour-table entries (biClrUsed or 2^bits for <= 8 bits).
int colourCount(GlobalHandle dib);
// Frees a block (unlocking it first).
void release(GlobalHandle dib);

}  // namespace dibimage
