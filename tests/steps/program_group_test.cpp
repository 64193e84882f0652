// The program group over DDE: once with Wine's own shell as the server, which really builds the
// group, and then against our recording server (tools/fakes/progman_fake.cpp) on a desktop of its
// own, where it is the only one that answers.
#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>

#include "shell/shell.h"
#include "steps/steps.h"
#include "tests/steps/steps_test_support.h"
#include "tests/support/installer_state.h"
#include "tests/support/isolated_desktop.h"
#include "tests/support/shell_links.h"
#include "tests/support/test_wizard.h"

namespace {

const std::vector<std::string> kGroupFiles = {"harbway.exe", "clickme.exe", "tallweb.exe", "html\\manual.htm",
                                              "order.doc", "document.icn"};

// An install folder with the group's files and a started INSTALLD.TXT, and a wizard that names it.
struct GroupInstall {
    explicit GroupInstall(const std::string &name) : folder(FreshInstallFolder(name, kGroupFiles)), wizard(folder)
    {
        WriteTestFile(folder + "INSTALLD.TXT", "");
    }
    std::vector<std::string> Records() const { return ReadLines(folder + "INSTALLD.TXT"); }

    std::string folder;
    TestWizard wizard;
};

// ---- Wine's shell as the server ----

BOOL CALLBACK FindTitled(HWND window, LPARAM param)
{
    auto *search = (std::pair<std::string, HWND> *)param;
    char title[MAX_PATH] = "";
    GetWindowTextA(window, title, MAX_PATH);
    if (lstrcmpiA(title, search->first.c_str()) == 0) {
        search->second = window;
        return FALSE;
    }
    return TRUE;
}

HWND TopLevelTitled(const std::string &title)
{
    std::pair<std::string, HWND> search(title, nullptr);
    EnumWindows(FindTitled, (LPARAM)&search);
    return search.second;
}

TEST(ProgramGroup, WineShellBuildsTheGroupAsLinkFiles)
{
    CoInitialize(nullptr);
    GroupInstall install("wine-shell");
    ASSERT_FALSE(install.folder.empty());
    ASSERT_NE(DdeWindowForThisThread(), nullptr);

    EXPECT_EQ(CreateProgramGroup(install.wizard.window, ProductConfig.ProductName, ProductConfig.GroupItems), 1);

    std::string group = state::StartMenuFolder() + "Programs\\" + ProductConfig.ProductName + "\\";
    struct Expected {
        const char *caption;
        const char *file;
    };
    const Expected kItems[] = {{"Click Me", "clickme.exe"},
                               {"Documentation Read Me First", "html\\manual.htm"},
                               {"Order Form", "order.doc"},
                               {"Tallowmere Web Page", "tallweb.exe"},
                               {"Veltmoor - A Harbor Chronicle", "harbway.exe"}};
    std::vector<std::string> expectedNames;
    for (const Expected &item : kItems)
        expectedNames.push_back(std::string(item.caption) + ".lnk");
    ASSERT_EQ(LinkFilesIn(group), expectedNames) << "in " << group;
    for (const Expected &item : kItems) {
        LinkView link;
        ASSERT_TRUE(ReadShellLink(group + item.caption + ".lnk", &link)) << item.caption;
        EXPECT_EQ(LongPath(link.target), LongPath(install.folder + item.file)) << item.caption;
    }
    EXPECT_EQ(install.Records(), std::vector<std::string>{std::string(" GROUPNAME:") + ProductConfig.ProductName});

    // The shell opens the new group in a folder window of its own, some time after it answered:
    // too late for the step to place it (the placement is shown with our server below). Close it.
    HWND window = nullptr;
    WaitFor([&] { return (window = TopLevelTitled(ProductConfig.ProductName)) != nullptr; });
    if (window != nullptr)
        PostMessageA(window, WM_CLOSE, 0, 0);
    CoUninitialize();
}

// ---- Our recording server, the only one on its desktop ----

struct FakeServer {
    // Starts PROGMAN.EXE on `desktop` in `mode` and waits until it is ready for input.
    bool Start(const std::string &desktop, const char *mode, const std::string &recordFile)
    {
        record = recordFile;
        DeleteFileA(record.c_str());
        SetEnvironmentVariableA("FAKE_PROGMAN_RECORD", record.c_str());
        SetEnvironmentVariableA("FAKE_PROGMAN_MODE", mode);
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string program = std::string(self).substr(0, std::string(self).rfind('\\') + 1) + "PROGMAN.EXE";
        if (!StartOnDesktop("\"" + program + "\"", desktop, &process))
            return false;
        return WaitForInputIdle(process.hProcess, 15000) == 0;
    }
    bool WaitForEnd(DWORD timeoutMs = 15000)
    {
        return WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    }
    // The recorded events, without the start line and the end of the conversation, whose order
    // against the server's own exit is not fixed.
    std::vector<std::string> Events() const
    {
        std::vector<std::string> events;
        for (const std::string &line : ReadLines(record))
            if (line != "STARTED" && line != "TERMINATE")
                events.push_back(line);
        return events;
    }
    ~FakeServer()
    {
        if (process.hProcess != nullptr) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 15000);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        SetEnvironmentVariableA("FAKE_PROGMAN_MODE", nullptr);
    }

