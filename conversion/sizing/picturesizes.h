#pragma once
// The size arithmetic of the picture size dialog: the standard-size list
// (screen sizes, then photo and paper formats from the printer's
// resolution), fitting to the picture's aspect, the size limit and the
// page lines.

#include "printermeasures.h"

#include <QSize>
#include <QStringList>

namespace picturesizes {

constexpr int kMaxSide = 10000;
// Entries from this index on are paper and photo formats.
constexpr int kFirstPaperEntry = 43;

const QStringList& StandardSizeNames();
// The size of list entry index for a picture of size picture (no entry:
// the picture's own size). Screen entries read "W x H Pixel"; a part that
// is not a number takes the picture's. Formats use the horizontal dpi and
// dpm for both directions.
QSize StandardSize(int index, QSize picture, const PrinterMeasures& printer);
// size narrowed in one direction to the picture's aspect; no side below 1.
QSize KeptRatio(QSize size, QSize picture);
// The picture's own size when a side is above kMaxSide, else size.
QSize WithinLimit(QSize size, QSize picture);
// The other field following one with the aspect kept.
int FollowingHeight(int width, QSize picture);
int FollowingWidth(int height, QSize picture);
// The four lines of the page group; the first two empty when the printer
// has no dots per millimetre.
QStringList PageLines(const PrinterMeasures& printer);

}  // namespace picturesizes
