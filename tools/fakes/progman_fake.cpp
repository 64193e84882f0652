// A stand-in for the shell's program-group server: answers "PROGMAN"/"PROGMAN" over DDE and records
// what it was asked, so that tests can read the exact commands a client sent.
//   FAKE_PROGMAN_RECORD  file to which one line per event is appended: STARTED, INITIATE
//                        <service>|<topic>, EXECUTE <command>, TERMINATE, and ENABLE 0 or ENABLE 1
//                        when a client disables or enables the server's window
//   FAKE_PROGMAN_MODE    how commands are answered:
//                          ack (default)  positive acknowledgement
//                          nack           negative acknowledgement
//                          silent         no answer at all
//                          terminate      ends the conversation instead of answering
//                          vanish         closes its window and ends instead of answering
//                          absent         ends at once, before it could answer anything
//   FAKE_PROGMAN_GROUP_WINDOW  when set, "[creategroup(name)]" opens a visible window titled with
//                        the name in capitals, as the shell shows a new group; the server then runs
//                        until that window is closed
// Built as PROGMAN.exe, so that a client's WinExec("PROGMAN") finds it first when it lies beside the
// client. It ends after "[exitprogman(1)]", as the real server does, or after two minutes at most.
// The server's window is hidden; the conversation is held by that one window.
#include <windows.h>

#include <dde.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { LIFETIME_MS = 120000, LIFETIME_TIMER = 1 };

static char RecordPath[MAX_PATH];
static char Mode[32] = "ack";
static int LiveWindows;

static void Record(const char *kind, const char *text)
{
    if (RecordPath[0] == '\0')
        return;
    FILE *record = fopen(RecordPath, "ab");
    if (record == NULL)
        return;
    fprintf(record, "%s%s%s\r\n", kind, text[0] != '\0' ? " " : "", text);
    fclose(record);
}

static int IsProgman(ATOM atom)
{
    char name[256] = "";
    return atom == 0 || (GlobalGetAtomNameA(atom, name, sizeof name) > 0 && _stricmp(name, "PROGMAN") == 0);
}

static LRESULT OnInitiate(HWND server, HWND client, LPARAM lParam)
{
    ATOM service = LOWORD(lParam), topic = HIWORD(lParam);
    if (!IsProgman(service) || !IsProgman(topic))
        return 0;
    Record("INITIATE", "PROGMAN|PROGMAN");
    // The client deletes the atoms of the answer.
    SendMessageA(client, WM_DDE_ACK, (WPARAM)server, MAKELPARAM(GlobalAddAtomA("PROGMAN"), GlobalAddAtomA("PROGMAN")));
    return 0;
}

static void Acknowledge(HWND server, HWND client, HGLOBAL commands, WORD status)
{
    PostMessageA(client, WM_DDE_ACK, (WPARAM)server, PackDDElParam(WM_DDE_ACK, status, (UINT_PTR)commands));
}

static void OpenGroupWindow(const char *command)
{
    const char *name = command + strlen("[creategroup(");
    const char *end = strstr(name, ")]");
    if (end == NULL || getenv("FAKE_PROGMAN_GROUP_WINDOW") == NULL)
        return;
    char title[512];
    snprintf(title, sizeof title, "%.*s", (int)(end - name), name);
    CharUpperA(title);
    if (CreateWindowExA(0, "FakeProgramGroup", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, NULL, NULL,
                        GetModuleHandleA(NULL), NULL) != NULL)
        ++LiveWindows;
}

static LRESULT OnExecute(HWND server, HWND client, LPARAM lParam)
{
    HGLOBAL commands = (HGLOBAL)lParam;
    char text[2048] = "";
    const char *data = (const char *)GlobalLock(commands);
    if (data != NULL) {
        SIZE_T size = GlobalSize(commands);
        size_t length = strnlen(data, size < sizeof text ? size : sizeof text - 1);
        memcpy(text, data, length);
        text[length] = '\0';
        GlobalUnlock(commands);
    }
    Record("EXECUTE", text);
    int exiting = _stricmp(text, "[exitprogman(1)]") == 0;
    if (_strnicmp(text, "[creategroup(", 13) == 0)
        OpenGroupWindow(text);
    if (strcmp(Mode, "nack") == 0) {
        Acknowledge(server, client, commands, 0);
    } else if (strcmp(Mode, "silent") == 0) {
        // no answer
    } else if (strcmp(Mode, "terminate") == 0) {
        PostMessageA(client, WM_DDE_TERMINATE, (WPARAM)server, 0);
    } else if (strcmp(Mode, "vanish") == 0) {
        DestroyWindow(server);
        return 0;
    } else {
        Acknowledge(server, client, commands, 0x8000);
    }
    if (exiting)
        DestroyWindow(server);
    return 0;
}

static LRESULT OnTerminate(HWND server, HWND client)
{
    Record("TERMINATE", "");
    PostMessageA(client, WM_DDE_TERMINATE, (WPARAM)server, 0);
    return 0;
}

static LRESULT OnDestroy()
{
    if (--LiveWindows == 0)
        PostQuitMessage(0);
    return 0;
}

static LRESULT CALLBACK ServerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DDE_INITIATE:  return OnInitiate(window, (HWND)wParam, lParam);
    case WM_DDE_EXECUTE:   return OnExecute(window, (HWND)wParam, lParam);
    case WM_DDE_TERMINATE: return OnTerminate(window, (HWND)wParam);
    case WM_ENABLE:        Record("ENABLE", wParam ? "1" : "0"); return 0;
    case WM_TIMER:         PostQuitMessage(0); return 0;
    case WM_DESTROY:       return OnDestroy();
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static LRESULT CALLBACK GroupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        return OnDestroy();
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    const char *record = getenv("FAKE_PROGMAN_RECORD");
    if (record != NULL)
        snprintf(RecordPath, sizeof RecordPath, "%s", record);
    const char *mode = getenv("FAKE_PROGMAN_MODE");
    if (mode != NULL && mode[0] != '\0')
        snprintf(Mode, sizeof Mode, "%s", mode);
    Record("STARTED", "");
    if (strcmp(Mode, "absent") == 0)
        return 0;

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ServerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "FakeProgramManager";
    if (RegisterClassA(&windowClass) == 0)
        return 1;
    windowClass.lpfnWndProc = GroupWindowProc;
    windowClass.lpszClassName = "FakeProgramGroup";
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    if (RegisterClassA(&windowClass) == 0)
        return 1;
    HWND server = CreateWindowExA(0, "FakeProgramManager", "Program Manager", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, NULL, NULL,
                                  instance, NULL);
    if (server == NULL)
        return 1;
    ++LiveWindows;
    SetTimer(server, LIFETIME_TIMER, LIFETIME_MS, NULL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
