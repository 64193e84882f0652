// The wizard's pages: every template's controls cloned into the frame, one page shown at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "shell/shell.h"
#include "tests/support/dialog_template.h"

namespace {

INT_PTR CALLBACK ClonesEveryPage(HWND wizard, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        for (int templateId : ProductConfig.PageTemplates)
            ClonePageTemplate(wizard, templateId);
        return TRUE;
    }
    return FALSE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param)
{
    ((std::vector<HWND> *)param)->push_back(window);
    return TRUE;
}

class WizardPages : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ModuleInstance = GetModuleHandleA(nullptr);
        wizard = CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(ProductConfig.WizardTemplate), nullptr,
                                    ClonesEveryPage, 0);
        ASSERT_NE(wizard, nullptr);
    }
    void TearDown() override { DestroyWindow(wizard); }

    std::vector<HWND> Children() const
    {
        std::vector<HWND> children;
        EnumChildWindows(wizard, CollectChild, (LPARAM)&children);
        return children;
    }
    std::set<int> VisiblePageControls() const
    {
        std::set<int> ids;
        for (HWND child : Children())
            if (GetDlgCtrlID(child) >= 100 && IsWindowVisible(child))
                ids.insert(GetDlgCtrlID(child));
        return ids;
    }
    static std::set<int> ListOf(int page)
    {
        std::set<int> ids;
        for (const int *id = PageTable[page]; *id != 0; ++id)
            ids.insert(*id);
        return ids;
    }

    HWND wizard = nullptr;
};

TEST_F(WizardPages, HidingAllPagesLeavesTheFrameAlone)
{
    ShowPage(wizard, 3);
    ShowPage(wizard, -1);
    EXPECT_TRUE(VisiblePageControls().empty());
    for (int frameControl : {IDC_BANNER, IDC_BUTTONBAR, IDC_NEXT, IDC_PREVIOUS, IDC_QUIT})
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(wizard, frameControl))) << "frame control " << frameControl;
}

TEST_F(WizardPages, EachPageShowsExactlyItsControls)
{
    for (int page = 0; page < PAGE_COUNT; ++page) {
        ShowPage(wizard, page);
        EXPECT_EQ(VisiblePageControls(), ListOf(page)) << "page " << page;
    }
    ShowPage(wizard, 3);
    EXPECT_EQ(VisiblePageControls(), (std::set<int>{101, 102, 103, 104}));
}

TEST_F(WizardPages, EveryPageControlBelongsToExactlyOnePage)
{
    std::multiset<int> all;
    for (int page = 0; page < PAGE_COUNT; ++page)
        for (int id : ListOf(page))
            all.insert(id);
    for (HWND child : Children()) {
        int id = GetDlgCtrlID(child);
        if (id >= 100) {
            EXPECT_EQ(all.count(id), 1u) << "control " << id;
        }
    }
}

