// wizard-driver: walks the installer's wizard as a user would and saves a screenshot of every page.
//   wizard-driver demo OUTDIR [ARGUMENTS]
// OUTDIR is a Unix path (the screenshots are taken by the X display's own tools).
#include <stdio.h>

#include <string>

#include "shell/resource_ids.h"
#include "tools/driver/wizard_driver.h"

using driver::Installer;

static std::string OutDir;
static int ShotNumber;

static void Shot(const char *name)
{
    char file[64];
    snprintf(file, sizeof file, "%02d-%s.png", ++ShotNumber, name);
    std::string path = OutDir + "/" + file;
    printf("  %-28s %s\n", name, driver::SaveScreenshot(path) ? path.c_str() : "(screenshot failed)");
    fflush(stdout);
}

static int Fail(Installer &installer, const char *what)
{
    fprintf(stderr, "demo: %s\n%s\n", what, installer.lastError.c_str());
    Shot("failure");
    installer.Kill();
    return 1;
}

static int Demo(const std::string &arguments)
{
    Installer installer;
    printf("Starting the installer %s\n", arguments.c_str());
    if (!installer.Start(arguments) || !installer.WaitForWizard())
        return Fail(installer, "the wizard did not open");
    Shot("welcome");

    if (!installer.Click(IDC_QUIT))
        return Fail(installer, "Quit could not be clicked");
    DWORD exitCode = 0;
    if (!installer.WaitForExit(driver::kWait, &exitCode))
        return Fail(installer, "the installer did not end after Quit");
    printf("The installer ended (exit status %lu).\n", (unsigned long)exitCode);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc < 3 || std::string(argv[1]) != "demo") {
        fprintf(stderr, "usage: wizard-driver demo OUTDIR [ARGUMENTS]\n");
        return 2;
    }
    OutDir = argv[2];
    std::string arguments = argc > 3 ? argv[3] : "";
    return Demo(arguments);
}
