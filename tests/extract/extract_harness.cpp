#include "tests/extract/extract_harness.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "extract/extract_platform.h"

#ifdef _WIN32
#include <windows.h>

#include "shell/shell.h"
const char kSeparator[] = "\\";
#else
#include <unistd.h>
const char kSeparator[] = "/";
#endif

namespace fs = std::filesystem;

// Read-only files left by a test would stop the next run from clearing its folder.
static void ClearFolder(const fs::path &folder)
{
    std::error_code error;
    if (!fs::exists(folder, error))
        return;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(folder, error)) {
        if (!entry.is_symlink(error))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, error);
    }
    fs::remove_all(folder, error);
}

// Named after the running test too: tests run side by side, each in a process of its own.
Workspace MakeWorkspace(const std::string &name)
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string owner = test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() + "-" : "";
    Workspace space;
    space.root = std::string(EXTRACT_TEST_WORK) + kSeparator + owner + name;
    ClearFolder(space.root);
    fs::create_directories(space.root + kSeparator + "out");
    space.out = space.root + kSeparator + "out" + kSeparator;
    space.archive = space.root + kSeparator + "archive.zip";
    return space;
}

void WriteBytes(const std::string &path, const std::string &data)
{
    FILE *file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw std::runtime_error("cannot write " + path);
    fwrite(data.data(), 1, data.size(), file);
    fclose(file);
}

bool ReadBytes(const std::string &path, std::string *data)
{
    FILE *file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    data->clear();
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        data->append(buffer, got);
    fclose(file);
    return true;
}

bool FileExists(const std::string &path)
{
    std::error_code error;
    return fs::exists(path, error);
}

bool MakeFolder(const std::string &path)
{
    std::error_code error;
    return fs::create_directories(path, error);
}

std::vector<std::string> FolderNames(const std::string &folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void MakeReadOnly(const std::string &path)
{
#ifdef _WIN32
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
#else
    chmod(path.c_str(), 0444);
#endif
}

// Root passes over permission bits natively, and under Wine too: find out rather than assume.
bool ReadOnlyBlocksWriting()
{
    static int blocks = -1;
    if (blocks < 0) {
        Workspace probe = MakeWorkspace("read_only_probe");
        const std::string path = probe.out + "probe.txt";
        WriteBytes(path, "probe");
        MakeReadOnly(path);
        int file = CreateOutputFile(path.c_str());
        blocks = file < 0 ? 1 : 0;
        if (file >= 0)
            CloseFile(file);
    }
    return blocks == 1;
}

bool FileDosTime(const std::string &path, uint16_t *date, uint16_t *time)
{
#ifdef _WIN32
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILETIME written, local;
    bool ok = GetFileTime(file, NULL, NULL, &written) && FileTimeToLocalFileTime(&written, &local) &&
              FileTimeToDosDateTime(&local, date, time);
    CloseHandle(file);
    return ok;
#else
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return false;
    struct tm local;
    localtime_r(&info.st_mtime, &local);
    *date = (uint16_t)(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    *time = (uint16_t)((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
    return true;
#endif
}

static std::vector<std::string> g_lines;

const std::vector<std::string> &CapturedLines()
{
    return g_lines;
}

#ifdef _WIN32
// A message-only window stands in for the wizard: lines arrive as WM_INSTALL_PROGRESS.
static LRESULT CALLBACK LineWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INSTALL_PROGRESS) {
        g_lines.push_back((const char *)lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

ProgressTarget CaptureLines()
{
    static HWND window = NULL;
    if (window == NULL) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = LineWindowProc;
        windowClass.hInstance = GetModuleHandleA(NULL);
        windowClass.lpszClassName = "ExtractTestLines";
        RegisterClassA(&windowClass);
        window = CreateWindowA("ExtractTestLines", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                               GetModuleHandleA(NULL), NULL);
    }
    g_lines.clear();
    return window;
}
#else
static void RecordLine(const char *line)
{
    g_lines.push_back(line);
}

ProgressTarget CaptureLines()
{
    g_lines.clear();
    return RecordLine;
}
#endif

UnzipResult UnzipFile(const std::string &archivePath, const std::string &folder)
{
    ProgressTarget target = CaptureLines();
    UnzipResult result;
    result.status = UnzipArchive(archivePath.c_str(), folder.c_str(), target);
    result.lines = CapturedLines();
    return result;
}

UnzipResult Unzip(const Workspace &space, const std::string &archive)
{
    WriteBytes(space.archive, archive);
    return UnzipFile(space.archive, space.out);
}

int RunInflate(const Workspace &space, const std::string &stream, std::string *output)
{
    const std::string streamPath = space.root + kSeparator + "stream.bin";
    const std::string outputPath = space.root + kSeparator + "inflated.bin";
    WriteBytes(streamPath, stream);

    ExtractionContext &e = Extraction;
    e.progressWindow = CaptureLines();
    e.archiveFile = OpenArchiveFile(streamPath.c_str());
    e.inputBuffer = (unsigned char *)malloc(INPUT_BUFFER_SIZE);
    e.inputPointer = e.inputBuffer;
    e.inputCount = 0;
    e.bufferStart = -ARCHIVE_BLOCK;
    e.extraBytes = 0;
    e.compressedLeft = (int32_t)stream.size();
    e.outputBuffer = (unsigned char *)malloc(OUTPUT_BUFFER_SIZE);
    e.outputPointer = e.outputBuffer;
    e.outputCount = 0;
    e.outputFile = CreateOutputFile(outputPath.c_str());
    SetBinaryMode(e.outputFile);
    e.writeFailed = 0;
    e.crcRegister = 0xFFFFFFFFu;

    int status = Inflate();
    FlushOutput();
    CloseFile(e.outputFile);
    CloseFile(e.archiveFile);
    free(e.inputBuffer);
    free(e.outputBuffer);
    e.inputBuffer = e.inputPointer = e.outputBuffer = e.outputPointer = nullptr;
    e.archiveFile = e.outputFile = -1;
    ReadBytes(outputPath, output);
    return status;
}

std::string Repeat(const std::string &text, size_t size)
{
    std::string out;
    out.reserve(size);
    while (out.size() < size)
        out += text;
    out.resize(size);
    return out;
}

std::string NoiseBytes(size_t size, uint32_t seed)
{
    std::string out(size, '\0');
    uint32_t state = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        out[i] = (char)(state >> 24);
    }
    return out;
}
