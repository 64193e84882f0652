// Desktop and Start-menu shortcuts, and the screen saver.
#include "steps/steps.h"

int AddDesktopShortcut(HWND, const char *, const char *)
{
    return 0;
}

int AddStartMenuShortcut(HWND, const char *, const char *)
{
    return 0;
}

int EnableScreenSaver(HWND, const char *, const char *)
{
    return 0;
}
