#pragma once
// DXF drawings from bytes: the rendered picture and its own size.

#include "bytespan.h"
#include "decoderequest.h"

namespace dxfcodec {

// The drawing rendered at width x height (0, 0: its own size) as a 24-bit
// DIB; null for a refused file, an empty drawing or a stop.
GlobalHandle render(ByteSpan bytes, int width, int height, DecodeRequest& request);

// The own size of the drawing; false for a refused file or an empty drawing.
bool ownSize(ByteSpan bytes, int& width, int& height);

}  // namespace dxfcodec