    std::string record;
    PROCESS_INFORMATION process{};
};

void RunIsolated(const std::function<void(const std::string &)> &body)
{
    std::string error;
    ASSERT_TRUE(RunOnIsolatedDesktop(body, &error)) << error;
}

TEST(ProgramGroup, SendsDeleteCreateEveryItemInListOrderAndExit)
{
    RunIsolated([](const std::string &desktop) {
        GroupInstall install("exact-commands");
        ASSERT_FALSE(install.folder.empty());
        ASSERT_NE(DdeWindowForThisThread(), nullptr);
        FakeServer server;
        ASSERT_TRUE(server.Start(desktop, "ack", install.folder + "progman.log"));

        EXPECT_EQ(CreateProgramGroup(install.wizard.window, ProductConfig.ProductName, ProductConfig.GroupItems), 1);
        ASSERT_TRUE(server.WaitForEnd());

        const std::string &f = install.folder;
        auto item = [](const std::string &command, const char *caption, const std::string &icon) {
            return "EXECUTE [additem(\"" + ShortPath(command) + "\",\"" + caption + "\",\"" + ShortPath(icon) +
                   "\",0)]";
        };
        std::vector<std::string> expected = {
            "INITIATE PROGMAN|PROGMAN",
            "ENABLE 0",
            "EXECUTE [deletegroup(Veltmoor - A Harbor Chronicle)]",
            "EXECUTE [creategroup(Veltmoor - A Harbor Chronicle)]",
            item(f + "harbway.exe", "Veltmoor - A Harbor Chronicle", f + "harbway.exe"),
            item(f + "clickme.exe", "Click Me", f + "clickme.exe"),
            item(f + "tallweb.exe", "Tallowmere Web Page", f + "tallweb.exe"),
            item(f + "html\\manual.htm", "Documentation Read Me First", f + "document.icn"),
            item(f + "order.doc", "Order Form", f + "document.icn"),
            "ENABLE 1",
            "EXECUTE [exitprogman(1)]",
        };
        EXPECT_EQ(server.Events(), expected);
        // The install folder has blanks; the short paths that the server gets have none.
        EXPECT_EQ(ShortPath(f + "harbway.exe").find(' '), std::string::npos);
        EXPECT_EQ(install.Records(), std::vector<std::string>{" GROUPNAME:Veltmoor - A Harbor Chronicle"});
    });
}

TEST(ProgramGroup, ItemFieldsFollowTheListGrammar)
{
    RunIsolated([](const std::string &desktop) {
        GroupInstall install("item-grammar");
        ASSERT_NE(DdeWindowForThisThread(), nullptr);
        FakeServer server;
        ASSERT_TRUE(server.Start(desktop, "ack", install.folder + "progman.log"));
        const std::string f = install.folder;
        // An item without a tab is passed over; runs of ";" and of tabs separate like one; an icon
        // that does not exist keeps its long name; a caption may use the folder macros.
        const char *items = ";;no tab here;%%INSTALLPATH%%harbway.exe\t\tIn %%INSTALLPATH%%;;"
                            "%%INSTALLPATH%%clickme.exe\tClick\t\t%%INSTALLPATH%%missing icon.icn;";

        EXPECT_EQ(CreateProgramGroup(install.wizard.window, "Grammar Group", items), 1);
        ASSERT_TRUE(server.WaitForEnd());

        std::vector<std::string> expected = {
            "INITIATE PROGMAN|PROGMAN",
            "ENABLE 0",
            "EXECUTE [deletegroup(Grammar Group)]",
            "EXECUTE [creategroup(Grammar Group)]",
            "EXECUTE [additem(\"" + ShortPath(f + "harbway.exe") + "\",\"In " + f + "\",\"" +
                ShortPath(f + "harbway.exe") + "\",0)]",
            "EXECUTE [additem(\"" + ShortPath(f + "clickme.exe") + "\",\"Click\",\"" + f + "missing icon.icn\",0)]",
            "ENABLE 1",
            "EXECUTE [exitprogman(1)]",
        };
        EXPECT_EQ(server.Events(), expected);
    });
}

