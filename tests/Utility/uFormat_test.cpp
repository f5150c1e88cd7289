#include "uValue.h"

#include <gtest/gtest.h>
#include <string>

#include "TestProgram.h"
#include "uSystemInfo.h"

namespace {

std::u16string Format(const char16_t* messageTemplate, const TuValue* arguments = nullptr,
                      int count = 0, int capacity = 256) {
    std::u16string buffer(static_cast<std::size_t>(capacity), u'#');
    TuFormat(buffer.data(), capacity, messageTemplate, arguments, count);
    // NOLINTNEXTLINE(readability-redundant-string-cstr): the text ends at the terminator
    return std::u16string(buffer.c_str());
}

std::u16string FormatInt(const char16_t* messageTemplate, int value) {
    TuValue arguments[4];
    arguments[0].SetInt(value);
    return Format(messageTemplate, arguments, 4);
}

std::u16string FormatDouble(const char16_t* messageTemplate, double value) {
    TuValue arguments[4];
    arguments[0].SetDouble(value);
    return Format(messageTemplate, arguments, 4);
}

std::u16string FormatText(const char16_t* messageTemplate, const char* text) {
    TuValue arguments[4];
    arguments[0].SetText(text);
    return Format(messageTemplate, arguments, 4);
}

} // namespace

TEST(format_test, directives_that_write_their_own_character) {
    EXPECT_EQ(Format(u"a%%b%Dc%Od%Ve%vf"), u"a%b\\c/d%e%f");
}

TEST(format_test, invalid_directives_are_copied_as_text) {
    TuValue arguments[4];
    EXPECT_EQ(Format(u"x %5>d y", arguments, 4), u"x %5>d y");
    EXPECT_EQ(Format(u"x %17^d y", arguments, 4), u"x %17^d y");
    EXPECT_EQ(Format(u"%F and %z", arguments, 4), u"%F and %z");
    EXPECT_EQ(Format(u"ends in %", arguments, 4), u"ends in %");
    EXPECT_EQ(Format(u"ends in %1>", arguments, 4), u"ends in %1>");
}

TEST(format_test, directive_after_arguments_are_used_up_is_copied) {
    TuValue arguments[4];
    for (int i = 0; i < 4; ++i) {
        arguments[i].SetInt(i + 1);
    }
    EXPECT_EQ(Format(u"%d %d %d %d %d", arguments, 4), u"1 2 3 4 %d");
}

TEST(format_test, indexed_directives_do_not_move_the_counter) {
    TuValue arguments[2];
    arguments[0].SetInt(7);
    arguments[1].SetInt(9);
    EXPECT_EQ(Format(u"%2>d %d %1>d %d", arguments, 2), u"9 7 7 9");
}

TEST(format_test, integer_width_precision_and_flags) {
    EXPECT_EQ(FormatInt(u"[%1>8d]", 42), u"[      42]");
    EXPECT_EQ(FormatInt(u"[%-1>8d]", 42), u"[42      ]");
    EXPECT_EQ(FormatInt(u"%1>.4d", 42), u"0042");
    EXPECT_EQ(FormatInt(u"%#1>x", 255), u"0xff");
    EXPECT_EQ(FormatInt(u"%1>X", 255), u"FF");
    EXPECT_EQ(FormatInt(u"%#1>o", 8), u"010");
    EXPECT_EQ(FormatInt(u"%+1>d", 5), u"+5");
    EXPECT_EQ(FormatInt(u"% 1>d", 5), u" 5");
    EXPECT_EQ(FormatInt(u"%1>d", -5), u"-5");
    EXPECT_EQ(FormatInt(u"%1>x", -5), u"5");
    EXPECT_EQ(FormatInt(u"%1>d", -2147483647 - 1), u"-2147483648");
}

TEST(format_test, unsigned_and_characters_as_integers) {
    TuValue arguments[2];
    arguments[0].SetUnsigned(4294967295u);
    arguments[1].SetWideChar(u'A');
    EXPECT_EQ(Format(u"%1>u %2>c [%2>d]", arguments, 2), u"4294967295 A [65]");
}

TEST(format_test, floating_forms) {
    EXPECT_EQ(FormatDouble(u"%1>f", 1.5), u"1.500000");
    EXPECT_EQ(FormatDouble(u"%1>e", 1.5), u"1.500000e+00");
    EXPECT_EQ(FormatDouble(u"%1>f", 0.05), u"0.0500000");
    EXPECT_EQ(FormatDouble(u"%1>f", 1.0e12), u"1.000000e+12");
    EXPECT_EQ(FormatDouble(u"%1>E", 2.5e-7), u"2.500000E-07");
    EXPECT_EQ(FormatDouble(u"%1>.2f", 3.14159), u"3.14");
    EXPECT_EQ(FormatDouble(u"%1>f", -1.5), u"-1.500000");
    EXPECT_EQ(FormatDouble(u"%1>f", 0.0), u"0.000000");
    EXPECT_EQ(FormatDouble(u"%1>e", 1.0e200), u"1.000000e+200");
}

