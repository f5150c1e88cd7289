// kestrel.exe's resources as built: the two dialog templates control by control (id, class,
// text, rectangle in dialog units, style, tab order), the icon's pictures, the picture of the
// main dialog, the string table, and the manifest.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "DialogResource.h"

namespace kestrel::test {
namespace {

class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExW(Wide(KESTREL_PROGRAM_FILE).c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "cannot read " << KESTREL_PROGRAM_FILE;
    }
    void TearDown() override {
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }

    static std::wstring Wide(const std::string& text) {
        return std::wstring(text.begin(), text.end());
    }

    HMODULE module = nullptr;
};

// What a control is, as the layout names it.
enum class Kind {
    Edit,
    PushButton,
    DefaultButton,
    GroupBox,
    RightLabel,
    CentredText,
    Text,
    Picture,
    Icon
};

struct Expected {
    int id;
    Kind kind;
    const wchar_t* text;
    short x, y, width, height;
    int resource = 0;
};

constexpr int Static = -1;

// Checks class and style of a control against its kind; interactive controls are tab stops,
// the others are not.
void ExpectKind(const ResourceControl& control, Kind kind) {
    const DWORD buttonType = control.style & BS_TYPEMASK;
    const DWORD staticType = control.style & SS_TYPEMASK;
    switch (kind) {
    case Kind::Edit:
        EXPECT_EQ(control.className, L"Edit");
        EXPECT_NE(control.style & ES_AUTOHSCROLL, 0u) << "an edit must scroll horizontally";
        EXPECT_NE(control.style & WS_BORDER, 0u);
        break;
    case Kind::PushButton:
        EXPECT_EQ(control.className, L"Button");
        EXPECT_EQ(buttonType, static_cast<DWORD>(BS_PUSHBUTTON));
        break;
    case Kind::DefaultButton:
        EXPECT_EQ(control.className, L"Button");
        EXPECT_EQ(buttonType, static_cast<DWORD>(BS_DEFPUSHBUTTON));
        break;
    case Kind::GroupBox:
        EXPECT_EQ(control.className, L"Button");
        EXPECT_EQ(buttonType, static_cast<DWORD>(BS_GROUPBOX));
        break;
    case Kind::RightLabel:
        EXPECT_EQ(control.className, L"Static");
        EXPECT_EQ(staticType, static_cast<DWORD>(SS_RIGHT));
        break;
    case Kind::CentredText:
        EXPECT_EQ(control.className, L"Static");
        EXPECT_EQ(staticType, static_cast<DWORD>(SS_CENTER));
        break;
    case Kind::Text:
        EXPECT_EQ(control.className, L"Static");
        EXPECT_EQ(staticType, static_cast<DWORD>(SS_LEFT));
        break;
    case Kind::Picture:
        EXPECT_EQ(control.className, L"Static");
        EXPECT_EQ(staticType, static_cast<DWORD>(SS_BITMAP));
        break;
    case Kind::Icon:
        EXPECT_EQ(control.className, L"Static");
        EXPECT_EQ(staticType, static_cast<DWORD>(SS_ICON));
        break;
    }
    const bool interactive =
        kind == Kind::Edit || kind == Kind::PushButton || kind == Kind::DefaultButton;
    EXPECT_EQ((control.style & WS_TABSTOP) != 0, interactive) << "tab stop";
    EXPECT_NE(control.style & WS_VISIBLE, 0u);
}

void ExpectControls(const ResourceDialog& dialog, const std::vector<Expected>& expected) {
    ASSERT_EQ(dialog.controls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const ResourceControl& control = dialog.controls[i];
        const Expected& wanted = expected[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(wanted.id));
        EXPECT_EQ(control.id, wanted.id);
        EXPECT_EQ(control.text, wanted.text);
        EXPECT_EQ(control.resource, wanted.resource);
        EXPECT_EQ(control.x, wanted.x);
        EXPECT_EQ(control.y, wanted.y);
        EXPECT_EQ(control.width, wanted.width);
        EXPECT_EQ(control.height, wanted.height);
        ExpectKind(control, wanted.kind);
    }
}

TEST_F(ProgramResources, the_main_dialog_is_template_102_in_its_layout_and_tab_order) {
    const std::optional<ResourceDialog> dialog = ReadDialogResource(module, 102);
    ASSERT_TRUE(dialog.has_value());
    EXPECT_EQ(dialog->caption, L"Tiff/World File Referencing Examine/Edit");
    EXPECT_EQ(dialog->width, 352);
    EXPECT_EQ(dialog->height, 217);
    EXPECT_EQ(dialog->pointSize, 8);
    EXPECT_EQ(dialog->typeface, L"MS Sans Serif");
    const DWORD required = DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(dialog->style & required, required);
    EXPECT_EQ(dialog->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
    EXPECT_NE(dialog->exStyle & WS_EX_APPWINDOW, 0u) << "shown in the task bar";

    using K = Kind;
    ExpectControls(
        *dialog,
        {
            {1000, K::Edit, L"", 54, 39, 210, 13},
            {1001, K::PushButton, L"&Browse", 271, 39, 42, 13},
            {1002, K::Edit, L"", 72, 80, 77, 13},
            {1003, K::Edit, L"", 72, 94, 77, 13},
            {1004, K::Edit, L"", 72, 108, 77, 13},
            {1005, K::Edit, L"", 72, 122, 77, 13},
            {1006, K::Edit, L"", 72, 136, 77, 13},
            {1007, K::Edit, L"", 72, 150, 77, 13},
            {1020, K::PushButton, L"Update Referencing in TIFF File", 28, 168, 114, 14},
            {1008, K::Edit, L"", 262, 80, 77, 13},
            {1009, K::Edit, L"", 262, 94, 77, 13},
            {1010, K::Edit, L"", 262, 108, 77, 13},
            {1011, K::Edit, L"", 262, 122, 77, 13},
            {1012, K::Edit, L"", 262, 136, 77, 13},
            {1013, K::Edit, L"", 262, 150, 77, 13},
            {1021, K::PushButton, L"Update Referencing in World File", 212, 168, 114, 14},
            {1018, K::PushButton, L"-->", 163, 94, 25, 12},
            {1019, K::PushButton, L"<--", 163, 117, 25, 12},
            {2, K::PushButton, L"&Close", 237, 195, 50, 14},
            {9, K::PushButton, L"&Help", 295, 195, 50, 14},
            {Static, K::GroupBox, L"GeoTiff File", 7, 57, 149, 129},
            {Static, K::GroupBox, L"World File", 196, 57, 149, 129},
            {Static, K::RightLabel, L"&File Name:", 9, 40, 39, 9},
            {Static, K::RightLabel, L"X Pixel Scale:", 9, 81, 60, 11},
            {Static, K::RightLabel, L"Y Pixel Scale:", 9, 95, 60, 11},
            {Static, K::RightLabel, L"Tie Point, X Pixel:", 9, 110, 60, 11},
            {Static, K::RightLabel, L"Tie Point Y Pixel:", 9, 123, 60, 11},
            {Static, K::RightLabel, L"Tie Point, World X:", 9, 136, 60, 11},
            {Static, K::RightLabel, L"Tie Point, World Y:", 9, 151, 60, 11},
            {Static, K::RightLabel, L"X Vector X:", 200, 82, 61, 11},
            {Static, K::RightLabel, L"X Vector Y:", 200, 96, 61, 11},
            {Static, K::RightLabel, L"Y Vector X:", 200, 110, 61, 11},
            {Static, K::RightLabel, L"Y Vector Y:", 200, 123, 61, 11},
            {Static, K::RightLabel, L"World Ref. Point X:", 199, 138, 61, 11},
            {Static, K::RightLabel, L"World Ref. Point Y:", 199, 152, 61, 11},
            {Static, K::Text,
             L"Key in, or browse for, a Tiff file.  Related world files will be picked up "
             L"automatically.  Referencing information will be displayed when you tab out of "
             L"the 'File Name' field.  Use 'Close' to terminate the application.",
             85, 7, 260, 27},
            {1023, K::CentredText, L"", 15, 67, 134, 9},
            {1024, K::CentredText, L"", 205, 67, 134, 9},
            {Static, K::Picture, L"", 7, 7, 75, 20, 131},
        });
}

TEST_F(ProgramResources, the_about_box_is_template_100_with_the_release_and_a_placeholder) {
    const std::optional<ResourceDialog> dialog = ReadDialogResource(module, 100);
    ASSERT_TRUE(dialog.has_value());
    EXPECT_EQ(dialog->caption, L"About Kestrel");
    EXPECT_EQ(dialog->width, 274);
    EXPECT_EQ(dialog->height, 142);
    EXPECT_EQ(dialog->pointSize, 8);
    EXPECT_EQ(dialog->typeface, L"MS Sans Serif");
    using K = Kind;
    ExpectControls(*dialog, {
                                {Static, K::Icon, L"", 25, 17, 21, 20, 128},
                                {Static, K::CentredText, L"Kestrel, Release 1.01", 57, 16, 210, 8},
                                {1, K::DefaultButton, L"OK", 111, 121, 50, 14},
                                {1024, K::Text, L"Disclaimer", 7, 72, 260, 45},
                            });
}

TEST_F(ProgramResources, the_icon_holds_a_picture_for_each_size_windows_shows) {
    const HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(128), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    // GRPICONDIR: reserved, type 1, count; then 14-byte entries whose first byte is the width
    // (0 for 256).
    const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
    std::vector<int> widths;
    for (WORD i = 0; i < count; ++i) {
        const BYTE width = directory[6 + 14 * i];
        widths.push_back(width == 0 ? 256 : width);
    }
    EXPECT_EQ(widths, (std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256}));
}

TEST_F(ProgramResources, the_picture_is_bitmap_131_the_size_of_its_control) {
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(131), RT_BITMAP);
    ASSERT_NE(found, nullptr);
    BITMAPINFOHEADER header;
    std::memcpy(&header, LockResource(LoadResource(module, found)), sizeof header);
    // 75 x 20 dialog units in an 8-point dialog font at 96 DPI.
    EXPECT_EQ(header.biWidth, 113);
    EXPECT_EQ(header.biHeight, 33);
}

TEST_F(ProgramResources, string_101_is_the_about_entry_of_the_system_menu) {
    wchar_t text[64] = {};
    ASSERT_GT(LoadStringW(module, 101, text, 64), 0);
    EXPECT_EQ(std::wstring(text), L"&About Kestrel...");
}

TEST_F(ProgramResources, the_manifest_asks_for_common_controls_6_and_per_monitor_dpi) {
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    EXPECT_NE(manifest.find(R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"),
              std::string::npos);
    EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                            "WindowsSettings\">PerMonitorV2"),
              std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
}

} // namespace
} // namespace kestrel::test
