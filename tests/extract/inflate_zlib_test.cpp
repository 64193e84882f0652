// The decoder against data compressed by zlib (the reference encoder, used here only to make test
// data): every level and strategy, window sizes, and sizes around the history window's.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "extract/extract.h"
#include "tests/extract/extract_harness.h"
#include "tests/extract/zip_writer.h"

namespace {

std::string RawDeflate(const std::string &data, int level, int strategy, int windowBits = 15)
{
    z_stream stream = {};
    EXPECT_EQ(deflateInit2(&stream, level, Z_DEFLATED, -windowBits, 9, strategy), Z_OK);
    std::string out(deflateBound(&stream, data.size()) + 64, '\0');
    stream.next_in = (Bytef *)data.data();
    stream.avail_in = (uInt)data.size();
    stream.next_out = (Bytef *)&out[0];
    stream.avail_out = (uInt)out.size();
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// Prose-like text: words from a small vocabulary, with numbers and line ends.
std::string Text(size_t size, uint32_t seed)
{
    static const char *const kWords[] = {"harbour", "tide", "lantern", "quay", "brig", "the", "of", "and",
                                         "merchant", "ledger", "storm", "beacon", "a", "under", "night"};
    std::string out;
    uint32_t state = seed | 1;
    while (out.size() < size) {
        state = state * 1103515245u + 12345u;
        out += kWords[(state >> 16) % 15];
        out += (state >> 8) % 11 == 0 ? ".\r\n" : " ";
        if ((state >> 4) % 37 == 0)
            out += std::to_string(state % 100000);
    }
    out.resize(size);
    return out;
}

// Text, noise, long runs and repeats far back: every kind of block and distance.
std::string Mixed(size_t size, uint32_t seed)
{
    std::string out;
    uint32_t part = 0;
    while (out.size() < size) {
        switch (part++ % 4) {
        case 0: out += Text(9000, seed + part); break;
        case 1: out += NoiseBytes(5000, seed + part); break;
        case 2: out += std::string(3000 + part * 7, (char)part); break;
        case 3: out += out.substr(out.size() > 30000 ? out.size() - 30000 : 0, 4000); break;
        }
    }
    out.resize(size);
    return out;
}

struct Variant {
    const char *name;
    int level;
    int strategy;
    int windowBits;
};

// One archive per variant, one entry per size and kind of data; every file must come out whole.
void ExpectRoundTrip(const Variant &v, const std::vector<size_t> &sizes)
{
    Workspace space = MakeWorkspace("zlib");
    std::vector<ZipEntry> entries;
    for (size_t size : sizes) {
        for (int kind = 0; kind < 2; ++kind) {
            ZipEntry entry;
            entry.name = (kind ? "mixed" : "text") + std::to_string(size);
            entry.data = kind ? Mixed(size, (uint32_t)size) : Text(size, (uint32_t)size);
            entry.method = 8;
            entry.compressed = RawDeflate(entry.data, v.level, v.strategy, v.windowBits);
            entries.push_back(entry);
        }
    }
    UnzipResult result = Unzip(space, BuildZip(entries));
    EXPECT_EQ(result.status, XS_OK) << v.name;
    for (const ZipEntry &entry : entries) {
        std::string data;
        ASSERT_TRUE(ReadBytes(space.out + entry.name, &data)) << v.name << " " << entry.name;
        ASSERT_EQ(data.size(), entry.data.size()) << v.name << " " << entry.name;
        EXPECT_TRUE(data == entry.data) << v.name << " " << entry.name << " differs";
    }
}

const std::vector<size_t> kWindowSizes = {0, 1, 2, 257, 32767, 32768, 32769, 65536, 100000};

TEST(InflateAgainstZlib, EveryLevel)
{
    for (int level = 0; level <= 9; ++level) {
        std::string name = "level " + std::to_string(level);
        ExpectRoundTrip({name.c_str(), level, Z_DEFAULT_STRATEGY, 15}, kWindowSizes);
    }
}

TEST(InflateAgainstZlib, EveryStrategy)
{
    const Variant kVariants[] = {
        {"filtered 1", 1, Z_FILTERED, 15},     {"filtered 9", 9, Z_FILTERED, 15},
        {"huffman only", 6, Z_HUFFMAN_ONLY, 15}, {"rle 1", 1, Z_RLE, 15},
        {"rle 9", 9, Z_RLE, 15},               {"fixed 1", 1, Z_FIXED, 15},
        {"fixed 6", 6, Z_FIXED, 15},           {"fixed 9", 9, Z_FIXED, 15},
    };
    for (const Variant &v : kVariants)
        ExpectRoundTrip(v, kWindowSizes);
}

TEST(InflateAgainstZlib, SmallerEncoderWindows)
{
    for (int bits = 9; bits < 15; ++bits) {
        std::string name = "window bits " + std::to_string(bits);
        ExpectRoundTrip({name.c_str(), 9, Z_DEFAULT_STRATEGY, bits}, {1000, 70000});
    }
}

TEST(InflateAgainstZlib, SeveralMegabytes)
{
    const Variant kVariants[] = {
        {"level 1", 1, Z_DEFAULT_STRATEGY, 15}, {"level 6", 6, Z_DEFAULT_STRATEGY, 15},
        {"level 9", 9, Z_DEFAULT_STRATEGY, 15}, {"stored", 0, Z_DEFAULT_STRATEGY, 15},
        {"huffman only", 6, Z_HUFFMAN_ONLY, 15}, {"rle", 6, Z_RLE, 15},
        {"fixed", 6, Z_FIXED, 15},
    };
    for (const Variant &v : kVariants)
        ExpectRoundTrip(v, {3 * 1024 * 1024 + 17});
}

TEST(InflateAgainstZlib, TheDecoderAloneMatchesByteForByte)
{
    Workspace space = MakeWorkspace("zlib_direct");
    const std::string data = Mixed(500000, 77);
    for (int level : {1, 6, 9}) {
        std::string output;
        EXPECT_EQ(RunInflate(space, RawDeflate(data, level, Z_DEFAULT_STRATEGY), &output), INFLATE_OK);
        EXPECT_TRUE(output == data) << "level " << level;
    }
}

}  // namespace
