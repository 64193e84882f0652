// The records an installation leaves: INSTALLD.TXT, the uninstall entry and the install log.
#include <gtest/gtest.h>

#include <string>

#include "shell/shell.h"
#include "steps/steps.h"
#include "tests/support/installer_state.h"
#include "tools/driver/wizard_driver.h"
#include "tests/support/test_wizard.h"

namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltmoor - A Harbor Chronicle";

std::string RegistryValue(const char *name)
{
    char value[1024] = "";
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return "(missing)";
    return value;
}

class InstallRecords : public ::testing::Test {
  protected:
    void SetUp() override
    {
        folder = FreshTestFolder("records");
        wizard.SetInstallFolder(folder);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    }
    void TearDown() override { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey); }
    std::string In(const std::string &name) const { return folder + "\\" + name; }

    std::string folder;
    TestWizard wizard;
};

TEST_F(InstallRecords, TheListStartsWithItsHeaderAndTheUninstallEntryIsWritten)
{
    StartInstallRecords(wizard.window, "C:\\profile\\harbway.ini", "D:\\Apps", ProductConfig.ProductName);
    std::string list = state::ReadFile(In("INSTALLD.TXT"));
    size_t firstLine = list.find("\r\n");
    ASSERT_NE(firstLine, std::string::npos) << list;
    EXPECT_EQ(list.substr(0, firstLine), ";Installed file list -- do not edit");
    std::string timeLine = list.substr(firstLine + 2, list.find("\r\n", firstLine + 2) - firstLine - 2);
    EXPECT_EQ(timeLine.size(), 25u) << "\"" << timeLine << "\": a semicolon and the 24-character time";
    EXPECT_EQ(list.substr(firstLine + 2 + 27),
              " INIFILE:C:\\profile\\harbway.ini\r\n"
              " INSTALLPATH:D:\\Apps\\\r\n"
              " INSTALLD.TXT\r\n"
              " APPLICATION:Veltmoor - A Harbor Chronicle\r\n");
    EXPECT_EQ(RegistryValue("DisplayName"), "Veltmoor - A Harbor Chronicle");
    EXPECT_EQ(RegistryValue("UninstallString"), state::WindowsFolder() + "TALWUNIN.EXE D:\\Apps\\INSTALLD.TXT");
}

TEST_F(InstallRecords, WithoutAListThereIsNoUninstallEntryAndNoRecord)
{
    wizard.SetInstallFolder(folder + "\\missing");
    StartInstallRecords(wizard.window, "profile.ini", (folder + "\\missing").c_str(), ProductConfig.ProductName);
    EXPECT_EQ(RegistryValue("DisplayName"), "(missing)");
    AppendInstalledEntry(wizard.window, "anything");
    EXPECT_FALSE(state::FileExists(folder + "\\missing\\INSTALLD.TXT"));
}

TEST_F(InstallRecords, EntriesAreAppendedWithALeadingBlank)
{
    WriteTestFile(In("INSTALLD.TXT"), "");
    AppendInstalledEntry(wizard.window, "C:\\a.txt");
    AppendInstalledEntry(wizard.window, "C:\\b.txt\n");  // formatted with its own line feed: an empty line follows
    EXPECT_EQ(state::ReadFile(In("INSTALLD.TXT")), " C:\\a.txt\r\n C:\\b.txt\r\n\r\n");
}

struct FoldersCase {
    const char *list;
    const char *records;
};

TEST_F(InstallRecords, EveryFolderOfTheListIsMadeAndRecorded)
{
    const std::string html = In("html");
    const FoldersCase kCases[] = {
        {"%%INSTALLPATH%%html", "html"},
        {"", ""},  // an empty list records one empty MKDIR and makes nothing
    };
    for (const FoldersCase &c : kCases) {
        driver::DeleteTree(html);
        WriteTestFile(In("INSTALLD.TXT"), "");
        CreateFolders(wizard.window, c.list);
        std::string expected = std::string(" MKDIR:") + (c.records[0] ? In(c.records) : "") + "\r\n\r\n";
        EXPECT_EQ(state::ReadFile(In("INSTALLD.TXT")), expected) << c.list;
        EXPECT_EQ(state::FileExists(html), c.records[0] != '\0') << c.list;
    }
}

TEST_F(InstallRecords, TheLogCopiesTheProgressListUnderItsTitle)
{
    EXPECT_EQ(WriteInstallLog(wizard.window), 1);
    EXPECT_EQ(state::ReadFile(In("InstallLog.txt")), "Installation log for Veltmoor - A Harbor Chronicle\r\n\r\n");

    AddProgressLine(wizard.window, "first");
    AddProgressLine(wizard.window, "");
    AddProgressLine(wizard.window, "spans\n\ntwo lines");
    EXPECT_EQ(WriteInstallLog(wizard.window), 1);
    EXPECT_EQ(state::ReadFile(In("InstallLog.txt")),
              "Installation log for Veltmoor - A Harbor Chronicle\r\n\r\nfirst\r\nspans\r\n\r\ntwo lines\r\n");

    wizard.SetInstallFolder(folder + "\\missing");
    EXPECT_EQ(WriteInstallLog(wizard.window), 0);
}

struct ProgressCase {
    const char *line;
    const char *recorded;  // after the install folder; nullptr: nothing recorded
};

TEST_F(InstallRecords, InflatedFilesAreRecordedFromTheirProgressLines)
{
    const ProgressCase kCases[] = {
        {"Inflating: readme.txt ", "readme.txt "},
        {"Extracting logo.png", nullptr},
        {"warning Inflating: mid.dat", "mid.dat"},
        {"Can't create x", nullptr},
    };
    for (const ProgressCase &c : kCases) {
        WriteTestFile(In("INSTALLD.TXT"), "");
        SendMessageA(wizard.window, WM_NULL, 0, 0);
        OnInstallProgress(wizard.window, c.line);
        std::string expected = c.recorded ? " " + In(c.recorded) + "\r\n\r\n" : "";
        EXPECT_EQ(state::ReadFile(In("INSTALLD.TXT")), expected) << c.line;
        EXPECT_EQ(wizard.ProgressLines().back(), c.line);
    }
}

struct FolderPathCase {
    std::string path;
    int result;
};

TEST_F(InstallRecords, TheFolderPathIsMadeLevelByLevelAndChecked)
{
    WriteTestFile(In("afile"), "x");
    const FolderPathCase kCases[] = {
        {In("one\\two\\three\\"), 1},
        {In("one\\two\\three\\"), 1},     // already there
        {In("afile\\below\\"), 0},        // a file stands in the way
        {"C:\\", 1},
        {"", 0},
    };
    for (const FolderPathCase &c : kCases)
        EXPECT_EQ(CreateFolderPath(c.path.c_str()), c.result) << c.path;
    EXPECT_TRUE(state::FileExists(In("one\\two\\three")));
}

}  // namespace
