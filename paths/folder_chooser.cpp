// The install-folder chooser: a tree of the local drives and their folders, and the small dialog that
// names a new folder below the chosen one. Neither creates a folder: the install run does that.
#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include "paths/paths.h"
#include "shell/shell.h"

#include <commctrl.h>  // after windows.h, which paths.h brings

enum { DRIVE_ITEM = 1, FOLDER_ITEM = 2 };
enum { DRIVE_LIST_ID = 100, FOLDER_IMAGE_WIDTH = 16, FOLDER_IMAGE_HEIGHT = 14, FOLDER_IMAGE_COUNT = 2 };
enum { NORMAL_IMAGE = 0, SELECTED_IMAGE = 1 };

static const char kMessageCaption[] = "Message";
static const char kOfflineText[] = "You have attempted to access a drive which is off line.";
static const char kNameTooLongText[] = "The new folder name you have entered is too long.";
static const char kIllegalNameText[] = "The new folder name you have entered includes one or more illegal characters.";
static const char kIllegalNameCharacters[] = "\\/:$?*%[]";

// The callers' path buffers (MAX_PATH bytes) while their dialog runs; the dialogs are modal.
static char *ChooserPath;
static char *NewFolderPath;

static void ShowMessage(HWND dialog, const char *text)
{
    MessageBoxA(dialog, text, kMessageCaption, MB_ICONINFORMATION);
}

