#pragma once
// Pictures stored inside metafile records: a BITMAPINFO (40-byte or
// 12-byte core header and colour table) and the pixel bits, which records
// keep together or apart.

#include "bytereader.h"

#include <QImage>
#include <QList>
#include <QRectF>

namespace dibrecord {

enum ColorUsage { DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1 };

// The picture; with DIB_PAL_COLORS the colour table holds 16-bit indices
// into palette. Null for a bad, truncated or unsupported DIB. withAlpha
// keeps the fourth byte of 32-bit pixels as premultiplied alpha.
QImage image(const ByteReader& info, const ByteReader& bits, int usage, const QList<QRgb>& palette,
             bool withAlpha = false);

// The same for a DIB whose bits follow its BITMAPINFO directly.
QImage packedImage(const ByteReader& dib, int usage, const QList<QRgb>& palette, bool withAlpha = false);

// Bytes of a packed DIB's BITMAPINFO (header, masks and colour table) at
// the given colour usage; 0 when the header is bad.
std::size_t infoSize(const ByteReader& dib, int usage);

// True when the DIB's rows are stored bottom row first (a positive height
// or a core header).
bool bottomUp(const ByteReader& info);

// A source rectangle of a DIB record in the picture's rows counted from the
// top: records count the rows of a bottom-up DIB from its bottom row.
QRectF sourceRect(const QRectF& recorded, int imageHeight, bool bottomUp);

}  // namespace dibrecord
