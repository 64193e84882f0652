// Reads a classic dialog template (DLGTEMPLATE) straight from the resource bytes, so that tests can
// compare what the installer built against what its templates say, independently of the window code.
#ifndef VELTMOOR_TEST_DIALOG_TEMPLATE_H
#define VELTMOOR_TEST_DIALOG_TEMPLATE_H

#include <windows.h>

#include <string>
#include <vector>

struct TemplateItem {
    DWORD style;
    DWORD exStyle;
    RECT units;  // left, top, right, bottom in dialog units
    int id;
    std::string className;  // "Button", "Edit", "Static", "ListBox" for the predefined classes
    std::string text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    int pointSize = 0;
    std::string font;
    std::vector<TemplateItem> items;
};

// Returns false when the resource is missing or is not a classic template.
bool ReadDialogTemplate(HMODULE module, int id, DialogTemplate *out);

#endif