static void RepaintNow(HWND window)
{
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

static void RemoveTrailingSeparator(char *path)
{
    size_t length = strlen(path);
    if (length > 0 && path[length - 1] == '\\')
        path[length - 1] = '\0';
}

static void CopyPath(char *to, const char *from)
{
    snprintf(to, MAX_PATH, "%s", from);
}

static INT_PTR DrawDialogButton(HWND dialog, const DRAWITEMSTRUCT *item)
{
    if (!IsWindowVisible(dialog) || item->CtlType != ODT_BUTTON)
        return 0;
    return DrawOwnerButton(item);
}

int DriveIsOffline(int driveIndex)
{
    if (driveIndex < 0 || driveIndex > 25)
        return 1;  // no such drive letter
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    char probe[16];
    snprintf(probe, sizeof probe, "%c:\\TEMP.DAT", 'A' + driveIndex);
    HANDLE file = CreateFileA(probe, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    SetErrorMode(previousMode);
    // A ready drive answers "file not found"; these say that the drive itself cannot be reached.
    return error == ERROR_PATH_NOT_FOUND || error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_DRIVE ||
           error == ERROR_NOT_READY;
}

static int DriveIndexOfPath(const char *path)
{
    int letter = toupper((unsigned char)path[0]);
    return letter >= 'A' && letter <= 'Z' ? letter - 'A' : -1;
}

// ---- The tree ----

static void ItemText(HWND tree, HTREEITEM item, char *text)
{
    TVITEMA request = {};
    request.mask = TVIF_TEXT;
    request.hItem = item;
    request.pszText = text;
    request.cchTextMax = MAX_PATH;
    text[0] = '\0';
    TreeView_GetItem(tree, &request);
}

// The path of an item: the texts from the root down, each followed by "\" unless it ends in one.
// Returns 0 with an empty path when there is no item or the path would not fit a path buffer.
static int ItemPath(HWND tree, HTREEITEM item, char *path)
{
    path[0] = '\0';
    HTREEITEM chain[MAX_PATH];
    int depth = 0;
    HTREEITEM at = item;
    for (; at != NULL && depth < MAX_PATH; at = TreeView_GetParent(tree, at))
        chain[depth++] = at;
    if (depth == 0 || at != NULL)
        return 0;
    size_t length = 0;
    for (int i = depth - 1; i >= 0; --i) {
        char text[MAX_PATH];
        ItemText(tree, chain[i], text);
        size_t textLength = strlen(text);
        size_t separator = textLength == 0 || text[textLength - 1] != '\\' ? 1 : 0;
        if (length + textLength + separator > MAX_PATH - 1) {
            path[0] = '\0';
            return 0;
        }
        memcpy(path + length, text, textLength);
        length += textLength;
        if (separator)
            path[length++] = '\\';
        path[length] = '\0';
    }
    return 1;
}

static HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const char *text, LPARAM kind, int image, int selectedImage)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_SORT;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = (char *)text;
    insert.item.lParam = kind;
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    return (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
}

// Folders are searched once per item, when it is first selected; the tree is never refreshed.
static void ListSubfolders(HWND tree, HTREEITEM parent, const char *path)
{
    char pattern[MAX_PATH];
    if (snprintf(pattern, sizeof pattern, "%s*.*", path) >= (int)sizeof pattern)
        return;
    TVITEMA images = {};
    images.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    images.hItem = parent;
    TreeView_GetItem(tree, &images);

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    size_t pathLength = strlen(path);
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || found.cFileName[0] == '.')
            continue;
        // A folder whose own path (with its "\") would not fit a path buffer could never be chosen.
        if (pathLength + strlen(found.cFileName) + 1 > MAX_PATH - 1)
            continue;
        InsertItem(tree, parent, found.cFileName, FOLDER_ITEM, images.iImage, images.iSelectedImage);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

static void OnSelectionChanged(HWND dialog, HTREEITEM item)
{
    HWND tree = GetDlgItem(dialog, IDC_CHOOSER_TREE);
    char path[MAX_PATH];
    if (!ItemPath(tree, item, path))
        return;
    if (DriveIsOffline(DriveIndexOfPath(path))) {
        ShowMessage(dialog, kOfflineText);
        return;
    }
    if (TreeView_GetChild(tree, item) == NULL)
        ListSubfolders(tree, item, path);
    TreeView_Expand(tree, item, TVE_EXPAND);
}

// The drive letters, as the list box's drive listing gives them ("[-c-]"). Returns their number.
static int ReadDriveLetters(HWND tree, char *letters)
{
    HWND list = CreateWindowA("LISTBOX", "", WS_CHILD | LBS_SORT | LBS_HASSTRINGS, 0, 0, 10, 10, tree,
                              (HMENU)(INT_PTR)DRIVE_LIST_ID, ModuleInstance, NULL);
    if (list == NULL)
        return 0;
    char noFiles[] = "";
    SendMessageA(list, LB_DIR, DDL_DRIVES | DDL_EXCLUSIVE, (LPARAM)noFiles);
    int entries = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    int count = 0;
    for (int i = 0; i < entries && count < MAX_PATH; ++i) {
        char entry[16];
        if (SendMessageA(list, LB_GETTEXTLEN, (WPARAM)i, 0) != 5)
            continue;
        SendMessageA(list, LB_GETTEXT, (WPARAM)i, (LPARAM)entry);
        if (entry[0] == '[' && entry[1] == '-' && entry[3] == '-' && entry[4] == ']')
            letters[count++] = (char)tolower((unsigned char)entry[2]);
    }
    DestroyWindow(list);
    return count;
}

// The common controls for as long as a chooser is open.
static CommonControls Controls;

static void AttachFolderImages(HWND tree)
{
    HIMAGELIST images = Controls.ImageList_Create(FOLDER_IMAGE_WIDTH, FOLDER_IMAGE_HEIGHT, ILC_COLOR8, FOLDER_IMAGE_COUNT, 0);
    if (images == NULL)
        return;
    const int bitmaps[FOLDER_IMAGE_COUNT] = {ProductConfig.FolderBitmap, ProductConfig.FolderSelectedBitmap};
    for (int id : bitmaps) {
        HBITMAP bitmap = LoadBitmapA(ModuleInstance, MAKEINTRESOURCEA(id));
        if (bitmap == NULL)
            continue;
        Controls.ImageList_Add(images, bitmap, NULL);
        DeleteObject(bitmap);
    }
    if (Controls.ImageList_GetImageCount(images) < FOLDER_IMAGE_COUNT) {
        Controls.ImageList_Destroy(images);
        return;
    }
    TreeView_SetImageList(tree, images, TVSIL_NORMAL);
}

static void ReleaseFolderImages(HWND dialog)
{
    HIMAGELIST images = TreeView_SetImageList(GetDlgItem(dialog, IDC_CHOOSER_TREE), NULL, TVSIL_NORMAL);
    if (images != NULL)
        Controls.ImageList_Destroy(images);
}

// Compares a path component with an item's text, without regard to case or to a trailing "\".
static int SameName(const char *component, size_t componentLength, const char *itemText)
{
    size_t itemLength = strlen(itemText);
    if (itemLength > 0 && itemText[itemLength - 1] == '\\')
        --itemLength;
    if (itemLength != componentLength || componentLength >= MAX_PATH)
        return 0;
    char a[MAX_PATH], b[MAX_PATH];
    memcpy(a, component, componentLength);
    memcpy(b, itemText, componentLength);
    CharUpperBuffA(a, (DWORD)componentLength);
    CharUpperBuffA(b, (DWORD)componentLength);
    return memcmp(a, b, componentLength) == 0;
}

// Selects each folder of the path in turn, which lists and opens it, down to the deepest one that
// exists: "C:\", then "Program Files\" below it, and so on.
static void SelectAlongPath(HWND tree, const char *path)
{
    HTREEITEM level = TreeView_GetRoot(tree);
    const char *component = path;
    while (*component != '\0' && level != NULL) {
        const char *end = strchr(component, '\\');
        size_t length = end != NULL ? (size_t)(end - component) : strlen(component);
        HTREEITEM match = NULL;
        for (HTREEITEM item = level; item != NULL && match == NULL; item = TreeView_GetNextSibling(tree, item)) {
            char text[MAX_PATH];
            ItemText(tree, item, text);
            if (SameName(component, length, text))
                match = item;
        }
        if (match == NULL)
            return;
        TreeView_SelectItem(tree, match);
        level = TreeView_GetChild(tree, match);
        component += length + (end != NULL ? 1 : 0);
    }
}

// ---- The chooser dialog ----

static INT_PTR InitChooser(HWND dialog, char *path)
{
    ChooserPath = path;
    HWND tree = GetDlgItem(dialog, IDC_CHOOSER_TREE);
    TreeView_DeleteAllItems(tree);
    char letters[MAX_PATH];
    int drives = ReadDriveLetters(tree, letters);
    AttachFolderImages(tree);
    for (int i = 0; i < drives; ++i) {
        char root[4] = {letters[i], ':', '\\', '\0'};
        if (GetDriveTypeA(root) != DRIVE_REMOTE)
            InsertItem(tree, TVI_ROOT, root, DRIVE_ITEM, NORMAL_IMAGE, SELECTED_IMAGE);
    }
    SelectAlongPath(tree, path);
    SetFocus(GetDlgItem(dialog, IDOK));
    CenterOnScreen(dialog);
    return FALSE;  // the focus is set
}

static void OnChooserOk(HWND dialog)
{
    HWND tree = GetDlgItem(dialog, IDC_CHOOSER_TREE);
    char path[MAX_PATH];
    if (!ItemPath(tree, TreeView_GetSelection(tree), path) || DriveIsOffline(DriveIndexOfPath(path))) {
        ShowMessage(dialog, kOfflineText);
        return;
    }
    RemoveTrailingSeparator(path);
    CopyPath(ChooserPath, path);
    EndDialog(dialog, 1);
}

// No drive test on this road: the new folder only has to be named.
static void OnNewFolder(HWND dialog)
{
    HWND tree = GetDlgItem(dialog, IDC_CHOOSER_TREE);
    char path[MAX_PATH];
    ItemPath(tree, TreeView_GetSelection(tree), path);  // empty when nothing is selected
    if (!NewFolderNameDialog(dialog, path))
        return;
    RemoveTrailingSeparator(path);
    CopyPath(ChooserPath, path);
    EndDialog(dialog, 1);
}

static INT_PTR OnChooserNotify(HWND dialog, const NMHDR *header)
{
    if (header->idFrom != IDC_CHOOSER_TREE)
        return FALSE;
    switch (header->code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        OnSelectionChanged(dialog, ((const NMTREEVIEWA *)header)->itemNew.hItem);
        return TRUE;
    case NM_DBLCLK:
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        // Handled: the tree must not fold the item away under a dialog that is about to close.
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    return FALSE;
}

static void OnChooserCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:               OnChooserOk(dialog); break;
    case IDCANCEL:           EndDialog(dialog, 0); break;
    case IDC_CHOOSER_NEW:    OnNewFolder(dialog); break;
    default:                 break;
    }
}

