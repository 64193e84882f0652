#include "shell/shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand)
{
    return InstallerMain(instance, previousInstance, commandLine, showCommand);
}
