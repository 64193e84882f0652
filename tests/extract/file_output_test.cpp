// Each entry becomes one file: its line, its bytes exactly, its time, its checksum, and what happens
// when the file cannot be made or written, or the archive names a place outside the target folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extract/extract.h"
#include "tests/extract/extract_harness.h"
#include "tests/extract/zip_writer.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

ZipEntry Entry(const std::string &name, const std::string &data, uint16_t method = 0)
{
    ZipEntry entry;
    entry.name = name;
    entry.data = data;
    entry.method = method;
    if (method == 8)
        entry.compressed = FixedLiterals(data);
    return entry;
}

std::string Contents(const std::string &path)
{
    std::string data;
    return ReadBytes(path, &data) ? data : std::string("<missing>");
}

struct OutputCase {
    const char *what;
    ZipEntry entry;
    std::string line;
};

TEST(FileOutput, EachEntryIsAnnouncedAndWrittenByteForByte)
{
    const std::string binary = std::string("line\nCR LF\r\nlone CR\rEOF\x1a\0end", 29);
    const OutputCase kCases[] = {
        {"stored, empty", Entry("empty.txt", ""), "Extracting empty.txt"},
        {"stored, one block", Entry("block.bin", NoiseBytes(2048, 1)), "Extracting block.bin"},
        {"stored, a block and a byte", Entry("block1.bin", NoiseBytes(2049, 2)), "Extracting block1.bin"},
        {"stored, line ends and ^Z untouched", Entry("binary.dat", Repeat(binary, 5000)), "Extracting binary.dat"},
        {"deflated, empty", Entry("nothing.txt", "", 8), "Inflating: nothing.txt "},
        {"deflated, line ends and ^Z untouched", Entry("binary.txt", Repeat(binary, 5000), 8),
         "Inflating: binary.txt "},
    };
    for (const OutputCase &c : kCases) {
        Workspace space = MakeWorkspace("output");
        UnzipResult result = Unzip(space, BuildZip({c.entry}));
        EXPECT_EQ(result.status, XS_OK) << c.what;
        EXPECT_EQ(result.lines, std::vector<std::string>{c.line}) << c.what;
        EXPECT_TRUE(Contents(space.out + c.entry.name) == c.entry.data) << c.what;
    }
}

TEST(FileOutput, ExtractedFilesCarryTheEntrysTimeAsLocalTime)
{
    struct TimeCase {
        int year, month, day, hour, minute, second;
    };
    const TimeCase kCases[] = {
        {2026, 10, 30, 14, 30, 58}, {1999, 12, 31, 23, 59, 58}, {2004, 2, 29, 0, 0, 0}, {2026, 7, 1, 12, 0, 2},
    };
    Workspace space = MakeWorkspace("times");
    std::vector<ZipEntry> entries;
    for (const TimeCase &c : kCases) {
        ZipEntry entry = Entry("stored" + std::to_string(entries.size()), "at a time", entries.size() % 2 ? 8 : 0);
        entry.date = (uint16_t)(((c.year - 1980) << 9) | (c.month << 5) | c.day);
        entry.time = (uint16_t)((c.hour << 11) | (c.minute << 5) | (c.second / 2));
        entries.push_back(entry);
    }
    ZipEntry wrong = Entry("wrong_crc.txt", "checked after the time is set");
    wrong.wrongCrc = true;
    entries.push_back(wrong);
    UnzipResult result = Unzip(space, BuildZip(entries));
    EXPECT_EQ(result.status, XS_WARNING);
    for (const ZipEntry &entry : entries) {
        uint16_t date = 0, time = 0;
        ASSERT_TRUE(FileDosTime(space.out + entry.name, &date, &time)) << entry.name;
        EXPECT_EQ(date, entry.date) << entry.name;
        EXPECT_EQ(time, entry.time) << entry.name;
    }
}

