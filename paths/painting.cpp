// The installer's own look: soft bevelled buttons with clipped corners, a shaded button bar, the
// shaded backdrop, the banner and framed path fields. Colours come from the system's button colours
// at the moment of painting, so the look follows the user's colour scheme.
#include "paths/paths.h"
#include "shell/shell.h"

// Bevel depths: 4 rows at top and bottom; the sides take 6/3 and 6/2 columns.
enum { BEVEL_ACROSS = 6, BEVEL_DOWN = 4, PRESSED_SHIFT = 2, GRADIENT_MAX_BANDS = 256 };

struct ColourSteps {
    double red, green, blue;
};

static ColourSteps ColourComponents(COLORREF colour)
{
    ColourSteps components = {(double)GetRValue(colour), (double)GetGValue(colour), (double)GetBValue(colour)};
    return components;
}

static COLORREF TruncatedColour(const ColourSteps &c)
{
    return RGB((int)c.red, (int)c.green, (int)c.blue);
}

static double Clamp255(double component)
{
    return component < 0.0 ? 0.0 : component > 255.0 ? 255.0 : component;
}

void DrawBevel(HDC dc, const RECT *rect, COLORREF colour1, COLORREF colour2, BevelOrientation orientation)
{
    int lines = orientation == BEVEL_HORIZONTAL ? rect->bottom - rect->top : rect->right - rect->left;
    if (lines <= 0)
        return;
    ColourSteps current = ColourComponents(colour1);
    ColourSteps target = ColourComponents(colour2);
    ColourSteps step = {(target.red - current.red) / lines, (target.green - current.green) / lines,
                        (target.blue - current.blue) / lines};
    for (int i = 0; i < lines; ++i) {
        HPEN pen = CreatePen(PS_SOLID, 1, TruncatedColour(current));
        HGDIOBJ previous = SelectObject(dc, pen);
        if (orientation == BEVEL_HORIZONTAL) {
            MoveToEx(dc, rect->left, rect->top + i, NULL);
            LineTo(dc, rect->right, rect->top + i);
        } else {
            MoveToEx(dc, rect->left + i, rect->top, NULL);
            LineTo(dc, rect->left + i, rect->bottom);
        }
        SelectObject(dc, previous);
        DeleteObject(pen);
        current.red += step.red;
        current.green += step.green;
        current.blue += step.blue;
    }
}

void FillGradient(HWND window, HDC dc, COLORREF colour1, COLORREF colour2, const RECT *rect)
{
    RECT area;
    if (rect != NULL)
        area = *rect;
    else
        GetClientRect(window, &area);
    int height = area.bottom - area.top;
    if (height <= 0)
        return;
    int bands = height < GRADIENT_MAX_BANDS ? height : GRADIENT_MAX_BANDS;
    int bandHeight = height / bands;
    if (bandHeight < 1)
        bandHeight = 1;

    ColourSteps current = ColourComponents(colour1);
    ColourSteps target = ColourComponents(colour2);
    ColourSteps step = {(target.red - current.red) / bands, (target.green - current.green) / bands,
                        (target.blue - current.blue) / bands};
    SetMapMode(dc, MM_TEXT);
    // Every band steps the colour, also past the n-th: tall areas run on beyond colour2 until a
    // component reaches 0 or 255.
    for (int y = 0; y < height; y += bandHeight) {
        RECT band = {area.left, area.top + y, area.right, area.top + y + bandHeight};
        HBRUSH brush = CreateSolidBrush(TruncatedColour(current));
        FillRect(dc, &band, brush);
        DeleteObject(brush);
        current.red = Clamp255(current.red + step.red);
        current.green = Clamp255(current.green + step.green);
        current.blue = Clamp255(current.blue + step.blue);
    }
}

static void ClipCorners(HDC dc, const RECT &r)
{
    HRGN clip = CreateRectRgn(r.left, r.top, r.right, r.bottom);
    const POINT corners[4] = {{r.left, r.top}, {r.right - 1, r.top}, {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}};
    for (const POINT &corner : corners) {
        HRGN pixel = CreateRectRgn(corner.x, corner.y, corner.x + 1, corner.y + 1);
        CombineRgn(clip, clip, pixel, RGN_DIFF);
        DeleteObject(pixel);
    }
    SelectClipRgn(dc, clip);
    DeleteObject(clip);  // the device context keeps its own copy
}

static RECT Shifted(int left, int top, int right, int bottom, int shift)
{
    RECT moved = {left + shift, top + shift, right + shift, bottom + shift};
    return moved;
}

