// A stand-in for a program of the outside world that the installer starts (the document viewer, the
// web browser). Like the product's sample programs it records how it was started and can be told to
// end at once:
//   SAMPLE_PROGRAM_RECORD  a file to which "<program file>|<command line>" is appended
//   SAMPLE_PROGRAM_QUIET   when set, no window is shown
//   OUTSIDE_PROGRAM_HOLD   the name of an event: the program ends only once it is set (at most
//                          after two minutes), so that a test can see who waits for it
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#ifndef PROGRAM_ROLE
#error "PROGRAM_ROLE names what this program stands for"
#endif

enum { LONGEST_HOLD_MS = 120000 };

static void RecordStart(const char *programFile, const char *commandLine)
{
    const char *recordPath = getenv("SAMPLE_PROGRAM_RECORD");
    if (recordPath == NULL || recordPath[0] == '\0')
        return;
    FILE *record = fopen(recordPath, "ab");
    if (record == NULL)
        return;
    fprintf(record, "%s|%s\r\n", programFile, commandLine);
    fclose(record);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char programFile[MAX_PATH] = "";
    GetModuleFileNameA(NULL, programFile, MAX_PATH);
    const char *commandLine = GetCommandLineA();
    RecordStart(programFile, commandLine);

    const char *hold = getenv("OUTSIDE_PROGRAM_HOLD");
    if (hold != NULL && hold[0] != '\0') {
        HANDLE event = CreateEventA(NULL, TRUE, FALSE, hold);
        if (event != NULL) {
            WaitForSingleObject(event, LONGEST_HOLD_MS);
            CloseHandle(event);
        }
    }
    if (getenv("SAMPLE_PROGRAM_QUIET") != NULL)
        return 0;

    char text[1024];
    snprintf(text, sizeof text, "%s\n\nThis program stands in for the real one on this test system.\n\n"
             "Started as:\n%s", PROGRAM_ROLE, commandLine);
    MessageBoxA(NULL, text, PROGRAM_ROLE, MB_ICONINFORMATION);
    return 0;
}
