// The owner-drawn look, pixel by pixel on a memory device context.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "paths/paths.h"
#include "shell/shell.h"

namespace {

const COLORREF kUntouched = RGB(255, 0, 255);

// A 32-bit top-down bitmap selected into a memory device context, filled with kUntouched.
class Canvas {
  public:
    Canvas(int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, (void **)&bits_, nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        RECT all = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(kUntouched);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas()
    {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        DWORD bgra = bits_[y * width_ + x];
        return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
    }
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    DWORD *bits_ = nullptr;
};

std::string Describe(COLORREF c)
{
    return "(" + std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," + std::to_string(GetBValue(c)) + ")";
}

#define EXPECT_COLOUR(actual, expected) EXPECT_EQ(Describe(actual), Describe(expected))

// Line i of n of a bevel running from c1 towards c2, each component truncated.
COLORREF BevelLine(COLORREF c1, COLORREF c2, int i, int n)
{
    auto part = [&](int a, int b) { return (int)(a + (double)(b - a) * i / n); };
    return RGB(part(GetRValue(c1), GetRValue(c2)), part(GetGValue(c1), GetGValue(c2)), part(GetBValue(c1), GetBValue(c2)));
}

const COLORREF kFace = GetSysColor(COLOR_BTNFACE);
const COLORREF kShadow = GetSysColor(COLOR_BTNSHADOW);
const COLORREF kHighlight = GetSysColor(COLOR_BTNHIGHLIGHT);
const COLORREF kText = GetSysColor(COLOR_BTNTEXT);

class OwnerButton : public ::testing::Test {
  protected:
    void SetUp() override
    {
        button = CreateWindowExA(0, "BUTTON", "Next", WS_POPUP | BS_OWNERDRAW, 0, 0, 50, 14, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(button, nullptr);
    }
    void TearDown() override { DestroyWindow(button); }
    void Draw(const Canvas &canvas, UINT state, const char *caption = "Next")
    {
        SetWindowTextA(button, caption);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = IDC_NEXT;
        item.itemState = state;
        item.hwndItem = button;
        item.hDC = canvas.dc();
        item.rcItem = {0, 0, canvas.width(), canvas.height()};
        EXPECT_EQ(DrawOwnerButton(&item), 1);
    }
    // Bounding box of the pixels in the text colour.
    static RECT TextBox(const Canvas &canvas, COLORREF colour)
    {
        RECT box = {canvas.width(), canvas.height(), -1, -1};
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                if (canvas.Pixel(x, y) == colour) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x);
                    box.bottom = std::max<LONG>(box.bottom, y);
                }
        return box;
    }
    HWND button = nullptr;
};

TEST_F(OwnerButton, ReleasedButtonHasItsBevelsAndUntouchedCorners)
{
    Canvas canvas(50, 14);
    Draw(canvas, 0);
    for (POINT corner : {POINT{0, 0}, POINT{49, 0}, POINT{0, 13}, POINT{49, 13}})
        EXPECT_COLOUR(canvas.Pixel(corner.x, corner.y), kUntouched) << "corner " << corner.x << "," << corner.y;
    for (int row = 0; row < 4; ++row) {
        EXPECT_COLOUR(canvas.Pixel(25, row), BevelLine(kHighlight, kFace, row, 4)) << "top row " << row;
        EXPECT_COLOUR(canvas.Pixel(25, 10 + row), BevelLine(kFace, kShadow, row, 4)) << "bottom row " << 10 + row;
    }
    EXPECT_COLOUR(canvas.Pixel(0, 6), BevelLine(kHighlight, kFace, 0, 2));
    EXPECT_COLOUR(canvas.Pixel(1, 6), BevelLine(kHighlight, kFace, 1, 2));
    for (int column = 0; column < 3; ++column)
        EXPECT_COLOUR(canvas.Pixel(47 + column, 6), BevelLine(kFace, kShadow, column, 3)) << "right column " << column;
    EXPECT_COLOUR(canvas.Pixel(49, 2), kFace);
}

TEST_F(OwnerButton, PressedButtonShowsItsShadowStripAndMovesTwoPixels)
{
    Canvas released(50, 14), pressed(50, 14);
    Draw(released, 0);
    Draw(pressed, ODS_SELECTED);

    EXPECT_COLOUR(pressed.Pixel(25, 0), kShadow);
    EXPECT_COLOUR(pressed.Pixel(25, 1), kShadow);
    EXPECT_COLOUR(pressed.Pixel(25, 2), kHighlight);  // the top bevel starts two rows lower
    EXPECT_COLOUR(pressed.Pixel(0, 6), kShadow);
    EXPECT_COLOUR(pressed.Pixel(1, 6), kShadow);
    EXPECT_COLOUR(pressed.Pixel(2, 6), kHighlight);  // and the left bevel two columns further right
    for (POINT corner : {POINT{0, 0}, POINT{49, 0}, POINT{0, 13}, POINT{49, 13}})
        EXPECT_COLOUR(pressed.Pixel(corner.x, corner.y), kUntouched) << "corner " << corner.x << "," << corner.y;

    RECT up = TextBox(released, kText), down = TextBox(pressed, kText);
    ASSERT_GE(up.right, up.left) << "no caption drawn";
    EXPECT_EQ(down.left, up.left + 2);
    EXPECT_EQ(down.top, up.top + 2);
}

