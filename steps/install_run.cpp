// The install run: every installation step in its fixed order, the progress list that logs them,
// and the closing of the wizard.
#include <stdio.h>
#include <string.h>

#include "paths/paths.h"
#include "shell/shell.h"
#include "steps/steps.h"

static const char kMessageCaption[] = "Message";

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
    for (size_t i = 0; path[i] != '\0' && i < sizeof partial; ++i) {
        if (path[i] == '\\') {
            memcpy(partial, path, i);
            partial[i] = '\0';
            CreateDirectoryA(partial, NULL);  // existing folders and drive names fail harmlessly
        }
    }
    return 1;
}

void RunInstall(HWND)
{
    // The steps of the run are not built yet.
}

void OnInstallProgress(HWND wizard, const char *line)
{
    AddProgressLine(wizard, line);
}

void FinishInstall(HWND)
{
}
