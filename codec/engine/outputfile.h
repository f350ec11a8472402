#pragma once
// Writing a file so that a failure never leaves a half-written file: the
// bytes go to a temporary file in the same folder, which takes the target's
// place only when complete.

#include <cstdint>
#include <vector>

#include "decoderequest.h"

namespace outputfile {

// Writes bytes as the file at path (a symbolic link is followed: the file
// it names is replaced). Progress runs from fromPercent to 100; the last
// report comes before the temporary file takes the target's place, so a
// stop at any report leaves the target as it was. An existing target keeps
// its permission bits; a new file gets 0666 less the umask. False on any
// failure or stop, with no temporary file left behind.
bool replace(const char* path, const std::vector<std::uint8_t>& bytes, DecodeRequest& request, int fromPercent);

// Writes all bytes to a file descriptor, again after an interruption; false
// when the descriptor takes no more.
bool writeAll(int fd, const std::uint8_t* data, std::size_t size);

}  // namespace outputfile
