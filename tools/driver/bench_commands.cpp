#include "tools/driver/bench_commands.h"

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "shell/resource_ids.h"
#include "tools/driver/wizard_driver.h"

namespace driver {
namespace {

const char kSection[] = "VeltmoorAHarborChronicle";

double Milliseconds()
{
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * (double)now.QuadPart / (double)frequency.QuadPart;
}

// The installer offers the folder that its profile records: that of "an earlier installation".
void OfferFolder(const std::string &folder)
{
    char appData[MAX_PATH] = "";
    GetEnvironmentVariableA("APPDATA", appData, MAX_PATH);
    std::string profileFolder = std::string(appData) + "\\Tallowmere";
    CreateDirectoryA(profileFolder.c_str(), nullptr);
    std::string profile = profileFolder + "\\harbway.ini";
    WritePrivateProfileStringA(kSection, "ApplicationPath", (folder + "\\").c_str(), profile.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, profile.c_str());
}

bool WalkToSummary(Installer &installer)
{
    for (int i = 0; i < 4; ++i)
        if (!installer.Click(IDC_NEXT))
            return false;
    if (!installer.Click(IDC_LICENCE_AGREE))
        return false;
    if (!installer.Click(IDC_NEXT))
        return false;
    // No option that starts other programs: the run is what is measured.
    for (int option : {IDC_OPT_WHATSNEW, IDC_OPT_STARTMENU, IDC_OPT_DESKTOP, IDC_OPT_SCREENSAVER})
        if (installer.Checked(option) && !installer.Click(option))
            return false;
    return installer.Click(IDC_NEXT) && installer.Visible(IDC_SUMMARY_TEXT);
}

bool ListHasFolderRecord(const std::string &list)
{
    FILE *file = fopen(list.c_str(), "rb");
    if (file == nullptr)
        return false;
    char buffer[65536];
    size_t got = fread(buffer, 1, sizeof buffer - 1, file);
    fclose(file);
    buffer[got] = '\0';
    return strstr(buffer, " MKDIR:") != nullptr;
}

struct DialogSeen {
    std::string caption;
    std::string text;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param)
{
    std::pair<DWORD, std::vector<HWND> *> *search = (std::pair<DWORD, std::vector<HWND> *> *)param;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->first && IsWindowVisible(window) && ClassName(window) == "#32770")
        search->second->push_back(window);
    return TRUE;
}

std::string DialogTexts(HWND dialog)
{
    std::string text;
    for (const ControlView &control : ReadControls(dialog))
        if (control.className == "Static" && !control.text.empty())
            text += (text.empty() ? "" : " ") + control.text;
    return text;
}

}  // namespace

int UnpackTimeCommand(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: wizard-driver unpack-time RUNS FOLDER\n");
        return 2;
    }
    int runs = atoi(argv[2]);
    std::string folder = argv[3];
    for (int run = 0; run < runs; ++run) {
        DeleteTree(folder);
        OfferFolder(folder);
        Installer installer;
        if (!installer.Start() || !installer.WaitForWizard() || !WalkToSummary(installer)) {
            fprintf(stderr, "unpack-time: %s\n", installer.lastError.c_str());
            return 1;
        }
        std::string list = folder + "\\INSTALLD.TXT";
        double start = Milliseconds();
        PostMessageW(installer.Control(IDC_NEXT), BM_CLICK, 0, 0);
        // The folder-list step's record follows the last file unpacked.
        bool unpacked = WaitUntil([&] { return ListHasFolderRecord(list); }, 120000);
        double elapsed = Milliseconds() - start;
        if (!unpacked) {
            fprintf(stderr, "unpack-time: the unpacking did not end\n%s\n", installer.DescribeScreen().c_str());
            return 1;
        }
        printf("unpack-ms %.1f\n", elapsed);
        fflush(stdout);
        WaitUntil([&] { return installer.Visible(IDC_UNPACKED_TEXT); }, 60000);
        installer.Kill();
    }
    DeleteTree(folder);
    return 0;
}

int RunProgramCommand(int argc, char **argv)
{
    if (argc < 5) {
        fprintf(stderr, "usage: wizard-driver run-program TIMEOUT_MS FOLDER COMMANDLINE\n");
        return 2;
    }
    DWORD timeout = (DWORD)atoi(argv[2]);
    std::string folder = argv[3];
    std::string commandLine = argv[4];
    DeleteTree(folder);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    double start = Milliseconds();
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        printf("started no\nerror %lu\n", (unsigned long)GetLastError());
        return 0;
    }
    std::vector<DialogSeen> dialogs;
    while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
        std::vector<HWND> found;
        std::pair<DWORD, std::vector<HWND> *> search(process.dwProcessId, &found);
        EnumWindows(CollectDialog, (LPARAM)&search);
        for (HWND dialog : found) {
            dialogs.push_back({WindowText(dialog), DialogTexts(dialog)});
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);  // answer it as Enter would
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        }
        if (Milliseconds() - start > timeout) {
            TerminateProcess(process.hProcess, 255);
            printf("timed-out yes\n");
            break;
        }
    }
    double elapsed = Milliseconds() - start;
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    printf("started yes\nms %.1f\nexit 0x%lX\nfiles %zu\n", elapsed, (unsigned long)exitCode, FilesIn(folder).size());
    for (const DialogSeen &dialog : dialogs)
        printf("dialog %s: %s\n", dialog.caption.c_str(), dialog.text.c_str());
    DeleteTree(folder);
    return 0;
}

int DamagedRunCommand(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: wizard-driver damaged-run INSTALLER FOLDER\n");
        return 2;
    }
    std::string folder = argv[3];
    DeleteTree(folder);
    OfferFolder(folder);
    Installer installer;
    if (!installer.Start("", argv[2])) {
        printf("started no\n");
        return 0;
    }
    if (!installer.WaitForWizard(8000)) {
        DWORD exitCode = 0;
        bool ended = installer.WaitForExit(5000, &exitCode);
        printf("started yes\nwizard no\nexit %s0x%lX\n", ended ? "" : "(still running) ", (unsigned long)exitCode);
        return 0;
    }
    if (!WalkToSummary(installer) || !installer.Click(IDC_NEXT)) {
        printf("started yes\nwizard yes\nwalk failed\n");
        return 0;
    }
    // The run ends in a failure box, or unpacks everything and goes on to the unpacked page.
    WaitUntil([&] { return installer.FindDialog("Message") != nullptr || installer.Visible(IDC_UNPACKED_TEXT) ||
                           !installer.Running(); }, 120000);
    bool boxed = installer.FindDialog("Message") != nullptr;
    bool completed = installer.Visible(IDC_UNPACKED_TEXT);
    std::string text = boxed ? installer.DialogText("Message") : std::string();
    size_t written = 0;
    for (const std::string &name : FilesIn(folder))
        if (name != "INSTALLD.TXT" && name != "InstallLog.txt")
            ++written;
    if (boxed)
        installer.PressDialogButton("Message");
    DWORD exitCode = 0;
    bool ended = installer.WaitForExit(20000, &exitCode);
    printf("started yes\nwizard yes\nmessage %s\ncompleted %s\nproduct-files %zu\nexit %s0x%lX\n",
           boxed ? text.c_str() : "(none)", completed ? "yes" : "no", written, ended ? "" : "(still running) ",
           (unsigned long)exitCode);
    installer.Kill();
    DeleteTree(folder);
    return 0;
}

}  // namespace driver
