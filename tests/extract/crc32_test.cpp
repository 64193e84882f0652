// The CRC-32 of the payload check and of every extracted file: the standard ZIP/gzip checksum.
#include <gtest/gtest.h>

#include <string>

#include "extract/extract.h"
#include "tests/extract/extract_harness.h"
#include "tests/extract/zip_writer.h"

TEST(Crc32, TheTableIsTheReflectedPolynomialsTable)
{
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        ASSERT_EQ(Crc32Table[n], c) << "entry " << n;
    }
}

TEST(Crc32, PayloadCrcMatchesTheStandardChecksumAtEveryLength)
{
    EXPECT_EQ(PayloadCrc32(0, (const unsigned char *)"123456789", 9), 0xCBF43926u);  // the check value
    EXPECT_EQ(PayloadCrc32(0, (const unsigned char *)"", 0), 0u);
    // Lengths around the eight-byte passes, at odd starting addresses.
    const std::string data = NoiseBytes(100, 7);
    for (size_t start = 0; start < 3; ++start) {
        for (size_t length = 0; length + start <= 40; ++length) {
            std::string piece = data.substr(start, length);
            ASSERT_EQ(PayloadCrc32(0, (const unsigned char *)data.data() + start, length), TestCrc32(piece))
                << "start " << start << " length " << length;
        }
    }
}

TEST(Crc32, PayloadCrcContinuesFromARunningValueAndGivesZeroForNoBytes)
{
    const std::string data = NoiseBytes(5000, 3);
    const unsigned char *bytes = (const unsigned char *)data.data();
    for (size_t split : {0, 1, 7, 8, 2048, 4999, 5000}) {
        uint32_t crc = PayloadCrc32(0, bytes, split);
        crc = PayloadCrc32(crc, bytes + split, data.size() - split);
        EXPECT_EQ(crc, TestCrc32(data)) << "split at " << split;
    }
    EXPECT_EQ(PayloadCrc32(0x12345678u, nullptr, 10), 0u);
}

TEST(Crc32, UpdateAdvancesTheRegisterWithoutInitialValueOrComplement)
{
    const std::string data = NoiseBytes(3000, 11);
    Extraction.crcRegister = 0xFFFFFFFFu;
    Crc32Update((const unsigned char *)data.data(), 1000);
    Crc32Update((const unsigned char *)data.data() + 1000, 2000);
    EXPECT_EQ(~Extraction.crcRegister, TestCrc32(data));
}
