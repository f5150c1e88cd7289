#include "AboutDialog.h"

#include <gtest/gtest.h>

#include "RecordingPlatform.h"

namespace {

const std::string Disclaimer =
    "Kestrel is free software, released under the MIT License. It is provided \"as is\", "
    "without warranty of any kind, express or implied. Keep a copy of your files: the "
    "authors are not liable for any damage arising from its use. See the file ";

} // namespace

TEST(about_dialog_test, init_sets_the_disclaimer_naming_the_licence_and_nothing_else) {
    RecordingPlatform platform;
    platform.texts[1024] = "placeholder";
    kestrel::AboutDialog about(platform, "/usr/share/kestrel/LICENSE");
    EXPECT_TRUE(about.OnInitDialog());
    const std::vector<std::pair<int, std::string>> expected = {
        {1024, Disclaimer + "/usr/share/kestrel/LICENSE."}};
    EXPECT_EQ(platform.textWrites, expected);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(platform.focusMoves.empty());
}

TEST(about_dialog_test, without_a_licence_found_the_file_is_named_alone) {
    RecordingPlatform platform;
    kestrel::AboutDialog about(platform, "");
    about.OnInitDialog();
    EXPECT_EQ(platform.Text(1024), Disclaimer + "LICENSE.");
}
