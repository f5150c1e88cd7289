#include "AboutDialog.h"

#include <gtest/gtest.h>

#include "DialogTexts.h"
#include "RecordingPlatform.h"

TEST(about_dialog_test, init_sets_the_disclaimer_and_nothing_else) {
    RecordingPlatform platform;
    platform.texts[1024] = "placeholder";
    kestrel::AboutDialog about(platform);
    EXPECT_TRUE(about.OnInitDialog());
    const std::vector<std::pair<int, std::string>> expected = {{1024, kestrel::texts::Disclaimer}};
    EXPECT_EQ(platform.textWrites, expected);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(platform.focusMoves.empty());
}

TEST(about_dialog_test, disclaimer_names_the_licence_and_disclaims_warranty) {
    const std::string disclaimer = kestrel::texts::Disclaimer;
    EXPECT_NE(disclaimer.find("MIT License"), std::string::npos);
    EXPECT_NE(disclaimer.find("without warranty"), std::string::npos);
}
