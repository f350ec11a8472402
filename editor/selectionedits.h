#pragma once
// Copy, cut, paste and crop on a rectangle of the picture. Each answers
// whether the picture changed.

#include <QRect>

class TPMultiImage;

namespace selectionedits {

// Puts the rectangle's pixels on the clipboard; false when nothing was copied.
bool copy(const TPMultiImage& image, const QRect& area);
// Copies, keeps an undo snapshot and fills the rectangle with the control's colour.
bool cut(TPMultiImage& image, const QRect& area);
// Stretches the clipboard's picture into the rectangle.
bool pasteInto(TPMultiImage& image, const QRect& area);
// Makes the rectangle the picture, keeping an undo snapshot; an empty
// rectangle leaves the picture as it is.
bool crop(TPMultiImage& image, const QRect& area);

}  // namespace selectionedits
