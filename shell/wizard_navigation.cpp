// The wizard's dialog procedure: builds every page at start, moves between pages (passing over the
// two offer pages when they do not apply), decides which frame buttons may be used, and starts the
// install run when the progress page is entered.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "shell/shell.h"
#include "paths/paths.h"
#include "steps/steps.h"

int CurrentPage;
int InstallDone;
int UpdaterPresent;
int UpdateListSuppressed;
int UnpackedPageIndex = PAGE_COUNT;
int UpdaterPageIndex = PAGE_COUNT;
int SubscribePageIndex = PAGE_COUNT;

static int ControlShowing(HWND wizard, int id)
{
    return IsWindowVisible(GetDlgItem(wizard, id));
}

static void EnableControl(HWND wizard, int id, int enable)
{
    EnableWindow(GetDlgItem(wizard, id), enable ? TRUE : FALSE);
}

// ---- Initialisation ----

// The banner control takes the pixel size of its bitmap, read from the bitmap's information header.
static void SizeBanner(HWND wizard)
{
    HRSRC found = FindResourceA(ModuleInstance, MAKEINTRESOURCEA(ProductConfig.BannerBitmap), MAKEINTRESOURCEA(2));
    HGLOBAL loaded = found != NULL ? LoadResource(ModuleInstance, found) : NULL;
    if (loaded == NULL)
        return;
    const BYTE *header = (const BYTE *)LockResource(loaded);
    if (header != NULL && SizeofResource(ModuleInstance, found) >= 12) {
        int32_t width, height;
        memcpy(&width, header + 4, sizeof width);
        memcpy(&height, header + 8, sizeof height);
        SetWindowPos(GetDlgItem(wizard, IDC_BANNER), NULL, 0, 0, width, height, SWP_NOZORDER);
    }
    FreeResource(loaded);
}

static void SetText(HWND wizard, int id, const char *text)
{
    SetDlgItemTextA(wizard, id, text);
}

static void InitFolderPage(HWND wizard)
{
    ClonePageTemplate(wizard, IDD_PAGE_FOLDER);
    SetText(wizard, IDC_INSTALL_FOLDER, ExpandMacros(wizard, ProductConfig.DefaultInstallFolder));
    SetText(wizard, IDC_FOLDER_TEXT, ProductConfig.FolderPageText);
    char profile[MAX_PATH];
    ExpandMacrosInto(wizard, ProductConfig.ProfileFile, profile, sizeof profile);
    LoadInstallFolderFromProfile(wizard, IDC_INSTALL_FOLDER, profile, ProductConfig.ProfileSection, "ApplicationPath");
}

static void InitLicencePage(HWND wizard)
{
    ClonePageTemplate(wizard, IDD_PAGE_LICENCE);
    SetText(wizard, IDC_LICENCE_TITLE, ProductConfig.LicenceTitle);
    char *licence = LoadLicenceText(ProductConfig.LicenceResource);
    if (licence != NULL) {
        SetText(wizard, IDC_LICENCE_TEXT, licence);
        free(licence);
        return;
    }
    // The dialog is never shown: it closes as soon as the initialisation returns.
    MessageBoxA(wizard, ProductConfig.DamagedInstallerText, "Message", MB_ICONINFORMATION);
    CloseWizard(wizard);
}

static void InitOptionsPage(HWND wizard)
{
    static const int kOptionBoxes[] = {IDC_OPT_WHATSNEW, IDC_OPT_STARTMENU, IDC_OPT_DESKTOP, IDC_OPT_SCREENSAVER};
    const char *captions[] = {ProductConfig.OptionWhatsNewCaption, ProductConfig.OptionStartMenuCaption,
                              ProductConfig.OptionDesktopCaption, ProductConfig.OptionScreenSaverCaption};
    ClonePageTemplate(wizard, IDD_PAGE_OPTIONS);
    SetText(wizard, IDC_OPTIONS_TEXT, ProductConfig.OptionsText);
    for (int i = 0; i < 4; ++i) {
        SetText(wizard, kOptionBoxes[i], captions[i]);
        SendDlgItemMessageA(wizard, kOptionBoxes[i], BM_SETCHECK, BST_CHECKED, 0);
    }
}

