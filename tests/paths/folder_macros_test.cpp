// Folder macros, with the system's own answers under Wine as the reference.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "paths/paths.h"
#include "shell/shell.h"
#include "tests/support/test_wizard.h"

namespace {

std::string WithSeparator(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string FolderPath(int csidl)
{
    char path[MAX_PATH] = "";
    EXPECT_EQ(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path), S_OK) << "folder " << csidl;
    return WithSeparator(path);
}

std::string WindowsFolder()
{
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, MAX_PATH);
    return WithSeparator(path);
}

std::string SystemFolder()
{
    char path[MAX_PATH] = "";
    GetSystemDirectoryA(path, MAX_PATH);
    return WithSeparator(path);
}

// ExpandMacros reads the install folder from control 102 of the test's stand-in for the wizard.
class FolderMacros : public ::testing::Test {
  protected:
    void SetUp() override { ModuleInstance = GetModuleHandleA(nullptr); }
    std::string Expand(const std::string &folderField, const std::string &text)
    {
        wizard.SetInstallFolder(folderField);
        return ExpandMacros(window, text.c_str());
    }
    TestWizard wizard;
    HWND window = wizard.window;
};

struct MacroCase {
    const char *folderField;
    std::string text;
    std::string expected;
};

TEST_F(FolderMacros, ExpandToFoldersWithOneSeparator)
{
    const MacroCase kCases[] = {
        {"C:\\Games\\Veltmoor", "%%INSTALLPATH%%", "C:\\Games\\Veltmoor\\"},
        {"C:\\Games\\Veltmoor\\", "%%INSTALLPATH%%", "C:\\Games\\Veltmoor\\"},
        {"D:\\", "%%INSTALLPATH%%", "D:\\"},
        {"c:", "%%INSTALLPATH%%", "c:\\"},
        {"", "%%INSTALLPATH%%", ""},
        {"", "%%INSTALLPATH%%harbway.exe", "harbway.exe"},
        {"C:\\Games\\Veltmoor", "%%installpath%%harbway.exe", "C:\\Games\\Veltmoor\\harbway.exe"},
        {"", "%%windowsfolder%%harbway.ini", WindowsFolder() + "harbway.ini"},
        {"", "%%WINDOWSFOLDER%%", WindowsFolder()},
        {"", "%%SYSTEMFOLDER%%", SystemFolder()},
        {"", "%%DOCUMENTFOLDER%%", FolderPath(CSIDL_PERSONAL)},
        {"", "%%CONFIGFOLDER%%", FolderPath(CSIDL_APPDATA) + "Tallowmere\\"},
        {"", "%%PROGRAMFILES%%", FolderPath(CSIDL_PROGRAM_FILES)},
        {"", ProductConfig.DefaultInstallFolder, FolderPath(CSIDL_PROGRAM_FILES) + "Tallowmere\\Veltmoor A Harbor Chronicle"},
        {"C:\\A", "%%INSTALLPATH%%x;%%INSTALLPATH%%y", "C:\\A\\x;C:\\A\\y"},
    };
    for (const MacroCase &c : kCases)
        EXPECT_EQ(Expand(c.folderField, c.text), c.expected) << "field \"" << c.folderField << "\", text \"" << c.text << "\"";
}

TEST_F(FolderMacros, PlainTextAndMalformedMacros)
{
    const MacroCase kCases[] = {
        {"C:\\X", "%%NOSUCHNAME%%abc", "abc"},
        {"C:\\X", "%%%%abc", "abc"},          // an empty name
        {"C:\\X", "abc%%def", "abcdef"},      // an unclosed opening vanishes
        {"C:\\X", "100% sure", "100% sure"},  // a lone percent sign is plain text
        {"C:\\X", "a%b%c%", "a%b%c%"},
        {"C:\\X", "%%INSTALLPATH", "INSTALLPATH"},
        {"C:\\X", "", ""},
    };
    for (const MacroCase &c : kCases)
        EXPECT_EQ(Expand(c.folderField, c.text), c.expected) << "text \"" << c.text << "\"";
}

TEST_F(FolderMacros, WindowsVersionDescribesTheSystem)
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_EQ(sizeof version, 148u);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ASSERT_TRUE(GetVersionExA(&version));
#pragma GCC diagnostic pop
    std::string expected = std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion) +
                           " BUILD:" + std::to_string((int)version.dwBuildNumber) + " PLATFORM:" +
                           std::to_string(version.dwPlatformId) + " " + version.szCSDVersion;
    EXPECT_EQ(Expand("", "%%WINDOWSVERSION%%"), expected);
}

TEST_F(FolderMacros, TheResultIsCutAt1024Characters)
{
    std::string plain(2000, 'p');
    EXPECT_EQ(Expand("", plain), plain.substr(0, 1024));
    // A folder value that would pass the limit is cut there too.
    std::string nearlyFull(1020, 'q');
    EXPECT_EQ(Expand("C:\\Games\\Veltmoor", nearlyFull + "%%INSTALLPATH%%tail"), nearlyFull + "C:\\G");
}

TEST_F(FolderMacros, EveryCallOverwritesTheOneSharedBuffer)
{
    SetDlgItemTextA(window, IDC_INSTALL_FOLDER, "C:\\First");
    const char *first = ExpandMacros(window, "%%INSTALLPATH%%one");
    std::string copy = first;
    const char *second = ExpandMacros(window, "two");
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "two");
    EXPECT_EQ(copy, "C:\\First\\one");
}

}  // namespace
