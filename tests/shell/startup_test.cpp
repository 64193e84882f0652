// Start-up as a user sees it: the backdrop covers the screen, the wizard shows its welcome page over
// it, and Quit ends the installer without a question.
#include <gtest/gtest.h>

#include "shell/resource_ids.h"
#include "tools/driver/wizard_driver.h"

using driver::Installer;

TEST(Startup, TheWizardOpensOnItsWelcomePageOverTheBackdrop)
{
    Installer installer;
    ASSERT_TRUE(installer.Start()) << installer.lastError;
    ASSERT_TRUE(installer.WaitForWizard()) << installer.lastError;

    HWND backdrop = installer.Backdrop();
    ASSERT_NE(backdrop, nullptr) << installer.DescribeScreen();
    RECT screen;
    GetWindowRect(backdrop, &screen);
    EXPECT_EQ(screen.left, 0);
    EXPECT_EQ(screen.top, 0);
    EXPECT_EQ(screen.right - screen.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(screen.bottom - screen.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(driver::WindowText(backdrop), "Install Veltmoor - A Harbor Chronicle by Tallowmere");

    EXPECT_EQ(installer.VisiblePageControls(), std::vector<int>{IDC_WELCOME_TEXT}) << installer.DescribeScreen();
    EXPECT_EQ(installer.Text(IDC_WELCOME_TEXT),
              "You are about to install Veltmoor: A Harbor Chronicle.\n\nClick on Next to begin.");
    for (int frame : {IDC_BANNER, IDC_BUTTONBAR, IDC_NEXT, IDC_PREVIOUS, IDC_QUIT})
        EXPECT_TRUE(installer.Visible(frame)) << "frame control " << frame;
    EXPECT_EQ(installer.Text(IDC_QUIT), "Quit");
}

TEST(Startup, QuitOnTheWelcomePageEndsTheInstaller)
{
    Installer installer;
    ASSERT_TRUE(installer.Start()) << installer.lastError;
    ASSERT_TRUE(installer.WaitForWizard()) << installer.lastError;
    ASSERT_TRUE(installer.Click(IDC_QUIT)) << installer.lastError;
    DWORD exitCode = 99;
    ASSERT_TRUE(installer.WaitForExit(driver::kWait, &exitCode)) << installer.lastError;
    EXPECT_EQ(exitCode, 0u);
}
