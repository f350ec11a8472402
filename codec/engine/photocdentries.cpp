// Photo CD reading: not built yet, the entries report failure.

#include "crde2001.h"

short readpcdfiledib(const char*, short, short, short, GlobalHandle* dib, PaletteHandle, void*, ProgressCallback,
                     int)
{
    if (dib)
        *dib = nullptr;
    return 0;
}

short readpcdfiledibstream(const void*, int64_t, short, short, short, GlobalHandle* dib, void*, ProgressCallback,
                           int)
{
    if (dib)
        *dib = nullptr;
    return 0;
}
