// The few things the extraction asks of the system: progress lines, the archive's bytes, the output
// files and their times. Windows: the C runtime's descriptors and the file-time functions of the
// Windows API; elsewhere: POSIX. Descriptors are -1 on failure.
#ifndef VELTMOOR_EXTRACT_PLATFORM_H
#define VELTMOOR_EXTRACT_PLATFORM_H

#include <stdint.h>

#include "extract/extract.h"

// Hands a line to Extraction.progressWindow, synchronously; nothing when it is null.
void SendProgressLine(const char *line);

// The separator that joins the target folder and an entry name.
extern const char kPathSeparator;
int IsPathSeparator(char c);  // what may end a folder path on this system

// 1 when `path` exists; `*isFolder` and `*size` describe it.
int LookUpFile(const char *path, int *isFolder, int64_t *size);

int OpenArchiveFile(const char *path);                      // read-only, binary
int ReadFileBytes(int file, unsigned char *destination, int count);  // bytes read, 0 at the end, -1
int SeekFile(int file, int32_t offset);                     // from the start; 1 or 0
void CloseFile(int file);

int CreateOutputFile(const char *path);                     // replaces an existing file
int SetBinaryMode(int file);                                // 1 or 0
int WriteFileBytes(int file, const unsigned char *bytes, int count);  // bytes written, or -1
// Sets the last-write time from an MS-DOS time and date taken as local time; failures are ignored.
void SetFileDosTime(int file, uint16_t dosTime, uint16_t dosDate);

#endif
