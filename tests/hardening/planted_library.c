/* A library planted beside the installer under the name of one the installer loads while it runs.
   When any process loads it, it appends that process's program file to the file named by
   PLANTED_LIBRARY_RECORD, so that a test can tell whether it was loaded. */
#include <windows.h>

#include <stdio.h>

BOOL WINAPI DllMain(HINSTANCE library, DWORD reason, LPVOID reserved)
{
    (void)library;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        char program[MAX_PATH] = "";
        GetModuleFileNameA(NULL, program, MAX_PATH);
        char recordPath[MAX_PATH] = "";
        DWORD length = GetEnvironmentVariableA("PLANTED_LIBRARY_RECORD", recordPath, MAX_PATH);
        FILE *record = length > 0 && length < MAX_PATH ? fopen(recordPath, "ab") : NULL;
        if (record != NULL) {
            fprintf(record, "%s\r\n", program);
            fclose(record);
        }
    }
    return TRUE;
}
