// The main image's georeferencing as the dialog sees it: which tags of which directory are read,
// what the fields show for each kind of georeferencing, and what an update leaves in the file.
#include "TiffGeoreferencing.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "Utility/TiffBuilder.h"
#include "uCauses.h"
#include "uError.h"
#include "uFileName.h"
#include "uTiffFile.h"

using namespace kestrel;

namespace {

constexpr TuRasterType Area = TuRasterType::PixelIsArea;
constexpr TuRasterType Point = TuRasterType::PixelIsPoint;

std::array<double, 6> Values(const TiffReferencing& t) {
    return {t.xPixelScale, t.yPixelScale, t.tiePixelX, t.tiePixelY, t.tieWorldX, t.tieWorldY};
}

const std::vector<double> Rotated = {2, 0.25, 0, 1000, 0.5, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1};
const std::vector<double> NorthUp = {2, 0, 0, 1000, 0, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1};
const std::vector<double> SouthUp = {2, 0, 0, 1000, 0, 3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1};

// Appends the doubles one after the other; returns where the first lies.
std::uint32_t AppendAll(TiffBuilder& tiff, const std::vector<double>& values) {
    const auto at = static_cast<std::uint32_t>(tiff.Size());
    for (double value : values) {
        tiff.AppendDoubles({value});
    }
    return at;
}

struct ViewCase {
    const char* name;
    GeoTiffTags tags;
    TiffFinding finding;
    std::array<double, 6> fields;
    std::size_t tiePoints;
};

} // namespace

TEST(tiff_georeferencing_test, each_kind_of_georeferencing_is_shown_as_found) {
    const std::vector<double> scale{2, 3, 0};
    const std::vector<double> tie{10, 20, 0, 1000, 2000, 0};
    const std::array<double, 6> tagFields{2, 3, 10, 20, 1000, 2000};
    const std::array<double, 6> zeros{};
    const std::vector<ViewCase> cases = {
        {"scale and tie point", {scale, tie, {}, Area}, TiffFinding::Georeferenced, tagFields, 1},
        {"pixel-is-point",
         {scale, tie, {}, Point},
         TiffFinding::GeoreferencedPixelIsPoint,
         tagFields,
         1},
        {"no raster type", {scale, tie, {}}, TiffFinding::Georeferenced, tagFields, 1},
        {"scale of two values", {{2, 3}, tie, {}, Area}, TiffFinding::NotGeoreferenced, zeros, 1},
        {"a tie point beside a scale of zeros",
         {{0, 0, 0}, tie, {}, Area},
         TiffFinding::Georeferenced,
         {0, 0, 10, 20, 1000, 2000},
         1},
        {"a tie point alone", {{}, tie, {}, Area}, TiffFinding::NotGeoreferenced, zeros, 1},
        {"tie points of a long tag without a scale",
         {{}, tie, {}, Area, 18},
         TiffFinding::ControlPoints,
         zeros,
         3},
        {"tie points beside a scale of zeros",
         {{0, 0, 0}, tie, {}, Area, 12},
         TiffFinding::ControlPoints,
         zeros,
         2},
        {"first of several tie points beside a scale",
         {scale, tie, {}, Area, 12},
         TiffFinding::Georeferenced,
         tagFields,
         2},
        {"scale and tie point beside a matrix",
         {scale, tie, Rotated, Area},
         TiffFinding::Georeferenced,
         tagFields,
         1},
        {"north-up matrix",
         {{}, {}, NorthUp, Area},
         TiffFinding::ByMatrix,
         {2, 3, 0, 0, 1000, 2000},
         0},
        {"north-up matrix, pixel-is-point",
         {{}, {}, NorthUp, Point},
         TiffFinding::ByMatrix,
         {2, 3, 0, 0, 1000, 2000},
         0},
        // What "<--" makes of the world file: the tie point half a pixel from its centre.
        {"rotated matrix",
         {{}, {}, Rotated, Area},
         TiffFinding::ByRotatedMatrix,
         {2, 3, 0, 0, 1000.125, 2000.25},
         0},
        {"rotated matrix, pixel-is-point",
         {{}, {}, Rotated, Point},
         TiffFinding::ByRotatedMatrix,
         {2, 3, 0, 0, 1000, 2000},
         0},
        {"south-up matrix",
         {{}, {}, SouthUp, Area},
         TiffFinding::ByMatrixNotNorthUp,
         {2, -3, 0, 0, 1000, 2000},
         0},
        {"matrix beside ground control points",
         {{}, tie, Rotated, Area, 12},
         TiffFinding::ByRotatedMatrix,
         {2, 3, 0, 0, 1000.125, 2000.25},
         2},
        {"scale without tie point hides the matrix",
         {scale, {}, NorthUp, Area},
         TiffFinding::NotGeoreferenced,
         zeros,
         0},
        {"nothing", {}, TiffFinding::NotGeoreferenced, zeros, 0},
    };
    for (const ViewCase& c : cases) {
        const TiffView view = ViewOfTags(c.tags);
        EXPECT_EQ(view.finding, c.finding) << c.name;
        EXPECT_EQ(Values(view.fields), c.fields) << c.name;
        EXPECT_EQ(view.facts.tiePoints, c.tiePoints) << c.name;
        EXPECT_EQ(view.facts.rasterType, c.tags.rasterType) << c.name;
        EXPECT_EQ(view.facts.matrix.has_value(), c.tags.matrix.size() == 16) << c.name;
        EXPECT_EQ(view.matrixBehind.has_value(), FieldsApproximateMatrix(c.finding)) << c.name;
        if (view.matrixBehind) {
            EXPECT_EQ(std::vector<double>(view.matrixBehind->begin(), view.matrixBehind->end()),
                      c.tags.matrix)
                << c.name;
        }
    }
}

