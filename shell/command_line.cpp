#include <string.h>

#include "shell/shell.h"

int CommandLineHasCdSwitch(const char *commandLine)
{
    // A plain substring test: "/CDROM" counts, "/cd" does not.
    return commandLine != NULL && commandLine[0] != '\0' && strstr(commandLine, "/CD") != NULL;
}
