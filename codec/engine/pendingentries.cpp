// Entries whose work is not built yet. They are exported so that the
// binding resolves them, and they report failure: 0 (or -1 / a negative
// value where that is the failure code, a null handle for DIB results).

#include "crde2001.h"

short InitDll(void*)
{
    return 1;
}

short TInitDLL(void*)
{
    return 1;
}

// ---- annotation layer -----------------------------------------------------------

short IsAnnotation(void*)
{
    return 0;
}

short InitAnnotation(void*, void*, void*, AnnoDoneCallback, AnnoCustomDrawCallback, AnnoCustomHardDrawCallback,
                     AnnoBeforeDrawCallback, AnnoAfterDrawCallback, const char*)
{
    return 0;
}

short DestroyAnnotation(void*)
{
    return 0;
}

short DrawAnnotation(void*, double, int, int, short, short, int, int)
{
    return 0;
}

short DrawAnnotationWholeDC(void*, double, int, int, int, int, int, void*)
{
    return 0;
}

short HardDrawAnnotation(void*, GlobalHandle)
{
    return 0;
}

short MouseMon(void*, int, int, int)
{
    return 0;
}

short MenuMsg(void*, int)
{
    return 0;
}

short ClearAnnotation(void*)
{
    return 0;
}

short RubberBandOFF(void*)
{
    return 0;
}

short LoadAnnotation(void*, short, const char*)
{
    return 0;
}

short SaveAnnotation(void*, short, const char*)
{
    return 0;
}

short RemoveAnnotation(void*, short, const char*)
{
    return 0;
}

short InsertAnnotation(void*, short, const char*)
{
    return 0;
}
