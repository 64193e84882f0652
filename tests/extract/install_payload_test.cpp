// InstallPayload as the install run calls it: the embedded archive is checked, staged, unpacked
// and the staging file removed; every failure shows its box and the same line in the progress list.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "extract/extract.h"
#include "shell/shell.h"
#include "steps/steps.h"
#include "tests/extract/extract_harness.h"
#include "tests/support/message_box_watch.h"
#include "tests/support/test_wizard.h"

namespace {

// Test resources: the payload one byte longer, one byte shorter, with one byte changed.
const int kPayloadLonger = 9101;
const int kPayloadShorter = 9102;
const int kPayloadChanged = 9103;
const int kNoSuchResource = 9199;

const char kNotInstalledText[] =
    "There has been an internal error: one or more files could not be installed.\n\n"
    "This is usually caused by an earlier version of the software you're trying to install which is "
    "already running, security applications running on your system preventing the installation or "
    "insufficient space on your destination drive.\n\n"
    "Please check these issues and run this installer again.";

std::vector<std::string> StagingFiles()
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(folder) + "TAL*.tmp").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            names.push_back(found.cFileName);
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return names;
}

struct DamagedCase {
    const char *what;
    int resourceId;
};

TEST(InstallPayload, ADamagedArchiveIsRefusedBeforeAnythingIsWritten)
{
    ModuleInstance = GetModuleHandleA(NULL);
    const DamagedCase kCases[] = {
        {"one byte longer", kPayloadLonger},
        {"one byte shorter", kPayloadShorter},
        {"one byte changed", kPayloadChanged},
        {"no such resource", kNoSuchResource},
    };
    for (const DamagedCase &c : kCases) {
        Workspace space = MakeWorkspace("install_damaged");
        const std::vector<std::string> stagedBefore = StagingFiles();
        TestWizard wizard;
        MessageBoxWatch watch;
    watch.Start();
        watch.Start();
        int result = InstallPayload(c.resourceId, space.out.c_str(), wizard.window);
        watch.Finish();
        EXPECT_EQ(result, 0) << c.what;
        EXPECT_EQ(watch.boxes, 1) << c.what;
        EXPECT_EQ(watch.text, ProductConfig.DamagedArchiveText) << c.what;
        EXPECT_EQ(wizard.ProgressLines(), std::vector<std::string>{ProductConfig.DamagedArchiveText}) << c.what;
        EXPECT_EQ(StagingFiles(), stagedBefore) << c.what;
        EXPECT_TRUE(FolderNames(space.out).empty()) << c.what;
    }
}

TEST(InstallPayload, ThePayloadIsInstalledAndNoStagingFileIsLeft)
{
    ModuleInstance = GetModuleHandleA(NULL);
    Workspace space = MakeWorkspace("install_payload");
    const std::vector<std::string> stagedBefore = StagingFiles();
    TestWizard wizard;
    HCURSOR cursorBefore = SetCursor(LoadCursorA(NULL, MAKEINTRESOURCEA(32512)));
    MessageBoxWatch watch;
    watch.Start();
    int result = InstallPayload(ProductConfig.PayloadResource, space.out.c_str(), wizard.window);
    watch.Finish();
    EXPECT_EQ(GetCursor(), LoadCursorA(NULL, MAKEINTRESOURCEA(32512)));
    SetCursor(cursorBefore);

    EXPECT_EQ(result, 1);
    EXPECT_EQ(watch.boxes, 0);
    EXPECT_EQ(StagingFiles(), stagedBefore);
    const std::vector<std::string> names = FolderNames(PAYLOAD_FILES);
    EXPECT_EQ(FolderNames(space.out), names);
    EXPECT_EQ(wizard.ProgressLines().size(), names.size());
    for (const std::string &name : names) {
        std::string expected, actual;
        ASSERT_TRUE(ReadBytes(std::string(PAYLOAD_FILES) + kSeparator + name, &expected));
        ASSERT_TRUE(ReadBytes(space.out + name, &actual)) << name;
        EXPECT_TRUE(actual == expected) << name;
    }
}

TEST(InstallPayload, AnUnpackingFailureShowsTheNotInstalledTextAndRemovesTheStagingFile)
{
    ModuleInstance = GetModuleHandleA(NULL);
    Workspace space = MakeWorkspace("install_failure");
    const std::vector<std::string> stagedBefore = StagingFiles();
    const std::string missingFolder = space.out + "missing" + kSeparator;
    TestWizard wizard;
    MessageBoxWatch watch;
    watch.Start();
    int result = InstallPayload(ProductConfig.PayloadResource, missingFolder.c_str(), wizard.window);
    watch.Finish();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(watch.boxes, 1);
    EXPECT_EQ(watch.text, kNotInstalledText);
    std::vector<std::string> lines = wizard.ProgressLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("Can't create ", 0), 0u) << lines.front();
    EXPECT_EQ(lines.back(), kNotInstalledText);
    EXPECT_EQ(StagingFiles(), stagedBefore);
}

}  // namespace