static INT_PTR InitWizard(HWND wizard)
{
    SizeBanner(wizard);
    PrepareProfileFolder(wizard);
    MigrateProfileFile(wizard);

    ClonePageTemplate(wizard, IDD_PAGE_WELCOME);
    SetText(wizard, IDC_WELCOME_TEXT, ProductConfig.WelcomeText);
    ClonePageTemplate(wizard, IDD_PAGE_NOTICE);
    SetText(wizard, IDC_NOTICE_TEXT, ProductConfig.NoticeText);
    ClonePageTemplate(wizard, IDD_PAGE_ADVISORY);
    SetText(wizard, IDC_ADVISORY_TEXT, ProductConfig.AdvisoryText);
    InitFolderPage(wizard);
    InitLicencePage(wizard);
    InitOptionsPage(wizard);

    ClonePageTemplate(wizard, IDD_PAGE_SUMMARY);
    SetText(wizard, IDC_SUMMARY_TEXT, ProductConfig.SummaryText);
    SetText(wizard, IDC_SUMMARY_FOLDER, "");
    SetText(wizard, IDC_SUMMARY_PROMPT, ProductConfig.SummaryPrompt);

    ClonePageTemplate(wizard, IDD_PAGE_PROGRESS);
    SetText(wizard, IDC_PROGRESS_TEXT, ProductConfig.ProgressText);

    ClonePageTemplate(wizard, IDD_PAGE_UNPACKED);
    SetText(wizard, IDC_UNPACKED_TEXT, ProductConfig.UnpackedText);
    UnpackedPageIndex = FindPageIndex(UnpackedPageControls);

    ClonePageTemplate(wizard, IDD_PAGE_UPDATER);
    SetText(wizard, IDC_UPDATER_TEXT, ProductConfig.UpdaterOfferText);
    SetText(wizard, IDC_UPDATER_BUTTON, ProductConfig.UpdaterButtonCaption);
    UpdaterPresent = IsUpdaterInstalled(wizard);
    UpdaterPageIndex = FindPageIndex(UpdaterPageControls);

    ClonePageTemplate(wizard, IDD_PAGE_SUBSCRIBE);
    SetText(wizard, IDC_SUBSCRIBE_TEXT, ProductConfig.SubscribeText);
    SetText(wizard, IDC_SUBSCRIBE_BUTTON, ProductConfig.SubscribeButtonCaption);
    SetText(wizard, IDC_DONT_ASK, ProductConfig.DontAskCaption);
    UpdateListSuppressed = IsUpdateListSuppressed(wizard);
    SubscribePageIndex = FindPageIndex(SubscribePageControls);

    ClonePageTemplate(wizard, IDD_PAGE_FINISHED);
    SetText(wizard, IDC_FINISHED_TEXT, ProductConfig.FinishedText);

    SetFocus(GetDlgItem(wizard, IDC_NEXT));
    ShowPage(wizard, CurrentPage);
    UpdatePageButtons(wizard);
    CenterOnScreen(wizard);
    return FALSE;  // the focus is set
}

// ---- Buttons ----

static void ShowInstallFolderOnSummary(HWND wizard)
{
    char folder[MAX_PATH];
    ExpandMacrosInto(wizard, "%%INSTALLPATH%%", folder, sizeof folder);
    size_t length = strlen(folder);
    if (length > 0 && folder[length - 1] == '\\')
        folder[length - 1] = '\0';
    SetText(wizard, IDC_SUMMARY_FOLDER, folder);
}

