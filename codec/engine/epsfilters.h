#pragma once
// Encoders for the PostScript Level 2 filters the EPS writer uses: LZW (as
// /LZWDecode reads it with EarlyChange 1: codes of 9 to 12 bits, most
// significant bit first, ClearTable 256, EOD 257) and ASCII85.

#include <cstdint>
#include <string>
#include <vector>

namespace epsfilters {

std::vector<std::uint8_t> lzw(const std::vector<std::uint8_t>& data);

// ASCII85 text ending in "~>", in lines of about 64 characters; no line
// starts with '%', so no line reads as a comment.
std::string ascii85(const std::vector<std::uint8_t>& data);

}  // namespace epsfilters
