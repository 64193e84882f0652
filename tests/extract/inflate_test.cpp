// The decoder on hand-made streams: every block type, the limits of the dynamic header, codes
// that need sub-tables, the history window's edges, and data that ends too early.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extract/extract.h"
#include "tests/extract/extract_harness.h"
#include "tests/extract/zip_writer.h"

namespace {

// Canonical Huffman codes for a set of code lengths (RFC 1951, 3.2.2).
std::vector<uint32_t> CanonicalCodes(const std::vector<unsigned> &lengths)
{
    unsigned count[16] = {0};
    for (unsigned length : lengths)
        ++count[length];
    count[0] = 0;
    uint32_t next[16] = {0};
    uint32_t code = 0;
    for (unsigned bits = 1; bits < 16; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = code;
    }
    std::vector<uint32_t> codes(lengths.size(), 0);
    for (size_t s = 0; s < lengths.size(); ++s) {
        if (lengths[s] != 0)
            codes[s] = next[lengths[s]]++;
    }
    return codes;
}

const unsigned kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// One symbol of the code-length alphabet with its repeat bits.
struct LengthSymbol {
    unsigned symbol;
    unsigned extra;
};

// A dynamic block header with a given code-length code and the symbols it sends.
void WriteDynamicHeaderRaw(BitWriter &out, bool final, unsigned literalCount, unsigned distanceCount,
                           const std::vector<unsigned> &codeLengthLengths, const std::vector<LengthSymbol> &symbols)
{
    out.Bits(final ? 1 : 0, 1);
    out.Bits(2, 2);
    out.Bits(literalCount - 257, 5);
    out.Bits(distanceCount - 1, 5);
    out.Bits(19 - 4, 4);
    for (unsigned i = 0; i < 19; ++i)
        out.Bits(codeLengthLengths[kOrder[i]], 3);
    std::vector<uint32_t> codes = CanonicalCodes(codeLengthLengths);
    for (const LengthSymbol &s : symbols) {
        out.Code(codes[s.symbol], codeLengthLengths[s.symbol]);
        if (s.symbol == 16)
            out.Bits(s.extra, 2);
        else if (s.symbol == 17)
            out.Bits(s.extra, 3);
        else if (s.symbol == 18)
            out.Bits(s.extra, 7);
    }
}

// The usual header: every length sent as itself with a complete four-bit code-length code.
void WriteDynamicHeader(BitWriter &out, bool final, const std::vector<unsigned> &literalLengths,
                        const std::vector<unsigned> &distanceLengths)
{
    std::vector<unsigned> codeLengthLengths(19, 0);
    for (unsigned s = 0; s < 16; ++s)
        codeLengthLengths[s] = 4;
    std::vector<LengthSymbol> symbols;
    for (unsigned length : literalLengths)
        symbols.push_back({length, 0});
    for (unsigned length : distanceLengths)
        symbols.push_back({length, 0});
    WriteDynamicHeaderRaw(out, final, (unsigned)literalLengths.size(), (unsigned)distanceLengths.size(),
                          codeLengthLengths, symbols);
}

std::vector<unsigned> Lengths(size_t count, std::initializer_list<std::pair<unsigned, unsigned>> symbolLengths)
{
    std::vector<unsigned> lengths(count, 0);
    for (const auto &sl : symbolLengths)
        lengths[sl.first] = sl.second;
    return lengths;
}

struct StatusCase {
    const char *what;
    std::string stream;
    int status;
};

std::string StoredBlock(bool final, const std::string &data, bool wrongComplement = false)
{
    BitWriter out;
    out.Bits(final ? 1 : 0, 1);
    out.Bits(0, 2);
    out.AlignToByte();
    out.Bits((uint32_t)data.size(), 16);
    out.Bits((~(uint32_t)data.size() ^ (wrongComplement ? 1u : 0u)) & 0xFFFF, 16);
    return out.Finish() + data;
}

TEST(Inflate, StoredBlocksAreCopiedAndTheirLengthIsChecked)
{
    Workspace space = MakeWorkspace("inflate_stored");
    std::string output;
    EXPECT_EQ(RunInflate(space, StoredBlock(true, ""), &output), INFLATE_OK);
    EXPECT_EQ(output, "");

    const std::string data = NoiseBytes(70000, 8);
    std::string stream = StoredBlock(false, data.substr(0, 65535)) + StoredBlock(false, "") +
                         StoredBlock(true, data.substr(65535));
    EXPECT_EQ(RunInflate(space, stream, &output), INFLATE_OK);
    EXPECT_TRUE(output == data);

    // A stored block's length starts at the byte boundary after its header bits.
    const std::string tail = "stored after fixed";
    BitWriter mixed;
    mixed.Bits(0, 1);
    mixed.Bits(1, 2);
    WriteFixedLiteralCode(mixed, 'x');
    WriteFixedEnd(mixed);
    mixed.Bits(1, 1);
    mixed.Bits(0, 2);
    mixed.AlignToByte();
    mixed.Bits((uint32_t)tail.size(), 16);
    mixed.Bits(~(uint32_t)tail.size() & 0xFFFF, 16);
    stream = mixed.Finish() + tail;
    EXPECT_EQ(RunInflate(space, stream, &output), INFLATE_OK);
    EXPECT_EQ(output, "xstored after fixed");
}

TEST(Inflate, MalformedBlocksGiveTheirStatus)
{
    const std::vector<unsigned> twoLiterals = Lengths(257, {{'A', 1}, {256, 1}});
    auto dynamicWith = [&](const std::vector<unsigned> &literals, const std::vector<unsigned> &distances) {
        BitWriter out;
        WriteDynamicHeader(out, true, literals, distances);
        out.Bits(0, 16);
        return out.Finish();
    };
    auto counts = [](unsigned literalCount, unsigned distanceCount) {
        BitWriter out;
        out.Bits(1, 1);
        out.Bits(2, 2);
        out.Bits(literalCount - 257, 5);
        out.Bits(distanceCount - 1, 5);
        out.Bits(0, 4);
        out.Bits(0, 32);
        return out.Finish();
    };
    auto fixedCode = [](unsigned code) {
        BitWriter out;
        out.Bits(1, 1);
        out.Bits(1, 2);
        WriteFixedLiteralCode(out, 'a');
        WriteFixedLiteralCode(out, code);
        out.Bits(0, 16);
        return out.Finish();
    };
    auto codeLengthCode = [](std::initializer_list<std::pair<unsigned, unsigned>> lengths) {
        BitWriter out;
        WriteDynamicHeaderRaw(out, true, 257, 1, Lengths(19, lengths), {});
        out.Bits(0, 32);
        return out.Finish();
    };
    BitWriter longRepeat;
    WriteDynamicHeaderRaw(longRepeat, true, 257, 1, Lengths(19, {{18, 1}, {1, 2}, {2, 2}}),
                          {{18, 127}, {18, 127}});
    longRepeat.Bits(0, 16);

    const StatusCase kCases[] = {
        {"stored length complement wrong", StoredBlock(true, "abc", true), INFLATE_BAD_DATA},
        {"block type 3", std::string(1, '\x07') + std::string(4, '\0'), INFLATE_BAD_CODE},
        {"287 literal/length codes", counts(287, 1), INFLATE_BAD_DATA},
        {"288 literal/length codes", counts(288, 1), INFLATE_BAD_DATA},
        {"31 distance codes", counts(257, 31), INFLATE_BAD_DATA},
        {"32 distance codes", counts(257, 32), INFLATE_BAD_DATA},
        {"all distance lengths zero", dynamicWith(twoLiterals, {0}), INFLATE_BAD_CODE},
        {"two distance codes, one used: incomplete", dynamicWith(twoLiterals, {1, 0}), INFLATE_BAD_DATA},
        {"literal lengths over-subscribed", dynamicWith(Lengths(257, {{'A', 1}, {'B', 1}, {256, 1}}), {1}),
         INFLATE_BAD_CODE},
        {"literal lengths incomplete", dynamicWith(Lengths(257, {{'A', 2}, {256, 1}}), {1}), INFLATE_BAD_DATA},
        {"all literal lengths zero", dynamicWith(Lengths(257, {}), {1}), INFLATE_BAD_CODE},
        {"code-length code incomplete", codeLengthCode({{1, 1}}), INFLATE_BAD_DATA},
        {"code-length code over-subscribed", codeLengthCode({{1, 1}, {2, 1}, {3, 1}}), INFLATE_BAD_CODE},
        {"code-length code all zero", codeLengthCode({}), INFLATE_BAD_CODE},
        {"a repeat past the last length", longRepeat.Finish(), INFLATE_BAD_DATA},
        {"fixed code 286", fixedCode(286), INFLATE_BAD_DATA},
        {"fixed code 287", fixedCode(287), INFLATE_BAD_DATA},
    };
    Workspace space = MakeWorkspace("inflate_status");
    for (const StatusCase &c : kCases) {
        std::string output;
        EXPECT_EQ(RunInflate(space, c.stream, &output), c.status) << c.what;
    }
}

TEST(Inflate, ASingleDistanceCodeOfOneBitIsAccepted)
{
    // 'A', then length 3 at distance 1 through distance code 0, the only one there is.
    BitWriter out;
    std::vector<unsigned> literals = Lengths(258, {{'A', 2}, {256, 2}, {257, 1}});
    WriteDynamicHeader(out, true, literals, {1});
    std::vector<uint32_t> codes = CanonicalCodes(literals);
    out.Code(codes['A'], 2);
    out.Code(codes[257], 1);
    out.Code(0, 1);
    out.Code(codes[256], 2);
    Workspace space = MakeWorkspace("inflate_one_distance");
    std::string output;
    EXPECT_EQ(RunInflate(space, out.Finish(), &output), INFLATE_OK);
    EXPECT_EQ(output, "AAAA");
}

TEST(Inflate, CodesOfEveryLengthDecodeThroughSubTables)
{
    // Literal lengths 1..13 for 'a'..'m', 14 for length code 257, 15 for 'n' and end of block;
    // distance lengths 1..14 for codes 0..13 and 15 for codes 14 and 15: both need sub-tables.
    std::vector<unsigned> literals(258, 0);
    for (unsigned i = 0; i < 13; ++i)
        literals['a' + i] = i + 1;
    literals[257] = 14;
    literals['n'] = 15;
    literals[256] = 15;
    std::vector<unsigned> distances(16, 0);
    for (unsigned i = 0; i < 14; ++i)
        distances[i] = i + 1;
    distances[14] = distances[15] = 15;
    std::vector<uint32_t> literalCodes = CanonicalCodes(literals);
    std::vector<uint32_t> distanceCodes = CanonicalCodes(distances);
    const unsigned distanceBase[16] = {1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193};
    const unsigned distanceExtra[16] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6};

