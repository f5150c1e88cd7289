#include "uFormatDirective.h"

#include <gtest/gtest.h>
#include <string>

#include "uSystemInfo.h"

namespace {

constexpr int FourArguments = 4;

// What follows the directive in the template, or "(invalid)".
std::u16string Rest(const TuDirective& directive) {
    return directive.kind == TuDirectiveKind::Invalid ? u"(invalid)" : directive.end;
}

} // namespace

TEST(format_directive_test, reads_every_field_and_ends_after_its_letter) {
    const TuDirective d = TuParseDirective(u"-+#2>8.3ld tail", FourArguments);
    EXPECT_EQ(d.kind, TuDirectiveKind::Value);
    EXPECT_EQ(d.conversion, u'd');
    EXPECT_EQ(d.argumentIndex, 2);
    EXPECT_EQ(d.factIndex, 0);
    EXPECT_EQ(d.width, 8);
    EXPECT_EQ(d.precision, 3);
    EXPECT_TRUE(d.leftJustify);
    EXPECT_TRUE(d.alternate);
    EXPECT_EQ(d.sign, u'+');
    EXPECT_EQ(Rest(d), u" tail");
}

TEST(format_directive_test, later_sign_wins_and_numbers_continue_across_flags) {
    const TuDirective d = TuParseDirective(u"+ 1-2.3#4s", FourArguments);
    EXPECT_EQ(d.sign, u' ');
    EXPECT_EQ(d.width, 12);
    EXPECT_EQ(d.precision, 34);
    // A second "." starts the precision again; ">" takes the width, not the precision.
    const TuDirective again = TuParseDirective(u".5.2>d", FourArguments);
    EXPECT_EQ(again.precision, 2);
    EXPECT_EQ(again.argumentIndex, 0);
    const TuDirective fact = TuParseDirective(u"3^b", FourArguments);
    EXPECT_EQ(fact.factIndex, 3);
    EXPECT_EQ(fact.width, 0);
}

TEST(format_directive_test, floating_conversions_default_to_precision_six) {
    EXPECT_EQ(TuParseDirective(u"f", 0).precision, 6);
    EXPECT_EQ(TuParseDirective(u"E", 0).precision, 6);
    EXPECT_EQ(TuParseDirective(u".2g", 0).precision, 2);
    EXPECT_EQ(TuParseDirective(u".0e", 0).precision, 0);
    EXPECT_EQ(TuParseDirective(u"d", 0).precision, -1);
    EXPECT_EQ(TuParseDirective(u"s", 0).precision, -1);
}

TEST(format_directive_test, letters_that_write_their_own_character) {
    const std::u16string letters = u"%VvDO";
    const std::u16string written = u"%%%\\/";
    for (std::size_t i = 0; i < letters.size(); ++i) {
        const std::u16string text = letters.substr(i, 1) + u"next";
        const TuDirective d = TuParseDirective(text.c_str(), 0);
        EXPECT_EQ(d.kind, TuDirectiveKind::Character) << i;
        EXPECT_EQ(d.character, written[i]) << i;
        EXPECT_EQ(Rest(d), u"next") << i;
    }
}

TEST(format_directive_test, invalid_directives) {
    for (const char16_t* text : {u"5>d", u"17^d", u"", u"1>", u"F", u"z", u"1>2F", u"-"}) {
        EXPECT_EQ(TuParseDirective(text, FourArguments).kind, TuDirectiveKind::Invalid)
            << std::string(text, text + std::char_traits<char16_t>::length(text));
    }
    // The highest indexes in range are valid.
    EXPECT_EQ(TuParseDirective(u"4>d", FourArguments).kind, TuDirectiveKind::Value);
    EXPECT_EQ(TuParseDirective(u"16^d", FourArguments).factIndex, TuSystemInfo::FactCount);
    // Without arguments, only the index 0 (no index at all) is in range.
    EXPECT_EQ(TuParseDirective(u"1>d", 0).kind, TuDirectiveKind::Invalid);
    EXPECT_EQ(TuParseDirective(u"0>d", 0).kind, TuDirectiveKind::Value);
}

TEST(format_directive_test, absurd_numbers_are_capped) {
    const TuDirective d = TuParseDirective(u"99999999999999999999.99999999999999999999d", 0);
    EXPECT_EQ(d.width, 100000);
    EXPECT_EQ(d.precision, 100000);
    EXPECT_EQ(TuParseDirective(u"99999999999>d", FourArguments).kind, TuDirectiveKind::Invalid);
}
