// The common controls library, loaded from the system folder only when the chooser needs it. It is
// not imported: imported libraries are resolved before the installer runs a line of its own, and a
// library that is not one of the system's known ones would then be taken from beside the installer
// first (a DLL planted next to a downloaded installer).
#include <stdio.h>

#include "paths/paths.h"

template <typename Function>
static Function Entry(HMODULE library, const char *name)
{
    // Through the generic function type: the entry's real type is the caller's to know.
    return (Function)(void (*)(void))GetProcAddress(library, name);
}

int LoadCommonControls(CommonControls *controls)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH - 16)
        return 0;
    snprintf(path + length, sizeof path - length, "\\comctl32.dll");
    controls->library = LoadLibraryA(path);
    if (controls->library == NULL)
        return 0;
    controls->InitCommonControlsEx = Entry<decltype(controls->InitCommonControlsEx)>(controls->library, "InitCommonControlsEx");
    controls->ImageList_Create = Entry<decltype(controls->ImageList_Create)>(controls->library, "ImageList_Create");
    controls->ImageList_Add = Entry<decltype(controls->ImageList_Add)>(controls->library, "ImageList_Add");
    controls->ImageList_GetImageCount =
        Entry<decltype(controls->ImageList_GetImageCount)>(controls->library, "ImageList_GetImageCount");
    controls->ImageList_Destroy = Entry<decltype(controls->ImageList_Destroy)>(controls->library, "ImageList_Destroy");
    if (controls->InitCommonControlsEx == NULL || controls->ImageList_Create == NULL || controls->ImageList_Add == NULL ||
        controls->ImageList_GetImageCount == NULL || controls->ImageList_Destroy == NULL) {
        FreeCommonControls(controls);
        return 0;
    }
    return 1;
}

void FreeCommonControls(CommonControls *controls)
{
    if (controls->library != NULL)
        FreeLibrary(controls->library);
    *controls = CommonControls();
}
