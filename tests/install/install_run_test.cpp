// Whole installations through the wizard, each from a known state of the prefix: what lands where,
// what is recorded, what the user is told, and how the run stops when a step fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "shell/resource_ids.h"
#include "tests/support/installer_state.h"
#include "tools/driver/wizard_driver.h"

using driver::Installer;

namespace {

const char kProduct[] = "Veltmoor - A Harbor Chronicle";
const char kSection[] = "VeltmoorAHarborChronicle";
const char kGames[] = "C:\\Games";
const std::string kFolder = "C:\\Games\\Veltmoor";

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool StartsWith(const std::string &text, const std::string &prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::vector<std::string> ProductFiles()
{
    std::vector<std::string> names = driver::FilesIn(driver::EnvOr("VELTMOOR_PRODUCT_DIR", ""));
    std::sort(names.begin(), names.end());  // the archive's order
    return names;
}

bool MatchesNoCase(const std::string &name, const char *prefix, const char *extension)
{
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    return StartsWith(upper, prefix) && upper.size() >= strlen(extension) &&
           upper.compare(upper.size() - strlen(extension), std::string::npos, extension) == 0;
}

// Where a product file ends up after the moves.
std::string FinalPlace(const std::string &name)
{
    if (name == "harbsave.exe")
        return state::WindowsFolder() + kProduct + ".scr";
    if (name == "TALWUNIN.EXE")
        return state::WindowsFolder() + "TALWUNIN.EXE";
    if (MatchesNoCase(name, "", ".HTM") || MatchesNoCase(name, "HTML", ".GIF") || MatchesNoCase(name, "HTML", ".JPG") ||
        MatchesNoCase(name, "HTML", ".PNG"))
        return kFolder + "\\html\\" + name;
    return kFolder + "\\" + name;
}

std::string ShortPath(const std::string &path)
{
    char shortPath[MAX_PATH] = "";
    return GetShortPathNameA(path.c_str(), shortPath, MAX_PATH) ? shortPath : path;
}

class InstallRun : public ::testing::Test {
  protected:
    void SetUp() override
    {
        state::ResetInstallerState({kGames});
        CreateDirectoryA(kGames, nullptr);
        UseFolder(kFolder);
    }
    void TearDown() override
    {
        if (HasFailure()) {
            const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
            driver::SaveScreenshot(driver::EnvOr("VELTMOOR_OUT_DIR", "/tmp") + "/" + test->name() + ".png");
        }
        installer.Kill();
    }


    // An install folder recorded by an earlier install is what the wizard offers.
    static void UseFolder(const std::string &folder)
    {
        state::WriteProfileString(state::ProfilePath(), kSection, "ApplicationPath", (folder + "\\").c_str());
    }
    void Click(int id) { ASSERT_TRUE(installer.Click(id)) << installer.lastError; }
    void WalkToSummary(std::initializer_list<int> untick = {})
    {
        ASSERT_TRUE(installer.Start()) << installer.lastError;
        ASSERT_TRUE(installer.WaitForWizard()) << installer.lastError;
        for (int i = 0; i < 4; ++i)
            Click(IDC_NEXT);
        Click(IDC_LICENCE_AGREE);
        Click(IDC_NEXT);
        for (int option : untick)
            Click(option);
        Click(IDC_NEXT);
        ASSERT_TRUE(installer.Visible(IDC_SUMMARY_TEXT)) << installer.DescribeScreen();
    }
    // Next on the summary page; returns when the run has ended on the unpacked page, in a box, or
    // with the end of the installer.
    void Install()
    {
        Click(IDC_NEXT);
        ASSERT_TRUE(driver::WaitUntil([&] {
            return installer.Visible(IDC_UNPACKED_TEXT) || installer.FindDialog("Message") != nullptr ||
                   !installer.Running();
        }, 120000)) << "the run did not end\n" << installer.DescribeScreen();
    }
    void FinishAndClose()
    {
        for (int i = 0; i < 3 && !installer.Visible(IDC_FINISHED_TEXT); ++i)
            Click(IDC_NEXT);
        ASSERT_TRUE(installer.Visible(IDC_FINISHED_TEXT)) << installer.DescribeScreen();
        Click(IDC_QUIT);
        ASSERT_TRUE(installer.WaitForExit(60000)) << installer.lastError;
    }
    // The failure box: its text, then OK, then the end of the installer.
    std::string AnswerFailureBox()
    {
        EXPECT_TRUE(installer.WaitForDialog("Message")) << installer.lastError;
        std::string text = installer.DialogText("Message");
        EXPECT_TRUE(installer.PressDialogButton("Message")) << installer.lastError;
        EXPECT_TRUE(installer.WaitForExit()) << installer.lastError;
        return text;
    }
    std::string Log() const { return state::ReadFile(kFolder + "\\InstallLog.txt"); }
    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines = Lines(Log());
        return lines.size() > 2 ? std::vector<std::string>(lines.begin() + 2, lines.end()) : std::vector<std::string>();
    }

    Installer installer;
};

TEST_F(InstallRun, ACompleteRunWithEveryOption)
{
    WalkToSummary();
    Install();
    ASSERT_TRUE(installer.Visible(IDC_UNPACKED_TEXT)) << installer.DescribeScreen();
    std::vector<std::string> progress = installer.ProgressLines();
    FinishAndClose();

    // The progress lines, in the order of the run.
    std::vector<std::string> files = ProductFiles();
    ASSERT_GT(files.size(), 20u);
    ASSERT_EQ(progress.size(), 4 + files.size() + 6) << ::testing::PrintToString(progress);
    EXPECT_EQ(progress[0], "Installation of Veltmoor - A Harbor Chronicle");
    EXPECT_TRUE(StartsWith(progress[1], "Beginning at ") && progress[1].size() == 13 + 24) << progress[1];
    EXPECT_EQ(progress[2], "Install path: " + kFolder + "\\");
    EXPECT_TRUE(StartsWith(progress[3], "Windows version: ")) << progress[3];
    std::vector<std::string> inflated;
    size_t stored = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string &line = progress[4 + i];
        if (line == "Inflating: " + files[i] + " ") {
            inflated.push_back(files[i]);
        } else {
            EXPECT_EQ(line, "Extracting " + files[i]);
            ++stored;
        }
    }
    EXPECT_GT(inflated.size(), 5u);
    EXPECT_GT(stored, 5u);
    const std::vector<std::string> steps(progress.begin() + 4 + files.size(), progress.end() - 1);
    EXPECT_EQ(steps, (std::vector<std::string>{
                         "The program group has been created.", "The profile items have been added.",
                         "A shortcut has been added to your desktop.", "A shortcut has been added to your Start menu.",
                         "Your screen saver has been enabled."}));
    EXPECT_TRUE(StartsWith(progress.back(), "Ending at ") && progress.back().size() == 10 + 24) << progress.back();

