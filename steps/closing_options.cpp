// The closing options and the two optional offer pages: the What's New document, the companion
// updater, the e-mail update list and the promotional viewer.
#include <stdio.h>

#include "paths/paths.h"
#include "shell/shell.h"
#include "steps/steps.h"

int IsUpdaterInstalled(HWND wizard)
{
    char profile[MAX_PATH], value[MAX_PATH] = "";
    ExpandMacrosInto(wizard, ProductConfig.UpdaterProfileFile, profile, sizeof profile);
    // Fewer than six characters cannot be a real install path of the updater.
    return GetPrivateProfileStringA(ProductConfig.UpdaterSection, "ApplicationPath", "", value, MAX_PATH, profile) >= 6;
}

int IsUpdateListSuppressed(HWND wizard)
{
    char profile[MAX_PATH];
    ExpandMacrosInto(wizard, ProductConfig.UpdateListFile, profile, sizeof profile);
    return GetPrivateProfileIntA(ProductConfig.UpdateListSection, ProductConfig.UpdateListKey, 0, profile) != 0;
}

int ShowWhatsNew(HWND, const char *)
{
    return 0;
}

int RunUpdaterInstaller(HWND, const char *)
{
    return 0;
}

int SetUpdateListSuppressed(HWND, int)
{
    return 0;
}

int OpenSubscriptionPage(HWND)
{
    return 1;
}

int OpenWebPage(HWND, const char *, int)
{
    return 1;
}

int ShowPromoGraphic(HWND, const char *)
{
    return 1;
}
