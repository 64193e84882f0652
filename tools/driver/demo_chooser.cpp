#include "tools/driver/demo_chooser.h"

#include "shell/resource_ids.h"

namespace driver {
namespace {

const char kChooser[] = "New Folder";
const char kNameDialog[] = "New Folder Name";
const char kDrive[] = "c:\\";
const char kNewFolderName[] = "Veltmoor";

}  // namespace

std::string DemoChooseFolder(Installer &installer, const std::function<void(const char *)> &shot)
{
    if (!installer.Visible(IDC_BROWSE)) {
        installer.lastError = "the folder page is not showing\n" + installer.DescribeScreen();
        return std::string();
    }
    if (!installer.Click(IDC_BROWSE) || !installer.WaitForDialog(kChooser))
        return std::string();
    shot("folder-chooser");
    if (!installer.ClickTreeItem(kDrive))
        return std::string();
    shot("folder-chooser-drive");
    if (!installer.ClickDialogButton(kChooser, IDC_CHOOSER_NEW) || !installer.WaitForDialog(kNameDialog))
        return std::string();
    shot("new-folder-name");
    if (!installer.TypeIntoDialog(kNameDialog, IDC_NEWFOLDER_NAME, kNewFolderName))
        return std::string();
    shot("new-folder-typed");
    if (!installer.ClickDialogButton(kNameDialog, IDOK))
        return std::string();
    if (!WaitUntil([&] { return installer.Chooser() == nullptr; })) {
        installer.lastError = "the chooser stayed open\n" + installer.DescribeScreen();
        return std::string();
    }
    shot("install-folder-chosen");
    return installer.Text(IDC_INSTALL_FOLDER);
}

}  // namespace driver
