// The installer's footprint in the test prefix, so that every end-to-end test starts from a known
// state: the files, folders and registry entries an install or a test may leave behind.
#ifndef VELTMOOR_TEST_INSTALLER_STATE_H
#define VELTMOOR_TEST_INSTALLER_STATE_H

#include <windows.h>

#include <string>

namespace state {

std::string WindowsFolder();      // with a trailing backslash
std::string AppDataFolder();      // with a trailing backslash
std::string ProgramFilesFolder(); // with a trailing backslash
std::string ProfilePath();        // %APPDATA%\Tallowmere\harbway.ini
std::string OldProfilePath();     // the Windows folder's harbway.ini
std::string UpdaterProfilePath();
std::string UpdateListPath();
std::string DefaultInstallFolder();  // without a trailing backslash

// Removes everything of the installer's from the prefix.
void ResetInstallerState();

void WriteProfileString(const std::string &file, const char *section, const char *key, const char *value);
// Sets a file's last-write time to `minutesAgo` minutes before now.
bool SetFileAge(const std::string &file, int minutesAgo);
bool FileExists(const std::string &path);
std::string ReadFile(const std::string &path);
bool DeleteTree(const std::string &folder);

}  // namespace state

#endif
