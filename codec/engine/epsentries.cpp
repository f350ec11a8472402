// EPS reading and writing: not built yet, the entries report failure.

#include "crde2001.h"

short readepsfiledib(const char*, short, short, GlobalHandle* dib, PaletteHandle, void*, ProgressCallback, int)
{
    if (dib)
        *dib = nullptr;
    return 0;
}

short readepsfiledibstream(const void*, int64_t, short, short, GlobalHandle* dib, void*, ProgressCallback, int)
{
    if (dib)
        *dib = nullptr;
    return 0;
}

short writeepsfiledib(const char*, GlobalHandle, short, short, short, short, short, short, void*,
                      ProgressCallback, int)
{
    return 0;
}
