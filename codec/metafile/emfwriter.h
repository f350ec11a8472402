#pragma once
// Writes a picture as an Enhanced Metafile of one stretched-DIB record: the
// picture fills a frame of size pixels at 96 dots per inch.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>

namespace emfwriter {

// bits as for the WMF writer. Empty when the picture or size is empty or
// too large, or the memory is not there.
QByteArray write(const QImage& picture, int bits, const QList<QRgb>& palette, QSize size);

}  // namespace emfwriter
