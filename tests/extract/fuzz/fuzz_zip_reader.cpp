// Fuzz target: any bytes as an archive. The reader must not crash, must return one of its statuses,
// and must never write anything outside its target folder.
#include <stdint.h>
#include <unistd.h>

#include "extract/extract.h"
#include "tests/extract/fuzz/fuzz_work.h"

static size_t g_lineBytes;

static void ReadLine(const char *line)
{
    g_lineBytes += strlen(line);  // the whole line must lie in its buffer
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string root = FuzzFolder("zip");
    static const std::string out = root + "/out/";
    static const std::string archive = root + "/archive.zip";
    mkdir(out.c_str(), 0755);
    WriteWholeFile(archive, data, size);

    int status = UnzipArchive(archive.c_str(), out.c_str(), ReadLine);
    static const int kStatuses[] = {XS_OK, XS_WARNING, XS_ARCHIVE_ERROR, XS_SEVERE, XS_NO_MEMORY,
                                    XS_NOT_FOUND, XS_NO_FILES, XS_OUTPUT, XS_EOF};
    bool known = false;
    for (int s : kStatuses)
        known = known || s == status;
    if (!known)
        abort();

    for (const std::string &name : Names(root)) {
        if (name != "out" && name != "archive.zip")
            abort();  // written outside the target folder
    }
    for (const std::string &name : Names(out)) {
        std::string path = out + name;
        if (unlink(path.c_str()) != 0)
            rmdir(path.c_str());
    }
    return 0;
}
