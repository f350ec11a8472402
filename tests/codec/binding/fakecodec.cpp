// A stand-in codec module for the binding's tests: a few entries with known
// answers, some missing, one that throws, and counters the tests read back.

#include "engine/crde2001.h"

#include "dibcore/dibcore.h"

#include <cstring>
#include <stdexcept>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

int initCalls = 0;
int imageCalls = 0;
char lastName[1024] = {};
int lastPage = -1;

void remember(const char* file)
{
    ++imageCalls;
    std::strncpy(lastName, file, sizeof lastName - 1);
}

GlobalHandle smallDib(int bits)
{
    GlobalHandle h = dibcore::allocDib(2, 2, bits, dibcore::greyPalette(bits == 1 ? 2 : 16));
    dibcore::DibView v = dibcore::lockView(h);
    std::memset(v.mutableRow(0), 0x11, v.rowStride());
    globalmem::unlock(h);
    return h;
}

GlobalHandle rgbOf(GlobalHandle dib)
{
    dibcore::DibView v = dibcore::lockView(dib);
    GlobalHandle out = v.valid() ? dibcore::toRgb24(v) : nullptr;
    globalmem::unlock(dib);
    return out;
}

}  // namespace

FAKE_EXPORT int fake_init_calls() { return initCalls; }
FAKE_EXPORT int fake_image_calls() { return imageCalls; }
FAKE_EXPORT const char* fake_last_name() { return lastName; }
FAKE_EXPORT int fake_last_page() { return lastPage; }

FAKE_EXPORT short InitDll(void*)
{
    ++initCalls;
    return 1;
}

FAKE_EXPORT short rdjpgfiledib(const char* file, short, short, short, GlobalHandle*, PaletteHandle, void*,
                               ProgressCallback, int)
{
    remember(file);
    return 0;
}

FAKE_EXPORT short rdpngfiledib(const char* file, short bits, short, GlobalHandle* dib, PaletteHandle, void*,
                               ProgressCallback, int)
{
    remember(file);
    *dib = smallDib(bits == 0 ? 24 : bits);
    return 1;
}

// Success without a picture.
FAKE_EXPORT short rdpcxfiledib(const char* file, short, short, GlobalHandle* dib, PaletteHandle, void*,
                               ProgressCallback, int)
{
    remember(file);
    *dib = nullptr;
    return 1;
}

// Failure that still hands out a block.
FAKE_EXPORT short readtgafiledib(const char* file, short, short, GlobalHandle* dib, PaletteHandle, void*,
                                 ProgressCallback, int)
{
    remember(file);
    *dib = smallDib(24);
    return 0;
}

FAKE_EXPORT short rdgiffiledib(const char* file, short, short, GlobalHandle*, PaletteHandle, void*,
                               ProgressCallback, int)
{
    remember(file);
    throw std::runtime_error("broken inside");
}

FAKE_EXPORT short readtiffiledib(const char* file, short bits, short, short page, GlobalHandle* dib, PaletteHandle,
                                 void*, ProgressCallback, int)
{
    remember(file);
    lastPage = page;
    *dib = smallDib(bits == 0 ? 8 : bits);
    return 1;
}

FAKE_EXPORT short rdpngstreamdib(const void*, int64_t, short, short, GlobalHandle* dib, void*, ProgressCallback, int)
{
    ++imageCalls;
    *dib = smallDib(24);
    return 1;
}

FAKE_EXPORT short rdjpgstreamdib(const void*, int64_t, short, short, short, GlobalHandle*, void*, ProgressCallback,
                                 int)
{
    ++imageCalls;
    return 0;
}

FAKE_EXPORT short wrpngfiledib(const char* file, GlobalHandle, short, short, void*, ProgressCallback, int)
{
    remember(file);
    return 1;
}

FAKE_EXPORT short writetiffiledibpage(const char* file, GlobalHandle, short, short, short page, void*,
                                      ProgressCallback, int)
{
    remember(file);
    lastPage = page;
    return 1;
}

FAKE_EXPORT short deletepage(const char* file, short page, void*, ProgressCallback, int)
{
    remember(file);
    lastPage = page;
    return 1;
}

FAKE_EXPORT short fileinfo(const char* file, char* type, int typeSize, int* width, int* height, short* bits,
                           short* planes, int* colours, char* compression, int compressionSize)
{
    remember(file);
    std::snprintf(type, std::size_t(typeSize), "%s", "FAKE TYPE");
    std::snprintf(compression, std::size_t(compressionSize), "%s", "Fake Comp");
    *width = 7;
    *height = 9;
    *bits = 8;
    *planes = 1;
    *colours = 256;
    return 1;
}

FAKE_EXPORT short streaminfo(const void*, int64_t, char* type, int typeSize, char*, int, int*, short*, short*, int*,
                             int*)
{
    ++imageCalls;
    std::snprintf(type, std::size_t(typeSize), "%s", "STREAM");
    return 1;
}

// Three pages; page 0 answers 0, which counts as success.
FAKE_EXPORT short getinfo(const char* file, short page, int* width, int* height, short* bits, short* pages,
                          short* compression)
{
    remember(file);
    if (page < 0 || page > 2)
        return -1;
    *width = 5 + page;
    *height = 4;
    *bits = 1;
    *pages = 3;
    *compression = short(-32763);
    return page == 0 ? 0 : 1;
}

FAKE_EXPORT short getinfostream(const void*, int64_t, short, int*, int*, short*, short*, short*)
{
    return -2;
}

FAKE_EXPORT short selectsource(void*)
{
    return 0;
}

// Reports progress once (the tests try a second scan from there).
FAKE_EXPORT short aquiredibimage(void*, short, short, GlobalHandle* dib, void* sender, ProgressCallback cb, int)
{
    if (cb && cb(50, sender) == 0)
        return -1;
    *dib = smallDib(24);
    return 1;
}

FAKE_EXPORT GlobalHandle DIB16To24(GlobalHandle dib) { return rgbOf(dib); }
FAKE_EXPORT GlobalHandle DIB32To24(GlobalHandle dib) { return rgbOf(dib); }

FAKE_EXPORT short DibtoDdb(const void* dib, int64_t size, PaletteHandle* palette, GlobalHandle* bitmap)
{
    dibcore::DibView v(dib, std::size_t(size));
    if (!v.valid())
        return 0;
    *bitmap = v.isRle() ? dibcore::decodeRle(v) : dibcore::toRgb24(v);
    std::vector<dibcore::RgbQuad> colors(v.colorTable(), v.colorTable() + v.colorCount());
    *palette = colors.empty() ? nullptr : dibcore::makeLogPalette(colors);
    return *bitmap ? 1 : 0;
}
