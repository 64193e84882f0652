// The closing options and the offer pages' buttons, with the programs they start: the document
// viewer and the browser of the test prefix (tools/fakes/, installed by 30-outside-world.sh) and
// the product's own sample programs. Each records how it was started.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <thread>

#include "shell/shell.h"
#include "steps/steps.h"
#include "tests/steps/steps_test_support.h"
#include "tests/support/message_box_watch.h"
#include "tests/support/installer_state.h"
#include "tests/support/test_wizard.h"

namespace {

const char kHoldEvent[] = "VeltmoorTestHoldOutsideProgram";

class ClosingOptions : public ::testing::Test {
  protected:
    void SetUp() override
    {
        state::ResetInstallerState();
        record = FreshTestFolder("started-programs") + "\\started.log";
        SetEnvironmentVariableA("SAMPLE_PROGRAM_RECORD", record.c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("SAMPLE_PROGRAM_RECORD", nullptr);
        SetEnvironmentVariableA("OUTSIDE_PROGRAM_HOLD", nullptr);
        SetEnvironmentVariableA("SAMPLE_PROGRAM_QUIET", "1");
        state::ResetInstallerState();
    }
    // "<program file>|<command line>" of every program started, in order.
    std::vector<std::string> Started() const { return ReadLines(record); }
    std::string CommandLineStarted(size_t index) const
    {
        std::vector<std::string> lines = Started();
        return index < lines.size() ? lines[index].substr(lines[index].find('|') + 1) : std::string("(none)");
    }

    // Runs `operation` on a thread while the program it starts is held open: the operation must not
    // return before the program ends. Returns the operation's result.
    int RunHoldingTheProgram(const std::function<int()> &operation)
    {
        HANDLE hold = CreateEventA(nullptr, TRUE, FALSE, kHoldEvent);
        SetEnvironmentVariableA("OUTSIDE_PROGRAM_HOLD", kHoldEvent);
        int result = -1;
        bool returned = false;
        std::thread caller([&] {
            result = operation();
            returned = true;
        });
        EXPECT_TRUE(WaitFor([&] { return !Started().empty(); })) << "the program did not start";
        EXPECT_FALSE(returned) << "returned while its program was still running";
        SetEvent(hold);
        caller.join();
        CloseHandle(hold);
        SetEnvironmentVariableA("OUTSIDE_PROGRAM_HOLD", nullptr);
        return result;
    }

    std::string record;
};

TEST_F(ClosingOptions, WhatsNewOpensWithItsProgramAndIsWaitedFor)
{
    std::string install = FreshInstallFolder("whats-new", {"Whatsnew.Doc"});
    TestWizard wizard(install);
    std::string document = install + "Whatsnew.Doc";
    char viewer[MAX_PATH] = "";
    ASSERT_GT((INT_PTR)FindExecutableA(document.c_str(), "", viewer), 32) << "no viewer for .doc in the prefix";

    EXPECT_EQ(RunHoldingTheProgram([&] { return ShowWhatsNew(wizard.window, document.c_str()); }), 1);

    // The viewer's path has blanks: it is quoted, and so is the document.
    EXPECT_NE(std::string(viewer).find(' '), std::string::npos) << viewer;
    EXPECT_EQ(CommandLineStarted(0), "\"" + std::string(viewer) + "\" \"" + document + "\"");
}

TEST_F(ClosingOptions, WhatsNewWithoutItsProgramShowsTheMessage)
{
    std::string install = FreshInstallFolder("whats-new-missing");
    TestWizard wizard(install);
    std::string document = install + "Whatsnew.Doc";  // not there: no program is found for it
    MessageBoxWatch box;
    box.Start();

    EXPECT_EQ(ShowWhatsNew(wizard.window, document.c_str()), 0);

    EXPECT_EQ(box.Finish(), "There has been an error displaying the What's New document.");
    EXPECT_TRUE(Started().empty());
}

// Beside the install folder lies a program named like the folder's first word: an unquoted path
// with blanks would start it instead of the updater's installer.
TEST_F(ClosingOptions, TheUpdaterInstallerIsStartedByItsQuotedPath)
{
    std::string install = FreshInstallFolder("updater", {"talwuddl.exe"});
    std::string decoy = install.substr(0, install.find("Veltmoor A Harbor Chronicle")) + "Veltmoor.exe";
    ASSERT_TRUE(CopyFileA((install + "talwuddl.exe").c_str(), decoy.c_str(), FALSE));
    TestWizard wizard(install);
    std::string program = install + "talwuddl.exe";

    EXPECT_EQ(RunUpdaterInstaller(wizard.window, program.c_str()), 1);

    ASSERT_TRUE(WaitFor([&] { return !Started().empty(); }));
    EXPECT_EQ(Started()[0], program + "|\"" + program + "\"");
}

TEST_F(ClosingOptions, AnUpdaterInstallerThatCannotStartShowsTheMessage)
{
    std::string install = FreshInstallFolder("updater-missing");
    TestWizard wizard(install);
    std::string program = install + "talwuddl.exe";
    MessageBoxWatch box;
    box.Start();

    EXPECT_EQ(RunUpdaterInstaller(wizard.window, program.c_str()), 0);

    EXPECT_EQ(box.Finish(), "There has been an error running the requested installer.");
}

TEST_F(ClosingOptions, TheUpdateListKeyIsWrittenOnAndOff)
{
    TestWizard wizard;
    ASSERT_EQ(IsUpdateListSuppressed(wizard.window), 0);
    for (int on : {1, 0}) {
        EXPECT_EQ(SetUpdateListSuppressed(wizard.window, on), 1);
        char value[16] = "";
        GetPrivateProfileStringA("UpdateList", "SupressUpdateListMessage", "", value, sizeof value,
                                 state::UpdateListPath().c_str());
        EXPECT_EQ(std::string(value), on ? "1" : "0");
        EXPECT_EQ(IsUpdateListSuppressed(wizard.window), on);
    }
}

TEST_F(ClosingOptions, SubscribeOpensTheBrowserWithTheAddressAndWaitsForIt)
{
    TestWizard wizard;
    ASSERT_TRUE(state::FileExists(ProductConfig.BrowserProgram));

    EXPECT_EQ(RunHoldingTheProgram([&] { return OpenSubscriptionPage(wizard.window); }), 1);

    EXPECT_EQ(CommandLineStarted(0), std::string("\"") + ProductConfig.BrowserProgram + "\" " +
                                         ProductConfig.UpdateListPage);
}

// The promotional viewer is started and left running: here it shows its window until we close it.
TEST_F(ClosingOptions, ThePromotionalViewerGetsTheBareGraphicNameAndIsNotWaitedFor)
{
    std::string install = FreshInstallFolder("promo", {"showcard.exe"});
    TestWizard wizard(install);
    SetEnvironmentVariableA("SAMPLE_PROGRAM_QUIET", nullptr);

    EXPECT_EQ(ShowPromoGraphic(wizard.window, ProductConfig.PromoGraphic), 1);

    HWND viewer = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (viewer = FindWindowA("#32770", "Tallowmere ShowCard viewer")) != nullptr; }))
        << "the viewer is not running";
    EXPECT_EQ(CommandLineStarted(0), "\"" + install + "showcard.exe\" veltmoorreg.png");
    if (viewer != nullptr) {
        PostMessageA(GetDlgItem(viewer, IDOK), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(viewer); }));
    }
}

}  // namespace
