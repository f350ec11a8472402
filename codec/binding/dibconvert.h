#pragma once
// Conversions between packed DIBs (global memory handles) and the programs'
// bitmap objects. The receiver of a DIB handle owns it and frees it with
// FreeDIB.

#include "codecwrappers.h"
#include "piclibtypes.h"
#include "platform/globalmem.h"

#include <QImage>
#include <QList>
#include <memory>

class TBitmap;

// Unlocks while locked, then frees; blocks under 2 bytes are left alone.
void FreeDIB(GlobalHandle dib);

// A DIB of the image at the pixel format's depth, colours mapped to palette
// when it differs from the image's own table. 15/16- and 32-bit results are
// turned into 24 bits by the codec module. Throws ErrorInvalid("Input image
// is empty") for a null image; null when a conversion fails.
GlobalHandle BitmapToDIB(const QImage& image, TPixelFormat format, const QList<QRgb>& palette);
// BitmapToDIB of the graphic; throws "Input image is empty" without one.
GlobalHandle GraphicToDIB(const TBitmap* graphic);
// GraphicToDIB, then reduced or increased to bits (1, 4, 8 or 24).
GlobalHandle GraphicToDIBDepth(const TBitmap* graphic, int bits, bool dither, CodecProgress progress,
                               void* sender);

// The DIB as an image at bits (1, 4, 8 or 24; any other value keeps the
// DIB's own depth), its pixel format and palette (the shared palette when
// one is set). RLE DIBs are expanded by the codec module at their own
// depth. False for an empty or bad DIB; when the pixels cannot be moved
// LastErrorText says so.
bool DIBToSection(GlobalHandle dib, int bits, bool dither, CodecProgress progress, void* sender,
                  QList<QRgb>& palette, QImage& image, TPixelFormat& format);
// DIBToSection into a bitmap object.
bool DIBToBitmap(GlobalHandle dib, int bits, bool dither, CodecProgress progress, void* sender, TBitmap& bitmap);
// The same into a new bitmap object; null for an empty DIB or a failure.
std::unique_ptr<TBitmap> DIBToBitmap(GlobalHandle dib, int bits, bool dither, CodecProgress progress,
                                     void* sender);
// The codec module's device bitmap and palette of the DIB (RLE too), set
// into the bitmap object; false when the module fails.
bool DIBToDeviceBitmap(GlobalHandle dib, TBitmap& bitmap);
// DIBToBitmap at the DIB's own depth; false for a block under 6 bytes.
bool DIBToGraphic(GlobalHandle dib, TBitmap& graphic);

// A new 24-bit DIB with each 8-bit pixel replaced by its colour-table
// entry. Throws "Input image is empty" for an empty block and "Input image
// is not 8 bit" for another depth; null for a bad DIB.
GlobalHandle DIB8To24(GlobalHandle dib);

// The text LastErrorText takes when a DIB's pixels cannot be moved.
inline constexpr char kMoveDataError[] = "HDibToDDBSection, Could not move Data";
