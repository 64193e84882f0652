#include "tests/extract/zip_writer.h"

#include <stdexcept>

uint32_t TestCrc32(const std::string &data)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

static void Put16(std::string &out, uint32_t value)
{
    out += (char)(value & 0xFF);
    out += (char)((value >> 8) & 0xFF);
}

static void Put32(std::string &out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::string BuildZip(const std::vector<ZipEntry> &entries, const ZipLayout &layout)
{
    std::string locals, central;
    const uint32_t base = layout.offsetsIncludePrefix ? (uint32_t)layout.prefix.size() : 0;
    for (const ZipEntry &entry : entries) {
        const std::string &stored = entry.method == 0 ? entry.data : entry.compressed;
        const uint32_t crc = TestCrc32(entry.data) ^ (entry.wrongCrc ? 0x00010000u : 0u);
        const uint16_t flags = entry.dataDescriptor ? 0x0008 : 0;
        const std::string localName = entry.emptyLocalName ? std::string()
                                      : entry.localName.empty() ? entry.name : entry.localName;
        const uint32_t offset = base + (uint32_t)locals.size();

        locals += "PK\x03\x04";
        Put16(locals, entry.versionNeeded | (entry.hostSystem << 8));
        Put16(locals, flags);
        Put16(locals, entry.method);
        Put16(locals, entry.time);
        Put16(locals, entry.date);
        Put32(locals, entry.dataDescriptor ? 0 : crc);
        Put32(locals, entry.dataDescriptor ? 0 : (uint32_t)stored.size());
        Put32(locals, entry.dataDescriptor ? 0 : (uint32_t)entry.data.size());
        Put16(locals, (uint32_t)localName.size());
        Put16(locals, (uint32_t)entry.extra.size());
        locals += localName + entry.extra + stored;
        if (entry.dataDescriptor) {
            locals += "PK\x07\x08";
            Put32(locals, crc);
            Put32(locals, (uint32_t)stored.size());
            Put32(locals, (uint32_t)entry.data.size());
        }

        central += "PK\x01\x02";
        Put16(central, 20 | (entry.hostSystem << 8));
        Put16(central, entry.versionNeeded | (entry.hostSystem << 8));
        Put16(central, flags);
        Put16(central, entry.method);
        Put16(central, entry.time);
        Put16(central, entry.date);
        Put32(central, crc);
        Put32(central, (uint32_t)stored.size());
        Put32(central, (uint32_t)entry.data.size());
        Put16(central, (uint32_t)entry.name.size());
        Put16(central, (uint32_t)entry.extra.size());
        Put16(central, (uint32_t)entry.comment.size());
        Put16(central, 0);     // disk number start
        Put16(central, 0);     // internal attributes
        Put32(central, 0x20);  // external attributes: the archive bit
        Put32(central, offset);
        central += entry.name + entry.extra + entry.comment;
    }

    std::string end = "PK\x05\x06";
    Put16(end, layout.thisDisk);
    Put16(end, layout.centralDisk);
    Put16(end, (uint32_t)((int)entries.size() + layout.entryCountDelta));
    Put16(end, (uint32_t)((int)entries.size() + layout.entryCountDelta));
    uint32_t centralSize = (uint32_t)central.size();
    if (layout.countAfterDirectory)
        centralSize += (uint32_t)layout.afterDirectory.size();
    Put32(end, centralSize);
    Put32(end, layout.zeroCentralOffset ? 0 : base + (uint32_t)locals.size());
    Put16(end, (uint32_t)layout.comment.size());
    end += layout.comment;

    return layout.prefix + locals + central + layout.afterDirectory + end + layout.trailing;
}

void BitWriter::Bits(uint32_t value, unsigned count)
{
    for (unsigned i = 0; i < count; ++i) {
        pending |= ((value >> i) & 1u) << pendingBits;
        if (++pendingBits == 8) {
            bytes += (char)pending;
            pending = 0;
            pendingBits = 0;
        }
    }
}

void BitWriter::Code(uint32_t code, unsigned length)
{
    for (unsigned i = length; i > 0; --i)
        Bits((code >> (i - 1)) & 1u, 1);
}

void BitWriter::AlignToByte()
{
    if (pendingBits > 0)
        Bits(0, 8 - pendingBits);
}

std::string BitWriter::Finish()
{
    AlignToByte();
    return bytes;
}

static const unsigned kLengthBases[29] = {3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31,
                                         35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
static const unsigned kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2,
                                         3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
static const unsigned kDistanceBases[30] = {1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193,
                                           257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145,
                                           8193, 12289, 16385, 24577};
static const unsigned kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6,
                                           7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void WriteFixedLiteralCode(BitWriter &out, unsigned code)
{
    if (code < 144)
        out.Code(0x30 + code, 8);
    else if (code < 256)
        out.Code(0x190 + (code - 144), 9);
    else if (code < 280)
        out.Code(code - 256, 7);
    else
        out.Code(0xC0 + (code - 280), 8);
}

void WriteFixedSymbol(BitWriter &out, const FixedSymbol &symbol)
{
    if (symbol.literal >= 0) {
        WriteFixedLiteralCode(out, (unsigned)symbol.literal);
        return;
    }
    int l = 28;
    while (kLengthBases[l] > symbol.length)
        --l;
    if (symbol.length < 3 || symbol.length > 258)
        throw std::invalid_argument("length out of range");
    WriteFixedLiteralCode(out, 257 + (unsigned)l);
    out.Bits(symbol.length - kLengthBases[l], kLengthExtra[l]);
    int d = 29;
    while (kDistanceBases[d] > symbol.distance)
        --d;
    out.Code((unsigned)d, 5);
    out.Bits(symbol.distance - kDistanceBases[d], kDistanceExtra[d]);
}

void WriteFixedEnd(BitWriter &out)
{
    WriteFixedLiteralCode(out, 256);
}

std::string FixedLiterals(const std::string &data)
{
    BitWriter out;
    out.Bits(1, 1);  // final
    out.Bits(1, 2);  // fixed Huffman codes
    for (unsigned char c : data)
        WriteFixedLiteralCode(out, c);
    WriteFixedEnd(out);
    return out.Finish();
}
