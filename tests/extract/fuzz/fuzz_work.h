// A folder of the fuzz target's own under the build tree, one per process.
#ifndef VELTMOOR_FUZZ_WORK_H
#define VELTMOOR_FUZZ_WORK_H

#include <dirent.h>
#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

inline int RemoveEntry(const char *path, const struct stat *, int, struct FTW *)
{
    return remove(path);
}

// Removed when the process ends, so that runs leave nothing behind.
struct FuzzFolderGuard {
    std::string root;
    ~FuzzFolderGuard() { nftw(root.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS); }
};

inline std::string FuzzFolder(const char *kind)
{
    static FuzzFolderGuard guard;
    guard.root = std::string(FUZZ_WORK_DIR) + "/" + kind + "-" + std::to_string(getpid());
    mkdir(FUZZ_WORK_DIR, 0755);
    mkdir(guard.root.c_str(), 0755);
    return guard.root;
}

inline void WriteWholeFile(const std::string &path, const unsigned char *data, size_t size)
{
    FILE *file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        abort();
    if (size > 0 && fwrite(data, 1, size, file) != size)
        abort();
    fclose(file);
}

inline std::vector<std::string> Names(const std::string &folder)
{
    std::vector<std::string> names;
    DIR *dir = opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    while (struct dirent *entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
            names.push_back(entry->d_name);
    }
    closedir(dir);
    return names;
}

#endif
