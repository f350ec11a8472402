#pragma once

namespace localzone {

// Call first in main, before any thread starts: the C library then reads
// the system's time zone once instead of checking its file on every
// local-time conversion. A TZ the user set is kept.
void readSystemZoneOnce();

}  // namespace localzone