int DrawOwnerButton(const DRAWITEMSTRUCT *item)
{
    HDC dc = item->hDC;
    const RECT r = item->rcItem;
    int pressed = (item->itemState & ODS_SELECTED) != 0;
    int disabled = (item->itemState & ODS_DISABLED) != 0;
    int shift = pressed ? PRESSED_SHIFT : 0;
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);

    ClipCorners(dc, r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (pressed) {
        RECT top = {r.left, r.top, r.right, r.top + 2};
        RECT left = {r.left, r.top + 2, r.left + 2, r.bottom};
        FillRect(dc, &top, GetSysColorBrush(COLOR_BTNSHADOW));
        FillRect(dc, &left, GetSysColorBrush(COLOR_BTNSHADOW));
    }

    RECT bevel = Shifted(r.left, r.top, r.right, r.top + BEVEL_DOWN, shift);
    DrawBevel(dc, &bevel, highlight, face, BEVEL_HORIZONTAL);
    bevel = Shifted(r.left, r.bottom - BEVEL_DOWN, r.right, r.bottom, shift);
    DrawBevel(dc, &bevel, face, shadow, BEVEL_HORIZONTAL);
    bevel = Shifted(r.left, r.top + 1, r.left + BEVEL_ACROSS / 3, r.bottom - BEVEL_DOWN / 2, shift);
    DrawBevel(dc, &bevel, highlight, face, BEVEL_VERTICAL);
    bevel = Shifted(r.right - BEVEL_ACROSS / 2, r.top + BEVEL_ACROSS / 3, r.right, r.bottom - BEVEL_DOWN / 2, shift);
    DrawBevel(dc, &bevel, face, shadow, BEVEL_VERTICAL);
    SetPixel(dc, r.right - 1, r.top + 2, face);

    char caption[MAX_PATH] = "";
    GetWindowTextA(item->hwndItem, caption, MAX_PATH);
    RECT textRect = Shifted(r.left, r.top, r.right, r.bottom - 1, shift);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, disabled ? shadow : GetSysColor(COLOR_BTNTEXT));
    DrawTextA(dc, caption, -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    SelectClipRgn(dc, NULL);
    return 1;
}

int DrawPathField(HWND dialog, const DRAWITEMSTRUCT *item)
{
    HDC dc = item->hDC;
    RECT r = item->rcItem;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));

    char text[MAX_PATH] = "";
    if (GetWindowTextA(item->hwndItem, text, MAX_PATH) == 0)
        return 1;
    HFONT font = (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0);
    HGDIOBJ previousFont = SelectObject(dc, font);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkMode(dc, TRANSPARENT);
    RECT textRect = {r.left + 4, r.top + 2, r.right - 4, r.bottom - 2};
    // A path too long for the field loses characters from its middle and keeps its end.
    DrawTextExA(dc, text, -1, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS, NULL);
    SelectObject(dc, previousFont);
    return 1;
}

static void DrawBanner(const DRAWITEMSTRUCT *item)
{
    HBITMAP banner = LoadBitmapA(ModuleInstance, MAKEINTRESOURCEA(ProductConfig.BannerBitmap));
    if (banner == NULL)
        return;
    BITMAP info;
    GetObjectA(banner, sizeof info, &info);
    HDC memory = CreateCompatibleDC(item->hDC);
    HGDIOBJ previous = SelectObject(memory, banner);
    BitBlt(item->hDC, item->rcItem.left, item->rcItem.top, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(banner);
}

static void DrawLine(HDC dc, int x1, int y, int x2, COLORREF colour)
{
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, x1, y, NULL);
    LineTo(dc, x2, y);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

static void DrawButtonBar(HWND wizard, const DRAWITEMSTRUCT *item)
{
    const RECT r = item->rcItem;
    int middle = r.top + (r.bottom - r.top) / 2;
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    RECT upper = {r.left, r.top, r.right, middle};
    RECT lower = {r.left, middle, r.right, r.bottom};
    FillGradient(wizard, item->hDC, face, shadow, &upper);
    FillGradient(wizard, item->hDC, shadow, face, &lower);
    DrawLine(item->hDC, r.left, r.top, r.right, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawLine(item->hDC, r.left, r.bottom - 1, r.right, shadow);
}

INT_PTR DrawWizardItem(HWND wizard, const DRAWITEMSTRUCT *item)
{
    if (!IsWindowVisible(wizard))
        return 0;
    switch (item->CtlID) {
    case IDC_BANNER:
        DrawBanner(item);
        return 1;
    case IDC_INSTALL_FOLDER:
    case IDC_SUMMARY_FOLDER:
        return DrawPathField(wizard, item);
    case IDC_BUTTONBAR:
        DrawButtonBar(wizard, item);
        return 1;
    }
    if (item->CtlType == ODT_BUTTON)
        return DrawOwnerButton(item);
    return 0;
}

void CenterOnScreen(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
    SetWindowPos(window, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