    BitWriter out;
    WriteDynamicHeader(out, true, literals, distances);
    std::string expected;
    for (int round = 0; round < 40; ++round) {
        for (unsigned c = 'a'; c <= 'n'; ++c) {
            out.Code(literalCodes[c], literals[c]);
            expected += (char)c;
        }
        for (unsigned d = 0; d < 16; ++d) {
            unsigned distance = distanceBase[d] + (distanceExtra[d] ? (round % (1u << distanceExtra[d])) : 0);
            if (distance > expected.size())
                continue;
            out.Code(literalCodes[257], literals[257]);
            out.Code(distanceCodes[d], distances[d]);
            out.Bits(distance - distanceBase[d], distanceExtra[d]);
            for (int i = 0; i < 3; ++i)
                expected += expected[expected.size() - distance];
        }
    }
    out.Code(literalCodes[256], literals[256]);
    Workspace space = MakeWorkspace("inflate_subtables");
    std::string output;
    EXPECT_EQ(RunInflate(space, out.Finish(), &output), INFLATE_OK);
    EXPECT_TRUE(output == expected) << output.size() << " bytes for " << expected.size();
}

TEST(Inflate, BackReferencesRepeatAndReachAcrossTheWindowsEdge)
{
    Workspace space = MakeWorkspace("inflate_window");
    std::string output;

    // Distance 1, length 258: the previous byte 258 times.
    BitWriter repeat;
    repeat.Bits(1, 1);
    repeat.Bits(1, 2);
    WriteFixedSymbol(repeat, {'z', 0, 0});
    WriteFixedSymbol(repeat, {-1, 258, 1});
    WriteFixedEnd(repeat);
    EXPECT_EQ(RunInflate(space, repeat.Finish(), &output), INFLATE_OK);
    EXPECT_EQ(output, std::string(259, 'z'));

    // Output of 32768 and 32769 bytes, and copies that wrap around the window: one from exactly a
    // window back, and an overlapping one that crosses the window's end.
    const std::string noise = NoiseBytes(32768, 21);
    for (size_t size : {32767u, 32768u, 32769u}) {
        std::string stream = StoredBlock(true, noise.substr(0, 32767) + std::string(size - 32767, '+'));
        EXPECT_EQ(RunInflate(space, stream, &output), INFLATE_OK) << size;
        EXPECT_TRUE(output == noise.substr(0, 32767) + std::string(size - 32767, '+')) << size;
    }
    BitWriter across;
    across.Bits(1, 1);
    across.Bits(1, 2);
    std::string expected;
    for (int i = 0; i < 32700; ++i) {
        WriteFixedSymbol(across, {(unsigned char)noise[i], 0, 0});
        expected += noise[i];
    }
    for (const FixedSymbol &s : {FixedSymbol{-1, 258, 7}, FixedSymbol{-1, 258, 32768}, FixedSymbol{-1, 100, 32768},
                                 FixedSymbol{-1, 3, 32767}}) {
        WriteFixedSymbol(across, s);
        for (unsigned i = 0; i < s.length; ++i)
            expected += expected[expected.size() - s.distance];
    }
    WriteFixedEnd(across);
    EXPECT_EQ(RunInflate(space, across.Finish(), &output), INFLATE_OK);
    EXPECT_TRUE(output == expected) << output.size() << " bytes for " << expected.size();
}

