// Walking the wizard before the install, as a user does: the pages in order, which buttons may be
// used on each, the licence gate, keys that must do nothing, and the install folder it offers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/resource_ids.h"
#include "tests/support/installer_state.h"
#include "tools/driver/wizard_driver.h"

using driver::Installer;

namespace {

struct Buttons {
    bool next, previous, quit;
};

class Navigation : public ::testing::Test {
  protected:
    void SetUp() override { state::ResetInstallerState(); }
    void StartWizard()
    {
        ASSERT_TRUE(installer.Start()) << installer.lastError;
        ASSERT_TRUE(installer.WaitForWizard()) << installer.lastError;
    }
    ::testing::AssertionResult OnPage(const std::vector<int> &controls, Buttons buttons)
    {
        std::vector<int> visible = installer.VisiblePageControls();
        Buttons actual = {installer.Enabled(IDC_NEXT), installer.Enabled(IDC_PREVIOUS), installer.Enabled(IDC_QUIT)};
        if (visible == controls && actual.next == buttons.next && actual.previous == buttons.previous &&
            actual.quit == buttons.quit)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "expected page " << ::testing::PrintToString(controls) << " with Next "
                                             << buttons.next << ", Previous " << buttons.previous << ", Quit "
                                             << buttons.quit << "\n" << installer.DescribeScreen();
    }
    void Next() { ASSERT_TRUE(installer.Click(IDC_NEXT)) << installer.lastError; }
    void Previous() { ASSERT_TRUE(installer.Click(IDC_PREVIOUS)) << installer.lastError; }
    void WalkToLicencePage()
    {
        for (int i = 0; i < 4; ++i)
            Next();
    }

