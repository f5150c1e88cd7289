// The dialog's logic on GeoTIFFs as they are found in the wild, written by GDAL and geotifcp:
// pixel-is-point, transformation matrices with and without rotation, ground control points, Z
// values, tags of an overview only, and world files under other names. What the dialog shows,
// the world file it writes and GDAL's reading of the file after every update are compared with
// GDAL, and every update must leave the pixels and the TIFF structure as they were.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Conversions.h"
#include "DialogFixture.h"
#include "GeoTiffCorpus.h"
#include "uFileName.h"
#include "uTiffFile.h"

using namespace kestrel;
using namespace kestrel::test;
namespace corpus = geotiffcorpus;

namespace {

constexpr TuRasterType Area = TuRasterType::PixelIsArea;
constexpr TuRasterType Point = TuRasterType::PixelIsPoint;

std::array<double, 6> Values(const GeoTransform& t) {
    return {t.xOrigin, t.xPerColumn, t.xPerRow, t.yOrigin, t.yPerColumn, t.yPerRow};
}
using corpus::Bits;
using corpus::ExpectClose;

// All values of a tag of the first directory; empty when it has none there.
std::vector<double> TagValues(const std::string& path, int tagId) {
    TuTiffFile file(TuFileName(path.c_str()), ModeExamine);
    const int index = file.FindTag(tagId, TuTagScope::FirstDirectory);
    if (index == TagNotFound) {
        return {};
    }
    std::vector<double> values(file.TagAt(static_cast<std::size_t>(index)).count);
    file.ReadDoubles(tagId, values.data(), static_cast<int>(values.size()), 0,
                     TuTagScope::FirstDirectory);
    return values;
}

const corpus::Transform RotatedTransform{
    654321.123456789, 0.30000000000000004, 0.1, 4321987.987654321, 0.2, -0.7};

class dialog_corpus_test : public DialogTest {
protected:
    void SetUp() override { REQUIRE_CORPUS_TOOLS(); }

    std::string Path(const std::string& name) const { return folder / name; }

    // Examines the file afresh, as a user who types its name.
    void Take(const std::string& name) {
        TypeName(Path(name));
        ASSERT_TRUE(dialog.HasTiffFile()) << name;
        ASSERT_TRUE(platform.errors.empty()) << platform.errors.front().text;
    }
    TiffReferencing Fields() const {
        return {dialog.XPixelScale(), dialog.YPixelScale(), dialog.TiePixelX(),
                dialog.TiePixelY(),   dialog.TieWorldX(),   dialog.TieWorldY()};
    }
    std::array<double, 6> World() const {
        return {dialog.XVectorX(), dialog.XVectorY(),  dialog.YVectorX(),
                dialog.YVectorY(), dialog.RefPointX(), dialog.RefPointY()};
    }
    // GDAL's geotransform from the TIFF's own tags, bit for bit.
    corpus::Transform GdalTags(const std::string& name) {
        const auto transform = corpus::GdalTransformExact(Path(name), true);
        EXPECT_TRUE(transform.has_value()) << name << ": GDAL reads no geotransform";
        return transform.value_or(corpus::Transform{});
    }
    // "-->" gives the world file GDAL writes for the file.
    void ExpectGdalsWorldFile(const std::string& name) {
        const auto gdalWorld = corpus::GdalWorldFile(Path(name));
        ASSERT_TRUE(gdalWorld.has_value()) << name;
        dialog.OnTiffToWorld();
        ExpectClose(World(), *gdalWorld, name + ": world file");
    }

    // The pixels and the TIFF structure before an update, and after it.
    corpus::Intact Before(const std::string& name) const {
        return corpus::IntactBefore(Path(name));
    }
    void ExpectIntact(const std::string& name, const corpus::Intact& before) const {
        corpus::ExpectIntact(Path(name), before);
    }
};

} // namespace

