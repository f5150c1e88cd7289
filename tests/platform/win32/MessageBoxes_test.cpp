// The message boxes' captions and MessageBoxW styles: every category style of the error
// catalogue, the dialogs' own messages, and styles the box has no buttons or icon for.
#include <gtest/gtest.h>

#include "DialogPlatform.h"
#include "MessageBoxes.h"
#include "uMessageStyle.h"

namespace kestrel::win32 {
namespace {

TEST(MessageBoxFlags, each_category_style_gives_its_icon_and_buttons) {
    EXPECT_EQ(MessageBoxFlags(0x40), static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(MessageBoxFlags(0x30), static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(MessageBoxFlags(0x21), static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(MessageBoxFlags(0x10), static_cast<UINT>(MB_OK | MB_ICONERROR));
}

TEST(MessageBoxFlags, every_button_set_reaches_the_box) {
    EXPECT_EQ(MessageBoxFlags(TuStyleAbortRetryIgnore), static_cast<UINT>(MB_ABORTRETRYIGNORE));
    EXPECT_EQ(MessageBoxFlags(TuStyleYesNoCancel), static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_EQ(MessageBoxFlags(TuStyleYesNo), static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(MessageBoxFlags(TuStyleRetryCancel), static_cast<UINT>(MB_RETRYCANCEL));
}

TEST(MessageBoxFlags, the_dialogs_own_messages_are_plain_or_warnings) {
    EXPECT_EQ(MessageBoxFlags(PlainMessage("x").style), static_cast<UINT>(MB_OK));
    EXPECT_EQ(MessageBoxFlags(WarningMessage("x").style),
              static_cast<UINT>(MB_OK | MB_ICONWARNING));
}

TEST(MessageBoxFlags, a_style_without_a_matching_icon_or_buttons_shows_ok_alone) {
    // Never MB_USERICON (0x80) or a button set Windows has no box for.
    EXPECT_EQ(MessageBoxFlags(0x80), static_cast<UINT>(MB_OK));
    EXPECT_EQ(MessageBoxFlags(0x0F), static_cast<UINT>(MB_OK));
    EXPECT_EQ(MessageBoxFlags(0x5F), static_cast<UINT>(MB_OK));
}

TEST(MessageBoxCaption, errors_keep_their_category_caption_and_the_dialogs_take_the_title) {
    const TuMessage error{1384001550, "Data File Format Problem", "text", 0x10};
    EXPECT_EQ(MessageBoxCaption(error, L"kestrel"), L"Data File Format Problem");
    EXPECT_EQ(MessageBoxCaption(WarningMessage("Please enter a number."), L"kestrel"), L"kestrel");
}

TEST(MessageBoxCaption, a_caption_outside_latin_1_arrives_whole) {
    const TuMessage message{std::nullopt, "Kart\xC3\xA9 \xE5\x9C\xB0\xE5\x9B\xB3 \xF0\x9D\x84\x9E",
                            "text", 0x40};
    EXPECT_EQ(MessageBoxCaption(message, L"kestrel"), L"Kart\u00e9 \u5730\u56f3 \U0001D11E");
}

} // namespace
} // namespace kestrel::win32
