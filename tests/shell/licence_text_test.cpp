#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/shell.h"

static std::string Convert(const std::string &in)
{
    std::vector<char> out(in.size() * 2 + 1, '\x7f');
    size_t length = ConvertLicenceLineEnds((const unsigned char *)in.data(), in.size(), out.data());
    EXPECT_EQ(out[length], '\0');
    return std::string(out.data(), length);
}

struct LineEndCase {
    const char *name;
    std::string in;
    std::string expected;
};

TEST(LicenceText, EveryLineBreakBecomesCrLf)
{
    const LineEndCase kCases[] = {
        {"CR LF stays", "one\r\ntwo\r\n", "one\r\ntwo\r\n"},
        {"lone CR becomes CR LF", "one\rtwo\r", "one\r\ntwo\r\n"},
        {"lone LF is dropped, joining lines", "one\ntwo\nthree", "onetwothree"},
        {"LF CR", "a\n\rb", "a\r\nb"},
        {"empty", "", ""},
        {"code page bytes kept", "caf\xe9 \x97 \xbb\r\n", "caf\xe9 \x97 \xbb\r\n"},
        {"NUL bytes are copied", std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const LineEndCase &c : kCases)
        EXPECT_EQ(Convert(c.in), c.expected) << c.name;
}

TEST(LicenceText, AllCarriageReturnsFillTheDoubledBuffer)
{
    std::string crs(1000, '\r');
    std::string out = Convert(crs);
    ASSERT_EQ(out.size(), 2000u);
    for (size_t i = 0; i < out.size(); i += 2)
        ASSERT_EQ(out.substr(i, 2), "\r\n") << "at " << i;
}
