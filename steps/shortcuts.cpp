// Desktop and Start-menu shortcuts: shell-link files made through the shell's link component.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "paths/paths.h"
#include "steps/steps.h"

HRESULT CreateShellLink(const char *target, const char *linkFile, const char *description)
{
    char drive[_MAX_DRIVE], folder[_MAX_DIR];
    char workingFolder[MAX_PATH];
    _splitpath(target, drive, folder, NULL, NULL);
    snprintf(workingFolder, sizeof workingFolder, "%s%s", drive, folder);
    AddTrailingSeparator(workingFolder, sizeof workingFolder);

    IShellLinkA *link = NULL;
    HRESULT status = CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&link);
    if (FAILED(status))
        return status;
    link->SetPath(target);
    link->SetDescription(description);
    link->SetWorkingDirectory(workingFolder);

    IPersistFile *file = NULL;
    status = link->QueryInterface(IID_IPersistFile, (void **)&file);
    if (SUCCEEDED(status)) {
        WCHAR widePath[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, linkFile, -1, widePath, MAX_PATH) == 0)
            status = HRESULT_FROM_WIN32(GetLastError());
        else
            status = file->Save(widePath, TRUE);
        file->Release();
    }
    link->Release();
    return status;
}

static int AddShortcut(HWND wizard, int folderId, const char *target, const char *description)
{
    CoInitialize(NULL);
    char folder[MAX_PATH] = "";
    char linkFile[MAX_PATH] = "";
    LPITEMIDLIST items = NULL;
    int haveFolder = SUCCEEDED(SHGetSpecialFolderLocation(NULL, folderId, &items)) && items != NULL &&
                     SHGetPathFromIDListA(items, folder);
    if (items != NULL)
        CoTaskMemFree(items);
    if (!haveFolder) {
        CoUninitialize();
        return 0;
    }
    size_t length = strlen(folder);
    const char *separator = length > 0 && folder[length - 1] != '\\' ? "\\" : "";
    int linkLength = snprintf(linkFile, sizeof linkFile, "%s%s%s.lnk", folder, separator, description);
    // A name that does not fit would save a link under a different name.
    HRESULT status = linkLength > 0 && (size_t)linkLength < sizeof linkFile
                         ? CreateShellLink(target, linkFile, description)
                         : E_INVALIDARG;
    CoUninitialize();
    char records[4 * MAX_PATH];
    snprintf(records, sizeof records, " LINKPATH:%s\n LINKDESCRIPTION:%s\n LINKITEMPATH:%s\n", linkFile, description,
             target);
    AppendInstalledRecord(wizard, records);
    return SUCCEEDED(status);
}

int AddDesktopShortcut(HWND wizard, const char *target, const char *description)
{
    return AddShortcut(wizard, CSIDL_DESKTOPDIRECTORY, target, description);
}

int AddStartMenuShortcut(HWND wizard, const char *target, const char *description)
{
    return AddShortcut(wizard, CSIDL_STARTMENU, target, description);
}
