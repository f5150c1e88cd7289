#include "DialogUnits.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

using kestrel::qt::DialogUnits;

TEST(dialog_units_test, converts_with_quarter_and_eighth_rounding_to_nearest) {
    // The classic 8-point dialog font: 6 x 13 pixel base units.
    const DialogUnits units(6, 13);
    EXPECT_EQ(units.ToPixelsX(352), 528);
    EXPECT_EQ(units.ToPixelsY(217), 353); // 352.625
    EXPECT_EQ(units.ToPixelsY(4), 7);     // 6.5 rounds up
    EXPECT_EQ(units.ToPixelsY(3), 5);     // 4.875
    EXPECT_EQ(units.ToPixelsX(1), 2);     // 1.5
    EXPECT_EQ(units.ToPixelsX(-1), -2);   // symmetric about zero
    EXPECT_EQ(units.ToPixelsX(0), 0);
    EXPECT_EQ(units.ToPixels(54, 39, 210, 13), QRect(81, 63, 315, 21));
}

TEST(dialog_units_test, base_units_are_never_zero) {
    const DialogUnits units(0, -3);
    EXPECT_EQ(units.BaseWidth(), 1);
    EXPECT_EQ(units.BaseHeight(), 1);
    EXPECT_EQ(units.ToPixelsX(8), 2);
    // Fractional base units (a widened dialog) still give whole, rounded pixels.
    EXPECT_EQ(DialogUnits(7.4, 14).ToPixelsX(352), 651);
}

TEST(dialog_units_test, follow_the_font) {
    QFont small;
    small.setPixelSize(10);
    QFont large;
    large.setPixelSize(20);
    const DialogUnits smallUnits = DialogUnits::ForFont(small);
    const DialogUnits largeUnits = DialogUnits::ForFont(large);
    EXPECT_EQ(smallUnits.BaseHeight(), QFontMetrics(small).height());
    EXPECT_GT(largeUnits.BaseWidth(), smallUnits.BaseWidth());
    EXPECT_GT(largeUnits.BaseHeight(), smallUnits.BaseHeight());
    // An average letter is narrower than the font is high, and not absurdly narrow.
    EXPECT_LT(smallUnits.BaseWidth(), smallUnits.BaseHeight());
    EXPECT_GE(smallUnits.BaseWidth() * 4, smallUnits.BaseHeight());
}
