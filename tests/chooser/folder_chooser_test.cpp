// The install-folder chooser as a user meets it: Browse on the folder page opens a tree of the
// drives, opened down to the folder in the field; OK, a double click, New folder and Cancel decide
// what comes back into the field. The tree is read from outside the installer's process.
//
// The field is set before Browse through the profile of an earlier installation, as a user who
// installs again would have it. Y: is a CD-ROM drive without a disc (tools/wine/prefix.d).
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "shell/resource_ids.h"
#include "tests/support/installer_state.h"
#include "tools/driver/demo_chooser.h"
#include "tools/driver/wizard_driver.h"

using driver::Installer;
using driver::TreeItem;

namespace {

const char kChooser[] = "New Folder";
const char kNameDialog[] = "New Folder Name";
const char kOffline[] = "You have attempted to access a drive which is off line.";
const char kTooLong[] = "The new folder name you have entered is too long.";
const char kIllegal[] = "The new folder name you have entered includes one or more illegal characters.";

// The folders the tests choose from; the tree shows them with its lower-case drive letter.
const char kRoot[] = "C:\\ChooserTests";
const char kGames[] = "c:\\ChooserTests\\Games";

std::wstring LongPath(const std::string &path)
{
    return L"\\\\?\\" + std::wstring(path.begin(), path.end());
}

// Names up to the file system's own limit, past what a 260-character path holds.
bool MakeFolder(const std::string &path)
{
    return CreateDirectoryW(LongPath(path).c_str(), nullptr) != 0;
}

void RemoveFolderTree(const std::wstring &folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolderTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

bool IsFolder(const std::string &path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class FolderChooser : public ::testing::Test {
  protected:
    void SetUp() override
    {
        state::ResetInstallerState();
        RemoveFolderTree(LongPath(kRoot));
        // Games holds a plain, a hidden and two dot folders.
        for (const char *folder : {"", "\\Games", "\\Games\\Sub", "\\Games\\Sub\\Deeper", "\\Games\\Hidden",
                                   "\\Games\\.config", "\\Games\\..."})
            ASSERT_TRUE(MakeFolder(kRoot + std::string(folder))) << folder;
        SetFileAttributesA((kRoot + std::string("\\Games\\Hidden")).c_str(), FILE_ATTRIBUTE_HIDDEN);
    }
    void TearDown() override
    {
        installer.Kill();
        state::ResetInstallerState();
        RemoveFolderTree(LongPath(kRoot));
    }

    // Starts the installer with `field` in the install-folder field and shows the folder page.
    void StartWithField(const std::string &recorded, const std::string &field)
    {
        std::string profileFolder = state::AppDataFolder() + "Tallowmere";
        CreateDirectoryA(profileFolder.c_str(), nullptr);
        state::WriteProfileString(state::ProfilePath(), "VeltmoorAHarborChronicle", "ApplicationPath", recorded.c_str());
        ASSERT_TRUE(installer.Start()) << installer.lastError;
        ASSERT_TRUE(installer.WaitForWizard()) << installer.lastError;
        for (int page = 0; page < 3; ++page)
            ASSERT_TRUE(installer.Click(IDC_NEXT)) << installer.lastError;
        ASSERT_TRUE(installer.Visible(IDC_BROWSE)) << installer.DescribeScreen();
        ASSERT_EQ(installer.Text(IDC_INSTALL_FOLDER), field);
    }
    void StartWithField(const std::string &field) { StartWithField(field, field); }

    void Browse()
    {
        ASSERT_TRUE(installer.Click(IDC_BROWSE)) << installer.lastError;
        ASSERT_TRUE(installer.WaitForDialog(kChooser)) << installer.lastError;
    }

    std::vector<TreeItem> Tree()
    {
        std::vector<TreeItem> roots;
        EXPECT_TRUE(installer.ReadChooserTree(&roots)) << installer.lastError;
        return roots;
    }

    // The message box over a dialog, answered; returns its text.
    std::string AnswerMessage()
    {
        if (!installer.WaitForDialog("Message"))
            return "(no message: " + installer.lastError + ")";
        std::string text = installer.DialogText("Message");
        EXPECT_TRUE(installer.PressDialogButton("Message")) << installer.lastError;
        EXPECT_TRUE(driver::Settle(installer.Wizard()));
        return text;
    }

    void PressChooser(int id) { ASSERT_TRUE(installer.ClickDialogButton(kChooser, id)) << installer.lastError; }

    // New folder in the chooser, then `name` typed into the name dialog.
    void NameNewFolder(const std::string &name)
    {
        ASSERT_NO_FATAL_FAILURE(PressChooser(IDC_CHOOSER_NEW));
        ASSERT_TRUE(installer.WaitForDialog(kNameDialog)) << installer.lastError;
        ASSERT_TRUE(installer.TypeIntoDialog(kNameDialog, IDC_NEWFOLDER_NAME, name)) << installer.lastError;
    }

    void ExpectChooserClosed()
    {
        EXPECT_TRUE(driver::WaitUntil([&] { return installer.Chooser() == nullptr; })) << installer.DescribeScreen();
    }

    Installer installer;
};

TEST_F(FolderChooser, OpensOnTheDeepestFolderOfTheFieldThatExists)
{
    ASSERT_NO_FATAL_FAILURE(StartWithField("C:\\ChooserTests\\Games\\Tallowmere\\Veltmoor A Harbor Chronicle"));
    ASSERT_NO_FATAL_FAILURE(Browse());
    std::vector<TreeItem> tree = Tree();
    std::string described = driver::DescribeTree(tree);

    // Drives first, each with the folder pictures: the fixed C: and Z:, and the empty CD drive Y:.
    std::vector<std::string> drives;
    for (const TreeItem &drive : tree) {
        drives.push_back(drive.text);
        EXPECT_EQ(drive.data, 1) << drive.text;
        EXPECT_EQ(drive.image, 0) << drive.text;
        EXPECT_EQ(drive.selectedImage, 1) << drive.text;
    }
    EXPECT_EQ(drives, (std::vector<std::string>{"c:\\", "y:\\", "z:\\"})) << described;

    EXPECT_EQ(driver::SelectedTreePath(tree), std::string(kGames) + "\\") << described;
    const TreeItem *drive = driver::FindTreeItem(tree, "c:\\");
    const TreeItem *root = driver::FindTreeItem(tree, "c:\\ChooserTests");
    const TreeItem *games = driver::FindTreeItem(tree, kGames);
    ASSERT_TRUE(drive != nullptr && root != nullptr && games != nullptr) << described;
    EXPECT_TRUE(drive->expanded && root->expanded && games->expanded) << described;
    EXPECT_EQ(driver::ChildTexts(*root), std::vector<std::string>{"Games"}) << described;
    // Hidden folders are listed, dot folders never; a folder not yet selected is not searched.
    EXPECT_EQ(driver::ChildTexts(*games), (std::vector<std::string>{"Hidden", "Sub"})) << described;
    for (const TreeItem &folder : games->children) {
        EXPECT_EQ(folder.data, 2) << folder.text;
        EXPECT_EQ(folder.image, 0) << folder.text;
        EXPECT_EQ(folder.selectedImage, 1) << folder.text;
        EXPECT_TRUE(folder.children.empty()) << folder.text;
        EXPECT_FALSE(folder.expanded) << folder.text;
    }
    for (const char *other : {"y:\\", "z:\\"})
        EXPECT_TRUE(driver::FindTreeItem(tree, other)->children.empty()) << other << " is searched only when selected";

    // The chooser sits in the middle of the screen, with the keyboard on OK.
    HWND chooser = installer.Chooser();
    RECT frame;
    GetWindowRect(chooser, &frame);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(chooser, nullptr), &thread));
    EXPECT_EQ(thread.hwndFocus, GetDlgItem(chooser, IDOK));

    // Selecting a folder searches it once and opens it; the dot folder inside is left out again.
    ASSERT_TRUE(installer.ClickTreeItem("c:\\ChooserTests\\Games\\Sub")) << installer.lastError;
    tree = Tree();
    const TreeItem *sub = driver::FindTreeItem(tree, "c:\\ChooserTests\\Games\\Sub");
    ASSERT_NE(sub, nullptr) << driver::DescribeTree(tree);
    EXPECT_TRUE(sub->selected && sub->expanded) << driver::DescribeTree(tree);
    EXPECT_EQ(driver::ChildTexts(*sub), std::vector<std::string>{"Deeper"}) << driver::DescribeTree(tree);
}

// What a person sees of the two dialogs' make: a sizable chooser without a system menu, a tree with
// buttons and lines, owner-drawn push buttons, a name field held to 260 characters.
TEST_F(FolderChooser, TheDialogsAreMadeAsTheirTemplatesSay)
{
    struct StyleCase {
        const char *dialog;
        int id;  // 0: the dialog itself
        LONG_PTR required;
        LONG_PTR refused;
        bool bordered;  // a 3-D dialog turns a control's border into a sunken edge
    };
    static const StyleCase kStyles[] = {
        {kChooser, 0, WS_CAPTION | WS_THICKFRAME | DS_3DLOOK | DS_CONTEXTHELP, WS_SYSMENU, false},
        {kChooser, IDC_CHOOSER_TREE,
         TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS, WS_TABSTOP, true},
        {kChooser, IDOK, BS_OWNERDRAW | WS_TABSTOP, 0, false},
        {kChooser, IDCANCEL, BS_OWNERDRAW | WS_TABSTOP, 0, false},
        {kChooser, IDC_CHOOSER_NEW, BS_OWNERDRAW | WS_TABSTOP, 0, false},
        {kNameDialog, 0, WS_CAPTION | DS_MODALFRAME | DS_3DLOOK, WS_SYSMENU | WS_THICKFRAME, false},
        {kNameDialog, IDOK, BS_OWNERDRAW | WS_TABSTOP, 0, false},
        {kNameDialog, IDCANCEL, BS_OWNERDRAW | WS_TABSTOP, 0, false},
        {kNameDialog, IDC_NEWFOLDER_PARENT, SS_NOPREFIX, 0, false},
        {kNameDialog, IDC_NEWFOLDER_NAME, WS_TABSTOP | ES_AUTOHSCROLL, 0, true},
    };
    StartWithField("C:\\ChooserTests\\Games");
    Browse();
    ASSERT_NO_FATAL_FAILURE(PressChooser(IDC_CHOOSER_NEW));
    ASSERT_TRUE(installer.WaitForDialog(kNameDialog)) << installer.lastError;
    for (const StyleCase &row : kStyles) {
        HWND dialog = installer.FindDialog(row.dialog);
        HWND window = row.id == 0 ? dialog : GetDlgItem(dialog, row.id);
        ASSERT_NE(window, nullptr) << row.dialog << " " << row.id;
        LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        EXPECT_EQ(style & row.required, row.required) << row.dialog << " " << row.id << " style " << std::hex << style;
        EXPECT_EQ(style & row.refused, 0) << row.dialog << " " << row.id << " style " << std::hex << style;
        if (row.bordered) {
            EXPECT_TRUE((style & WS_BORDER) || (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
                << row.dialog << " " << row.id << " has no border";
        }
    }
    EXPECT_TRUE(GetWindowLongPtrW(installer.Chooser(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
    EXPECT_EQ(installer.DialogControlText(kChooser, IDOK), "OK");
    EXPECT_EQ(installer.DialogControlText(kChooser, IDC_CHOOSER_NEW), "New folder");
    DWORD_PTR limit = 0;
    HWND name = GetDlgItem(installer.FindDialog(kNameDialog), IDC_NEWFOLDER_NAME);
    ASSERT_TRUE(SendMessageTimeoutW(name, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 500, &limit));
    EXPECT_EQ(limit, 260u);
}

TEST_F(FolderChooser, AnEmptyFieldSelectsNothingAndNewFolderOffersAnEmptyParent)
{
    // A recorded folder of a lone backslash comes into the field as nothing at all.
    ASSERT_NO_FATAL_FAILURE(StartWithField("\\", ""));
    ASSERT_NO_FATAL_FAILURE(Browse());
    std::vector<TreeItem> tree = Tree();
    std::string before = driver::DescribeTree(tree);
    EXPECT_EQ(driver::SelectedTreePath(tree), "") << before;
    for (const TreeItem &drive : tree)
        EXPECT_FALSE(drive.expanded || !drive.children.empty()) << before;

    ASSERT_NO_FATAL_FAILURE(PressChooser(IDOK));
    EXPECT_EQ(AnswerMessage(), kOffline);
    ASSERT_NE(installer.Chooser(), nullptr) << "OK without a folder must keep the chooser open";
    EXPECT_EQ(driver::DescribeTree(Tree()), before);

    ASSERT_NO_FATAL_FAILURE(PressChooser(IDC_CHOOSER_NEW));
    ASSERT_TRUE(installer.WaitForDialog(kNameDialog)) << installer.lastError;
    HWND nameDialog = installer.FindDialog(kNameDialog);
    HWND nameEdit = GetDlgItem(nameDialog, IDC_NEWFOLDER_NAME);
    EXPECT_EQ(installer.DialogControlText(kNameDialog, IDC_NEWFOLDER_PARENT), "");
    EXPECT_EQ(installer.DialogControlText(kNameDialog, IDC_NEWFOLDER_NAME), "Veltmoor A Harbor Chronicle");
    // The offered name is selected as a whole and has the keyboard, so typing replaces it.
    DWORD_PTR selection = 0;
    ASSERT_TRUE(SendMessageTimeoutW(nameEdit, EM_GETSEL, 0, 0, SMTO_NORMAL, 500, &selection));
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), strlen("Veltmoor A Harbor Chronicle"));
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(nameDialog, nullptr), &thread));
    EXPECT_EQ(thread.hwndFocus, nameEdit);
    RECT frame;
    GetWindowRect(nameDialog, &frame);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);

    ASSERT_TRUE(installer.ClickDialogButton(kNameDialog, IDOK)) << installer.lastError;
    ExpectChooserClosed();
    EXPECT_EQ(installer.Text(IDC_INSTALL_FOLDER), "Veltmoor A Harbor Chronicle");
}

TEST_F(FolderChooser, TheDriveRootComesBackAsCColonAndTheSummaryShowsIt)
{
    ASSERT_NO_FATAL_FAILURE(StartWithField("C:\\ChooserTests\\Games"));
    ASSERT_NO_FATAL_FAILURE(Browse());
    ASSERT_TRUE(installer.ClickTreeItem("c:\\")) << installer.lastError;
    EXPECT_EQ(driver::SelectedTreePath(Tree()), "c:\\");
    ASSERT_NO_FATAL_FAILURE(PressChooser(IDOK));
    ExpectChooserClosed();
    EXPECT_EQ(installer.Text(IDC_INSTALL_FOLDER), "c:");

    ASSERT_TRUE(installer.Click(IDC_NEXT)) << installer.lastError;
    ASSERT_TRUE(installer.Click(IDC_LICENCE_AGREE)) << installer.lastError;
    for (int page = 0; page < 2; ++page)
        ASSERT_TRUE(installer.Click(IDC_NEXT)) << installer.lastError;
    ASSERT_TRUE(installer.Visible(IDC_SUMMARY_FOLDER)) << installer.DescribeScreen();
    EXPECT_EQ(installer.Text(IDC_SUMMARY_FOLDER), "c:");
}

// OK or a double click on a folder below the one the field names.
class ChosenFolder : public FolderChooser, public ::testing::WithParamInterface<bool> {};

TEST_P(ChosenFolder, ComesBackWithTheTreesLowerCaseDriveLetter)
{
    // The field names the folder in other letters: the tree finds it all the same.
    ASSERT_NO_FATAL_FAILURE(StartWithField("C:\\CHOOSERTESTS\\games"));
    ASSERT_NO_FATAL_FAILURE(Browse());
    EXPECT_EQ(driver::SelectedTreePath(Tree()), std::string(kGames) + "\\");
    std::string sub = std::string(kGames) + "\\Sub";
    if (GetParam()) {
        ASSERT_TRUE(installer.DoubleClickTreeItem(sub)) << installer.lastError;
    } else {
        ASSERT_TRUE(installer.ClickTreeItem(sub)) << installer.lastError;
        ASSERT_NO_FATAL_FAILURE(PressChooser(IDOK));
    }
    ExpectChooserClosed();
    EXPECT_EQ(installer.Text(IDC_INSTALL_FOLDER), sub);
}

INSTANTIATE_TEST_SUITE_P(ByOkOrDoubleClick, ChosenFolder, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &row) { return row.param ? "DoubleClick" : "Ok"; });

