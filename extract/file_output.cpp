// One archive entry becomes one file: created in the target folder, filled by copying or by the
// decoder through a 2048-byte buffer, checked by its CRC-32, and given the entry's time.
#include <stdio.h>
#include <string.h>

#include "extract/extract.h"
#include "extract/extract_platform.h"

enum { LINE_SIZE = 400, OUTPUT_PATH_SIZE = 264, METHOD_STORED = 0, METHOD_DEFLATED = 8 };

// A line naming the entry as stored: `before`, the name, `after`.
static void SendEntryLine(const char *before, const char *after)
{
    char line[LINE_SIZE];
    snprintf(line, sizeof line, "%s%s%s", before, Extraction.entryName, after);
    SendProgressLine(line);
}

static void ResetOutputBuffer(void)
{
    Extraction.outputCount = 0;
    Extraction.outputPointer = Extraction.outputBuffer;
}

// Closes a file that is left as it is, without the entry's time.
static void AbandonOutputFile(void)
{
    if (Extraction.outputFile >= 0)
        CloseFile(Extraction.outputFile);
    Extraction.outputFile = -1;
}

// A stored entry: its bytes go straight from the archive's buffer to the output buffer.
static void CopyStoredData(void)
{
    ExtractionContext &e = Extraction;
    while (!e.writeFailed) {
        if (e.compressedLeft > 0 && e.inputCount > 0) {
            int piece = OUTPUT_BLOCK - e.outputCount;
            if (piece > e.inputCount)
                piece = e.inputCount;
            if (piece > e.compressedLeft)
                piece = e.compressedLeft;
            memcpy(e.outputPointer, e.inputPointer, (size_t)piece);
            e.outputPointer += piece;
            e.outputCount += piece;
            e.inputPointer += piece;
            e.inputCount -= piece;
            e.compressedLeft -= piece;
        } else {
            uint16_t byte;
            if (!ReadCompressedByte(&byte))
                return;
            *e.outputPointer++ = (unsigned char)byte;
            ++e.outputCount;
        }
        if (e.outputCount == OUTPUT_BLOCK)
            FlushOutput();
    }
}

int ExtractEntry(void)
{
    ExtractionContext &e = Extraction;
    ResetOutputBuffer();
    e.crcRegister = 0xFFFFFFFFu;

    if (OpenOutputFile() != 0) {
        AbandonOutputFile();
        return XS_OUTPUT;
    }

    switch (e.localHeader.method) {
    case METHOD_STORED:
        SendEntryLine("Extracting ", "");
        CopyStoredData();
        break;
    case METHOD_DEFLATED:
        // The decoder's status shows in the CRC-32: a failed decoding never matches.
        SendEntryLine("Inflating: ", " ");
        Inflate();
        break;
    default:
        SendEntryLine("Unknown compression method: ", "");
        AbandonOutputFile();
        return XS_WARNING;
    }

    if (e.writeFailed || FlushOutput() != 0) {
        AbandonOutputFile();
        return XS_OUTPUT;
    }
    CloseOutputFile();
    return ~e.crcRegister != e.localHeader.crc32 ? XS_WARNING : XS_OK;
}

// Names come from the archive: none may reach outside the target folder, whatever it holds.
int IsSafeEntryName(const char *name)
{
    if (name[0] == '/' || name[0] == '\\')
        return 0;
    if (strchr(name, ':') != NULL)  // a drive, or on Windows a drive-relative path
        return 0;
    const char *part = name;
    for (;;) {
        size_t length = strcspn(part, "/\\");
        // Windows drops trailing dots and blanks of a name, so ". ." and "..." may mean "..".
        size_t dots = 0, others = 0;
        for (size_t i = 0; i < length; ++i) {
            if (part[i] == '.')
                ++dots;
            else if (part[i] != ' ')
                ++others;
        }
        if (dots >= 2 && others == 0)
            return 0;
        if (part[length] == '\0')
            return 1;
        part += length + 1;
    }
}

int OpenOutputFile(void)
{
    ExtractionContext &e = Extraction;
    char path[OUTPUT_PATH_SIZE];
    size_t folderLength = strlen(e.targetFolder);
    size_t nameLength = strlen(e.entryName);
    int separator = folderLength > 0 && !IsPathSeparator(e.targetFolder[folderLength - 1]);
    if (!IsSafeEntryName(e.entryName) || folderLength + separator + nameLength >= sizeof path) {
        SendEntryLine("Can't create ", "");
        return 1;
    }
    memcpy(path, e.targetFolder, folderLength);
    if (separator)
        path[folderLength] = kPathSeparator;
    memcpy(path + folderLength + separator, e.entryName, nameLength + 1);

    e.outputFile = CreateOutputFile(path);
    if (e.outputFile < 0) {
        SendEntryLine("Can't create ", "");
        return 1;
    }
    if (!SetBinaryMode(e.outputFile)) {
        SendEntryLine("Can't make ", " binary");
        return 1;
    }
    return 0;
}

int ReadCompressedByte(uint16_t *destination)
{
    ExtractionContext &e = Extraction;
    if (e.compressedLeft-- <= 0)
        return 0;
    if (e.inputCount <= 0 && ReadNextBlock() <= 0)
        return 0;
    *destination = *e.inputPointer++;
    --e.inputCount;
    return 8;
}

int FlushOutput(void)
{
    ExtractionContext &e = Extraction;
    if (e.writeFailed) {
        ResetOutputBuffer();
        return XS_OUTPUT;
    }
    if (e.outputCount == 0)
        return XS_OK;
    Crc32Update(e.outputBuffer, (size_t)e.outputCount);
    if (WriteFileBytes(e.outputFile, e.outputBuffer, e.outputCount) < e.outputCount) {
        SendEntryLine("Write error in ", " (disk full?)");
        e.writeFailed = 1;
        ResetOutputBuffer();
        return XS_OUTPUT;
    }
    ResetOutputBuffer();
    return XS_OK;
}

void CloseOutputFile(void)
{
    ExtractionContext &e = Extraction;
    SetFileDosTime(e.outputFile, e.localHeader.time, e.localHeader.date);
    CloseFile(e.outputFile);
    e.outputFile = -1;
}