void UpdatePageButtons(HWND wizard)
{
    if (ControlShowing(wizard, IDC_FINISHED_TEXT)) {
        SetText(wizard, IDC_QUIT, ProductConfig.CloseCaption);
        EnableControl(wizard, IDC_NEXT, 0);
        EnableControl(wizard, IDC_PREVIOUS, 0);
        EnableControl(wizard, IDC_QUIT, 1);
        return;
    }
    if (InstallDone) {
        EnableControl(wizard, IDC_QUIT, 0);
        EnableControl(wizard, IDC_PREVIOUS, CurrentPage > UnpackedPageIndex);
        return;
    }
    EnableControl(wizard, IDC_PREVIOUS, CurrentPage != 0);
    if (ControlShowing(wizard, IDC_LICENCE_TEXT)) {
        EnableControl(wizard, IDC_NEXT, SendDlgItemMessageA(wizard, IDC_LICENCE_AGREE, BM_GETCHECK, 0, 0) == BST_CHECKED);
    } else if (ControlShowing(wizard, IDC_SUMMARY_TEXT)) {
        ShowInstallFolderOnSummary(wizard);
    } else if (ControlShowing(wizard, IDC_PROGRESS_TEXT)) {
        EnableControl(wizard, IDC_PREVIOUS, 0);
        EnableControl(wizard, IDC_NEXT, 0);
        PostMessageA(wizard, WM_INSTALL_RUN, 0, 0);
    } else {
        EnableControl(wizard, IDC_NEXT, 1);
    }
}

// Both directions pass over an offer page while its flag says it does not apply.
static int SkipOfferPages(int page, int step)
{
    if (UpdaterPresent && page == UpdaterPageIndex)
        page += step;
    if (UpdateListSuppressed && page == SubscribePageIndex)
        page += step;
    return page;
}

static void GoToPage(HWND wizard, int step)
{
    int page = CurrentPage + step;
    if (page > LAST_PAGE || page < 0)
        return;
    CurrentPage = SkipOfferPages(page, step);
    ShowPage(wizard, CurrentPage);
    UpdatePageButtons(wizard);
}

static void OnQuit(HWND wizard)
{
    if (ControlShowing(wizard, IDC_FINISHED_TEXT))
        SendMessageA(wizard, WM_INSTALL_FINISH, 0, 0);
    CloseWizard(wizard);
}

static void OnBrowse(HWND wizard)
{
    char folder[MAX_PATH] = "";
    GetDlgItemTextA(wizard, IDC_INSTALL_FOLDER, folder, MAX_PATH);
    if (FolderChooser(wizard, folder))
        SetText(wizard, IDC_INSTALL_FOLDER, folder);
}

static void OnUpdaterButton(HWND wizard)
{
    char program[MAX_PATH];
    ExpandMacrosInto(wizard, ProductConfig.UpdaterInstaller, program, sizeof program);
    UpdaterPresent = RunUpdaterInstaller(wizard, program);
}

static void OnWizardCommand(HWND wizard, int id)
{
    switch (id) {
    case IDC_NEXT:             GoToPage(wizard, +1); break;
    case IDC_PREVIOUS:         GoToPage(wizard, -1); break;
    case IDC_QUIT:             OnQuit(wizard); break;
    case IDC_BROWSE:           OnBrowse(wizard); break;
    case IDC_LICENCE_AGREE:    UpdatePageButtons(wizard); break;
    case IDC_UPDATER_BUTTON:   OnUpdaterButton(wizard); break;
    case IDC_SUBSCRIBE_BUTTON: OpenSubscriptionPage(wizard); break;
    default:                   break;  // Enter, Esc and the close command do nothing
    }
}

INT_PTR CALLBACK WizardDialog(HWND wizard, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:      return InitWizard(wizard);
    case WM_DRAWITEM:        return DrawWizardItem(wizard, (const DRAWITEMSTRUCT *)lParam);
    case WM_COMMAND:         OnWizardCommand(wizard, LOWORD(wParam)); return 0;
    case WM_INSTALL_RUN:     RunInstall(wizard); return 0;
    case WM_INSTALL_PROGRESS: OnInstallProgress(wizard, (const char *)lParam); return 0;
    case WM_INSTALL_FINISH:  FinishInstall(wizard); return 0;
    }
    return 0;
}
