#pragma once
// The packed DIB the metafile writers embed: the picture at 1, 4 or 8 bits
// with its palette, otherwise at 24 bits.

#include <QByteArray>
#include <QImage>
#include <QList>

namespace metafiledib {

// Empty when the picture is empty or cannot be converted.
QByteArray packed(const QImage& picture, int bits, const QList<QRgb>& palette);
// Bytes of the DIB's BITMAPINFO (header and colour table).
int infoBytes(const QByteArray& dib);

}  // namespace metafiledib
