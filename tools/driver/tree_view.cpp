// Reading and clicking a tree-view control of the installer from outside its process.
//
// The tree-view messages carry pointers to structures that the control fills in, and the system
// does not carry such structures across processes. So the driver lends itself memory in the
// installer's process (VirtualAllocEx), writes the request there, sends the message with that
// address and reads the answer back. Both programs are built for the same processor, so the
// structures have the same layout on both sides.
#include "tools/driver/wizard_driver.h"

#include <string.h>

namespace driver {
namespace {

constexpr UINT kQueryTimeout = 500;
constexpr int kTextCapacity = 1024;  // characters; longer than any path or folder name
constexpr int kTreeControl = 11;

// A block of memory in another process, freed when it goes out of scope.
struct RemoteMemory {
    HANDLE process = nullptr;
    BYTE *address = nullptr;

    bool Open(HWND window, size_t size)
    {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process == nullptr)
            return false;
        address = (BYTE *)VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        return address != nullptr;
    }
    bool Write(size_t offset, const void *data, size_t size)
    {
        SIZE_T written = 0;
        return WriteProcessMemory(process, address + offset, data, size, &written) && written == size;
    }
    bool Read(const void *remote, void *data, size_t size) const
    {
        SIZE_T got = 0;
        return ReadProcessMemory(process, remote, data, size, &got) && got == size;
    }
    ~RemoteMemory()
    {
        if (address != nullptr)
            VirtualFreeEx(process, address, 0, MEM_RELEASE);
        if (process != nullptr)
            CloseHandle(process);
    }
};

bool Query(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    DWORD_PTR value = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kQueryTimeout, &value))
        return false;
    *result = (LRESULT)value;
    return true;
}

HTREEITEM NextItem(HWND tree, HTREEITEM item, UINT relation)
{
    LRESULT next = 0;
    return Query(tree, TVM_GETNEXTITEM, relation, (LPARAM)item, &next) ? (HTREEITEM)next : nullptr;
}

