#pragma once
// Writes a picture as a placeable Windows Metafile of one stretched-DIB
// record: the picture fills size logical units at 96 units per inch.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>

namespace wmfwriter {

// bits: 1, 4 or 8 keep the picture's palette (or palette when given), any
// other value writes 24 bits. Empty when the picture or size does not fit
// the format's 16-bit coordinates or the memory is not there.
QByteArray write(const QImage& picture, int bits, const QList<QRgb>& palette, QSize size);

}  // namespace wmfwriter
