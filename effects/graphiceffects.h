#pragma once
// Effects run on a bitmap object: the picture goes to a DIB, through the
// effect call and back, with an optional undo snapshot first.

#include "effects/effecttypes.h"
#include "platform/globalmem.h"

#include <QtGlobal>

class TBitmap;

// The bitmap's picture as a new DIB of the given depth (1, 4, 8 or 24),
// reduced with the shared dither setting.
GlobalHandle BitmapToDibAtDepth(const TBitmap& bitmap, int bits);

// Each throws ErrorInvalid("Input image is empty") when the graphic is
// missing, cannot be converted or converts to 4 bytes or less. They answer
// whether the graphic changed.
bool RotateGraphic(TBitmap* graphic, int left, int top, int right, int bottom, double angle, qint32 background);
bool InvertGraphic(TBitmap* graphic, bool snapshot);
bool GrayAreaGraphic(TBitmap* graphic, int left, int top, int right, int bottom, bool snapshot,
                     void* owner = nullptr, EffectProgress progress = nullptr);
