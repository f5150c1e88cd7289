// Narrow text in UTF-8, the host's narrow form on Windows, checked on every host: names in any
// script convert both ways unchanged, bounded conversions never split a character, and a
// malformed byte is one character that is reported and widens to U+FFFD.
#include <gtest/gtest.h>
#include <string>

#include "uText.h"

namespace {

constexpr TuNarrowEncoding Utf8 = TuNarrowEncoding::Utf8;
constexpr char16_t Canary = 0xBEEF;
constexpr char NarrowCanary = '#';

std::string Narrowed(const std::u16string& wide) {
    std::string narrow(TuNarrowUnitBytes * wide.size() + 1, NarrowCanary);
    char* end = TuNarrow(narrow.data(), wide.c_str(), Utf8);
    narrow.resize(static_cast<std::size_t>(end - narrow.data()));
    return narrow;
}

std::u16string Widened(const std::string& narrow) {
    std::u16string wide(narrow.size() + 1, Canary);
    char16_t* end = TuWiden(wide.data(), narrow.c_str(), Utf8);
    wide.resize(static_cast<std::size_t>(end - wide.data()));
    return wide;
}

TEST(text_utf8_test, names_in_any_script_convert_both_ways_unchanged) {
    struct Case {
        std::u16string wide;
        std::string narrow;
    };
    const Case cases[] = {
        {u"sheet.tif", "sheet.tif"},
        {u"K\u00f6ln \u00e9t\u00e9", "K\xc3\xb6ln \xc3\xa9t\xc3\xa9"},
        {u"\u5730\u56f3.tif", "\xe5\x9c\xb0\xe5\x9b\xb3.tif"},
        {u"\u03c7\u03ac\u03c1\u03c4\u03b7\u20ac",
         "\xcf\x87\xce\xac\xcf\x81\xcf\x84\xce\xb7\xe2\x82\xac"},
        {u"\U0001F5FA map", "\xf0\x9f\x97\xba map"}, // beyond the basic plane: a pair of units
        {u"\uffff\u0800\u07ff\u0080", "\xef\xbf\xbf\xe0\xa0\x80\xdf\xbf\xc2\x80"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Narrowed(c.wide), c.narrow);
        EXPECT_EQ(Widened(c.narrow), c.wide);
        EXPECT_TRUE(TuIsNarrowValid(c.narrow.c_str(), Utf8));
        EXPECT_EQ(TuNarrowLength(c.narrow.c_str(), Utf8), c.narrow.size());
    }
}

// A Windows name may hold a surrogate without its partner: it keeps its own three bytes, so
// that the name still converts back to itself, and never joins a partner that is not next to
// it.
TEST(text_utf8_test, a_lone_surrogate_survives_the_round_trip) {
    const std::u16string names[] = {
        {u'a', char16_t(0xD800), u'b'},
        {char16_t(0xDC00), char16_t(0xD83D)},
        {char16_t(0xDBFF), u'x', char16_t(0xDFFF)},
    };
    for (const std::u16string& name : names) {
        EXPECT_EQ(Widened(Narrowed(name)), name);
    }
    EXPECT_EQ(Narrowed(names[0]), "a\xed\xa0\x80"
                                  "b");
    EXPECT_TRUE(TuIsNarrowValid("a\xed\xa0\x80"
                                "b",
                                Utf8));
}

TEST(text_utf8_test, a_malformed_byte_is_one_character_that_widens_to_a_replacement) {
    struct Case {
        std::string narrow;
        std::u16string wide;
    };
    const Case cases[] = {
        {"a\x80z", u"a\ufffdz"},                           // a continuation byte alone
        {"\xc3", u"\ufffd"},                               // cut short by the terminator
        {"\xc3z", u"\ufffdz"},                             // cut short by a plain byte
        {"\xc0\xaf", u"\ufffd\ufffd"},                     // an over-long '/'
        {"\xe0\x80\xaf", u"\ufffd\ufffd\ufffd"},           // an over-long '/' in three bytes
        {"\xf4\x90\x80\x80", u"\ufffd\ufffd\ufffd\ufffd"}, // beyond U+10FFFF
        {"\xff\xfe", u"\ufffd\ufffd"},                     // bytes UTF-8 never uses
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(TuIsNarrowValid(c.narrow.c_str(), Utf8)) << c.narrow;
        EXPECT_EQ(Widened(c.narrow), c.wide) << c.narrow;
        EXPECT_EQ(TuNarrowLength(c.narrow.c_str(), Utf8), c.narrow.size());
        EXPECT_EQ(TuNarrowSkip(c.narrow.c_str(), c.wide.size(), Utf8),
                  c.narrow.c_str() + c.narrow.size());
    }
}

TEST(text_utf8_test, bounded_conversions_never_split_a_character) {
    const std::u16string wide = u"a\u00e9\u20ac\U0001F5FA"; // 1, 2, 3 and 4 bytes; 5 units
    char narrow[16];
    narrow[11] = NarrowCanary;
    const std::size_t sizes[] = {1, 2, 3, 4, 6, 7, 10, 11};
    const char* expected[] = {"",
                              "a",
                              "a",
                              "a\xc3\xa9",
                              "a\xc3\xa9",
                              "a\xc3\xa9\xe2\x82\xac",
                              "a\xc3\xa9\xe2\x82\xac",
                              "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x97\xba"};
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        const char* end = TuNarrowBytes(narrow, wide.c_str(), sizes[i], Utf8);
        EXPECT_EQ(std::string(narrow), expected[i]) << sizes[i];
        EXPECT_EQ(end, narrow + std::string(expected[i]).size());
    }
    EXPECT_EQ(narrow[11], NarrowCanary);

