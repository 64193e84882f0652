// Installation steps: the install run, the install records, file moves, the program group,
// shortcuts and screen saver, and the closing options.
#ifndef VELTMOOR_STEPS_H
#define VELTMOOR_STEPS_H

#include <windows.h>

// ---- Install run ----
// Appends a line to the progress list, scrolls it into view and repaints the list at once (no
// message loop runs during the install run).
void AddProgressLine(HWND wizard, const char *text);
// Every failure the user must see during the run: the box (captioned "Message") and the same text
// as a progress line. `owner` may be NULL.
void ReportFailure(HWND owner, HWND wizard, const char *text);
void CloseWizard(HWND wizard);
int CreateFolderPath(const char *path);
void RunInstall(HWND wizard);
void OnInstallProgress(HWND wizard, const char *line);
void FinishInstall(HWND wizard);

// ---- Install records ----
const char *InstalledListPath(HWND wizard);
int StartInstallRecords(HWND wizard, const char *profileFile, const char *installFolder, const char *applicationName);
// Appends " <text>\n" to INSTALLD.TXT when the list exists (text that ends in a line feed leaves an
// empty line after it).
int AppendInstalledEntry(HWND wizard, const char *text);
// Appends record lines exactly as given, when the list exists; every step that records something
// writes through it, once per step.
int AppendInstalledRecord(HWND wizard, const char *lines);
int CreateFolders(HWND wizard, const char *folderList);
int WriteInstallLog(HWND wizard);

// ---- File moves ----
int MoveFiles(HWND wizard, const char *moveList);
int MoveMatchingFiles(HWND wizard, const char *source, const char *destination);

// ---- Program group ----
// How long one command waits for the server's reply before it counts as unanswered.
enum { DDE_REPLY_TIMEOUT_MS = 3000 };

HWND CreateDdeWindow(HINSTANCE instance, HINSTANCE previousInstance);
int CreateProgramGroup(HWND wizard, const char *groupName, const char *items);
// Finds the server by a broadcast initiation, starting `service` once when nobody answers.
HWND ConnectProgramManager(const char *service, const char *topic);
// 1 for a positive acknowledgement or data; 0 for a negative one or no reply in time.
int DdeExecute(HWND server, const char *command);
int AddGroupItem(const char *caption, const char *command, const char *iconFile, int iconIndex);

// ---- Shortcuts and screen saver ----
int AddDesktopShortcut(HWND wizard, const char *target, const char *description);
int AddStartMenuShortcut(HWND wizard, const char *target, const char *description);
// Returns the status of the link component's calls (negative on failure).
HRESULT CreateShellLink(const char *target, const char *linkFile, const char *description);
// Returns 0 when SYSTEM.INI or the system parameters could not be written.
int EnableScreenSaver(HWND wizard, const char *screenSaverFile, const char *minutesText);
// Whole minutes of idle time from the configured text, kept within 1 ... 30.
int ScreenSaverMinutes(const char *minutesText);

// ---- Closing options ----
int ShowWhatsNew(HWND wizard, const char *document);
int IsUpdaterInstalled(HWND wizard);
int IsUpdateListSuppressed(HWND wizard);
int RunUpdaterInstaller(HWND wizard, const char *program);
int SetUpdateListSuppressed(HWND wizard, int on);
int OpenSubscriptionPage(HWND wizard);
int OpenWebPage(HWND wizard, const char *address, int maximised);
int ShowPromoGraphic(HWND wizard, const char *graphic);

#endif