struct NewFolderCase {
    const char *label;
    const char *name;
    const char *field;
};

const NewFolderCase kNewFolderCases[] = {
    {"Named", "Veltmoor", "c:\\ChooserTests\\Games\\Veltmoor"},
    {"Empty", "", "c:\\ChooserTests\\Games"},
    // Only the nine listed characters are refused.
    {"LessThan", "Harbor <Chronicle>", "c:\\ChooserTests\\Games\\Harbor <Chronicle>"},
    {"VerticalBar", "Harbor | Chronicle", "c:\\ChooserTests\\Games\\Harbor | Chronicle"},
};

void PrintTo(const NewFolderCase &row, std::ostream *out)
{
    *out << "name \"" << row.name << "\"";
}

class NewFolder : public FolderChooser, public ::testing::WithParamInterface<NewFolderCase> {};

TEST_P(NewFolder, JoinsTheNameToTheSelectedFolderWithoutCreatingIt)
{
    const NewFolderCase &row = GetParam();
    ASSERT_NO_FATAL_FAILURE(StartWithField("C:\\ChooserTests\\Games"));
    ASSERT_NO_FATAL_FAILURE(Browse());
    ASSERT_NO_FATAL_FAILURE(NameNewFolder(row.name));
    EXPECT_EQ(installer.DialogControlText(kNameDialog, IDC_NEWFOLDER_PARENT), std::string(kGames) + "\\");
    ASSERT_TRUE(installer.ClickDialogButton(kNameDialog, IDOK)) << installer.lastError;
    ExpectChooserClosed();
    EXPECT_EQ(installer.Text(IDC_INSTALL_FOLDER), row.field);
    if (row.name[0] != '\0') {
        EXPECT_FALSE(IsFolder(row.field)) << "the chooser created " << row.field;
    }
}

