// InstallPayload as the install run calls it: the embedded archive is checked, staged, unpacked
// and the staging file removed; every failure shows its box and the same line in the progress list.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "extract/extract.h"
#include "shell/shell.h"
#include "steps/steps.h"
#include "tests/extract/extract_harness.h"

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

// A stand-in for the wizard: a window with the progress list, whose progress handler adds lines.
LRESULT CALLBACK TestWizardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INSTALL_PROGRESS) {
        AddProgressLine(window, (const char *)lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct TestWizard {
    HWND window = NULL;

    TestWizard()
    {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = TestWizardProc;
            windowClass.hInstance = GetModuleHandleA(NULL);
            windowClass.lpszClassName = "InstallPayloadTestWizard";
            RegisterClassA(&windowClass);
            registered = true;
        }
        window = CreateWindowA("InstallPayloadTestWizard", "wizard", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, NULL,
                               NULL, GetModuleHandleA(NULL), NULL);
        CreateWindowA("LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_HASSTRINGS | LBS_NOSEL, 0, 0, 380, 260, window,
                      (HMENU)(INT_PTR)IDC_PROGRESS_LIST, GetModuleHandleA(NULL), NULL);
    }
    ~TestWizard() { DestroyWindow(window); }

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        int count = (int)SendDlgItemMessageA(window, IDC_PROGRESS_LIST, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; ++i) {
            int length = (int)SendDlgItemMessageA(window, IDC_PROGRESS_LIST, LB_GETTEXTLEN, i, 0);
            std::string line(length + 1, '\0');
            SendDlgItemMessageA(window, IDC_PROGRESS_LIST, LB_GETTEXT, i, (LPARAM)&line[0]);
            line.resize(length);
            lines.push_back(line);
        }
        return lines;
    }
};

// Watches from a second thread for this process's message box captioned "Message", notes its text
// and presses OK, as a user would.
struct MessageBoxWatch {
    std::atomic<bool> stop{false};
    std::atomic<int> boxes{0};
    std::string text;
    std::thread thread;

    MessageBoxWatch() : thread([this] { Watch(); }) {}
    ~MessageBoxWatch() { Finish(); }

    void Finish()
    {
        stop = true;
        if (thread.joinable())
            thread.join();
    }

    static BOOL CALLBACK FindBox(HWND window, LPARAM found)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char className[32] = "", caption[32] = "";
        GetClassNameA(window, className, sizeof className);
        // Only a box's title is read: reading that of another window of this process would wait
        // for its thread, which may be waiting for this one.
        if (process != GetCurrentProcessId() || !IsWindowVisible(window) || strcmp(className, "#32770") != 0)
            return TRUE;
        GetWindowTextA(window, caption, sizeof caption);
        if (strcmp(caption, "Message") == 0) {
            *(HWND *)found = window;
            return FALSE;
        }
        return TRUE;
    }

    void Watch()
    {
        const DWORD deadline = GetTickCount() + 30000;
        while (!stop && GetTickCount() < deadline) {
            HWND box = NULL;
            EnumWindows(FindBox, (LPARAM)&box);
            if (box != NULL) {
                char buffer[2048] = "";
                GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);  // the box's text control
                text = buffer;
                ++boxes;
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                // Wait for this box to go before looking for another.
                while (IsWindow(box) && GetTickCount() < deadline)
                    Sleep(10);
            }
            Sleep(10);
        }
    }
};

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
        int result = InstallPayload(c.resourceId, space.out.c_str(), wizard.window);
        watch.Finish();
        EXPECT_EQ(result, 0) << c.what;
        EXPECT_EQ(watch.boxes, 1) << c.what;
        EXPECT_EQ(watch.text, ProductConfig.DamagedArchiveText) << c.what;
        EXPECT_EQ(wizard.Lines(), std::vector<std::string>{ProductConfig.DamagedArchiveText}) << c.what;
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
    int result = InstallPayload(ProductConfig.PayloadResource, space.out.c_str(), wizard.window);
    watch.Finish();
    EXPECT_EQ(GetCursor(), LoadCursorA(NULL, MAKEINTRESOURCEA(32512)));
    SetCursor(cursorBefore);

    EXPECT_EQ(result, 1);
    EXPECT_EQ(watch.boxes, 0);
    EXPECT_EQ(StagingFiles(), stagedBefore);
    const std::vector<std::string> names = FolderNames(PAYLOAD_FILES);
    EXPECT_EQ(FolderNames(space.out), names);
    EXPECT_EQ(wizard.Lines().size(), names.size());
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
    int result = InstallPayload(ProductConfig.PayloadResource, missingFolder.c_str(), wizard.window);
    watch.Finish();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(watch.boxes, 1);
    EXPECT_EQ(watch.text, kNotInstalledText);
    std::vector<std::string> lines = wizard.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("Can't create ", 0), 0u) << lines.front();
    EXPECT_EQ(lines.back(), kNotInstalledText);
    EXPECT_EQ(StagingFiles(), stagedBefore);
}

}  // namespace
