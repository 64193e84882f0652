// The extraction's system layer on Windows: the C runtime's low-level files, the Windows file-time
// functions, and progress lines sent to the wizard.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>

#include "extract/extract_platform.h"
#include "shell/shell.h"

const char kPathSeparator = '\\';

int IsPathSeparator(char c)
{
    return c == '\\';
}

void SendProgressLine(const char *line)
{
    if (Extraction.progressWindow != NULL)
        SendMessageA(Extraction.progressWindow, WM_INSTALL_PROGRESS, 0, (LPARAM)line);
}

int LookUpFile(const char *path, int *isFolder, int64_t *size)
{
    struct _stat info;
    if (_stat(path, &info) != 0)
        return 0;
    *isFolder = (info.st_mode & _S_IFDIR) != 0 ? 1 : 0;
    *size = (int64_t)info.st_size;
    return 1;
}

int OpenArchiveFile(const char *path)
{
    return _open(path, _O_RDONLY | _O_BINARY);
}

int ReadFileBytes(int file, unsigned char *destination, int count)
{
    return _read(file, destination, (unsigned)count);
}

int SeekFile(int file, int32_t offset)
{
    return _lseek(file, (long)offset, SEEK_SET) == (long)offset ? 1 : 0;
}

void CloseFile(int file)
{
    _close(file);
}

int CreateOutputFile(const char *path)
{
    return _open(path, _O_RDWR | _O_CREAT | _O_TRUNC, _S_IREAD | _S_IWRITE);
}

int SetBinaryMode(int file)
{
    return _setmode(file, _O_BINARY) != -1 ? 1 : 0;
}

int WriteFileBytes(int file, const unsigned char *bytes, int count)
{
    return _write(file, bytes, (unsigned)count);
}

void SetFileDosTime(int file, uint16_t dosTime, uint16_t dosDate)
{
    FILETIME local, universal;
    HANDLE handle = (HANDLE)_get_osfhandle(file);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    if (DosDateTimeToFileTime(dosDate, dosTime, &local) && LocalFileTimeToFileTime(&local, &universal))
        SetFileTime(handle, NULL, NULL, &universal);
}