    Installer installer;
};

const std::vector<int> kWelcome = {IDC_WELCOME_TEXT};
const std::vector<int> kNotice = {IDC_NOTICE_TEXT};
const std::vector<int> kAdvisory = {IDC_ADVISORY_TEXT};
const std::vector<int> kFolder = {IDC_FOLDER_LABEL, IDC_BROWSE, IDC_FOLDER_TEXT, IDC_INSTALL_FOLDER};
const std::vector<int> kLicence = {IDC_LICENCE_TEXT, IDC_LICENCE_TITLE, IDC_LICENCE_AGREE};
const std::vector<int> kOptions = {IDC_OPTIONS_TEXT, IDC_OPT_WHATSNEW, IDC_OPT_STARTMENU, IDC_OPT_DESKTOP,
                                   IDC_OPT_SCREENSAVER};
const std::vector<int> kSummary = {IDC_SUMMARY_TEXT, IDC_SUMMARY_FOLDER, IDC_SUMMARY_PROMPT};

TEST_F(Navigation, TheButtonsOfEveryPageBeforeTheInstall)
{
    StartWizard();
    EXPECT_TRUE(OnPage(kWelcome, {true, false, true}));
    Next();
    EXPECT_TRUE(OnPage(kNotice, {true, true, true}));
    Next();
    EXPECT_TRUE(OnPage(kAdvisory, {true, true, true}));
    Next();
    EXPECT_TRUE(OnPage(kFolder, {true, true, true}));
    Next();
    EXPECT_TRUE(OnPage(kLicence, {false, true, true}));
    ASSERT_TRUE(installer.Click(IDC_LICENCE_AGREE)) << installer.lastError;
    Next();
    EXPECT_TRUE(OnPage(kOptions, {true, true, true}));
    for (int option : {IDC_OPT_WHATSNEW, IDC_OPT_STARTMENU, IDC_OPT_DESKTOP, IDC_OPT_SCREENSAVER})
        EXPECT_TRUE(installer.Checked(option)) << "option " << option << " starts ticked";
    Next();
    EXPECT_TRUE(OnPage(kSummary, {true, true, true}));
    EXPECT_EQ(installer.Text(IDC_QUIT), "Quit");
    // and back again, through every page to the first
    for (const std::vector<int> &page : {kOptions, kLicence, kFolder, kAdvisory, kNotice}) {
        Previous();
        EXPECT_TRUE(OnPage(page, {true, true, true}));
    }
    Previous();
    EXPECT_TRUE(OnPage(kWelcome, {true, false, true}));
}

TEST_F(Navigation, TheLicenceBoxGatesNext)
{
    StartWizard();
    WalkToLicencePage();
    ASSERT_TRUE(OnPage(kLicence, {false, true, true}));
    EXPECT_FALSE(installer.Click(IDC_NEXT)) << "a disabled Next cannot be clicked";
    ASSERT_TRUE(installer.Click(IDC_LICENCE_AGREE)) << installer.lastError;
    EXPECT_TRUE(installer.Checked(IDC_LICENCE_AGREE));
    EXPECT_TRUE(OnPage(kLicence, {true, true, true}));
    ASSERT_TRUE(installer.Click(IDC_LICENCE_AGREE)) << installer.lastError;
    EXPECT_TRUE(OnPage(kLicence, {false, true, true}));
    Previous();
    EXPECT_TRUE(OnPage(kFolder, {true, true, true})) << "Next is on before the licence whatever the box says";
    Next();
    EXPECT_TRUE(OnPage(kLicence, {false, true, true}));
}

TEST_F(Navigation, EnterEscapeAndTheCloseCommandDoNothing)
{
    StartWizard();
    for (int page = 0; page < 2; ++page) {
        std::vector<int> before = installer.VisiblePageControls();
        installer.PressEnter();
        installer.PressEscape();
        installer.SendClose();
        EXPECT_TRUE(installer.Running());
        EXPECT_EQ(installer.VisiblePageControls(), before) << installer.DescribeScreen();
        Next();
    }
}

TEST_F(Navigation, TheSummaryShowsTheFolderWithoutItsBackslash)
{
    StartWizard();
    EXPECT_EQ(installer.Text(IDC_INSTALL_FOLDER), state::DefaultInstallFolder());
    WalkToLicencePage();
    ASSERT_TRUE(installer.Click(IDC_LICENCE_AGREE)) << installer.lastError;
    Next();
    Next();
    ASSERT_TRUE(OnPage(kSummary, {true, true, true}));
    EXPECT_EQ(installer.Text(IDC_SUMMARY_FOLDER), state::DefaultInstallFolder());
}

TEST_F(Navigation, AFolderRecordedByAnEarlierInstallReplacesTheDefault)
{
    state::WriteProfileString(state::ProfilePath(), "VeltmoorAHarborChronicle", "ApplicationPath", "C:\\Games\\Veltmoor\\");
    StartWizard();
    EXPECT_EQ(installer.Text(IDC_INSTALL_FOLDER), "C:\\Games\\Veltmoor");
    WalkToLicencePage();
    ASSERT_TRUE(installer.Click(IDC_LICENCE_AGREE)) << installer.lastError;
    Next();
    Next();
    EXPECT_EQ(installer.Text(IDC_SUMMARY_FOLDER), "C:\\Games\\Veltmoor");
}

struct MigrationCase {
    const char *name;
    int oldAge, newAge;  // minutes; -1: no such file
    const char *offered;
};

TEST_F(Navigation, AProfileLeftInTheWindowsFolderIsBroughtForwardWhenNewer)
{
    const MigrationCase kCases[] = {
        {"only the old copy", 10, -1, "C:\\Old\\Veltmoor"},
        {"old copy newer", 10, 60, "C:\\Old\\Veltmoor"},
        {"old copy older", 60, 10, "C:\\New\\Veltmoor"},
        {"same age", 30, 30, "C:\\New\\Veltmoor"},
    };
    for (const MigrationCase &c : kCases) {
        state::ResetInstallerState();
        state::WriteProfileString(state::OldProfilePath(), "VeltmoorAHarborChronicle", "ApplicationPath", "C:\\Old\\Veltmoor\\");
        ASSERT_TRUE(state::SetFileAge(state::OldProfilePath(), c.oldAge)) << c.name;
        if (c.newAge >= 0) {
            state::WriteProfileString(state::ProfilePath(), "VeltmoorAHarborChronicle", "ApplicationPath", "C:\\New\\Veltmoor\\");
            ASSERT_TRUE(state::SetFileAge(state::ProfilePath(), c.newAge)) << c.name;
        }
        Installer run;
        ASSERT_TRUE(run.Start()) << run.lastError;
        ASSERT_TRUE(run.WaitForWizard()) << run.lastError;
        EXPECT_EQ(run.Text(IDC_INSTALL_FOLDER), c.offered) << c.name;
        EXPECT_TRUE(state::FileExists(state::OldProfilePath())) << c.name << ": the old copy is never removed";
        ASSERT_TRUE(run.Click(IDC_QUIT)) << run.lastError;
        ASSERT_TRUE(run.WaitForExit()) << run.lastError;
    }
}

}  // namespace
