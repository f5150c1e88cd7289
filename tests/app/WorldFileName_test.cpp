#include "WorldFileName.h"

#include <string>

#include <gtest/gtest.h>

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
