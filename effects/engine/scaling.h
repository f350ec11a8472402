#pragma once
// Pictures of another size: resizing, the 2 x 2 tiling and the grey
// miniatures.

#include "isp2000.h"
#include "progressmeter.h"

namespace isp {

// The modes of ScaleToGray, in the order the programs number them.
enum GrayMode {
    kGrayNone,
    kGray16Ink8,
    kGray16Ink12,
    kGray16Ink20,
    kGray16Ink24,
    kGray256Ink24,
    kGrayAnti16,
    kGrayAnti256,
};

// The picture at width x height: 24- and 32-bit pictures keep their depth,
// others come back with 24 bits. Null for bad input.
GlobalHandle scaleDib(GlobalHandle dib, int width, int height, ProgressMeter& meter);
// The picture at half size, four times, in a picture of the same size.
GlobalHandle tileDib(GlobalHandle dib, ProgressMeter& meter);
// Any uncompressed or RLE DIB as a grey picture of width x height.
GlobalHandle scaleToGray(GlobalHandle dib, int mode, int width, int height);

}  // namespace isp
