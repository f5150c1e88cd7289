#include "WorldFileName.h"

#include <string>

#include <gtest/gtest.h>

#include "GeoTiffCorpus.h"
#include "TestFiles.h"

namespace {

std::string WorldNameOf(const std::string& tiff) {
    return kestrel::WorldFileNameFor(TuFileName(tiff.c_str())).GetNarrow();
}

} // namespace

TEST(world_file_name_test, lower_case_extension_by_default) {
    testfiles::TempFolder folder;
    EXPECT_EQ(WorldNameOf(folder / "sheet.tif"), folder / "sheet.tfw");
    EXPECT_EQ(WorldNameOf(folder / "sheet.tiff"), folder / "sheet.tfw");
    EXPECT_EQ(WorldNameOf(folder / "Sheet.Tif"), folder / "Sheet.tfw");
}

TEST(world_file_name_test, upper_case_tiff_gets_upper_case_world_file) {
    testfiles::TempFolder folder;
    EXPECT_EQ(WorldNameOf(folder / "SHEET.TIF"), folder / "SHEET.TFW");
    EXPECT_EQ(WorldNameOf(folder / "sheet.TIFF"), folder / "sheet.TFW");
}

TEST(world_file_name_test, existing_file_wins_over_the_tiff_case) {
    testfiles::TempFolder folder;
    testfiles::WriteText(folder / "sheet.TFW", "");
    EXPECT_EQ(WorldNameOf(folder / "sheet.tif"), folder / "sheet.TFW");
    testfiles::WriteText(folder / "SHEET.tfw", "");
    EXPECT_EQ(WorldNameOf(folder / "SHEET.TIF"), folder / "SHEET.tfw");
    // With both present, the lower-case name is the one derived first.
    testfiles::WriteText(folder / "sheet.tfw", "");
    EXPECT_EQ(WorldNameOf(folder / "sheet.tif"), folder / "sheet.tfw");
}

// ---- Looking for the world file under the names GDAL reads ----

namespace {

std::string FoundFor(const std::string& tiff) {
    return kestrel::FindWorldFileName(TuFileName(tiff.c_str())).GetNarrow();
}

// The pixel width of the world file GDAL reads beside a TIFF (0 when it reads none). GDAL
// looks for each name through a listing of the folder, in any case and in the listing's order;
// without the listing it tries the extension in lower case, then in upper case.
double GdalPixelWidth(const std::string& tiff, bool withoutListing = false) {
    const auto transform = geotiffcorpus::ReadWithGdal(
        tiff, false, withoutListing ? "--config GDAL_DISABLE_READDIR_ON_OPEN YES" : "");
    return transform.transform ? (*transform.transform)[1] : 0;
}

} // namespace

TEST(world_file_name_test, names_are_looked_for_in_gdals_order) {
    REQUIRE_CORPUS_TOOLS();
    testfiles::TempFolder folder;
    ASSERT_EQ(geotiffcorpus::MakePlain(folder / "sheet.tif"), "");
    EXPECT_EQ(FoundFor(folder / "sheet.tif"), folder / "sheet.tfw");
    // Each name added wins over those before it; its pixel width tells GDAL's choice.
    const char* const names[] = {"wld", "TIFW", "TFW"};
    double width = 1;
    for (const char* extension : names) {
        const std::string world = folder / ("sheet." + std::string(extension));
        geotiffcorpus::WriteWorldFile(world, {width, 0, 0, -width, 0, 0});
        EXPECT_EQ(FoundFor(folder / "sheet.tif"), world);
        EXPECT_EQ(GdalPixelWidth(folder / "sheet.tif"), width) << extension;
        ++width;
    }
}

