// The sample product's payload archive, made by the build's own scripts, unpacks to the very
// files that went into it, with the time that the archive stores for each.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extract/extract.h"
#include "tests/extract/extract_harness.h"

namespace {

// make_payload.py stores every entry with this time: 2026-10-30 14:30:00.
const uint16_t kPayloadDate = ((2026 - 1980) << 9) | (10 << 5) | 30;
const uint16_t kPayloadTime = (14 << 11) | (30 << 5) | 0;

TEST(SamplePayload, UnpacksToTheFilesThatWentIntoItWithTheirTimes)
{
    Workspace space = MakeWorkspace("sample_payload");
    const std::string product = PAYLOAD_FILES;
    const std::vector<std::string> names = FolderNames(product);
    ASSERT_GT(names.size(), 20u) << product;

    UnzipResult result = UnzipFile(PAYLOAD_ZIP, space.out);
    EXPECT_EQ(result.status, XS_OK);
    EXPECT_EQ(FolderNames(space.out), names);

    // One line per file in archive order (names sorted): deflated files are recorded as
    // "Inflating: name " by the install run, stored ones are only shown.
    ASSERT_EQ(result.lines.size(), names.size());
    int inflated = 0, stored = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        if (result.lines[i] == "Inflating: " + names[i] + " ")
            ++inflated;
        else if (result.lines[i] == "Extracting " + names[i])
            ++stored;
        else
            ADD_FAILURE() << "line " << i << ": " << result.lines[i];
    }
    EXPECT_GT(inflated, 5);
    EXPECT_GT(stored, 5);

    for (const std::string &name : names) {
        std::string expected, actual;
        ASSERT_TRUE(ReadBytes(product + kSeparator + name, &expected)) << name;
        ASSERT_TRUE(ReadBytes(space.out + name, &actual)) << name;
        EXPECT_EQ(actual.size(), expected.size()) << name;
        EXPECT_TRUE(actual == expected) << name << " differs";
        uint16_t date = 0, time = 0;
        ASSERT_TRUE(FileDosTime(space.out + name, &date, &time)) << name;
        EXPECT_EQ(date, kPayloadDate) << name;
        EXPECT_EQ(time, kPayloadTime) << name;
    }
}

TEST(SamplePayload, UnpackingAgainReplacesEveryFile)
{
    Workspace space = MakeWorkspace("sample_payload_again");
    ASSERT_EQ(UnzipFile(PAYLOAD_ZIP, space.out).status, XS_OK);
    const std::vector<std::string> names = FolderNames(space.out);
    for (const std::string &name : names)
        WriteBytes(space.out + name, "stale");
    EXPECT_EQ(UnzipFile(PAYLOAD_ZIP, space.out).status, XS_OK);
    for (const std::string &name : names) {
        std::string expected, actual;
        ASSERT_TRUE(ReadBytes(std::string(PAYLOAD_FILES) + kSeparator + name, &expected));
        ASSERT_TRUE(ReadBytes(space.out + name, &actual));
        EXPECT_TRUE(actual == expected) << name;
    }
}

}  // namespace
