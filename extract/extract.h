// Payload extraction: the integrity check and staging of the embedded archive, the ZIP reader, file
// output with its CRC-32, and the DEFLATE decoder. The install run calls InstallPayload; everything
// else is here for the pieces of the subsystem and for their tests.
//
// All of it works on one program-wide ExtractionContext: one extraction at a time, on one thread.
#ifndef VELTMOOR_EXTRACT_H
#define VELTMOOR_EXTRACT_H

#ifdef _WIN32
#include <windows.h>
#endif

#include <stddef.h>
#include <stdint.h>

// ---- Status of the extraction: combined by keeping the larger value ----
enum ExtractStatus {
    XS_OK = 0,             // success
    XS_WARNING = 1,        // something was skipped or looked wrong; processing went on
    XS_ARCHIVE_ERROR = 2,  // error in the archive's directory; processing went on
    XS_SEVERE = 3,         // a header was not found where expected
    XS_NO_MEMORY = 4,      // the reader's buffers could not be allocated
    XS_NOT_FOUND = 9,      // the archive does not exist or cannot be opened
    XS_NO_FILES = 11,      // multi-disk archive, nothing extracted
    XS_OUTPUT = 50,        // an output file could not be created or written
    XS_EOF = 51            // the archive ended in the middle of a record or field
};

// Where progress lines go. In the installer, the wizard: each line arrives as a synchronous
// WM_INSTALL_PROGRESS. Elsewhere a function that receives each line. Null sends nothing.
#ifdef _WIN32
typedef HWND ProgressTarget;
#else
typedef void (*ProgressTarget)(const char *line);
#endif

// ---- Sizes that the reader's behaviour depends on ----
enum {
    ARCHIVE_BLOCK = 2048,        // every archive read and every seek works in blocks of this size
    INPUT_BUFFER_SIZE = 2052,    // a block, 3 look-ahead bytes for the end-record search, 1 spare
    OUTPUT_BLOCK = 2048,         // extracted data is written in blocks of this size
    OUTPUT_BUFFER_SIZE = 2049,   // a block and 1 spare
    ENTRY_BATCH = 64,            // central entries held in memory at a time
    ENTRY_NAME_SIZE = 260,       // at most 259 bytes of a name, then a NUL
    WINDOW_SIZE = 32768          // the decoder's history window
};

// ---- Records of the archive (fields as stored, little-endian) ----
struct EndRecord {
    uint16_t thisDisk;
    uint16_t centralDisk;       // disk with the start of the central directory
    uint16_t entriesHere;
    uint16_t totalEntries;      // the count walked
    uint32_t centralSize;
    uint32_t centralOffset;
    uint16_t commentLength;
};

struct CentralHeader {
    uint8_t versionNeeded;      // the version number
    uint8_t versionHost;        // the host system that the version refers to (2: VMS)
    uint16_t flags;
    uint16_t method;
    uint16_t time;
    uint16_t date;
    uint32_t crc32;
    uint32_t compressedSize;
    uint32_t uncompressedSize;
    uint16_t nameLength;
    uint16_t extraLength;
    uint16_t commentLength;
    uint16_t diskStart;
    uint16_t internalAttributes;
    uint32_t externalAttributes;
    uint32_t localOffset;
};

struct LocalHeader {
    uint16_t versionNeeded;
    uint16_t flags;             // bit 3: sizes and CRC-32 follow the data
    uint16_t method;
    uint16_t time;
    uint16_t date;
    uint32_t crc32;
    uint32_t compressedSize;
    uint32_t uncompressedSize;
    uint16_t nameLength;
    uint16_t extraLength;
};

struct EntryInfo {
    uint32_t localOffset;
    uint32_t compressedSize;
    uint32_t crc32;
};

// ---- The one extraction state ----
struct ExtractionContext {
    // The reader
    char archivePath[260];
    char targetFolder[264];
    ProgressTarget progressWindow;
    int archiveFile;            // descriptor, or -1
    int32_t archiveSize;
    unsigned char *inputBuffer;
    unsigned char *inputPointer;
    int32_t inputCount;         // unread bytes from inputPointer on
    int32_t bufferStart;        // file offset of inputBuffer[0], a multiple of ARCHIVE_BLOCK
    int64_t extraBytes;         // bytes in front of the archive's own offsets
    EndRecord endRecord;
    CentralHeader centralHeader;
    LocalHeader localHeader;
    char entryName[ENTRY_NAME_SIZE];
    unsigned char *extraField;
    EntryInfo currentEntry;

