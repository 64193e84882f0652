// Payload extraction.
#ifndef VELTMOOR_EXTRACT_H
#define VELTMOOR_EXTRACT_H

#ifdef _WIN32
#include <windows.h>
// Checks the embedded archive, stages it in a temporary file and unpacks it into installFolder
// (which ends in a backslash). Returns 1 when every file was installed, 0 after a failure message.
int InstallPayload(int resourceId, const char *installFolder, HWND wizardWindow);
#endif

#endif
