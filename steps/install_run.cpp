// The install run: every installation step in its fixed order, the progress list that logs them,
// and the closing of the wizard.
#include <stdio.h>
#include <string.h>
#include <time.h>

#include "extract/extract.h"
#include "paths/paths.h"
#include "shell/shell.h"
#include "steps/steps.h"

static const char kMessageCaption[] = "Message";
static const char kInflatingMarker[] = "Inflating: ";

static const char kPathFailedText[] =
    "There has been an internal error: the installation path you selected could not be created.\n\n"
    "This may be caused by an invalid install path, or by attempting to install software when you do not "
    "have a sufficient permission level to do so. Please contact your system administrator to resolve "
    "this and run this installer again.";
static const char kMoveFailedText[] =
    "There has been an internal error: the installer could not move files.\n\n"
    "This may be caused by an invalid install path, or by attempting to install software when you do not "
    "have a sufficient permission level to do so. Please contact your system administrator to resolve "
    "this and run this installer again.";

enum { LINE_CAPACITY = 524 };

void AddProgressLine(HWND wizard, const char *text)
{
    LRESULT index = SendDlgItemMessageA(wizard, IDC_PROGRESS_LIST, LB_ADDSTRING, 0, (LPARAM)text);
    if (index >= 0)
        SendDlgItemMessageA(wizard, IDC_PROGRESS_LIST, LB_SETTOPINDEX, (WPARAM)index, 0);
    UpdateWindow(GetDlgItem(wizard, IDC_PROGRESS_LIST));
}

void ReportFailure(HWND owner, HWND wizard, const char *text)
{
    MessageBoxA(owner, text, kMessageCaption, MB_ICONINFORMATION);
    AddProgressLine(wizard, text);
}

void CloseWizard(HWND wizard)
{
    WriteInstallLog(wizard);
    EndDialog(wizard, 1);
    PostMessageA(GetParent(wizard), WM_COMMAND, IDC_QUIT, 0);
}

