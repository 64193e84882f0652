#include <gtest/gtest.h>

#include "shell/shell.h"

struct CdCase {
    const char *commandLine;
    int expected;
};

TEST(CommandLine, CdSwitchIsACaseSensitiveSubstring)
{
    static const CdCase kCases[] = {
        {"/CD", 1},
        {"-x /CD -y", 1},
        {"/CDROM", 1},          // inside a longer word
        {"setup/CD", 1},
        {"/cd", 0},             // other letter case
        {"/Cd", 0},
        {"/C D", 0},
        {"", 0},
        {nullptr, 0},
    };
    for (const CdCase &c : kCases)
        EXPECT_EQ(CommandLineHasCdSwitch(c.commandLine), c.expected)
            << "command line: " << (c.commandLine ? c.commandLine : "(none)");
}