TEST(Inflate, DataThatEndsBeforeTheLastBlockIsBadData)
{
    std::string full = FixedLiterals(Repeat("end of the line ", 500));
    const StatusCase kCases[] = {
        {"nothing at all", "", INFLATE_BAD_DATA},
        {"a stored block that is not the last", StoredBlock(false, "more to come"), INFLATE_BAD_DATA},
        {"a stored block shorter than its length", StoredBlock(true, "0123456789").substr(0, 10), INFLATE_BAD_DATA},
        {"a fixed block cut in its middle", full.substr(0, full.size() / 2), INFLATE_BAD_DATA},
        {"a fixed block without its last byte", full.substr(0, full.size() - 1), INFLATE_BAD_DATA},
        {"the whole fixed block", full, INFLATE_OK},
    };
    Workspace space = MakeWorkspace("inflate_short");
    for (const StatusCase &c : kCases) {
        std::string output;
        EXPECT_EQ(RunInflate(space, c.stream, &output), c.status) << c.what;
    }
}

TEST(Inflate, AStreamEndingInsideItsLastByteDecodesThoughTheLookupWantsMoreBits)
{
    // End of block is 1 bit, the longest code 9: the last lookup finds fewer than 9 bits left.
    std::vector<unsigned> literals(257, 0);
    literals[256] = 1;
    for (unsigned i = 0; i < 8; ++i)
        literals['a' + i] = i + 2;
    literals['i'] = 9;
    std::vector<uint32_t> codes = CanonicalCodes(literals);
    Workspace space = MakeWorkspace("inflate_tail");
    for (unsigned count = 0; count < 12; ++count) {
        BitWriter out;
        WriteDynamicHeader(out, true, literals, {1, 1});
        std::string expected;
        for (unsigned i = 0; i < count; ++i) {
            unsigned c = 'a' + (i * 5) % 9;
            out.Code(codes[c], literals[c]);
            expected += (char)c;
        }
        out.Code(codes[256], 1);
        std::string output;
        EXPECT_EQ(RunInflate(space, out.Finish(), &output), INFLATE_OK) << count << " literals";
        EXPECT_EQ(output, expected) << count << " literals";
    }
}

}  // namespace
