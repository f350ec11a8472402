#pragma once
// Renders an EPS file's PostScript section through Ghostscript's library at
// one pixel per point, the bounding box's lower-left corner at the origin.
//
// PostScript is a program: the interpreter runs in a child process with
// -dSAFER, no input but the section, a memory limit (Ghostscript's -K and,
// without sanitizers, an address-space limit) and a CPU limit. The child
// writes the page as raw PPM into a pipe; the caller's process reads it,
// reports progress and kills the child on a stop answer or when the time
// limit passes. The library is loaded at run time, so a missing library is
// a failure like any other.

#include <functional>

#include "bytespan.h"
#include "epsboundingbox.h"
#include "platform/globalmem.h"

namespace epsrender {

enum class Outcome { Rendered, Failed, Stopped };

// Seconds a rendering may take: 30, or GLIMRA_EPS_SECONDS (1..600) when set.
int timeLimitSeconds();

// Asks the caller to go on at a percentage: false stops. It is asked about
// ten times a second while the interpreter runs, even when the percentage
// stays the same.
using Ask = std::function<bool(int percent)>;

// A 24-bit DIB of box.width x box.height in *dib on Rendered. The
// percentages run from 5 to 90.
Outcome render(ByteSpan postscript, const EpsBox& box, const Ask& ask, GlobalHandle* dib);

}  // namespace epsrender
