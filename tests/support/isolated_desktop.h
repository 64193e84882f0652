// A desktop of its own for a test, on which a program-group server of ours is the only one that
// answers "PROGMAN". On every desktop Wine's desktop process answers it too; on a fresh desktop its
// server windows can be closed without touching the desktop that the other tests use.
#ifndef VELTMOOR_TEST_ISOLATED_DESKTOP_H
#define VELTMOOR_TEST_ISOLATED_DESKTOP_H

#include <windows.h>

#include <functional>
#include <string>

// Runs `body` on a new thread attached to a new desktop whose shell no longer answers "PROGMAN",
// and waits for it. Windows the body creates live on that desktop; programs it starts with
// StartOnDesktop run there too, and so does everything they start in turn. Returns false, with the
// reason in `error`, when the desktop could not be prepared (the body has not run then).
bool RunOnIsolatedDesktop(const std::function<void(const std::string &desktop)> &body, std::string *error);

// Starts a command line on the named desktop with this process's environment.
bool StartOnDesktop(const std::string &commandLine, const std::string &desktop, PROCESS_INFORMATION *process);

// The window that answers an initiation for "PROGMAN"/"PROGMAN" on this thread's desktop, or NULL.
// The conversation it opens is ended at once.
HWND ProbeProgramManager();

#endif
