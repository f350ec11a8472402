#pragma once
// The frame every decoding entry shares: checks, progress start, exception
// shield and depth conversion of the result.

#include <cstdint>
#include <vector>

#include "bytespan.h"
#include "decodefailure.h"
#include "decoderequest.h"
#include "pictureformat.h"

namespace entryframe {

// A caller's buffer as a span; false for null data or a size out of range.
bool spanOf(const void* data, std::int64_t size, ByteSpan& out);

// Runs decode (returning a natural-depth DIB or null) and stores the result
// at the requested depth in *dib. 1 on success, 0 on failure.
template <typename Decode>
short deliver(GlobalHandle* dib, DecodeRequest& request, Decode decode)
{
    decodefailure::clear();
    if (!dib)
        return 0;
    *dib = nullptr;
    if (!request.progress(0))
        return 0;
    GlobalHandle result = nullptr;
    try {
        result = request.finish(decode());
    } catch (...) {
        result = nullptr;
    }
    if (!result)
        return 0;
    *dib = result;
    return 1;
}

// A file entry: reads the file, checks that it holds the expected format and
// decodes it with decode(ByteSpan).
template <typename Decode>
short deliverFile(const char* file, PictureFormat expected, GlobalHandle* dib, DecodeRequest& request,
                  Decode decode)
{
    std::vector<std::uint8_t> bytes;
    return deliver(dib, request, [&]() -> GlobalHandle {
        if (!filebytes::read(file, bytes))
            return nullptr;
        const ByteSpan span{bytes.data(), bytes.size()};
        if (pictureformat::detect(span, expected == PictureFormat::Tga) != expected)
            return nullptr;
        return decode(span);
    });
}

// A memory entry: like deliverFile over the caller's buffer.
template <typename Decode>
short deliverStream(const void* data, std::int64_t size, PictureFormat expected, GlobalHandle* dib,
                    DecodeRequest& request, Decode decode)
{
    return deliver(dib, request, [&]() -> GlobalHandle {
        ByteSpan span;
        if (!spanOf(data, size, span) || pictureformat::detect(span, expected == PictureFormat::Tga) != expected)
            return nullptr;
        return decode(span);
    });
}

}  // namespace entryframe
