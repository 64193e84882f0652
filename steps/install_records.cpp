// The records an installation leaves behind: the install log, the installed-file list INSTALLD.TXT
// (the contract with the product's uninstaller) and the uninstall entry in the registry.
#include <stdio.h>
#include <string.h>
#include <time.h>

#include "paths/paths.h"
#include "shell/config_lists.h"
#include "shell/shell.h"
#include "steps/steps.h"

enum { LOG_LINE_CAPACITY = 524 };

static const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

static void InstallFolderFile(HWND wizard, const char *name, char *path, size_t capacity)
{
    ExpandMacrosInto(wizard, "%%INSTALLPATH%%", path, capacity);
    AddTrailingSeparator(path, capacity);
    size_t length = strlen(path);
    snprintf(path + length, capacity - length, "%s", name);
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
            continue;  // empty, or longer than any line this installer adds
        if (SendDlgItemMessageA(wizard, IDC_PROGRESS_LIST, LB_GETTEXT, (WPARAM)i, (LPARAM)line) > 0)
            fprintf(log, "%s\n", line);
    }
    fclose(log);
    return 1;
}

static void WriteUninstallEntry(const char *installFolder, const char *applicationName)
{
    char keyName[MAX_PATH];
    snprintf(keyName, sizeof keyName, "%s%s", kUninstallKey, applicationName);
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, (LPSTR) "", 0, KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
        return;

    char windowsFolder[MAX_PATH], folder[MAX_PATH], command[MAX_PATH * 3];
    ExpandMacrosInto(NULL, "%%WINDOWSFOLDER%%", windowsFolder, sizeof windowsFolder);
    AddTrailingSeparator(windowsFolder, sizeof windowsFolder);
    snprintf(folder, sizeof folder, "%s", installFolder);
    AddTrailingSeparator(folder, sizeof folder);
    // No quotation marks: the uninstaller takes the rest of its command line as the list's path.
    snprintf(command, sizeof command, "%s%s %s%s", windowsFolder, ProductConfig.UninstallerFile, folder,
             ProductConfig.InstalledListName);
    RegSetValueExA(key, "DisplayName", 0, REG_SZ, (const BYTE *)applicationName, (DWORD)strlen(applicationName) + 1);
    RegSetValueExA(key, "UninstallString", 0, REG_SZ, (const BYTE *)command, (DWORD)strlen(command) + 1);
    RegCloseKey(key);
}

int StartInstallRecords(HWND wizard, const char *profileFile, const char *installFolder, const char *applicationName)
{
    FILE *list = fopen(InstalledListPath(wizard), "wt");
    if (list == NULL)
        return 1;  // no list, no uninstall entry: nothing could remove them again
    time_t now = time(NULL);
    const char *created = ctime(&now);
    char folder[MAX_PATH];
    snprintf(folder, sizeof folder, "%s", installFolder);
    AddTrailingSeparator(folder, sizeof folder);
    fprintf(list, ";Installed file list -- do not edit\n");
    fprintf(list, ";%24.24s\n", created != NULL ? created : "");
    fprintf(list, " INIFILE:%s\n", profileFile);
    fprintf(list, " INSTALLPATH:%s\n", folder);
    fprintf(list, " %s\n", ProductConfig.InstalledListName);
    fprintf(list, " APPLICATION:%s\n", applicationName);
    fclose(list);
    WriteUninstallEntry(installFolder, applicationName);
    return 1;
}

int AppendInstalledRecord(HWND wizard, const char *lines)
{
    const char *path = InstalledListPath(wizard);
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return 1;  // records are kept only in a list this run has started
    FILE *list = fopen(path, "at+");
    if (list == NULL)
        return 1;
    fseek(list, 0, SEEK_END);
    fputs(lines, list);
    fclose(list);
    return 1;
}

int AppendInstalledEntry(HWND wizard, const char *text)
{
    char line[MAX_PATH * 3];
    snprintf(line, sizeof line, " %s\n", text);
    return AppendInstalledRecord(wizard, line);
}

int CreateFolders(HWND wizard, const char *folderList)
{
    const char *rest = folderList;
    // The first item is taken before the end is tested: an empty list records one empty MKDIR.
    do {
        char item[LIST_ITEM_CAPACITY + 1], folder[MAX_PATH], entry[MAX_PATH + 16];
        rest = NextListItem(rest, item, sizeof item);
        ExpandMacrosInto(wizard, item, folder, sizeof folder);
        CreateDirectoryA(folder, NULL);
        snprintf(entry, sizeof entry, "MKDIR:%s\n", folder);
        AppendInstalledEntry(wizard, entry);
    } while (*rest != '\0');
    return 1;
}
