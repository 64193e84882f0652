// The DEFLATE decoder (RFC 1951): stored, fixed and dynamic Huffman blocks, decoded through
// multi-level lookup tables into a 32768-byte history window that is handed to the file output
// whenever it fills. Compressed bytes come one at a time from ReadCompressedByte.
//
// Running out of compressed data is bad data: an entry whose stream does not end where its data
// ends must not be decoded on forever from made-up input.
#include <stdlib.h>
#include <string.h>

#include "extract/extract.h"
#include "extract/extract_platform.h"

enum {
    LITERAL_SYMBOLS = 288,   // with the two codes that no stream may use
    DISTANCE_SYMBOLS = 30,
    CODE_LENGTH_SYMBOLS = 19,
    MAX_CODE_BITS = 16,
    OP_LITERAL = 16,
    OP_END = 15,
    OP_INVALID = 99,
    FIXED_LITERAL_LOOKUP = 7,
    FIXED_DISTANCE_LOOKUP = 5,
    DYNAMIC_LITERAL_LOOKUP = 9,
    DYNAMIC_DISTANCE_LOOKUP = 6,
    CODE_LENGTH_LOOKUP = 7
};

static const uint32_t kCodeLengthOrder[CODE_LENGTH_SYMBOLS] = {
    16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Codes 257..287; 286 and 287 decode as invalid.
static const uint16_t kLengthBases[31] = {
    3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31,
    35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258, 0, 0};
static const uint16_t kLengthExtraBits[31] = {
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2,
    3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, OP_INVALID, OP_INVALID};

static const uint16_t kDistanceBases[DISTANCE_SYMBOLS] = {
    1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193,
    257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
static const uint16_t kDistanceExtraBits[DISTANCE_SYMBOLS] = {
    0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6,
    7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

static const uint32_t kBitMask[MAX_CODE_BITS + 1] = {
    0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F, 0x003F, 0x007F, 0x00FF,
    0x01FF, 0x03FF, 0x07FF, 0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};

// ---- Bit input for the block headers; the code loop keeps its own copy in registers ----

// Returns 0 when the entry's data ran out before `n` bits were there.
static int NeedBits(unsigned n)
{
    ExtractionContext &e = Extraction;
    while (e.bitCount < n) {
        if (!ReadCompressedByte(&e.lastByte))
            return 0;
        e.bitBuffer |= (uint32_t)e.lastByte << e.bitCount;
        e.bitCount += 8;
    }
    return 1;
}

static void DropBits(unsigned n)
{
    Extraction.bitBuffer >>= n;
    Extraction.bitCount -= n;
}

// Takes `n` bits (at most 16) into *value; 0 when the data ran out.
static int TakeBits(unsigned n, unsigned *value)
{
    if (!NeedBits(n))
        return 0;
    *value = Extraction.bitBuffer & kBitMask[n];
    DropBits(n);
    return 1;
}

static void PutWindowByte(unsigned char byte)
{
    ExtractionContext &e = Extraction;
    e.historyWindow[e.windowPos++] = byte;
    if (e.windowPos == WINDOW_SIZE) {
        FlushWindow(WINDOW_SIZE);
        e.windowPos = 0;
    }
}

void FlushWindow(unsigned count)
{
    ExtractionContext &e = Extraction;
    unsigned done = 0;
    while (done < count) {
        unsigned piece = (unsigned)(OUTPUT_BLOCK - e.outputCount);
        if (piece > count - done)
            piece = count - done;
        memcpy(e.outputPointer, e.historyWindow + done, piece);
        e.outputPointer += piece;
        e.outputCount += (int)piece;
        done += piece;
        if (e.outputCount == OUTPUT_BLOCK)
            FlushOutput();
    }
}

int Inflate(void)
{
    ExtractionContext &e = Extraction;
    e.windowPos = 0;
    e.bitBuffer = 0;
    e.bitCount = 0;
    int last = 0;
    do {
        int status = InflateBlock(&last);
        if (status != INFLATE_OK)
            return status;
    } while (!last);
    FlushWindow(e.windowPos);
    return INFLATE_OK;
}

int InflateBlock(int *lastOut)
{
    unsigned last, type;
    if (!TakeBits(1, &last) || !TakeBits(2, &type))
        return INFLATE_BAD_DATA;
    *lastOut = (int)last;
    switch (type) {
    case 0: return InflateStored();
    case 1: return InflateFixed();
    case 2: return InflateDynamic();
    }
    return INFLATE_BAD_CODE;
}

int InflateStored(void)
{
    ExtractionContext &e = Extraction;
    DropBits(e.bitCount % 8);
    unsigned length, complement;
    if (!TakeBits(16, &length) || !TakeBits(16, &complement) || complement != (~length & 0xFFFF))
        return INFLATE_BAD_DATA;

    while (length > 0) {
        // Whole bytes still in the bit buffer come first, then the archive's buffer in pieces.
        if (e.bitCount >= 8) {
            PutWindowByte((unsigned char)(e.bitBuffer & 0xFF));
            DropBits(8);
            --length;
            continue;
        }
        int32_t available = e.inputCount < e.compressedLeft ? e.inputCount : e.compressedLeft;
        if (available <= 0) {
            if (!NeedBits(8))
                return INFLATE_BAD_DATA;
            continue;
        }
        unsigned piece = length;
        if (piece > (unsigned)available)
            piece = (unsigned)available;
        if (piece > WINDOW_SIZE - e.windowPos)
            piece = WINDOW_SIZE - e.windowPos;
        memcpy(e.historyWindow + e.windowPos, e.inputPointer, piece);
        e.inputPointer += piece;
        e.inputCount -= (int32_t)piece;
        e.compressedLeft -= (int32_t)piece;
        e.windowPos += piece;
        length -= piece;
        if (e.windowPos == WINDOW_SIZE) {
            FlushWindow(WINDOW_SIZE);
            e.windowPos = 0;
        }
    }
    return INFLATE_OK;
}

int InflateFixed(void)
{
    unsigned lengths[LITERAL_SYMBOLS];
    unsigned symbol = 0;
    for (; symbol < 144; ++symbol)
        lengths[symbol] = 8;
    for (; symbol < 256; ++symbol)
        lengths[symbol] = 9;
    for (; symbol < 280; ++symbol)
        lengths[symbol] = 7;
    for (; symbol < LITERAL_SYMBOLS; ++symbol)
        lengths[symbol] = 8;

    HuffmanEntry *literalTable = NULL, *distanceTable = NULL;
    unsigned literalBits = FIXED_LITERAL_LOOKUP, distanceBits = FIXED_DISTANCE_LOOKUP;
    int status = BuildHuffmanTable(lengths, LITERAL_SYMBOLS, 257, kLengthBases, kLengthExtraBits,
                                   &literalTable, &literalBits);
    if (status != INFLATE_OK) {
        FreeHuffmanTable(literalTable);
        return status;
    }

    for (symbol = 0; symbol < DISTANCE_SYMBOLS; ++symbol)
        lengths[symbol] = 5;
    // Two of the 32 five-bit codes have no symbol: the incomplete set is accepted.
    status = BuildHuffmanTable(lengths, DISTANCE_SYMBOLS, 0, kDistanceBases, kDistanceExtraBits,
                               &distanceTable, &distanceBits);
    if (status > INFLATE_BAD_DATA) {
        FreeHuffmanTable(literalTable);
        return status;
    }

    status = InflateCodes(literalTable, distanceTable, FIXED_LITERAL_LOOKUP, FIXED_DISTANCE_LOOKUP);
    FreeHuffmanTable(literalTable);
    FreeHuffmanTable(distanceTable);
    return status != INFLATE_OK ? INFLATE_BAD_DATA : INFLATE_OK;
}

// Decodes one symbol of a single-level table (the code-length code). Near the end of the data the
// table may be indexed with fewer bits than its lookup: that is enough when the slot's code fits.
static int DecodeSingleLevel(const HuffmanEntry *table, unsigned lookupBits, unsigned *symbol)
{
    ExtractionContext &e = Extraction;
    while (e.bitCount < lookupBits && ReadCompressedByte(&e.lastByte)) {
        e.bitBuffer |= (uint32_t)e.lastByte << e.bitCount;
        e.bitCount += 8;
    }
    const HuffmanEntry *slot = table + (e.bitBuffer & kBitMask[lookupBits]);
    if (slot->bits > e.bitCount || slot->op != OP_LITERAL)
        return 0;
    DropBits(slot->bits);
    *symbol = slot->value.base;
    return 1;
}

// Reads the literal/length and distance code lengths with the code-length code.
static int ReadCodeLengths(const HuffmanEntry *codeLengthTable, unsigned lookupBits, unsigned *lengths, unsigned total)
{
    unsigned previous = 0;
    unsigned i = 0;
    while (i < total) {
        unsigned symbol;
        if (!DecodeSingleLevel(codeLengthTable, lookupBits, &symbol))
            return INFLATE_BAD_DATA;
        if (symbol < 16) {
            lengths[i++] = previous = symbol;
            continue;
        }
        unsigned extra, repeat, value;
        if (symbol == 16) {
            if (!TakeBits(2, &extra))
                return INFLATE_BAD_DATA;
            repeat = 3 + extra;
            value = previous;
        } else if (symbol == 17) {
            if (!TakeBits(3, &extra))
                return INFLATE_BAD_DATA;
            repeat = 3 + extra;
            value = previous = 0;
        } else {
            if (!TakeBits(7, &extra))
                return INFLATE_BAD_DATA;
            repeat = 11 + extra;
            value = previous = 0;
        }
        if (i + repeat > total)
            return INFLATE_BAD_DATA;
        while (repeat-- > 0)
            lengths[i++] = value;
    }
    return INFLATE_OK;
}

int InflateDynamic(void)
{
    unsigned literalCount, distanceCount, codeLengthCount;
    if (!TakeBits(5, &literalCount) || !TakeBits(5, &distanceCount) || !TakeBits(4, &codeLengthCount))
        return INFLATE_BAD_DATA;
    literalCount += 257;
    distanceCount += 1;
    codeLengthCount += 4;
    if (literalCount > 286 || distanceCount > DISTANCE_SYMBOLS)
        return INFLATE_BAD_DATA;

    unsigned lengths[286 + DISTANCE_SYMBOLS];
    unsigned i = 0;
    for (; i < codeLengthCount; ++i) {
        unsigned length;
        if (!TakeBits(3, &length))
            return INFLATE_BAD_DATA;
        lengths[kCodeLengthOrder[i]] = length;
    }
    for (; i < CODE_LENGTH_SYMBOLS; ++i)
        lengths[kCodeLengthOrder[i]] = 0;

    HuffmanEntry *codeLengthTable = NULL;
    unsigned codeLengthBits = CODE_LENGTH_LOOKUP;
    int status = BuildHuffmanTable(lengths, CODE_LENGTH_SYMBOLS, CODE_LENGTH_SYMBOLS, NULL, NULL,
                                   &codeLengthTable, &codeLengthBits);
    if (status != INFLATE_OK) {
        FreeHuffmanTable(codeLengthTable);
        return status;
    }
    status = ReadCodeLengths(codeLengthTable, codeLengthBits, lengths, literalCount + distanceCount);
    FreeHuffmanTable(codeLengthTable);
    if (status != INFLATE_OK)
        return status;

    HuffmanEntry *literalTable = NULL, *distanceTable = NULL;
    unsigned literalBits = DYNAMIC_LITERAL_LOOKUP, distanceBits = DYNAMIC_DISTANCE_LOOKUP;
    status = BuildHuffmanTable(lengths, literalCount, 257, kLengthBases, kLengthExtraBits,
                               &literalTable, &literalBits);
    if (status != INFLATE_OK) {
        FreeHuffmanTable(literalTable);
        return status;
    }
    status = BuildHuffmanTable(lengths + literalCount, distanceCount, 0, kDistanceBases, kDistanceExtraBits,
                               &distanceTable, &distanceBits);
    if (status != INFLATE_OK) {
        FreeHuffmanTable(literalTable);
        FreeHuffmanTable(distanceTable);
        return status;
    }

    status = InflateCodes(literalTable, distanceTable, literalBits, distanceBits);
    FreeHuffmanTable(literalTable);
    FreeHuffmanTable(distanceTable);
    return status != INFLATE_OK ? INFLATE_BAD_DATA : INFLATE_OK;
}

// ---- The code loop ----
// The bit buffer, the window position and the input cursor live in locals here: every window store
// is a byte store, which could alias the context's fields and would make the compiler reload them.

#define SAVE_INPUT()                                                   \
    do {                                                               \
        int32_t used_ = (int32_t)(next - Extraction.inputPointer);     \
        Extraction.inputPointer = (unsigned char *)next;               \
        Extraction.inputCount -= used_;                                \
        Extraction.compressedLeft -= used_;                            \
    } while (0)

#define LOAD_INPUT()                                                                    \
    do {                                                                                \
        next = Extraction.inputPointer;                                                 \
        available = Extraction.inputCount < Extraction.compressedLeft ? Extraction.inputCount \
                                                                      : Extraction.compressedLeft; \
        if (available < 0)                                                              \
            available = 0;                                                              \
    } while (0)

// Makes at least n bits available; when the data runs out, runs `onShort` and stops trying.
#define NEED_BITS(n, onShort)                                          \
    while (bitCount < (n)) {                                           \
        if (available > 0) {                                           \
            bitBuffer |= (uint32_t)*next++ << bitCount;                \
            --available;                                               \
        } else {                                                       \
            SAVE_INPUT();                                              \
            int got_ = ReadCompressedByte(&Extraction.lastByte);       \
            LOAD_INPUT();                                              \
            if (!got_) {                                               \
                onShort;                                               \
                break;                                                 \
            }                                                          \
            bitBuffer |= (uint32_t)Extraction.lastByte << bitCount;    \
        }                                                              \
        bitCount += 8;                                                 \
    }

#define DROP_BITS(n)        \
    do {                    \
        bitBuffer >>= (n);  \
        bitCount -= (n);    \
    } while (0)

// Follows links from a primary slot to the slot of the whole code. A lookup made with fewer valid
// bits than it indexes (only at the end of the data) counts when the slot's code fits in them.
#define DECODE_SLOT(slot)                                              \
    do {                                                               \
        if ((slot)->bits > bitCount)                                   \
            goto bad;                                                  \
        while ((slot)->op > OP_LITERAL) {                              \
            if ((slot)->op == OP_INVALID)                              \
                goto bad;                                              \
            unsigned subBits_ = (unsigned)(slot)->op - OP_LITERAL;     \
            DROP_BITS((slot)->bits);                                   \
            NEED_BITS(subBits_, (void)0);                              \
            (slot) = (slot)->value.table + (bitBuffer & kBitMask[subBits_]); \
            if ((slot)->bits > bitCount)                               \
                goto bad;                                              \
        }                                                              \
        DROP_BITS((slot)->bits);                                       \
    } while (0)

int InflateCodes(const HuffmanEntry *literalTable, const HuffmanEntry *distanceTable,
                 unsigned literalBits, unsigned distanceBits)
{
    unsigned char *const window = Extraction.historyWindow;
    uint32_t bitBuffer = Extraction.bitBuffer;
    unsigned bitCount = Extraction.bitCount;
    unsigned windowPos = Extraction.windowPos;
    const unsigned char *next;
    int32_t available;
    LOAD_INPUT();
    const uint32_t literalMask = kBitMask[literalBits];
    const uint32_t distanceMask = kBitMask[distanceBits];
    int status = INFLATE_BAD_DATA;

    for (;;) {
        NEED_BITS(literalBits, (void)0);
        const HuffmanEntry *slot = literalTable + (bitBuffer & literalMask);
        DECODE_SLOT(slot);
        unsigned op = slot->op;
        if (op == OP_LITERAL) {
            window[windowPos++] = (unsigned char)slot->value.base;
            if (windowPos == WINDOW_SIZE) {
                FlushWindow(WINDOW_SIZE);
                windowPos = 0;
            }
            continue;
        }
        if (op == OP_END) {
            status = INFLATE_OK;
            break;
        }

        NEED_BITS(op, goto bad);
        unsigned length = slot->value.base + (bitBuffer & kBitMask[op]);
        DROP_BITS(op);

        NEED_BITS(distanceBits, (void)0);
        slot = distanceTable + (bitBuffer & distanceMask);
        DECODE_SLOT(slot);
        op = slot->op;
        NEED_BITS(op, goto bad);
        unsigned distance = slot->value.base + (bitBuffer & kBitMask[op]);
        DROP_BITS(op);

        // A distance reaching before the entry's first byte copies what the window still holds.
        unsigned from = (windowPos - distance) & (WINDOW_SIZE - 1);
        while (length > 0) {
            unsigned piece = length;
            if (piece > WINDOW_SIZE - from)
                piece = WINDOW_SIZE - from;
            if (piece > WINDOW_SIZE - windowPos)
                piece = WINDOW_SIZE - windowPos;
            unsigned char *to = window + windowPos;
            const unsigned char *source = window + from;
            if (windowPos - from >= piece) {
                // No byte of this piece is produced by the piece itself.
                if (piece <= 16) {
                    for (unsigned i = 0; i < piece; ++i)
                        to[i] = source[i];
                } else {
                    memmove(to, source, piece);
                }
            } else {
                // A distance shorter than the length repeats the bytes it has just written.
                for (unsigned i = 0; i < piece; ++i)
                    to[i] = source[i];
            }
            windowPos += piece;
            from = (from + piece) & (WINDOW_SIZE - 1);
            length -= piece;
            if (windowPos == WINDOW_SIZE) {
                FlushWindow(WINDOW_SIZE);
                windowPos = 0;
            }
        }
    }
bad:
    SAVE_INPUT();
    Extraction.bitBuffer = bitBuffer;
    Extraction.bitCount = bitCount;
    Extraction.windowPos = windowPos;
    return status;
}

// ---- Tables ----

int BuildHuffmanTable(const unsigned *lengths, unsigned count, unsigned simpleCount,
                      const uint16_t *bases, const uint16_t *extraBits,
                      HuffmanEntry **tableOut, unsigned *lookupBitsInOut)
{
    *tableOut = NULL;
    unsigned lengthCount[MAX_CODE_BITS + 1] = {0};
    for (unsigned s = 0; s < count; ++s) {
        if (lengths[s] > MAX_CODE_BITS)
            return INFLATE_BAD_CODE;
        ++lengthCount[lengths[s]];
    }
    if (lengthCount[0] == count)
        return INFLATE_BAD_CODE;

    unsigned shortest = 1, longest = MAX_CODE_BITS;
    while (lengthCount[shortest] == 0)
        ++shortest;
    while (lengthCount[longest] == 0)
        --longest;
    unsigned lookup = *lookupBitsInOut;
    if (lookup < shortest)
        lookup = shortest;
    if (lookup > longest)
        lookup = longest;
    *lookupBitsInOut = lookup;

    // Canonical order: by length, then by symbol.
    unsigned sorted[LITERAL_SYMBOLS];
    unsigned offsets[MAX_CODE_BITS + 2];
    offsets[1] = 0;
    for (unsigned k = 1; k <= MAX_CODE_BITS; ++k)
        offsets[k + 1] = offsets[k] + lengthCount[k];
    unsigned sortedCount = offsets[MAX_CODE_BITS + 1];
    for (unsigned s = 0; s < count; ++s) {
        if (lengths[s] != 0)
            sorted[offsets[lengths[s]]++] = s;
    }

    // Over-subscribed sets are refused; unused codes are made into invalid slots.
    int room = 1 << shortest;
    for (unsigned k = shortest; k < longest; ++k) {
        room -= (int)lengthCount[k];
        if (room < 0)
            return INFLATE_BAD_CODE;
        room <<= 1;
    }
    room -= (int)lengthCount[longest];
    if (room < 0)
        return INFLATE_BAD_CODE;
    lengthCount[longest] += (unsigned)room;

    HuffmanEntry *levelTable[MAX_CODE_BITS + 1];
    unsigned levelSizeBits[MAX_CODE_BITS + 1];
    unsigned levelCode[MAX_CODE_BITS + 1];
    HuffmanEntry *lastHeader = NULL;
    unsigned code = 0;           // the current code, bit-reversed
    int level = -1;
    int decoded = -(int)lookup;  // code bits decoded by the levels above the current one
    unsigned nextSorted = 0;

    for (unsigned k = shortest; k <= longest; ++k) {
        for (unsigned remaining = lengthCount[k]; remaining > 0; --remaining) {
            while ((int)k > decoded + (int)lookup) {
                ++level;
                decoded += (int)lookup;
                unsigned limit = longest - (unsigned)decoded < lookup ? longest - (unsigned)decoded : lookup;
                unsigned j = k - (unsigned)decoded;
                if ((1u << j) > remaining && j < limit) {
                    // Grow the table while the codes under it need the room.
                    unsigned spare = (1u << j) - remaining;
                    unsigned length = k;
                    while (++j < limit) {
                        spare <<= 1;
                        ++length;
                        if (spare <= lengthCount[length])
                            break;
                        spare -= lengthCount[length];
                    }
                }
                unsigned size = 1u << j;
                HuffmanEntry *block = (HuffmanEntry *)malloc((size + 1) * sizeof(HuffmanEntry));
                if (block == NULL) {
                    FreeHuffmanTable(*tableOut);
                    *tableOut = NULL;
                    SendProgressLine("Memory error");
                    return INFLATE_NO_MEMORY;
                }
                block[0].op = 0;
                block[0].bits = 0;
                block[0].value.table = NULL;
                HuffmanEntry *table = block + 1;
                if (lastHeader == NULL)
                    *tableOut = table;
                else
                    lastHeader->value.table = table;
                lastHeader = block;
                levelTable[level] = table;
                levelSizeBits[level] = j;
                levelCode[level] = 0;
                if (level > 0) {
                    levelCode[level] = code;
                    HuffmanEntry link;
                    link.op = (uint8_t)(OP_LITERAL + j);
                    link.bits = (uint8_t)lookup;
                    link.value.table = table;
                    unsigned index = (code >> (decoded - (int)lookup)) & ((1u << levelSizeBits[level - 1]) - 1);
                    levelTable[level - 1][index] = link;
                }
            }

            HuffmanEntry slot;
            slot.bits = (uint8_t)(k - (unsigned)decoded);
            if (nextSorted >= sortedCount) {
                slot.op = OP_INVALID;
                slot.value.base = 0;
            } else {
                unsigned symbol = sorted[nextSorted++];
                if (symbol < simpleCount) {
                    slot.op = symbol < 256 ? OP_LITERAL : OP_END;
                    slot.value.base = (uint16_t)symbol;
                } else {
                    slot.op = (uint8_t)extraBits[symbol - simpleCount];
                    slot.value.base = bases[symbol - simpleCount];
                }
            }
            unsigned step = 1u << (k - (unsigned)decoded);
            unsigned size = 1u << levelSizeBits[level];
            for (unsigned index = code >> decoded; index < size; index += step)
                levelTable[level][index] = slot;

            unsigned bit = 1u << (k - 1);
            while (code & bit) {
                code ^= bit;
                bit >>= 1;
            }
            code ^= bit;

            while ((code & ((1u << decoded) - 1)) != levelCode[level]) {
                --level;
                decoded -= (int)lookup;
            }
        }
    }
    return room != 0 && count != 1 ? INFLATE_BAD_DATA : INFLATE_OK;
}

void FreeHuffmanTable(HuffmanEntry *table)
{
    while (table != NULL) {
        HuffmanEntry *header = table - 1;
        table = header->value.table;
        free(header);
    }
}