TEST_F(WizardPages, ACheckBoxKeepsItsStateAcrossPages)
{
    ShowPage(wizard, 5);
    SendDlgItemMessageA(wizard, IDC_OPT_STARTMENU, BM_SETCHECK, BST_CHECKED, 0);
    ShowPage(wizard, 6);
    ShowPage(wizard, 5);
    EXPECT_EQ(SendDlgItemMessageA(wizard, IDC_OPT_STARTMENU, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(WizardPages, EveryPageControlStandsWhereItsTemplatePutsIt)
{
    for (int templateId : ProductConfig.PageTemplates) {
        DialogTemplate page;
        ASSERT_TRUE(ReadDialogTemplate(ModuleInstance, templateId, &page)) << "template " << templateId;
        for (const TemplateItem &item : page.items) {
            HWND clone = GetDlgItem(wizard, item.id);
            ASSERT_NE(clone, nullptr) << "template " << templateId << " control " << item.id;
            RECT expected = item.units;
            MapDialogRect(wizard, &expected);
            RECT actual;
            GetWindowRect(clone, &actual);
            MapWindowPoints(nullptr, wizard, (POINT *)&actual, 2);
            if (lstrcmpiA(item.className.c_str(), "ListBox") == 0 && !(item.style & LBS_NOINTEGRALHEIGHT)) {
                // The list box trims itself to whole lines, in its template as in the wizard.
                int line = (int)SendMessageA(clone, LB_GETITEMHEIGHT, 0, 0);
                EXPECT_LE(actual.bottom, expected.bottom) << "control " << item.id;
                EXPECT_GT(actual.bottom, expected.bottom - line) << "control " << item.id;
                expected.bottom = actual.bottom;
            }
            EXPECT_TRUE(EqualRect(&expected, &actual))
                << "template " << templateId << " control " << item.id << ": expected " << expected.left << ","
                << expected.top << "-" << expected.right << "," << expected.bottom << " got " << actual.left << ","
                << actual.top << "-" << actual.right << "," << actual.bottom;
            // The edit and list controls trade their border for a client edge and drop an unused
            // scroll bar when they are created; visibility follows the page shown.
            const DWORD kChangedByControls = WS_VISIBLE | WS_BORDER | WS_VSCROLL;
            DWORD style = (DWORD)GetWindowLongPtrA(clone, GWL_STYLE);
            EXPECT_EQ(style & ~kChangedByControls, item.style & ~kChangedByControls) << "control " << item.id;
            char className[64];
            GetClassNameA(clone, className, sizeof className);
            EXPECT_STRCASEEQ(className, item.className.c_str()) << "control " << item.id;
        }
    }
}

TEST(PageTemplates, ShareTheFramesSizeStyleAndFont)
{
    std::vector<int> templates(std::begin(ProductConfig.PageTemplates), std::end(ProductConfig.PageTemplates));
    templates.push_back(ProductConfig.WizardTemplate);
    for (int id : templates) {
        DialogTemplate dialog;
        ASSERT_TRUE(ReadDialogTemplate(GetModuleHandleA(nullptr), id, &dialog)) << id;
        EXPECT_EQ(dialog.style, 0x90800044u) << id;
        EXPECT_EQ(dialog.exStyle, 0u) << id;
        EXPECT_EQ(dialog.cx, 360) << id;
        EXPECT_EQ(dialog.cy, 220) << id;
        EXPECT_EQ(dialog.font, "Arial") << id;
        EXPECT_EQ(dialog.pointSize, 9) << id;
    }
}

TEST(PageTable, OptionalPagesAreFoundByTheirLists)
{
    EXPECT_EQ(FindPageIndex(UnpackedPageControls), 8);
    EXPECT_EQ(FindPageIndex(UpdaterPageControls), 9);
    EXPECT_EQ(FindPageIndex(SubscribePageControls), 10);
    static const int kNotAPage[] = {134, 0};  // same ids, another list
    EXPECT_EQ(FindPageIndex(kNotAPage), PAGE_COUNT);
}

// ---- Licence text ----

struct LicenceCase {
    int resourceId;
    const char *expected;  // nullptr: refused
};

TEST(LoadLicenceText, RefusesShortOrMissingResourcesAndNormalisesLineEnds)
{
    ModuleInstance = GetModuleHandleA(nullptr);
    static const LicenceCase kCases[] = {
        {9001, nullptr},                           // 15 bytes
        {9002, "0123456789ABCDEF"},                // 16 bytes
        {9003, "line one\r\nline two\r\nend\r\n"},   // CR LF kept
        {9004, "line oneline twoend"},               // bare LF lines joined
        {9005, "one\r\ntwo\r\nthree and more"},      // lone CR becomes CR LF
        {9999, nullptr},                           // no such resource
    };
    for (const LicenceCase &c : kCases) {
        char *text = LoadLicenceText(c.resourceId);
        if (c.expected == nullptr) {
            EXPECT_EQ(text, nullptr) << "resource " << c.resourceId;
        } else {
            ASSERT_NE(text, nullptr) << "resource " << c.resourceId;
            EXPECT_STREQ(text, c.expected) << "resource " << c.resourceId;
        }
        free(text);
    }
}

TEST(LoadLicenceText, TheProductsLicenceHasOnlyCrLfLineEnds)
{
    ModuleInstance = GetModuleHandleA(nullptr);
    char *text = LoadLicenceText(ProductConfig.LicenceResource);
    ASSERT_NE(text, nullptr);
    size_t length = strlen(text);
    EXPECT_GT(length, 7000u);
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        }
        if (text[i] == '\r') {
            ASSERT_EQ(text[i + 1], '\n') << "bare CR at " << i;
        }
    }
    free(text);
}

}  // namespace