std::string Narrow(const wchar_t *text)
{
    int size = WideCharToMultiByte(1252, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string out((size_t)size, '\0');
    WideCharToMultiByte(1252, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.pop_back();  // the NUL
    return out;
}

bool ReadItem(HWND tree, RemoteMemory &memory, HTREEITEM handle, TreeItem *item)
{
    TVITEMW request{};
    request.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_HANDLE;
    request.hItem = handle;
    request.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
    request.pszText = (wchar_t *)(memory.address + sizeof request);
    request.cchTextMax = kTextCapacity;
    const wchar_t empty = L'\0';
    LRESULT done = 0;
    if (!memory.Write(0, &request, sizeof request) || !memory.Write(sizeof request, &empty, sizeof empty) ||
        !Query(tree, TVM_GETITEMW, 0, (LPARAM)memory.address, &done) || !done)
        return false;
    TVITEMW answer{};
    wchar_t text[kTextCapacity + 1] = {};
    if (!memory.Read(memory.address, &answer, sizeof answer))
        return false;
    // The control may answer with its own copy of the text instead of filling the buffer.
    if (answer.pszText != nullptr && !memory.Read(answer.pszText, text, kTextCapacity * sizeof(wchar_t)))
        return false;
    item->handle = handle;
    item->text = Narrow(text);
    item->data = answer.lParam;
    item->image = answer.iImage;
    item->selectedImage = answer.iSelectedImage;
    item->expanded = (answer.state & TVIS_EXPANDED) != 0;
    item->selected = (answer.state & TVIS_SELECTED) != 0;
    return true;
}

bool ReadLevel(HWND tree, RemoteMemory &memory, HTREEITEM first, std::vector<TreeItem> *items, int depth)
{
    if (depth > 200)
        return false;  // deeper than any real path: the tree is changing under us
    for (HTREEITEM handle = first; handle != nullptr; handle = NextItem(tree, handle, TVGN_NEXT)) {
        TreeItem item;
        if (!ReadItem(tree, memory, handle, &item))
            return false;
        HTREEITEM child = NextItem(tree, handle, TVGN_CHILD);
        if (child != nullptr && !ReadLevel(tree, memory, child, &item.children, depth + 1))
            return false;
        items->push_back(item);
    }
    return true;
}

// "c:\Program Files\Tallowmere" -> "c:\", "Program Files", "Tallowmere": a drive item's text keeps
// its backslash.
std::vector<std::string> PathParts(const std::string &path)
{
    std::vector<std::string> parts;
    size_t root = path.find('\\');
    if (root == std::string::npos) {
        if (!path.empty())
            parts.push_back(path);
        return parts;
    }
    parts.push_back(path.substr(0, root + 1));
    size_t start = root + 1;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool FindSelected(const std::vector<TreeItem> &items, std::string prefix, std::string *path)
{
    for (const TreeItem &item : items) {
        std::string here = prefix + item.text;
        if (here.empty() || here.back() != '\\')
            here += '\\';
        if (item.selected) {
            *path = here;
            return true;
        }
        if (FindSelected(item.children, here, path))
            return true;
    }
    return false;
}

// The item at `path`; with `onlyShown`, only when a person could see it: every folder above it open.
const TreeItem *WalkTo(const std::vector<TreeItem> &roots, const std::string &path, bool onlyShown)
{
    const std::vector<TreeItem> *level = &roots;
    const TreeItem *found = nullptr;
    for (const std::string &part : PathParts(path)) {
        if (found != nullptr && onlyShown && !found->expanded)
            return nullptr;
        found = nullptr;
        for (const TreeItem &item : *level)
            if (item.text == part) {
                found = &item;
                break;
            }
        if (found == nullptr)
            return nullptr;
        level = &found->children;
    }
    return found;
}

void Describe(const std::vector<TreeItem> &items, int depth, std::string *out)
{
    for (const TreeItem &item : items) {
        *out += std::string(4 + 2 * (size_t)depth, ' ') + item.text + (item.expanded ? " [open]" : "") +
                (item.selected ? " [selected]" : "") + " data " + std::to_string((long long)item.data) + " images " +
                std::to_string(item.image) + "/" + std::to_string(item.selectedImage) + "\n";
        Describe(item.children, depth + 1, out);
    }
}

}  // namespace

bool ReadTree(HWND tree, std::vector<TreeItem> *roots, std::string *error)
{
    roots->clear();
    RemoteMemory memory;
    if (!memory.Open(tree, sizeof(TVITEMW) + (kTextCapacity + 1) * sizeof(wchar_t))) {
        *error = "cannot lend memory in the installer's process (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    HTREEITEM first = NextItem(tree, nullptr, TVGN_ROOT);
    if (first != nullptr && !ReadLevel(tree, memory, first, roots, 0)) {
        roots->clear();
        *error = "the tree could not be read";
        return false;
    }
    return true;
}

const TreeItem *FindTreeItem(const std::vector<TreeItem> &roots, const std::string &path)
{
    return WalkTo(roots, path, false);
}

std::string SelectedTreePath(const std::vector<TreeItem> &roots)
{
    std::string path;
    FindSelected(roots, "", &path);
    return path;
}

std::vector<std::string> ChildTexts(const TreeItem &item)
{
    std::vector<std::string> texts;
    for (const TreeItem &child : item.children)
        texts.push_back(child.text);
    return texts;
}

std::string DescribeTree(const std::vector<TreeItem> &roots)
{
    std::string out = "  tree:\n";
    Describe(roots, 0, &out);
    return out;
}

bool TreeItemTextRect(HWND tree, HTREEITEM item, RECT *rect)
{
    // The request carries the item's handle in the rectangle that receives the answer.
    RemoteMemory memory;
    LRESULT done = 0;
    RECT request{};
    memcpy(&request, &item, sizeof item);
    if (!memory.Open(tree, sizeof request) || !memory.Write(0, &request, sizeof request) ||
        !Query(tree, TVM_GETITEMRECT, TRUE, (LPARAM)memory.address, &done) || !done)
        return false;
    return memory.Read(memory.address, rect, sizeof *rect);
}

// ---- The chooser ----

HWND Installer::Chooser() const
{
    return FindDialog("New Folder");
}

bool Installer::ReadChooserTree(std::vector<TreeItem> *roots)
{
    HWND chooser = Chooser();
    HWND tree = chooser != nullptr ? GetDlgItem(chooser, kTreeControl) : nullptr;
    if (tree == nullptr) {
        lastError = "no folder chooser with its tree\n" + DescribeScreen();
        return false;
    }
    std::string error;
    if (!ReadTree(tree, roots, &error)) {
        lastError = error + "\n" + DescribeScreen();
        return false;
    }
    return true;
}

static bool ClickItem(Installer &installer, const std::string &path, bool twice)
{
    HWND chooser = installer.Chooser();
    HWND tree = chooser != nullptr ? GetDlgItem(chooser, kTreeControl) : nullptr;
    std::vector<TreeItem> roots;
    if (!installer.ReadChooserTree(&roots))
        return false;
    if (!IsWindowEnabled(chooser) || !IsWindowVisible(tree) || !IsWindowEnabled(tree)) {
        installer.lastError = "the chooser's tree cannot be used now\n" + installer.DescribeScreen();
        return false;
    }
    const TreeItem *item = WalkTo(roots, path, true);
    RECT rect{};
    LRESULT ignored = 0;
    if (item == nullptr || !Query(tree, TVM_ENSUREVISIBLE, 0, (LPARAM)item->handle, &ignored) ||
        !TreeItemTextRect(tree, item->handle, &rect)) {
        installer.lastError = "no item \"" + path + "\" shown in the chooser\n" + DescribeTree(roots) +
                              installer.DescribeScreen();
        return false;
    }
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(tree, WM_LBUTTONUP, 0, at);
    if (twice) {
        PostMessageW(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageW(tree, WM_LBUTTONUP, 0, at);
    }
    if (!Settle(installer.Wizard()) && installer.Running()) {
        installer.lastError = "the installer did not take the click on \"" + path + "\" in time\n" +
                              installer.DescribeScreen();
        return false;
    }
    return true;
}

bool Installer::ClickTreeItem(const std::string &path)
{
    return ClickItem(*this, path, false);
}

bool Installer::DoubleClickTreeItem(const std::string &path)
{
    return ClickItem(*this, path, true);
}

}  // namespace driver
