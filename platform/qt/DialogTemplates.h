// The two dialog templates of Kestrel as data: every control's id, kind, text and rectangle in
// dialog units, listed in tab order. The Qt dialogs are built from these tables, so the layout
// lives in one place and can be checked without a window.
#pragma once

#include <span>

namespace kestrel::qt {

// Id of a control that the program never addresses (labels, group boxes, the picture).
constexpr int IDC_STATIC = -1;

enum class ControlKind {
    Edit,          // one-line edit, scrolls horizontally
    PushButton,    // push button
    DefaultButton, // the dialog's default push button
    GroupBox,      // frame with a title
    RightLabel,    // right-aligned static text
    CentredText,   // centred static text (status lines, the About box's title line)
    Text,          // left-aligned static text that wraps
    Picture,       // bitmap resource
    Icon,          // icon resource
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text; // '&' marks the mnemonic
    int x, y, width, height;
    // For a label with a mnemonic, the control that the mnemonic focuses; for a picture or an
    // icon, its resource id.
    int link = 0;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width, height; // client area in dialog units
    std::span<const ControlTemplate> controls;
};

// Template 102: the main dialog. Template 100: the About box.
const DialogTemplate& ReferencingTemplate();
const DialogTemplate& AboutTemplate();

// The control of a template with the given id, or nullptr (always for IDC_STATIC).
const ControlTemplate* FindControl(const DialogTemplate& dialog, int id);

} // namespace kestrel::qt
