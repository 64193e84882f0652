// Records of the later steps (program group, shortcuts, screen saver) in the installed-file list.
// They go only into a list that this run has started: a missing list is never created here.
#include <stdarg.h>
#include <stdio.h>

#include "steps/steps.h"

int AppendInstalledRecords(HWND wizard, const char *format, ...)
{
    const char *path = InstalledListPath(wizard);
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return 0;
    FILE *list = fopen(path, "at+");
    if (list == NULL)
        return 0;
    fseek(list, 0, SEEK_END);
    va_list arguments;
    va_start(arguments, format);
    int written = vfprintf(list, format, arguments);
    va_end(arguments);
    int closed = fclose(list);
    return written >= 0 && closed == 0;
}