TEST(format_test, text_conversions_split_paths) {
    EXPECT_EQ(FormatText(u"%1>b", "C:\\maps\\name.ext.bak"), u"name.ext");
    EXPECT_EQ(FormatText(u"%1>B", "C:\\maps\\sheet.tif"), u"sheet.tif");
    EXPECT_EQ(FormatText(u"%1>P", "C:\\maps\\sheet.tif"), u"C:\\maps");
    EXPECT_EQ(FormatText(u"%1>P", "no separator"), u"no separator");
    EXPECT_EQ(FormatText(u"%1>b", "/usr/bin/kestrel"), u"kestrel");
    EXPECT_EQ(FormatText(u"%1>p", "/usr/bin/kestrel"), u"/usr/bin");
    EXPECT_EQ(FormatText(u"%1>.3s", "abcdef"), u"abc");
}

TEST(format_test, empty_value_prints_question_mark) {
    TuValue arguments[4];
    EXPECT_EQ(Format(u"a %1>d b %2>s c", arguments, 4), u"a ? b ? c");
}

TEST(format_test, mismatched_conversions_never_read_the_value) {
    TuValue arguments[3];
    arguments[0].SetInt(12);
    arguments[1].SetText("text");
    arguments[2].SetDouble(2.5);
    EXPECT_EQ(Format(u"%1>s|%2>f|%3>s|%1>S|%+1>c", arguments, 3), u"0|?|?|0|+0");
}

TEST(format_test, text_as_integer_prints_its_first_bytes) {
    // A directive without an index takes argument 1 (here wide text) as an integer of width 2.
    TuValue arguments[2];
    arguments[0].SetWideText(u"\x0001");
    arguments[1].SetInt(5);
    EXPECT_EQ(Format(u"[%2ld]", arguments, 2), u"[ 1]");
}

TEST(format_test, output_is_cut_at_capacity_and_full_length_returned) {
    std::u16string longTemplate(300, u'x');
    char16_t buffer[256];
    const int length = TuFormat(buffer, 256, longTemplate.c_str(), nullptr, 0);
    EXPECT_EQ(length, 300);
    EXPECT_EQ(std::u16string(buffer), std::u16string(255, u'x'));
}

TEST(format_test, rendered_value_is_limited_to_63_characters) {
    TuValue arguments[1];
    arguments[0].SetInt(1);
    EXPECT_EQ(Format(u"%1>80d", arguments, 1).size(), 80u);
    EXPECT_EQ(Format(u"%1>.80d", arguments, 1).size(), 31u); // the number area holds 31 bytes
}

TEST(format_test, absurd_width_is_capped_and_counted) {
    // The width stops at 100000: the count says so, and the output is cut at its capacity.
    TuValue arguments[1];
    arguments[0].SetInt(7);
    char16_t buffer[256];
    EXPECT_EQ(TuFormat(buffer, 256, u"%1>99999999999999d", arguments, 1), 100000);
    EXPECT_EQ(std::u16string(buffer), std::u16string(255, u' '));
    EXPECT_EQ(TuFormat(buffer, 256, u"%-1>99999999999999d|", arguments, 1), 100001);
    EXPECT_EQ(std::u16string(buffer), u"7" + std::u16string(254, u' '));
}

TEST(format_test, capacity_one_stores_only_the_terminator) {
    char16_t buffer[1] = {u'#'};
    EXPECT_EQ(TuFormat(buffer, 1, u"abc", nullptr, 0), 3);
    EXPECT_EQ(buffer[0], 0);
}

TEST(format_test, program_facts) {
    EXPECT_EQ(Format(u"%6^s %8^d %16^s"), u"? ? ?");
    const std::u16string name = Format(u"%1^b");
    EXPECT_EQ(name, u"utility_tests");
    EXPECT_EQ(Format(u"%1^B"), UtilityTestsFileName);
}

TEST(format_test, unusual_directive_forms) {
    TuValue arguments[2];
    arguments[0].SetText("C:\\dir\\file.ddf");
    arguments[1].SetInt(3);
    // "%^1b" has no number before "^": it takes the next argument as a base name of width 1.
    EXPECT_EQ(Format(u"%^1b", arguments, 2), u"file");
}
