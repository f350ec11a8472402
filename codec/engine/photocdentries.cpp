// The Photo CD entries of the module.

#include <vector>

#include "entryframe.h"
#include "photocdcodec.h"

short readpcdfiledib(const char* file, short bits, short dither, short pcdMode, GlobalHandle* dib, PaletteHandle,
                     void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    std::vector<std::uint8_t> bytes;
    return entryframe::deliver(dib, request, [&]() -> GlobalHandle {
        if (!filebytes::read(file, bytes))
            return nullptr;
        return photocdcodec::decode(ByteSpan{bytes.data(), bytes.size()}, pcdMode, request);
    });
}

short readpcdfiledibstream(const void* data, int64_t size, short bits, short dither, short pcdMode,
                           GlobalHandle* dib, void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return entryframe::deliver(dib, request, [&]() -> GlobalHandle {
        ByteSpan span;
        if (!entryframe::spanOf(data, size, span))
            return nullptr;
        return photocdcodec::decode(span, pcdMode, request);
    });
}
