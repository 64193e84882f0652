// The extraction's system layer on POSIX systems (the native builds, their tests and fuzzers).
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "extract/extract_platform.h"

const char kPathSeparator = '/';

int IsPathSeparator(char c)
{
    return c == '/';
}

void SendProgressLine(const char *line)
{
    if (Extraction.progressWindow != NULL)
        Extraction.progressWindow(line);
}

int LookUpFile(const char *path, int *isFolder, int64_t *size)
{
    struct stat info;
    if (stat(path, &info) != 0)
        return 0;
    *isFolder = S_ISDIR(info.st_mode) ? 1 : 0;
    *size = (int64_t)info.st_size;
    return 1;
}

int OpenArchiveFile(const char *path)
{
    return open(path, O_RDONLY | O_CLOEXEC);
}

int ReadFileBytes(int file, unsigned char *destination, int count)
{
    int done = 0;
    while (done < count) {
        ssize_t got = read(file, destination + done, (size_t)(count - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return done > 0 ? done : (int)got;
        done += (int)got;
    }
    return done;
}

int SeekFile(int file, int32_t offset)
{
    return lseek(file, (off_t)offset, SEEK_SET) == (off_t)offset ? 1 : 0;
}

void CloseFile(int file)
{
    close(file);
}

int CreateOutputFile(const char *path)
{
    return open(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

int SetBinaryMode(int)
{
    return 1;  // no newline translation exists here
}

int WriteFileBytes(int file, const unsigned char *bytes, int count)
{
    int done = 0;
    while (done < count) {
        ssize_t put = write(file, bytes + done, (size_t)(count - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return done > 0 ? done : -1;
        done += (int)put;
    }
    return done;
}

// Windows refuses fields out of range rather than carrying them over into the next unit.
static int IsValidDosTime(int year, int month, int day, int hour, int minute, int second)
{
    static const int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] || hour > 23 || minute > 59 || second > 59)
        return 0;
    int leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return !(month == 2 && day == 29 && !leap);
}

void SetFileDosTime(int file, uint16_t dosTime, uint16_t dosDate)
{
    int year = 1980 + ((dosDate >> 9) & 0x7F), month = (dosDate >> 5) & 0x0F, day = dosDate & 0x1F;
    int hour = (dosTime >> 11) & 0x1F, minute = (dosTime >> 5) & 0x3F, second = (dosTime & 0x1F) * 2;
    if (!IsValidDosTime(year, month, day, hour, minute, second))
        return;
    struct tm local = {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    time_t when = mktime(&local);
    if (when == (time_t)-1)
        return;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;  // the last-access time is left alone
    times[1].tv_sec = when;
    times[1].tv_nsec = 0;
    futimens(file, times);
}
