#pragma once
// Pictures on the clipboard: a packed DIB offered as "image/bmp" together
// with a Qt image, and the formats taken back in the order metafile
// ("image/x-wmf", "image/wmf", "image/x-emf", "image/emf"), DIB, bitmap (a
// Qt image), any other picture format.

#include "codec/binding/tbitmap.h"

namespace clipboardpicture {

// Puts the bitmap on the clipboard; false for an empty bitmap.
bool copy(const TBitmap& bitmap);
// The clipboard offers a format paste can take.
bool offersPicture();
// The clipboard's picture by the format order; empty when there is none
// or it converts to nothing.
TBitmap paste();

}  // namespace clipboardpicture
