// Installer shell: start-up, the backdrop window, the wizard's pages and its navigation.
#ifndef VELTMOOR_SHELL_H
#define VELTMOOR_SHELL_H

#ifdef _WIN32
#include <windows.h>
#endif

#include <stddef.h>

#include "shell/product_config.h"
#include "shell/resource_ids.h"

// ---- Window-free pieces (also built natively) ----

// True when the command line holds "/CD" anywhere, case-sensitively (inside a longer word too).
int CommandLineHasCdSwitch(const char *commandLine);

// Copies licence bytes into text whose line breaks are all CR LF, as the multi-line edit control
// needs: CR LF stays, a lone CR becomes CR LF, a lone LF is dropped. `out` must hold size * 2 + 1
// bytes; the result is NUL-terminated. Returns the length written.
size_t ConvertLicenceLineEnds(const unsigned char *data, size_t size, char *out);

#ifdef _WIN32

// ---- Private messages of the wizard ----
#define WM_INSTALL_RUN      (WM_USER + 104)  // posted when the progress page is entered
#define WM_INSTALL_PROGRESS (WM_USER + 105)  // sent with a line of text in lParam
#define WM_INSTALL_FINISH   (WM_USER + 106)  // sent by Close on the finished page

// ---- Process-wide state of start-up ----
extern HINSTANCE ModuleInstance;  // every resource lookup uses it
extern HWND BackdropWindow;
extern int CdRomInstall;          // 1 when started with "/CD"

// The entry point's work; main.cpp only forwards to it.
int InstallerMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);
LRESULT CALLBACK BackdropWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
ATOM RegisterBackdropClass(HINSTANCE instance);

// ---- Wizard pages ----
extern const int *const PageTable[PAGE_COUNT];  // per page, its zero-terminated control ids
// The optional pages are found by their lists, so the navigation does not depend on their place.
extern const int UnpackedPageControls[];
extern const int UpdaterPageControls[];
extern const int SubscribePageControls[];

int ClonePageTemplate(HWND wizard, int templateId);
void ShowPage(HWND wizard, int page);             // -1 hides every page control
char *LoadLicenceText(int resourceId);            // free() the result; NULL on failure
int FindPageIndex(const int *pageList);           // PAGE_COUNT when the list is not in the table

// ---- Wizard navigation ----
extern int CurrentPage;
extern int InstallDone;
extern int UpdaterPresent;
extern int UpdateListSuppressed;
extern int UnpackedPageIndex;
extern int UpdaterPageIndex;
extern int SubscribePageIndex;

INT_PTR CALLBACK WizardDialog(HWND wizard, UINT message, WPARAM wParam, LPARAM lParam);
void UpdatePageButtons(HWND wizard);

#endif  // _WIN32
#endif
