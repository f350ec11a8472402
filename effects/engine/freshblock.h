#pragma once
// New large picture blocks with fewer page faults: the kernel is asked for
// huge pages over a block before its pixels are first written.

#include "platform/globalmem.h"

namespace isp {

// Advises huge pages for the untouched interior of a block of 4 MiB or
// more; harmless for smaller blocks.
void adviseHugePages(GlobalHandle h);
// The same bytes in a new block (advised before the copy); null for a bad
// handle or no memory.
GlobalHandle copyForWriting(GlobalHandle h);

}  // namespace isp
