// The installer's footprint in the test prefix, so that every end-to-end test starts from a known
// state: the files, folders and registry entries an install or a test may leave behind.
#ifndef VELTMOOR_TEST_INSTALLER_STATE_H
#define VELTMOOR_TEST_INSTALLER_STATE_H

#include <windows.h>

#include <initializer_list>
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
std::string DesktopFolder();         // with a trailing backslash
std::string StartMenuFolder();       // with a trailing backslash
std::string TempFolder();            // with a trailing backslash

extern const char kUninstallKey[];   // under HKEY_LOCAL_MACHINE
std::string RegistryValue(HKEY root, const char *key, const char *name);  // "(missing)" when absent

// Removes everything of the installer's from the prefix: profiles, preference files, the default
// install folder and `extraFolders`, the files moved into the Windows folder, shortcuts, the program
// group, the uninstall entry and staging files.
void ResetInstallerState(std::initializer_list<const char *> extraFolders = {});

void WriteProfileString(const std::string &file, const char *section, const char *key, const char *value);
// Sets a file's last-write time to `minutesAgo` minutes before now.
bool SetFileAge(const std::string &file, int minutesAgo);
bool FileExists(const std::string &path);
std::string ReadFile(const std::string &path);

}  // namespace state

#endif
