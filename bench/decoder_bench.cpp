// The decoder's throughput against zlib's inflate, both decoding the same raw DEFLATE streams in
// the same run. Built twice:
//   bench_decoder_alone  Inflate alone, compressed bytes from memory through the 2048-byte input
//                        buffer, output through the window and the 2048-byte output buffer to
//                        nothing; zlib inflates from memory into a window-sized buffer.
//   bench_decoder_entry  the whole entry path: compressed bytes read from a file in 2048-byte
//                        blocks, the output CRC-32 and written to /dev/null; zlib reads the same
//                        blocks, computes crc32 and writes the same way.
//     bench_decoder_* LABEL STREAM...
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include <vector>

#include "bench/bench_common.h"
#include "extract/extract.h"

#ifdef DECODER_ALONE
// ---- The decoder's collaborators, here in memory ----
#include "extract/extract_platform.h"

ExtractionContext Extraction;
static const unsigned char *g_source;
static size_t g_sourceSize, g_sourcePos;
static size_t g_outputBytes;

int ReadCompressedByte(uint16_t *destination)
{
    ExtractionContext &e = Extraction;
    if (e.compressedLeft-- <= 0)
        return 0;
    if (e.inputCount <= 0) {
        size_t piece = g_sourceSize - g_sourcePos;
        if (piece > (size_t)ARCHIVE_BLOCK)
            piece = ARCHIVE_BLOCK;
        if (piece == 0)
            return 0;
        memcpy(e.inputBuffer, g_source + g_sourcePos, piece);
        g_sourcePos += piece;
        e.inputPointer = e.inputBuffer;
        e.inputCount = (int32_t)piece;
    }
    *destination = *e.inputPointer++;
    --e.inputCount;
    return 8;
}

int FlushOutput(void)
{
    g_outputBytes += (size_t)Extraction.outputCount;
    Extraction.outputCount = 0;
    Extraction.outputPointer = Extraction.outputBuffer;
    return 0;
}

void SendProgressLine(const char *) {}

static unsigned char g_input[INPUT_BUFFER_SIZE], g_output[OUTPUT_BUFFER_SIZE];

static size_t OursDecode(const std::string &stream, const std::string &)
{
    ExtractionContext &e = Extraction;
    g_source = (const unsigned char *)stream.data();
    g_sourceSize = stream.size();
    g_sourcePos = 0;
    g_outputBytes = 0;
    e.inputBuffer = e.inputPointer = g_input;
    e.inputCount = 0;
    e.compressedLeft = (int32_t)stream.size();
    e.outputBuffer = e.outputPointer = g_output;
    e.outputCount = 0;
    if (Inflate() != 0) {
        fprintf(stderr, "decoding failed\n");
        exit(1);
    }
    FlushOutput();
    return g_outputBytes;
}

static size_t ZlibDecode(const std::string &stream, const std::string &)
{
    static unsigned char window[32768];
    z_stream z = {};
    inflateInit2(&z, -15);
    z.next_in = (Bytef *)stream.data();
    z.avail_in = (uInt)stream.size();
    int result;
    do {
        z.next_out = window;
        z.avail_out = sizeof window;
        result = inflate(&z, Z_NO_FLUSH);
    } while (result == Z_OK);
    size_t total = z.total_out;
    inflateEnd(&z);
    if (result != Z_STREAM_END) {
        fprintf(stderr, "zlib failed\n");
        exit(1);
    }
    return total;
}
static const char kWhat[] = "decoder alone, memory to memory";
#else
// ---- The real entry path: file input, CRC-32, file output ----
#include "extract/extract_platform.h"

static int g_null = -1;
static uint32_t g_lastCrc;

