#include "decodefailure.h"

#include <string>

#include "dibcore/dibcore.h"

namespace decodefailure {

namespace {

// each thread decodes on its own: the reason belongs to the calling thread
thread_local std::string t_reason;

}  // namespace

void clear()
{
    t_reason.clear();
}

void record(const char* reason)
{
    t_reason = reason ? reason : "";
}

const char* reason()
{
    return t_reason.c_str();
}

bool admits(std::int64_t width, std::int64_t height, int bits, ByteSpan source)
{
    if (dibcore::fitsSource(width, height, bits, source.size))
        return true;
    if (dibcore::imageBytes(width, height, bits) != 0)
        record(dibcore::kClaimTooLarge);
    return false;
}

bool admitsBuffer(std::uint64_t bufferBytes, ByteSpan source)
{
    if (bufferBytes <= dibcore::claimLimit(source.size))
        return true;
    record(dibcore::kClaimTooLarge);
    return false;
}

}  // namespace decodefailure
