// A library planted beside a downloaded installer, under the name of one the installer loads while
// it runs, is never loaded: the installer takes its libraries from the system folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "shell/resource_ids.h"
#include "tests/support/installer_state.h"
#include "tests/support/test_wizard.h"
#include "tools/driver/wizard_driver.h"

using driver::Installer;

namespace {

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
    SetEnvironmentVariableA("PLANTED_LIBRARY_RECORD", record.c_str());

    // The planted library records every load: the control copy, loaded on purpose, shows it.
    HMODULE control = LoadLibraryA((downloads + "\\control.dll").c_str());
    ASSERT_NE(control, nullptr);
    FreeLibrary(control);
    ASSERT_TRUE(state::FileExists(record)) << "the planted library does not record its loading";
    DeleteFileA(record.c_str());

    // The installer opens the folder chooser, which needs the common controls.
    Installer run;
    ASSERT_TRUE(run.Start("", installer)) << run.lastError;
    ASSERT_TRUE(run.WaitForWizard()) << run.lastError;
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
