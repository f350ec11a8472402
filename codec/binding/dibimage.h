#pragma once
// Pixel copies between packed DIBs and QImage.

#include "piclibtypes.h"
#include "platform/globalmem.h"

#include <QImage>
#include <QList>
#include <cstddef>

namespace dibcore {
class DibView;
}

namespace dibimage {

// The colour table of the DIB at data (size bytes); empty for a bad DIB.
QList<QRgb> colorTable(const void* data, std::size_t size);

// The pixels of an uncompressed DIB at its own depth, in the Qt format of
// the matching pixel format (returned through format). 16- and 32-bit DIBs
// with masks other than 5-5-5, 5-6-5 and 8-8-8 come out as 24 bits. A null
// image for a bad or compressed DIB, or when the memory is not there.
QImage toImage(const dibcore::DibView& dib, TPixelFormat* format);

// A new bottom-up DIB of bits 1, 4, 8, 16, 24 or 32 holding the image. For
// 1, 4 and 8 bits the image's own indices are kept when it is indexed, has
// room and no palette is given; otherwise the colours are mapped to the
// palette, or to a palette chosen for the picture when none is given.
// Null on failure.
GlobalHandle fromImage(const QImage& image, int bits, const QList<QRgb>& palette);

}  // namespace dibimage
