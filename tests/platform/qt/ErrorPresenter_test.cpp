#include "ErrorPresenter.h"

#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "uCauses.h"
#include "uError.h"

using namespace kestrel::qt;

TEST(error_presenter_test, errors_reach_the_message_box_with_their_category) {
    test::MessageBoxRecorder recorder;
    {
        const ErrorPresenter presenter(nullptr, recorder.Answer());
        // A cause the catalogue does not know is an internal software problem (category 16).
        TuException(4711, 0).Show();
        // A world file that is not one: a data file format problem (category 10).
        TuException(TuCauseWorldFileNotUnderstood, 1, "/maps/sheet.tfw").Show();
    }
    ASSERT_EQ(recorder.boxes.size(), 2u);
    EXPECT_EQ(recorder.boxes[0].caption, "Internal Software Problem");
    EXPECT_EQ(recorder.boxes[0].style, TuStyleIconError | TuStyleOk);
    EXPECT_EQ(recorder.boxes[0].text,
              "Software problem: Error definition for cause 4711 not found.");
    EXPECT_EQ(recorder.boxes[1].caption, "Data File Format Problem");
    EXPECT_EQ(recorder.boxes[1].style, TuStyleIconError | TuStyleOk);
    EXPECT_EQ(recorder.boxes[1].text, "The file named /maps/sheet.tfw does not appear to be a "
                                      "'World File'; the format is not understood by the qt_tests "
                                      "program.");

    // Gone with the presenter: errors are written to standard error again.
    testing::internal::CaptureStderr();
    TuException(TuCauseWorldFileNotUnderstood, 1, "/maps/other.tfw").Show();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Data File Format Problem: The file named /maps/other.tfw does not appear to be a "
              "'World File'; the format is not understood by the qt_tests program.\n");
    EXPECT_EQ(recorder.boxes.size(), 2u);
}
