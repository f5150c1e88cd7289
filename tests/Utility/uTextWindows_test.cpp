// Narrow texts on Windows, where narrow text is UTF-8: a long text is elided at whole
// characters, never inside one, and a message shown names a file in any script whole.
#include <gtest/gtest.h>
#include <string>

#include "uCauses.h"
#include "uError.h"
#include "uText.h"
#include "uValue.h"

namespace {

TEST(text_windows_test, a_long_utf8_text_is_elided_at_whole_characters) {
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

// A message of fewer than 256 characters is shown whole, however many bytes its characters
// take in UTF-8.
TEST(text_windows_test, a_message_naming_a_file_in_any_script_is_shown_whole) {
    const std::u16string name = u"C:\\" + std::u16string(40, u'\u5730') + u".tif";
    const TuException error(TuCauseOpenDenied, 2, name.c_str(), 13);
    const TuMessage shown = error.ToMessage();
    std::string expected(TuNarrowUnitBytes * TuWideLength(error.Message()) + 1, '\0');
    expected.resize(
        static_cast<std::size_t>(TuNarrow(expected.data(), error.Message()) - expected.data()));
    EXPECT_GT(expected.size(), 255u);
    EXPECT_EQ(shown.text, expected);
    EXPECT_EQ(shown.text.substr(shown.text.size() - 10), "(Code: 13)");
}

} // namespace
