// Common ground of the in-process tests of the installation steps (with the shared TestWizard, whose
// control 102 names the install folder): install folders with the product's files, readers for what
// the steps and the stand-in programs wrote, and an answerer for the steps' message boxes.
#ifndef VELTMOOR_TEST_STEPS_SUPPORT_H
#define VELTMOOR_TEST_STEPS_SUPPORT_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A fresh install folder for a test, "<fresh test folder>\<name>\Veltmoor A Harbor Chronicle\" (with
// blanks, as the default one has), holding the named files of the sample product ("html\x" puts x in
// a subfolder). Empty when a file could not be copied.
std::string FreshInstallFolder(const std::string &name, const std::vector<std::string> &productFiles = {});
// The lines of a text file without their line ends; empty when it cannot be read.
std::vector<std::string> ReadLines(const std::string &path);
// GetShortPathNameA, or the path itself when that fails.
std::string ShortPath(const std::string &path);
std::string LongPath(const std::string &path);
// Waits for a condition, polling; false when the time-out passed.
bool WaitFor(const std::function<bool()> &condition, DWORD timeoutMs = 15000);
// Creates this thread's DDE client window (the class is registered once per process).
HWND DdeWindowForThisThread();

#endif
