#include "tools/driver/wizard_driver.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

namespace driver {
namespace {

constexpr UINT kQueryTimeout = 500;   // one cross-process query; the installer may be busy
constexpr int kBarrierControl = 106;  // the licence edit: its text limit carries the settle marker
constexpr WPARAM kBarrierBase = 0x7F000000;

std::string Narrow(const wchar_t *text, int length = -1)
{
    if (length == 0)
        return std::string();
    int size = WideCharToMultiByte(1252, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(1252, 0, text, length, &out[0], size, nullptr, nullptr);
    if (length < 0 && !out.empty())
        out.pop_back();  // the NUL
    return out;
}

bool Query(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    DWORD_PTR value = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kQueryTimeout, &value))
        return false;
    *result = (LRESULT)value;
    return true;
}

struct ProcessWindows {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM param)
{
    ProcessWindows *collected = (ProcessWindows *)param;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == collected->processId)
        collected->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD processId)
{
    ProcessWindows collected{processId, {}};
    EnumWindows(CollectProcessWindow, (LPARAM)&collected);
    return collected.windows;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param)
{
    ((std::vector<HWND> *)param)->push_back(window);
    return TRUE;
}

std::string Quoted(const std::string &text, size_t limit = 70)
{
    std::string shown;
    for (char c : text.substr(0, limit))
        shown += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    return "\"" + shown + (text.size() > limit ? "...\"" : "\"");
}

}  // namespace

std::string WinePath(const std::string &unixPath)
{
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string EnvOr(const char *name, const std::string &fallback)
{
    const char *value = getenv(name);
    return value != nullptr && value[0] != '\0' ? std::string(value) : fallback;
}

bool WaitUntil(const std::function<bool()> &condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(15);  // polling interval of the wait, not a synchronisation
    }
}

