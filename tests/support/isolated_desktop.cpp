#include "tests/support/isolated_desktop.h"

#include <dde.h>

#include <thread>
#include <vector>

namespace {

constexpr DWORD kShellWait = 20000;  // a new desktop starts its own desktop process first
constexpr UINT kProbeTimeout = 2000;

HWND ProbeAnswer;

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DDE_ACK) {
        ProbeAnswer = (HWND)wParam;
        GlobalDeleteAtom(LOWORD(lParam));
        GlobalDeleteAtom(HIWORD(lParam));
        return 0;
    }
    if (message == WM_DDE_TERMINATE)
        return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND ProbeWindow()
{
    static thread_local HWND probe;
    if (probe != nullptr && IsWindow(probe))
        return probe;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ProbeProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VeltmoorTestDdeProbe";
    RegisterClassA(&windowClass);  // fails harmlessly once registered
    probe = CreateWindowExA(0, windowClass.lpszClassName, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr,
                            windowClass.hInstance, nullptr);
    return probe;
}

bool WaitFor(const std::function<bool()> &condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);  // polling interval
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    return true;
}

BOOL CALLBACK CloseShellDdeServer(HWND window, LPARAM)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    // Wine's DDE library serves each registered service name through one such window.
    if (process != GetCurrentProcessId() && lstrcmpA(className, "WineDdeServerName") == 0)
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

bool SilenceShell(std::string *error)
{
    if (!WaitFor([] { return ProbeProgramManager() != nullptr; }, kShellWait)) {
        *error = "the new desktop's shell never answered \"PROGMAN\"";
        return false;
    }
    EnumWindows(CloseShellDdeServer, 0);
    if (!WaitFor([] { return ProbeProgramManager() == nullptr; }, kShellWait)) {
        *error = "the new desktop's shell still answers \"PROGMAN\"";
        return false;
    }
    return true;
}

}  // namespace

HWND ProbeProgramManager()
{
    HWND probe = ProbeWindow();
    ATOM service = GlobalAddAtomA("PROGMAN");
    ATOM topic = GlobalAddAtomA("PROGMAN");
    ProbeAnswer = nullptr;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_DDE_INITIATE, (WPARAM)probe, MAKELPARAM(service, topic),
                        SMTO_NORMAL | SMTO_ABORTIFHUNG, kProbeTimeout, &ignored);
    GlobalDeleteAtom(service);
    GlobalDeleteAtom(topic);
    HWND answer = ProbeAnswer;
    if (answer != nullptr)
        PostMessageA(answer, WM_DDE_TERMINATE, (WPARAM)probe, 0);
    return answer;
}

bool RunOnIsolatedDesktop(const std::function<void(const std::string &desktop)> &body, std::string *error)
{
    static LONG counter;
    std::string name = "VeltmoorTest" + std::to_string(GetCurrentProcessId()) + "_" +
                       std::to_string(InterlockedIncrement(&counter));
    HDESK desktop = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (desktop == nullptr) {
        *error = "could not create desktop " + name + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    // A virtual desktop of the default one's size, as the session makes the default one: a desktop
    // of Wine's other kind maps every window straight onto the X display and waits seconds whenever
    // one is hidden.
    static const char kDesktops[] = "Software\\Wine\\Explorer\\Desktops";
    HKEY desktops = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kDesktops, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &desktops, nullptr);
    RegSetValueExA(desktops, name.c_str(), 0, REG_SZ, (const BYTE *)"1024x768", sizeof "1024x768");
    bool ran = false;
    std::thread worker([&] {
        if (!SetThreadDesktop(desktop)) {
            *error = "could not attach a thread to desktop " + name;
            return;
        }
        if (!SilenceShell(error))
            return;
        ran = true;
        body(name);
        DestroyWindow(ProbeWindow());
    });
    worker.join();
    CloseDesktop(desktop);
    RegDeleteValueA(desktops, name.c_str());
    RegCloseKey(desktops);
    return ran;
}

bool StartOnDesktop(const std::string &commandLine, const std::string &desktop, PROCESS_INFORMATION *process)
{
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    std::vector<char> desktopName(desktop.begin(), desktop.end());
    desktopName.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktopName.data();
    *process = PROCESS_INFORMATION{};
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, process) != 0;
}