    // File output
    unsigned char *outputBuffer;
    unsigned char *outputPointer;
    int outputCount;
    int outputFile;             // descriptor, or -1
    uint32_t crcRegister;
    int writeFailed;
    int32_t compressedLeft;
    uint16_t lastByte;

    // The decoder. The window lives as long as the program and is never cleared.
    unsigned char historyWindow[WINDOW_SIZE];
    unsigned windowPos;
    uint32_t bitBuffer;
    unsigned bitCount;
};

extern ExtractionContext Extraction;

// ---- CRC-32 (the standard one of ZIP and gzip) ----
extern const uint32_t Crc32Table[256];
// The CRC-32 of `length` bytes continued from `crc` (0 to start). Null `bytes` gives 0.
uint32_t PayloadCrc32(uint32_t crc, const unsigned char *bytes, size_t length);
// Advances Extraction.crcRegister (no initial value or final complement) over `length` bytes.
void Crc32Update(const unsigned char *bytes, size_t length);

// ---- ZIP reader ----
int UnzipArchive(const char *archivePath, const char *targetFolder, ProgressTarget progressTarget);
int ProcessArchive(void);
int FindEndRecord(void);
int ReadEndRecord(void);
int ExtractEntries(void);
int ReadArchiveBytes(unsigned char *destination, int count);
int ReadNextBlock(void);  // the next block into inputBuffer: bytes read, 0 or less at the end
int SeekArchive(int64_t offset);
int ReadCentralHeader(void);
int ReadLocalHeader(void);
int StoreEntryInfo(void);  // 1: keep the entry, 0: skip it
enum HeaderFieldKind { FIELD_NAME, FIELD_EXTRA, FIELD_SKIP };
int ReadHeaderField(unsigned length, HeaderFieldKind kind);

// ---- File output ----
int ExtractEntry(void);
int OpenOutputFile(void);
int ReadCompressedByte(uint16_t *destination);  // 8 for a byte, 0 when the data is used up
int FlushOutput(void);
void CloseOutputFile(void);
// True when an entry name stays inside the target folder: not absolute, no drive, no ".." part.
int IsSafeEntryName(const char *name);

// ---- DEFLATE decoder ----
enum InflateStatus { INFLATE_OK = 0, INFLATE_BAD_DATA = 1, INFLATE_BAD_CODE = 2, INFLATE_NO_MEMORY = 3 };

struct HuffmanEntry {
    uint8_t op;    // 16 literal, 15 end of block, 0..13 extra bits of a base, 17..31 link, 99 invalid
    uint8_t bits;  // bits of the code that this table decodes
    union {
        uint16_t base;          // literal byte, 256 for end of block, length or distance base
        HuffmanEntry *table;    // a link's sub-table (and a table header's next allocation)
    } value;
};

int Inflate(void);
int InflateBlock(int *lastOut);
int InflateStored(void);
int InflateFixed(void);
int InflateDynamic(void);
int InflateCodes(const HuffmanEntry *literalTable, const HuffmanEntry *distanceTable,
                 unsigned literalBits, unsigned distanceBits);
int BuildHuffmanTable(const unsigned *lengths, unsigned count, unsigned simpleCount,
                      const uint16_t *bases, const uint16_t *extraBits,
                      HuffmanEntry **tableOut, unsigned *lookupBitsInOut);
void FreeHuffmanTable(HuffmanEntry *table);
void FlushWindow(unsigned count);

// ---- Payload check and staging (the installer's entry point) ----
#ifdef _WIN32
// The path of a new temporary file holding the bytes, or null. The path lives until the next call.
char *StagePayload(const unsigned char *bytes, size_t size);
// Checks, stages and unpacks raw-data resource `resourceId` into `installFolder` (ending in a
// backslash). Returns 1 when every file was installed; otherwise it has shown why and returns 0.
int InstallPayload(int resourceId, const char *installFolder, HWND wizardWindow);
#endif

#endif
