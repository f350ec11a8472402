#pragma once
// The colour depth at which the picture control hands its picture to the
// effects dialog.

#include "imageinfo.h"

#include "codec/binding/tbitmap.h"

// 1 for a monochrome picture; the picture's own depth when it has a palette
// (4 or 8 bits), so that the dialog's palette page can edit it; the depth of
// the file it came from when that file has a palette (1, 4 or 8 bits, not
// a grey JPEG) and the picture's colours still fit in it, so that nothing is
// lost; else the load depth.
int EffectsDialogDepth(const TBitmap& picture, const ImageInfo& file, int loadDepth);
