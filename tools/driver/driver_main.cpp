// wizard-driver: walks the installer's wizard as a user would and saves a screenshot of every page.
//   wizard-driver demo OUTDIR [ARGUMENTS]
// and runs the benchmark's measurements (see bench_commands.h):
//   wizard-driver unpack-time | run-program | damaged-run ...
// OUTDIR is a Unix path (the screenshots are taken by the X display's own tools). At the end the
// install records are copied there and the uninstall entry is printed.
#include <stdio.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "shell/resource_ids.h"
#include "tools/driver/bench_commands.h"
#include "tools/driver/demo_chooser.h"
#include "tools/driver/wizard_driver.h"

using driver::Installer;

namespace {

std::string OutDir;
int ShotNumber;
const Installer *Shown;  // the installer on screen, whose painting a shot waits for

void Shot(const char *name)
{
    if (Shown != nullptr)
        Shown->WaitForIdle();
    char file[64];
    snprintf(file, sizeof file, "%02d-%s.png", ++ShotNumber, name);
    std::string path = OutDir + "/" + file;
    printf("  %-30s %s\n", name, driver::SaveScreenshot(path) ? ("out/demo/" + std::string(file)).c_str()
                                                              : "(screenshot failed)");
    fflush(stdout);
}

int Fail(Installer &installer, const char *what)
{
    fprintf(stderr, "demo: %s\n%s\n", what, installer.lastError.c_str());
    Shot("failure");
    installer.Kill();
    return 1;
}

// A failure box of the installer: shown, photographed, answered.
bool AnswerMessageBox(Installer &installer)
{
    if (installer.FindDialog("Message") == nullptr)
        return false;
    printf("  the installer says: %s\n", installer.DialogText("Message").c_str());
    Shot("message");
    installer.PressDialogButton("Message");
    return true;
}

const char *PageAfterRun(const Installer &installer)
{
    return installer.Visible(IDC_UPDATER_TEXT) ? "updater-offer"
           : installer.Visible(IDC_SUBSCRIBE_TEXT) ? "update-list"
           : installer.Visible(IDC_FINISHED_TEXT) ? "finished" : "unknown-page";
}

// The shell opens a folder window for the new program group a moment after the run has made it. The
// demo shows it, then closes it as a user would (Wine's virtual desktop leaves the wizard unpainted
// while that window is open).
void ShowProgramGroup()
{
    HWND group = nullptr;
    driver::WaitUntil([&] {
        group = FindWindowA(nullptr, "Veltmoor - A Harbor Chronicle");
        return group != nullptr && IsWindowVisible(group);
    }, 8000);
    if (group == nullptr)
        return;
    // Its list fills a little later: the group's five items.
    driver::WaitUntil([&] {
        HWND list = FindWindowExA(group, nullptr, "SysListView32", nullptr);
        for (HWND child = GetWindow(group, GW_CHILD); list == nullptr && child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
            list = FindWindowExA(child, nullptr, "SysListView32", nullptr);
        DWORD_PTR items = 0;
        return list != nullptr && SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 500, &items) && items >= 5;
    }, 5000);
    Shot("program-group");
    PostMessageA(group, WM_CLOSE, 0, 0);
    driver::WaitUntil([&] { return !IsWindow(group) || !IsWindowVisible(group); });
}

bool ClickThrough(Installer &installer, int id, const char *page)
{
    if (!installer.Click(id))
        return false;
    Shot(page);
    return true;
}

void CopyRecord(const std::string &folder, const char *name)
{
    std::string from = folder + "\\" + name;
    std::string to = driver::WinePath(OutDir + "/" + name);
    if (CopyFileA(from.c_str(), to.c_str(), FALSE))
        printf("  %-30s out/demo/%s\n", name, name);
}

void PrintUninstallEntry()
{
    static const char kKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltmoor - A Harbor Chronicle";
    printf("Uninstall entry HKEY_LOCAL_MACHINE\\%s:\n", kKey);
    for (const char *name : {"DisplayName", "UninstallString"}) {
        char value[1024] = "";
        DWORD size = sizeof value;
        LONG found = RegGetValueA(HKEY_LOCAL_MACHINE, kKey, name, RRF_RT_REG_SZ, nullptr, value, &size);
        printf("  %-16s %s\n", name, found == ERROR_SUCCESS ? value : "(missing)");
    }
}

int Demo(const std::string &arguments)
{
    Installer installer;
    Shown = &installer;
    printf("Starting the installer %s\n", arguments.c_str());
    if (!installer.Start(arguments) || !installer.WaitForWizard())
        return Fail(installer, "the wizard did not open");
    Shot("welcome");
    if (!ClickThrough(installer, IDC_NEXT, "notice") || !ClickThrough(installer, IDC_NEXT, "advisory") ||
        !ClickThrough(installer, IDC_NEXT, "install-folder"))
        return Fail(installer, "the first pages could not be walked");
    // A folder of the demo's own, chosen through Browse and New folder.
    if (driver::DemoChooseFolder(installer, Shot).empty())
        return Fail(installer, "the folder chooser could not be used");
    std::string folder = installer.Text(IDC_INSTALL_FOLDER);

    if (!ClickThrough(installer, IDC_NEXT, "licence-next-refused") ||
        !ClickThrough(installer, IDC_LICENCE_AGREE, "licence-agreed") ||
        !ClickThrough(installer, IDC_NEXT, "options") || !ClickThrough(installer, IDC_NEXT, "summary"))
        return Fail(installer, "the licence and options pages could not be walked");
    printf("Installing into %s\n", installer.Text(IDC_SUMMARY_FOLDER).c_str());
    if (!installer.Click(IDC_NEXT))
        return Fail(installer, "Next on the summary page could not be clicked");
    Shot("progress");

    // The run ends on the unpacked page, or in a failure box that closes the installer.
    bool unpacked = driver::WaitUntil([&] {
        return installer.Visible(IDC_UNPACKED_TEXT) || installer.FindDialog("Message") != nullptr || !installer.Running();
    }, 120000);
    if (AnswerMessageBox(installer) || !installer.Running()) {
        installer.WaitForExit();
        printf("The installation stopped.\n");
        CopyRecord(folder, "InstallLog.txt");
        return 1;
    }
    if (!unpacked)
        return Fail(installer, "the install run did not end");
    ShowProgramGroup();
    Shot("unpacked");
    for (int page = 0; page < 3 && !installer.Visible(IDC_FINISHED_TEXT); ++page) {
        if (!installer.Click(IDC_NEXT))
            return Fail(installer, "the pages after the run could not be walked");
        Shot(PageAfterRun(installer));
    }
    if (!installer.Visible(IDC_FINISHED_TEXT))
        return Fail(installer, "the finished page did not come");
    if (!installer.Click(IDC_QUIT))
        return Fail(installer, "Close could not be clicked");
    DWORD exitCode = 0;
    if (!installer.WaitForExit(60000, &exitCode))
        return Fail(installer, "the installer did not end after Close");
    printf("The installer ended (exit status %lu).\n", (unsigned long)exitCode);

    CopyRecord(folder, "INSTALLD.TXT");
    CopyRecord(folder, "InstallLog.txt");
    PrintUninstallEntry();
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "unpack-time")
        return driver::UnpackTimeCommand(argc, argv);
    if (command == "run-program")
        return driver::RunProgramCommand(argc, argv);
    if (command == "damaged-run")
        return driver::DamagedRunCommand(argc, argv);
    if (command != "demo" || argc < 3) {
        fprintf(stderr, "usage: wizard-driver demo OUTDIR [ARGUMENTS] | unpack-time | run-program | damaged-run\n");
        return 2;
    }
    OutDir = argv[2];
    return Demo(argc > 3 ? argv[3] : "");
}