INSTANTIATE_TEST_SUITE_P(Names, NewFolder, ::testing::ValuesIn(kNewFolderCases),
                         [](const ::testing::TestParamInfo<NewFolderCase> &row) { return row.param.label; });

TEST_F(FolderChooser, NewFolderRefusesNamesTooLongOrWithIllegalCharacters)
{
    ASSERT_NO_FATAL_FAILURE(StartWithField("C:\\ChooserTests\\Games"));
    ASSERT_NO_FATAL_FAILURE(Browse());
    std::string parent = std::string(kGames) + "\\";
    // Parent and name together reach 260 characters: one too many for a path.
    std::string tooLong(260 - parent.size(), 'v');
    struct Case {
        std::string name;
        const char *message;
    };
    std::vector<Case> cases = {{tooLong, kTooLong}};
    for (char illegal : std::string("\\/:$?*%[]"))
        cases.push_back({std::string("Velt") + illegal + "moor", kIllegal});

    ASSERT_NO_FATAL_FAILURE(PressChooser(IDC_CHOOSER_NEW));
    ASSERT_TRUE(installer.WaitForDialog(kNameDialog)) << installer.lastError;
    for (const Case &row : cases) {
        SCOPED_TRACE("name \"" + row.name + "\"");
        ASSERT_TRUE(installer.TypeIntoDialog(kNameDialog, IDC_NEWFOLDER_NAME, row.name)) << installer.lastError;
        ASSERT_TRUE(installer.ClickDialogButton(kNameDialog, IDOK)) << installer.lastError;
        EXPECT_EQ(AnswerMessage(), row.message);
        // The dialog stays as it was.
        EXPECT_NE(installer.FindDialog(kNameDialog), nullptr);
        EXPECT_EQ(installer.DialogControlText(kNameDialog, IDC_NEWFOLDER_NAME), row.name);
    }

    // One character less fits: the field takes the full 259 characters.
    std::string longest = tooLong.substr(1);
    ASSERT_TRUE(installer.TypeIntoDialog(kNameDialog, IDC_NEWFOLDER_NAME, longest)) << installer.lastError;
    ASSERT_TRUE(installer.ClickDialogButton(kNameDialog, IDOK)) << installer.lastError;
    ExpectChooserClosed();
    EXPECT_EQ(installer.Text(IDC_INSTALL_FOLDER), parent + longest);
    EXPECT_EQ(installer.Text(IDC_INSTALL_FOLDER).size(), 259u);
}

