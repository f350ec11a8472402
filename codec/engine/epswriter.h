#pragma once
// EPS writing (our own, no interpreter): the picture as one PostScript
// Level 2 image whose bounding box is its size in points, optionally behind
// a DOS EPS binary header with a TIFF preview.

#include <cstdint>
#include <string>
#include <vector>

#include "decoderequest.h"
#include "dibcore/dibview.h"

namespace epswriter {

struct Options {
    int level = 0;        // 0 CMYK, 1 RGB
    int preview = 0;      // 0 none, 1 4-bit grey, 2 1-bit, 3 8-bit colour at 1:4, 4 8-bit colour at 1:1
    int compression = 0;  // 0 none, 1 LZW
    bool border = false;  // a one-point black frame on the picture's edge
    bool grey = false;    // grey image data (DeviceGray)
    std::string title;    // %%Title
};

// False for options out of range.
bool validOptions(const Options& options);
// The whole file. Progress runs from 0 to 80.
bool encode(const dibcore::DibView& picture, const Options& options, DecodeRequest& request,
            std::vector<std::uint8_t>& out);

}  // namespace epswriter