    // TuNarrowN counts units: the pair goes whole or not at all.
    TuNarrowN(narrow, wide.c_str(), 4, Utf8);
    EXPECT_EQ(std::string(narrow), "a\xc3\xa9\xe2\x82\xac");
    TuNarrowN(narrow, wide.c_str(), 5, Utf8);
    EXPECT_EQ(std::string(narrow), "a\xc3\xa9\xe2\x82\xac");
    TuNarrowN(narrow, wide.c_str(), 6, Utf8);
    EXPECT_EQ(std::string(narrow), "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x97\xba");

    // TuWidenN counts units too.
    const std::string source = "a\xf0\x9f\x97\xba"
                               "b";
    char16_t units[8];
    units[4] = Canary;
    EXPECT_EQ(TuWidenN(units, source.c_str(), 3, Utf8), units + 1);
    EXPECT_EQ(std::u16string(units), u"a");
    EXPECT_EQ(TuWidenN(units, source.c_str(), 4, Utf8), units + 3);
    EXPECT_EQ(std::u16string(units), u"a\U0001F5FA");
    EXPECT_EQ(units[4], Canary);
}

// A buffer of TuNarrowUnitBytes bytes per unit holds the longest narrow form: a text of
// characters that take three bytes each.
TEST(text_utf8_test, three_bytes_per_unit_hold_any_text) {
    const std::u16string wide(259, u'\u5730');
    std::string narrow(TuNarrowUnitBytes * wide.size() + 2, NarrowCanary);
    const char* end = TuNarrow(narrow.data(), wide.c_str(), Utf8);
    EXPECT_EQ(end, narrow.data() + 3 * 259);
    EXPECT_EQ(narrow[3 * 259 + 1], NarrowCanary);
}

TEST(text_utf8_test, characters_are_counted_and_measured_whole) {
    const char* text = "\xc3\xa9t\xe2\x82\xac\xf0\x9f\x97\xba!";
    EXPECT_EQ(TuNarrowSkip(text, 1, Utf8), text + 2);
    EXPECT_EQ(TuNarrowSkip(text, 3, Utf8), text + 6);
    EXPECT_EQ(TuNarrowSkip(text, 4, Utf8), text + 10);
    EXPECT_EQ(TuNarrowSkip(text, 9, Utf8), text + 11);
    EXPECT_EQ(TuNarrowFit(text, 1, Utf8), text);
    EXPECT_EQ(TuNarrowFit(text, 5, Utf8), text + 3);
    EXPECT_EQ(TuNarrowFit(text, 6, Utf8), text + 6);
    EXPECT_EQ(TuNarrowFit(text, 100, Utf8), text + 11);
    char copy[16];
    EXPECT_EQ(TuNarrowCopy(copy, text, Utf8), copy + 11);
    EXPECT_STREQ(copy, text);
    EXPECT_TRUE(TuIsLeadByte(0xC3, Utf8));
    EXPECT_TRUE(TuIsLeadByte(0xF0, Utf8));
    EXPECT_FALSE(TuIsLeadByte('t', Utf8));
    EXPECT_FALSE(TuIsLeadByte(0x82, Utf8));
    EXPECT_FALSE(TuIsLeadByte(0xC0, Utf8)); // only ever over-long
}

} // namespace