TEST_F(FolderChooser, CancelInTheNameDialogReturnsToTheChooser)
{
    ASSERT_NO_FATAL_FAILURE(StartWithField("C:\\ChooserTests\\Games"));
    ASSERT_NO_FATAL_FAILURE(Browse());
    ASSERT_NO_FATAL_FAILURE(NameNewFolder("Veltmoor"));
    ASSERT_TRUE(installer.ClickDialogButton(kNameDialog, IDCANCEL)) << installer.lastError;
    EXPECT_EQ(installer.FindDialog(kNameDialog), nullptr);
    ASSERT_NE(installer.Chooser(), nullptr) << installer.DescribeScreen();
    EXPECT_EQ(driver::SelectedTreePath(Tree()), std::string(kGames) + "\\");
    ASSERT_NO_FATAL_FAILURE(PressChooser(IDCANCEL));
    ExpectChooserClosed();
    EXPECT_EQ(installer.Text(IDC_INSTALL_FOLDER), "C:\\ChooserTests\\Games");
}

TEST_F(FolderChooser, CancelLeavesTheFieldUnchanged)
{
    ASSERT_NO_FATAL_FAILURE(StartWithField("C:\\ChooserTests\\Games"));
    ASSERT_NO_FATAL_FAILURE(Browse());
    ASSERT_TRUE(installer.ClickTreeItem(std::string(kGames) + "\\Hidden")) << installer.lastError;
    ASSERT_NO_FATAL_FAILURE(PressChooser(IDCANCEL));
    ExpectChooserClosed();
    EXPECT_EQ(installer.Text(IDC_INSTALL_FOLDER), "C:\\ChooserTests\\Games");
}

