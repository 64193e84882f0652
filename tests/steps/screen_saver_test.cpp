// The screen saver: SYSTEM.INI names it and the system parameters switch it on with its time-out.
#include <gtest/gtest.h>

#include "shell/shell.h"
#include "steps/steps.h"
#include "tests/steps/steps_test_support.h"
#include "tests/support/installer_state.h"
#include "tests/support/test_wizard.h"

namespace {

std::string SystemIniSaver()
{
    char value[MAX_PATH] = "";
    GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "", value, MAX_PATH, "SYSTEM.INI");
    return value;
}

UINT SystemTimeoutSeconds()
{
    UINT seconds = 0;
    SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0);
    return seconds;
}

class ScreenSaver : public ::testing::Test {
  protected:
    void SetUp() override
    {
        state::ResetInstallerState();
        install = FreshInstallFolder("screen-saver");
        WriteTestFile(install + "INSTALLD.TXT", "");
        wizard.SetInstallFolder(install);
        saver = state::WindowsFolder() + "Veltmoor - A Harbor Chronicle.scr";
    }
    void TearDown() override
    {
        state::ResetInstallerState();
    }
    static std::string SystemIni() { return state::WindowsFolder() + "system.ini"; }

    std::string install;
    std::string saver;
    TestWizard wizard;
};

TEST_F(ScreenSaver, TheMinutesAreKeptWithinOneToThirty)
{
    struct Case {
        const char *text;
        int minutes;
    };
    const Case kCases[] = {{"30", 30}, {"45", 30}, {"5", 5}, {"0", 1}, {"-3", 1}, {"", 1}, {"soon", 1}};
    WriteTestFile(saver, "saver");
    for (const Case &c : kCases) {
        EXPECT_EQ(ScreenSaverMinutes(c.text), c.minutes) << "\"" << c.text << "\"";
        EXPECT_EQ(EnableScreenSaver(wizard.window, saver.c_str(), c.text), 1) << "\"" << c.text << "\"";
        EXPECT_EQ(SystemTimeoutSeconds(), (UINT)c.minutes * 60) << "\"" << c.text << "\"";
    }
}

TEST_F(ScreenSaver, SystemIniNamesTheSaverByItsShortPath)
{
    WriteTestFile(saver, "saver");
    std::string shortPath = ShortPath(saver);
    ASSERT_EQ(shortPath.find(' '), std::string::npos) << shortPath;

    EXPECT_EQ(EnableScreenSaver(wizard.window, saver.c_str(), ProductConfig.ScreenSaverTimeout), 1);

    EXPECT_EQ(SystemIniSaver(), shortPath);
    BOOL active = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    EXPECT_TRUE(active);
    EXPECT_EQ(SystemTimeoutSeconds(), 1800u);
    EXPECT_EQ(ReadLines(install + "INSTALLD.TXT"), std::vector<std::string>{" SCREENSAVER:" + shortPath});
}

TEST_F(ScreenSaver, ASaverWithoutShortPathIsNamedByItsLongPath)
{
    ASSERT_FALSE(state::FileExists(saver));

    EXPECT_EQ(EnableScreenSaver(wizard.window, saver.c_str(), "30"), 1);

    EXPECT_EQ(SystemIniSaver(), saver);
    EXPECT_EQ(ReadLines(install + "INSTALLD.TXT"), std::vector<std::string>{" SCREENSAVER:" + saver});
}

TEST_F(ScreenSaver, ASystemIniThatCannotBeWrittenIsReported)
{
    WriteTestFile(saver, "saver");
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "before.scr", "SYSTEM.INI");
    // Another program holds the file open and shares it with nobody.
    HANDLE locked = CreateFileA(SystemIni().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);

    EXPECT_EQ(EnableScreenSaver(wizard.window, saver.c_str(), "30"), 0);

    CloseHandle(locked);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, nullptr);  // forget the system's cached copy
    EXPECT_EQ(SystemIniSaver(), "before.scr");
}

}  // namespace
