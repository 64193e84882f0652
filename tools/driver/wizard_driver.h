// The wizard driver: starts the installer and, from outside its process, reads what a user sees and
// does what a user does. Every end-to-end test and the demo use it.
//
// It only clicks what a person could click (visible and enabled), synchronises by waiting for
// conditions with time-outs (never by sleeping a fixed time), and describes the screen in every
// failure so that a failing test says what was there.
#ifndef VELTMOOR_WIZARD_DRIVER_H
#define VELTMOOR_WIZARD_DRIVER_H

#include <windows.h>

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

struct Installer {
    // ---- Process ----
    // Starts the installer (the VELTMOOR_INSTALLER file unless `program` is given) with `arguments`.
    bool Start(const std::string &arguments = "", const std::string &program = "");
    bool Running() const;
    // Waits for the process to end; returns false on time-out. `exitCode` receives its status.
    bool WaitForExit(DWORD timeoutMs = kWait, DWORD *exitCode = nullptr);
    void Kill();
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