    // Every file of the product, byte for byte, at its final place.
    std::string productDir = driver::EnvOr("VELTMOOR_PRODUCT_DIR", "");
    for (const std::string &name : files)
        EXPECT_EQ(state::ReadFile(FinalPlace(name)), state::ReadFile(productDir + "\\" + name)) << name << " at " << FinalPlace(name);

    // The install log: the title, then the progress list, then the closing options.
    std::vector<std::string> log = LogLines();
    ASSERT_GE(log.size(), progress.size() + 3);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + progress.size()), progress);
    EXPECT_TRUE(StartsWith(Log(), "Installation log for Veltmoor - A Harbor Chronicle\r\n\r\n"));
    EXPECT_TRUE(StartsWith(log[progress.size()], "Final installation options beginning at ")) << log[progress.size()];

    // INSTALLD.TXT, line by line.
    std::vector<std::string> list = Lines(state::ReadFile(kFolder + "\\INSTALLD.TXT"));
    const std::string folder = kFolder + "\\";
    std::vector<std::string> expected = {";Installed file list -- do not edit", list.size() > 1 ? list[1] : "",
                                         " INIFILE:" + state::ProfilePath(), " INSTALLPATH:" + folder, " INSTALLD.TXT",
                                         std::string(" APPLICATION:") + kProduct,
                                         " " + folder + "InstallLog.txt", "", " " + folder + "INSTALLD.TXT", "",
                                         " " + state::ProfilePath(), ""};
    for (const std::string &name : inflated) {
        expected.push_back(" " + folder + name + " ");
        expected.push_back("");
    }
    expected.push_back(" MKDIR:" + folder + "html");
    expected.push_back("");
    size_t movesAt = expected.size();
    std::set<std::string> moved;
    for (const std::string &name : files)
        if (FinalPlace(name) != folder + name)
            moved.insert(" " + FinalPlace(name));
    ASSERT_GE(list.size(), movesAt + moved.size());
    EXPECT_EQ(std::vector<std::string>(list.begin(), list.begin() + movesAt), expected);
    EXPECT_EQ(list[1].size(), 25u) << list[1];
    EXPECT_EQ(std::set<std::string>(list.begin() + movesAt, list.begin() + movesAt + moved.size()), moved);
    const std::string program = folder + "harbway.exe";
    const std::vector<std::string> records(list.begin() + movesAt + moved.size(), list.end());
    EXPECT_EQ(records, (std::vector<std::string>{
                           std::string(" GROUPNAME:") + kProduct,
                           " LINKPATH:" + state::DesktopFolder() + kProduct + ".lnk",
                           std::string(" LINKDESCRIPTION:") + kProduct, " LINKITEMPATH:" + program,
                           " LINKPATH:" + state::StartMenuFolder() + kProduct + ".lnk",
                           std::string(" LINKDESCRIPTION:") + kProduct, " LINKITEMPATH:" + program,
                           " SCREENSAVER:" + ShortPath(state::WindowsFolder() + kProduct + ".scr")}));

    // The uninstall entry and the profile.
    EXPECT_EQ(state::RegistryValue(HKEY_LOCAL_MACHINE, state::kUninstallKey, "DisplayName"), kProduct);
    EXPECT_EQ(state::RegistryValue(HKEY_LOCAL_MACHINE, state::kUninstallKey, "UninstallString"),
              state::WindowsFolder() + "TALWUNIN.EXE " + folder + "INSTALLD.TXT");
    char recorded[MAX_PATH] = "";
    GetPrivateProfileStringA(kSection, "ApplicationPath", "", recorded, MAX_PATH, state::ProfilePath().c_str());
    EXPECT_EQ(std::string(recorded), folder);
}

