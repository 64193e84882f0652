// A stand-in for the wizard in in-process tests: a hidden window with the two controls the
// installation steps read and write, the install-folder field (102) and the progress list (133).
#ifndef VELTMOOR_TEST_WIZARD_H
#define VELTMOOR_TEST_WIZARD_H

#include <windows.h>

#include <string>
#include <vector>

struct TestWizard {
    explicit TestWizard(const std::string &installFolder = "");
    ~TestWizard();
    void SetInstallFolder(const std::string &folder);
    std::vector<std::string> ProgressLines() const;
    HWND window = nullptr;
};

// A fresh, empty folder under the temporary folder, without a trailing backslash.
std::string FreshTestFolder(const std::string &name);
void WriteTestFile(const std::string &path, const std::string &content);

#endif