TEST(FileOutput, AWrongChecksumIsAWarningWithoutALineAndTheFileStays)
{
    Workspace space = MakeWorkspace("wrong_crc");
    std::vector<ZipEntry> entries = {Entry("a.txt", Repeat("stored ", 3000)), Entry("b.txt", Repeat("deflated ", 3000), 8),
                                     Entry("c.txt", "fine")};
    entries[0].wrongCrc = true;
    entries[1].wrongCrc = true;
    UnzipResult result = Unzip(space, BuildZip(entries));
    EXPECT_EQ(result.status, XS_WARNING);
    EXPECT_EQ(result.lines, (std::vector<std::string>{"Extracting a.txt", "Inflating: b.txt ", "Extracting c.txt"}));
    for (const ZipEntry &entry : entries)
        EXPECT_TRUE(Contents(space.out + entry.name) == entry.data) << entry.name;
}

TEST(FileOutput, AnExistingFileIsReplacedUnlessItCannotBeWritten)
{
    Workspace space = MakeWorkspace("existing");
    WriteBytes(space.out + "writable.txt", Repeat("old and longer ", 10000));
    WriteBytes(space.out + "readonly.txt", "keep me");
    MakeReadOnly(space.out + "readonly.txt");
    MakeFolder(space.out + "folder.txt");  // a name taken by a folder cannot be a file
    std::vector<ZipEntry> entries = {Entry("writable.txt", "new"), Entry("readonly.txt", "new", 8),
                                     Entry("folder.txt", "new")};
    std::vector<std::string> lines = {"Extracting writable.txt",
                                      ReadOnlyBlocksWriting() ? "Can't create readonly.txt" : "Inflating: readonly.txt ",
                                      "Can't create folder.txt"};
#ifdef _WIN32
    // A file that another program holds open without sharing cannot be replaced either.
    WriteBytes(space.out + "inuse.txt", "held open");
    HANDLE held = CreateFileA((space.out + "inuse.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    entries.push_back(Entry("inuse.txt", "new"));
    lines.push_back("Can't create inuse.txt");
#endif
    entries.push_back(Entry("after.txt", "still extracted", 8));
    lines.push_back("Inflating: after.txt ");

    UnzipResult result = Unzip(space, BuildZip(entries));
#ifdef _WIN32
    CloseHandle(held);
    EXPECT_EQ(Contents(space.out + "inuse.txt"), "held open");
#endif
    EXPECT_EQ(result.status, XS_OUTPUT);
    EXPECT_EQ(result.lines, lines);
    EXPECT_EQ(Contents(space.out + "writable.txt"), "new");
    EXPECT_EQ(Contents(space.out + "readonly.txt"), ReadOnlyBlocksWriting() ? "keep me" : "new");
    EXPECT_EQ(Contents(space.out + "after.txt"), "still extracted");
}

TEST(FileOutput, NamesWithFoldersNeedTheFolderToExist)
{
    Workspace space = MakeWorkspace("folders");
    MakeFolder(space.out + "html");
    std::vector<ZipEntry> entries = {Entry("html/page.htm", "<p>page</p>"), Entry("missing/page.htm", "none"),
                                     Entry("html/", ""), Entry("last.txt", "last")};
    UnzipResult result = Unzip(space, BuildZip(entries));
    EXPECT_EQ(result.status, XS_OUTPUT);
    EXPECT_EQ(result.lines, (std::vector<std::string>{"Extracting html/page.htm", "Can't create missing/page.htm",
                                                      "Can't create html/", "Extracting last.txt"}));
    EXPECT_EQ(Contents(space.out + "html" + kSeparator + "page.htm"), "<p>page</p>");
    EXPECT_EQ(Contents(space.out + "last.txt"), "last");
}

TEST(FileOutput, NamesReachingOutsideTheTargetFolderAreRefused)
{
    Workspace space = MakeWorkspace("escape");
    MakeFolder(space.out + "sub");
    // Absolute names point into the workspace, next to the target folder, never elsewhere.
    const std::string absolute = space.root + kSeparator + "absolute.txt";
    const std::string root = space.root.substr(space.root.find(kSeparator));
    const std::vector<std::string> refused = {
        absolute, root + kSeparator + "rooted.txt", "/rooted2.txt", "\\rooted3.txt", "C:drive.txt", "C:\\drive2.txt",
        "../parent.txt", "..\\parent2.txt", "sub/../../parent3.txt", "sub\\..\\..\\parent4.txt", "..", "sub/..",
        "... /parent5.txt", ". ./parent6.txt", "sub/.. /x.txt", "stream.txt:hidden",
    };
    std::vector<ZipEntry> entries;
    std::vector<std::string> lines;
    for (const std::string &name : refused) {
        entries.push_back(Entry(name, "must not be written"));
        lines.push_back("Can't create " + name);
    }
    const std::vector<std::string> accepted = {"a..b.txt", "..c.txt", ".hidden", "sub/..d"};
    for (const std::string &name : accepted) {
        entries.push_back(Entry(name, "fine", 8));
        lines.push_back("Inflating: " + name + " ");
    }
    UnzipResult result = Unzip(space, BuildZip(entries));
    EXPECT_EQ(result.status, XS_OUTPUT);
    EXPECT_EQ(result.lines, lines);
    EXPECT_EQ(FolderNames(space.root), (std::vector<std::string>{"archive.zip", "out"}));
    EXPECT_EQ(FolderNames(space.out), (std::vector<std::string>{"..c.txt", ".hidden", "a..b.txt", "sub"}));
    EXPECT_EQ(FolderNames(space.out + "sub"), std::vector<std::string>{"..d"});
}

TEST(FileOutput, AnEntryWithoutALocalNameDoesNotTakeThePreviousName)
{
    Workspace space = MakeWorkspace("no_local_name");
    std::vector<ZipEntry> entries = {Entry("first.txt", "first"), Entry("second.txt", "second")};
    entries[1].emptyLocalName = true;
    UnzipResult result = Unzip(space, BuildZip(entries));
    EXPECT_EQ(result.status, XS_OUTPUT);
    EXPECT_EQ(result.lines, (std::vector<std::string>{"Extracting first.txt", "Can't create "}));
    EXPECT_EQ(Contents(space.out + "first.txt"), "first");
}

TEST(FileOutput, AnUnknownMethodLeavesAnEmptyFileAndGoesOn)
{
    Workspace space = MakeWorkspace("unknown_method");
    std::vector<ZipEntry> entries = {Entry("shrunk.dat", "data", 1), Entry("next.txt", "next")};
    entries[0].compressed = "\x01\x02\x03";
    UnzipResult result = Unzip(space, BuildZip(entries));
    EXPECT_EQ(result.status, XS_WARNING);
    EXPECT_EQ(result.lines, (std::vector<std::string>{"Unknown compression method: shrunk.dat", "Extracting next.txt"}));
    EXPECT_EQ(Contents(space.out + "shrunk.dat"), "");
    EXPECT_EQ(Contents(space.out + "next.txt"), "next");
}

TEST(FileOutput, AWriteThatFallsShortStopsTheWholeExtraction)
{
#ifdef _WIN32
    GTEST_SKIP() << "a full disk is shown natively, through a link to /dev/full";
#else
    Workspace space = MakeWorkspace("disk_full");
    ASSERT_EQ(symlink("/dev/full", (space.out + "full.bin").c_str()), 0);
    std::vector<ZipEntry> entries = {Entry("before.txt", "before"), Entry("full.bin", NoiseBytes(5000, 4), 8),
                                     Entry("after.txt", "after")};
    UnzipResult result = Unzip(space, BuildZip(entries));
    EXPECT_EQ(result.status, XS_OUTPUT);
    EXPECT_EQ(result.lines, (std::vector<std::string>{"Extracting before.txt", "Inflating: full.bin ",
                                                      "Write error in full.bin (disk full?)"}));
    EXPECT_FALSE(FileExists(space.out + "after.txt"));
#endif
}

}  // namespace
