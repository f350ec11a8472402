#pragma once
// Shrinking a black-and-white picture so thin lines survive: every target
// pixel takes the darkest (black on white) or the lightest (white on black)
// pixel of the block of source pixels it stands for.

#include "codec/binding/display.h"

#include <QImage>
#include <QRect>

// The source part of the image at target size in the stretch mode;
// colour on colour takes the nearest pixel. Null for an empty source or
// target.
QImage StretchWithMode(const QImage& image, const QRect& source, const QSize& target, TStretchMode mode);
