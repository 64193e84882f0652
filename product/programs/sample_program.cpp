// A stand-in for one of the product's programs. It says what it is and how it was started, and
// records its command line so that tests can see how the installer started it:
//   SAMPLE_PROGRAM_RECORD  a file to which "<program file>|<command line>" is appended
//   SAMPLE_PROGRAM_QUIET   when set, the program ends at once instead of showing its window
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#ifndef PROGRAM_ROLE
#error "PROGRAM_ROLE names what this program stands for"
#endif

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
    if (getenv("SAMPLE_PROGRAM_QUIET") != NULL)
        return 0;

    char text[1024];
    snprintf(text, sizeof text, "%s\n\nThis is a sample program that stands in for the real one.\n\n"
             "Started as:\n%s", PROGRAM_ROLE, commandLine);
    MessageBoxA(NULL, text, PROGRAM_ROLE, MB_ICONINFORMATION);
    return 0;
}
