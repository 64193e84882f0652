// The ZIP reader on archives made to show one thing each: where the end record may lie, how the
// directory is walked in batches, compensated offsets, multi-disk and broken archives.
#include <gtest/gtest.h>
#include <stdio.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "extract/extract.h"
#include "tests/extract/extract_harness.h"
#include "tests/extract/zip_writer.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

ZipEntry Stored(const std::string &name, const std::string &data)
{
    ZipEntry entry;
    entry.name = name;
    entry.data = data;
    return entry;
}

ZipEntry Deflated(const std::string &name, const std::string &data)
{
    ZipEntry entry;
    entry.name = name;
    entry.data = data;
    entry.method = 8;
    entry.compressed = FixedLiterals(data);
    return entry;
}

std::vector<ZipEntry> ThreeEntries()
{
    return {Stored("alpha.txt", "alpha\r\n"), Deflated("beta.htm", Repeat("<p>beta</p>\n", 300)),
            Stored("gamma.bin", NoiseBytes(3000, 5))};
}

// Checks that every entry was written as it should be and nothing else was.
void ExpectExtracted(const Workspace &space, const std::vector<ZipEntry> &entries, const std::string &context)
{
    std::vector<std::string> names;
    for (const ZipEntry &entry : entries) {
        std::string data;
        ASSERT_TRUE(ReadBytes(space.out + entry.name, &data)) << context << ": " << entry.name << " missing";
        EXPECT_TRUE(data == entry.data) << context << ": " << entry.name << " differs";
        names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(FolderNames(space.out), names) << context;
}

// An archive of exactly `size` bytes with one stored entry that fills it up.
std::string ArchiveOfSize(size_t size, size_t commentLength, std::string *filler)
{
    ZipLayout layout;
    layout.comment = Repeat("comment ", commentLength);
    const std::string name = "filler.bin";
    const size_t overhead = 30 + name.size() + 46 + name.size() + 22 + commentLength;
    if (size < overhead)
        throw std::invalid_argument("size too small");
    *filler = NoiseBytes(size - overhead, (uint32_t)size);
    std::string archive = BuildZip({Stored(name, *filler)}, layout);
    if (archive.size() != size)
        throw std::logic_error("size arithmetic");
    return archive;
}

struct SizeCase {
    const char *what;
    size_t size;
    size_t comment;
};

TEST(ZipReader, FindsTheEndRecordWhereverTheArchivesSizePutsIt)
{
    const size_t end = 22;
    const SizeCase kCases[] = {
        {"the smallest archive with an entry", 30 + 10 + 46 + 10 + end + 1, 0},
        {"one block less a byte", 2047, 0},
        {"exactly one block, read in one piece", 2048, 0},
        {"one block and a byte", 2049, 0},
        {"a multiple of the block size", 3 * 2048, 0},
        {"10 past a block: the tail is not read", 3 * 2048 + 10, 0},
        {"signature from the block's last 3 bytes into the tail (19)", 3 * 2048 + 19, 0},
        {"signature straddling the tail (20)", 3 * 2048 + 20, 0},
        {"signature straddling the tail (21)", 3 * 2048 + 21, 0},
        {"record wholly in the tail", 3 * 2048 + 22, 0},
        {"signature straddling two full blocks", 10 * 2048 + 2046 + end + 5000, 5000},
        {"the largest comment", 40 * 2048 + 1234, 65535},
        {"the largest comment, record at a block start", 33 * 2048 + end + 65535, 65535},
    };
    for (const SizeCase &c : kCases) {
        Workspace space = MakeWorkspace("end_record");
        std::string filler;
        std::string archive = ArchiveOfSize(c.size, c.comment, &filler);
        UnzipResult result = Unzip(space, archive);
        EXPECT_EQ(result.status, XS_OK) << c.what;
        EXPECT_EQ(result.lines, std::vector<std::string>{"Extracting filler.bin"}) << c.what;
        ExpectExtracted(space, {Stored("filler.bin", filler)}, c.what);
    }
}

TEST(ZipReader, AnEndRecordBeforeTheSearchedAreaIsNotFound)
{
    Workspace space = MakeWorkspace("end_record_too_early");
    ZipLayout layout;
    layout.trailing = std::string(70000, 'x');  // beyond the largest comment and a block of slack
    UnzipResult result = Unzip(space, BuildZip(ThreeEntries(), layout));
    EXPECT_EQ(result.status, XS_ARCHIVE_ERROR);
    EXPECT_EQ(result.lines, std::vector<std::string>{"Bad ZIP file"});
    EXPECT_TRUE(FolderNames(space.out).empty());
}

TEST(ZipReader, AnEmptyArchiveWarnsWithoutALine)
{
    Workspace space = MakeWorkspace("empty");
    std::string archive = BuildZip({});
    ASSERT_EQ(archive.size(), 22u);
    UnzipResult result = Unzip(space, archive);
    EXPECT_EQ(result.status, XS_WARNING);
    EXPECT_TRUE(result.lines.empty());
}

TEST(ZipReader, WalksTheDirectoryInBatchesAndExtractsEveryEntryInOrder)
{
    for (int count : {1, 63, 64, 65, 129}) {
        Workspace space = MakeWorkspace("batches");
        std::vector<ZipEntry> entries;
        std::vector<std::string> expectedLines;
        for (int i = 0; i < count; ++i) {
            char name[32];
            snprintf(name, sizeof name, "file%03d.txt", i);
            // Entries large enough that extracting one moves the reading far from the directory.
            std::string data = Repeat(std::string(name) + " holds this line\r\n", 1500 + 37 * i);
            if (i % 2 == 0) {
                entries.push_back(Stored(name, data));
                expectedLines.push_back(std::string("Extracting ") + name);
            } else {
                entries.push_back(Deflated(name, data));
                expectedLines.push_back(std::string("Inflating: ") + name + " ");
            }
        }
        UnzipResult result = Unzip(space, BuildZip(entries));
        EXPECT_EQ(result.status, XS_OK) << count << " entries";
        EXPECT_EQ(result.lines, expectedLines) << count << " entries";
        ExpectExtracted(space, entries, std::to_string(count) + " entries");
    }
}

struct LayoutCase {
    const char *what;
    ZipLayout layout;
    int status;
};

TEST(ZipReader, CompensatesBytesInFrontOfTheArchive)
{
    const std::string program = "MZ" + NoiseBytes(5000, 99);
    std::vector<LayoutCase> cases(4);
    cases[0] = {"a program in front, offsets of the bare archive: warning", {}, XS_WARNING};
    cases[0].layout.prefix = program;
    cases[1] = {"a program in front, offsets counting it: no warning", {}, XS_OK};
    cases[1].layout.prefix = program;
    cases[1].layout.offsetsIncludePrefix = true;
    cases[2] = {"directory offset 0: the offset is taken from the record's place", {}, XS_ARCHIVE_ERROR};
    cases[2].layout.zeroCentralOffset = true;
    cases[3] = {"uncounted bytes after the directory: the plain offset is used", {}, XS_ARCHIVE_ERROR};
    cases[3].layout.afterDirectory = "not a record";
    for (const LayoutCase &c : cases) {
        Workspace space = MakeWorkspace("prefix");
        UnzipResult result = Unzip(space, BuildZip(ThreeEntries(), c.layout));
        EXPECT_EQ(result.status, c.status) << c.what;
        EXPECT_EQ(result.lines.size(), 3u) << c.what;
        ExpectExtracted(space, ThreeEntries(), c.what);
    }
}

TEST(ZipReader, ADirectoryNotFollowedByTheEndRecordWarnsAfterExtractingEverything)
{
    Workspace space = MakeWorkspace("no_end_after_directory");
    ZipLayout layout;
    layout.afterDirectory = "PK\x06\x06 something else";
    layout.countAfterDirectory = true;
    UnzipResult result = Unzip(space, BuildZip(ThreeEntries(), layout));
    EXPECT_EQ(result.status, XS_WARNING);
    ExpectExtracted(space, ThreeEntries(), "after directory");
}

TEST(ZipReader, TheEntryCountOfTheEndRecordBoundsTheWalk)
{
    {
        Workspace space = MakeWorkspace("count_too_high");
        ZipLayout layout;
        layout.entryCountDelta = 1;  // the walk meets the end record where a header should be
        UnzipResult result = Unzip(space, BuildZip(ThreeEntries(), layout));
        EXPECT_EQ(result.status, XS_SEVERE);
        ExpectExtracted(space, ThreeEntries(), "the batch collected before the broken header");
    }
    {
        Workspace space = MakeWorkspace("count_too_low");
        ZipLayout layout;
        layout.entryCountDelta = -1;
        std::vector<ZipEntry> entries = ThreeEntries();
        UnzipResult result = Unzip(space, BuildZip(entries, layout));
        EXPECT_EQ(result.status, XS_WARNING);  // a central header where the end record should be
        entries.pop_back();
        ExpectExtracted(space, entries, "the counted entries only");
    }
}

TEST(ZipReader, RefusesMultiDiskArchivesButTakesTheLastDiskOfTwo)
{
    struct DiskCase {
        uint16_t thisDisk, centralDisk;
        int status;
        std::vector<std::string> lines;
    };
    const DiskCase kCases[] = {
        {1, 0, XS_NO_FILES, {"Multi-disk archives are not supported"}},
        {2, 2, XS_NO_FILES, {"Multi-disk archives are not supported"}},
        {0, 1, XS_OK, {"Extracting alpha.txt", "Inflating: beta.htm ", "Extracting gamma.bin"}},
        {1, 1, XS_WARNING, {"Extracting alpha.txt", "Inflating: beta.htm ", "Extracting gamma.bin"}},
    };
    for (const DiskCase &c : kCases) {
        Workspace space = MakeWorkspace("disks");
        ZipLayout layout;
        layout.thisDisk = c.thisDisk;
        layout.centralDisk = c.centralDisk;
        UnzipResult result = Unzip(space, BuildZip(ThreeEntries(), layout));
        EXPECT_EQ(result.status, c.status) << "disk " << c.thisDisk << " of " << c.centralDisk;
        EXPECT_EQ(result.lines, c.lines) << "disk " << c.thisDisk << " of " << c.centralDisk;
        EXPECT_EQ(FolderNames(space.out).size(), c.status == XS_NO_FILES ? 0u : 3u);
    }
}

TEST(ZipReader, ADamagedDirectoryIsReportedAndNothingIsExtracted)
{
    Workspace space = MakeWorkspace("damaged_directory");
    std::string archive = BuildZip(ThreeEntries());
    size_t directory = archive.find("PK\x01\x02");
    ASSERT_NE(directory, std::string::npos);
    archive[directory + 3] = 9;
    UnzipResult result = Unzip(space, archive);
    EXPECT_EQ(result.status, XS_SEVERE);
    EXPECT_EQ(result.lines, std::vector<std::string>{"The ZIP file is damaged"});
    EXPECT_TRUE(FolderNames(space.out).empty());
}

TEST(ZipReader, EveryTruncationOfAnArchiveFailsWithoutWritingElsewhere)
{
    const std::vector<ZipEntry> entries = {Stored("alpha.txt", "alpha\r\n"), Deflated("beta.htm", Repeat("<b>", 90))};
    const std::string archive = BuildZip(entries);
    Workspace space = MakeWorkspace("truncated");
    for (size_t length = 0; length < archive.size(); ++length) {
        for (const std::string &name : FolderNames(space.out))
            remove((space.out + name).c_str());
        UnzipResult result = Unzip(space, archive.substr(0, length));
        ASSERT_NE(result.status, XS_OK) << "cut at " << length;
        for (const std::string &name : FolderNames(space.out)) {
            bool known = false;
            for (const ZipEntry &entry : entries)
                known = known || entry.name == name;
            ASSERT_TRUE(known) << "cut at " << length << " wrote " << name;
        }
    }
}

TEST(ZipReader, EntryDataCutShortEndsAsAChecksumWarning)
{
    // The directory and the local headers are intact, but each entry claims more data than it has:
    // the stored copy stops at the end of its data, the decoder fails instead of running on.
    Workspace space = MakeWorkspace("short_data");
    std::vector<ZipEntry> entries = {Deflated("deflated.txt", Repeat("to be continued ", 2000))};
    entries[0].compressed.resize(entries[0].compressed.size() / 2);
    UnzipResult result = Unzip(space, BuildZip(entries));
    EXPECT_EQ(result.status, XS_WARNING);
    EXPECT_EQ(result.lines, std::vector<std::string>{"Inflating: deflated.txt "});
}

TEST(ZipReader, EntriesWithADataDescriptorUseTheDirectorysSizesAndChecksum)
{
    Workspace space = MakeWorkspace("data_descriptor");
    std::vector<ZipEntry> entries = ThreeEntries();
    for (ZipEntry &entry : entries)
        entry.dataDescriptor = true;
    UnzipResult result = Unzip(space, BuildZip(entries));
    EXPECT_EQ(result.status, XS_OK);
    ExpectExtracted(space, entries, "data descriptors");
}

TEST(ZipReader, FindsTheArchiveWithTheZipSuffixAddedOrSaysWhatItLookedFor)
{
    Workspace space = MakeWorkspace("lookup");
    WriteBytes(space.root + kSeparator + "named.zip", BuildZip(ThreeEntries()));
    UnzipResult found = UnzipFile(space.root + kSeparator + "named", space.out);
    EXPECT_EQ(found.status, XS_OK);
    ExpectExtracted(space, ThreeEntries(), "named without its suffix");

    // A folder of the archive's name is passed over for the name with the suffix.
    MakeFolder(space.root + kSeparator + "folder");
    UnzipResult notFound = UnzipFile(space.root + kSeparator + "folder", space.out);
    EXPECT_EQ(notFound.status, XS_NOT_FOUND);
    EXPECT_EQ(notFound.lines, std::vector<std::string>{"Can't find ZIP file " + space.root + kSeparator + "folder.zip"});
}

TEST(ZipReader, NamesUpTo259BytesAreKeptLongerOnesAreCutWithAWarning)
{
#ifdef _WIN32
    GTEST_SKIP() << "a 259-byte name inside any folder exceeds the Windows path limit";
#else
    struct NameCase {
        size_t length;
        int status;
    };
    for (const NameCase &c : {NameCase{259, XS_OK}, NameCase{260, XS_WARNING}}) {
        Workspace space = MakeWorkspace("long_names");
        MakeFolder(space.out + "sub");
        const std::string name = "sub/" + std::string(c.length - 4, 'n');
        const std::string kept = name.substr(0, 259);
        const std::string archive = BuildZip({Stored(name, "long named\n"), Stored("next.txt", "next\n")});

        // The joined path must fit 264 bytes: from the workspace, "out/" and the name do.
        ASSERT_EQ(chdir(space.root.c_str()), 0);
        WriteBytes("archive.zip", archive);
        UnzipResult result = UnzipFile("archive.zip", "out");
        EXPECT_EQ(result.status, c.status) << c.length;
        EXPECT_EQ(result.lines, (std::vector<std::string>{"Extracting " + kept, "Extracting next.txt"})) << c.length;
        std::string data;
        EXPECT_TRUE(ReadBytes(space.out + kept, &data) && data == "long named\n") << c.length;
        EXPECT_TRUE(ReadBytes(space.out + "next.txt", &data) && data == "next\n") << c.length;

        // From a longer folder the same name does not fit, and the file is refused, not cut.
        Workspace deeper = MakeWorkspace("long_names_deeper");
        MakeFolder(deeper.out + "sub");
        UnzipResult refused = Unzip(deeper, archive);
        EXPECT_EQ(refused.status, XS_OUTPUT) << c.length;
        EXPECT_EQ(refused.lines, (std::vector<std::string>{"Can't create " + kept, "Extracting next.txt"})) << c.length;
        EXPECT_TRUE(FolderNames(deeper.out + "sub").empty()) << c.length;
    }
#endif
}

TEST(ZipReader, VmsEntriesAreSkippedWithoutAskingAnyone)
{
    Workspace space = MakeWorkspace("vms");
    std::vector<ZipEntry> entries = ThreeEntries();
    entries[1].hostSystem = 2;
    entries[1].versionNeeded = 20;
    entries[2].hostSystem = 2;
    entries[2].versionNeeded = 45;
    UnzipResult result = Unzip(space, BuildZip(entries));
    EXPECT_EQ(result.status, XS_WARNING);
    EXPECT_EQ(result.lines, std::vector<std::string>{"Extracting alpha.txt"});
    ExpectExtracted(space, {entries[0]}, "VMS entries");
}

}  // namespace