TEST_F(InstallRun, WithEveryOptionUntickedTheProfileLineIsFollowedByTheEnd)
{
    WalkToSummary({IDC_OPT_WHATSNEW, IDC_OPT_STARTMENU, IDC_OPT_DESKTOP, IDC_OPT_SCREENSAVER});
    Install();
    ASSERT_TRUE(installer.Visible(IDC_UNPACKED_TEXT)) << installer.DescribeScreen();
    std::vector<std::string> progress = installer.ProgressLines();
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress[progress.size() - 2], "The profile items have been added.");
    EXPECT_TRUE(StartsWith(progress.back(), "Ending at ")) << progress.back();
    EXPECT_FALSE(state::FileExists(state::DesktopFolder() + kProduct + ".lnk"));
    FinishAndClose();
}

TEST_F(InstallRun, ADamagedArchiveIsRefusedBeforeAnythingIsUnpacked)
{
    ASSERT_TRUE(installer.Start("", driver::EnvOr("VELTMOOR_DAMAGED_INSTALLER", ""))) << installer.lastError;
    ASSERT_TRUE(installer.WaitForWizard()) << installer.lastError;
    for (int i = 0; i < 4; ++i)
        Click(IDC_NEXT);
    Click(IDC_LICENCE_AGREE);
    Click(IDC_NEXT);
    Click(IDC_NEXT);
    Install();
    const std::string damaged = "There has been an internal error: this archive in installer has been damaged or "
                                "tampered with. Please download a new copy of the installer from www.tallowmere.example .";
    EXPECT_EQ(AnswerFailureBox(), damaged);
    ASSERT_FALSE(LogLines().empty());
    EXPECT_EQ(LogLines().back(), damaged);
    EXPECT_FALSE(state::FileExists(kFolder + "\\harbway.exe"));
    EXPECT_FALSE(state::FileExists(kFolder + "\\readme.txt"));
}