static INT_PTR CALLBACK ChooserDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return InitChooser(dialog, (char *)lParam);
    case WM_DRAWITEM:   return DrawDialogButton(dialog, (const DRAWITEMSTRUCT *)lParam);
    case WM_NOTIFY:     return OnChooserNotify(dialog, (const NMHDR *)lParam);
    case WM_COMMAND:    OnChooserCommand(dialog, LOWORD(wParam)); return TRUE;
    case WM_DESTROY:    ReleaseFolderImages(dialog); return FALSE;
    }
    return FALSE;
}

int FolderChooser(HWND owner, char *path)
{
    if (!LoadCommonControls(&Controls))
        return 0;  // without the tree view there is nothing to choose with: the field stays
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TREEVIEW_CLASSES};
    Controls.InitCommonControlsEx(&classes);
    INT_PTR result = DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(ProductConfig.ChooserTemplate), owner,
                                     ChooserDialog, (LPARAM)path);
    RepaintNow(owner);
    FreeCommonControls(&Controls);
    return result == 1;
}

// ---- The new-folder name dialog ----

static INT_PTR InitNewFolderDialog(HWND dialog, char *path)
{
    NewFolderPath = path;
    SetDlgItemTextA(dialog, IDC_NEWFOLDER_PARENT, path);
    SendDlgItemMessageA(dialog, IDC_NEWFOLDER_NAME, EM_LIMITTEXT, MAX_PATH, 0);
    SetDlgItemTextA(dialog, IDC_NEWFOLDER_NAME, ProductConfig.NewFolderName);
    SendDlgItemMessageA(dialog, IDC_NEWFOLDER_NAME, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(dialog, IDC_NEWFOLDER_NAME));
    CenterOnScreen(dialog);
    return FALSE;  // the focus is set
}

