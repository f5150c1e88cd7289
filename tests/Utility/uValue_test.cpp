#include "uValue.h"

#include <gtest/gtest.h>
#include <string>

TEST(value_test, new_value_is_empty) {
    TuValue value;
    EXPECT_EQ(value.Kind(), tvNone);
    EXPECT_EQ(value.AsUnsigned(), 0u);
    char16_t buffer[64];
    EXPECT_EQ(value.Render(buffer, 64, u'd', -1, false, 0), 1);
    EXPECT_EQ(std::u16string(buffer), u"?");
}

TEST(value_test, short_texts_are_copied_whole) {
    TuValue value;
    const std::string narrow(47, 'n');
    value.SetText(narrow.c_str());
    EXPECT_EQ(value.Text(), narrow);
    const std::u16string wide(47, u'w');
    value.SetWideText(wide.c_str());
    EXPECT_EQ(value.Kind(), tvWideText);
    EXPECT_EQ(value.WideText(), wide);
}

TEST(value_test, long_wide_text_keeps_head_and_tail) {
    std::u16string wide;
    for (int i = 0; i < 48; ++i) {
        wide += static_cast<char16_t>(u'A' + i % 26);
    }
    TuValue value;
    value.SetWideText(wide.c_str());
    const std::u16string stored = value.WideText();
    EXPECT_EQ(stored.size(), 46u);
    EXPECT_EQ(stored, wide.substr(0, 11) + u"..." + wide.substr(16));
}

TEST(value_test, long_narrow_text_keeps_head_and_last_31_bytes) {
    std::string narrow;
    for (int i = 0; i < 100; ++i) {
        narrow += static_cast<char>('a' + i % 26);
    }
    TuValue value;
    value.SetText(narrow.c_str());
    EXPECT_EQ(std::string(value.Text()), narrow.substr(0, 11) + "..." + narrow.substr(69));
}

TEST(value_test, copies_are_independent) {
    TuValue original;
    original.SetText("first");
    TuValue copy(original);
    original.SetText("second");
    EXPECT_STREQ(copy.Text(), "first");

    TuValue number;
    number.SetDouble(2.5);
    copy = number;
    EXPECT_EQ(copy.Kind(), tvDouble);
    EXPECT_EQ(copy.AsDouble(), 2.5);

    copy = copy; // self-assignment leaves it as it is
    EXPECT_EQ(copy.AsDouble(), 2.5);
}

TEST(value_test, characters_leave_the_rest_of_the_word_zero) {
    TuValue value;
    value.SetText("abcdef");
    value.SetChar('Z');
    EXPECT_EQ(value.Kind(), tvChar);
    EXPECT_EQ(value.AsUnsigned(), static_cast<std::uint32_t>('Z'));
    value.SetWideChar(0x1234);
    EXPECT_EQ(value.AsUnsigned(), 0x1234u);
}

TEST(value_test, render_reports_full_length_and_stores_capacity_minus_one) {
    TuValue value;
    value.SetText("abcdefghij");
    char16_t buffer[5];
    EXPECT_EQ(value.Render(buffer, 5, u's', -1, false, 0), 10);
    EXPECT_EQ(std::u16string(buffer), u"abcd");
}

TEST(value_test, huge_precision_stays_inside_the_number_area) {
    TuValue value;
    value.SetDouble(1.0 / 3.0);
    char16_t buffer[64];
    const int length = value.Render(buffer, 64, u'f', 500, false, 0);
    EXPECT_LE(length, 31);
    EXPECT_EQ(std::u16string(buffer).substr(0, 6), u"0.3333");
}

TEST(value_test, non_finite_doubles_render_readably) {
    TuValue value;
    char16_t buffer[64];
    value.SetDouble(-1.0 / 0.0);
    value.Render(buffer, 64, u'g', 6, false, 0);
    EXPECT_EQ(std::u16string(buffer), u"-inf");
}
