// The CRC-32's throughput against zlib's crc32 on the same bytes, in the same run.
//     bench_crc [MEGABYTES]
#include <string.h>

#include "bench/bench_common.h"
#include "extract/extract.h"

static std::string Noise(size_t size)
{
    std::string out(size, '\0');
    uint32_t state = 2463534242u;
    for (size_t i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        out[i] = (char)state;
    }
    return out;
}

int main(int argc, char **argv)
{
    const size_t size = (argc > 1 ? (size_t)atoi(argv[1]) : 32) * 1024 * 1024;
    const std::string data = Noise(size);
    const unsigned char *bytes = (const unsigned char *)data.data();
    uint32_t ours = PayloadCrc32(0, bytes, size);
    uint32_t reference = (uint32_t)crc32(0, bytes, (uInt)size);
    if (ours != reference) {
        fprintf(stderr, "CRC-32 differs\n");
        return 1;
    }
    volatile uint32_t sink = 0;
    double payload = 1e30, update = 1e30, zlib = 1e30;
    for (int pass = 0; pass < 3; ++pass) {
        double p = BestSecondsPerRun([&] { sink = sink + PayloadCrc32(0, bytes, size); }, 1);
        double u = BestSecondsPerRun([&] {
            Extraction.crcRegister = 0xFFFFFFFFu;
            for (size_t at = 0; at < size; at += OUTPUT_BLOCK)  // as the file output does: block by block
                Crc32Update(bytes + at, size - at < (size_t)OUTPUT_BLOCK ? size - at : (size_t)OUTPUT_BLOCK);
            sink = sink + Extraction.crcRegister;
        }, 1);
        double z = BestSecondsPerRun([&] { sink = sink + (uint32_t)crc32(0, bytes, (uInt)size); }, 1);
        payload = p < payload ? p : payload;
        update = u < update ? u : update;
        zlib = z < zlib ? z : zlib;
    }
    printf("crc32    PayloadCrc32 (eight bytes a pass)                 %7.1f MB/s  zlib %7.1f MB/s  ratio %.2f\n",
           size / payload / 1e6, size / zlib / 1e6, zlib / payload);
    printf("crc32    Crc32Update (per 2048-byte output block)          %7.1f MB/s  zlib %7.1f MB/s  ratio %.2f\n",
           size / update / 1e6, size / zlib / 1e6, zlib / update);
    return 0;
}
