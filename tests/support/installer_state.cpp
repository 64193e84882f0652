#include "tests/support/installer_state.h"

#include "tools/driver/wizard_driver.h"

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
std::string DesktopFolder() { return SpecialFolder(CSIDL_DESKTOPDIRECTORY); }
std::string StartMenuFolder() { return SpecialFolder(CSIDL_STARTMENU); }

std::string TempFolder()
{
    char path[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, path);
    return WithSeparator(path);
}

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltmoor - A Harbor Chronicle";

std::string RegistryValue(HKEY root, const char *key, const char *name)
{
    char value[2048] = "";
    DWORD size = sizeof value;
    if (RegGetValueA(root, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return "(missing)";
    return value;
}

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

void WriteProfileString(const std::string &file, const char *section, const char *key, const char *value)
{
    // In a fresh prefix the profile's folder exists only once an installer has run.
    size_t separator = file.find_last_of('\\');
    if (separator != std::string::npos)
        CreateDirectoryA(file.substr(0, separator).c_str(), nullptr);
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

static void RemoveFile(const std::string &file)
{
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(file.c_str());
}

void ResetInstallerState(std::initializer_list<const char *> extraFolders)
{
    const char *product = "Veltmoor - A Harbor Chronicle";
    for (const std::string &file :
         {ProfilePath(), OldProfilePath(), UpdaterProfilePath(), UpdateListPath(), WindowsFolder() + "TALWUNIN.EXE",
          WindowsFolder() + product + ".scr", DesktopFolder() + product + ".lnk", StartMenuFolder() + product + ".lnk"})
        RemoveFile(file);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, nullptr);
    driver::DeleteTree(ProgramFilesFolder() + "Tallowmere");
    driver::DeleteTree(StartMenuFolder() + "Programs\\" + product);
    for (const char *folder : extraFolders) {
        SetFileAttributesA(folder, FILE_ATTRIBUTE_NORMAL);
        if (!driver::DeleteTree(folder))
            DeleteFileA(folder);
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    WIN32_FIND_DATAA found;
    HANDLE staged = FindFirstFileA((TempFolder() + "TAL*.tmp").c_str(), &found);
    if (staged != INVALID_HANDLE_VALUE) {
        do
            RemoveFile(TempFolder() + found.cFileName);
        while (FindNextFileA(staged, &found));
        FindClose(staged);
    }
}

}  // namespace state
