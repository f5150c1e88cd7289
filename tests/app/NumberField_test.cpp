#include "NumberField.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include <gtest/gtest.h>

using kestrel::FormatNumber;
using kestrel::ParseNumberField;

TEST(number_field_test, format_uses_fifteen_significant_digits) {
    EXPECT_EQ(FormatNumber(0), "0");
    EXPECT_EQ(FormatNumber(-0.0), "0");
    EXPECT_EQ(FormatNumber(0.5), "0.5");
    EXPECT_EQ(FormatNumber(-9999), "-9999");
    EXPECT_EQ(FormatNumber(99999999), "99999999");
    EXPECT_EQ(FormatNumber(0.1), "0.1");
    EXPECT_EQ(FormatNumber(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FormatNumber(123456789012345678.0), "1.23456789012346e+17");
    EXPECT_EQ(FormatNumber(1e-5), "1e-05");
    EXPECT_EQ(FormatNumber(654321.123456789), "654321.123456789");
}

// Whole numbers take a shorter way to their digits; around the point where the general form
// turns to an exponent it must still give what "%.15g" gives.
TEST(number_field_test, whole_numbers_format_as_the_general_form) {
    for (const double value :
         {1.0, -1.0, 4100000.0, 999999999999999.0, -999999999999999.0, 1e15, -1e15, 1e15 + 2,
          100000000000000.0, 9007199254740992.0, 1e300, -4503599627370496.5}) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.15g", value);
        EXPECT_EQ(FormatNumber(value), expected) << expected;
    }
}

TEST(number_field_test, accepts_decimal_numbers_with_blanks_around) {
    EXPECT_EQ(ParseNumberField("2"), 2);
    EXPECT_EQ(ParseNumberField("-12.5"), -12.5);
    EXPECT_EQ(ParseNumberField("+3"), 3);
    EXPECT_EQ(ParseNumberField(" \t 1e3 \t "), 1000);
    EXPECT_EQ(ParseNumberField("1.5E-2"), 0.015);
    EXPECT_EQ(ParseNumberField(".5"), 0.5);
    EXPECT_EQ(ParseNumberField("1."), 1);
    EXPECT_EQ(ParseNumberField("654321.123456789"), 654321.123456789);
}

TEST(number_field_test, zero_only_when_it_starts_with_the_digit_zero) {
    EXPECT_EQ(ParseNumberField("0"), 0);
    EXPECT_EQ(ParseNumberField("  0.000"), 0);
    EXPECT_EQ(ParseNumberField("0e5"), 0);
    EXPECT_EQ(ParseNumberField("00"), 0);
    EXPECT_FALSE(ParseNumberField("-0"));
    EXPECT_FALSE(ParseNumberField("+0"));
    EXPECT_FALSE(ParseNumberField(".0"));
    EXPECT_FALSE(ParseNumberField(""));
    EXPECT_FALSE(ParseNumberField(" \t "));
}

TEST(number_field_test, refuses_what_is_not_a_decimal_number) {
    for (const char* text : {"0x10", "0X1p3", "inf", "-inf", "INFINITY", "nan", "NaN(1)", "1,5",
                             "1 2", "12abc", "e5", "-", ".", "1e", "1e+", "--1", "1\n"}) {
        EXPECT_FALSE(ParseNumberField(text)) << '"' << text << '"';
    }
}

TEST(number_field_test, refuses_numbers_beyond_a_double) {
    EXPECT_FALSE(ParseNumberField("1e999"));
    EXPECT_FALSE(ParseNumberField("-1e400"));
    EXPECT_FALSE(ParseNumberField("1e-400")); // not zero, yet would read as zero
    EXPECT_EQ(ParseNumberField("1.7976931348623157e308"), 1.7976931348623157e308);
}

