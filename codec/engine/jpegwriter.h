#pragma once
// JPEG encoding through libjpeg: baseline, 4:2:0 colour or 8-bit grey.

#include <cstdint>
#include <vector>

#include "decoderequest.h"
#include "dibcore/dibview.h"

namespace jpegwriter {

// quality 1..100 and smoothing 0..100 (values outside are clamped). The
// picture is written grey when grey is set or its colour table holds only
// greys, in colour otherwise. Progress runs from 0 to 80.
bool encode(const dibcore::DibView& dib, int quality, int smoothing, bool grey, DecodeRequest& request,
            std::vector<std::uint8_t>& out);

}  // namespace jpegwriter
