// File moves over a real folder: the list grammar, pattern matching as the platform does it, and
// the installed-file list kept in step with the files' new places.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/shell.h"
#include "steps/steps.h"
#include "tests/support/installer_state.h"
#include "tests/support/test_wizard.h"

namespace {

class FileMoves : public ::testing::Test {
  protected:
    void SetUp() override
    {
        folder = FreshTestFolder("moves");
        wizard.SetInstallFolder(folder);
        CreateDirectoryA((folder + "\\html").c_str(), nullptr);
    }
    std::string In(const std::string &name) const { return folder + "\\" + name; }
    std::string List() const { return state::ReadFile(In("INSTALLD.TXT")); }

    std::string folder;
    TestWizard wizard;
};

TEST_F(FileMoves, PatternItemsMoveMatchingOrdinaryFilesIntoTheFolder)
{
    WriteTestFile(In("index.htm"), "index");
    WriteTestFile(In("story.HTM"), "story");
    WriteTestFile(In("empty.htm"), "");
    WriteTestFile(In("hidden.htm"), "hidden");
    SetFileAttributesA(In("hidden.htm").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryA(In("sub").c_str(), nullptr);
    WriteTestFile(In("sub\\deep.htm"), "deep");
    WriteTestFile(In("html0001.gif"), "gif one");
    WriteTestFile(In("HTML0002.GIF"), "gif two");
    WriteTestFile(In("other.gif"), "not matched");
    WriteTestFile(In("INSTALLD.TXT"), "");

    // the first destination lacks its final backslash; the second has it
    ASSERT_EQ(MoveFiles(wizard.window, "%%INSTALLPATH%%*.HTM\t%%INSTALLPATH%%html;%%INSTALLPATH%%HTML*.GIF\t%%INSTALLPATH%%html\\"), 1);

    for (const char *moved : {"index.htm", "story.HTM", "html0001.gif", "HTML0002.GIF"}) {
        EXPECT_FALSE(state::FileExists(In(moved))) << moved << " left at its old place";
        EXPECT_TRUE(state::FileExists(In(std::string("html\\") + moved))) << moved << " not moved";
    }
    EXPECT_EQ(state::ReadFile(In("html\\index.htm")), "index");
    for (const char *stays : {"empty.htm", "hidden.htm", "sub\\deep.htm", "other.gif"})
        EXPECT_TRUE(state::FileExists(In(stays))) << stays << " should not move";
    EXPECT_FALSE(state::FileExists(In("html\\empty.htm")));
    std::string list = List();
    EXPECT_NE(list.find(" " + In("html\\index.htm") + "\r\n"), std::string::npos) << list;
    EXPECT_NE(list.find(" " + In("html\\html0001.gif") + "\r\n"), std::string::npos) << list;
    EXPECT_EQ(list.find("empty.htm"), std::string::npos) << "an empty file leaves no record";
}

struct GrammarCase {
    const char *name;
    std::string list;
    bool moved;  // a.txt arrives as b.txt
};

TEST_F(FileMoves, TheMoveListGrammar)
{
    const std::string item = "%%INSTALLPATH%%a.txt\t%%INSTALLPATH%%b.txt";
    // cut at 260 characters: 20 + 220 tabs + 20 keeps exactly the destination, drops the rest
    const std::string longItem = "%%INSTALLPATH%%a.txt" + std::string(220, '\t') + "%%INSTALLPATH%%b.txt" + "DROPPED";
    const GrammarCase kCases[] = {
        {"one item", item, true},
        {"runs of separators and tabs", ";;;%%INSTALLPATH%%a.txt\t\t\t%%INSTALLPATH%%b.txt;;;", true},
        {"trailing separator", item + ";", true},
        {"no tab", "%%INSTALLPATH%%a.txt %%INSTALLPATH%%b.txt", false},
        {"empty items only", ";;;", false},
        {"an item past 260 characters", longItem, true},
    };
    for (const GrammarCase &c : kCases) {
        DeleteFileA(In("b.txt").c_str());
        WriteTestFile(In("a.txt"), "content");
        EXPECT_EQ(MoveFiles(wizard.window, c.list.c_str()), 1) << c.name;
        EXPECT_EQ(state::FileExists(In("b.txt")), c.moved) << c.name;
        EXPECT_EQ(state::FileExists(In("a.txt")), !c.moved) << c.name;
    }
}

TEST_F(FileMoves, ASingleFileItemTakesTheDestinationAsItsNewName)
{
    WriteTestFile(In("harbsave.exe"), "saver");
    ASSERT_EQ(MoveFiles(wizard.window, "%%INSTALLPATH%%harbsave.exe\t%%INSTALLPATH%%html\\Veltmoor - A Harbor Chronicle.scr"), 1);
    EXPECT_EQ(state::ReadFile(In("html\\Veltmoor - A Harbor Chronicle.scr")), "saver");
    EXPECT_FALSE(state::FileExists(In("harbsave.exe")));
}

TEST_F(FileMoves, TheOldEntryBecomesACommentInAnyLetterCase)
{
    WriteTestFile(In("index.htm"), "index");
    WriteTestFile(In("story.htm"), "story");
    // as the installer writes it, in text mode
    const std::string before = ";Installed file list -- do not edit\r\n"
                               " " + In("INDEX.HTM") + "\r\n"
                               " " + In("story.htm") + " \r\n"  // recorded from an "Inflating: " line: trailing blank
                               "\r\n";
    WriteTestFile(In("INSTALLD.TXT"), before);
    ASSERT_EQ(MoveFiles(wizard.window, "%%INSTALLPATH%%*.htm\t%%INSTALLPATH%%html\\"), 1);
    std::string list = List();
    EXPECT_NE(list.find(";" + In("INDEX.HTM") + "\r\n"), std::string::npos) << list;
    EXPECT_NE(list.find(" " + In("story.htm") + " \r\n"), std::string::npos) << "the entry with a blank stays\n" << list;
    EXPECT_NE(list.find(" " + In("html\\index.htm")), std::string::npos) << list;
    EXPECT_NE(list.find(" " + In("html\\story.htm")), std::string::npos) << list;
}

TEST_F(FileMoves, AMissingDestinationFolderStopsTheMoves)
{
    WriteTestFile(In("a.txt"), "a");
    WriteTestFile(In("c.txt"), "c");
    EXPECT_EQ(MoveFiles(wizard.window, "%%INSTALLPATH%%a.txt\t%%INSTALLPATH%%nowhere\\a.txt;%%INSTALLPATH%%c.txt\t%%INSTALLPATH%%d.txt"), 0);
    EXPECT_TRUE(state::FileExists(In("a.txt")));
    EXPECT_TRUE(state::FileExists(In("c.txt"))) << "the items after a failed one are not attempted";
    EXPECT_FALSE(state::FileExists(In("d.txt")));
}

TEST_F(FileMoves, AFailedCopyLeavesAFileThatWasAlreadyThere)
{
    WriteTestFile(In("a.txt"), "ours");
    WriteTestFile(In("b.txt"), "someone else's");
    HANDLE locked = CreateFileA(In("a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_EQ(MoveMatchingFiles(wizard.window, In("a.txt").c_str(), In("b.txt").c_str()), 0);
    CloseHandle(locked);
    EXPECT_EQ(state::ReadFile(In("b.txt")), "someone else's");
    EXPECT_TRUE(state::FileExists(In("a.txt")));
}

TEST_F(FileMoves, NothingMatchingIsNotAnError)
{
    EXPECT_EQ(MoveMatchingFiles(wizard.window, In("*.none").c_str(), In("html").c_str()), 1);
    EXPECT_EQ(MoveMatchingFiles(wizard.window, In("missing.txt").c_str(), In("other.txt").c_str()), 1);
}

}  // namespace
