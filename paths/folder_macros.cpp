// Folder macros: the one place where the installer asks the system where its folders are, and the
// one place where the folder chosen on the wizard's folder page enters a path.
#include <stdio.h>
#include <string.h>

#include <shlobj.h>

#include "paths/paths.h"
#include "shell/shell.h"

static char ExpandedText[MACRO_RESULT_CAPACITY + 1];

enum MacroId { MACRO_PROGRAMFILES, MACRO_WINDOWSFOLDER, MACRO_CONFIGFOLDER, MACRO_DOCUMENTFOLDER,
               MACRO_SYSTEMFOLDER, MACRO_INSTALLPATH, MACRO_WINDOWSVERSION, MACRO_UNKNOWN };

static const char *const kMacroNames[] = {"PROGRAMFILES", "WINDOWSFOLDER", "CONFIGFOLDER", "DOCUMENTFOLDER",
                                          "SYSTEMFOLDER", "INSTALLPATH", "WINDOWSVERSION"};

// Folder values end in exactly one backslash; an empty value stays empty.
void AddTrailingSeparator(char *folder, size_t capacity)
{
    size_t length = strlen(folder);
    if (length > 0 && folder[length - 1] != '\\' && length + 1 < capacity) {
        folder[length] = '\\';
        folder[length + 1] = '\0';
    }
}

static int SpecialFolderPath(HWND owner, int folderId, char *path)
{
    LPITEMIDLIST items = NULL;
    int found = SUCCEEDED(SHGetSpecialFolderLocation(owner, folderId, &items)) && items != NULL &&
                SHGetPathFromIDListA(items, path);
    if (items != NULL)
        CoTaskMemFree(items);
    if (!found)
        path[0] = '\0';
    return found;
}

static void WindowsVersionText(char *value, size_t capacity)
{
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL known = GetVersionExA(&version);
#pragma GCC diagnostic pop
    if (!known)
        return;
    snprintf(value, capacity, "%d.%d BUILD:%d PLATFORM:%d %s", (int)version.dwMajorVersion,
             (int)version.dwMinorVersion, (int)version.dwBuildNumber, (int)version.dwPlatformId,
             version.szCSDVersion);
}

static void MacroValue(HWND window, MacroId macro, char *value, size_t capacity)
{
    value[0] = '\0';
    switch (macro) {
    case MACRO_PROGRAMFILES:
        if (!SpecialFolderPath(BackdropWindow, CSIDL_PROGRAM_FILES, value))
            snprintf(value, capacity, "C:\\Program Files\\");
        AddTrailingSeparator(value, capacity);
        break;
    case MACRO_WINDOWSFOLDER:
        if (GetWindowsDirectoryA(value, MAX_PATH) == 0)
            value[0] = '\0';
        AddTrailingSeparator(value, capacity);
        break;
    case MACRO_CONFIGFOLDER:
        if (SpecialFolderPath(NULL, CSIDL_APPDATA, value)) {
            AddTrailingSeparator(value, capacity);
            size_t length = strlen(value);
            snprintf(value + length, capacity - length, "%s", ProductConfig.ConfigSubfolder);
            AddTrailingSeparator(value, capacity);
        }
        break;
    case MACRO_DOCUMENTFOLDER:
        SpecialFolderPath(NULL, CSIDL_PERSONAL, value);
        AddTrailingSeparator(value, capacity);
        break;
    case MACRO_SYSTEMFOLDER:
        if (GetSystemDirectoryA(value, MAX_PATH) == 0)
            value[0] = '\0';
        AddTrailingSeparator(value, capacity);
        break;
    case MACRO_INSTALLPATH:
        if (GetDlgItemTextA(window, IDC_INSTALL_FOLDER, value, MAX_PATH) == 0)
            value[0] = '\0';
        AddTrailingSeparator(value, capacity);
        break;
    case MACRO_WINDOWSVERSION:
        WindowsVersionText(value, capacity);
        break;
    case MACRO_UNKNOWN:
        break;
    }
}

static MacroId FindMacro(const char *name, size_t length)
{
    for (int i = 0; i < MACRO_UNKNOWN; ++i)
        if (strlen(kMacroNames[i]) == length && _strnicmp(kMacroNames[i], name, length) == 0)
            return (MacroId)i;
    return MACRO_UNKNOWN;
}

const char *ExpandMacros(HWND window, const char *text)
{
    size_t count = 0;
    const char *p = text;
    while (*p != '\0') {
        if (p[0] == '%' && p[1] == '%') {
            const char *name = p + 2;
            const char *closing = strstr(name, "%%");
            if (closing == NULL) {
                p += 2;  // an unclosed opening vanishes; the rest is plain text
                continue;
            }
            p = closing + 2;
            MacroId macro = FindMacro(name, (size_t)(closing - name));
            if (macro == MACRO_UNKNOWN)
                continue;
            char value[MACRO_RESULT_CAPACITY + 1];
            MacroValue(window, macro, value, sizeof value);
            // A value that would pass the limit is cut there, like plain text.
            size_t length = strlen(value);
            if (length > MACRO_RESULT_CAPACITY - count)
                length = MACRO_RESULT_CAPACITY - count;
            memcpy(ExpandedText + count, value, length);
            count += length;
            continue;
        }
        if (count < MACRO_RESULT_CAPACITY)
            ExpandedText[count++] = *p;
        ++p;
    }
    ExpandedText[count] = '\0';
    return ExpandedText;
}

void ExpandMacrosInto(HWND window, const char *text, char *out, size_t capacity)
{
    snprintf(out, capacity, "%s", ExpandMacros(window, text));
}
