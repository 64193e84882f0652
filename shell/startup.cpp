// Start-up: the backdrop that covers the screen, the wizard run modally over it, the message loop.
#include "shell/shell.h"
#include "paths/paths.h"
#include "steps/steps.h"

HINSTANCE ModuleInstance;
HWND BackdropWindow;
int CdRomInstall;

static const char kMessageCaption[] = "Message";

ATOM RegisterBackdropClass(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = BackdropWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ProductConfig.IconResource));
    windowClass.hCursor = LoadCursorA(NULL, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = NULL;  // painted on WM_ERASEBKGND
    windowClass.lpszClassName = ProductConfig.WindowClass;
    return RegisterClassA(&windowClass);
}

static LRESULT OnBackdropCommand(HWND window, int id)
{
    if (id == IDC_QUIT) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        PostMessageA(window, WM_QUIT, 0, 0);
    }
    return 0;
}

LRESULT CALLBACK BackdropWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_ERASEBKGND:
        FillGradient(window, (HDC)wParam, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW), NULL);
        return 1;
    case WM_COMMAND:
        return OnBackdropCommand(window, LOWORD(wParam));
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Libraries loaded while the installer runs come from the system folder only, never from beside the
// installer, where a downloaded file may have been planted. Systems without the call get the
// older protection: the current folder is dropped from the search.
static void LoadLibrariesFromSystemFolderOnly()
{
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesCall)(DWORD);
    const DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    SetDefaultDllDirectoriesCall setDirectories = (SetDefaultDllDirectoriesCall)(void (*)(void))GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (setDirectories == NULL || !setDirectories(kSearchSystem32))
        SetDllDirectoryA("");
}

int InstallerMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand)
{
    LoadLibrariesFromSystemFolderOnly();
    ModuleInstance = instance;

    if (previousInstance == NULL && RegisterBackdropClass(instance) == 0) {
        MessageBoxA(NULL, ProductConfig.RegistrationFailedText, kMessageCaption, MB_ICONINFORMATION);
        ExitProcess(0);
    }

    if (CreateDdeWindow(instance, previousInstance) == NULL)
        return 0;

    BackdropWindow = CreateWindowExA(0, ProductConfig.WindowClass, ProductConfig.WindowTitle,
                                     WS_CAPTION | WS_SYSMENU, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                     GetSystemMetrics(SM_CYSCREEN), NULL, NULL, instance, NULL);
    if (BackdropWindow == NULL) {
        // Without an owner the wizard's end could never reach a message loop that ends.
        MessageBoxA(NULL, "There has been an internal error: the installer's window could not be created.",
                    kMessageCaption, MB_ICONINFORMATION);
        UnregisterClassA(ProductConfig.WindowClass, instance);
        return 0;
    }
    ShowWindow(BackdropWindow, showCommand);
    UpdateWindow(BackdropWindow);

    if (CommandLineHasCdSwitch(commandLine))
        CdRomInstall = 1;

    DialogBoxParamA(instance, MAKEINTRESOURCEA(ProductConfig.WizardTemplate), BackdropWindow, WizardDialog, 0);
    UpdateWindow(BackdropWindow);

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    UnregisterClassA(ProductConfig.WindowClass, instance);
    return 0;
}
