// The wizard's pages: every page template's controls are re-created once as children of the wizard,
// and a page is shown by making exactly its controls visible. Nothing is destroyed on a page change,
// so every control keeps its state for the life of the wizard.
#include <stdlib.h>
#include <string.h>

#include "shell/shell.h"

static const int kWelcomeControls[]   = {IDC_WELCOME_TEXT, 0};
static const int kNoticeControls[]    = {IDC_NOTICE_TEXT, 0};
static const int kAdvisoryControls[]  = {IDC_ADVISORY_TEXT, 0};
static const int kFolderControls[]    = {IDC_FOLDER_LABEL, IDC_INSTALL_FOLDER, IDC_BROWSE, IDC_FOLDER_TEXT, 0};
static const int kLicenceControls[]   = {IDC_LICENCE_TITLE, IDC_LICENCE_TEXT, IDC_LICENCE_AGREE, 0};
static const int kOptionsControls[]   = {IDC_OPT_WHATSNEW, IDC_OPT_STARTMENU, IDC_OPT_DESKTOP,
                                         IDC_OPT_SCREENSAVER, IDC_OPTIONS_TEXT, 0};
static const int kSummaryControls[]   = {IDC_SUMMARY_TEXT, IDC_SUMMARY_FOLDER, IDC_SUMMARY_PROMPT, 0};
static const int kProgressControls[]  = {IDC_PROGRESS_TEXT, IDC_PROGRESS_LIST, 0};
const int UnpackedPageControls[] = {IDC_UNPACKED_TEXT, 0};
const int UpdaterPageControls[] = {IDC_UPDATER_TEXT, IDC_UPDATER_BUTTON, 0};
const int SubscribePageControls[] = {IDC_SUBSCRIBE_TEXT, IDC_SUBSCRIBE_BUTTON, IDC_DONT_ASK, 0};
static const int kFinishedControls[]  = {IDC_FINISHED_TEXT, 0};

const int *const PageTable[PAGE_COUNT] = {
    kWelcomeControls, kNoticeControls,   kAdvisoryControls, kFolderControls,
    kLicenceControls, kOptionsControls,  kSummaryControls,  kProgressControls,
    UnpackedPageControls, UpdaterPageControls, SubscribePageControls, kFinishedControls,
};

enum { FIRST_PAGE_CONTROL = 100, TEXT_CAPACITY = 260 };

int FindPageIndex(const int *pageList)
{
    for (int page = 0; page < PAGE_COUNT; ++page)
        if (PageTable[page] == pageList)
            return page;
    return PAGE_COUNT;
}

// ---- Cloning ----

static BOOL CALLBACK CloneChildControl(HWND child, LPARAM wizardParam)
{
    HWND wizard = (HWND)wizardParam;
    HWND templateDialog = GetParent(child);
    HFONT font = (HFONT)SendMessageA(wizard, WM_GETFONT, 0, 0);

    DWORD exStyle = (DWORD)GetWindowLongPtrA(child, GWL_EXSTYLE);
    DWORD style = (DWORD)GetWindowLongPtrA(child, GWL_STYLE);
    int id = GetDlgCtrlID(child);
    RECT rect;
    GetWindowRect(child, &rect);
    char text[TEXT_CAPACITY] = "";
    char className[TEXT_CAPACITY] = "";
    GetWindowTextA(child, text, TEXT_CAPACITY);
    GetClassNameA(child, className, TEXT_CAPACITY);

    if (lstrcmpiA(className, "combobox") == 0)
        rect.bottom += 200;  // room for the drop-down list

    POINT topLeft = {rect.left, rect.top};
    POINT bottomRight = {rect.right, rect.bottom};
    ScreenToClient(templateDialog, &topLeft);
    ScreenToClient(templateDialog, &bottomRight);

    HWND clone = CreateWindowExA(exStyle, className, text, style, topLeft.x, topLeft.y,
                                 bottomRight.x - topLeft.x, bottomRight.y - topLeft.y, wizard,
                                 (HMENU)(INT_PTR)id, ModuleInstance, NULL);
    if (clone != NULL)
        SendMessageA(clone, WM_SETFONT, (WPARAM)font, FALSE);
    return TRUE;
}

static INT_PTR CALLBACK PageTemplateProc(HWND templateDialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        EnumChildWindows(templateDialog, CloneChildControl, lParam);
        EndDialog(templateDialog, 1);
    }
    return FALSE;
}

int ClonePageTemplate(HWND wizard, int templateId)
{
    HWND templateDialog = CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(templateId), NULL,
                                             PageTemplateProc, (LPARAM)wizard);
    if (templateDialog != NULL) {
        ShowWindow(templateDialog, SW_HIDE);
        DestroyWindow(templateDialog);
    }
    return 1;
}

// ---- Showing a page ----

struct ShowPageWalk {
    const int *controls;  // NULL: hide every page control
};

static int ListHoldsId(const int *controls, int id)
{
    for (; *controls != 0; ++controls)
        if (*controls == id)
            return 1;
    return 0;
}

static BOOL CALLBACK ShowOrHidePageControl(HWND control, LPARAM walkParam)
{
    const ShowPageWalk *walk = (const ShowPageWalk *)walkParam;
    int id = GetDlgCtrlID(control);
    if (id < FIRST_PAGE_CONTROL)
        return TRUE;  // the frame's own controls
    int show = walk->controls != NULL && ListHoldsId(walk->controls, id);
    ShowWindow(control, show ? SW_SHOW : SW_HIDE);
    return TRUE;
}

void ShowPage(HWND wizard, int page)
{
    ShowPageWalk hideAll = {NULL};
    EnumChildWindows(wizard, ShowOrHidePageControl, (LPARAM)&hideAll);
    if (page < 0 || page >= PAGE_COUNT)
        return;
    ShowPageWalk showPage = {PageTable[page]};
    EnumChildWindows(wizard, ShowOrHidePageControl, (LPARAM)&showPage);
}

// ---- Licence text ----

char *LoadLicenceText(int resourceId)
{
    HRSRC found = FindResourceA(ModuleInstance, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(10));
    HGLOBAL loaded = found != NULL ? LoadResource(ModuleInstance, found) : NULL;
    if (loaded == NULL)
        return NULL;

    DWORD size = SizeofResource(ModuleInstance, found);
    const unsigned char *data = (const unsigned char *)LockResource(loaded);
    char *text = NULL;
    // Room for every byte becoming CR LF; the extra 1024 is the historical margin.
    if (size > 15 && data != NULL && (text = (char *)calloc((size_t)size * 2 + 1024, 1)) != NULL)
        ConvertLicenceLineEnds(data, size, text);
    FreeResource(loaded);
    return text;
}