TEST(world_file_name_test, lower_case_before_upper_case) {
    REQUIRE_CORPUS_TOOLS();
    testfiles::TempFolder folder;
    ASSERT_EQ(geotiffcorpus::MakePlain(folder / "sheet.tif"), "");
    // With both, GDAL's folder listing decides; without it, as Kestrel, lower case first.
    const char* const pairs[][2] = {{"WLD", "wld"}, {"TIFW", "tifw"}, {"TFW", "tfw"}};
    double width = 1;
    for (const auto& pair : pairs) {
        for (const char* extension : pair) {
            geotiffcorpus::WriteWorldFile(folder / ("sheet." + std::string(extension)),
                                          {width, 0, 0, -width, 0, 0});
            ++width;
        }
        EXPECT_EQ(FoundFor(folder / "sheet.tif"), folder / ("sheet." + std::string(pair[1])));
        EXPECT_EQ(GdalPixelWidth(folder / "sheet.tif", true), width - 1) << pair[1];
    }
}

TEST(world_file_name_test, own_extension_and_w_follows_the_tiffs_extension) {
    REQUIRE_CORPUS_TOOLS();
    testfiles::TempFolder folder;
    ASSERT_EQ(geotiffcorpus::MakePlain(folder / "sheet.tiff"), "");
    ASSERT_EQ(geotiffcorpus::MakePlain(folder / "MAP.TIF"), "");
    // "tifw" belongs to "tif" only: GDAL does not read it beside "sheet.tiff".
    geotiffcorpus::WriteWorldFile(folder / "sheet.tifw", {2, 0, 0, -2, 0, 0});
    EXPECT_EQ(FoundFor(folder / "sheet.tiff"), folder / "sheet.tfw");
    EXPECT_EQ(GdalPixelWidth(folder / "sheet.tiff"), 0);
    geotiffcorpus::WriteWorldFile(folder / "sheet.TIFFW", {3, 0, 0, -3, 0, 0});
    EXPECT_EQ(FoundFor(folder / "sheet.tiff"), folder / "sheet.TIFFW");
    EXPECT_EQ(GdalPixelWidth(folder / "sheet.tiff"), 3);
    // An upper-case TIFF finds a lower-case world file too, and gets "TFW" when there is none.
    EXPECT_EQ(FoundFor(folder / "MAP.TIF"), folder / "MAP.TFW");
    geotiffcorpus::WriteWorldFile(folder / "MAP.tifw", {5, 0, 0, -5, 0, 0});
    EXPECT_EQ(FoundFor(folder / "MAP.TIF"), folder / "MAP.tifw");
    EXPECT_EQ(GdalPixelWidth(folder / "MAP.TIF"), 5);
}

TEST(world_file_name_test, tiff_without_extension_and_answers_of_the_name_found) {
    testfiles::TempFolder folder;
    testfiles::WriteText(folder / "sheet.wld", "1\n0\n0\n-1\n0\n0\n");
    testfiles::MakeReadOnly(folder / "sheet.wld");
    EXPECT_EQ(FoundFor(folder / "sheet"), folder / "sheet.wld");
    TuFileAccessAnswers answers;
    EXPECT_EQ(
        kestrel::FindWorldFileName(TuFileName((folder / "sheet.tif").c_str()), answers).GetNarrow(),
        folder / "sheet.wld");
    EXPECT_TRUE(answers.exists);
    EXPECT_TRUE(answers.readable);
    EXPECT_FALSE(answers.writable);
    // None found: the new world file's name, and answers that it does not exist.
    EXPECT_EQ(
        kestrel::FindWorldFileName(TuFileName((folder / "map.tif").c_str()), answers).GetNarrow(),
        folder / "map.tfw");
    EXPECT_FALSE(answers.exists);
    EXPECT_FALSE(answers.readable);
}

TEST(world_file_name_test, name_too_long_for_extension_and_w_is_passed_over) {
    testfiles::TempFolder folder;
    // A TIFF whose path is as long as a path may be: with "tifw"-style one unit longer.
    const std::string prefix = folder / "a.";
    const std::string tiff = prefix + std::string(TuPathMaximumUnits - prefix.size(), 'x');
    ASSERT_EQ(tiff.size(), TuPathMaximumUnits);
    EXPECT_EQ(FoundFor(tiff), folder / "a.tfw");
    testfiles::WriteText(folder / "a.WLD", "1\n0\n0\n-1\n0\n0\n");
    EXPECT_EQ(FoundFor(tiff), folder / "a.WLD");
}