TEST_F(dialog_corpus_test, pixel_is_point_is_shown_converted_and_kept_as_gdal_places_it) {
    const corpus::Grid grid{654321.125, 4321987.75, 0.30000000000000004, 0.7};
    ASSERT_EQ(corpus::MakePixelIsPoint(Path("point.tif"), grid), "");
    const corpus::Intact before = Before("point.tif");
    const corpus::Transform placed = GdalTags("point.tif");
    const std::vector<double> tie = TagValues(Path("point.tif"), TiffTagModelTiepoint);
    Take("point.tif");
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced, pixel-is-point.");
    EXPECT_EQ(dialog.RasterType(), Point);
    EXPECT_EQ(Bits(Values(GeoTransformFromTiePoint(Fields(), Point))), Bits(placed));
    ExpectGdalsWorldFile("point.tif");

    // The dialog's own world file, back into the tags: GDAL's placement stays, bit for bit.
    dialog.OnUpdateWorldFile();
    dialog.OnWorldToTiff();
    dialog.OnUpdateTiff();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(Bits(GdalTags("point.tif")), Bits(placed));
    EXPECT_EQ(TagValues(Path("point.tif"), TiffTagModelTiepoint), tie);
    EXPECT_EQ(corpus::ReadWithGdal(Path("point.tif"), true).areaOrPoint, "Point");

    // GDAL's own world file (ten decimals) likewise.
    corpus::WriteWorldFile(Path("point.tfw"), *corpus::GdalWorldFile(Path("point.tif")));
    Take("point.tif");
    dialog.OnWorldToTiff();
    dialog.OnUpdateTiff();
    ExpectClose(GdalTags("point.tif"), placed, "after GDAL's world file");
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced, pixel-is-point.");
    ExpectIntact("point.tif", before);
}

TEST_F(dialog_corpus_test, a_matrix_without_rotation_becomes_pixel_scale_and_tie_point) {
    corpus::HandTags tags;
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
    for (bool pixelIsPoint : {false, true}) {
        tags.pixelIsPoint = pixelIsPoint;
        const std::string name = pixelIsPoint ? "point.tif" : "area.tif";
        ASSERT_EQ(corpus::MakeWithTags(Path(name), tags), "");
        const corpus::Intact before = Before(name);
        const corpus::Transform placed = GdalTags(name);
        Take(name);
        EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced by a matrix.");
        EXPECT_EQ(Shown(TiffSide),
                  (std::vector<std::string>{"0.3", "0.7", "0", "0", "654321.123456789",
                                            "4321987.98765432"}));
        const TuRasterType type = pixelIsPoint ? Point : Area;
        EXPECT_EQ(Bits(Values(GeoTransformFromTiePoint(Fields(), type))), Bits(placed)) << name;
        ExpectGdalsWorldFile(name);

        // The fields as shown: the same placement as pixel scale and tie point, one only.
        dialog.OnUpdateTiff();
        EXPECT_TRUE(platform.messages.empty()) << name;
        EXPECT_EQ(TagValues(Path(name), TiffTagModelTransformation), std::vector<double>{});
        EXPECT_EQ(TagValues(Path(name), TiffTagModelPixelScale),
                  (std::vector<double>{0.30000000000000004, 0.7, 0}));
        EXPECT_EQ(Bits(GdalTags(name)), Bits(placed)) << name;
        EXPECT_EQ(platform.Text(IDC_TIFF_STATUS),
                  pixelIsPoint ? "Tiff file is georeferenced, pixel-is-point."
                               : "Tiff file is georeferenced.");
        ExpectIntact(name, before);
    }
}

