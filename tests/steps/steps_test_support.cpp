#include "tests/steps/steps_test_support.h"

#include <stdio.h>
#include <stdlib.h>

#include <shlobj.h>

#include <algorithm>

#include "steps/steps.h"

std::string WindowsPath(const std::string &unixPath)
{
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

void DeleteTree(const std::string &folder)
{
    std::string base = folder;
    if (!base.empty() && base.back() == '\\')
        base.pop_back();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((base + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = base + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(base.c_str());
}

std::string FreshTestFolder(const std::string &name)
{
    const char *out = getenv("VELTMOOR_OUT_DIR");
    std::string root = WindowsPath(out != nullptr ? out : "/tmp") + "\\steps\\";
    CreateDirectoryA(root.c_str(), nullptr);
    std::string folder = root + name;
    DeleteTree(folder);
    // A name with blanks in it may need creating level by level.
    for (size_t i = root.size(); i <= folder.size(); ++i)
        if (i == folder.size() || folder[i] == '\\')
            CreateDirectoryA(folder.substr(0, i).c_str(), nullptr);
    return folder + "\\";
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CopyProductFiles(const std::string &folder, const std::vector<std::string> &names)
{
    const char *product = getenv("VELTMOOR_PRODUCT_DIR");
    if (product == nullptr)
        return false;
    for (const std::string &name : names) {
        std::string target = folder + name;
        size_t slash = target.rfind('\\');
        CreateDirectoryA(target.substr(0, slash).c_str(), nullptr);
        std::string source = std::string(product) + "\\" + name.substr(name.rfind('\\') + 1);
        if (!CopyFileA(source.c_str(), target.c_str(), FALSE))
            return false;
    }
    return true;
}

HWND CreateStandInWizard(const std::string &installFolder)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND wizard = CreateWindowExA(0, "STATIC", "stand-in wizard", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance,
                                  nullptr);
    CreateWindowExA(0, "STATIC", installFolder.c_str(), WS_CHILD, 0, 0, 10, 10, wizard, (HMENU)(INT_PTR)102,
                    instance, nullptr);
    return wizard;
}

std::string ReadFile(const std::string &path)
{
    std::string content;
    FILE *file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        return content;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, count);
    fclose(file);
    return content;
}

bool WriteFile(const std::string &path, const std::string &content)
{
    FILE *file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = fwrite(content.data(), 1, content.size(), file) == content.size();
    return fclose(file) == 0 && written;
}

std::vector<std::string> ReadLines(const std::string &path)
{
    std::vector<std::string> lines;
    std::string content = ReadFile(path);
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

std::string SpecialFolder(int folderId)
{
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, folderId, FALSE);
    return path;
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

// ---- Message boxes ----

namespace {

struct BoxSearch {
    HWND found;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM param)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[32] = "", title[64] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && lstrcmpA(className, "#32770") == 0 &&
        lstrcmpA(title, "Message") == 0) {
        ((BoxSearch *)param)->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectLongestStatic(HWND child, LPARAM param)
{
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") != 0)
        return TRUE;
    char text[2048] = "";
    GetWindowTextA(child, text, sizeof text);
    std::string *longest = (std::string *)param;
    if (strlen(text) > longest->size())
        *longest = text;
    return TRUE;
}

DWORD WINAPI WatchForMessageBox(LPVOID param)
{
    MessageBoxWatcher *watcher = (MessageBoxWatcher *)param;
    BoxSearch search{nullptr};
    if (!WaitFor([&] {
            EnumWindows(FindMessageBox, (LPARAM)&search);
            return search.found != nullptr;
        }, watcher->timeoutMs))
        return 0;
    EnumChildWindows(search.found, CollectLongestStatic, (LPARAM)&watcher->text);
    PostMessageA(GetDlgItem(search.found, IDOK), BM_CLICK, 0, 0);
    return 0;
}

}  // namespace

void MessageBoxWatcher::Start(DWORD timeout)
{
    timeoutMs = timeout;
    text.clear();
    thread = CreateThread(nullptr, 0, WatchForMessageBox, this, 0, nullptr);
}

std::string MessageBoxWatcher::Finish()
{
    if (thread != nullptr) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        thread = nullptr;
    }
    return text;
}
