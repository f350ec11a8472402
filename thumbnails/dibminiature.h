#pragma once
// A miniature made straight from a decoder's 24-bit DIB: only the pixels a
// plain (unsmoothed) QPainter stretch would pick are read, so the picture is
// never copied whole, and the result is the same as that stretch's.

#include "platform/globalmem.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <vector>

namespace dibminiature {

// The size of a DIB this can shrink: 24 bits, uncompressed, sides within
// the range QPainter stretches by fixed-point steps. Invalid otherwise.
QSize sizeOf(GlobalHandle dib);

// The DIB drawn at size, centred on a cell of fill; null for a DIB sizeOf
// refuses.
QImage make(GlobalHandle dib, QSize cell, QSize size, QColor fill);

// The source pixel QPainter takes for each of the `to` target pixels when it
// stretches `from` pixels onto them, starting at offset `at` of a row (or a
// column) of `line` pixels.
std::vector<int> nearestSamples(int from, int to, int at, int line, bool vertical);

}  // namespace dibminiature
