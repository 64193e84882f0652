// Folders, profile and painting: folder macros, the product profile file, the install-folder chooser
// and the owner-drawn look.
#ifndef VELTMOOR_PATHS_H
#define VELTMOOR_PATHS_H

#include <windows.h>
#include <commctrl.h>

enum { MACRO_RESULT_CAPACITY = 1024 };

// ---- Folder macros ----
// Expands %%NAME%% folder macros. Returns one shared buffer that the next call overwrites: copy the
// result before expanding again. `window` is the wizard, whose control 102 supplies %%INSTALLPATH%%.
const char *ExpandMacros(HWND window, const char *text);
// Adds one backslash to a folder path that is not empty and does not already end in one (when it fits).
void AddTrailingSeparator(char *folder, size_t capacity);
// Expands and copies the result into `out` (capacity bytes, NUL included), cutting it if need be.
void ExpandMacrosInto(HWND window, const char *text, char *out, size_t capacity);

// ---- Product profile file ----
int PrepareProfileFolder(HWND window);
int MigrateProfileFile(HWND window);
int LoadInstallFolderFromProfile(HWND window, int controlId, const char *profilePath, const char *section,
                                 const char *key);
// Returns 1 when every item was written, 0 when a write failed.
int WriteProfileItems(HWND window, const char *itemList);

// ---- Install-folder chooser ----
// `path` (MAX_PATH bytes) carries the current folder in and the chosen one out, without a trailing
// backslash. Returns 1 when a folder was chosen, 0 when cancelled.
int FolderChooser(HWND owner, char *path);
int NewFolderNameDialog(HWND owner, char *path);
int DriveIsOffline(int driveIndex);  // 0 for A: ... 25 for Z:

// The entries of the common controls library the chooser uses, loaded from the system folder.
struct CommonControls {
    HMODULE library;
    BOOL(WINAPI *InitCommonControlsEx)(const INITCOMMONCONTROLSEX *);
    HIMAGELIST(WINAPI *ImageList_Create)(int, int, UINT, int, int);
    int(WINAPI *ImageList_Add)(HIMAGELIST, HBITMAP, HBITMAP);
    int(WINAPI *ImageList_GetImageCount)(HIMAGELIST);
    BOOL(WINAPI *ImageList_Destroy)(HIMAGELIST);
};
int LoadCommonControls(CommonControls *controls);  // 1 when every entry was found
void FreeCommonControls(CommonControls *controls);

// ---- Painting ----
enum BevelOrientation { BEVEL_HORIZONTAL, BEVEL_VERTICAL };

int DrawOwnerButton(const DRAWITEMSTRUCT *item);
void DrawBevel(HDC dc, const RECT *rect, COLORREF colour1, COLORREF colour2, BevelOrientation orientation);
void FillGradient(HWND window, HDC dc, COLORREF colour1, COLORREF colour2, const RECT *rect);
int DrawPathField(HWND dialog, const DRAWITEMSTRUCT *item);
void CenterOnScreen(HWND window);
// The wizard's WM_DRAWITEM: banner, path fields, button bar and owner-drawn buttons.
INT_PTR DrawWizardItem(HWND wizard, const DRAWITEMSTRUCT *item);

#endif
