// What the extraction tests share: a fresh folder per test under the build tree, the progress lines
// as the installer's wizard would receive them, and ways to run the reader and the decoder.
#ifndef VELTMOOR_TEST_EXTRACT_HARNESS_H
#define VELTMOOR_TEST_EXTRACT_HARNESS_H

#include <stdint.h>

#include <string>
#include <vector>

#include "extract/extract.h"

extern const char kSeparator[];  // "\\" on Windows, "/" elsewhere

// A fresh folder for one test: `out` (ending in a separator) receives the files, `archive` is
// where the archive is written.
struct Workspace {
    std::string root;
    std::string out;
    std::string archive;
};
Workspace MakeWorkspace(const std::string &name);

void WriteBytes(const std::string &path, const std::string &data);
bool ReadBytes(const std::string &path, std::string *data);
bool FileExists(const std::string &path);
bool MakeFolder(const std::string &path);
std::vector<std::string> FolderNames(const std::string &folder);  // sorted, files and folders
void MakeReadOnly(const std::string &path);
bool ReadOnlyBlocksWriting();  // false where the user passes over read-only bits (root)

// The file's last-write time in local time, in MS-DOS form (two-second steps).
bool FileDosTime(const std::string &path, uint16_t *date, uint16_t *time);

// Progress lines: a target that records every line sent to it.
ProgressTarget CaptureLines();
const std::vector<std::string> &CapturedLines();

struct UnzipResult {
    int status;
    std::vector<std::string> lines;
};
// Writes the archive into the workspace and unpacks it into its `out` folder.
UnzipResult Unzip(const Workspace &space, const std::string &archive);
UnzipResult UnzipFile(const std::string &archivePath, const std::string &folder);

// Runs the decoder alone on a raw DEFLATE stream; the output is what reached the file.
int RunInflate(const Workspace &space, const std::string &stream, std::string *output);

std::string Repeat(const std::string &text, size_t size);   // `text` repeated to `size` bytes
std::string NoiseBytes(size_t size, uint32_t seed);          // incompressible, reproducible

#endif
