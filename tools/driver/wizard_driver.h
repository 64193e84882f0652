// The wizard driver: starts the installer and, from outside its process, reads what a user sees and
// does what a user does. Every end-to-end test and the demo use it.
//
// It only clicks what a person could click (visible and enabled), synchronises by waiting for
// conditions with time-outs (never by sleeping a fixed time), and describes the screen in every
// failure so that a failing test says what was there.
#ifndef VELTMOOR_WIZARD_DRIVER_H
#define VELTMOOR_WIZARD_DRIVER_H

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace driver {

// Default time-out of every wait, in milliseconds. Wine is slow to start the first program.
constexpr DWORD kWait = 15000;

// A Unix path as the Windows programs under Wine see it (drive Z: is the Linux root).
std::string WinePath(const std::string &unixPath);

// The environment variable `name`, or `fallback` when it is not set.
std::string EnvOr(const char *name, const std::string &fallback);

// Waits until `condition` holds or `timeoutMs` passes. Returns whether it held.
bool WaitUntil(const std::function<bool()> &condition, DWORD timeoutMs = kWait);

// Removes a folder with everything in it (read-only files too). True when the folder is gone.
bool DeleteTree(const std::string &folder);
// The names of the files (not folders) in a folder.
std::vector<std::string> FilesIn(const std::string &folder);

// Saves a screenshot of the whole X display (the real screen, as a person sees it) as a PNG.
bool SaveScreenshot(const std::string &pngPath);

// One control of a window as the driver saw it.
struct ControlView {
    int id;
    std::string className;
    std::string text;
    bool visible;
    bool enabled;
};

// ==== Tree views of the installer (tree_view.cpp) ====
// The folder chooser's tree, read from outside the process: the item texts are fetched through
// memory lent in the installer's process.

// One item of a tree-view control as the driver read it.
struct TreeItem {
    HTREEITEM handle = nullptr;
    std::string text;      // code-page-1252 bytes
    LPARAM data = 0;       // the item's own value (the chooser: 1 drive, 2 folder)
    int image = -1;
    int selectedImage = -1;
    bool expanded = false;
    bool selected = false;
    std::vector<TreeItem> children;  // every child item, listed whether the item is open or not
};

// Reads every item of the tree-view control `tree` of another process. False (with `error`) when
// the tree cannot be read.
bool ReadTree(HWND tree, std::vector<TreeItem> *roots, std::string *error);
// The item at `path`, written as the tree shows it ("c:\", "c:\Program Files\Tallowmere"); null
// when there is none. Texts are compared exactly.
const TreeItem *FindTreeItem(const std::vector<TreeItem> &roots, const std::string &path);
// The path of the selected item as the chooser builds it ("c:\Program Files\"); empty when none is.
std::string SelectedTreePath(const std::vector<TreeItem> &roots);
// The texts of an item's children, in tree order.
std::vector<std::string> ChildTexts(const TreeItem &item);
// The tree as indented lines with each item's state, for failure messages.
std::string DescribeTree(const std::vector<TreeItem> &roots);
// The rectangle of an item's text in the tree's client coordinates.
bool TreeItemTextRect(HWND tree, HTREEITEM item, RECT *rect);

// Waits until the installer's thread has handled everything posted to it so far (also while one of
// its modal dialogs runs). `wizard` is the wizard dialog.
bool Settle(HWND wizard);

// ==== The wizard ====

struct Installer {
    // ---- Process ----
    // Starts the installer (the VELTMOOR_INSTALLER file unless `program` is given) with `arguments`.
    bool Start(const std::string &arguments = "", const std::string &program = "");
    bool Running() const;
    // Waits for the process to end; returns false on time-out. `exitCode` receives its status.
    bool WaitForExit(DWORD timeoutMs = kWait, DWORD *exitCode = nullptr);
    void Kill();
    // Waits until the installer has handled everything queued for it, paints included (before a
    // screenshot). Returns false when it stayed busy for `timeoutMs`.
    bool WaitForIdle(DWORD timeoutMs = 5000) const;
    // Ends the installer if it still runs and forgets it, so that Start can begin a new one.
    void Close();
    DWORD ProcessId() const { return processId; }

    // ---- Windows of the process ----
    // Waits for the wizard dialog (a visible dialog holding the Next button).
    bool WaitForWizard(DWORD timeoutMs = kWait);
    HWND Wizard() const { return wizard; }
    HWND Backdrop() const;  // the process's visible top-level window that is not a dialog
    // A visible message box ("Message") or other dialog of the process that is not the wizard.
    HWND FindDialog(const char *caption) const;
    bool WaitForDialog(const char *caption, DWORD timeoutMs = kWait);

    // ---- Reading the wizard ----
    HWND Control(int id) const;
    bool Exists(int id) const;
    bool Visible(int id) const;
    bool Enabled(int id) const;
    bool Checked(int id) const;
    std::string Text(int id) const;         // code-page-1252 bytes, as the installer holds them
    std::vector<int> VisiblePageControls() const;  // ids of 100 and more, in window order
    std::vector<std::string> ProgressLines() const;
    RECT ClientRect(int id) const;          // control's rectangle in the wizard's client coordinates

    // ---- Acting as a user ----
    // Clicks a button or check box of the wizard. Fails (returns false, with `lastError` set) when
    // the control is missing, hidden or disabled, as it would be for a person.
    bool Click(int id);
    // Presses Enter or Esc on the wizard, or its system close command, as the dialog manager sends them.
    void PressEnter();
    void PressEscape();
    void SendClose();

    // ---- Message boxes and other dialogs ----
    // Text of the message box captioned `caption` (empty when there is none).
    std::string DialogText(const char *caption) const;
    // Presses the button `id` (IDOK by default) of the dialog captioned `caption`.
    bool PressDialogButton(const char *caption, int id = IDOK);

    // ---- The folder chooser and its new-folder dialog (tree_view.cpp, dialog_actions.cpp) ----
    HWND Chooser() const;  // the visible folder chooser ("New Folder"), or null
    // Reads the chooser's tree; false with `lastError` set when there is no chooser or no tree.
    bool ReadChooserTree(std::vector<TreeItem> *roots);
    // Clicks the text of the chooser's item at `path` (see FindTreeItem), as a person does: it must be
    // shown, so every folder above it must be open, and the chooser must not be blocked by a box.
    bool ClickTreeItem(const std::string &path);
    bool DoubleClickTreeItem(const std::string &path);
    // Clicks button `id` of the dialog captioned `caption` and waits until the installer has handled
    // the click; the dialog may stay open (a message box over it, a second dialog).
    bool ClickDialogButton(const char *caption, int id);
    // Replaces the text of edit control `id` of the dialog captioned `caption` by typing `text`
    // (code-page-1252 bytes) into it, character by character, as the keyboard does.
    bool TypeIntoDialog(const char *caption, int id, const std::string &text);
    std::string DialogControlText(const char *caption, int id) const;

    // ---- Diagnosis ----
    // Every window of the process with its controls: what is on screen now.
    std::string DescribeScreen() const;

    std::string lastError;
    // The desktop to start the installer on (a name made with CreateDesktop); empty for the
    // driver's own. The driver finds the installer's windows only from a thread on that desktop.
    std::string desktop;

    Installer() = default;
    Installer(const Installer &) = delete;
    Installer &operator=(const Installer &) = delete;
    ~Installer();

  private:
    PROCESS_INFORMATION process{};
    DWORD processId = 0;
    HWND wizard = nullptr;
};

// Reads every control of a dialog window.
std::vector<ControlView> ReadControls(HWND dialog);
std::string WindowText(HWND window);
std::string ClassName(HWND window);

}  // namespace driver

#endif