TEST(number_field_test, reads_only_the_first_31_characters) {
    const std::string digits31 = "1234567890123456789012345678901";
    ASSERT_EQ(digits31.size(), 31u);
    // What follows the 31st character is never seen, even when it is not a number.
    EXPECT_EQ(ParseNumberField(digits31 + "xyz"), 1234567890123456789012345678901.0);
    EXPECT_EQ(ParseNumberField("0.5" + std::string(28, ' ') + "junk"), 0.5);
    // A number cut at the 31st character is read as cut.
    EXPECT_EQ(ParseNumberField("1.00000000000000000000000000000"
                               "9"),
              1.0);
    // Blanks that push the number beyond the limit leave nothing to read.
    EXPECT_FALSE(ParseNumberField(std::string(31, ' ') + "5"));
}

TEST(number_field_test, shown_numbers_read_back_exactly) {
    for (double value : {0.1, -2.5, 1e-5, 654321.125, 1e20, 99999999.0, 1.0 / 3}) {
        const std::string shown = FormatNumber(value);
        const std::optional<double> read = ParseNumberField(shown);
        ASSERT_TRUE(read) << shown;
        EXPECT_EQ(FormatNumber(*read), shown);
    }
}

TEST(number_field_test, ranges_and_their_messages) {
    EXPECT_TRUE(kestrel::VectorRange.Contains(9999));
    EXPECT_TRUE(kestrel::VectorRange.Contains(-9999));
    EXPECT_FALSE(kestrel::VectorRange.Contains(9999.0000001));
    EXPECT_FALSE(kestrel::VectorRange.Contains(10000));
    EXPECT_TRUE(kestrel::RefPointRange.Contains(-99999999));
    EXPECT_FALSE(kestrel::TieWorldRange.Contains(100000000));
    EXPECT_EQ(kestrel::RangeMessage(kestrel::VectorRange),
              "Please enter a number between -9999 and 9999.");
    EXPECT_EQ(kestrel::RangeMessage(kestrel::RefPointRange),
              "Please enter a number between -99999999 and 99999999.");
    EXPECT_EQ(kestrel::LengthMessage(260), "Please enter no more than 260 characters.");
}

TEST(number_field_test, an_unchanged_text_gives_back_the_exact_value_behind_it) {
    const kestrel::ShownNumber shown = kestrel::ShowNumber(28.49999999927454);
    EXPECT_EQ(shown.text, "28.4999999992745");
    EXPECT_EQ(kestrel::CollectNumber("28.4999999992745", &shown), 28.49999999927454);
    // Any change of the text is read as the text: another number, blanks, a refused text.
    EXPECT_EQ(kestrel::CollectNumber("28.4999999992746", &shown), 28.4999999992746);
    EXPECT_EQ(kestrel::CollectNumber(" 28.4999999992745", &shown), 28.4999999992745);
    EXPECT_FALSE(kestrel::CollectNumber("", &shown));
    // A field never displayed has no value behind it.
    EXPECT_EQ(kestrel::CollectNumber("28.4999999992745", nullptr), 28.4999999992745);
    // The zero behind "0" keeps its sign bit; the text alone would give +0.
    const kestrel::ShownNumber negativeZero = kestrel::ShowNumber(-0.0);
    EXPECT_EQ(negativeZero.text, "0");
    const std::optional<double> zero = kestrel::CollectNumber("0", &negativeZero);
    ASSERT_TRUE(zero);
    EXPECT_TRUE(std::signbit(*zero));
}

TEST(number_field_test, what_is_no_number_is_refused_even_when_unchanged) {
    for (double value :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity()}) {
        const kestrel::ShownNumber shown = kestrel::ShowNumber(value);
        EXPECT_FALSE(kestrel::CollectNumber(shown.text, &shown)) << shown.text;
    }
}

TEST(number_field_test, random_doubles_survive_display_and_collect_bit_for_bit) {
    std::mt19937_64 engine(15);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int i = 0; i < 100000; ++i) {
        const auto value = std::bit_cast<double>(bits(engine));
        if (!std::isfinite(value)) {
            continue;
        }
        const kestrel::ShownNumber shown = kestrel::ShowNumber(value);
        const std::optional<double> read = kestrel::CollectNumber(shown.text, &shown);
        ASSERT_TRUE(read) << shown.text;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(*read), std::bit_cast<std::uint64_t>(value));
    }
}
