// The two installers as shipped in dist/: what kind of program each is, what it carries, and what it
// needs from the system.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "shell/product_config.h"
#include "tests/support/installer_state.h"
#include "tools/driver/wizard_driver.h"

namespace {

uint32_t U16(const std::string &b, size_t at) { return at + 2 <= b.size() ? (uint8_t)b[at] | (uint8_t)b[at + 1] << 8 : 0; }
uint32_t U32(const std::string &b, size_t at) { return at + 4 <= b.size() ? U16(b, at) | U16(b, at + 2) << 16 : 0; }

struct PeFacts {
    uint32_t machine = 0, magic = 0, subsystem = 0, dllCharacteristics = 0;
    std::set<std::string> imports;
};

// The few header fields that matter here, read straight from the file.
PeFacts ReadPe(const std::string &file)
{
    PeFacts facts;
    size_t pe = U32(file, 0x3C);
    if (file.compare(pe, 4, std::string("PE\0\0", 4)) != 0)
        return facts;
    size_t optional = pe + 24;
    facts.machine = U16(file, pe + 4);
    facts.magic = U16(file, optional);
    bool plus = facts.magic == 0x20B;
    facts.subsystem = U16(file, optional + 68);
    facts.dllCharacteristics = U16(file, optional + 70);
    uint32_t importRva = U32(file, optional + (plus ? 120 : 104));
    size_t sections = optional + U16(file, pe + 20);
    auto offsetOf = [&](uint32_t rva) -> size_t {
        for (uint32_t i = 0; i < U16(file, pe + 6); ++i) {
            size_t s = sections + i * 40;
            uint32_t start = U32(file, s + 12), size = U32(file, s + 16), raw = U32(file, s + 20);
            if (rva >= start && rva < start + size)
                return raw + (rva - start);
        }
        return 0;
    };
    for (size_t entry = offsetOf(importRva); entry != 0 && U32(file, entry + 12) != 0; entry += 20) {
        std::string name = file.c_str() + offsetOf(U32(file, entry + 12));
        std::transform(name.begin(), name.end(), name.begin(), ::tolower);
        facts.imports.insert(name);
    }
    return facts;
}

struct Shipped {
    const char *variable;
    uint32_t machine, magic;
};

TEST(Distribution, BothInstallersAreGuiProgramsThatNeedOnlyTheSystemsKnownLibraries)
{
    const Shipped kInstallers[] = {
        {"VELTMOOR_SHIPPING_INSTALLER", 0x14C, 0x10B},  // PE32, i386
        {"VELTMOOR_INSTALLER", 0x8664, 0x20B},          // PE32+, x86-64
    };
    const std::set<std::string> known = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll",
                                         "shell32.dll",  "ole32.dll",  "msvcrt.dll"};
    for (const Shipped &installer : kInstallers) {
        std::string path = driver::EnvOr(installer.variable, "");
        SCOPED_TRACE(path);
        PeFacts facts = ReadPe(state::ReadFile(path));
        EXPECT_EQ(facts.machine, installer.machine);
        EXPECT_EQ(facts.magic, installer.magic);
        EXPECT_EQ(facts.subsystem, 2u) << "a windowed (GUI) program";
        EXPECT_TRUE(facts.dllCharacteristics & 0x40) << "ASLR";
        EXPECT_TRUE(facts.dllCharacteristics & 0x100) << "DEP";
        EXPECT_FALSE(facts.imports.empty());
        for (const std::string &library : facts.imports)
            EXPECT_TRUE(known.count(library)) << library << " is not one of the system's known libraries";
    }
}

TEST(Distribution, BothInstallersCarryEveryResource)
{
    struct Resource {
        int id;
        int type;
    };
    std::vector<Resource> resources = {{ProductConfig.IconResource, 14},      {ProductConfig.BannerBitmap, 2},
                                       {ProductConfig.LicenceResource, 10},   {ProductConfig.PayloadResource, 10},
                                       {ProductConfig.WizardTemplate, 5},     {ProductConfig.ChooserTemplate, 5},
                                       {ProductConfig.NewFolderTemplate, 5},  {ProductConfig.FolderBitmap, 2},
                                       {ProductConfig.FolderSelectedBitmap, 2}};
    for (int page : ProductConfig.PageTemplates)
        resources.push_back({page, 5});
    for (const char *variable : {"VELTMOOR_SHIPPING_INSTALLER", "VELTMOOR_INSTALLER"}) {
        std::string path = driver::EnvOr(variable, "");
        // As resources only: this also reads the 32-bit installer from this 64-bit test.
        HMODULE installer = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(installer, nullptr) << path;
        for (const Resource &resource : resources)
            EXPECT_NE(FindResourceA(installer, MAKEINTRESOURCEA(resource.id), MAKEINTRESOURCEA(resource.type)), nullptr)
                << path << ": resource " << resource.id << " of type " << resource.type;
        FreeLibrary(installer);
    }
}

}  // namespace
