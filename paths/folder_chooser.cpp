// The install-folder chooser: a tree of the local drives and their folders.
#include <stdio.h>

#include "paths/paths.h"
#include "shell/shell.h"

int FolderChooser(HWND, char *)
{
    return 0;  // not built yet: Browse leaves the folder unchanged
}

int NewFolderNameDialog(HWND, char *)
{
    return 0;
}

int DriveIsOffline(int driveIndex)
{
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    char probe[16];
    snprintf(probe, sizeof probe, "%c:\\TEMP.DAT", 'A' + driveIndex);
    HANDLE file = CreateFileA(probe, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    SetErrorMode(previousMode);
    return error == ERROR_PATH_NOT_FOUND || error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_DRIVE ||
           error == ERROR_NOT_READY;
}
