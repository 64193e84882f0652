// Test fixtures made in the tests themselves: a small ZIP writer whose every field can be bent to
// show one fault, and a DEFLATE bit writer for hand-made streams.
#ifndef VELTMOOR_TEST_ZIP_WRITER_H
#define VELTMOOR_TEST_ZIP_WRITER_H

#include <stdint.h>

#include <string>
#include <vector>

uint32_t TestCrc32(const std::string &data);  // bitwise, independent of the installer's table

struct ZipEntry {
    std::string name;
    std::string data;               // what the extracted file must hold
    uint16_t method = 0;            // 0 stored, 8 deflated; anything else as given
    std::string compressed;         // the entry's data as stored when method is not 0
    uint16_t time = (14 << 11) | (30 << 5) | (58 / 2);        // 14:30:58
    uint16_t date = ((2026 - 1980) << 9) | (10 << 5) | 30;    // 2026-10-30
    bool dataDescriptor = false;    // flag bit 3: local CRC and sizes are 0, a descriptor follows
    bool wrongCrc = false;          // both headers carry a CRC-32 that does not match the data
    uint8_t versionNeeded = 20;
    uint8_t hostSystem = 0;         // 0 MS-DOS, 2 VMS
    std::string extra;
    std::string comment;
    std::string localName;          // when not empty, the local header's name differs
    bool emptyLocalName = false;    // the local header has no name at all
};

struct ZipLayout {
    std::string prefix;             // bytes in front of the archive (a program, say)
    std::string comment;            // the archive comment
    std::string afterDirectory;     // bytes between the central directory and the end record
    bool countAfterDirectory = false;  // the directory size includes them (offsets stay right)
    uint16_t thisDisk = 0;
    uint16_t centralDisk = 0;
    int entryCountDelta = 0;        // added to the end record's entry count
    bool offsetsIncludePrefix = false;  // a self-extractor's offsets count the prefix
    bool zeroCentralOffset = false;
    std::string trailing;           // bytes after the end record
};

std::string BuildZip(const std::vector<ZipEntry> &entries, const ZipLayout &layout = ZipLayout());

// Bits in DEFLATE order: values from their low bit, Huffman codes from their first bit.
struct BitWriter {
    std::string bytes;
    uint32_t pending = 0;
    unsigned pendingBits = 0;

    void Bits(uint32_t value, unsigned count);
    void Code(uint32_t code, unsigned length);
    void AlignToByte();
    std::string Finish();  // pads the last byte with zero bits
};

// A fixed-Huffman block with a sequence of literals and back-references.
struct FixedSymbol {
    int literal;       // -1 for a back-reference
    unsigned length;
    unsigned distance;
};
void WriteFixedSymbol(BitWriter &out, const FixedSymbol &symbol);
void WriteFixedEnd(BitWriter &out);  // code 256
// The literal/length code 0..287 of the fixed code, written as it stands.
void WriteFixedLiteralCode(BitWriter &out, unsigned code);
// A whole stream of one final fixed block holding `data` as literals.
std::string FixedLiterals(const std::string &data);

#endif