namespace {

class tiff_georeferencing_file_test : public ::testing::Test {
protected:
    std::string Save(TiffBuilder& tiff, const std::string& name = "a.tif") {
        std::string path = folder / name;
        testfiles::WriteBytes(path, tiff.Bytes());
        return path;
    }
    static std::unique_ptr<TuTiffFile> Open(const std::string& path, int mode = ModeUpdate) {
        return std::make_unique<TuTiffFile>(TuFileName(path.c_str()), mode);
    }
    static void Commit(TuTiffFile& file) {
        file.commitOnClose = true;
        file.CommitAndClose();
    }
    // All values of a tag of the first directory; none when it is missing there.
    std::vector<double> TagValues(const std::string& path, int tagId) {
        auto file = Open(path, ModeExamine);
        const int index = file->FindTag(tagId, TuTagScope::FirstDirectory);
        if (index == TagNotFound) {
            return {};
        }
        std::vector<double> values(file->TagAt(static_cast<std::size_t>(index)).count);
        file->ReadDoubles(tagId, values.data(), static_cast<int>(values.size()), 0,
                          TuTagScope::FirstDirectory);
        return values;
    }
    // A file of one directory with the given entries (and nothing else).
    std::string Make(TiffBuilder& tiff, const std::vector<TiffBuilder::Entry>& entries) {
        tiff.SetFirstIfd(tiff.AppendDirectory(entries));
        return Save(tiff);
    }

    testfiles::TempFolder folder;
};

} // namespace

TEST_F(tiff_georeferencing_file_test, only_the_first_directory_is_read) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big);
        const auto keys = tiff.AppendShorts({1, 1, 0, 2, 1024, 0, 1, 1, 1025, 0, 1, 2});
        const auto ties = tiff.AppendDoubles(
            {0, 0, 0, 1000, 2000, 5, 4, 0, 0, 1008, 2000, 5, 0, 3, 0, 1000, 1991, 5});
        const auto matrix =
            tiff.AppendFloats({2, 0.25f, 0, 1000, 0.5f, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1});
        const auto overviewScale = tiff.AppendDoubles({8, 8, 0});
        const auto overview = tiff.AppendDirectory(
            {tiff.InlineShorts(254, 3, {1}), TiffBuilder::At(33550, 12, 3, overviewScale)});
        tiff.SetFirstIfd(tiff.AppendDirectory({TiffBuilder::At(33922, 12, 18, ties),
                                               TiffBuilder::At(34264, 11, 16, matrix),
                                               TiffBuilder::At(34735, 3, 12, keys)},
                                              overview));
        const std::string path = Save(tiff);
        auto file = Open(path, ModeExamine);
        const GeoTiffTags tags = ReadGeoTiffTags(*file);
        EXPECT_TRUE(tags.pixelScale.empty()) << "the overview's scale was read";
        EXPECT_EQ(tags.tiePoints, (std::vector<double>{0, 0, 0, 1000, 2000, 5}));
        EXPECT_EQ(tags.TiePointValues(), 18u);
        EXPECT_EQ(tags.matrix, Rotated);
        EXPECT_EQ(tags.rasterType, Point);
    }
}

