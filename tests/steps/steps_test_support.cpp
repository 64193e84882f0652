#include "tests/steps/steps_test_support.h"

#include <stdio.h>
#include <stdlib.h>

#include "steps/steps.h"
#include "tests/support/installer_state.h"
#include "tests/support/test_wizard.h"

std::string FreshInstallFolder(const std::string &name, const std::vector<std::string> &productFiles)
{
    std::string folder = FreshTestFolder(name) + "\\Veltmoor A Harbor Chronicle\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const char *product = getenv("VELTMOOR_PRODUCT_DIR");
    for (const std::string &file : productFiles) {
        std::string target = folder + file;
        CreateDirectoryA(target.substr(0, target.rfind('\\')).c_str(), nullptr);
        std::string source = std::string(product != nullptr ? product : "") + "\\" + file.substr(file.rfind('\\') + 1);
        if (product == nullptr || !CopyFileA(source.c_str(), target.c_str(), FALSE))
            return std::string();
    }
    return folder;
}

std::vector<std::string> ReadLines(const std::string &path)
{
    std::vector<std::string> lines;
    std::string content = state::ReadFile(path);
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string ShortPath(const std::string &path)
{
    char shortPath[MAX_PATH];
    DWORD length = GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(shortPath) : path;
}

std::string LongPath(const std::string &path)
{
    char longPath[MAX_PATH];
    DWORD length = GetLongPathNameA(path.c_str(), longPath, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(longPath) : path;
}

bool WaitFor(const std::function<bool()> &condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(15);  // polling interval, not a synchronisation
    }
    return true;
}

HWND DdeWindowForThisThread()
{
    static LONG registered;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // After the first call the class exists: a "previous instance" skips registering it again.
    return CreateDdeWindow(instance, InterlockedExchange(&registered, 1) ? instance : nullptr);
}

