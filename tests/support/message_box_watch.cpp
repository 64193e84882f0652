#include "tests/support/message_box_watch.h"

namespace {

BOOL CALLBACK FindMessageBox(HWND window, LPARAM param)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[32] = "", title[64] = "";
    GetClassNameA(window, className, sizeof className);
    // The title of another window of this process is read by asking its thread, which may be waiting
    // for this one: only boxes are asked.
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) || lstrcmpA(className, "#32770") != 0)
        return TRUE;
    GetWindowTextA(window, title, sizeof title);
    if (lstrcmpA(title, "Message") == 0) {
        *(HWND *)param = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectLongestStatic(HWND child, LPARAM param)
{
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") != 0)
        return TRUE;
    char text[2048] = "";
    GetWindowTextA(child, text, sizeof text);
    std::string *longest = (std::string *)param;
    if (strlen(text) > longest->size())
        *longest = text;
    return TRUE;
}

DWORD WINAPI Watch(LPVOID param)
{
    MessageBoxWatch *watch = (MessageBoxWatch *)param;
    const DWORD deadline = GetTickCount() + watch->timeoutMs;
    // Polls every 10 ms until told to stop.
    while (WaitForSingleObject(watch->stop, 10) == WAIT_TIMEOUT && GetTickCount() < deadline) {
        HWND box = nullptr;
        EnumWindows(FindMessageBox, (LPARAM)&box);
        if (box == nullptr)
            continue;
        std::string text;
        EnumChildWindows(box, CollectLongestStatic, (LPARAM)&text);
        watch->text = text;
        ++watch->boxes;
        PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        while (IsWindow(box) && GetTickCount() < deadline)  // before looking for another
            WaitForSingleObject(watch->stop, 10);
    }
    return 0;
}

}  // namespace

void MessageBoxWatch::Start(DWORD timeout)
{
    Finish();
    timeoutMs = timeout;
    boxes = 0;
    text.clear();
    stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
}

std::string MessageBoxWatch::Finish()
{
    if (thread != nullptr) {
        SetEvent(stop);
        // The watcher may still be asking this thread's windows something: keep answering.
        while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        }
        CloseHandle(thread);
        CloseHandle(stop);
        thread = nullptr;
        stop = nullptr;
    }
    return text;
}