TEST_F(OwnerButton, DisabledCaptionIsDrawnInTheShadowColour)
{
    Canvas enabled(50, 14), disabled(50, 14);
    Draw(enabled, 0);
    Draw(disabled, ODS_DISABLED);
    RECT enabledText = TextBox(enabled, kText);
    EXPECT_GE(enabledText.right, enabledText.left);
    RECT disabledText = TextBox(disabled, kText);
    EXPECT_LT(disabledText.right, disabledText.left) << "a disabled caption has no pixel in the text colour";
    int shadowInside = 0;
    for (int y = enabledText.top; y <= enabledText.bottom; ++y)
        for (int x = enabledText.left; x <= enabledText.right; ++x)
            shadowInside += disabled.Pixel(x, y) == kShadow;
    EXPECT_GT(shadowInside, 10);
}

TEST_F(OwnerButton, InAShortButtonTheBottomBevelCoversTheTopOne)
{
    Canvas canvas(50, 6);
    Draw(canvas, 0, "");
    EXPECT_COLOUR(canvas.Pixel(25, 0), BevelLine(kHighlight, kFace, 0, 4));
    EXPECT_COLOUR(canvas.Pixel(25, 1), BevelLine(kHighlight, kFace, 1, 4));
    for (int row = 0; row < 4; ++row)
        EXPECT_COLOUR(canvas.Pixel(25, 2 + row), BevelLine(kFace, kShadow, row, 4)) << "row " << 2 + row;
}

struct GradientCase {
    int height;
    int bandHeight;
    COLORREF last;
};

TEST(FillGradient, BandsRunFromTheTopColourAndPastTheBottomOneWhenTall)
{
    const GradientCase kCases[] = {
        {768, 3, RGB(128, 128, 128)},
        {600, 2, RGB(106, 106, 106)},
        {480, 1, RGB(17, 17, 17)},
        {200, 1, RGB(128, 128, 128)},
    };
    for (const GradientCase &c : kCases) {
        Canvas canvas(4, c.height);
        RECT area = {0, 0, 4, c.height};
        FillGradient(nullptr, canvas.dc(), RGB(255, 255, 255), RGB(128, 128, 128), &area);
        EXPECT_COLOUR(canvas.Pixel(0, 0), RGB(255, 255, 255)) << "height " << c.height;
        EXPECT_COLOUR(canvas.Pixel(3, c.height - 1), c.last) << "height " << c.height;
        for (int row = 1; row < c.bandHeight; ++row)
            EXPECT_EQ(canvas.Pixel(0, row), canvas.Pixel(0, 0)) << "height " << c.height << " row " << row;
        EXPECT_NE(canvas.Pixel(0, c.bandHeight), canvas.Pixel(0, 0)) << "height " << c.height;
    }
}

TEST(FillGradient, ClampsAtBlackAndDrawsNothingWithoutHeight)
{
    Canvas canvas(2, 1000);
    RECT area = {0, 0, 2, 1000};  // 334 bands of 3 rows, each a 256th of the way: runs on past black
    FillGradient(nullptr, canvas.dc(), RGB(255, 255, 255), RGB(0, 0, 0), &area);
    EXPECT_COLOUR(canvas.Pixel(0, 999), RGB(0, 0, 0));

    Canvas flat(2, 2);
    RECT empty = {0, 1, 2, 1};
    FillGradient(nullptr, flat.dc(), RGB(0, 0, 0), RGB(0, 0, 0), &empty);
    EXPECT_COLOUR(flat.Pixel(0, 1), kUntouched);
}

TEST(PathField, AnEmptyFieldShowsOnlyItsFillAndFrame)
{
    Canvas canvas(40, 12);
    HWND field = CreateWindowExA(0, "BUTTON", "", WS_POPUP | BS_OWNERDRAW, 0, 0, 40, 12, nullptr, nullptr, nullptr, nullptr);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = IDC_INSTALL_FOLDER;
    item.hwndItem = field;
    item.hDC = canvas.dc();
    item.rcItem = {0, 0, 40, 12};
    EXPECT_EQ(DrawPathField(field, &item), 1);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 40; ++x) {
            bool border = x == 0 || y == 0 || x == 39 || y == 11;
            ASSERT_EQ(Describe(canvas.Pixel(x, y)), Describe(border ? kShadow : kHighlight)) << x << "," << y;
        }
    DestroyWindow(field);
}

TEST(WizardItems, AHiddenWizardPaintsNothing)
{
    Canvas canvas(20, 20);
    HWND hidden = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = IDC_NEXT;
    item.hwndItem = hidden;
    item.hDC = canvas.dc();
    item.rcItem = {0, 0, 20, 20};
    EXPECT_EQ(DrawWizardItem(hidden, &item), 0);
    EXPECT_COLOUR(canvas.Pixel(10, 10), kUntouched);
    DestroyWindow(hidden);
}

TEST(CenterOnScreen, CentresWithoutResizing)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 3, 5, 301, 201, nullptr, nullptr, nullptr, nullptr);
    CenterOnScreen(window);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 301) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 201) / 2);
    EXPECT_EQ(r.right - r.left, 301);
    EXPECT_EQ(r.bottom - r.top, 201);
    DestroyWindow(window);
}

}  // namespace
