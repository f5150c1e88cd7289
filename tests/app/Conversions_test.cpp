#include "Conversions.h"

#include <cmath>

#include <gtest/gtest.h>

using kestrel::HasRotation;
using kestrel::TiffReferencing;
using kestrel::WorldReferencing;
using kestrel::WorldToTiff;

namespace {

// "-->" for a pixel-is-area raster.
WorldReferencing TiffToWorld(const TiffReferencing& tiff) {
    return kestrel::WorldFromTiePoint(tiff, TuRasterType::PixelIsArea);
}

} // namespace

TEST(conversions_test, tie_point_at_origin_gives_centre_of_first_pixel) {
    const WorldReferencing world = TiffToWorld({2, 2, 0, 0, 100, 500});
    EXPECT_EQ(world.xVectorX, 2);
    EXPECT_EQ(world.xVectorY, 0);
    EXPECT_EQ(world.yVectorX, 0);
    EXPECT_EQ(world.yVectorY, -2);
    EXPECT_EQ(world.refPointX, 101);
    EXPECT_EQ(world.refPointY, 499);
}

TEST(conversions_test, tie_point_elsewhere_is_moved_to_first_pixel) {
    // Pixel (10, 20) at ground (100, 500) with 2-unit pixels: pixel (0, 0)'s corner lies 20
    // units west and 40 units north, its centre one unit further in.
    const WorldReferencing world = TiffToWorld({2, 2, 10, 20, 100, 500});
    EXPECT_EQ(world.refPointX, 81);
    EXPECT_EQ(world.refPointY, 539);
    EXPECT_EQ(world.xVectorX, 2);
    EXPECT_EQ(world.yVectorY, -2);
}

TEST(conversions_test, world_file_without_rotation_gives_tie_point_at_origin) {
    const TiffReferencing tiff = WorldToTiff({2, 0, 0, -2, 101, 499});
    EXPECT_EQ(tiff.xPixelScale, 2);
    EXPECT_EQ(tiff.yPixelScale, 2);
    EXPECT_EQ(tiff.tiePixelX, 0);
    EXPECT_EQ(tiff.tiePixelY, 0);
    EXPECT_EQ(tiff.tieWorldX, 100);
    EXPECT_EQ(tiff.tieWorldY, 500);
    EXPECT_FALSE(HasRotation({2, 0, 0, -2, 101, 499}));
}

TEST(conversions_test, rotation_terms_are_dropped) {
    const WorldReferencing rotated{2, 0.001, -0.5, -3, 101, 499};
    EXPECT_TRUE(HasRotation(rotated));
    EXPECT_TRUE(HasRotation({2, 0, 0.25, -2, 0, 0}));
    const TiffReferencing tiff = WorldToTiff(rotated);
    EXPECT_EQ(tiff.xPixelScale, 2);
    EXPECT_EQ(tiff.yPixelScale, 3);
    EXPECT_EQ(tiff.tieWorldX, 100);
    EXPECT_EQ(tiff.tieWorldY, 500.5);
    // Back again: a world file without rotation.
    const WorldReferencing back = TiffToWorld(tiff);
    EXPECT_EQ(back.xVectorY, 0);
    EXPECT_EQ(back.yVectorX, 0);
    EXPECT_FALSE(HasRotation(back));
}

TEST(conversions_test, round_trip_restores_tiff_side_at_origin) {
    const TiffReferencing start{0.3, 0.7, 0, 0, 654321.123, 4321987.5};
    const TiffReferencing back = WorldToTiff(TiffToWorld(start));
    EXPECT_DOUBLE_EQ(back.xPixelScale, start.xPixelScale);
    EXPECT_DOUBLE_EQ(back.yPixelScale, start.yPixelScale);
    EXPECT_DOUBLE_EQ(back.tieWorldX, start.tieWorldX);
    EXPECT_DOUBLE_EQ(back.tieWorldY, start.tieWorldY);
    EXPECT_EQ(back.tiePixelX, 0);
    EXPECT_EQ(back.tiePixelY, 0);
}

TEST(conversions_test, round_trip_of_tie_point_elsewhere_keeps_the_grid) {
    // The tie point moves to pixel (0, 0) but names the same placement.
    const TiffReferencing start{5, 5, 3, 4, 1000, 2000};
    const TiffReferencing back = WorldToTiff(TiffToWorld(start));
    EXPECT_EQ(back.tieWorldX, 1000 - 3 * 5);
    EXPECT_EQ(back.tieWorldY, 2000 + 4 * 5);
}

TEST(conversions_test, zeros_never_become_negative_zero) {
    // A negative zero would be shown as "-0", which the dialog refuses when read back.
    const WorldReferencing world = TiffToWorld({});
    EXPECT_FALSE(std::signbit(world.yVectorY));
    EXPECT_FALSE(std::signbit(world.refPointY));
    const TiffReferencing tiff = WorldToTiff({});
    EXPECT_FALSE(std::signbit(tiff.yPixelScale));
    EXPECT_FALSE(std::signbit(tiff.tieWorldY));
}
