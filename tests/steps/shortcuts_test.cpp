// Desktop and Start-menu shortcuts, read back through the shell's link component.
#include <gtest/gtest.h>

#include <objbase.h>

#include "shell/shell.h"
#include "steps/steps.h"
#include "tests/steps/steps_test_support.h"
#include "tests/support/installer_state.h"
#include "tests/support/shell_links.h"
#include "tests/support/test_wizard.h"

namespace {

class Shortcuts : public ::testing::Test {
  protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        state::ResetInstallerState();
    }
    void TearDown() override
    {
        state::ResetInstallerState();
        CoUninitialize();
    }
};

struct ShortcutKind {
    const char *name;
    int (*add)(HWND, const char *, const char *);
    std::string (*folder)();
};
const ShortcutKind kKinds[] = {
    {"desktop", AddDesktopShortcut, state::DesktopFolder},
    {"Start menu", AddStartMenuShortcut, state::StartMenuFolder},
};

TEST_F(Shortcuts, EachIsALinkToTheProgramWithItsFolderAndRecords)
{
    for (const ShortcutKind &kind : kKinds) {
        std::string install = FreshInstallFolder("shortcut", {"harbway.exe", "clickme.exe"});
        ASSERT_FALSE(install.empty());
        WriteTestFile(install + "INSTALLD.TXT", "");
        TestWizard wizard(install);
        std::string link = kind.folder() + "Veltmoor - A Harbor Chronicle.lnk";

        // A second installation replaces the link of the first.
        for (const char *program : {"clickme.exe", "harbway.exe"}) {
            std::string target = install + program;
            EXPECT_EQ(kind.add(wizard.window, target.c_str(), ProductConfig.ProductName), 1) << kind.name;
        }

        LinkView view;
        ASSERT_TRUE(ReadShellLink(link, &view)) << kind.name << ": " << link;
        EXPECT_EQ(LongPath(view.target), LongPath(install + "harbway.exe")) << kind.name;
        EXPECT_EQ(view.description, "Veltmoor - A Harbor Chronicle") << kind.name;
        EXPECT_EQ(view.workingFolder, install) << kind.name;
        std::vector<std::string> records = ReadLines(install + "INSTALLD.TXT");
        ASSERT_EQ(records.size(), 6u) << kind.name;
        EXPECT_EQ(std::vector<std::string>(records.begin() + 3, records.end()),
                  (std::vector<std::string>{" LINKPATH:" + link, " LINKDESCRIPTION:Veltmoor - A Harbor Chronicle",
                                            " LINKITEMPATH:" + install + "harbway.exe"}))
            << kind.name;
    }
}

TEST_F(Shortcuts, ALinkThatCannotBeSavedFailsButIsRecorded)
{
    for (const ShortcutKind &kind : kKinds) {
        std::string install = FreshInstallFolder("unsaved-shortcut", {"harbway.exe"});
        WriteTestFile(install + "INSTALLD.TXT", "");
        TestWizard wizard(install);
        std::string target = install + "harbway.exe";
        // The description names a folder that does not exist, so the link file cannot be written.
        const char *description = "No Such Folder\\Veltmoor";
        std::string link = kind.folder() + description + ".lnk";

        EXPECT_EQ(kind.add(wizard.window, target.c_str(), description), 0) << kind.name;
        EXPECT_FALSE(state::FileExists(link)) << kind.name;
        EXPECT_EQ(ReadLines(install + "INSTALLD.TXT"),
                  (std::vector<std::string>{" LINKPATH:" + link, std::string(" LINKDESCRIPTION:") + description,
                                            " LINKITEMPATH:" + target}))
            << kind.name;
    }
}

TEST_F(Shortcuts, TheWorkingFolderIsTheTargetsFolder)
{
    struct Case {
        const char *target;
        const char *workingFolder;
    };
    const Case kCases[] = {
        {"C:\\Games\\Veltmoor\\harbway.exe", "C:\\Games\\Veltmoor\\"},
        {"C:\\harbway.exe", "C:\\"},
        {"D:\\Apps\\Tallowmere\\Veltmoor A Harbor Chronicle\\harbway.exe",
         "D:\\Apps\\Tallowmere\\Veltmoor A Harbor Chronicle\\"},
    };
    std::string folder = FreshTestFolder("working-folder") + "\\";
    for (const Case &c : kCases) {
        std::string link = folder + "link.lnk";
        ASSERT_TRUE(SUCCEEDED(CreateShellLink(c.target, link.c_str(), "described"))) << c.target;
        LinkView view;
        ASSERT_TRUE(ReadShellLink(link, &view)) << c.target;
        EXPECT_EQ(view.workingFolder, c.workingFolder) << c.target;
        EXPECT_EQ(view.description, "described") << c.target;
    }
}

}  // namespace
