// The product's screen saver as the system's: SYSTEM.INI names it, the system parameters switch it
// on and set its idle time.
#include <stdio.h>
#include <stdlib.h>

#include "steps/steps.h"

enum { LONGEST_TIMEOUT_MINUTES = 30 };

int ScreenSaverMinutes(const char *minutesText)
{
    long minutes = strtol(minutesText, NULL, 10);
    if (minutes < 1)
        return 1;
    return minutes > LONGEST_TIMEOUT_MINUTES ? LONGEST_TIMEOUT_MINUTES : (int)minutes;
}

int EnableScreenSaver(HWND wizard, const char *screenSaverFile, const char *minutesText)
{
    int minutes = ScreenSaverMinutes(minutesText);
    char shortPath[MAX_PATH];
    DWORD length = GetShortPathNameA(screenSaverFile, shortPath, MAX_PATH);
    const char *saver = length > 0 && length < MAX_PATH ? shortPath : screenSaverFile;

    // A bare file name is the system profile in the Windows folder.
    int written = WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", saver, "SYSTEM.INI") != 0;
    int active = SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, NULL, SPIF_UPDATEINIFILE) != 0;
    int timed = SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, (UINT)(minutes * 60), NULL, SPIF_UPDATEINIFILE) != 0;
    char record[MAX_PATH + 16];
    snprintf(record, sizeof record, " SCREENSAVER:%s\n", saver);
    AppendInstalledRecord(wizard, record);
    return written && active && timed;
}
