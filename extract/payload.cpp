// Placeholder until the archive extraction lands: the run stops here.
#include "extract/extract.h"

int InstallPayload(int, const char *, HWND)
{
    return 0;
}