TEST_F(dialog_corpus_test, a_rotated_matrix_is_converted_whole_and_kept_unless_edited) {
    for (bool pixelIsPoint : {false, true}) {
        const std::string name = pixelIsPoint ? "point.tif" : "area.tif";
        ASSERT_EQ(corpus::MakeWithTransform(Path(name), RotatedTransform, pixelIsPoint), "");
        const corpus::Intact before = Before(name);
        const corpus::Transform placed = GdalTags(name);
        const std::vector<unsigned char> bytes = testfiles::ReadBytes(Path(name));
        Take(name);
        EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file has a rotated matrix.");
        // The fields show what "<--" makes of the file's world file.
        const std::vector<double> values = TagValues(Path(name), TiffTagModelTransformation);
        ASSERT_EQ(values.size(), 16u);
        TransformationMatrix matrix;
        std::copy(values.begin(), values.end(), matrix.begin());
        const TuRasterType type = pixelIsPoint ? Point : Area;
        const TiffReferencing approximation =
            TiePointFromWorld(WorldFromMatrix(matrix, type), type);
        EXPECT_EQ(Fields().tieWorldX, approximation.tieWorldX);
        EXPECT_EQ(Fields().yPixelScale, approximation.yPixelScale);

        // "-->" writes the whole affine world file, rotation included, as GDAL does.
        ExpectGdalsWorldFile(name);
        EXPECT_NE(dialog.XVectorY(), 0);
        dialog.OnUpdateWorldFile();
        EXPECT_EQ(testfiles::ReadNumbers(Path(name.substr(0, name.size() - 3) + "tfw")).size(), 6u);

        // An update with the fields as shown keeps the matrix: the file does not change.
        dialog.OnUpdateTiff();
        EXPECT_TRUE(platform.messages.empty()) << name;
        EXPECT_EQ(testfiles::ReadBytes(Path(name)), bytes) << name;
        EXPECT_EQ(Bits(GdalTags(name)), Bits(placed)) << name;
        EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file has a rotated matrix.");

        // An edited field stands for itself: the update says that the rotation goes.
        platform.Type(IDC_TIE_WORLD_X, "654000");
        dialog.OnUpdateTiff();
        EXPECT_EQ(MessageTexts(),
                  std::vector<std::string>{
                      "The Tiff file is placed by a transformation matrix with rotation, which a "
                      "pixel scale and tie point cannot express.  The update replaces it by the "
                      "values shown, without rotation."});
        EXPECT_EQ(TagValues(Path(name), TiffTagModelTransformation), std::vector<double>{});
        const TiffReferencing written{
            approximation.xPixelScale, approximation.yPixelScale, 0, 0, 654000,
            approximation.tieWorldY};
        EXPECT_EQ(Bits(GdalTags(name)), Bits(Values(GeoTransformFromTiePoint(written, type))));
        ExpectIntact(name, before);
        platform.ClearRecord();
    }
}

TEST_F(dialog_corpus_test, a_south_up_matrix_is_kept_and_a_south_up_world_file_stored_as_one) {
    const corpus::Transform southUp{1000.5, 2, 0, 2000.25, 0, 3};
    ASSERT_EQ(corpus::MakeWithTransform(Path("south.tif"), southUp), "");
    const std::vector<unsigned char> bytes = testfiles::ReadBytes(Path("south.tif"));
    Take("south.tif");
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file's matrix is not north-up.");
    EXPECT_EQ(Shown(TiffSide),
              (std::vector<std::string>{"2", "-3", "0", "0", "1000.5", "2000.25"}));
    ExpectGdalsWorldFile("south.tif");
    EXPECT_EQ(dialog.YVectorY(), 3);
    dialog.OnUpdateTiff();
    EXPECT_EQ(testfiles::ReadBytes(Path("south.tif")), bytes);

    // A south-up world file beside a TIFF without tags: "<--" says what the update will do,
    // and the update stores a matrix, which GDAL reads as it reads the world file.
    ASSERT_EQ(corpus::MakePlain(Path("plain.tif")), "");
    const corpus::Intact before = Before("plain.tif");
    corpus::WriteWorldFile(Path("plain.tfw"), {2, 0, 0, 3, 1001.5, 2001.75});
    const auto fromWorld = corpus::GdalTransformExact(Path("plain.tif"));
    ASSERT_TRUE(fromWorld.has_value());
    Take("plain.tif");
    dialog.OnWorldToTiff();
    EXPECT_EQ(MessageTexts(),
              std::vector<std::string>{"World file indicates a south-up raster, which a pixel "
                                       "scale cannot express.  Updating the Tiff file stores it "
                                       "as a transformation matrix."});
    EXPECT_EQ(platform.messages.front().style, TuStyleIconNone | TuStyleOk);
    dialog.OnUpdateTiff();
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file's matrix is not north-up.");
    EXPECT_EQ(TagValues(Path("plain.tif"), TiffTagModelPixelScale), std::vector<double>{});
    EXPECT_EQ(TagValues(Path("plain.tif"), TiffTagModelTransformation).size(), 16u);
    EXPECT_EQ(Bits(GdalTags("plain.tif")), Bits(*fromWorld));
    // And back: "-->" gives the world file it came from.
    dialog.OnTiffToWorld();
    EXPECT_EQ(Bits(World()), Bits({2, 0, 0, 3, 1001.5, 2001.75}));
    ExpectIntact("plain.tif", before);
}

