// The closing options and the two optional offer pages: the What's New document, the companion
// updater, the e-mail update list and the promotional viewer.
#include <stdio.h>
#include <string.h>

#include "paths/paths.h"
#include "shell/shell.h"
#include "steps/steps.h"

#include <shellapi.h>

enum { COMMAND_LINE_CAPACITY = 524, WEB_FAILURE_CAPACITY = 1024 };

static const char kMessageCaption[] = "Message";
static const char kWhatsNewFailure[] = "There has been an error displaying the What's New document.";
static const char kUpdaterFailure[] = "There has been an error running the requested installer.";

int IsUpdaterInstalled(HWND wizard)
{
    char profile[MAX_PATH], value[MAX_PATH] = "";
    ExpandMacrosInto(wizard, ProductConfig.UpdaterProfileFile, profile, sizeof profile);
    // Fewer than six characters cannot be a real install path of the updater.
    return GetPrivateProfileStringA(ProductConfig.UpdaterSection, "ApplicationPath", "", value, MAX_PATH, profile) >= 6;
}

int IsUpdateListSuppressed(HWND wizard)
{
    char profile[MAX_PATH];
    ExpandMacrosInto(wizard, ProductConfig.UpdateListFile, profile, sizeof profile);
    return GetPrivateProfileIntA(ProductConfig.UpdateListSection, ProductConfig.UpdateListKey, 0, profile) != 0;
}

static void ShowMessage(HWND wizard, const char *text)
{
    MessageBoxA(wizard, text, kMessageCaption, MB_ICONINFORMATION);
}

// Every program is named in quotation marks: the install folder has blanks in it, and an unquoted
// path with blanks can start a different program (C:\Program.exe and the like).
enum ArgumentForm { NO_ARGUMENT, BARE_ARGUMENT, QUOTED_ARGUMENT };

static int FormatCommandLine(char *commandLine, const char *program, ArgumentForm form, const char *argument)
{
    int length;
    if (form == NO_ARGUMENT)
        length = snprintf(commandLine, COMMAND_LINE_CAPACITY, "\"%s\"", program);
    else if (form == BARE_ARGUMENT)
        length = snprintf(commandLine, COMMAND_LINE_CAPACITY, "\"%s\" %s", program, argument);
    else
        length = snprintf(commandLine, COMMAND_LINE_CAPACITY, "\"%s\" \"%s\"", program, argument);
    // A cut command line would hand the program a wrong argument, or name a wrong program.
    return length >= 0 && length < COMMAND_LINE_CAPACITY;
}

static int StartProgram(char *commandLine, DWORD priority, WORD showCommand, int useShowCommand,
                        PROCESS_INFORMATION *process)
{
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    if (useShowCommand) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = showCommand;
    }
    memset(process, 0, sizeof *process);
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, TRUE, priority, NULL, NULL, &startup, process))
        return 0;
    CloseHandle(process->hThread);
    return 1;
}

static void WaitForProgram(PROCESS_INFORMATION *process)
{
    WaitForSingleObject(process->hProcess, INFINITE);
    CloseHandle(process->hProcess);
}

int ShowWhatsNew(HWND wizard, const char *document)
{
    char program[MAX_PATH] = "";
    char commandLine[COMMAND_LINE_CAPACITY];
    PROCESS_INFORMATION process;
    if ((INT_PTR)FindExecutableA(document, "", program) <= 32 ||
        !FormatCommandLine(commandLine, program, QUOTED_ARGUMENT, document) ||
        !StartProgram(commandLine, NORMAL_PRIORITY_CLASS, SW_SHOWMAXIMIZED, 1, &process)) {
        ShowMessage(wizard, kWhatsNewFailure);
        return 0;
    }
    WaitForProgram(&process);
    return 1;
}

int RunUpdaterInstaller(HWND wizard, const char *program)
{
    char commandLine[COMMAND_LINE_CAPACITY];
    PROCESS_INFORMATION process;
    if (!FormatCommandLine(commandLine, program, NO_ARGUMENT, NULL) ||
        !StartProgram(commandLine, NORMAL_PRIORITY_CLASS, SW_SHOWNORMAL, 1, &process)) {
        ShowMessage(wizard, kUpdaterFailure);
        return 0;
    }
    CloseHandle(process.hProcess);
    return 1;
}

int SetUpdateListSuppressed(HWND wizard, int on)
{
    char profile[MAX_PATH];
    ExpandMacrosInto(wizard, ProductConfig.UpdateListFile, profile, sizeof profile);
    return WritePrivateProfileStringA(ProductConfig.UpdateListSection, ProductConfig.UpdateListKey, on ? "1" : "0",
                                      profile) != 0;
}

int OpenSubscriptionPage(HWND wizard)
{
    OpenWebPage(wizard, ProductConfig.UpdateListPage, 1);
    return 1;
}

static void RepaintBackdrop()
{
    if (BackdropWindow == NULL)
        return;  // without a backdrop there is nothing to repaint, not every window
    InvalidateRect(BackdropWindow, NULL, FALSE);
    UpdateWindow(BackdropWindow);
}

static int FileExists(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int OpenWebPage(HWND wizard, const char *address, int maximised)
{
    char failure[WEB_FAILURE_CAPACITY];
    snprintf(failure, sizeof failure,
             "There has been an error accessing the requested document.\n\nPlease point your web browser to %s to "
             "view it.",
             address);

    char browser[MAX_PATH] = "";
    if (FileExists(ProductConfig.BrowserProgram)) {
        snprintf(browser, sizeof browser, "%s", ProductConfig.BrowserProgram);
    } else if ((INT_PTR)FindExecutableA(ProductConfig.MakerWebPage, "", browser) <= 32) {
        ShowMessage(wizard, failure);
        RepaintBackdrop();
        return 1;
    }

    char commandLine[COMMAND_LINE_CAPACITY];
    PROCESS_INFORMATION process;
    if (!FormatCommandLine(commandLine, browser, BARE_ARGUMENT, address) ||
        !StartProgram(commandLine, NORMAL_PRIORITY_CLASS, SW_SHOWMAXIMIZED, maximised, &process)) {
        ShowMessage(wizard, failure);
        return 1;
    }
    RepaintBackdrop();
    WaitForProgram(&process);
    RepaintBackdrop();
    return 1;
}

int ShowPromoGraphic(HWND wizard, const char *graphic)
{
    char viewer[MAX_PATH];
    char commandLine[COMMAND_LINE_CAPACITY];
    ExpandMacrosInto(wizard, ProductConfig.PromoViewer, viewer, sizeof viewer);
    HCURSOR previous = SetCursor(LoadCursorA(NULL, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
    PROCESS_INFORMATION process;
    if (FormatCommandLine(commandLine, viewer, BARE_ARGUMENT, graphic) &&
        StartProgram(commandLine, HIGH_PRIORITY_CLASS, SW_SHOWNORMAL, 1, &process)) {
        UpdateWindow(wizard);
        CloseHandle(process.hProcess);
    }
    SetCursor(previous);
    return 1;
}
