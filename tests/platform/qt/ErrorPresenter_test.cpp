#include "ErrorPresenter.h"

#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "uCauses.h"
#include "uError.h"

using namespace kestrel::qt;

TEST(error_presenter_test, errors_reach_the_message_box_with_their_category) {
    InstallErrorPresenter();
    test::MessageBoxRecorder recorder;
    // A cause the catalogue does not know is an internal software problem (category 16).
    try {
        throw TuException(4711, 0);
    } catch (const TuError& error) {
        error.Show();
    }
    // A world file that is not one: a data file format problem (category 10).
    try {
        throw TuException(TuCauseWorldFileNotUnderstood, 1, "/maps/sheet.tfw");
    } catch (const TuError& error) {
        error.Show();
    }
    ASSERT_EQ(recorder.boxes.size(), 2u);
    EXPECT_EQ(recorder.boxes[0].caption, "Internal Software Problem");
    EXPECT_EQ(recorder.boxes[0].style, TuStyleIconError | TuStyleOk);
    EXPECT_FALSE(recorder.boxes[0].text.isEmpty());
    EXPECT_EQ(recorder.boxes[1].caption, "Data File Format Problem");
    EXPECT_EQ(recorder.boxes[1].style, TuStyleIconError | TuStyleOk);
    EXPECT_TRUE(recorder.boxes[1].text.contains("/maps/sheet.tfw")) << recorder.boxes[1].text;
}
