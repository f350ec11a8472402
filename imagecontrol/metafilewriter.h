#pragma once
// Pictures as metafiles: one stretched-DIB record that draws the picture
// over the metafile's whole frame.
//
// Enhanced metafile (MS-EMF): header, EMR_STRETCHDIBITS, EMR_EOF; the frame
// is the picture's size in pixels at 96 dots per inch.
// Windows metafile (MS-WMF) with the placeable header: window origin and
// extent, META_STRETCHDIB, end record; the extent is the picture's size
// x 0.84675, rounded, at 81 units per inch, so it shows at about its own
// size. Sizes must fit 16-bit coordinates.

#include "platform/globalmem.h"

#include <QByteArray>
#include <QSize>

namespace metafilewriter {

// The extent of a Windows metafile made from a picture of this size.
QSize windowsMetafileExtent(QSize picture);

// The metafile bytes for a packed DIB; empty for a bad DIB or a picture
// too large for the format.
QByteArray enhancedMetafile(GlobalHandle dib);
QByteArray windowsMetafile(GlobalHandle dib);

}  // namespace metafilewriter
