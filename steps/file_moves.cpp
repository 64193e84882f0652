// File moves: after unpacking, some files go to their final places.
#include "steps/steps.h"

int MoveFiles(HWND, const char *)
{
    return 1;
}

int MoveMatchingFiles(HWND, const char *, const char *)
{
    return 1;
}
