#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/config_lists.h"

static std::vector<std::string> Items(const char *list)
{
    std::vector<std::string> items;
    const char *rest = list;
    while (*rest != '\0') {
        char item[LIST_ITEM_CAPACITY + 1];
        rest = NextListItem(rest, item, sizeof item);
        items.push_back(item);
    }
    return items;
}

struct ListCase {
    const char *list;
    std::vector<std::string> items;
};

TEST(ConfigLists, ItemsAreSeparatedByRunsOfSemicolons)
{
    const ListCase kCases[] = {
        {"a;b;c", {"a", "b", "c"}},
        {"a;;;b", {"a", "b"}},
        {"a;b;", {"a", "b"}},
        {";;a", {"", "a"}},  // a list that starts with ";" yields an empty first item
        {"only", {"only"}},
        {"", {}},
    };
    for (const ListCase &c : kCases)
        EXPECT_EQ(Items(c.list), c.items) << "list: \"" << c.list << "\"";
}

TEST(ConfigLists, AnItemKeepsAtMost260Characters)
{
    std::string list = std::string(300, 'x') + ";next";
    std::vector<std::string> items = Items(list.c_str());
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], std::string(LIST_ITEM_CAPACITY, 'x'));
    EXPECT_EQ(items[1], "next");
}

struct FieldCase {
    const char *item;
    int maxFields;
    std::vector<std::string> fields;
};

TEST(ConfigLists, FieldsAreSeparatedByRunsOfTabs)
{
    const FieldCase kCases[] = {
        {"source\tdestination", 2, {"source", "destination"}},
        {"source\t\t\tdestination", 2, {"source", "destination"}},
        {"source\tdest\twith tab", 2, {"source", "dest\twith tab"}},  // the last field keeps further tabs
        {"no tab at all", 2, {"no tab at all"}},
        {"cmd\tcaption", 3, {"cmd", "caption"}},
        {"cmd\tcaption\t\ticon", 3, {"cmd", "caption", "icon"}},
        {"cmd\tcaption\ticon\tmore", 3, {"cmd", "caption", "icon\tmore"}},
        {"trailing\t", 2, {"trailing", ""}},
    };
    for (const FieldCase &c : kCases) {
        std::string item = c.item;
        char *fields[3] = {};
        int count = SplitItemFields(&item[0], fields, c.maxFields);
        std::vector<std::string> got(fields, fields + count);
        EXPECT_EQ(got, c.fields) << "item: \"" << c.item << "\"";
    }
}