TEST_F(dialog_corpus_test, a_rotated_world_file_keeps_its_rotation_when_asked) {
    ASSERT_EQ(corpus::MakePlain(Path("plain.tif")), "");
    const corpus::WorldLines lines{2, 0.5, 0.25, -3, 1001.125, 1998.75};
    corpus::WriteWorldFile(Path("plain.tfw"), lines);
    const auto fromWorld = corpus::GdalTransformExact(Path("plain.tif"));
    ASSERT_TRUE(fromWorld.has_value());
    dialog.SetOptions({true, false});
    Take("plain.tif");
    dialog.OnWorldToTiff();
    EXPECT_TRUE(platform.messages.empty()) << "warned of an approximation that is not made";
    dialog.OnUpdateTiff();
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file has a rotated matrix.");
    EXPECT_EQ(TagValues(Path("plain.tif"), TiffTagModelTransformation),
              (std::vector<double>{2, 0.25, 0, 1000, 0.5, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(Bits(GdalTags("plain.tif")), Bits(*fromWorld));

    // Without the option, as the dialog always did: the warning, then the approximation.
    dialog.SetOptions({});
    Take("plain.tif");
    dialog.OnWorldToTiff();
    EXPECT_EQ(MessageTexts().size(), 1u);
    platform.ClearRecord();
    dialog.OnUpdateTiff();
    // The file's own matrix goes too, which the update says.
    EXPECT_EQ(MessageTexts().size(), 1u);
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(TagValues(Path("plain.tif"), TiffTagModelTransformation), std::vector<double>{});
    EXPECT_EQ(GdalTags("plain.tif"), (corpus::Transform{1000.125, 2, 0, 2000.25, 0, -3}));
}

TEST_F(dialog_corpus_test, ground_control_points_are_not_replaced_unless_confirmed) {
    ASSERT_EQ(
        corpus::MakeWithControlPoints(
            Path("gcps.tif"), {{0, 0, 1000, 2000}, {4, 0, 1008, 2000}, {0, 3, 1000, 1991, 10}}),
        "");
    const corpus::Intact before = Before("gcps.tif");
    const std::vector<unsigned char> bytes = testfiles::ReadBytes(Path("gcps.tif"));
    Take("gcps.tif");
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file has 3 ground control points.");
    EXPECT_EQ(Shown(TiffSide), Zeros);
    Key(TiffSide, {"2", "3", "0", "0", "1000", "2000"});
    dialog.OnUpdateTiff();
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].cause, 1384001562);
    EXPECT_EQ(platform.errors[0].caption, "Operational Problem");
    EXPECT_EQ(platform.errors[0].text,
              "The Tiff file named " + Path("gcps.tif") +
                  " holds 3 ground control points, which this update would replace by a single "
                  "placement; the update was not made.");
    EXPECT_EQ(dialog.State().lastCommand.result, CommandResult::Failed);
    EXPECT_EQ(testfiles::ReadBytes(Path("gcps.tif")), bytes);

    dialog.SetOptions({false, true});
    dialog.OnUpdateTiff();
    EXPECT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(TagValues(Path("gcps.tif"), TiffTagModelTiepoint),
              (std::vector<double>{0, 0, 0, 1000, 2000, 0}));
    EXPECT_EQ(GdalTags("gcps.tif"), (corpus::Transform{1000, 2, 0, 2000, 0, -3}));
    EXPECT_EQ(corpus::ReadWithGdal(Path("gcps.tif"), true).controlPoints, 0u);
    ExpectIntact("gcps.tif", before);
}

TEST_F(dialog_corpus_test, z_values_stay_when_x_and_y_change) {
    corpus::HandTags tags;
    tags.pixelScale = {2, 3, 0.5};
    tags.tiePoints = {0, 0, 7, 1000, 2000, 100};
    ASSERT_EQ(corpus::MakeWithTags(Path("dem.tif"), tags), "");
    const corpus::Intact before = Before("dem.tif");
    Take("dem.tif");
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    ExpectGdalsWorldFile("dem.tif");
    Key(TiffSide, {"4", "5", "0", "0", "1500", "2500"});
    dialog.OnUpdateTiff();
    EXPECT_EQ(TagValues(Path("dem.tif"), TiffTagModelPixelScale), (std::vector<double>{4, 5, 0.5}));
    EXPECT_EQ(TagValues(Path("dem.tif"), TiffTagModelTiepoint),
              (std::vector<double>{0, 0, 7, 1500, 2500, 100}));
    EXPECT_EQ(GdalTags("dem.tif"), (corpus::Transform{1500, 4, 0, 2500, 0, -5}));
    ExpectIntact("dem.tif", before);
}

TEST_F(dialog_corpus_test, tags_of_an_overview_are_not_the_images) {
    ASSERT_EQ(corpus::MakeWithTagsInOverviewOnly(Path("overview.tif")), "");
    const corpus::Intact before = Before("overview.tif");
    Take("overview.tif");
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is NOT georeferenced.");
    EXPECT_EQ(Shown(TiffSide), Zeros);
    Key(TiffSide, {"4", "5", "0", "0", "1500", "2500"});
    dialog.OnUpdateTiff();
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(GdalTags("overview.tif"), (corpus::Transform{1500, 4, 0, 2500, 0, -5}));
    // The overview keeps what it had.
    TuTiffFile file(TuFileName(Path("overview.tif").c_str()), ModeExamine);
    ASSERT_GT(file.TagCount(), 0u);
    double scale[3] = {};
    int found = 0;
    for (std::size_t i = 0; i < file.TagCount(); ++i) {
        found += file.TagAt(i).tag == TiffTagModelPixelScale ? 1 : 0;
    }
    EXPECT_EQ(found, 2);
    EXPECT_EQ(file.ReadDoubles(TiffTagModelPixelScale, scale, 3, 0, TuTagScope::FirstDirectory), 3);
    EXPECT_EQ(scale[0], 4);
    ExpectIntact("overview.tif", before);
}

TEST_F(dialog_corpus_test, a_negative_y_scale_is_read_as_gdal_reads_it) {
    corpus::HandTags tags;
    tags.pixelScale = {2, -3, 0};
    tags.tiePoints = {0, 0, 0, 1000, 2000, 0};
    ASSERT_EQ(corpus::MakeWithTags(Path("negative.tif"), tags), "");
    Take("negative.tif");
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"2", "-3", "0", "0", "1000", "2000"}));
    ExpectGdalsWorldFile("negative.tif");
    EXPECT_EQ(dialog.YVectorY(), -3);
}

