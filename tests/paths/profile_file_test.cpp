// The product's profile file, over the real profile-string functions of the system.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "paths/paths.h"
#include "shell/shell.h"
#include "tests/support/test_wizard.h"

namespace {

class ProfileFile : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ModuleInstance = GetModuleHandleA(nullptr);
        PrepareProfileFolder(window);
        profile = ExpandMacros(window, ProductConfig.ProfileFile);
        DeleteFileA(profile.c_str());
    }
    void TearDown() override { DeleteFileA(profile.c_str()); }
    std::map<std::string, std::string> Section() const
    {
        char buffer[4096] = "";
        GetPrivateProfileSectionA(ProductConfig.ProfileSection, buffer, sizeof buffer, profile.c_str());
        std::map<std::string, std::string> entries;
        for (const char *line = buffer; *line != '\0'; line += strlen(line) + 1) {
            std::string text = line;
            size_t equals = text.find('=');
            entries[text.substr(0, equals)] = equals == std::string::npos ? "" : text.substr(equals + 1);
        }
        return entries;
    }
    TestWizard wizard;
    HWND window = wizard.window;
    std::string profile;
};

struct ItemsCase {
    const char *items;
    std::map<std::string, std::string> written;
};

TEST_F(ProfileFile, WritesEachItemOfTheList)
{
    SetDlgItemTextA(window, IDC_INSTALL_FOLDER, "C:\\Games\\Veltmoor");
    const ItemsCase kCases[] = {
        {"ApplicationPath=%%INSTALLPATH%%", {{"ApplicationPath", "C:\\Games\\Veltmoor\\"}}},
        {";;ApplicationPath=%%INSTALLPATH%%;;", {{"ApplicationPath", "C:\\Games\\Veltmoor\\"}}},
        {"NoEqualsSign", {}},
        {"key==value", {{"key", "value"}}},
        {"key=a=b", {{"key", "a=b"}}},
        {"one=1;two=2", {{"one", "1"}, {"two", "2"}}},
    };
    for (const ItemsCase &c : kCases) {
        DeleteFileA(profile.c_str());
        EXPECT_EQ(WriteProfileItems(window, c.items), 1) << c.items;
        EXPECT_EQ(Section(), c.written) << c.items;
    }
}

TEST_F(ProfileFile, ReportsAWriteThatFailed)
{
    std::string folder = ExpandMacros(window, "%%CONFIGFOLDER%%");
    DeleteFileA(profile.c_str());
    ASSERT_TRUE(RemoveDirectoryA(folder.c_str())) << folder;  // the profile's folder is gone
    EXPECT_EQ(WriteProfileItems(window, "ApplicationPath=%%INSTALLPATH%%"), 0);
    PrepareProfileFolder(window);
}

struct RecordedCase {
    const char *recorded;  // nullptr: no profile file
    int found;
    const char *field;
};

TEST_F(ProfileFile, ARecordedFolderReplacesTheFieldWithoutItsBackslash)
{
    const RecordedCase kCases[] = {
        {"D:\\Apps\\Veltmoor\\", 1, "D:\\Apps\\Veltmoor"},
        {"C:\\Games\\Veltmoor", 1, "C:\\Games\\Veltmoor"},
        {"C:\\", 1, "C:"},
        {"", 0, "unchanged"},
        {nullptr, 0, "unchanged"},
    };
    for (const RecordedCase &c : kCases) {
        DeleteFileA(profile.c_str());
        if (c.recorded != nullptr)
            WritePrivateProfileStringA(ProductConfig.ProfileSection, "ApplicationPath", c.recorded, profile.c_str());
        SetDlgItemTextA(window, IDC_INSTALL_FOLDER, "unchanged");
        EXPECT_EQ(LoadInstallFolderFromProfile(window, IDC_INSTALL_FOLDER, profile.c_str(), ProductConfig.ProfileSection,
                                               "ApplicationPath"),
                  c.found)
            << (c.recorded ? c.recorded : "(no file)");
        char field[MAX_PATH];
        GetDlgItemTextA(window, IDC_INSTALL_FOLDER, field, MAX_PATH);
        EXPECT_STREQ(field, c.field) << (c.recorded ? c.recorded : "(no file)");
    }
}

}  // namespace
