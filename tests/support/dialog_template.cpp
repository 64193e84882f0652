#include "tests/support/dialog_template.h"

namespace {

struct Reader {
    const BYTE *p;
    const BYTE *end;

    bool Has(size_t n) const { return (size_t)(end - p) >= n; }
    WORD Word()
    {
        if (!Has(2)) { p = end; return 0; }
        WORD w = (WORD)(p[0] | p[1] << 8);
        p += 2;
        return w;
    }
    DWORD Dword()
    {
        DWORD low = Word();
        return low | (DWORD)Word() << 16;
    }
    std::string String()
    {
        std::string s;
        for (WORD c; (c = Word()) != 0 && p < end;)
            s += (char)c;
        return s;
    }
    // sz_Or_Ord: none, an ordinal, or a string
    std::string NameOrOrdinal(int *ordinal)
    {
        *ordinal = -1;
        if (!Has(2))
            return std::string();
        WORD first = (WORD)(p[0] | p[1] << 8);
        if (first == 0) { p += 2; return std::string(); }
        if (first == 0xFFFF) { p += 2; *ordinal = Word(); return std::string(); }
        return String();
    }
    void AlignDword(const BYTE *base) { while ((p - base) % 4 != 0 && p < end) ++p; }
};

const char *PredefinedClass(int atom)
{
    switch (atom) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    }
    return "?";
}

}  // namespace

bool ReadDialogTemplate(HMODULE module, int id, DialogTemplate *out)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE *base = loaded ? (const BYTE *)LockResource(loaded) : nullptr;
    if (base == nullptr)
        return false;
    Reader r{base, base + SizeofResource(module, found)};
    if (r.Has(4) && base[2] == 0xFF && base[3] == 0xFF)
        return false;  // DLGTEMPLATEEX
    out->style = r.Dword();
    out->exStyle = r.Dword();
    int count = r.Word();
    out->x = (short)r.Word();
    out->y = (short)r.Word();
    out->cx = (short)r.Word();
    out->cy = (short)r.Word();
    int ordinal;
    r.NameOrOrdinal(&ordinal);  // menu
    r.NameOrOrdinal(&ordinal);  // class
    r.String();                 // caption
    if (out->style & DS_SETFONT) {
        out->pointSize = r.Word();
        out->font = r.String();
    }
    for (int i = 0; i < count && r.p < r.end; ++i) {
        r.AlignDword(base);
        TemplateItem item;
        item.style = r.Dword();
        item.exStyle = r.Dword();
        int x = (short)r.Word(), y = (short)r.Word(), cx = (short)r.Word(), cy = (short)r.Word();
        item.units = {x, y, x + cx, y + cy};
        item.id = (short)r.Word();
        int classAtom;
        item.className = r.NameOrOrdinal(&classAtom);
        if (classAtom >= 0)
            item.className = PredefinedClass(classAtom);
        int textOrdinal;
        item.text = r.NameOrOrdinal(&textOrdinal);
        WORD extra = r.Word();
        r.p += extra;
        out->items.push_back(item);
    }
    return true;
}
