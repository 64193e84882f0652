// The product's profile file under the user's application-data folder: its folder, the migration of
// an older copy from the Windows folder, the install folder it remembers, and the items an install writes.
#include <stdio.h>
#include <string.h>

#include "paths/paths.h"
#include "shell/config_lists.h"
#include "shell/shell.h"

static int FileExists(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int PrepareProfileFolder(HWND window)
{
    char folder[MAX_PATH];
    ExpandMacrosInto(window, "%%CONFIGFOLDER%%", folder, sizeof folder);
    size_t length = strlen(folder);
    if (length > 0 && folder[length - 1] == '\\')
        folder[length - 1] = '\0';
    CreateDirectoryA(folder, NULL);  // one level; an existing folder is fine
    return 1;
}

static int LastWriteTime(const char *path, FILETIME *time, HANDLE *file)
{
    *file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    return *file != INVALID_HANDLE_VALUE && GetFileTime(*file, NULL, NULL, time);
}

int MigrateProfileFile(HWND window)
{
    char oldPath[MAX_PATH], newPath[MAX_PATH];
    ExpandMacrosInto(window, ProductConfig.OldProfileFile, oldPath, sizeof oldPath);
    ExpandMacrosInto(window, ProductConfig.ProfileFile, newPath, sizeof newPath);

    if (!FileExists(oldPath))
        return 0;
    if (!FileExists(newPath)) {
        CopyFileA(oldPath, newPath, FALSE);
        return 1;
    }

    HANDLE oldFile = INVALID_HANDLE_VALUE, newFile = INVALID_HANDLE_VALUE;
    FILETIME oldTime, newTime;
    int readable = LastWriteTime(oldPath, &oldTime, &oldFile) && LastWriteTime(newPath, &newTime, &newFile);
    if (readable && CompareFileTime(&oldTime, &newTime) > 0)
        CopyFileA(oldPath, newPath, FALSE);
    if (oldFile != INVALID_HANDLE_VALUE)
        CloseHandle(oldFile);
    if (newFile != INVALID_HANDLE_VALUE)
        CloseHandle(newFile);
    return readable;
}

int LoadInstallFolderFromProfile(HWND window, int controlId, const char *profilePath, const char *section,
                                 const char *key)
{
    char value[MAX_PATH] = "";
    DWORD length = GetPrivateProfileStringA(section, key, "", value, MAX_PATH, profilePath);
    if (length == 0)
        return 0;
    if (value[length - 1] == '\\')
        value[length - 1] = '\0';  // C:\Games\Veltmoor\ is shown as C:\Games\Veltmoor, C:\ as C:
    SetDlgItemTextA(window, controlId, value);
    return 1;
}

int WriteProfileItems(HWND window, const char *itemList)
{
    char profile[MAX_PATH];
    ExpandMacrosInto(window, ProductConfig.ProfileFile, profile, sizeof profile);
    int allWritten = 1;
    const char *rest = itemList;
    while (*rest != '\0') {
        char item[LIST_ITEM_CAPACITY + 1];
        rest = NextListItem(rest, item, sizeof item);
        char *equals = strchr(item, '=');
        if (equals == NULL)
            continue;
        *equals = '\0';
        const char *valueText = equals + 1;
        while (*valueText == '=')
            ++valueText;
        char key[MAX_PATH], value[MAX_PATH];
        ExpandMacrosInto(window, item, key, sizeof key);
        ExpandMacrosInto(window, valueText, value, sizeof value);
        if (!WritePrivateProfileStringA(ProductConfig.ProfileSection, key, value, profile))
            allWritten = 0;
    }
    return allWritten;
}
