// DXF drawings: not built yet, the entries report failure.

#include "crde2001.h"

short readdxftoddb(const char*, int, int, GlobalHandle* bitmap, PaletteHandle* palette, void*, ProgressCallback,
                   int)
{
    if (bitmap)
        *bitmap = nullptr;
    if (palette)
        *palette = nullptr;
    return 0;
}

short getdxfinfo(const char*, int*, int*, short*)
{
    return 0;
}