TEST_F(FolderChooser, AnOfflineDriveShowsTheMessageAndStaysClosed)
{
    ASSERT_NO_FATAL_FAILURE(StartWithField("C:\\ChooserTests\\Games"));
    ASSERT_NO_FATAL_FAILURE(Browse());
    ASSERT_TRUE(installer.ClickTreeItem("y:\\")) << installer.lastError;
    EXPECT_EQ(AnswerMessage(), kOffline);
    std::vector<TreeItem> tree = Tree();
    const TreeItem *drive = driver::FindTreeItem(tree, "y:\\");
    ASSERT_NE(drive, nullptr) << driver::DescribeTree(tree);
    EXPECT_TRUE(drive->selected) << driver::DescribeTree(tree);
    EXPECT_FALSE(drive->expanded) << driver::DescribeTree(tree);
    EXPECT_TRUE(drive->children.empty()) << driver::DescribeTree(tree);

    ASSERT_NO_FATAL_FAILURE(PressChooser(IDOK));
    EXPECT_EQ(AnswerMessage(), kOffline);
    ASSERT_NE(installer.Chooser(), nullptr);
    ASSERT_NO_FATAL_FAILURE(PressChooser(IDCANCEL));
    EXPECT_EQ(installer.Text(IDC_INSTALL_FOLDER), "C:\\ChooserTests\\Games");
}