static void OnNewFolderOk(HWND dialog)
{
    // One byte more than a path holds, so that a name of the edit's full 260 characters is refused
    // as too long rather than silently cut.
    char name[MAX_PATH + 1] = "";
    GetDlgItemTextA(dialog, IDC_NEWFOLDER_NAME, name, sizeof name);
    size_t pathLength = strlen(NewFolderPath);
    size_t nameLength = strlen(name);
    size_t separator = pathLength > 0 && NewFolderPath[pathLength - 1] != '\\' ? 1 : 0;
    if (pathLength + separator + nameLength >= MAX_PATH) {
        ShowMessage(dialog, kNameTooLongText);
        return;
    }
    if (strpbrk(name, kIllegalNameCharacters) != NULL) {
        ShowMessage(dialog, kIllegalNameText);
        return;
    }
    if (separator)
        NewFolderPath[pathLength++] = '\\';
    memcpy(NewFolderPath + pathLength, name, nameLength + 1);
    EndDialog(dialog, 1);
}

static void OnNewFolderCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:     OnNewFolderOk(dialog); break;
    case IDCANCEL: EndDialog(dialog, 0); break;
    default:       break;
    }
}

static INT_PTR CALLBACK NewFolderDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return InitNewFolderDialog(dialog, (char *)lParam);
    case WM_DRAWITEM:   return DrawDialogButton(dialog, (const DRAWITEMSTRUCT *)lParam);
    case WM_COMMAND:    OnNewFolderCommand(dialog, LOWORD(wParam)); return TRUE;
    }
    return FALSE;
}

int NewFolderNameDialog(HWND owner, char *path)
{
    INT_PTR result = DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(ProductConfig.NewFolderTemplate), owner,
                                     NewFolderDialog, (LPARAM)path);
    RepaintNow(owner);
    return result == 1;
}