// Wine, run as root here, cannot keep a file read-only (root may write anything): the file that
// cannot be written is one that another program holds open without sharing it.
TEST_F(InstallRun, AFileThatCannotBeWrittenStopsTheRunAfterTheOthers)
{
    CreateDirectoryA(kFolder.c_str(), nullptr);
    const std::string blocked = kFolder + "\\readme.txt";
    FILE *file = fopen(blocked.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fputs("an older copy, held open", file);
    fclose(file);
    HANDLE held = CreateFileA(blocked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    WalkToSummary();
    Install();
    std::string text = AnswerFailureBox();
    CloseHandle(held);
    EXPECT_TRUE(StartsWith(text, "There has been an internal error: one or more files could not be installed.")) << text;
    std::vector<std::string> log = LogLines();
    EXPECT_NE(std::find(log.begin(), log.end(), "Can't create readme.txt"), log.end()) << Log();
    EXPECT_EQ(state::ReadFile(blocked), "an older copy, held open");
    EXPECT_TRUE(state::FileExists(kFolder + "\\harbway.exe")) << "the walk goes on after the file";
    EXPECT_TRUE(state::FileExists(kFolder + "\\veltmoorreg.png"));
}

TEST_F(InstallRun, AMoveThatFailsStopsTheRunBeforeTheProgramGroup)
{
    CreateDirectoryA(kFolder.c_str(), nullptr);
    FILE *file = fopen((kFolder + "\\html").c_str(), "wb");  // a file where the html folder must go
    ASSERT_NE(file, nullptr);
    fclose(file);

    WalkToSummary();
    Install();
    const std::string moveFailed =
        "There has been an internal error: the installer could not move files.\n\nThis may be caused by an invalid "
        "install path, or by attempting to install software when you do not have a sufficient permission level to do "
        "so. Please contact your system administrator to resolve this and run this installer again.";
    EXPECT_EQ(AnswerFailureBox(), moveFailed);
    std::string log = Log();
    EXPECT_NE(log.find("There has been an internal error: the installer could not move files.\r\n\r\nThis may be"),
              std::string::npos) << log;
    EXPECT_EQ(log.find("program group"), std::string::npos) << log;
    EXPECT_EQ(state::ReadFile(kFolder + "\\INSTALLD.TXT").find("GROUPNAME"), std::string::npos);
}

TEST_F(InstallRun, AnInstallFolderThatCannotBeMadeIsReported)
{
    FILE *file = fopen("C:\\Games\\blocker", "wb");  // a file where a folder of the path must go
    ASSERT_NE(file, nullptr);
    fclose(file);
    UseFolder("C:\\Games\\blocker\\Veltmoor");
    WalkToSummary();
    Install();
    std::string text = AnswerFailureBox();
    EXPECT_TRUE(StartsWith(text, "There has been an internal error: the installation path you selected could not be created."))
        << text;
    EXPECT_EQ(state::RegistryValue(HKEY_LOCAL_MACHINE, state::kUninstallKey, "DisplayName"), "(missing)");
}

TEST_F(InstallRun, QuitBeforeTheRunWritesALogOnlyIntoAnExistingFolder)
{
    for (bool folderExists : {false, true}) {
        driver::DeleteTree(kFolder);
        if (folderExists)
            CreateDirectoryA(kFolder.c_str(), nullptr);
        Installer run;
        ASSERT_TRUE(run.Start()) << run.lastError;
        ASSERT_TRUE(run.WaitForWizard()) << run.lastError;
        ASSERT_TRUE(run.Click(IDC_QUIT)) << run.lastError;
        ASSERT_TRUE(run.WaitForExit()) << run.lastError;
        EXPECT_EQ(state::FileExists(kFolder + "\\InstallLog.txt"), folderExists);
        if (folderExists) {
            EXPECT_EQ(Log(), "Installation log for Veltmoor - A Harbor Chronicle\r\n\r\n");
        }
    }
}

}  // namespace

namespace {

struct OfferCase {
    bool updaterInstalled;
    bool updateListSuppressed;
    std::vector<int> pagesAfterUnpacked;  // the key control of each page Next leads to
};

// After the run the wizard goes forward through the offer pages that apply; Previous goes back no
// further than the unpacked page.
TEST_F(InstallRun, TheOfferPagesAppearOnlyWhenTheyApply)
{
    const OfferCase kCases[] = {
        {false, false, {IDC_UPDATER_TEXT, IDC_SUBSCRIBE_TEXT, IDC_FINISHED_TEXT}},
        {true, false, {IDC_SUBSCRIBE_TEXT, IDC_FINISHED_TEXT}},
        {false, true, {IDC_UPDATER_TEXT, IDC_FINISHED_TEXT}},
        {true, true, {IDC_FINISHED_TEXT}},
    };
    for (const OfferCase &c : kCases) {
        SCOPED_TRACE(::testing::Message() << "updater installed " << c.updaterInstalled << ", update list suppressed "
                                          << c.updateListSuppressed);
        state::ResetInstallerState({kGames});
        CreateDirectoryA(kGames, nullptr);
        UseFolder(kFolder);
        if (c.updaterInstalled)
            state::WriteProfileString(state::UpdaterProfilePath(), "PATCHWELL", "ApplicationPath", "C:\\Program Files\\Patchwell\\");
        if (c.updateListSuppressed)
            state::WriteProfileString(state::UpdateListPath(), "UpdateList", "SupressUpdateListMessage", "1");

        installer.Close();
        WalkToSummary({IDC_OPT_WHATSNEW});
        Install();
        ASSERT_TRUE(installer.Visible(IDC_UNPACKED_TEXT)) << installer.DescribeScreen();
        EXPECT_TRUE(installer.Enabled(IDC_NEXT));
        EXPECT_FALSE(installer.Enabled(IDC_PREVIOUS));
        EXPECT_FALSE(installer.Enabled(IDC_QUIT));

        for (size_t i = 0; i < c.pagesAfterUnpacked.size(); ++i) {
            int page = c.pagesAfterUnpacked[i];
            Click(IDC_NEXT);
            EXPECT_TRUE(installer.Visible(page)) << "expected page of control " << page << "\n" << installer.DescribeScreen();
            bool finished = page == IDC_FINISHED_TEXT;
            EXPECT_EQ(installer.Enabled(IDC_NEXT), !finished);
            EXPECT_EQ(installer.Enabled(IDC_PREVIOUS), !finished);
            EXPECT_EQ(installer.Enabled(IDC_QUIT), finished);
            EXPECT_EQ(installer.Text(IDC_QUIT), finished ? "Close" : "Quit");
            if (i == 0 && !finished) {
                // back, past any skipped page, to the unpacked page, and forward again
                Click(IDC_PREVIOUS);
                EXPECT_TRUE(installer.Visible(IDC_UNPACKED_TEXT)) << installer.DescribeScreen();
                EXPECT_FALSE(installer.Enabled(IDC_PREVIOUS));
                Click(IDC_NEXT);
                EXPECT_TRUE(installer.Visible(page)) << installer.DescribeScreen();
            }
        }
        Click(IDC_QUIT);
        ASSERT_TRUE(installer.WaitForExit(60000)) << installer.lastError;
    }
}

}  // namespace
