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
