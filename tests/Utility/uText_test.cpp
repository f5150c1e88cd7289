#include "uText.h"

#include <string>

#include <gtest/gtest.h>

namespace {

constexpr char16_t Canary = 0xBEEF;
constexpr char NarrowCanary = '#';

} // namespace

TEST(text_test, empty_text_writes_only_terminator) {
    char16_t wide[4] = {Canary, Canary, Canary, Canary};
    char narrow[4] = {NarrowCanary, NarrowCanary, NarrowCanary, NarrowCanary};

    EXPECT_EQ(TuWideCopy(wide, u""), wide);
    EXPECT_EQ(wide[0], 0);
    EXPECT_EQ(wide[1], Canary);
    wide[0] = Canary;
    EXPECT_EQ(TuWideCopyN(wide, u"", 4), wide);
    EXPECT_EQ(wide[0], 0);
    wide[0] = Canary;
    EXPECT_EQ(TuWiden(wide, ""), wide);
    EXPECT_EQ(wide[0], 0);
    wide[0] = Canary;
    EXPECT_EQ(TuWidenN(wide, "", 4), wide);
    EXPECT_EQ(wide[0], 0);
    EXPECT_EQ(wide[1], Canary);

    EXPECT_EQ(TuNarrow(narrow, u""), narrow);
    EXPECT_EQ(narrow[0], '\0');
    narrow[0] = NarrowCanary;
    EXPECT_EQ(TuNarrowN(narrow, u"", 4), narrow);
    EXPECT_EQ(narrow[0], '\0');
    narrow[0] = NarrowCanary;
    EXPECT_EQ(TuNarrowBytes(narrow, u"", 4), narrow);
    EXPECT_EQ(narrow[0], '\0');
    narrow[0] = NarrowCanary;
    EXPECT_EQ(TuNarrowCopy(narrow, ""), narrow);
    EXPECT_EQ(narrow[0], '\0');
    EXPECT_EQ(narrow[1], NarrowCanary);

    EXPECT_EQ(TuWideLength(u""), 0u);
    EXPECT_EQ(TuWideByteSize(u""), 0u);
    EXPECT_EQ(TuNarrowLength(""), 0u);
    const char* empty = "";
    EXPECT_EQ(TuNarrowSkip(empty, 3), empty);
}

TEST(text_test, bounded_wide_copy_stops_at_size) {
    const std::u16string source(300, u'p');
    char16_t destination[257];
    destination[256] = Canary;
    char16_t* end = TuWideCopyN(destination, source.c_str(), 256);
    EXPECT_EQ(end, destination + 255);
    EXPECT_EQ(*end, 0);
    EXPECT_EQ(std::u16string(destination), source.substr(0, 255));
    EXPECT_EQ(destination[256], Canary);

    end = TuWideCopyN(destination, u"0123456789", 256);
    EXPECT_EQ(end, destination + 10);
    EXPECT_EQ(std::u16string(destination), u"0123456789");

    destination[1] = Canary;
    EXPECT_EQ(TuWideCopyN(destination, u"abc", 1), destination);
    EXPECT_EQ(destination[0], 0);
    EXPECT_EQ(destination[1], Canary);
}

TEST(text_test, bounded_conversions_respect_their_limits) {
    const std::u16string wide(300, u'q');
    char narrow[258];
    narrow[256] = NarrowCanary;
    char* end = TuNarrowBytes(narrow, wide.c_str(), 256);
    EXPECT_EQ(end, narrow + 255);
    EXPECT_EQ(std::string(narrow), std::string(255, 'q'));
    EXPECT_EQ(narrow[256], NarrowCanary);

    narrow[1] = NarrowCanary;
    EXPECT_EQ(TuNarrowBytes(narrow, wide.c_str(), 1), narrow);
    EXPECT_EQ(narrow[0], '\0');
    EXPECT_EQ(narrow[1], NarrowCanary);

    EXPECT_EQ(TuNarrowN(narrow, u"abcdef", 4), narrow + 3);
    EXPECT_STREQ(narrow, "abc");

    const std::string source(300, 'r');
    char16_t widened[64];
    widened[63] = Canary;
    EXPECT_EQ(TuWidenN(widened, source.c_str(), 63), widened + 62);
    EXPECT_EQ(std::u16string(widened), std::u16string(62, u'r'));
    EXPECT_EQ(widened[63], Canary);
}

// The byte-transparent encoding of POSIX hosts, whatever host runs the test.
constexpr TuNarrowEncoding Bytes = TuNarrowEncoding::Bytes;

TEST(text_test, every_byte_survives_a_round_trip) {
    std::string bytes;
    for (int value = 1; value < 256; ++value) {
        bytes += static_cast<char>(value);
    }
    char16_t wide[256];
    EXPECT_EQ(TuWiden(wide, bytes.c_str(), Bytes), wide + 255);
    for (int i = 0; i < 255; ++i) {
        EXPECT_EQ(wide[i], static_cast<char16_t>(i + 1));
    }
    EXPECT_EQ(TuWideByteSize(wide), 510u);

    char back[511];
    EXPECT_EQ(TuNarrow(back, wide, Bytes), back + 255);
    EXPECT_EQ(std::string(back), bytes);
    char copy[256];
    EXPECT_EQ(TuNarrowCopy(copy, bytes.c_str(), Bytes), copy + 255);
    EXPECT_EQ(std::string(copy), bytes);
    EXPECT_EQ(TuNarrowLength(bytes.c_str(), Bytes), 255u);
    EXPECT_TRUE(TuIsNarrowValid(bytes.c_str(), Bytes));
}

TEST(text_test, unit_without_narrow_form_becomes_one_placeholder_byte) {
    const char16_t wide[] = {u'a', 0x263A, u'b', 0};
    char narrow[8];
    EXPECT_EQ(TuNarrow(narrow, wide, Bytes), narrow + 3);
    EXPECT_STREQ(narrow, "a?b");
    EXPECT_EQ(TuNarrowBytes(narrow, wide, 3, Bytes), narrow + 2);
    EXPECT_STREQ(narrow, "a?");
}

TEST(text_test, skip_stops_at_terminator) {
    const char* text = "abc";
    EXPECT_EQ(TuNarrowSkip(text, 0), text);
    EXPECT_EQ(TuNarrowSkip(text, 2), text + 2);
    EXPECT_EQ(TuNarrowSkip(text, 3), text + 3);
    EXPECT_EQ(TuNarrowSkip(text, 5), text + 3);
    EXPECT_FALSE(TuIsLeadByte(0x81, Bytes));
    EXPECT_FALSE(TuIsLeadByte(0xE9, Bytes));
}

TEST(text_test, zero_size_writes_nothing) {
    char16_t wide[2] = {Canary, Canary};
    char narrow[2] = {NarrowCanary, NarrowCanary};
    EXPECT_EQ(TuWideCopyN(wide, u"abc", 0), wide);
    EXPECT_EQ(TuWidenN(wide, "abc", 0), wide);
    EXPECT_EQ(wide[0], Canary);
    EXPECT_EQ(TuNarrowN(narrow, u"abc", 0), narrow);
    EXPECT_EQ(TuNarrowBytes(narrow, u"abc", 0), narrow);
    EXPECT_EQ(narrow[0], NarrowCanary);
}
