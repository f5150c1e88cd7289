// A dialog template (DLGTEMPLATEEX) as the resource compiler stored it in a program, read back
// field by field, so that the tests compare the dialogs Windows builds with their layout.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::test {

struct ResourceControl {
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    short x = 0, y = 0, width = 0, height = 0;
    std::wstring className; // "Button", "Edit", "Static", ... for the predefined classes
    std::wstring text;      // empty when the title is a resource number
    int resource = 0;       // the title's resource number (a picture's bitmap or icon)
};

struct ResourceDialog {
    DWORD style = 0;
    DWORD exStyle = 0;
    short width = 0, height = 0;
    std::wstring caption;
    int pointSize = 0;
    std::wstring typeface;
    std::vector<ResourceControl> controls;
};

// Template `id` of the module, or nothing when it has none or it is not a DLGTEMPLATEEX.
std::optional<ResourceDialog> ReadDialogResource(HMODULE module, int id);

} // namespace kestrel::test
