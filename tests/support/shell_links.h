// Reads a shell-link file back through the shell's link component.
#ifndef VELTMOOR_TEST_SHELL_LINKS_H
#define VELTMOOR_TEST_SHELL_LINKS_H

#include <string>
#include <vector>

struct LinkView {
    std::string target;
    std::string description;
    std::string workingFolder;
};

// False when the file cannot be loaded as a link. The component library must be initialised.
bool ReadShellLink(const std::string &file, LinkView *view);
// The names of the .lnk files in `folder` (which ends in a backslash), sorted.
std::vector<std::string> LinkFilesIn(const std::string &folder);

#endif