TEST_F(tiff_georeferencing_file_test, a_key_directory_that_cannot_be_read_gives_no_raster_type) {
    TiffBuilder text(false);
    const auto letters = text.Append({'1', ',', '1', ',', '0', ',', '0', 0});
    EXPECT_EQ(
        ReadGeoTiffTags(*Open(Make(text, {TiffBuilder::At(34735, 2, 8, letters)}), ModeExamine))
            .rasterType,
        TuRasterType::Unknown);
    TiffBuilder beyond(false);
    const std::string path = Make(beyond, {TiffBuilder::At(34735, 3, 12, 100000)});
    EXPECT_EQ(ReadGeoTiffTags(*Open(path, ModeExamine)).rasterType, TuRasterType::Unknown);
    // A matrix that cannot be read is an error, as for the other georeferencing tags.
    TiffBuilder matrix(false);
    const std::string broken = Make(matrix, {TiffBuilder::At(34264, 12, 16, 100000)});
    EXPECT_THROW(ReadGeoTiffTags(*Open(broken, ModeExamine)), TuError);
    // A matrix of any other count is not read.
    TiffBuilder twelve(false);
    const auto values = twelve.AppendDoubles({2, 0, 0, 1000, 0, -3, 0, 2000, 0, 0, 0, 1});
    EXPECT_TRUE(
        ReadGeoTiffTags(*Open(Make(twelve, {TiffBuilder::At(34264, 12, 12, values)}), ModeExamine))
            .matrix.empty());
}

TEST_F(tiff_georeferencing_file_test, z_values_and_further_tie_points_are_kept) {
    TiffBuilder tiff(false);
    const auto scale = tiff.AppendDoubles({1, 1, 0.5});
    const auto ties = tiff.AppendDoubles({0, 0, 7, 1, 1, 100, 4, 3, 8, 9, 9, 200});
    const auto matrix = AppendAll(tiff, NorthUp);
    const std::string path =
        Make(tiff, {TiffBuilder::At(33550, 12, 3, scale), TiffBuilder::At(33922, 12, 12, ties),
                    TiffBuilder::At(34264, 12, 16, matrix)});
    {
        auto file = Open(path);
        StoreTiePoint(*file, {2, 3, 10, 20, 1000, 2000}, false);
        Commit(*file);
    }
    EXPECT_EQ(TagValues(path, 33550), (std::vector<double>{2, 3, 0.5}));
    EXPECT_EQ(TagValues(path, 33922),
              (std::vector<double>{10, 20, 7, 1000, 2000, 100, 4, 3, 8, 9, 9, 200}));
    EXPECT_TRUE(TagValues(path, 34264).empty()) << "two georeferencings left";
}

TEST_F(tiff_georeferencing_file_test, new_tags_get_zero_z_values) {
    TiffBuilder tiff(true);
    const std::string path = Make(tiff, {tiff.InlineShorts(256, 3, {4})});
    {
        auto file = Open(path);
        StoreTiePoint(*file, {2, 3, 0, 0, 1000, 2000}, false);
        Commit(*file);
    }
    EXPECT_EQ(TagValues(path, 33550), (std::vector<double>{2, 3, 0}));
    EXPECT_EQ(TagValues(path, 33922), (std::vector<double>{0, 0, 0, 1000, 2000, 0}));
}

TEST_F(tiff_georeferencing_file_test, control_points_are_replaced_by_the_one_point) {
    TiffBuilder tiff(false);
    const auto ties = tiff.AppendDoubles(
        {0, 0, 7, 1000, 2000, 100, 4, 0, 0, 1008, 2000, 0, 0, 3, 0, 1000, 1991, 10});
    const std::string path = Make(tiff, {TiffBuilder::At(33922, 12, 18, ties)});
    {
        auto file = Open(path);
        StoreTiePoint(*file, {2, 3, 0, 0, 1000, 2000}, true);
        Commit(*file);
    }
    EXPECT_EQ(TagValues(path, 33922), (std::vector<double>{0, 0, 7, 1000, 2000, 100}));
    EXPECT_EQ(TagValues(path, 33550), (std::vector<double>{2, 3, 0}));
}

