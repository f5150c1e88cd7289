// Narrow texts of values on Windows, where narrow text is UTF-8: a long text is elided at
// whole characters, never inside one.
#include <gtest/gtest.h>
#include <string>

#include "uText.h"
#include "uValue.h"

namespace {

TEST(value_windows_test, a_long_utf8_text_is_elided_at_whole_characters) {
    std::string text;
    for (int i = 0; i < 10; ++i) {
        text += "\xe5\x9c\xb0\xe5\x9b\xb3"; // 地図, three bytes each
    }
    TuValue value;
    value.SetText(text.c_str());
    // The whole characters within the first 11 bytes (three), "...", and those within the last
    // 31 bytes (ten).
    EXPECT_EQ(std::string(value.Text()), text.substr(0, 9) + "..." + text.substr(30));
    EXPECT_TRUE(TuIsNarrowValid(value.Text()));
}

} // namespace
