#pragma once
// The device-independent preview of an EPSI file: "%%BeginPreview: width
// height depth lines", then comment lines of hexadecimal rows (top row
// first, each row whole bytes; 0 is white, the highest value black) up to
// "%%EndPreview".

#include "bytespan.h"
#include "platform/globalmem.h"

namespace epsipreview {

// The preview as a 1-, 4- or 8-bit DIB with a grey colour table; null when
// there is none or it is damaged (bad header, too few rows, bad digits).
GlobalHandle decode(ByteSpan postscript);

}  // namespace epsipreview
