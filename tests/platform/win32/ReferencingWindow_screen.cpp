// The main dialog in this process, on the screen that run_ui_test.sh provides: what another
// process cannot read of it (Wine keeps a window's menus in its own process). Its system menu
// ends with the About entry, and its icons have the sizes of the window's DPI.
#include <gtest/gtest.h>

#include <thread>

#include "ProgramUnderTest.h"
#include "ReferencingWindow.h"
#include "StringResources.h"

namespace kestrel::win32 {
namespace {

struct SeenWindow {
    bool found = false;
    int itemCount = 0;
    bool separatorBeforeLast = false;
    UINT lastId = 0;
    std::wstring lastText;
    SIZE bigIcon{}, smallIcon{}, wantedBig{}, wantedSmall{};
    bool dragIconIsBig = false;
};

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || GetIconInfo(icon, &info) == FALSE) {
        return SIZE{};
    }
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return SIZE{bitmap.bmWidth, bitmap.bmHeight};
}

SeenWindow Inspect(HWND dialog) {
    SeenWindow seen;
    seen.found = true;
    const HMENU menu = GetSystemMenu(dialog, FALSE);
    seen.itemCount = GetMenuItemCount(menu);
    if (seen.itemCount >= 2) {
        MENUITEMINFOW separator{};
        separator.cbSize = sizeof separator;
        separator.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(menu, static_cast<UINT>(seen.itemCount - 2), TRUE, &separator);
        seen.separatorBeforeLast = (separator.fType & MFT_SEPARATOR) != 0;
        wchar_t text[64] = {};
        MENUITEMINFOW last{};
        last.cbSize = sizeof last;
        last.fMask = MIIM_ID | MIIM_STRING;
        last.dwTypeData = text;
        last.cch = 64;
        GetMenuItemInfoW(menu, static_cast<UINT>(seen.itemCount - 1), TRUE, &last);
        seen.lastId = last.wID;
        seen.lastText = text;
    }
    const auto big = reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0));
    const auto small = reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0));
    seen.bigIcon = IconSize(big);
    seen.smallIcon = IconSize(small);
    const UINT dpi = GetDpiForWindow(dialog);
    seen.wantedBig = {GetSystemMetricsForDpi(SM_CXICON, dpi),
                      GetSystemMetricsForDpi(SM_CYICON, dpi)};
    seen.wantedSmall = {GetSystemMetricsForDpi(SM_CXSMICON, dpi),
                        GetSystemMetricsForDpi(SM_CYSMICON, dpi)};
    seen.dragIconIsBig =
        reinterpret_cast<HICON>(SendMessageW(dialog, WM_QUERYDRAGICON, 0, 0)) == big &&
        big != nullptr;
    return seen;
}

TEST(ReferencingWindowOnScreen, the_system_menu_ends_with_the_about_entry_and_the_icons_fit) {
    SeenWindow seen;
    // The dialog runs modally on this thread; a second one looks at it and closes it.
    std::thread inspector([&] {
        HWND dialog = nullptr;
        ui::WaitUntil([&] {
            dialog = FindWindowW(L"#32770", L"Tiff/World File Referencing Examine/Edit");
            return dialog != nullptr && IsWindowVisible(dialog);
        });
        if (dialog != nullptr) {
            seen = Inspect(dialog);
            PostMessageW(dialog, WM_COMMAND, 2, 0);
        }
    });
    InstallStringResources(GetModuleHandleW(nullptr));
    ReferencingWindow window;
    const INT_PTR result = window.Run(GetModuleHandleW(nullptr));
    inspector.join();

    EXPECT_EQ(result, 2);
    ASSERT_TRUE(seen.found) << "the dialog did not come up";
    EXPECT_TRUE(seen.separatorBeforeLast);
    EXPECT_EQ(seen.lastId, 0x0010u);
    EXPECT_EQ(seen.lastText, L"&About Kestrel...");
    EXPECT_EQ(seen.bigIcon.cx, seen.wantedBig.cx);
    EXPECT_EQ(seen.bigIcon.cy, seen.wantedBig.cy);
    EXPECT_EQ(seen.smallIcon.cx, seen.wantedSmall.cx);
    EXPECT_EQ(seen.smallIcon.cy, seen.wantedSmall.cy);
    EXPECT_TRUE(seen.dragIconIsBig);
}

} // namespace
} // namespace kestrel::win32
