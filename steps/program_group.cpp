// The program group, made by Program Manager over DDE. The hidden DdeClientWindow is the
// installer's end of the conversation and lives for the whole process.
#include "shell/shell.h"
#include "steps/steps.h"

static HWND DdeClientWindow;

static LRESULT CALLBACK DdeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
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

int CreateProgramGroup(HWND, const char *, const char *)
{
    return 0;
}
