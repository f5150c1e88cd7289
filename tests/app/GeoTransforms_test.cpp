// Tests of the conversions between GDAL's geotransform, the GeoTIFF tags and the world file:
// exact arithmetic on values where the result must be exact, and agreement with GDAL on
// GeoTIFFs that GDAL and geotifcp make in a temporary folder.
#include "Conversions.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GeoTiffCorpus.h"
#include "TestFiles.h"
#include "uFileName.h"
#include "uGeoKeys.h"
#include "uTiffFile.h"

using kestrel::FitsPixelScaleAndTiePoint;
using kestrel::GeoTiffPlacement;
using kestrel::GeoTiffTags;
using kestrel::GeoTransform;
using kestrel::GeoTransformFromMatrix;
using kestrel::GeoTransformFromTiePoint;
using kestrel::GeoTransformFromWorld;
using kestrel::HasRotation;
using kestrel::MatrixFromWorld;
using kestrel::MatrixHasRotation;
using kestrel::PlacementOf;
using kestrel::PlacementSource;
using kestrel::TiePointFromMatrix;
using kestrel::TiePointFromWorld;
using kestrel::TiffReferencing;
using kestrel::TransformationMatrix;
using kestrel::WorldFromGeoTransform;
using kestrel::WorldFromMatrix;
using kestrel::WorldFromTiePoint;
using kestrel::WorldReferencing;

namespace kestrel {

// Shows a geotransform in failure messages in GDAL's order.
void PrintTo(const GeoTransform& t, std::ostream* out) {
    *out << "[" << t.xOrigin << ", " << t.xPerColumn << ", " << t.xPerRow << ", " << t.yOrigin
         << ", " << t.yPerColumn << ", " << t.yPerRow << "]";
}

} // namespace kestrel