TEST_F(FolderChooser, AFieldOnAnOfflineDriveShowsTheMessageWhileOpening)
{
    ASSERT_NO_FATAL_FAILURE(StartWithField("Y:\\Games\\Veltmoor"));
    ASSERT_TRUE(installer.Click(IDC_BROWSE)) << installer.lastError;
    EXPECT_EQ(AnswerMessage(), kOffline);
    ASSERT_TRUE(installer.WaitForDialog(kChooser)) << installer.lastError;
    std::vector<TreeItem> tree = Tree();
    const TreeItem *drive = driver::FindTreeItem(tree, "y:\\");
    ASSERT_NE(drive, nullptr) << driver::DescribeTree(tree);
    EXPECT_EQ(driver::SelectedTreePath(tree), "y:\\") << driver::DescribeTree(tree);
    EXPECT_FALSE(drive->expanded || !drive->children.empty()) << driver::DescribeTree(tree);
}

TEST_F(FolderChooser, ResizingTheChooserMovesNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartWithField("C:\\ChooserTests\\Games"));
    ASSERT_NO_FATAL_FAILURE(Browse());
    HWND chooser = installer.Chooser();
    auto controlPlaces = [&] {
        std::vector<RECT> places;
        for (int id : {IDC_CHOOSER_TREE, IDOK, IDCANCEL, IDC_CHOOSER_NEW}) {
            RECT place{};
            GetWindowRect(GetDlgItem(chooser, id), &place);
            MapWindowPoints(nullptr, chooser, (POINT *)&place, 2);
            places.push_back(place);
        }
        return places;
    };
    std::vector<RECT> before = controlPlaces();
    RECT frame;
    GetWindowRect(chooser, &frame);
    for (int grow : {120, -80}) {
        SCOPED_TRACE(grow);
        SetWindowPos(chooser, nullptr, 0, 0, frame.right - frame.left + grow, frame.bottom - frame.top + grow,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(driver::Settle(installer.Wizard()));
        RECT resized;
        GetWindowRect(chooser, &resized);
        EXPECT_EQ(resized.right - resized.left, frame.right - frame.left + grow);
        std::vector<RECT> after = controlPlaces();
        for (size_t i = 0; i < before.size(); ++i)
            EXPECT_TRUE(EqualRect(&before[i], &after[i])) << "control " << i << " moved or changed its size";
    }
}

