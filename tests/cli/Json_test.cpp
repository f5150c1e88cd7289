#include "Json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

using namespace kestrel::cli;

namespace {

std::string Number(double value) {
    std::string out;
    AppendJsonNumber(out, value);
    return out;
}

std::string String(const std::string& text) {
    std::string out;
    AppendJsonString(out, text);
    return out;
}

} // namespace

TEST(json_test, numbers_are_the_shortest_exact_form) {
    EXPECT_EQ(Number(0), "0");
    EXPECT_EQ(Number(-0.0), "-0");
    EXPECT_EQ(Number(100), "100");
    EXPECT_EQ(Number(0.1), "0.1");
    EXPECT_EQ(Number(-2.5), "-2.5");
    EXPECT_EQ(Number(1e21), "1e+21");
    EXPECT_EQ(Number(499.99999999999994), "499.99999999999994");
    // One unit in the last place away from 0.3: "%.15g" would print 0.3 for both.
    EXPECT_EQ(Number(0.1 + 0.2), "0.30000000000000004");
}

TEST(json_test, numbers_read_back_bit_for_bit) {
    const double values[] = {1.0 / 3,
                             123456789.12345678,
                             -0.000030517578125,
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::max(),
                             -std::numeric_limits<double>::max(),
                             9007199254740993.0,
                             0.5 * 30.000000000000004};
    for (double value : values) {
        const std::string text = Number(value);
        const double back = std::strtod(text.c_str(), nullptr);
        // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison): bit for bit, so -0.0 is not 0.0
        EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text;
        // JSON allows no leading "+", no leading ".", and no "inf"/"nan".
        EXPECT_NE(text[0], '+');
        EXPECT_NE(text[0], '.');
        EXPECT_EQ(text.find_first_not_of("0123456789-+.e"), std::string::npos) << text;
    }
}

TEST(json_test, non_finite_numbers_are_null) {
    EXPECT_EQ(Number(std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(Number(-std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(Number(std::nan("")), "null");
}

TEST(json_test, strings_escape_quotes_backslashes_and_controls) {
    EXPECT_EQ(String(""), "\"\"");
    EXPECT_EQ(String("C:\\maps\\\"a\".tif"), "\"C:\\\\maps\\\\\\\"a\\\".tif\"");
    EXPECT_EQ(String("a\nb\tc\rd\be\ff"), "\"a\\nb\\tc\\rd\\be\\ff\"");
    EXPECT_EQ(String(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\x7f\"");
    EXPECT_EQ(String(std::string("a\0b", 3)), "\"a\\u0000b\"");
    EXPECT_EQ(String("/tmp/Karte-Ä/北.tif"), "\"/tmp/Karte-Ä/北.tif\"");
    EXPECT_EQ(String("\xF0\x9F\x97\xBA"), "\"\xF0\x9F\x97\xBA\""); // a four-byte character
}

TEST(json_test, bytes_that_are_not_utf8_become_replacement_characters) {
    EXPECT_EQ(String("a\xFF"
                     "b"),
              "\"a\\ufffdb\"");
    // Latin-1 "Ä" alone, a truncated sequence at the end, an overlong "/" and a surrogate.
    EXPECT_EQ(String("\xC4"), "\"\\ufffd\"");
    EXPECT_EQ(String("x\xE5\x8C"), "\"x\\ufffd\\ufffd\"");
    EXPECT_EQ(String("\xC0\xAF"), "\"\\ufffd\\ufffd\"");
    EXPECT_EQ(String("\xED\xA0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");
    EXPECT_EQ(String("\xF4\x90\x80\x80"), "\"\\ufffd\\ufffd\\ufffd\\ufffd\""); // above U+10FFFF
}

TEST(json_test, object_writer_places_its_own_separators) {
    std::string out;
    JsonObject empty(out);
    empty.End();
    EXPECT_EQ(out, "{}");

    out.clear();
    JsonObject object(out);
    object.String("name", "a\"b");
    object.Boolean("yes", true);
    object.Boolean("no", false);
    object.Integer("cause", -42);
    object.Null("nothing");
    object.Numbers("none", {});
    const double pair[] = {0.5, -2};
    object.Numbers("pair", pair);
    object.Object("inner", [&](JsonObject& inner) {
        inner.Object("empty", [](JsonObject&) {});
        inner.Numbers("one", std::span<const double>(pair, 1));
    });
    object.Object("last", [](JsonObject& last) { last.Null("k\ney"); });
    object.End();
    EXPECT_EQ(out, "{\"name\": \"a\\\"b\", \"yes\": true, \"no\": false, \"cause\": -42, "
                   "\"nothing\": null, \"none\": [], \"pair\": [0.5, -2], "
                   "\"inner\": {\"empty\": {}, \"one\": [0.5]}, \"last\": {\"k\\ney\": null}}");
}

TEST(json_test, object_writer_appends_to_what_is_there) {
    std::string out = "[\n  ";
    JsonObject object(out);
    object.Integer("n", 0);
    object.End();
    EXPECT_EQ(out, "[\n  {\"n\": 0}");
}
