// The program group, made by Program Manager over DDE. The hidden DdeClientWindow is the
// installer's end of the conversation and lives for the whole process.
#include <stdio.h>
#include <string.h>

#include <dde.h>

#include "paths/paths.h"
#include "shell/config_lists.h"
#include "shell/shell.h"
#include "steps/steps.h"

enum {
    GROUP_COMMAND_CAPACITY = 264,    // a group command is at most 263 characters
    ITEM_COMMAND_CAPACITY = 1028,
    ACK_POSITIVE = 0x8000,
    SERVER_CHECK_INTERVAL_MS = 100,  // how soon a wait notices a server window that has gone
    INITIATE_TIMEOUT_MS = 5000,      // per window of the broadcast; a hung window is passed over
};

static const char kProgmanService[] = "PROGMAN";
static const char kProgmanTopic[] = "PROGMAN";

static HWND DdeClientWindow;
static HWND ProgmanServer;       // the server of the group now being made
static HWND AnsweringWindow;     // who answered the last initiation
static HWND TerminatedWindow;    // the last server that ended its conversation
static HWND ClosingServer;       // the server whose conversation the installer itself ended
static int Initiating;
static int LastAckPositive;
static int GroupOpen;
static char GroupName[MAX_PATH];

static LRESULT OnDdeTerminate(HWND from)
{
    TerminatedWindow = from;
    if (from == AnsweringWindow)
        AnsweringWindow = NULL;
    if (from == ClosingServer) {
        ClosingServer = NULL;  // the answer to our own terminate: nothing more to say
        return 0;
    }
    PostMessageA(from, WM_DDE_TERMINATE, (WPARAM)DdeClientWindow, 0);
    return 0;
}

static LRESULT OnDdeAck(HWND from, LPARAM lParam)
{
    if (Initiating) {
        AnsweringWindow = from;
        // The server made these atoms for its answer; they are ours to delete.
        GlobalDeleteAtom(LOWORD(lParam));
        GlobalDeleteAtom(HIWORD(lParam));
        return 0;
    }
    UINT_PTR status = 0, commands = 0;
    if (UnpackDDElParam(WM_DDE_ACK, lParam, &status, &commands)) {
        LastAckPositive = (status & ACK_POSITIVE) != 0;
        FreeDDElParam(WM_DDE_ACK, lParam);
    } else {
        LastAckPositive = 0;
    }
    return 0;
}

static LRESULT CALLBACK DdeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DDE_TERMINATE: return OnDdeTerminate((HWND)wParam);
    case WM_DDE_ACK:       return OnDdeAck((HWND)wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateDdeWindow(HINSTANCE instance, HINSTANCE previousInstance)
{
    if (previousInstance == NULL) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DdeWindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = "ddeClass";
        if (RegisterClassA(&windowClass) == 0)
            return NULL;
    }
    DdeClientWindow = CreateWindowExA(0, "ddeClass", NULL, 0, 0, 0, 0, 0, NULL, NULL, instance, NULL);
    return DdeClientWindow;
}

// Every server's answer arrives during the broadcast, as a message sent to DdeWindowProc. A window
// that hangs is passed over rather than allowed to stop the installation.
static HWND Initiate(ATOM service, ATOM topic)
{
    AnsweringWindow = NULL;
    Initiating = 1;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_DDE_INITIATE, (WPARAM)DdeClientWindow, MAKELPARAM(service, topic),
                        SMTO_NORMAL | SMTO_ABORTIFHUNG, INITIATE_TIMEOUT_MS, &ignored);
    Initiating = 0;
    return AnsweringWindow;
}

HWND ConnectProgramManager(const char *service, const char *topic)
{
    ATOM serviceAtom = GlobalAddAtomA(service);
    ATOM topicAtom = GlobalAddAtomA(topic);
    HWND server = NULL;
    if (serviceAtom != 0 && topicAtom != 0) {
        TerminatedWindow = NULL;
        server = Initiate(serviceAtom, topicAtom);
        // WinExec waits until the started server is ready for input, so it can answer at once.
        if (server == NULL && WinExec(service, SW_SHOWNORMAL) > 31)
            server = Initiate(serviceAtom, topicAtom);
    }
    if (serviceAtom != 0)
        GlobalDeleteAtom(serviceAtom);
    if (topicAtom != 0)
        GlobalDeleteAtom(topicAtom);
    return server;
}

// Takes only the DDE messages of this thread, so that no input reaches the wizard meanwhile. A
// server that does not answer in time, has gone, or ends the conversation instead of answering
// leaves the command unanswered (0); the installation goes on.
static int WaitForReply(HWND server)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, NULL, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage((int)message.wParam);  // the program's own loop must still see it
                return 0;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
            if ((HWND)message.wParam != server)
                continue;
            if (message.message == WM_DDE_ACK)
                return LastAckPositive;
            if (message.message == WM_DDE_DATA)
                return 1;
            if (message.message == WM_DDE_TERMINATE)
                return 0;
        }
        if (!IsWindow(server))
            return 0;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= DDE_REPLY_TIMEOUT_MS)
            return 0;
        DWORD slice = DDE_REPLY_TIMEOUT_MS - elapsed;
        if (slice > SERVER_CHECK_INTERVAL_MS)
            slice = SERVER_CHECK_INTERVAL_MS;
        MsgWaitForMultipleObjects(0, NULL, FALSE, slice, QS_POSTMESSAGE | QS_SENDMESSAGE);
    }
}

