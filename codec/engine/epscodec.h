#pragma once
// EPS reading: the PostScript section rendered through Ghostscript at the
// bounding box's size (one pixel a point); when that fails, the TIFF
// preview of a DOS EPS binary file, then an EPSI preview. WMF previews are
// not read.

#include "bytespan.h"
#include "decoderequest.h"
#include "epsrender.h"
#include "pictureinfo.h"

namespace epscodec {

// True when the bytes are a plain or DOS binary EPS file.
bool recognised(ByteSpan bytes);
// The picture at its natural depth (24 bits when rendered; a preview keeps
// its own); null on failure or a stop (ask answering false).
GlobalHandle decode(ByteSpan bytes, DecodeRequest& request, const epsrender::Ask& ask);
// Type "EPS", the bounding box's size, 24 bits, compression "None".
bool info(ByteSpan bytes, PictureInfo& out);

}  // namespace epscodec
