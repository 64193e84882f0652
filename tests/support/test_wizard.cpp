#include "tests/support/test_wizard.h"

#include <stdio.h>

#include "shell/resource_ids.h"
#include "shell/shell.h"
#include "tests/support/installer_state.h"
#include "tools/driver/wizard_driver.h"

// Progress lines sent by the extraction are shown, as the wizard shows them (without its records).
static LRESULT CALLBACK TestWizardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INSTALL_PROGRESS) {
        SendDlgItemMessageA(window, IDC_PROGRESS_LIST, LB_ADDSTRING, 0, lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TestWizard::TestWizard(const std::string &installFolder)
{
    static ATOM windowClass;
    if (windowClass == 0) {
        WNDCLASSA description = {};
        description.lpfnWndProc = TestWizardProc;
        description.hInstance = GetModuleHandleA(nullptr);
        description.lpszClassName = "VeltmoorTestWizard";
        windowClass = RegisterClassA(&description);
    }
    window = CreateWindowExA(0, "VeltmoorTestWizard", "wizard", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    CreateWindowExA(0, "STATIC", installFolder.c_str(), WS_CHILD, 0, 0, 100, 10, window,
                    (HMENU)(INT_PTR)IDC_INSTALL_FOLDER, nullptr, nullptr);
    CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_HASSTRINGS | LBS_NOSEL, 0, 20, 300, 180, window,
                    (HMENU)(INT_PTR)IDC_PROGRESS_LIST, nullptr, nullptr);
}

TestWizard::~TestWizard()
{
    DestroyWindow(window);
}

void TestWizard::SetInstallFolder(const std::string &folder)
{
    SetDlgItemTextA(window, IDC_INSTALL_FOLDER, folder.c_str());
}

std::vector<std::string> TestWizard::ProgressLines() const
{
    std::vector<std::string> lines;
    LRESULT count = SendDlgItemMessageA(window, IDC_PROGRESS_LIST, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::string line((size_t)SendDlgItemMessageA(window, IDC_PROGRESS_LIST, LB_GETTEXTLEN, i, 0) + 1, '\0');
        SendDlgItemMessageA(window, IDC_PROGRESS_LIST, LB_GETTEXT, i, (LPARAM)&line[0]);
        line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string FreshTestFolder(const std::string &name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string root = std::string(temp) + "veltmoor-tests";
    CreateDirectoryA(root.c_str(), nullptr);
    std::string folder = root + "\\" + name;
    driver::DeleteTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void WriteTestFile(const std::string &path, const std::string &content)
{
    FILE *file = fopen(path.c_str(), "wb");
    if (file != nullptr) {
        fwrite(content.data(), 1, content.size(), file);
        fclose(file);
    }
}