int DdeExecute(HWND server, const char *command)
{
    // A server that has ended the conversation takes no more commands.
    if (server == NULL || server == TerminatedWindow || !IsWindow(server))
        return 0;
    size_t size = strlen(command) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (memory == NULL)
        return 0;
    char *text = (char *)GlobalLock(memory);
    if (text == NULL) {
        GlobalFree(memory);
        return 0;
    }
    memcpy(text, command, size);
    GlobalUnlock(memory);

    int result = 0;
    LastAckPositive = 0;
    if (PostMessageA(server, WM_DDE_EXECUTE, (WPARAM)DdeClientWindow, (LPARAM)memory))
        result = WaitForReply(server);
    GlobalFree(memory);
    return result;
}

// The short form keeps the command free of blanks for Program Manager; a file that does not exist
// has none, and keeps its long name.
static const char *ShortPathOr(const char *path, char *shortPath)
{
    DWORD length = GetShortPathNameA(path, shortPath, MAX_PATH);
    return length > 0 && length < MAX_PATH ? shortPath : path;
}

int AddGroupItem(const char *caption, const char *command, const char *iconFile, int iconIndex)
{
    char shortCommand[MAX_PATH], shortIcon[MAX_PATH];
    char text[ITEM_COMMAND_CAPACITY];
    int length = snprintf(text, sizeof text, "[additem(\"%s\",\"%s\",\"%s\",%d)]", ShortPathOr(command, shortCommand),
                          caption, ShortPathOr(iconFile, shortIcon), iconIndex);
    if (length < 0 || (size_t)length >= sizeof text)
        return 0;  // a cut command would be malformed
    return DdeExecute(ProgmanServer, text);
}

static void SendGroupCommand(const char *verb, const char *groupName)
{
    char text[GROUP_COMMAND_CAPACITY];
    int length = snprintf(text, sizeof text, "[%s(%s)]", verb, groupName);
    if (length >= 0 && (size_t)length < sizeof text)
        DdeExecute(ProgmanServer, text);
}

static void OpenGroup(const char *groupName)
{
    if (ProgmanServer == NULL) {
        HWND server = ConnectProgramManager(kProgmanService, kProgmanTopic);
        if (server != NULL) {
            ProgmanServer = server;
            BringWindowToTop(server);
            // Only a window the user can see is restored: a server's hidden conversation window
            // must stay hidden.
            if (IsWindowVisible(server))
                ShowWindow(server, SW_RESTORE);
            EnableWindow(server, FALSE);
        }
    }
    if (ProgmanServer != NULL) {
        SendGroupCommand("deletegroup", groupName);
        SendGroupCommand("creategroup", groupName);
        GroupOpen = 1;
    }
    snprintf(GroupName, sizeof GroupName, "%s", groupName);
}

static void AddGroupItems(HWND wizard, const char *items)
{
    const char *rest = items;
    do {
        char item[LIST_ITEM_CAPACITY + 1];
        rest = NextListItem(rest, item, sizeof item);
        char *fields[3];
        int count = SplitItemFields(item, fields, 3);
        if (count < 2)
            continue;
        char command[MACRO_RESULT_CAPACITY + 1], caption[MACRO_RESULT_CAPACITY + 1];
        char iconFile[MACRO_RESULT_CAPACITY + 1] = "";
        ExpandMacrosInto(wizard, fields[0], command, sizeof command);
        ExpandMacrosInto(wizard, fields[1], caption, sizeof caption);
        if (count == 3)
            ExpandMacrosInto(wizard, fields[2], iconFile, sizeof iconFile);
        AddGroupItem(caption, command, iconFile[0] != '\0' ? iconFile : command, 0);
    } while (*rest != '\0');
}

static void EndConversation()
{
    if (!GroupOpen)
        return;
    HWND server = ProgmanServer;
    EnableWindow(server, TRUE);
    DdeExecute(server, "[exitprogman(1)]");
    // A server that stays running keeps the conversation until the client ends it.
    if (server != TerminatedWindow && IsWindow(server)) {
        ClosingServer = server;
        PostMessageA(server, WM_DDE_TERMINATE, (WPARAM)DdeClientWindow, 0);
    }
    ProgmanServer = NULL;
    AnsweringWindow = NULL;
    GroupOpen = 0;
}

static BOOL CALLBACK FindGroupWindow(HWND window, LPARAM found)
{
    char title[MAX_PATH];
    if (GetWindowTextA(window, title, MAX_PATH) > 0 && _stricmp(title, GroupName) == 0) {
        *(HWND *)found = window;
        return FALSE;
    }
    return TRUE;
}

// A tall narrow column at the left edge, where the new group's icons are seen at once.
static void PlaceGroupWindow()
{
    HWND window = NULL;
    EnumWindows(FindGroupWindow, (LPARAM)&window);
    if (window != NULL)
        MoveWindow(window, 10, 10, GetSystemMetrics(SM_CXICONSPACING) * 25 / 10, GetSystemMetrics(SM_CYSCREEN) - 50,
                   TRUE);
}

int CreateProgramGroup(HWND wizard, const char *groupName, const char *items)
{
    OpenGroup(groupName);
    char record[MAX_PATH + 16];
    snprintf(record, sizeof record, " GROUPNAME:%s\n", groupName);
    AppendInstalledRecord(wizard, record);
    if (ProgmanServer == NULL)
        return 0;
    AddGroupItems(wizard, items);
    EndConversation();
    PlaceGroupWindow();
    return 1;
}
