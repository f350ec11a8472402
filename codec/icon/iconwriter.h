#pragma once
// Writes a picture as a one-picture icon file at the picture's own size:
// palette pictures (1, 4, 8 bits) as a DIB entry of that depth, other
// pictures up to 256 x 256 through Qt's ICO plugin (32 bits with alpha),
// larger ones as a PNG entry, whose directory bytes then say 0.

#include <QByteArray>
#include <QImage>
#include <QList>

namespace iconwriter {

// Empty when the picture is empty or cannot be converted.
QByteArray write(const QImage& picture, int bits, const QList<QRgb>& palette);

}  // namespace iconwriter