static size_t OursDecode(const std::string &stream, const std::string &path)
{
    ExtractionContext &e = Extraction;
    static unsigned char *input = (unsigned char *)malloc(INPUT_BUFFER_SIZE);
    static unsigned char *output = (unsigned char *)malloc(OUTPUT_BUFFER_SIZE);
    e.archiveFile = OpenArchiveFile(path.c_str());
    e.inputBuffer = e.inputPointer = input;
    e.inputCount = 0;
    e.bufferStart = -ARCHIVE_BLOCK;
    e.compressedLeft = (int32_t)stream.size();
    e.outputBuffer = e.outputPointer = output;
    e.outputCount = 0;
    e.outputFile = g_null;
    e.writeFailed = 0;
    e.crcRegister = 0xFFFFFFFFu;
    if (Inflate() != 0) {
        fprintf(stderr, "decoding failed\n");
        exit(1);
    }
    FlushOutput();
    CloseFile(e.archiveFile);
    g_lastCrc = ~e.crcRegister;
    return 0;
}

static uint32_t g_zlibCrc;

static size_t ZlibDecode(const std::string &, const std::string &path)
{
    static unsigned char window[32768], block[ARCHIVE_BLOCK];
    int file = open(path.c_str(), O_RDONLY);
    z_stream z = {};
    inflateInit2(&z, -15);
    uLong crc = crc32(0, nullptr, 0);
    int result = Z_OK;
    while (result == Z_OK) {
        if (z.avail_in == 0) {
            ssize_t got = read(file, block, sizeof block);
            if (got <= 0)
                break;
            z.next_in = block;
            z.avail_in = (uInt)got;
        }
        z.next_out = window;
        z.avail_out = sizeof window;
        result = inflate(&z, Z_NO_FLUSH);
        size_t produced = sizeof window - z.avail_out;
        crc = crc32(crc, window, (uInt)produced);
        if (write(g_null, window, produced) != (ssize_t)produced)
            exit(1);
    }
    size_t total = z.total_out;
    inflateEnd(&z);
    close(file);
    if (result != Z_STREAM_END) {
        fprintf(stderr, "zlib failed\n");
        exit(1);
    }
    g_zlibCrc = (uint32_t)crc;
    return total;
}
static const char kWhat[] = "whole entry: file input, CRC-32, output written";
#endif

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: %s LABEL STREAM...\n", argv[0]);
        return 2;
    }
#ifndef DECODER_ALONE
    g_null = open("/dev/null", O_WRONLY);
#endif
    const bool verbose = getenv("BENCH_VERBOSE") != nullptr;
    double oursTotal = 0, zlibTotal = 0;
    size_t outputTotal = 0, inputTotal = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string path = argv[i];
        const std::string stream = ReadInput(argv[i]);
        size_t size = ZlibDecode(stream, path);
#ifdef DECODER_ALONE
        if (OursDecode(stream, path) != size) {
            fprintf(stderr, "%s: output sizes differ\n", argv[i]);
            return 1;
        }
#else
        OursDecode(stream, path);
        if (g_lastCrc != g_zlibCrc) {
            fprintf(stderr, "%s: CRC-32 differs\n", argv[i]);
            return 1;
        }
#endif
        double ours = 1e30, zlib = 1e30;
        for (int pass = 0; pass < 4; ++pass) {
            double o = BestSecondsPerRun([&] { OursDecode(stream, path); }, 1);
            double z = BestSecondsPerRun([&] { ZlibDecode(stream, path); }, 1);
            ours = o < ours ? o : ours;
            zlib = z < zlib ? z : zlib;
        }
        oursTotal += ours;
        zlibTotal += zlib;
        outputTotal += size;
        inputTotal += stream.size();
        if (verbose)
            printf("  %-28s %9zu -> %9zu  ours %7.1f MB/s  zlib %7.1f MB/s  ratio %.2f\n", BaseName(argv[i]),
                   stream.size(), size, size / ours / 1e6, size / zlib / 1e6, zlib / ours);
    }
    printf("%-8s %-48s %3d streams %7.1f MB -> %7.1f MB  ours %7.1f MB/s  zlib %7.1f MB/s  ratio %.2f\n",
           argv[1], kWhat, argc - 2, inputTotal / 1e6, outputTotal / 1e6, outputTotal / oursTotal / 1e6,
           outputTotal / zlibTotal / 1e6, zlibTotal / oursTotal);
    return 0;
}
