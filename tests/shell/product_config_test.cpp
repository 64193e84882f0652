// The configuration as built: the payload constants belong to the archive actually embedded, the
// lists have their items, and the texts keep their code-page-1252 bytes.
#include <gtest/gtest.h>

#include <windows.h>
#include <stdint.h>

#include <string>

#include "shell/config_lists.h"
#include "shell/product_config.h"

namespace {

// A plain bitwise CRC-32 (reflected 0xEDB88320), independent of the installer's table-driven one.
uint32_t ReferenceCrc32(const unsigned char *data, size_t length)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

TEST(ProductConfig, PayloadConstantsDescribeTheEmbeddedArchive)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(ProductConfig.PayloadResource), MAKEINTRESOURCEA(10));
    ASSERT_NE(found, nullptr);
    const unsigned char *bytes = (const unsigned char *)LockResource(LoadResource(module, found));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(SizeofResource(module, found), ProductConfig.PayloadSize);
    EXPECT_EQ(ReferenceCrc32(bytes, ProductConfig.PayloadSize), ProductConfig.PayloadCrc);
    EXPECT_EQ(bytes[0], 'P');  // a ZIP archive's first local header
    EXPECT_EQ(bytes[1], 'K');
}

int CountItems(const char *list)
{
    int items = 0;
    for (const char *rest = list; *rest != '\0'; ++items) {
        char item[LIST_ITEM_CAPACITY + 1];
        rest = NextListItem(rest, item, sizeof item);
    }
    return items;
}

TEST(ProductConfig, ListsHaveTheirItemsAndNoTrailingSeparator)
{
    EXPECT_EQ(CountItems(ProductConfig.MoveList), 6);
    EXPECT_EQ(CountItems(ProductConfig.GroupItems), 5);
    EXPECT_EQ(CountItems(ProductConfig.FolderList), 1);
    for (const char *list : {ProductConfig.MoveList, ProductConfig.GroupItems})
        EXPECT_NE(std::string(list).back(), ';');
}

TEST(ProductConfig, TextsKeepTheirCodePageBytes)
{
    std::string notice = ProductConfig.NoticeText;
    EXPECT_NE(notice.find("installation \x97 spyware"), std::string::npos);
    std::string finished = ProductConfig.FinishedText;
    EXPECT_NE(finished.find("Start \xBB Programs \xBB Veltmoor"), std::string::npos);
    EXPECT_EQ(std::string(ProductConfig.WelcomeText),
              "You are about to install Veltmoor: A Harbor Chronicle.\n\nClick on Next to begin.");
}

}  // namespace
