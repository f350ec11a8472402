#pragma once
// A picture stretched to a new size, keeping its pixel format: a paletted
// picture keeps its colour table, its pixels mapped to the nearest entry.

#include <QSize>

class TBitmap;

// Empty when size has a side below 1 or the memory for it cannot be had.
TBitmap StretchedPicture(const TBitmap& picture, QSize size);
