// The ZIP reader: finds the end-of-central-directory record, walks the central directory in batches
// and hands each entry, positioned at its data, to ExtractEntry. Single-disk archives only; entries
// are stored or deflated; nothing is decrypted and no folder is made.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "extract/extract.h"
#include "extract/extract_platform.h"

ExtractionContext Extraction;

static const unsigned char kEndSignature[4] = {'P', 'K', 5, 6};
static const unsigned char kCentralSignature[4] = {'P', 'K', 1, 2};
static const unsigned char kLocalSignature[4] = {'P', 'K', 3, 4};

enum {
    END_RECORD_SIZE = 22,     // with its signature
    CENTRAL_HEADER_SIZE = 42, // after its signature
    LOCAL_HEADER_SIZE = 26,   // after its signature
    SIGNATURE_SIZE = 4,
    LOOK_AHEAD = 3,
    MAX_END_SEARCH = 65535 + END_RECORD_SIZE,  // the largest comment and the record itself
    HOST_VMS = 2,
    LINE_SIZE = 400
};

static uint16_t ReadU16LE(const unsigned char *p)
{
    return (uint16_t)(p[0] | (p[1] << 8));
}

static uint32_t ReadU32LE(const unsigned char *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

static int Max(int a, int b)
{
    return a > b ? a : b;
}

static void SendLine(const char *before, const char *text)
{
    char line[LINE_SIZE];
    snprintf(line, sizeof line, "%s%s", before, text);
    SendProgressLine(line);
}

static int ReadSignature(const unsigned char *expected)
{
    unsigned char bytes[SIGNATURE_SIZE];
    return ReadArchiveBytes(bytes, SIGNATURE_SIZE) == SIGNATURE_SIZE && memcmp(bytes, expected, SIGNATURE_SIZE) == 0;
}

// Everything but the decoder's window, which outlives each extraction.
static void ResetContext(ProgressTarget progressTarget)
{
    ExtractionContext &e = Extraction;
    e.archivePath[0] = '\0';
    e.targetFolder[0] = '\0';
    e.progressWindow = progressTarget;
    e.archiveFile = -1;
    e.archiveSize = 0;
    e.inputBuffer = NULL;
    e.inputPointer = NULL;
    e.inputCount = 0;
    e.bufferStart = -1;
    e.extraBytes = 0;
    memset(&e.endRecord, 0, sizeof e.endRecord);
    memset(&e.centralHeader, 0, sizeof e.centralHeader);
    memset(&e.localHeader, 0, sizeof e.localHeader);
    e.entryName[0] = '\0';
    e.extraField = NULL;
    memset(&e.currentEntry, 0, sizeof e.currentEntry);
    e.outputBuffer = NULL;
    e.outputPointer = NULL;
    e.outputCount = 0;
    e.outputFile = -1;
    e.crcRegister = 0;
    e.writeFailed = 0;
    e.compressedLeft = 0;
    e.lastByte = 0;
}

static void FreeBuffers(void)
{
    free(Extraction.inputBuffer);
    free(Extraction.outputBuffer);
    free(Extraction.extraField);
    Extraction.inputBuffer = NULL;
    Extraction.inputPointer = NULL;
    Extraction.inputCount = 0;
    Extraction.outputBuffer = NULL;
    Extraction.outputPointer = NULL;
    Extraction.extraField = NULL;
}

int UnzipArchive(const char *archivePath, const char *targetFolder, ProgressTarget progressTarget)
{
    ExtractionContext &e = Extraction;
    ResetContext(progressTarget);

    size_t pathLength = strlen(archivePath);
    if (pathLength >= sizeof e.archivePath) {
        SendLine("Can't find ZIP file ", archivePath);
        return XS_NOT_FOUND;
    }
    memcpy(e.archivePath, archivePath, pathLength + 1);
    // A longer folder would have to be cut, and then the files would land somewhere else.
    size_t folderLength = strlen(targetFolder);
    if (folderLength >= sizeof e.targetFolder) {
        SendLine("Can't create ", targetFolder);
        return XS_OUTPUT;
    }
    memcpy(e.targetFolder, targetFolder, folderLength + 1);

    int isFolder = 0;
    int64_t size = 0;
    if (!LookUpFile(e.archivePath, &isFolder, &size) || isFolder) {
        static const char kSuffix[] = ".zip";
        if (pathLength + sizeof kSuffix > sizeof e.archivePath) {
            SendLine("Can't find ZIP file ", archivePath);
            return XS_NOT_FOUND;
        }
        memcpy(e.archivePath + pathLength, kSuffix, sizeof kSuffix);
        if (!LookUpFile(e.archivePath, &isFolder, &size) || isFolder) {
            SendLine("Can't find ZIP file ", e.archivePath);
            return XS_NOT_FOUND;
        }
    }
    // Offsets are 32-bit signed here; a larger file is no archive this reader can walk.
    if (size > INT32_MAX - 2 * ARCHIVE_BLOCK) {
        SendProgressLine("Can't open file");
        return XS_NOT_FOUND;
    }
    e.archiveSize = (int32_t)size;

    e.inputBuffer = (unsigned char *)malloc(INPUT_BUFFER_SIZE);
    e.outputBuffer = (unsigned char *)malloc(OUTPUT_BUFFER_SIZE);
    if (e.inputBuffer == NULL || e.outputBuffer == NULL) {
        FreeBuffers();
        return XS_NO_MEMORY;
    }
    e.inputPointer = e.inputBuffer;
    e.outputPointer = e.outputBuffer;

    int status = ProcessArchive();
    FreeBuffers();
    return status;
}

static int WalkOpenArchive(void)
{
    ExtractionContext &e = Extraction;
    if (!FindEndRecord())
        return XS_ARCHIVE_ERROR;
    int64_t endPosition = (int64_t)e.bufferStart + (e.inputPointer - e.inputBuffer);
    if (!ReadEndRecord())
        return XS_EOF;

    int status = XS_OK;
    if (e.endRecord.thisDisk == 0) {
        // the usual single-disk archive
    } else if (e.endRecord.thisDisk == 1 && e.endRecord.centralDisk == 1) {
        fprintf(stderr, "warning: %s claims to be disk 2 of a two-part archive; processing anyway\n",
                e.archivePath);
        status = XS_WARNING;
    } else {
        SendProgressLine("Multi-disk archives are not supported");
        return XS_NO_FILES;
    }

    uint32_t offsetAsRead = e.endRecord.centralOffset;
    uint32_t size = e.endRecord.centralSize;
    int64_t centralOffset = offsetAsRead;
    e.extraBytes = endPosition - ((int64_t)offsetAsRead + size);
    if (e.extraBytes < 0) {
        status = XS_ARCHIVE_ERROR;
    } else if (e.extraBytes > 0) {
        if (offsetAsRead == 0 && size != 0) {
            centralOffset = e.extraBytes;
            e.extraBytes = 0;
            status = XS_ARCHIVE_ERROR;
        } else {
            status = Max(status, XS_WARNING);
        }
    }

    if (offsetAsRead == 0 && size == 0)
        return Max(status, XS_WARNING);  // an empty archive

    int seek = SeekArchive(centralOffset);
    if (seek != XS_OK)
        return seek;
    if (!ReadSignature(kCentralSignature)) {
        e.extraBytes = 0;
        if (SeekArchive(centralOffset) != XS_OK || !ReadSignature(kCentralSignature)) {
            SendProgressLine("The ZIP file is damaged");
            return XS_SEVERE;
        }
        status = XS_ARCHIVE_ERROR;
    }
    seek = SeekArchive(centralOffset);
    if (seek != XS_OK)
        return seek;
    return Max(status, ExtractEntries());
}

int ProcessArchive(void)
{
    ExtractionContext &e = Extraction;
    e.archiveFile = OpenArchiveFile(e.archivePath);
    if (e.archiveFile < 0) {
        SendProgressLine("Can't open file");
        return XS_NOT_FOUND;
    }
    int status = WalkOpenArchive();
    CloseFile(e.archiveFile);
    e.archiveFile = -1;
    return status;
}

static int MatchesEndSignature(const unsigned char *p)
{
    return memcmp(p, kEndSignature, SIGNATURE_SIZE) == 0;
}

static void EndRecordFoundAt(int position, int dataBytes)
{
    Extraction.inputPointer = Extraction.inputBuffer + position;
    Extraction.inputCount = dataBytes - position;
}

int FindEndRecord(void)
{
    ExtractionContext &e = Extraction;
    unsigned char *buffer = e.inputBuffer;
    int32_t size = e.archiveSize;

    if (size <= ARCHIVE_BLOCK) {
        e.bufferStart = 0;
        e.inputPointer = buffer;
        e.inputCount = 0;
        if (!SeekFile(e.archiveFile, 0) || ReadFileBytes(e.archiveFile, buffer, size) < size) {
            SendProgressLine("Bad ZIP file");
            return 0;
        }
        for (int position = size - END_RECORD_SIZE; position >= 0; --position) {
            if (MatchesEndSignature(buffer + position)) {
                EndRecordFoundAt(position, size);
                return 1;
            }
        }
        e.inputCount = size;
        SendProgressLine("Bad ZIP file");
        return 0;
    }

    int32_t tail = size % ARCHIVE_BLOCK;
    int haveLookAhead = 0;
    e.bufferStart = size - tail;
    e.inputPointer = buffer;
    e.inputCount = 0;
    // A tail too short to hold the record's signature with its 3 look-ahead bytes is not read:
    // a record that ends in it starts in the block before.
    if (tail >= 19) {
        if (!SeekFile(e.archiveFile, e.bufferStart) || ReadFileBytes(e.archiveFile, buffer, tail) < tail) {
            SendProgressLine("Bad ZIP file");
            return 0;
        }
        for (int position = tail - END_RECORD_SIZE; position >= 0; --position) {
            if (MatchesEndSignature(buffer + position)) {
                EndRecordFoundAt(position, tail);
                return 1;
            }
        }
        memcpy(buffer + ARCHIVE_BLOCK, buffer, LOOK_AHEAD);
        haveLookAhead = 1;
    }

    int32_t searched = size < MAX_END_SEARCH ? size : MAX_END_SEARCH;
    int32_t blocks = (searched - tail + ARCHIVE_BLOCK - 1) / ARCHIVE_BLOCK;
    for (int32_t block = 0; block < blocks && e.bufferStart >= ARCHIVE_BLOCK; ++block) {
        e.bufferStart -= ARCHIVE_BLOCK;
        e.inputPointer = buffer;
        e.inputCount = 0;
        if (!SeekFile(e.archiveFile, e.bufferStart) ||
            ReadFileBytes(e.archiveFile, buffer, ARCHIVE_BLOCK) < ARCHIVE_BLOCK) {
            SendProgressLine("Bad ZIP file");
            return 0;
        }
        int first = haveLookAhead ? ARCHIVE_BLOCK - 1 : ARCHIVE_BLOCK - SIGNATURE_SIZE;
        for (int position = first; position >= 0; --position) {
            if (MatchesEndSignature(buffer + position)) {
                EndRecordFoundAt(position, ARCHIVE_BLOCK);
                return 1;
            }
        }
        memcpy(buffer + ARCHIVE_BLOCK, buffer, LOOK_AHEAD);
        haveLookAhead = 1;
        e.inputCount = ARCHIVE_BLOCK;
    }
    SendProgressLine("Bad ZIP file");
    return 0;
}

int ReadEndRecord(void)
{
    unsigned char record[END_RECORD_SIZE];
    if (ReadArchiveBytes(record, END_RECORD_SIZE) < END_RECORD_SIZE)
        return 0;
    EndRecord &r = Extraction.endRecord;
    r.thisDisk = ReadU16LE(record + 4);
    r.centralDisk = ReadU16LE(record + 6);
    r.entriesHere = ReadU16LE(record + 8);
    r.totalEntries = ReadU16LE(record + 10);
    r.centralSize = ReadU32LE(record + 12);
    r.centralOffset = ReadU32LE(record + 16);
    r.commentLength = ReadU16LE(record + 20);
    return 1;
}

int ReadNextBlock(void)
{
    ExtractionContext &e = Extraction;
    int got = ReadFileBytes(e.archiveFile, e.inputBuffer, ARCHIVE_BLOCK);
    if (got <= 0)
        return got;
    e.bufferStart += ARCHIVE_BLOCK;
    e.inputPointer = e.inputBuffer;
    e.inputCount = got;
    return got;
}

int ReadArchiveBytes(unsigned char *destination, int count)
{
    ExtractionContext &e = Extraction;
    int copied = 0;
    while (copied < count) {
        if (e.inputCount <= 0 && ReadNextBlock() <= 0)
            return copied;
        int piece = count - copied < e.inputCount ? count - copied : e.inputCount;
        memcpy(destination + copied, e.inputPointer, (size_t)piece);
        e.inputPointer += piece;
        e.inputCount -= piece;
        copied += piece;
    }
    return count;
}

// Positions the reading at a file position, reading its block unless the buffer holds it already.
// A position beyond the end of the file is a failed read.
static int SeekArchivePosition(int64_t position)
{
    ExtractionContext &e = Extraction;
    if (position < 0)
        return XS_SEVERE;
    int64_t block = position - position % ARCHIVE_BLOCK;
    int inside = (int)(position % ARCHIVE_BLOCK);
    int held;
    if (block == e.bufferStart) {
        held = (int)(e.inputPointer - e.inputBuffer) + e.inputCount;
    } else {
        if (block > INT32_MAX - ARCHIVE_BLOCK || !SeekFile(e.archiveFile, (int32_t)block))
            return XS_EOF;
        e.bufferStart = (int32_t)block;
        e.inputPointer = e.inputBuffer;
        e.inputCount = 0;
        held = ReadFileBytes(e.archiveFile, e.inputBuffer, ARCHIVE_BLOCK);
        if (held <= 0)
            return XS_EOF;
    }
    if (inside > held) {
        e.inputPointer = e.inputBuffer + held;
        e.inputCount = 0;
        return XS_EOF;
    }
    e.inputPointer = e.inputBuffer + inside;
    e.inputCount = held - inside;
    return XS_OK;
}

int SeekArchive(int64_t offset)
{
    return SeekArchivePosition(offset + Extraction.extraBytes);
}

int ReadCentralHeader(void)
{
    unsigned char h[CENTRAL_HEADER_SIZE];
    if (ReadArchiveBytes(h, CENTRAL_HEADER_SIZE) < CENTRAL_HEADER_SIZE)
        return 0;
    CentralHeader &c = Extraction.centralHeader;
    c.versionNeeded = h[2];
    c.versionHost = h[3];
    c.flags = ReadU16LE(h + 4);
    c.method = ReadU16LE(h + 6);
    c.time = ReadU16LE(h + 8);
    c.date = ReadU16LE(h + 10);
    c.crc32 = ReadU32LE(h + 12);
    c.compressedSize = ReadU32LE(h + 16);
    c.uncompressedSize = ReadU32LE(h + 20);
    c.nameLength = ReadU16LE(h + 24);
    c.extraLength = ReadU16LE(h + 26);
    c.commentLength = ReadU16LE(h + 28);
    c.diskStart = ReadU16LE(h + 30);
    c.internalAttributes = ReadU16LE(h + 32);
    c.externalAttributes = ReadU32LE(h + 34);
    c.localOffset = ReadU32LE(h + 38);
    return 1;
}

int ReadLocalHeader(void)
{
    unsigned char h[LOCAL_HEADER_SIZE];
    if (ReadArchiveBytes(h, LOCAL_HEADER_SIZE) < LOCAL_HEADER_SIZE)
        return 0;
    LocalHeader &l = Extraction.localHeader;
    l.versionNeeded = ReadU16LE(h + 0);
    l.flags = ReadU16LE(h + 2);
    l.method = ReadU16LE(h + 4);
    l.time = ReadU16LE(h + 6);
    l.date = ReadU16LE(h + 8);
    l.crc32 = ReadU32LE(h + 10);
    l.compressedSize = ReadU32LE(h + 14);
    l.uncompressedSize = ReadU32LE(h + 18);
    l.nameLength = ReadU16LE(h + 22);
    l.extraLength = ReadU16LE(h + 24);
    // Sizes and CRC-32 that follow the data are known from the central directory.
    if (l.flags & 0x0008) {
        l.crc32 = Extraction.currentEntry.crc32;
        l.compressedSize = Extraction.currentEntry.compressedSize;
    }
    Extraction.compressedLeft = (int32_t)l.compressedSize;
    return 1;
}

int StoreEntryInfo(void)
{
    ExtractionContext &e = Extraction;
    e.currentEntry.crc32 = e.centralHeader.crc32;
    e.currentEntry.compressedSize = e.centralHeader.compressedSize;
    e.currentEntry.localOffset = e.centralHeader.localOffset;
    // A VMS entry would need a question answered on a console; a windowed installer has none.
    return e.centralHeader.versionHost != HOST_VMS;
}

int ReadHeaderField(unsigned length, HeaderFieldKind kind)
{
    ExtractionContext &e = Extraction;
    if (kind == FIELD_NAME) {
        // An empty name must not leave the previous entry's name in place.
        e.entryName[0] = '\0';
    }
    if (length == 0)
        return XS_OK;

    switch (kind) {
    case FIELD_NAME: {
        unsigned keep = length < ENTRY_NAME_SIZE ? length : ENTRY_NAME_SIZE - 1;
        if (ReadArchiveBytes((unsigned char *)e.entryName, (int)keep) < (int)keep) {
            e.entryName[0] = '\0';
            return XS_EOF;
        }
        e.entryName[keep] = '\0';
        if (keep == length)
            return XS_OK;
        int skipped = ReadHeaderField(length - keep, FIELD_SKIP);
        return skipped != XS_OK ? skipped : XS_WARNING;
    }
    case FIELD_EXTRA:
        free(e.extraField);
        e.extraField = (unsigned char *)malloc(length);
        if (e.extraField == NULL) {
            int skipped = ReadHeaderField(length, FIELD_SKIP);
            return skipped == XS_OK ? XS_OK : skipped;
        }
        return ReadArchiveBytes(e.extraField, (int)length) < (int)length ? XS_EOF : XS_OK;
    case FIELD_SKIP: {
        // The current position already includes extraBytes.
        int64_t position = (int64_t)e.bufferStart + (e.inputPointer - e.inputBuffer);
        return SeekArchivePosition(position + length) == XS_OK ? XS_OK : XS_EOF;
    }
    }
    return XS_OK;
}

// Collects at most ENTRY_BATCH central entries into `table`; returns how many were kept.
static int CollectBatch(EntryInfo *table, int *remaining, int *skipped, int *status)
{
    ExtractionContext &e = Extraction;
    int count = 0;
    while (*remaining > 0 && count < ENTRY_BATCH) {
        --*remaining;
        unsigned char signature[SIGNATURE_SIZE];
        if (ReadArchiveBytes(signature, SIGNATURE_SIZE) < SIGNATURE_SIZE) {
            *status = XS_EOF;
            *remaining = 0;
            break;
        }
        if (memcmp(signature, kCentralSignature, SIGNATURE_SIZE) != 0) {
            *status = XS_SEVERE;
            *remaining = 0;
            break;
        }
        if (!ReadCentralHeader()) {
            *status = XS_EOF;
            *remaining = 0;
            break;
        }
        const CentralHeader &c = e.centralHeader;
        const unsigned lengths[3] = {c.nameLength, c.extraLength, c.commentLength};
        const HeaderFieldKind kinds[3] = {FIELD_NAME, FIELD_EXTRA, FIELD_SKIP};
        int broken = 0;
        for (int field = 0; field < 3 && !broken; ++field) {
            int result = ReadHeaderField(lengths[field], kinds[field]);
            *status = Max(*status, result);
            broken = result > XS_WARNING;
        }
        if (broken) {
            *remaining = 0;
            break;
        }
        if (StoreEntryInfo())
            table[count++] = e.currentEntry;
        else
            ++*skipped;
    }
    return count;
}

// Reads one entry's local header, name and extra field, then extracts it.
static int ExtractListedEntry(const EntryInfo &entry, int status)
{
    ExtractionContext &e = Extraction;
    e.currentEntry = entry;
    if (SeekArchive(entry.localOffset) != XS_OK || !ReadSignature(kLocalSignature))
        return XS_SEVERE;
    if (!ReadLocalHeader())
        return XS_EOF;
    int result = ReadHeaderField(e.localHeader.nameLength, FIELD_NAME);
    status = Max(status, result);
    if (result > XS_WARNING)
        return status;
    result = ReadHeaderField(e.localHeader.extraLength, FIELD_EXTRA);
    status = Max(status, result);
    if (result > XS_WARNING)
        return status;
    e.writeFailed = 0;
    return Max(status, ExtractEntry());
}

int ExtractEntries(void)
{
    ExtractionContext &e = Extraction;
    EntryInfo table[ENTRY_BATCH];
    int remaining = e.endRecord.totalEntries;
    int skipped = 0;
    int status = XS_OK;

    while (remaining > 0) {
        int count = CollectBatch(table, &remaining, &skipped, &status);

        int32_t keptStart = e.bufferStart;
        int keptOffset = (int)(e.inputPointer - e.inputBuffer);
        int32_t keptCount = e.inputCount;

        for (int i = 0; i < count; ++i) {
            status = ExtractListedEntry(table[i], status);
            if (e.writeFailed)
                return status;
        }

        // The entries' data went through the same buffer: read the directory's block again.
        int got = 0;
        if (keptStart >= 0 && SeekFile(e.archiveFile, keptStart))
            got = ReadFileBytes(e.archiveFile, e.inputBuffer, ARCHIVE_BLOCK);
        e.bufferStart = keptStart;
        e.inputPointer = e.inputBuffer + keptOffset;
        e.inputCount = got - keptOffset < keptCount ? got - keptOffset : keptCount;
        if (e.inputCount < 0)
            e.inputCount = 0;
    }

    if (!ReadSignature(kEndSignature) && status == XS_OK)
        status = XS_WARNING;
    if (skipped > 0 && status == XS_OK)
        status = XS_WARNING;
    return status;
}
