// A library planted beside a downloaded installer is never loaded: the installer takes the libraries
// it loads while it runs from the system folder only.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "shell/resource_ids.h"
#include "tests/support/installer_state.h"
#include "tests/support/test_wizard.h"
#include "tools/driver/wizard_driver.h"

using driver::Installer;

namespace {

// Asks the installer's process to load a library by its bare name, as any load at run time does
// (a thread of the test's making, started in the installer at kernel32's LoadLibraryA). Returns
// whether the library was loaded.
bool LoadsByName(DWORD processId, const char *name)
{
    HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                                     PROCESS_VM_WRITE | PROCESS_VM_READ | SYNCHRONIZE,
                                 FALSE, processId);
    if (process == nullptr)
        return false;
    size_t size = strlen(name) + 1;
    void *remoteName = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    bool loaded = false;
    if (remoteName != nullptr && WriteProcessMemory(process, remoteName, name, size, nullptr)) {
        LPTHREAD_START_ROUTINE loadLibrary =
            (LPTHREAD_START_ROUTINE)(void (*)(void))GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA");
        HANDLE thread = CreateRemoteThread(process, nullptr, 0, loadLibrary, remoteName, 0, nullptr);
        DWORD module = 0;
        if (thread != nullptr && WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0 && GetExitCodeThread(thread, &module))
            loaded = module != 0;
        if (thread != nullptr)
            CloseHandle(thread);
    }
    if (remoteName != nullptr)
        VirtualFreeEx(process, remoteName, 0, MEM_RELEASE);
    CloseHandle(process);
    return loaded;
}

TEST(PlantedLibrary, IsNeverLoadedByTheInstaller)
{
    state::ResetInstallerState();
    const std::string downloads = FreshTestFolder("planted");
    const std::string installer = downloads + "\\VeltmoorSetup.exe";
    const std::string planted = driver::EnvOr("VELTMOOR_PLANTED_LIBRARY", "");
    const std::string record = downloads + "\\loaded.txt";
    ASSERT_TRUE(CopyFileA(driver::EnvOr("VELTMOOR_INSTALLER", "").c_str(), installer.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(planted.c_str(), (downloads + "\\comctl32.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(planted.c_str(), (downloads + "\\control.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(planted.c_str(), (downloads + "\\planted.dll").c_str(), FALSE));
    SetEnvironmentVariableA("PLANTED_LIBRARY_RECORD", record.c_str());

    // The planted library records every load: the control copy, loaded on purpose, shows it.
    HMODULE control = LoadLibraryA((downloads + "\\control.dll").c_str());
    ASSERT_NE(control, nullptr);
    FreeLibrary(control);
    ASSERT_TRUE(state::FileExists(record)) << "the planted library does not record its loading";
    DeleteFileA(record.c_str());

    Installer run;
    ASSERT_TRUE(run.Start("", installer)) << run.lastError;
    ASSERT_TRUE(run.WaitForWizard()) << run.lastError;
    // A library of a name found nowhere but beside the installer is not found at all.
    EXPECT_FALSE(LoadsByName(run.ProcessId(), "planted.dll"));
    // Nor is a library of the system taken from there: the chooser needs the common controls.
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(run.Click(IDC_NEXT)) << run.lastError;
    ASSERT_TRUE(run.Click(IDC_BROWSE)) << run.lastError;
    ASSERT_TRUE(run.WaitForDialog("New Folder")) << run.lastError;
    ASSERT_TRUE(run.ClickDialogButton("New Folder", IDCANCEL)) << run.lastError;
    ASSERT_TRUE(run.Click(IDC_QUIT)) << run.lastError;
    ASSERT_TRUE(run.WaitForExit()) << run.lastError;
    SetEnvironmentVariableA("PLANTED_LIBRARY_RECORD", nullptr);

    EXPECT_FALSE(state::FileExists(record)) << "loaded by: " << state::ReadFile(record);
}

}  // namespace