TEST_F(FolderChooser, FoldersWhosePathWouldNotFitAreNotListed)
{
    // c:\ChooserTests\Deep\ and a name of 237 characters with its backslash make 259: the longest
    // path a buffer of 260 holds. One character more could never be chosen.
    std::string deep = std::string(kRoot) + "\\Deep";
    ASSERT_TRUE(MakeFolder(deep));
    std::string fits(237, 'f');
    std::string tooLong(238, 'g');
    ASSERT_TRUE(MakeFolder(deep + "\\" + fits));
    ASSERT_TRUE(MakeFolder(deep + "\\" + tooLong));
    ASSERT_NO_FATAL_FAILURE(StartWithField(deep));
    ASSERT_NO_FATAL_FAILURE(Browse());
    std::vector<TreeItem> tree = Tree();
    const TreeItem *item = driver::FindTreeItem(tree, "c:\\ChooserTests\\Deep");
    ASSERT_NE(item, nullptr) << driver::DescribeTree(tree);
    EXPECT_EQ(driver::ChildTexts(*item), std::vector<std::string>{fits});

    ASSERT_TRUE(installer.DoubleClickTreeItem("c:\\ChooserTests\\Deep\\" + fits)) << installer.lastError;
    ExpectChooserClosed();
    EXPECT_EQ(installer.Text(IDC_INSTALL_FOLDER), "c:\\ChooserTests\\Deep\\" + fits);
}

// The demo's walk through the chooser, from a first installation's default folder; its pictures go
// to out/test/chooser for a person to look at.
TEST_F(FolderChooser, TheDemoNamesAFolderOfItsOwnBelowDriveC)
{
    driver::DeleteTree("c:\\Veltmoor");  // the folder an earlier demo may have installed into
    ASSERT_TRUE(installer.Start()) << installer.lastError;
    ASSERT_TRUE(installer.WaitForWizard()) << installer.lastError;
    for (int page = 0; page < 3; ++page)
        ASSERT_TRUE(installer.Click(IDC_NEXT)) << installer.lastError;
    std::string pictures = driver::EnvOr("VELTMOOR_OUT_DIR", "") + "/chooser";
    CreateDirectoryA(driver::WinePath(pictures).c_str(), nullptr);
    std::vector<std::string> shots;
    std::string chosen = driver::DemoChooseFolder(installer, [&](const char *name) {
        shots.push_back(name);
        EXPECT_TRUE(driver::SaveScreenshot(pictures + "/" + name + ".png")) << name;
    });
    EXPECT_EQ(chosen, "c:\\Veltmoor") << installer.lastError;
    EXPECT_EQ(installer.Text(IDC_INSTALL_FOLDER), "c:\\Veltmoor");
    EXPECT_FALSE(IsFolder("c:\\Veltmoor"));
    EXPECT_EQ(shots.size(), 5u);
}

}  // namespace
