// The install run's way into the payload: the embedded archive is checked against its stored size
// and CRC-32, staged in a temporary file and unpacked from there into the install folder.
#include <stdio.h>
#include <string.h>

#include "extract/extract.h"
#include "shell/shell.h"
#include "steps/steps.h"

static const char kNoMemoryText[] =
    "There has been an internal error: the installer could not allocate sufficient memory. Please "
    "terminate all other applications running on this system and run this installation again.";
static const char kNoTempSpaceText[] =
    "There has been an internal error: there is insuffcient space on your primary hard drive or "
    "temporary partition. Please perform a Windows Disk Cleanup operation and run this installer again.";
static const char kNotInstalledText[] =
    "There has been an internal error: one or more files could not be installed.\n\n"
    "This is usually caused by an earlier version of the software you're trying to install which is "
    "already running, security applications running on your system preventing the installation or "
    "insufficient space on your destination drive.\n\n"
    "Please check these issues and run this installer again.";

enum { RT_RCDATA_ID = 10, IDC_WAIT_ID = 32514, LOCAL_PATH_SIZE = 264 };

static char StagedPath[MAX_PATH];

char *StagePayload(const unsigned char *bytes, size_t size)
{
    char folder[MAX_PATH];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder)
        return NULL;
    // Without a unique name there is no staging: a fixed name in a shared place could be
    // prepared by someone else beforehand.
    if (GetTempFileNameA(folder, ProductConfig.TempFilePrefix, 0, StagedPath) == 0)
        return NULL;
    remove(StagedPath);
    FILE *file = fopen(StagedPath, "wb");
    if (file == NULL)
        return NULL;
    size_t written = fwrite(bytes, 1, size, file);
    if (fclose(file) != 0 || written < size) {
        remove(StagedPath);
        return NULL;
    }
    return StagedPath;
}

static int FailPayload(HCURSOR previousCursor, HGLOBAL loaded, HWND wizardWindow, const char *text)
{
    if (previousCursor != NULL)
        SetCursor(previousCursor);
    ReportFailure(NULL, wizardWindow, text);
    if (loaded != NULL)
        FreeResource(loaded);
    return 0;
}

int InstallPayload(int resourceId, const char *installFolder, HWND wizardWindow)
{
    HCURSOR previousCursor = SetCursor(LoadCursorA(NULL, MAKEINTRESOURCEA(IDC_WAIT_ID)));

    HRSRC found = FindResourceA(ModuleInstance, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(RT_RCDATA_ID));
    HGLOBAL loaded = found != NULL ? LoadResource(ModuleInstance, found) : NULL;
    if (loaded == NULL)
        return FailPayload(previousCursor, NULL, wizardWindow, ProductConfig.DamagedArchiveText);
    const unsigned char *bytes = (const unsigned char *)LockResource(loaded);
    if (bytes == NULL)
        return FailPayload(previousCursor, loaded, wizardWindow, kNoMemoryText);

    // The checksum covers exactly the archive's size, so a short resource is never read past its end.
    DWORD size = SizeofResource(ModuleInstance, found);
    if (size != ProductConfig.PayloadSize || PayloadCrc32(0, bytes, ProductConfig.PayloadSize) != ProductConfig.PayloadCrc)
        return FailPayload(previousCursor, loaded, wizardWindow, ProductConfig.DamagedArchiveText);

    const char *staged = StagePayload(bytes, size);
    if (staged == NULL)
        return FailPayload(previousCursor, loaded, wizardWindow, kNoTempSpaceText);

    char folder[LOCAL_PATH_SIZE];
    char archive[LOCAL_PATH_SIZE];
    int folderFits = snprintf(folder, sizeof folder, "%s", installFolder) < (int)sizeof folder;
    snprintf(archive, sizeof archive, "%s", staged);
    FreeResource(loaded);

    int status = folderFits ? UnzipArchive(archive, folder, wizardWindow) : XS_OUTPUT;
    remove(archive);
    if (previousCursor != NULL)
        SetCursor(previousCursor);
    if (status == XS_OK)
        return 1;
    ReportFailure(NULL, wizardWindow, kNotInstalledText);
    return 0;
}
