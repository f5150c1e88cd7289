// The corpus of GeoTIFFs that the tests of placement build on: each maker writes the tags it
// promises, and GDAL reads the file as the tests expect.
#include <string>

#include <gtest/gtest.h>

#include "GeoTiffCorpus.h"
#include "TestFiles.h"
#include "uFileName.h"
#include "uGeoKeys.h"
#include "uTiffFile.h"

namespace {

using geotiffcorpus::GdalReading;
using geotiffcorpus::ReadWithGdal;

class geotiff_corpus_test : public ::testing::Test {
protected:
    void SetUp() override { REQUIRE_CORPUS_TOOLS(); }
    std::string Path(const std::string& name) const { return folder / name; }
    // The number of values of a tag, 0 when the file has none (first occurrence in the file).
    int CountOf(const std::string& name, int tag) const {
        TuTiffFile file(TuFileName(Path(name).c_str()), ModeExamine);
        const int index = file.FindTag(tag);
        return index == TagNotFound
                   ? 0
                   : static_cast<int>(file.TagAt(static_cast<std::size_t>(index)).count);
    }
    testfiles::TempFolder folder;
};

TEST_F(geotiff_corpus_test, each_maker_writes_the_tags_it_promises) {
    ASSERT_EQ(geotiffcorpus::MakePlain(Path("plain.tif")), "");
    ASSERT_EQ(geotiffcorpus::MakeNorthUp(Path("area.tif")), "");
    ASSERT_EQ(geotiffcorpus::MakeWithTransform(Path("rotated.tif"), {1000, 2, 0.5, 2000, 0.25, -3}),
              "");
    ASSERT_EQ(geotiffcorpus::MakeWithControlPoints(
                  Path("gcps.tif"), {{0, 0, 1000, 2000}, {4, 0, 1008, 2000}, {0, 3, 1000, 1991}}),
              "");
    geotiffcorpus::HandTags z;
    z.pixelScale = {2, 3, 0.5};
    z.tiePoints = {0, 0, 7, 1000, 2000, 100};
    ASSERT_EQ(geotiffcorpus::MakeWithTags(Path("z.tif"), z), "");
    struct Expected {
        const char* name;
        int scale, tie, matrix;
    };
    for (const Expected& e : {Expected{"plain.tif", 0, 0, 0}, Expected{"area.tif", 3, 6, 0},
                              Expected{"rotated.tif", 0, 0, 16}, Expected{"gcps.tif", 0, 18, 0},
                              Expected{"z.tif", 3, 6, 0}}) {
        EXPECT_EQ(CountOf(e.name, TiffTagModelPixelScale), e.scale) << e.name;
        EXPECT_EQ(CountOf(e.name, TiffTagModelTiepoint), e.tie) << e.name;
        EXPECT_EQ(CountOf(e.name, 34264), e.matrix) << e.name;
    }
    // The Z values are stored as given, which GDAL itself never writes.
    TuTiffFile file(TuFileName(Path("z.tif").c_str()), ModeExamine);
    double scale[3] = {};
    double tie[6] = {};
    ASSERT_EQ(file.ReadDoubles(TiffTagModelPixelScale, scale, 3, 0), 3);
    ASSERT_EQ(file.ReadDoubles(TiffTagModelTiepoint, tie, 6, 0), 6);
    EXPECT_EQ(scale[2], 0.5);
    EXPECT_EQ(tie[2], 7);
    EXPECT_EQ(tie[5], 100);
}

TEST_F(geotiff_corpus_test, gdal_reads_the_corpus_as_the_tests_expect) {
    ASSERT_EQ(geotiffcorpus::MakePixelIsPoint(Path("point.tif")), "");
    ASSERT_EQ(geotiffcorpus::MakeWithControlPoints(
                  Path("gcps.tif"), {{0, 0, 1000, 2000}, {4, 3, 1008, 1991, 5}}, true),
              "");
    ASSERT_EQ(geotiffcorpus::MakeWithTagsInOverviewOnly(Path("overview.tif")), "");

    const GdalReading point = ReadWithGdal(Path("point.tif"));
    EXPECT_EQ(point.areaOrPoint, "Point");
    EXPECT_EQ(point.transform, (geotiffcorpus::Transform{1000, 2, 0, 2000, 0, -3}));
    EXPECT_EQ(geotiffcorpus::GdalWorldFile(Path("point.tif")),
              (geotiffcorpus::WorldLines{2, 0, 0, -3, 1001, 1998.5}));

    const GdalReading gcps = ReadWithGdal(Path("gcps.tif"));
    EXPECT_EQ(gcps.controlPoints, 2u);
    EXPECT_EQ(gcps.areaOrPoint, "Point");
    EXPECT_FALSE(gcps.transform.has_value());

    // Kestrel finds the overview's tags (its lookup runs through every directory); GDAL reads
    // the first directory only and finds no georeferencing at all.
    EXPECT_EQ(CountOf("overview.tif", TiffTagModelPixelScale), 3);
    EXPECT_EQ(CountOf("overview.tif", TiffTagGeoKeyDirectory), 4);
    const GdalReading overview = ReadWithGdal(Path("overview.tif"));
    EXPECT_TRUE(overview.opened);
    EXPECT_FALSE(overview.transform.has_value());
    EXPECT_EQ(overview.areaOrPoint, "");

    // A world file beside a TIFF without tags is read; beside tags it is not.
    geotiffcorpus::WriteWorldFile(Path("overview.tfw"), {5, 0, 0, -5, 2.5, 7.5});
    EXPECT_EQ(ReadWithGdal(Path("overview.tif")).transform,
              (geotiffcorpus::Transform{0, 5, 0, 10, 0, -5}));
    EXPECT_FALSE(ReadWithGdal(Path("overview.tif"), true).transform.has_value());
    geotiffcorpus::WriteWorldFile(Path("point.tfw"), {5, 0, 0, -5, 2.5, 7.5});
    EXPECT_EQ(ReadWithGdal(Path("point.tif")).transform, point.transform);
}

} // namespace