TEST_F(dialog_corpus_test, world_files_under_other_names_are_shown_and_updated) {
    struct Case {
        const char* name;
        const char* status;
    };
    for (const Case& c : {Case{"sheet.TFW", "Corresponding world file exists."},
                          Case{"sheet.tifw", "Corresponding world file (.tifw) exists."},
                          Case{"sheet.wld", "Corresponding world file (.wld) exists."},
                          Case{"sheet.WLD", "Corresponding world file (.WLD) exists."}}) {
        std::filesystem::remove_all(folder.path);
        std::filesystem::create_directory(folder.path);
        ASSERT_EQ(corpus::MakePlain(Path("sheet.tif")), "");
        corpus::WriteWorldFile(Path(c.name), {2, 0, 0, -3, 1001, 1998.5});
        Take("sheet.tif");
        EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), c.status);
        EXPECT_EQ(dialog.WorldFileName(), Path(c.name));
        EXPECT_EQ(World(), (std::array<double, 6>{2, 0, 0, -3, 1001, 1998.5})) << c.name;
        Key(WorldSide, {"4", "0", "0", "-5", "1002", "1997.5"});
        dialog.OnUpdateWorldFile();
        EXPECT_EQ(testfiles::ReadNumbers(Path(c.name)),
                  (std::vector<double>{4, 0, 0, -5, 1002, 1997.5}))
            << c.name;
        EXPECT_FALSE(testfiles::Exists(Path("sheet.tfw")) && std::string(c.name) != "sheet.TFW");
        EXPECT_EQ(corpus::GdalTransformExact(Path("sheet.tif")),
                  (corpus::Transform{1000, 4, 0, 2000, 0, -5}))
            << c.name;
    }
}
