// The installer's later steps and closing options as a user meets them: the real installer driven
// through its wizard, with the outside world of the test prefix (the shell's own program-group
// server, the document viewer and browser stand-ins) or, on a desktop of its own, our recording
// program-group server as the only one there.
#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>

#include "shell/resource_ids.h"
#include "tests/support/installer_state.h"
#include "tests/support/isolated_desktop.h"
#include "tests/support/shell_links.h"
#include "tools/driver/wizard_driver.h"

using driver::Installer;

namespace {

const std::string kProduct = "Veltmoor - A Harbor Chronicle";
const char kHoldEvent[] = "VeltmoorE2eHoldOutsideProgram";
constexpr DWORD kRunWait = 120000;

std::vector<std::string> LinesOf(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> FileLines(const std::string &path)
{
    return LinesOf(state::ReadFile(path));
}

std::string InstallFolder()
{
    return state::DefaultInstallFolder() + "\\";
}

std::string ShortPath(const std::string &path)
{
    char shortPath[MAX_PATH];
    DWORD length = GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(shortPath) : path;
}

bool StartsWith(const std::string &text, const std::string &prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The lines from the first that begins with `first`, `count` of them (fewer at the end).
std::vector<std::string> LinesFrom(const std::vector<std::string> &lines, const std::string &first, size_t count)
{
    auto at = std::find_if(lines.begin(), lines.end(), [&](const std::string &l) { return StartsWith(l, first); });
    return std::vector<std::string>(at, at + std::min<size_t>(count, (size_t)(lines.end() - at)));
}

// Takes the wizard from its start to the end of the install run, on the unpacked page.
bool InstallToUnpackedPage(Installer &installer, const std::string &arguments = "", const std::string &program = "")
{
    if (!installer.Start(arguments, program) || !installer.WaitForWizard())
        return false;
    for (int page = 0; page < 4; ++page)  // notice, advisory, install folder, licence
        if (!installer.Click(IDC_NEXT))
            return false;
    if (!installer.Click(IDC_LICENCE_AGREE) || !installer.Click(IDC_NEXT) || !installer.Click(IDC_NEXT) ||
        !installer.Click(IDC_NEXT))
        return false;
    if (!driver::WaitUntil([&] { return installer.Visible(IDC_UNPACKED_TEXT) || !installer.Running(); }, kRunWait) ||
        !installer.Visible(IDC_UNPACKED_TEXT)) {
        installer.lastError = "the run did not reach the unpacked page\n" + installer.DescribeScreen();
        return false;
    }
    return true;
}

bool NextToFinishedPage(Installer &installer)
{
    for (int page = 0; page < 3 && !installer.Visible(IDC_FINISHED_TEXT); ++page)
        if (!installer.Click(IDC_NEXT))
            return false;
    return installer.Visible(IDC_FINISHED_TEXT);
}

// Close on the finished page without waiting for the wizard to take it: the closing options keep
// the installer busy until a program it started has ended. The button's command goes straight to
// the wizard, as the button sends it, so that no change of focus on the desktop can swallow it.
bool PressClose(Installer &installer)
{
    HWND close = installer.Control(IDC_QUIT);
    if (close == nullptr || !IsWindowVisible(close) || !IsWindowEnabled(close))
        return false;
    return PostMessageW(installer.Wizard(), WM_COMMAND, MAKEWPARAM(IDC_QUIT, BN_CLICKED), (LPARAM)close) != 0;
}

BOOL CALLBACK CloseGroupWindow(HWND window, LPARAM)
{
    char title[MAX_PATH] = "";
    GetWindowTextA(window, title, MAX_PATH);
    if (kProduct == title)
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

class InstallSteps : public ::testing::Test {
  protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        state::ResetInstallerState();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        record = std::string(temp) + "veltmoor-started-programs.log";
        DeleteFileA(record.c_str());
        SetEnvironmentVariableA("SAMPLE_PROGRAM_RECORD", record.c_str());
    }
    void TearDown() override
    {
        installer.Close();
        SetEnvironmentVariableA("SAMPLE_PROGRAM_RECORD", nullptr);
        SetEnvironmentVariableA("OUTSIDE_PROGRAM_HOLD", nullptr);
        SetEnvironmentVariableA("FAKE_PROGMAN_RECORD", nullptr);
        SetEnvironmentVariableA("FAKE_PROGMAN_MODE", nullptr);
        EnumWindows(CloseGroupWindow, 0);  // the shell leaves the new group open in a folder window
        state::ResetInstallerState();
        CoUninitialize();
    }
    // "<command line>" of every program started, in order.
    std::vector<std::string> Started() const
    {
        std::vector<std::string> commandLines;
        for (const std::string &line : FileLines(record))
            commandLines.push_back(line.substr(line.find('|') + 1));
        return commandLines;
    }
    bool WaitForStarted(size_t count)
    {
        return driver::WaitUntil([&] { return Started().size() >= count; });
    }

    Installer installer;
    std::string record;
};

// What the run's lines and records report is there: the links read back through the shell, the
// group's items, and the screen saver in SYSTEM.INI and the system parameters.
TEST_F(InstallSteps, TheShortcutsGroupAndScreenSaverAreThere)
{
    ASSERT_TRUE(InstallToUnpackedPage(installer)) << installer.lastError;

    std::string install = InstallFolder();
    for (const std::string &link : {state::DesktopFolder() + kProduct + ".lnk", state::StartMenuFolder() + kProduct + ".lnk"}) {
        LinkView view;
        ASSERT_TRUE(ReadShellLink(link, &view)) << link;
        EXPECT_EQ(view.target, install + "harbway.exe") << link;
        EXPECT_EQ(view.description, kProduct) << link;
        EXPECT_EQ(view.workingFolder, install) << link;
    }
    EXPECT_EQ(LinkFilesIn(state::StartMenuFolder() + "Programs\\" + kProduct + "\\"),
              (std::vector<std::string>{"Click Me.lnk", "Documentation Read Me First.lnk", "Order Form.lnk",
                                        "Tallowmere Web Page.lnk", kProduct + ".lnk"}));

    char systemIniSaver[MAX_PATH] = "";
    GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "", systemIniSaver, MAX_PATH, "SYSTEM.INI");
    EXPECT_EQ(systemIniSaver, ShortPath(state::WindowsFolder() + kProduct + ".scr"));
    UINT seconds = 0;
    SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0);
    EXPECT_EQ(seconds, 1800u);
    BOOL active = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    EXPECT_TRUE(active);
}

TEST_F(InstallSteps, CloseWaitsForTheWhatsNewViewerAndCarriesOutTheClosingOptions)
{
    HANDLE hold = CreateEventA(nullptr, TRUE, FALSE, kHoldEvent);
    SetEnvironmentVariableA("OUTSIDE_PROGRAM_HOLD", kHoldEvent);
    ASSERT_TRUE(InstallToUnpackedPage(installer)) << installer.lastError;
    ASSERT_TRUE(installer.Click(IDC_NEXT) && installer.Visible(IDC_UPDATER_TEXT)) << installer.DescribeScreen();
    ASSERT_TRUE(installer.Click(IDC_NEXT) && installer.Visible(IDC_SUBSCRIBE_TEXT)) << installer.DescribeScreen();
    ASSERT_TRUE(installer.Click(IDC_DONT_ASK)) << installer.lastError;
    ASSERT_TRUE(NextToFinishedPage(installer)) << installer.DescribeScreen();

    ASSERT_TRUE(PressClose(installer));
    ASSERT_TRUE(WaitForStarted(1)) << "the document viewer did not start\n" << installer.DescribeScreen();
    std::string install = InstallFolder();
    EXPECT_EQ(Started()[0], "\"C:\\Program Files\\Document Viewer\\docview.exe\" \"" + install + "Whatsnew.Doc\"");
    EXPECT_TRUE(installer.Running()) << "the installer ended while the document was still shown";
    EXPECT_EQ(Started().size(), 1u) << "the closing options went on while the document was still shown";

    SetEvent(hold);
    DWORD exitCode = 99;
    ASSERT_TRUE(installer.WaitForExit(driver::kWait, &exitCode)) << installer.lastError;
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(hold);

    std::vector<std::string> closing = LinesFrom(FileLines(install + "InstallLog.txt"),
                                                  "Final installation options beginning at ", 5);
    ASSERT_EQ(closing.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(closing.begin() + 1, closing.end() - 1),
              (std::vector<std::string>{"The What's New document has been displayed.",
                                        "The subscribe prompt for the e-mail update list has been disabled.",
                                        "ShowCard has displayed the current Tallowmere graphic."}));
    EXPECT_TRUE(StartsWith(closing.back(), "Ending at ")) << closing.back();
    char suppressed[8] = "";
    GetPrivateProfileStringA("UpdateList", "SupressUpdateListMessage", "", suppressed, sizeof suppressed,
                             state::UpdateListPath().c_str());
    EXPECT_STREQ(suppressed, "1");
    ASSERT_TRUE(WaitForStarted(2)) << "the promotional viewer did not start";
    EXPECT_EQ(Started()[1], "\"" + install + "showcard.exe\" veltmoorreg.png");
}

TEST_F(InstallSteps, ACdRomInstallationSkipsThePromotionalViewer)
{
    ASSERT_TRUE(InstallToUnpackedPage(installer, "/CD")) << installer.lastError;
    ASSERT_TRUE(NextToFinishedPage(installer)) << installer.DescribeScreen();
    ASSERT_TRUE(installer.Click(IDC_QUIT)) << installer.lastError;
    ASSERT_TRUE(installer.WaitForExit()) << installer.lastError;

    std::vector<std::string> closing = LinesFrom(FileLines(InstallFolder() + "InstallLog.txt"),
                                                 "Final installation options beginning at ", 4);
    ASSERT_EQ(closing.size(), 4u);
    EXPECT_EQ(closing[1], "The What's New document has been displayed.");
    EXPECT_EQ(closing[2], "ShowCard was skipped during a CD-ROM installation.");
    EXPECT_TRUE(StartsWith(closing[3], "Ending at ")) << closing[3];
    std::vector<std::string> started = Started();
    EXPECT_TRUE(std::none_of(started.begin(), started.end(),
                             [](const std::string &s) { return s.find("showcard") != std::string::npos; }));
}

TEST_F(InstallSteps, TheOfferPagesButtonsStartTheUpdaterAndTheBrowser)
{
    ASSERT_TRUE(InstallToUnpackedPage(installer)) << installer.lastError;
    ASSERT_TRUE(installer.Click(IDC_NEXT) && installer.Visible(IDC_UPDATER_TEXT)) << installer.DescribeScreen();
    std::string updater = InstallFolder() + "talwuddl.exe";
    std::string kept = updater + ".kept";
    ASSERT_TRUE(MoveFileA(updater.c_str(), kept.c_str()));

    // An installer that cannot start: the message, and the offer stays in the wizard.
    ASSERT_TRUE(installer.Click(IDC_UPDATER_BUTTON)) << installer.lastError;
    ASSERT_TRUE(installer.WaitForDialog("Message")) << installer.lastError;
    EXPECT_EQ(installer.DialogText("Message"), "There has been an error running the requested installer.");
    ASSERT_TRUE(installer.PressDialogButton("Message")) << installer.lastError;
    ASSERT_TRUE(installer.Click(IDC_NEXT) && installer.Visible(IDC_SUBSCRIBE_TEXT)) << installer.DescribeScreen();
    ASSERT_TRUE(installer.Click(IDC_PREVIOUS) && installer.Visible(IDC_UPDATER_TEXT)) << installer.DescribeScreen();

    // Started: the offer is passed over from now on, in both directions.
    ASSERT_TRUE(MoveFileA(kept.c_str(), updater.c_str()));
    ASSERT_TRUE(installer.Click(IDC_UPDATER_BUTTON)) << installer.lastError;
    ASSERT_TRUE(WaitForStarted(1));
    EXPECT_EQ(Started()[0], "\"" + updater + "\"");
    ASSERT_TRUE(installer.Click(IDC_NEXT) && installer.Visible(IDC_SUBSCRIBE_TEXT)) << installer.DescribeScreen();
    ASSERT_TRUE(installer.Click(IDC_PREVIOUS) && installer.Visible(IDC_UNPACKED_TEXT)) << installer.DescribeScreen();
    ASSERT_TRUE(installer.Click(IDC_NEXT) && installer.Visible(IDC_SUBSCRIBE_TEXT)) << installer.DescribeScreen();

    ASSERT_TRUE(installer.Click(IDC_SUBSCRIBE_BUTTON)) << installer.lastError;
    ASSERT_TRUE(WaitForStarted(2));
    EXPECT_EQ(Started()[1],
              "\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\" "
              "http://www.tallowmere.example/updatelist/subscribe.html");
}

// Another program holds SYSTEM.INI open and shares it with nobody while the installer runs.
TEST_F(InstallSteps, AScreenSaverThatCannotBeSetIsReportedAndTheRunGoesOn)
{
    std::string systemIni = state::WindowsFolder() + "system.ini";
    HANDLE locked = CreateFileA(systemIni.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    bool installed = InstallToUnpackedPage(installer);
    CloseHandle(locked);
    ASSERT_TRUE(installed) << installer.lastError;

    std::vector<std::string> steps = LinesFrom(installer.ProgressLines(), "Your screen saver", 2);
    ASSERT_EQ(steps.size(), 2u) << installer.DescribeScreen();
    EXPECT_EQ(steps[0], "Your screen saver could not be enabled.");
    EXPECT_TRUE(StartsWith(steps[1], "Ending at ")) << steps[1];
}

// ---- Our recording server, the only one on the installer's desktop ----

// A copy of the installer with our server beside it, where its WinExec("PROGMAN") finds it.
std::string InstallerBesideServer(const std::string &name)
{
    char temp[MAX_PATH], self[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name + "\\";
    driver::DeleteTree(folder.substr(0, folder.size() - 1));
    CreateDirectoryA(folder.c_str(), nullptr);
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string server = std::string(self).substr(0, std::string(self).rfind('\\') + 1) + "PROGMAN.EXE";
    if (!CopyFileA(driver::EnvOr("VELTMOOR_INSTALLER", "").c_str(), (folder + "VeltmoorSetup.exe").c_str(), FALSE) ||
        !CopyFileA(server.c_str(), (folder + "PROGMAN.EXE").c_str(), FALSE))
        return std::string();
    return folder;
}

struct ServerRun {
    std::string groupLine;
    std::vector<std::string> serverEvents;  // without the end of the conversation
    std::vector<std::string> records;       // INSTALLD.TXT from the GROUPNAME line on
    bool completed = false;
};

ServerRun RunWithServer(Installer &installer, const char *mode)
{
    ServerRun run;
    std::string folder = InstallerBesideServer(std::string("veltmoor-progman-") + mode);
    EXPECT_FALSE(folder.empty());
    std::string serverRecord = folder + "progman.log";
    SetEnvironmentVariableA("FAKE_PROGMAN_RECORD", serverRecord.c_str());
    SetEnvironmentVariableA("FAKE_PROGMAN_MODE", mode);
    std::string error;
    bool isolated = RunOnIsolatedDesktop([&](const std::string &desktop) {
        installer.desktop = desktop;
        run.completed = InstallToUnpackedPage(installer, "", folder + "VeltmoorSetup.exe");
        EXPECT_TRUE(run.completed) << installer.lastError;
        std::vector<std::string> group = LinesFrom(installer.ProgressLines(), "The program group", 1);
        run.groupLine = group.empty() ? "(none)" : group[0];
        installer.Close();
    }, &error);
    EXPECT_TRUE(isolated) << error;
    for (const std::string &line : FileLines(serverRecord))
        if (line != "TERMINATE")
            run.serverEvents.push_back(line);
    run.records = LinesFrom(FileLines(InstallFolder() + "INSTALLD.TXT"), " GROUPNAME:", 99);
    return run;
}

// Nobody answers the first initiation; the installer starts "PROGMAN", which is our server, and
// the second initiation finds it.
TEST_F(InstallSteps, TheServerStartedAsProgmanGetsEveryGroupCommand)
{
    ServerRun run = RunWithServer(installer, "ack");
    ASSERT_TRUE(run.completed);
    EXPECT_EQ(run.groupLine, "The program group has been created.");

    std::string f = InstallFolder();
    auto item = [](const std::string &command, const std::string &caption, const std::string &icon) {
        return "EXECUTE [additem(\"" + ShortPath(command) + "\",\"" + caption + "\",\"" + ShortPath(icon) + "\",0)]";
    };
    EXPECT_EQ(run.serverEvents, (std::vector<std::string>{
                                    "STARTED",
                                    "INITIATE PROGMAN|PROGMAN",
                                    "ENABLE 0",
                                    "EXECUTE [deletegroup(" + kProduct + ")]",
                                    "EXECUTE [creategroup(" + kProduct + ")]",
                                    item(f + "harbway.exe", kProduct, f + "harbway.exe"),
                                    item(f + "clickme.exe", "Click Me", f + "clickme.exe"),
                                    item(f + "tallweb.exe", "Tallowmere Web Page", f + "tallweb.exe"),
                                    item(f + "html\\manual.htm", "Documentation Read Me First", f + "document.icn"),
                                    item(f + "order.doc", "Order Form", f + "document.icn"),
                                    "ENABLE 1",
                                    "EXECUTE [exitprogman(1)]",
                                }));
    ASSERT_FALSE(run.records.empty());
    EXPECT_EQ(run.records[0], " GROUPNAME:" + kProduct);
}

TEST_F(InstallSteps, WithoutAServerTheGroupFailsAndTheRunGoesOn)
{
    ServerRun run = RunWithServer(installer, "absent");
    ASSERT_TRUE(run.completed);
    EXPECT_EQ(run.groupLine, "The program group creation failed.");
    EXPECT_EQ(run.serverEvents, std::vector<std::string>{"STARTED"}) << "the server was to be started once";
    ASSERT_EQ(run.records.size(), 8u);
    EXPECT_EQ(run.records[0], " GROUPNAME:" + kProduct);
    EXPECT_TRUE(StartsWith(run.records[1], " LINKPATH:")) << run.records[1];
}

TEST_F(InstallSteps, AServerThatNeverAnswersDoesNotHoldUpTheRun)
{
    ServerRun run = RunWithServer(installer, "silent");
    ASSERT_TRUE(run.completed);
    EXPECT_EQ(run.groupLine, "The program group has been created.");
    ASSERT_FALSE(run.serverEvents.empty());
    EXPECT_EQ(run.serverEvents.back(), "EXECUTE [exitprogman(1)]");
}

}  // namespace
