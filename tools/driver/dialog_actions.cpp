// Working a dialog of the installer other than the wizard, as a person does: pressing a button that
// may leave the dialog open, and typing into an edit field.
#include "tools/driver/wizard_driver.h"

namespace driver {
namespace {

// A control a person could use now: shown and enabled, in a dialog that no box of its own blocks.
HWND UsableControl(Installer &installer, const char *caption, int id, const char *what)
{
    HWND dialog = installer.FindDialog(caption);
    HWND control = dialog != nullptr ? GetDlgItem(dialog, id) : nullptr;
    if (control == nullptr || !IsWindowEnabled(dialog) || !IsWindowVisible(control) || !IsWindowEnabled(control)) {
        installer.lastError = std::string("no usable ") + what + " " + std::to_string(id) + " in dialog \"" + caption +
                              "\"\n" + installer.DescribeScreen();
        return nullptr;
    }
    return control;
}

bool SettleAfter(Installer &installer, const std::string &action)
{
    if (Settle(installer.Wizard()) || !installer.Running())
        return true;
    installer.lastError = "the installer did not take " + action + " in time\n" + installer.DescribeScreen();
    return false;
}

}  // namespace

bool Installer::ClickDialogButton(const char *caption, int id)
{
    HWND button = UsableControl(*this, caption, id, "button");
    if (button == nullptr)
        return false;
    PostMessageW(button, BM_CLICK, 0, 0);
    return SettleAfter(*this, std::string("the click on button ") + std::to_string(id));
}

bool Installer::TypeIntoDialog(const char *caption, int id, const std::string &text)
{
    HWND edit = UsableControl(*this, caption, id, "edit field");
    if (edit == nullptr)
        return false;
    std::wstring typed(text.size(), L'\0');
    int length = text.empty() ? 0 : MultiByteToWideChar(1252, 0, text.data(), (int)text.size(), &typed[0], (int)typed.size());
    // Select everything first, so that typing replaces it; an empty text then deletes it.
    PostMessageW(edit, EM_SETSEL, 0, -1);
    if (length == 0)
        PostMessageW(edit, WM_CHAR, VK_BACK, 1);
    for (int i = 0; i < length; ++i)
        PostMessageW(edit, WM_CHAR, typed[(size_t)i], 1);
    return SettleAfter(*this, "the typing");
}

std::string Installer::DialogControlText(const char *caption, int id) const
{
    HWND dialog = FindDialog(caption);
    HWND control = dialog != nullptr ? GetDlgItem(dialog, id) : nullptr;
    if (control == nullptr)
        return std::string();
    // An edit control keeps its text itself: only asking it gives what it holds.
    wchar_t text[2048] = L"";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, 2048, (LPARAM)text, SMTO_NORMAL, 500, &length) || length == 0)
        return std::string();
    int size = WideCharToMultiByte(1252, 0, text, (int)length, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? (size_t)size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(1252, 0, text, (int)length, &out[0], size, nullptr, nullptr);
    return out;
}

}  // namespace driver