// One command against each way a server can answer, or fail to.
TEST(ProgramGroup, ACommandWaitsForItsAnswerButNotForEver)
{
    struct Case {
        const char *mode;
        int result;
        bool timesOut;
    };
    const Case kCases[] = {
        {"ack", 1, false},        // positive acknowledgement
        {"nack", 0, false},       // negative acknowledgement
        {"terminate", 0, false},  // the server ends the conversation instead of answering
        {"vanish", 0, false},     // the server's window goes away
        {"silent", 0, true},      // no answer: the time-out ends the wait
    };
    for (const Case &c : kCases) {
        RunIsolated([&](const std::string &desktop) {
            std::string folder = FreshTestFolder(std::string("wait-") + c.mode) + "\\";
            ASSERT_NE(DdeWindowForThisThread(), nullptr);
            FakeServer server;
            ASSERT_TRUE(server.Start(desktop, c.mode, folder + "progman.log")) << c.mode;
            HWND answer = ConnectProgramManager("PROGMAN", "PROGMAN");
            ASSERT_NE(answer, nullptr) << c.mode;

            DWORD start = GetTickCount();
            EXPECT_EQ(DdeExecute(answer, "[creategroup(Wait Test)]"), c.result) << c.mode;
            DWORD elapsed = GetTickCount() - start;
            if (c.timesOut) {
                EXPECT_GE(elapsed + 50, (DWORD)DDE_REPLY_TIMEOUT_MS) << c.mode;
                EXPECT_LT(elapsed, (DWORD)DDE_REPLY_TIMEOUT_MS + 2000) << c.mode;
            } else {
                EXPECT_LT(elapsed, (DWORD)DDE_REPLY_TIMEOUT_MS / 2) << c.mode;
            }
            // A server that has ended the conversation is sent nothing more.
            if (std::string(c.mode) == "terminate" || std::string(c.mode) == "vanish") {
                start = GetTickCount();
                EXPECT_EQ(DdeExecute(answer, "[creategroup(After The End)]"), 0) << c.mode;
                EXPECT_LT(GetTickCount() - start, 1000u) << c.mode;
                std::vector<std::string> events = server.Events();
                EXPECT_EQ(std::count(events.begin(), events.end(), "EXECUTE [creategroup(After The End)]"), 0)
                    << c.mode;
            }
        });
    }
}

TEST(ProgramGroup, NegativeAnswersDoNotStopTheGroup)
{
    RunIsolated([](const std::string &desktop) {
        GroupInstall install("negative");
        ASSERT_NE(DdeWindowForThisThread(), nullptr);
        FakeServer server;
        ASSERT_TRUE(server.Start(desktop, "nack", install.folder + "progman.log"));

        EXPECT_EQ(CreateProgramGroup(install.wizard.window, ProductConfig.ProductName, ProductConfig.GroupItems), 1);
        ASSERT_TRUE(server.WaitForEnd());
        std::vector<std::string> events = server.Events();
        EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const std::string &e) {
                      return e.rfind("EXECUTE ", 0) == 0;
                  }), 8);
        EXPECT_EQ(events.back(), "EXECUTE [exitprogman(1)]");
    });
}

// Nobody answers, and the server started as "PROGMAN" (our server beside this test program, told
// to be absent) does not answer either: no group, but the record.
TEST(ProgramGroup, WithoutAServerTheStepFailsAndStillRecordsTheGroup)
{
    RunIsolated([](const std::string &) {
        GroupInstall install("no-server");
        ASSERT_NE(DdeWindowForThisThread(), nullptr);
        std::string record = install.folder + "progman.log";
        SetEnvironmentVariableA("FAKE_PROGMAN_RECORD", record.c_str());
        SetEnvironmentVariableA("FAKE_PROGMAN_MODE", "absent");

        EXPECT_EQ(CreateProgramGroup(install.wizard.window, ProductConfig.ProductName, ProductConfig.GroupItems), 0);

        SetEnvironmentVariableA("FAKE_PROGMAN_MODE", nullptr);
        EXPECT_EQ(ReadLines(record), std::vector<std::string>{"STARTED"}) << "the fallback start";
        EXPECT_EQ(install.Records(), std::vector<std::string>{" GROUPNAME:Veltmoor - A Harbor Chronicle"});
    });
}

TEST(ProgramGroup, TheGroupWindowIsPlacedAtTheLeftEdge)
{
    RunIsolated([](const std::string &desktop) {
        GroupInstall install("placement");
        ASSERT_NE(DdeWindowForThisThread(), nullptr);
        FakeServer server;
        SetEnvironmentVariableA("FAKE_PROGMAN_GROUP_WINDOW", "1");
        ASSERT_TRUE(server.Start(desktop, "ack", install.folder + "progman.log"));
        SetEnvironmentVariableA("FAKE_PROGMAN_GROUP_WINDOW", nullptr);

        EXPECT_EQ(CreateProgramGroup(install.wizard.window, "placement group", "x\ty"), 1);
        // The server names its window in its own case; the title is compared without regard to it.
        HWND window = TopLevelTitled("Placement Group");
        ASSERT_NE(window, nullptr);
        RECT rect;
        GetWindowRect(window, &rect);
        EXPECT_EQ(rect.left, 10);
        EXPECT_EQ(rect.top, 10);
        EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXICONSPACING) * 25 / 10);
        EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN) - 50);
    });
}

}  // namespace