bool SaveScreenshot(const std::string &pngPath)
{
    // Wine starts Linux programs but hands back no process to wait for, so the script renames
    // the finished picture into place and the driver waits for it to appear.
    std::string script = EnvOr("VELTMOOR_SCREENSHOT_TOOL", "");
    if (script.empty())
        return false;
    std::string windowsPath = WinePath(pngPath);
    DeleteFileA(windowsPath.c_str());
    std::string commandLine = "/bin/sh \"" + script + "\" \"" + pngPath + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child))
        return false;
    return WaitUntil([&] { return GetFileAttributesA(windowsPath.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000);
}

std::string WindowText(HWND window)
{
    wchar_t text[2048];
    int length = GetWindowTextW(window, text, 2048);
    return Narrow(text, length);
}

std::string ClassName(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<ControlView> ReadControls(HWND dialog)
{
    std::vector<HWND> children;
    EnumChildWindows(dialog, CollectChild, (LPARAM)&children);
    std::vector<ControlView> views;
    for (HWND child : children)
        views.push_back({GetDlgCtrlID(child), ClassName(child), WindowText(child), IsWindowVisible(child) != 0,
                         IsWindowEnabled(child) != 0});
    return views;
}

// ---- Process ----

bool Installer::Start(const std::string &arguments, const std::string &program)
{
    std::string file = program.empty() ? EnvOr("VELTMOOR_INSTALLER", "") : program;
    if (file.empty()) {
        lastError = "no installer: VELTMOOR_INSTALLER is not set";
        return false;
    }
    std::string commandLine = "\"" + file + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string desktopName = desktop;
    if (!desktopName.empty())
        startup.lpDesktop = &desktopName[0];
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        lastError = "could not start " + commandLine + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    processId = process.dwProcessId;
    return true;
}

bool Installer::Running() const
{
    return process.hProcess != nullptr && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

bool Installer::WaitForExit(DWORD timeoutMs, DWORD *exitCode)
{
    if (process.hProcess == nullptr)
        return false;
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        lastError = "the installer did not end within " + std::to_string(timeoutMs) + " ms\n" + DescribeScreen();
        return false;
    }
    if (exitCode != nullptr)
        GetExitCodeProcess(process.hProcess, exitCode);
    return true;
}

void Installer::Kill()
{
    if (Running()) {
        TerminateProcess(process.hProcess, 255);
        WaitForSingleObject(process.hProcess, kWait);
    }
}

bool Installer::WaitForIdle(DWORD timeoutMs) const
{
    return process.hProcess != nullptr && WaitForInputIdle(process.hProcess, timeoutMs) == 0;
}

void Installer::Close()
{
    Kill();
    if (process.hProcess != nullptr) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    process = PROCESS_INFORMATION{};
    processId = 0;
    wizard = nullptr;
}

Installer::~Installer()
{
    Close();
}

// ---- Windows ----

bool Installer::WaitForWizard(DWORD timeoutMs)
{
    bool found = WaitUntil([&] {
        for (HWND window : TopLevelWindows(processId))
            if (IsWindowVisible(window) && ClassName(window) == "#32770" && GetDlgItem(window, 21) != nullptr) {
                wizard = window;
                return true;
            }
        return !Running();
    }, timeoutMs);
    if (!found || wizard == nullptr) {
        lastError = std::string(Running() ? "no wizard appeared" : "the installer ended without a wizard") +
                    "\n" + DescribeScreen();
        return false;
    }
    return true;
}

HWND Installer::Backdrop() const
{
    for (HWND window : TopLevelWindows(processId))
        if (IsWindowVisible(window) && ClassName(window) != "#32770")
            return window;
    return nullptr;
}

HWND Installer::FindDialog(const char *caption) const
{
    for (HWND window : TopLevelWindows(processId))
        if (window != wizard && IsWindowVisible(window) && ClassName(window) == "#32770" &&
            WindowText(window) == caption)
            return window;
    return nullptr;
}

bool Installer::WaitForDialog(const char *caption, DWORD timeoutMs)
{
    if (WaitUntil([&] { return FindDialog(caption) != nullptr; }, timeoutMs))
        return true;
    lastError = std::string("no dialog \"") + caption + "\" appeared\n" + DescribeScreen();
    return false;
}

// ---- Reading ----

HWND Installer::Control(int id) const
{
    return wizard != nullptr ? GetDlgItem(wizard, id) : nullptr;
}

bool Installer::Exists(int id) const { return Control(id) != nullptr; }
bool Installer::Visible(int id) const { return Control(id) != nullptr && IsWindowVisible(Control(id)); }
bool Installer::Enabled(int id) const { return Control(id) != nullptr && IsWindowEnabled(Control(id)); }

bool Installer::Checked(int id) const
{
    LRESULT state = 0;
    return Control(id) != nullptr && Query(Control(id), BM_GETCHECK, 0, 0, &state) && state == BST_CHECKED;
}

std::string Installer::Text(int id) const
{
    return Control(id) != nullptr ? WindowText(Control(id)) : std::string();
}

std::vector<int> Installer::VisiblePageControls() const
{
    std::vector<int> ids;
    for (const ControlView &view : ReadControls(wizard))
        if (view.id >= 100 && view.visible)
            ids.push_back(view.id);
    return ids;
}

std::vector<std::string> Installer::ProgressLines() const
{
    std::vector<std::string> lines;
    HWND list = Control(133);
    LRESULT count = 0;
    if (list == nullptr || !Query(list, LB_GETCOUNT, 0, 0, &count))
        return lines;
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = 0;
        if (!Query(list, LB_GETTEXTLEN, (WPARAM)i, 0, &length) || length < 0)
            break;
        std::wstring text((size_t)length + 1, L'\0');
        LRESULT copied = 0;
        if (!Query(list, LB_GETTEXT, (WPARAM)i, (LPARAM)&text[0], &copied))
            break;
        lines.push_back(Narrow(text.c_str(), copied > 0 ? (int)copied : 0));
    }
    return lines;
}

RECT Installer::ClientRect(int id) const
{
    RECT rect{};
    GetWindowRect(Control(id), &rect);
    MapWindowPoints(nullptr, wizard, (POINT *)&rect, 2);
    return rect;
}

// ---- Acting ----

// Posted messages of one thread are handled in order, so once a marker posted after an action has
// arrived, the action and everything it did synchronously are done, also when it opened a modal box.
bool Settle(HWND wizard)
{
    static WPARAM counter;
    HWND barrier = GetDlgItem(wizard, kBarrierControl);
    if (barrier == nullptr)
        return false;
    WPARAM marker = kBarrierBase + (++counter & 0xFFFF);
    PostMessageW(barrier, EM_SETLIMITTEXT, marker, 0);
    return WaitUntil([&] {
        LRESULT limit = 0;
        return !IsWindow(barrier) || (Query(barrier, EM_GETLIMITTEXT, 0, 0, &limit) && (WPARAM)limit == marker);
    });
}

bool Installer::Click(int id)
{
    HWND control = Control(id);
    std::string why = control == nullptr ? "does not exist" : !IsWindowVisible(control) ? "is hidden"
                      : !IsWindowEnabled(control) ? "is disabled" : "";
    if (!why.empty()) {
        lastError = "cannot click control " + std::to_string(id) + ": it " + why + "\n" + DescribeScreen();
        return false;
    }
    PostMessageW(control, BM_CLICK, 0, 0);
    if (!Settle(wizard) && Running()) {
        lastError = "the installer did not take the click on " + std::to_string(id) + " in time\n" + DescribeScreen();
        return false;
    }
    return true;
}

static void PostKey(HWND wizard, UINT key)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(wizard, nullptr);
    HWND target = GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr ? info.hwndFocus : wizard;
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

void Installer::PressEnter()
{
    PostKey(wizard, VK_RETURN);
    Settle(wizard);
}

void Installer::PressEscape()
{
    PostKey(wizard, VK_ESCAPE);
    Settle(wizard);
}

void Installer::SendClose()
{
    PostMessageW(wizard, WM_SYSCOMMAND, SC_CLOSE, 0);
    Settle(wizard);
}

std::string Installer::DialogText(const char *caption) const
{
    HWND dialog = FindDialog(caption);
    std::string longest;
    if (dialog == nullptr)
        return longest;
    for (const ControlView &view : ReadControls(dialog))
        if (view.className == "Static" && view.text.size() > longest.size())
            longest = view.text;
    return longest;
}

bool Installer::PressDialogButton(const char *caption, int id)
{
    HWND dialog = FindDialog(caption);
    HWND button = dialog != nullptr ? GetDlgItem(dialog, id) : nullptr;
    if (button == nullptr || !IsWindowVisible(button) || !IsWindowEnabled(button)) {
        lastError = std::string("no usable button ") + std::to_string(id) + " in dialog \"" + caption + "\"\n" +
                    DescribeScreen();
        return false;
    }
    PostMessageW(button, BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); })) {
        lastError = std::string("dialog \"") + caption + "\" stayed open\n" + DescribeScreen();
        return false;
    }
    return true;
}

std::string Installer::DescribeScreen() const
{
    std::string out = "  on screen (process " + std::to_string(processId) + (Running() ? ", running" : ", ended") + "):\n";
    for (HWND window : TopLevelWindows(processId)) {
        if (!IsWindowVisible(window))
            continue;
        RECT r{};
        GetWindowRect(window, &r);
        out += "  window " + ClassName(window) + " " + Quoted(WindowText(window)) + " at " + std::to_string(r.left) +
               "," + std::to_string(r.top) + " size " + std::to_string(r.right - r.left) + "x" +
               std::to_string(r.bottom - r.top) + (window == wizard ? " (wizard)" : "") + "\n";
        for (const ControlView &view : ReadControls(window)) {
            if (!view.visible)
                continue;
            out += "    " + std::to_string(view.id) + " " + view.className + (view.enabled ? "" : " disabled") + " " +
                   Quoted(view.text) + "\n";
        }
    }
    return out;
}

}  // namespace driver
