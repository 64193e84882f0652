#include "tests/support/installer_state.h"

#include <shlobj.h>

#include <stdio.h>

namespace state {
namespace {

std::string WithSeparator(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string SpecialFolder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return WithSeparator(path);
}

}  // namespace

std::string WindowsFolder()
{
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, MAX_PATH);
    return WithSeparator(path);
}

std::string AppDataFolder() { return SpecialFolder(CSIDL_APPDATA); }
std::string ProgramFilesFolder() { return SpecialFolder(CSIDL_PROGRAM_FILES); }
std::string ProfilePath() { return AppDataFolder() + "Tallowmere\\harbway.ini"; }
std::string OldProfilePath() { return WindowsFolder() + "harbway.ini"; }
std::string UpdaterProfilePath() { return WindowsFolder() + "talwupdt.ini"; }
std::string UpdateListPath() { return WindowsFolder() + "TallowmereUpdateList.INI"; }
std::string DefaultInstallFolder() { return ProgramFilesFolder() + "Tallowmere\\Veltmoor A Harbor Chronicle"; }

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFile(const std::string &path)
{
    std::string content;
    FILE *file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        return content;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    fclose(file);
    return content;
}

bool DeleteTree(const std::string &folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryA(folder.c_str()) != 0;
}

void WriteProfileString(const std::string &file, const char *section, const char *key, const char *value)
{
    WritePrivateProfileStringA(section, key, value, file.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());  // flush the system's cache
}

bool SetFileAge(const std::string &file, int minutesAgo)
{
    HANDLE handle = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time;
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    time.QuadPart -= (ULONGLONG)minutesAgo * 60 * 10000000ULL;
    FILETIME then = {time.LowPart, time.HighPart};
    BOOL set = SetFileTime(handle, nullptr, nullptr, &then);
    CloseHandle(handle);
    return set != 0;
}

void ResetInstallerState()
{
    for (const std::string &file : {ProfilePath(), OldProfilePath(), UpdaterProfilePath(), UpdateListPath()}) {
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file.c_str());
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, nullptr);
    DeleteTree(ProgramFilesFolder() + "Tallowmere");
}

}  // namespace state