int CreateFolderPath(const char *path)
{
    char partial[MAX_PATH];
    size_t last = 0;
    for (size_t i = 0; path[i] != '\0' && i < sizeof partial; ++i) {
        if (path[i] == '\\') {
            memcpy(partial, path, i);
            partial[i] = '\0';
            CreateDirectoryA(partial, NULL);  // existing folders and drive names fail harmlessly
            last = i;
        }
    }
    // The run must not go on into a folder that is not there: say so now rather than at the unpacking.
    if (last == 0)
        return 0;
    memcpy(partial, path, last);
    partial[last] = '\0';
    if (last == 2 && partial[1] == ':')
        snprintf(partial + 2, sizeof partial - 2, "\\");  // a drive root
    DWORD attributes = GetFileAttributesA(partial);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A line that ends in the 24-character local time text, such as "Wed Jan 02 02:03:55 1980"
// (the time routine's text without its line feed).
static void AddTimeLine(HWND wizard, const char *prefix, time_t when)
{
    const char *formatted = ctime(&when);
    char line[LINE_CAPACITY];
    snprintf(line, sizeof line, "%s%24.24s", prefix, formatted != NULL ? formatted : "");
    AddProgressLine(wizard, line);
}

static void InstallFolderWithSeparator(HWND wizard, char *folder, size_t capacity)
{
    ExpandMacrosInto(wizard, "%%INSTALLPATH%%", folder, capacity);
    AddTrailingSeparator(folder, capacity);
}

static int OptionTicked(HWND wizard, int id)
{
    return SendDlgItemMessageA(wizard, id, BM_GETCHECK, 0, 0) != BST_UNCHECKED;
}

static void AddResultLine(HWND wizard, int succeeded, const char *success, const char *failure)
{
    AddProgressLine(wizard, succeeded ? success : failure);
}

static void StartRecords(HWND wizard, const char *folder)
{
    char profile[MAX_PATH], entry[MAX_PATH * 2];
    ExpandMacrosInto(wizard, ProductConfig.ProfileFile, profile, sizeof profile);
    StartInstallRecords(wizard, profile, folder, ProductConfig.ProductName);

    char installPath[MAX_PATH];
    ExpandMacrosInto(wizard, "%%INSTALLPATH%%", installPath, sizeof installPath);
    snprintf(entry, sizeof entry, "%s%s\n", installPath, ProductConfig.InstallLogName);
    AppendInstalledEntry(wizard, entry);
    snprintf(entry, sizeof entry, "%s%s\n", installPath, ProductConfig.InstalledListName);
    AppendInstalledEntry(wizard, entry);
    snprintf(entry, sizeof entry, "%s\n", profile);
    AppendInstalledEntry(wizard, entry);
}

static void AddHeaderLines(HWND wizard, time_t start)
{
    char line[LINE_CAPACITY];
    snprintf(line, sizeof line, "Installation of %s", ProductConfig.ProductName);
    AddProgressLine(wizard, line);
    AddTimeLine(wizard, "Beginning at ", start);
    snprintf(line, sizeof line, "Install path: %s", ExpandMacros(wizard, "%%INSTALLPATH%%"));
    AddProgressLine(wizard, line);
    snprintf(line, sizeof line, "Windows version: %s", ExpandMacros(wizard, "%%WINDOWSVERSION%%"));
    AddProgressLine(wizard, line);
    UpdateWindow(wizard);
}

static void RunOptionalSteps(HWND wizard)
{
    char program[MAX_PATH];
    if (OptionTicked(wizard, IDC_OPT_DESKTOP)) {
        ExpandMacrosInto(wizard, ProductConfig.ProgramFile, program, sizeof program);
        AddResultLine(wizard, AddDesktopShortcut(wizard, program, ProductConfig.ProductName),
                      "A shortcut has been added to your desktop.", "A shortcut could not be added to your desktop.");
    }
    if (OptionTicked(wizard, IDC_OPT_STARTMENU)) {
        ExpandMacrosInto(wizard, ProductConfig.ProgramFile, program, sizeof program);
        AddResultLine(wizard, AddStartMenuShortcut(wizard, program, ProductConfig.ProductName),
                      "A shortcut has been added to your Start menu.",
                      "A shortcut could not be added to your Start menu.");
    }
    if (OptionTicked(wizard, IDC_OPT_SCREENSAVER)) {
        char screenSaver[MAX_PATH];
        ExpandMacrosInto(wizard, ProductConfig.ScreenSaverFile, screenSaver, sizeof screenSaver);
        AddResultLine(wizard, EnableScreenSaver(wizard, screenSaver, ProductConfig.ScreenSaverTimeout),
                      "Your screen saver has been enabled.", "Your screen saver could not be enabled.");
    }
}

void RunInstall(HWND wizard)
{
    EnableWindow(GetDlgItem(wizard, IDC_NEXT), FALSE);
    EnableWindow(GetDlgItem(wizard, IDC_PREVIOUS), FALSE);
    EnableWindow(GetDlgItem(wizard, IDC_QUIT), FALSE);

    char folder[MAX_PATH];
    InstallFolderWithSeparator(wizard, folder, sizeof folder);
    if (!CreateFolderPath(folder)) {
        ReportFailure(wizard, wizard, kPathFailedText);
        CloseWizard(wizard);
        return;
    }
    StartRecords(wizard, folder);
    AddHeaderLines(wizard, time(NULL));

    InstallFolderWithSeparator(wizard, folder, sizeof folder);
    if (!InstallPayload(ProductConfig.PayloadResource, folder, wizard)) {
        CloseWizard(wizard);  // the unpacking has shown its own message and line
        return;
    }
    CreateFolders(wizard, ProductConfig.FolderList);
    if (!MoveFiles(wizard, ProductConfig.MoveList)) {
        ReportFailure(wizard, wizard, kMoveFailedText);
        CloseWizard(wizard);
        return;
    }
    AddResultLine(wizard, CreateProgramGroup(wizard, ProductConfig.ProductName, ProductConfig.GroupItems),
                  "The program group has been created.", "The program group creation failed.");
    AddResultLine(wizard, WriteProfileItems(wizard, ProductConfig.ProfileItems), "The profile items have been added.",
                  "The profile item addition failed.");
    RunOptionalSteps(wizard);
    AddTimeLine(wizard, "Ending at ", time(NULL));

    InstallDone = 1;
    EnableWindow(GetDlgItem(wizard, IDC_NEXT), TRUE);
    EnableWindow(GetDlgItem(wizard, IDC_QUIT), TRUE);
    PostMessageA(wizard, WM_COMMAND, IDC_NEXT, 0);
}

void OnInstallProgress(HWND wizard, const char *line)
{
    AddProgressLine(wizard, line);
    char copy[LINE_CAPACITY];
    snprintf(copy, sizeof copy, "%s", line);
    const char *marker = strstr(copy, kInflatingMarker);
    if (marker == NULL)
        return;  // stored files and the extraction's warnings are only shown
    char entry[LINE_CAPACITY + MAX_PATH];
    snprintf(entry, sizeof entry, "%s%s\n", ExpandMacros(wizard, "%%INSTALLPATH%%"), marker + strlen(kInflatingMarker));
    AppendInstalledEntry(wizard, entry);
}

void FinishInstall(HWND wizard)
{
    AddTimeLine(wizard, "Final installation options beginning at ", time(NULL));
    if (OptionTicked(wizard, IDC_OPT_WHATSNEW)) {
        char document[MAX_PATH];
        ExpandMacrosInto(wizard, ProductConfig.WhatsNewFile, document, sizeof document);
        AddResultLine(wizard, ShowWhatsNew(wizard, document), "The What's New document has been displayed.",
                      "The What's New document could not be displayed.");
    }
    if (OptionTicked(wizard, IDC_DONT_ASK)) {
        SetUpdateListSuppressed(wizard, 1);
        AddProgressLine(wizard, "The subscribe prompt for the e-mail update list has been disabled.");
    }
    if (CdRomInstall) {
        AddProgressLine(wizard, ProductConfig.PromoSkippedLine);
    } else {
        ShowPromoGraphic(wizard, ProductConfig.PromoGraphic);
        AddProgressLine(wizard, ProductConfig.PromoShownLine);
    }
    AddTimeLine(wizard, "Ending at ", time(NULL));
}
