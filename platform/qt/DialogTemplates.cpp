#include "DialogTemplates.h"

#include "ControlIds.h"

namespace kestrel::qt {
namespace {

using K = ControlKind;

// Template 102, in tab order: the interactive controls first, then the static ones.
constexpr ControlTemplate referencingControls[] = {
    {IDC_FILE_NAME, K::Edit, "", 54, 39, 210, 13},
    {IDC_BROWSE, K::PushButton, "&Browse", 271, 39, 42, 13},
    {IDC_X_PIXEL_SCALE, K::Edit, "", 72, 80, 77, 13},
    {IDC_Y_PIXEL_SCALE, K::Edit, "", 72, 94, 77, 13},
    {IDC_TIE_PIXEL_X, K::Edit, "", 72, 108, 77, 13},
    {IDC_TIE_PIXEL_Y, K::Edit, "", 72, 122, 77, 13},
    {IDC_TIE_WORLD_X, K::Edit, "", 72, 136, 77, 13},
    {IDC_TIE_WORLD_Y, K::Edit, "", 72, 150, 77, 13},
    {IDC_UPDATE_TIFF, K::PushButton, "Update Referencing in TIFF File", 28, 168, 114, 14},
    {IDC_X_VECTOR_X, K::Edit, "", 262, 80, 77, 13},
    {IDC_X_VECTOR_Y, K::Edit, "", 262, 94, 77, 13},
    {IDC_Y_VECTOR_X, K::Edit, "", 262, 108, 77, 13},
    {IDC_Y_VECTOR_Y, K::Edit, "", 262, 122, 77, 13},
    {IDC_REF_POINT_X, K::Edit, "", 262, 136, 77, 13},
    {IDC_REF_POINT_Y, K::Edit, "", 262, 150, 77, 13},
    {IDC_UPDATE_WORLD, K::PushButton, "Update Referencing in World File", 212, 168, 114, 14},
    {IDC_TIFF_TO_WORLD, K::PushButton, "-->", 163, 94, 25, 12},
    {IDC_WORLD_TO_TIFF, K::PushButton, "<--", 163, 117, 25, 12},
    {IDCANCEL, K::PushButton, "&Close", 237, 195, 50, 14},
    {IDHELP, K::PushButton, "&Help", 295, 195, 50, 14},
    {IDC_STATIC, K::GroupBox, "GeoTiff File", 7, 57, 149, 129},
    {IDC_STATIC, K::GroupBox, "World File", 196, 57, 149, 129},
    {IDC_STATIC, K::RightLabel, "&File Name:", 9, 40, 39, 9, IDC_FILE_NAME},
    {IDC_STATIC, K::RightLabel, "X Pixel Scale:", 9, 81, 60, 11},
    {IDC_STATIC, K::RightLabel, "Y Pixel Scale:", 9, 95, 60, 11},
    {IDC_STATIC, K::RightLabel, "Tie Point, X Pixel:", 9, 110, 60, 11},
    {IDC_STATIC, K::RightLabel, "Tie Point Y Pixel:", 9, 123, 60, 11},
    {IDC_STATIC, K::RightLabel, "Tie Point, World X:", 9, 136, 60, 11},
    {IDC_STATIC, K::RightLabel, "Tie Point, World Y:", 9, 151, 60, 11},
    {IDC_STATIC, K::RightLabel, "X Vector X:", 200, 82, 61, 11},
    {IDC_STATIC, K::RightLabel, "X Vector Y:", 200, 96, 61, 11},
    {IDC_STATIC, K::RightLabel, "Y Vector X:", 200, 110, 61, 11},
    {IDC_STATIC, K::RightLabel, "Y Vector Y:", 200, 123, 61, 11},
    {IDC_STATIC, K::RightLabel, "World Ref. Point X:", 199, 138, 61, 11},
    {IDC_STATIC, K::RightLabel, "World Ref. Point Y:", 199, 152, 61, 11},
    {IDC_STATIC, K::Text,
     "Key in, or browse for, a Tiff file.  Related world files will be picked up "
     "automatically.  Referencing information will be displayed when you tab out of the "
     "'File Name' field.  Use 'Close' to terminate the application.",
     85, 7, 260, 27},
    {IDC_TIFF_STATUS, K::CentredText, "", 15, 67, 134, 9},
    {IDC_WORLD_STATUS, K::CentredText, "", 205, 67, 134, 9},
    {IDC_STATIC, K::Picture, "", 7, 7, 75, 20, IDB_PICTURE},
};

// Template 100. Control 1024 holds a placeholder until the box sets its notice.
constexpr ControlTemplate aboutControls[] = {
    {IDC_STATIC, K::Icon, "", 25, 17, 21, 20, IDR_MAINFRAME},
    {IDC_STATIC, K::CentredText, "Kestrel, Release 1.01", 57, 16, 210, 8},
    {IDOK, K::DefaultButton, "OK", 111, 121, 50, 14},
    {IDC_DISCLAIMER, K::Text, "Disclaimer", 7, 72, 260, 45},
};

constexpr DialogTemplate referencingTemplate{
    IDD_REFERENCING, "Tiff/World File Referencing Examine/Edit", 352, 217, referencingControls};
constexpr DialogTemplate aboutTemplate{IDD_ABOUTBOX, "About Kestrel", 274, 142, aboutControls};

} // namespace

const DialogTemplate& ReferencingTemplate() {
    return referencingTemplate;
}
const DialogTemplate& AboutTemplate() {
    return aboutTemplate;
}

const ControlTemplate* FindControl(const DialogTemplate& dialog, int id) {
    if (id == IDC_STATIC) {
        return nullptr; // shared by every static control, so it names none of them
    }
    for (const ControlTemplate& control : dialog.controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

} // namespace kestrel::qt
