#pragma once
// Why the last decoder or information entry on this thread failed, when it
// knows: the text the "lastfailure" entry hands out.

#include <cstdint>

#include "bytespan.h"

namespace decodefailure {

// Forgets the reason; every decoding and information entry starts with it.
void clear();
void record(const char* reason);
// The recorded reason, "" when there is none.
const char* reason();

// dibcore::fitsSource for a picture about to be allocated from source: a
// refusal of sound sizes records dibcore::kClaimTooLarge.
bool admits(std::int64_t width, std::int64_t height, int bits, ByteSpan source);
// The same rule for a working buffer of bufferBytes.
bool admitsBuffer(std::uint64_t bufferBytes, ByteSpan source);

}  // namespace decodefailure
