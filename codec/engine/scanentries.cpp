// Scanning: not built yet, the entries report failure.

#include "crde2001.h"

short selectsource(void*)
{
    return -1;
}

short aquiredibimage(void*, short, short, GlobalHandle* dib, void*, ProgressCallback, int)
{
    if (dib)
        *dib = nullptr;
    return -1;
}