namespace {

constexpr TuRasterType Area = TuRasterType::PixelIsArea;
constexpr TuRasterType Point = TuRasterType::PixelIsPoint;
constexpr TuRasterType Unknown = TuRasterType::Unknown;

std::array<double, 6> Values(const GeoTransform& t) {
    return {t.xOrigin, t.xPerColumn, t.xPerRow, t.yOrigin, t.yPerColumn, t.yPerRow};
}

std::array<double, 6> Values(const WorldReferencing& w) {
    return {w.xVectorX, w.xVectorY, w.yVectorX, w.yVectorY, w.refPointX, w.refPointY};
}

std::array<double, 6> Values(const TiffReferencing& t) {
    return {t.xPixelScale, t.yPixelScale, t.tiePixelX, t.tiePixelY, t.tieWorldX, t.tieWorldY};
}

using geotiffcorpus::Bits;
using geotiffcorpus::ExpectClose;

// ---- Exact arithmetic ----

TEST(geo_transforms_test, tie_point_as_gdal_places_it) {
    // Scale (2, 3), tie point pixel (10, 20) at ground (1000, 2000): GDAL's geotransforms.
    const TiffReferencing tiff{2, 3, 10, 20, 1000, 2000};
    EXPECT_EQ(Values(GeoTransformFromTiePoint(tiff, Area)),
              (std::array<double, 6>{980, 2, 0, 2060, 0, -3}));
    EXPECT_EQ(Values(GeoTransformFromTiePoint(tiff, Unknown)),
              (std::array<double, 6>{980, 2, 0, 2060, 0, -3}));
    EXPECT_EQ(Values(GeoTransformFromTiePoint(tiff, Point)),
              (std::array<double, 6>{979, 2, 0, 2061.5, 0, -3}));
    // A negative Y scale is read as north-up; a negative X scale as it stands.
    EXPECT_EQ(Values(GeoTransformFromTiePoint({-2, -3, 0, 0, 1000, 2000}, Area)),
              (std::array<double, 6>{1000, -2, 0, 2000, 0, -3}));
}

TEST(geo_transforms_test, matrix_as_gdal_places_it) {
    const TransformationMatrix rotated{2, 0.25, 0, 1000, 0.5, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_TRUE(MatrixHasRotation(rotated));
    EXPECT_EQ(Values(GeoTransformFromMatrix(rotated, Area)),
              (std::array<double, 6>{1000, 2, 0.25, 2000, 0.5, -3}));
    EXPECT_EQ(Values(GeoTransformFromMatrix(rotated, Point)),
              (std::array<double, 6>{998.875, 2, 0.25, 2001.25, 0.5, -3}));
    // Z terms and the last rows are not part of the placement.
    const TransformationMatrix flat{2, 0, 7, 1000, 0, -3, 8, 2000, 1, 2, 3, 4, 5, 6, 7, 9};
    EXPECT_FALSE(MatrixHasRotation(flat));
    EXPECT_EQ(Values(GeoTransformFromMatrix(flat, Area)),
              (std::array<double, 6>{1000, 2, 0, 2000, 0, -3}));
    EXPECT_TRUE(MatrixHasRotation({2, 0, 0, 0, 1e-300, -3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
}

TEST(geo_transforms_test, world_file_and_geotransform) {
    const WorldReferencing world{2, 0.5, 0.25, -3, 1001.125, 1998.75};
    const GeoTransform transform{1000, 2, 0.25, 2000, 0.5, -3};
    EXPECT_EQ(GeoTransformFromWorld(world), transform);
    EXPECT_EQ(Values(WorldFromGeoTransform(transform)), Values(world));
    // The plain case: the reference point half a pixel in from the tie point.
    EXPECT_EQ(Values(WorldFromTiePoint({2, 2, 0, 0, 100, 500}, Area)),
              (std::array<double, 6>{2, 0, 0, -2, 101, 499}));
    EXPECT_EQ(Values(TiePointFromWorld({2, 0, 0, -2, 101, 499}, Area)),
              (std::array<double, 6>{2, 2, 0, 0, 100, 500}));
}

TEST(geo_transforms_test, pixel_is_point_world_file_is_the_tie_point) {
    // The reference point is the centre of pixel (0, 0), which the tie point names.
    EXPECT_EQ(Values(WorldFromTiePoint({2, 3, 0, 0, 1000, 2000}, Point)),
              (std::array<double, 6>{2, 0, 0, -3, 1000, 2000}));
    EXPECT_EQ(Values(WorldFromTiePoint({2, 3, 10, 20, 1000, 2000}, Point)),
              (std::array<double, 6>{2, 0, 0, -3, 980, 2060}));
    EXPECT_EQ(Values(TiePointFromWorld({2, 0, 0, -3, 1000, 2000}, Point)),
              (std::array<double, 6>{2, 3, 0, 0, 1000, 2000}));
    // Rotation terms are dropped, as for pixel-is-area.
    EXPECT_EQ(Values(TiePointFromWorld({2, 0.5, 0.25, -3, 1000, 2000}, Point)),
              (std::array<double, 6>{2, 3, 0, 0, 1000, 2000}));
    // No negative zeros, which the dialog would show as "-0" and refuse.
    const auto zeros = Bits(Values(WorldFromTiePoint({}, Point)));
    const auto fromWorld = Bits(Values(TiePointFromWorld({}, Point)));
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(zeros[i], 0u) << i;
        EXPECT_EQ(fromWorld[i], 0u) << i;
    }
}

TEST(geo_transforms_test, matrix_of_a_world_file_and_back) {
    const WorldReferencing world{2, 0.5, 0.25, -3, 1001.125, 1998.75};
    const TransformationMatrix area = MatrixFromWorld(world, Area);
    EXPECT_EQ(area,
              (TransformationMatrix{2, 0.25, 0, 1000, 0.5, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(Values(WorldFromMatrix(area, Area)), Values(world));
    const TransformationMatrix point = MatrixFromWorld(world, Point);
    EXPECT_EQ(point, (TransformationMatrix{2, 0.25, 0, 1001.125, 0.5, -3, 0, 1998.75, 0, 0, 0, 0, 0,
                                           0, 0, 1}));
    EXPECT_EQ(Values(WorldFromMatrix(point, Point)), Values(world));
    // Either way GDAL then reads the geotransform of the world file.
    EXPECT_EQ(GeoTransformFromMatrix(area, Area), GeoTransformFromWorld(world));
    EXPECT_EQ(GeoTransformFromMatrix(point, Point), GeoTransformFromWorld(world));
}

TEST(geo_transforms_test, which_geotransforms_a_pixel_scale_expresses) {
    EXPECT_TRUE(FitsPixelScaleAndTiePoint({1000, 2, 0, 2000, 0, -3}));
    EXPECT_TRUE(FitsPixelScaleAndTiePoint({1000, -2, 0, 2000, 0, -3}));
    EXPECT_FALSE(FitsPixelScaleAndTiePoint({1000, 2, 0.25, 2000, 0, -3}));
    EXPECT_FALSE(FitsPixelScaleAndTiePoint({1000, 2, 0, 2000, 0.5, -3}));
    EXPECT_FALSE(FitsPixelScaleAndTiePoint({1000, 2, 0, 2000, 0, 3}));
    EXPECT_FALSE(FitsPixelScaleAndTiePoint({1000, 0, 0, 2000, 0, -3}));
    EXPECT_FALSE(FitsPixelScaleAndTiePoint({1000, 2, 0, 2000, 0, 0}));
    EXPECT_FALSE(
        FitsPixelScaleAndTiePoint({1000, 2, 0, 2000, 0, std::numeric_limits<double>::quiet_NaN()}));
    // A north-up matrix and its pixel scale and tie point place the raster alike, bit for bit.
    for (const TransformationMatrix& matrix :
         {TransformationMatrix{0.30000000000000004, 0, 0, 654321.12345678912, 0,
                               -0.30000000000000004, 0, 4321987.9876543211, 0, 0, 0, 0, 0, 0, 0, 1},
          TransformationMatrix{-2, 0, 0, 1000, 0, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1}}) {
        const TiffReferencing tiff = TiePointFromMatrix(matrix);
        for (TuRasterType type : {Area, Point}) {
            EXPECT_TRUE(FitsPixelScaleAndTiePoint(GeoTransformFromMatrix(matrix, type)));
            EXPECT_EQ(Bits(Values(GeoTransformFromTiePoint(tiff, type))),
                      Bits(Values(GeoTransformFromMatrix(matrix, type))));
            EXPECT_EQ(Bits(Values(WorldFromTiePoint(tiff, type))),
                      Bits(Values(WorldFromMatrix(matrix, type))));
        }
    }
}

// What GDAL makes of a file's tags.
struct Expected {
    PlacementSource source = PlacementSource::None;
    GeoTransform transform;
    std::size_t controlPoints = 0;
};

struct PrecedenceCase {
    const char* name;
    GeoTiffTags tags;
    Expected expected;
};

// Tags in the combinations that decide GDAL's choice, with what GDAL 3.6 makes of them.
std::vector<PrecedenceCase> PrecedenceCases() {
    const std::vector<double> scale{2, 3, 0};
    const std::vector<double> tie{0, 0, 0, 1000, 2000, 0};
    const std::vector<double> twoTies{0, 0, 0, 1000, 2000, 0, 4, 3, 0, 5000, 6000, 0};
    const std::vector<double> matrix{2, 0.25, 0, 1000, 0.5, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1};
    const Expected byTie{PlacementSource::PixelScaleAndTiePoint, {1000, 2, 0, 2000, 0, -3}};
    const Expected byMatrix{PlacementSource::TransformationMatrix, {1000, 2, 0.25, 2000, 0.5, -3}};
    const Expected none;
    auto controlPoints = [](std::size_t count) {
        return Expected{PlacementSource::ControlPoints, {}, count};
    };
    return {
        {"scale and tie point", {scale, tie, {}, Area}, byTie},
        {"scale of two values", {{2, 3}, tie, {}, Area}, byTie},
        {"first of two tie points", {scale, twoTies, {}, Area}, byTie},
        {"scale and tie point win over a matrix", {scale, tie, matrix, Area}, byTie},
        {"a scale without tie point hides the matrix", {scale, {}, matrix, Area}, none},
        {"a short tie point hides the matrix", {scale, {0, 0, 0, 1000, 2000}, matrix, Area}, none},
        {"matrix", {{}, {}, matrix, Area}, byMatrix},
        {"matrix beside tie points", {{}, twoTies, matrix, Area}, byMatrix},
        {"matrix beside a scale of zeros", {{0, 0, 0}, tie, matrix, Area}, byMatrix},
        {"matrix beside a scale of one value", {{2}, tie, matrix, Area}, byMatrix},
        {"matrix of 12 values",
         {{}, {}, {2, 0.25, 0, 1000, 0.5, -3, 0, 2000, 0, 0, 0, 1}, Area},
         none},
        {"matrix of 20 values",
         {{}, {}, {2, 0.25, 0, 1000, 0.5, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1, 5, 5, 5, 5}, Area},
         none},
        {"pixel-is-point matrix",
         {{}, {}, matrix, Point},
         {PlacementSource::TransformationMatrix, {998.875, 2, 0.25, 2001.25, 0.5, -3}}},
        {"pixel-is-point tie point",
         {scale, tie, {}, Point},
         {PlacementSource::PixelScaleAndTiePoint, {999, 2, 0, 2001.5, 0, -3}}},
        {"one tie point alone", {{}, tie, {}, Area}, controlPoints(1)},
        {"tie point beside a zero scale", {{2, 0, 0}, tie, {}, Area}, controlPoints(1)},
        {"two tie points alone", {{}, twoTies, {}, Point}, controlPoints(2)},
        {"whole tie points only",
         {{}, {0, 0, 0, 1000, 2000, 0, 1, 1, 0, 1002, 1997, 0, 9}, {}, Area},
         controlPoints(2)},
        {"five tie point values", {{}, {0, 0, 0, 1000, 2000}, {}, Area}, none},
        {"nothing", {}, none},
    };
}

TEST(geo_transforms_test, placement_follows_gdals_precedence) {
    for (const PrecedenceCase& c : PrecedenceCases()) {
        const GeoTiffPlacement placement = PlacementOf(c.tags);
        EXPECT_EQ(placement.source, c.expected.source) << c.name;
        EXPECT_EQ(placement.transform, c.expected.transform) << c.name;
        EXPECT_EQ(placement.controlPoints, c.expected.controlPoints) << c.name;
    }
}

// Random placements of realistic rasters: metres or degrees, any position on the globe.
struct RandomRasters {
    std::mt19937_64 engine{20240615};
    double Uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(engine);
    }
    WorldReferencing NorthUpWorld() {
        const double size = Uniform(1e-6, 1000);
        return {size, 0, 0, -Uniform(1e-6, 1000), Uniform(-2e7, 2e7), Uniform(-1e7, 1e7)};
    }
};

TEST(geo_transforms_test, tags_from_a_world_file_place_as_the_world_file_bit_for_bit) {
    // What GDAL reads from the tags is what it reads from the world file, always. The world
    // file back from the tags is exact for pixel-is-point; for pixel-is-area the half-pixel step
    // there and back rounds where the pixel is large beside the coordinate (115.37132800929248
    // with a pixel of 294.2 comes back as 115.37132800929245).
    RandomRasters random;
    for (int i = 0; i < 100000; ++i) {
        const WorldReferencing world = random.NorthUpWorld();
        for (TuRasterType type : {Area, Point}) {
            const TiffReferencing tiff = TiePointFromWorld(world, type);
            ASSERT_EQ(Bits(Values(GeoTransformFromTiePoint(tiff, type))),
                      Bits(Values(GeoTransformFromWorld(world))))
                << "case " << i << (type == Point ? ", pixel-is-point" : "");
        }
        ASSERT_EQ(Bits(Values(WorldFromTiePoint(TiePointFromWorld(world, Point), Point))),
                  Bits(Values(world)))
            << "case " << i;
    }
}

TEST(geo_transforms_test, pixel_is_point_tags_to_world_file_and_back_is_exact) {
    // For pixel-is-area a tie point far finer than the pixel cannot survive the half-pixel
    // step (0.1 + 0.25 - 0.25 is not 0.1); for pixel-is-point no step is taken.
    RandomRasters random;
    for (int i = 0; i < 100000; ++i) {
        const TiffReferencing tiff{random.Uniform(1e-6, 1000), random.Uniform(1e-6, 1000), 0, 0,
                                   random.Uniform(-2e7, 2e7),  random.Uniform(-1e7, 1e7)};
        ASSERT_EQ(Bits(Values(TiePointFromWorld(WorldFromTiePoint(tiff, Point), Point))),
                  Bits(Values(tiff)))
            << "case " << i;
        const TransformationMatrix matrix = MatrixFromWorld(WorldFromTiePoint(tiff, Point), Point);
        ASSERT_EQ(Bits(Values(TiePointFromMatrix(matrix))), Bits(Values(tiff))) << "case " << i;
    }
}

// ---- Agreement with GDAL ----

// The georeferencing tags of a TIFF (first occurrence of each) and its raster type.
GeoTiffTags TagsOf(const std::string& path) {
    TuTiffFile file(TuFileName(path.c_str()), ModeExamine);
    auto values = [&file](int tag) {
        const int index = file.FindTag(tag);
        std::vector<double> read;
        if (index != TagNotFound) {
            read.resize(file.TagAt(static_cast<std::size_t>(index)).count);
            file.ReadDoubles(tag, read.data(), static_cast<int>(read.size()), 0);
        }
        return read;
    };
    auto count = [&file](int tag) -> std::size_t {
        const int index = file.FindTag(tag);
        return index == TagNotFound ? 0 : file.TagAt(static_cast<std::size_t>(index)).count;
    };
    GeoTiffTags tags;
    tags.pixelScale = values(TiffTagModelPixelScale);
    tags.tiePoints = values(TiffTagModelTiepoint);
    tags.matrix = values(34264);
    const int keys = file.FindTag(TiffTagGeoKeyDirectory);
    if (keys != TagNotFound) {
        const auto shorts = GeoKeyDirectoryValues(file.TagAt(static_cast<std::size_t>(keys)).type,
                                                  values(TiffTagGeoKeyDirectory));
        if (shorts) {
            tags.rasterType = ReadRasterType(
                *shorts, {count(TiffTagGeoDoubleParams), count(TiffTagGeoAsciiParams)});
        }
    }
    return tags;
}

TransformationMatrix MatrixOf(const std::vector<double>& values) {
    TransformationMatrix matrix{};
    EXPECT_EQ(values.size(), matrix.size());
    std::copy_n(values.begin(), std::min(values.size(), matrix.size()), matrix.begin());
    return matrix;
}

// Checks what Kestrel computes from a file's tags against GDAL: the geotransform (bit for bit
// when GDAL's Python bindings are there), the raster type and the world file GDAL writes.
void ExpectAgreement(const std::string& path, PlacementSource source) {
    const GeoTiffTags tags = TagsOf(path);
    const GeoTiffPlacement placement = PlacementOf(tags);
    ASSERT_EQ(placement.source, source) << path;
    const geotiffcorpus::GdalReading gdal = geotiffcorpus::ReadWithGdal(path);
    ASSERT_TRUE(gdal.transform.has_value()) << path;
    ExpectClose(Values(placement.transform), *gdal.transform, path + ": geotransform");
    if (const auto exact = geotiffcorpus::GdalTransformExact(path)) {
        EXPECT_EQ(Bits(Values(placement.transform)), Bits(*exact)) << path;
    }
    EXPECT_EQ(IsPixelIsPoint(tags.rasterType), gdal.areaOrPoint == "Point") << path;
    const auto gdalWorld = geotiffcorpus::GdalWorldFile(path);
    ASSERT_TRUE(gdalWorld.has_value()) << path;
    ExpectClose(Values(WorldFromGeoTransform(placement.transform)), *gdalWorld,
                path + ": world file");
    const WorldReferencing world =
        source == PlacementSource::TransformationMatrix
            ? WorldFromMatrix(MatrixOf(tags.matrix), tags.rasterType)
            : WorldFromTiePoint({tags.pixelScale[0], tags.pixelScale[1], tags.tiePoints[0],
                                 tags.tiePoints[1], tags.tiePoints[3], tags.tiePoints[4]},
                                tags.rasterType);
    ExpectClose(Values(world), *gdalWorld, path + ": world file of the tags");
}

class geo_transforms_gdal_test : public ::testing::Test {
protected:
    void SetUp() override { REQUIRE_CORPUS_TOOLS(); }
    std::string Path(const std::string& name) const { return folder / name; }
    testfiles::TempFolder folder;
};

TEST_F(geo_transforms_gdal_test, north_up_and_pixel_is_point) {
    const geotiffcorpus::Grid grid{654321.125, 4321987.75, 0.30000000000000004, 0.7};
    ASSERT_EQ(geotiffcorpus::MakeNorthUp(Path("area.tif"), grid), "");
    ASSERT_EQ(geotiffcorpus::MakePixelIsPoint(Path("point.tif"), grid), "");
    ExpectAgreement(Path("area.tif"), PlacementSource::PixelScaleAndTiePoint);
    ExpectAgreement(Path("point.tif"), PlacementSource::PixelScaleAndTiePoint);
    // GDAL keeps the placement when it writes pixel-is-point.
    const auto point = geotiffcorpus::ReadWithGdal(Path("point.tif")).transform;
    const auto area = geotiffcorpus::ReadWithGdal(Path("area.tif")).transform;
    ASSERT_TRUE(point && area);
    ExpectClose(*point, *area, "pixel-is-point copy");
}

TEST_F(geo_transforms_gdal_test, tie_points_elsewhere_with_z_values) {
    geotiffcorpus::HandTags tags;
    tags.pixelScale = {2.5, 0.75, 0.5};
    tags.tiePoints = {10, 20, 7, 654321.123456789, 4321987.987654321, 100};
    ASSERT_EQ(geotiffcorpus::MakeWithTags(Path("area.tif"), tags), "");
    tags.pixelIsPoint = true;
    ASSERT_EQ(geotiffcorpus::MakeWithTags(Path("point.tif"), tags), "");
    ExpectAgreement(Path("area.tif"), PlacementSource::PixelScaleAndTiePoint);
    ExpectAgreement(Path("point.tif"), PlacementSource::PixelScaleAndTiePoint);
}

TEST_F(geo_transforms_gdal_test, matrices_written_by_gdal) {
    const geotiffcorpus::Transform rotated{
        654321.123456789, 0.30000000000000004, 0.1, 4321987.987654321, 0.2, -0.7};
    const geotiffcorpus::Transform southUp{1000, 2, 0, 2000, 0, 3};
    ASSERT_EQ(geotiffcorpus::MakeWithTransform(Path("rotated.tif"), rotated), "");
    ASSERT_EQ(geotiffcorpus::MakeWithTransform(Path("rotated_point.tif"), rotated, true), "");
    ASSERT_EQ(geotiffcorpus::MakeWithTransform(Path("south_up.tif"), southUp), "");
    for (const char* name : {"rotated.tif", "rotated_point.tif", "south_up.tif"}) {
        ExpectAgreement(Path(name), PlacementSource::TransformationMatrix);
    }
    EXPECT_TRUE(MatrixHasRotation(MatrixOf(TagsOf(Path("rotated.tif")).matrix)));
    EXPECT_FALSE(MatrixHasRotation(MatrixOf(TagsOf(Path("south_up.tif")).matrix)));
    EXPECT_FALSE(FitsPixelScaleAndTiePoint(PlacementOf(TagsOf(Path("south_up.tif"))).transform));
}

TEST_F(geo_transforms_gdal_test, matrices_written_by_hand) {
    geotiffcorpus::HandTags tags;
    tags.matrix = {0.30000000000000004,
                   0,
                   0,
                   654321.123456789,
                   0,
                   -0.7,
                   0,
                   4321987.987654321,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   1};
    ASSERT_EQ(geotiffcorpus::MakeWithTags(Path("north_up.tif"), tags), "");
    tags.pixelIsPoint = true;
    ASSERT_EQ(geotiffcorpus::MakeWithTags(Path("north_up_point.tif"), tags), "");
    for (const char* name : {"north_up.tif", "north_up_point.tif"}) {
        ExpectAgreement(Path(name), PlacementSource::TransformationMatrix);
        const GeoTiffTags read = TagsOf(Path(name));
        EXPECT_TRUE(FitsPixelScaleAndTiePoint(PlacementOf(read).transform)) << name;
    }
    // A matrix beside pixel scale and tie point: GDAL takes the tie point.
    tags.pixelIsPoint = false;
    tags.pixelScale = {7, 7, 0};
    tags.tiePoints = {0, 0, 0, 500, 600, 0};
    ASSERT_EQ(geotiffcorpus::MakeWithTags(Path("both.tif"), tags), "");
    ExpectAgreement(Path("both.tif"), PlacementSource::PixelScaleAndTiePoint);
}

TEST_F(geo_transforms_gdal_test, control_points_are_counted_as_gdal_counts_them) {
    ASSERT_EQ(
        geotiffcorpus::MakeWithControlPoints(
            Path("gcps.tif"), {{0, 0, 1000, 2000}, {4, 0, 1008, 2000}, {0, 3, 1000, 1991, 10}}),
        "");
    const GeoTiffPlacement placement = PlacementOf(TagsOf(Path("gcps.tif")));
    EXPECT_EQ(placement.source, PlacementSource::ControlPoints);
    EXPECT_EQ(placement.controlPoints, 3u);
    const geotiffcorpus::GdalReading gdal = geotiffcorpus::ReadWithGdal(Path("gcps.tif"));
    EXPECT_FALSE(gdal.transform.has_value());
    EXPECT_EQ(gdal.controlPoints, 3u);
    EXPECT_FALSE(geotiffcorpus::GdalWorldFile(Path("gcps.tif")).has_value());
}

TEST_F(geo_transforms_gdal_test, precedence_is_gdals) {
    // Every combination that geotifcp can write (whole rows of its text form), written and
    // read back both by Kestrel's tag reading and by GDAL.
    for (const PrecedenceCase& c : PrecedenceCases()) {
        const GeoTiffTags& tags = c.tags;
        if (tags.tiePoints.size() % 3 != 0 || tags.matrix.size() % 4 != 0 ||
            (tags.pixelScale.empty() && tags.tiePoints.empty() && tags.matrix.empty())) {
            continue;
        }
        const geotiffcorpus::HandTags hand{tags.pixelScale, tags.tiePoints, tags.matrix,
                                           IsPixelIsPoint(tags.rasterType)};
        ASSERT_EQ(geotiffcorpus::MakeWithTags(Path("case.tif"), hand), "") << c.name;
        const GeoTiffPlacement placement = PlacementOf(TagsOf(Path("case.tif")));
        EXPECT_EQ(placement.source, c.expected.source) << c.name;
        const geotiffcorpus::GdalReading gdal = geotiffcorpus::ReadWithGdal(Path("case.tif"));
        ASSERT_TRUE(gdal.opened) << c.name;
        const bool placed = c.expected.source == PlacementSource::PixelScaleAndTiePoint ||
                            c.expected.source == PlacementSource::TransformationMatrix;
        EXPECT_EQ(gdal.transform.has_value(), placed) << c.name;
        if (placed && gdal.transform) {
            EXPECT_EQ(*gdal.transform, Values(c.expected.transform)) << c.name;
        }
        EXPECT_EQ(gdal.controlPoints, c.expected.controlPoints) << c.name;
    }
}

// Writes tags made from a world file into a TIFF and checks that GDAL reads from them what it
// reads from the world file beside a TIFF without tags.
void ExpectTagsPlaceAsWorldFile(const std::string& folder, const WorldReferencing& world,
                                TuRasterType type) {
    const std::string name = std::string(HasRotation(world) ? "rotated" : "north_up") +
                             (IsPixelIsPoint(type) ? "_point" : "_area");
    ASSERT_EQ(geotiffcorpus::MakePlain(folder + "/" + name + "_world.tif"), "");
    geotiffcorpus::WriteWorldFile(folder + "/" + name + "_world.tfw", Values(world));
    geotiffcorpus::HandTags tags;
    tags.pixelIsPoint = IsPixelIsPoint(type);
    if (HasRotation(world)) {
        const TransformationMatrix matrix = MatrixFromWorld(world, type);
        tags.matrix.assign(matrix.begin(), matrix.end());
    } else {
        const TiffReferencing tiff = TiePointFromWorld(world, type);
        tags.pixelScale = {tiff.xPixelScale, tiff.yPixelScale, 0};
        tags.tiePoints = {0, 0, 0, tiff.tieWorldX, tiff.tieWorldY, 0};
    }
    const std::string tagged = folder + "/" + name + ".tif";
    ASSERT_EQ(geotiffcorpus::MakeWithTags(tagged, tags), "");
    const auto fromWorld = geotiffcorpus::ReadWithGdal(folder + "/" + name + "_world.tif");
    const auto fromTags = geotiffcorpus::ReadWithGdal(tagged, true);
    ASSERT_TRUE(fromWorld.transform.has_value()) << name;
    ASSERT_TRUE(fromTags.transform.has_value()) << name;
    ExpectClose(*fromTags.transform, *fromWorld.transform, name);
    const auto exactWorld = geotiffcorpus::GdalTransformExact(folder + "/" + name + "_world.tif");
    const auto exactTags = geotiffcorpus::GdalTransformExact(tagged, true);
    if (exactWorld && exactTags && (!IsPixelIsPoint(type) || !HasRotation(world))) {
        // Bit for bit, but for a rotated pixel-is-point raster, where GDAL takes the half pixel
        // in another order from the matrix than from the world file.
        EXPECT_EQ(Bits(*exactTags), Bits(*exactWorld)) << name;
    }
}

TEST_F(geo_transforms_gdal_test, tags_from_a_world_file_place_as_the_world_file) {
    const WorldReferencing northUp{0.30000000000000004, 0, 0, -0.7, 654321.123456789,
                                   4321987.987654321};
    const WorldReferencing rotated{0.30000000000000004, 0.2, 0.1, -0.7, 654321.123456789,
                                   4321987.987654321};
    for (TuRasterType type : {Area, Point}) {
        ExpectTagsPlaceAsWorldFile(folder.path, northUp, type);
        ExpectTagsPlaceAsWorldFile(folder.path, rotated, type);
    }
}

TEST_F(geo_transforms_gdal_test, gdals_world_file_back_to_pixel_is_point_tags) {
    // "<--" from the world file GDAL writes for a pixel-is-point file gives back its tags.
    const geotiffcorpus::Grid grid{654321.125, 4321987.75, 0.5, 0.25};
    ASSERT_EQ(geotiffcorpus::MakePixelIsPoint(Path("point.tif"), grid), "");
    const auto gdalWorld = geotiffcorpus::GdalWorldFile(Path("point.tif"));
    ASSERT_TRUE(gdalWorld.has_value());
    const auto& w = *gdalWorld;
    const TiffReferencing tiff = TiePointFromWorld({w[0], w[1], w[2], w[3], w[4], w[5]}, Point);
    const GeoTiffTags tags = TagsOf(Path("point.tif"));
    EXPECT_EQ(Values(tiff),
              (std::array<double, 6>{tags.pixelScale[0], tags.pixelScale[1], tags.tiePoints[0],
                                     tags.tiePoints[1], tags.tiePoints[3], tags.tiePoints[4]}));
}

} // namespace
