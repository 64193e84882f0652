// Fuzz target: any bytes as a raw DEFLATE stream. The decoder must not crash, must end (running out
// of data is bad data), and wherever zlib decodes the stream completely and so does the decoder,
// both must give the same bytes.
#include <stdint.h>
#include <zlib.h>

#include "extract/extract.h"
#include "extract/extract_platform.h"
#include "tests/extract/fuzz/fuzz_work.h"

static int ZlibInflate(const uint8_t *data, size_t size, std::string *out)
{
    z_stream stream = {};
    if (inflateInit2(&stream, -15) != Z_OK)
        abort();
    stream.next_in = (Bytef *)data;
    stream.avail_in = (uInt)size;
    unsigned char buffer[32768];
    int result;
    do {
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
        out->append((const char *)buffer, sizeof buffer - stream.avail_out);
    } while (result == Z_OK && (stream.avail_in > 0 || stream.avail_out == 0));
    inflateEnd(&stream);
    return result;
}

static std::string ReadWholeFile(const std::string &path)
{
    std::string data;
    FILE *file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        abort();
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        data.append(buffer, got);
    fclose(file);
    return data;
}

static void IgnoreLine(const char *) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string root = FuzzFolder("inflate");
    static const std::string streamPath = root + "/stream.bin";
    static const std::string outputPath = root + "/output.bin";
    WriteWholeFile(streamPath, data, size);

    ExtractionContext &e = Extraction;
    static unsigned char input[INPUT_BUFFER_SIZE], output[OUTPUT_BUFFER_SIZE];
    e.progressWindow = IgnoreLine;
    e.archiveFile = OpenArchiveFile(streamPath.c_str());
    e.inputBuffer = e.inputPointer = input;
    e.inputCount = 0;
    e.bufferStart = -ARCHIVE_BLOCK;
    e.compressedLeft = (int32_t)size;
    e.outputBuffer = e.outputPointer = output;
    e.outputCount = 0;
    e.outputFile = CreateOutputFile(outputPath.c_str());
    e.writeFailed = 0;
    e.crcRegister = 0xFFFFFFFFu;
    if (e.archiveFile < 0 || e.outputFile < 0)
        abort();

    int status = Inflate();
    FlushOutput();
    CloseFile(e.archiveFile);
    CloseFile(e.outputFile);
    if (status < INFLATE_OK || status > INFLATE_NO_MEMORY)
        abort();

    std::string reference;
    if (status == INFLATE_OK && ZlibInflate(data, size, &reference) == Z_STREAM_END &&
        ReadWholeFile(outputPath) != reference)
        abort();
    return 0;
}
