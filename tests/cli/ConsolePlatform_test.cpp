#include "ConsolePlatform.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "uCauses.h"
#include "uError.h"

using namespace kestrel;
using namespace kestrel::cli;

TEST(console_platform_test, an_error_keeps_its_cause_caption_and_text) {
    ConsolePlatform platform("kestrel-cli");
    const TuException error(TuCauseWorldFileNotUnderstood, 1, "/maps/a.tfw");
    platform.MessageBox(error.ToMessage());
    ASSERT_EQ(platform.Messages().size(), 1u);
    const ShownMessage& shown = platform.Messages()[0];
    EXPECT_TRUE(shown.isError);
    EXPECT_EQ(shown.cause, std::optional<int>(TuCauseWorldFileNotUnderstood));
    EXPECT_EQ(shown.caption, "Data File Format Problem");
    EXPECT_EQ(shown.text, "The file named /maps/a.tfw does not appear to be a 'World File'; the "
                          "format is not understood by the cli_tests program.");
}

TEST(console_platform_test, plain_messages_take_the_application_title) {
    ConsolePlatform platform("kestrel-cli");
    platform.MessageBox(PlainMessage("Indicated file does not exist."));
    platform.SetFocus(1000);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, "kestrel-cli");
    EXPECT_FALSE(platform.Messages()[0].isError);
    EXPECT_EQ(platform.Messages()[0].cause, std::nullopt);
    EXPECT_EQ(platform.FocusMoves(), (std::vector<int>{1000}));

    platform.ClearLog();
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_TRUE(platform.FocusMoves().empty());
}

TEST(console_platform_test, typed_text_is_not_counted_as_set_by_the_dialog) {
    ConsolePlatform platform("kestrel-cli");
    platform.Type(1002, "2.5");
    EXPECT_EQ(platform.GetControlText(1002), "2.5");
    EXPECT_FALSE(platform.WasSet(1002));
    platform.SetControlText(1023, "Tiff file is georeferenced.");
    EXPECT_TRUE(platform.WasSet(1023));
    EXPECT_EQ(platform.Text(1023), "Tiff file is georeferenced.");
    EXPECT_EQ(platform.Text(1024), "");
    platform.EnableControl(1020, false);
    EXPECT_FALSE(platform.IsEnabled(1020));
    EXPECT_TRUE(platform.IsFileNameModified());
    EXPECT_EQ(platform.OpenFile(FileOpenRequest{}), std::nullopt);
}

// The platform installs no message box of the library's: an error shown by TuError::Show
// while it lives goes the library's default way, to standard error, and not into its record.
TEST(console_platform_test, the_library_message_box_is_left_alone) {
    ConsolePlatform platform("kestrel-cli");
    testing::internal::CaptureStderr();
    TuException(TuCauseWorldFileNotUnderstood, 1, "/maps/d.tfw").Show();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Data File Format Problem: The file named /maps/d.tfw does not appear to be a "
                   "'World File'; the format is not understood by the cli_tests program.\n");
    EXPECT_TRUE(platform.Messages().empty());
}

// Each control keeps its own text, state and change mark, ids that share their low bits (1000
// and 1064, 1 and 65) included.
TEST(console_platform_test, controls_with_colliding_ids_stay_apart) {
    ConsolePlatform platform("kestrel-cli");
    const int ids[] = {1000, 1064, 1, 65, 1128, 1023};
    for (int id : ids) {
        platform.SetControlText(id, "text " + std::to_string(id));
    }
    platform.EnableControl(1064, false);
    platform.LimitText(65, 7);
    platform.ClearLog();
    platform.SetControlText(1128, "changed");
    for (int id : ids) {
        EXPECT_EQ(platform.Text(id), id == 1128 ? "changed" : "text " + std::to_string(id));
    }
    EXPECT_TRUE(platform.IsEnabled(1000));
    EXPECT_FALSE(platform.IsEnabled(1064));
    EXPECT_EQ(platform.Limit(65), std::optional<int>(7));
    EXPECT_EQ(platform.Limit(1), std::nullopt);
    EXPECT_TRUE(platform.WasSet(1128));
    EXPECT_FALSE(platform.WasSet(1000));
    EXPECT_FALSE(platform.WasSet(1064));
    EXPECT_EQ(platform.Text(1192), ""); // never set
    EXPECT_TRUE(platform.IsEnabled(1192));
}

// The command line keeps one platform for all its files: after a reset nothing of the last
// file may show through.
TEST(console_platform_test, a_reset_platform_answers_like_a_new_one) {
    ConsolePlatform platform("kestrel-cli");
    platform.SetControlText(1023, "Tiff file is georeferenced.");
    platform.Type(1000, "/maps/a.tif");
    platform.EnableControl(1020, false);
    platform.LimitText(1000, 260);
    platform.SetFocus(1002);
    platform.MessageBox(WarningMessage("Please enter a number."));
    platform.Reset();
    const ConsolePlatform fresh("kestrel-cli");
    for (int id : {1000, 1020, 1023}) {
        EXPECT_EQ(platform.Text(id), fresh.Text(id)) << id;
        EXPECT_EQ(platform.IsEnabled(id), fresh.IsEnabled(id)) << id;
        EXPECT_EQ(platform.Limit(id), fresh.Limit(id)) << id;
        EXPECT_FALSE(platform.WasSet(id)) << id;
    }
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_TRUE(platform.FocusMoves().empty());
}
