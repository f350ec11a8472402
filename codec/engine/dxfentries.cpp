// The DXF entries of the module.

#include <vector>

#include "dxfcodec.h"
#include "entryframe.h"

short readdxftoddb(const char* file, int width, int height, GlobalHandle* bitmap, PaletteHandle* palette,
                   void* sender, ProgressCallback cb, int)
{
    if (palette)
        *palette = nullptr;  // the bitmap has 24 bits and no colour table
    DecodeRequest request(0, 0, cb, sender);
    std::vector<std::uint8_t> bytes;
    return entryframe::deliver(bitmap, request, [&]() -> GlobalHandle {
        if (!filebytes::read(file, bytes))
            return nullptr;
        return dxfcodec::render(ByteSpan{bytes.data(), bytes.size()}, width, height, request);
    });
}

short getdxfinfo(const char* file, int* width, int* height, short* bits)
{
    try {
        std::vector<std::uint8_t> bytes;
        int w = 0, h = 0;
        if (!filebytes::read(file, bytes) || !dxfcodec::ownSize(ByteSpan{bytes.data(), bytes.size()}, w, h))
            return 0;
        if (width)
            *width = w;
        if (height)
            *height = h;
        if (bits)
            *bits = 24;
        return 1;
    } catch (...) {
        return 0;
    }
}