TEST_F(tiff_georeferencing_file_test, a_short_scale_is_refused_and_nothing_is_committed) {
    TiffBuilder tiff(false);
    const auto scale = tiff.AppendDoubles({1, 1});
    const auto matrix = AppendAll(tiff, NorthUp);
    const std::string path =
        Make(tiff, {TiffBuilder::At(33550, 12, 2, scale), TiffBuilder::At(34264, 12, 16, matrix)});
    const std::vector<unsigned char> before = testfiles::ReadBytes(path);
    {
        auto file = Open(path);
        try {
            StoreTiePoint(*file, {2, 3, 0, 0, 1000, 2000}, false);
            FAIL() << "a two-value scale took three values";
        } catch (const TuError& error) {
            EXPECT_EQ(error.Cause(), TuCauseTiffElementMissing);
        }
        file->CommitAndClose(); // without commitOnClose, as the dialog leaves it
    }
    EXPECT_EQ(testfiles::ReadBytes(path), before);
}

TEST_F(tiff_georeferencing_file_test, a_matrix_replaces_scale_and_tie_points) {
    TiffBuilder tiff(false);
    const auto scale = tiff.AppendDoubles({1, 1, 0.5});
    const auto ties = tiff.AppendDoubles({0, 0, 7, 1, 1, 100});
    const std::string path =
        Make(tiff, {tiff.InlineShorts(256, 3, {4}), TiffBuilder::At(33550, 12, 3, scale),
                    TiffBuilder::At(33922, 12, 6, ties)});
    TransformationMatrix matrix;
    std::copy(Rotated.begin(), Rotated.end(), matrix.begin());
    {
        auto file = Open(path);
        StoreMatrix(*file, matrix);
        Commit(*file);
    }
    EXPECT_EQ(TagValues(path, 34264), Rotated);
    EXPECT_TRUE(TagValues(path, 33550).empty());
    EXPECT_TRUE(TagValues(path, 33922).empty());
    EXPECT_EQ(TagValues(path, 256), (std::vector<double>{4}));
}

TEST_F(tiff_georeferencing_file_test, a_matrix_of_16_keeps_its_z_terms_and_others_are_replaced) {
    TiffBuilder tiff(false);
    const std::vector<double> withZ = {1, 0, 9, 1, 0, -1, 8, 1, 1, 2, 3, 4, 5, 6, 7, 2};
    const auto old = AppendAll(tiff, withZ);
    const std::string path = Make(tiff, {TiffBuilder::At(34264, 12, 16, old)});
    TransformationMatrix matrix;
    std::copy(Rotated.begin(), Rotated.end(), matrix.begin());
    {
        auto file = Open(path);
        StoreMatrix(*file, matrix);
        Commit(*file);
    }
    EXPECT_EQ(TagValues(path, 34264),
              (std::vector<double>{2, 0.25, 9, 1000, 0.5, -3, 8, 2000, 1, 2, 3, 4, 5, 6, 7, 2}));

    TiffBuilder twelve(false);
    const auto short12 = twelve.AppendDoubles({1, 0, 0, 1, 0, -1, 0, 1, 0, 0, 0, 1});
    const std::string path12 = Make(twelve, {TiffBuilder::At(34264, 12, 12, short12)});
    {
        auto file = Open(path12);
        StoreMatrix(*file, matrix);
        Commit(*file);
    }
    EXPECT_EQ(TagValues(path12, 34264), Rotated);
}

TEST_F(tiff_georeferencing_file_test, a_tag_held_twice_goes_whole) {
    TiffBuilder tiff(false);
    const auto first = AppendAll(tiff, Rotated);
    const auto second = AppendAll(tiff, NorthUp);
    const std::string path =
        Make(tiff, {TiffBuilder::At(34264, 12, 16, first), TiffBuilder::At(34264, 12, 16, second)});
    {
        auto file = Open(path);
        StoreTiePoint(*file, {2, 3, 0, 0, 1000, 2000}, false);
        Commit(*file);
    }
    EXPECT_TRUE(TagValues(path, 34264).empty()) << "the second matrix came to light";
    EXPECT_EQ(TagValues(path, 33550), (std::vector<double>{2, 3, 0}));
}
