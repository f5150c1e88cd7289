// The referencing dialog on Windows files: the read-only attribute makes both sides say why
// they may not be updated, a TIFF held by another program without sharing is reported as in
// use, and the world file the dialog writes has CR LF line ends. The sheet is a committed
// GeoTIFF fixture made by GDAL (tests/data).
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "DialogFixture.h"
// After the dialog's own ids, which windows.h defines again as macros of the same values.
#include "WindowsTestFiles.h"
#include "uCauses.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int ErrorStyle = TuStyleIconError | TuStyleOk;

class referencing_dialog_windows_test : public DialogTest {
protected:
    referencing_dialog_windows_test() {
        std::filesystem::copy_file(
            PathOf(std::string(KESTREL_TEST_DATA) + "/geotiff_le_striped.tif"), PathOf(tiff));
    }
    ~referencing_dialog_windows_test() override {
        SetAttributes(tiff, FILE_ATTRIBUTE_NORMAL);
        SetAttributes(world, FILE_ATTRIBUTE_NORMAL);
    }
    const ReferencingState& State() const { return dialog.State(); }

    std::string tiff = folder / "sheet.tif";
    std::string world = folder / "sheet.tfw";
};

TEST_F(referencing_dialog_windows_test, read_only_files_say_why_they_are_not_updated) {
    testfiles::WriteWorldFile(world, {2, 0, 0, -2, 101, 499});
    ASSERT_TRUE(SetAttributes(tiff, FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetAttributes(world, FILE_ATTRIBUTE_READONLY));
    TypeName(tiff);
    const TuMessage examinationOnly{TuCauseTiffOpenedForExamination, "Internal Software Problem",
                                    "An attempt to modify Tiff file named " + tiff +
                                        " failed; it was opened for examination only.",
                                    ErrorStyle};
    const TuMessage writeDenied{TuCauseOpenWriteDenied, "Operational Problem",
                                "Permission to open file named " + world +
                                    " for writing is denied. File is marked as read only. (Code: "
                                    "13)",
                                ErrorStyle};
    EXPECT_EQ(State().tiffUpdate, (UpdateAvailability{false, examinationOnly}));
    EXPECT_EQ(State().worldFileUpdate, (UpdateAvailability{false, writeDenied}));

    const std::vector<unsigned char> tiffBefore = testfiles::ReadBytes(tiff);
    Key(TiffSide, {"4", "4", "0", "0", "1", "2"});
    dialog.OnUpdateTiff();
    Key(WorldSide, {"4", "0", "0", "-4", "1", "2"});
    dialog.OnUpdateWorldFile();
    EXPECT_EQ(platform.errors, (std::vector<TuMessage>{examinationOnly, writeDenied}));
    EXPECT_EQ(testfiles::ReadBytes(tiff), tiffBefore);
    EXPECT_EQ(testfiles::ReadNumbers(world), (std::vector<double>{2, 0, 0, -2, 101, 499}));
    EXPECT_NE(AttributesOf(world) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(referencing_dialog_windows_test, a_tiff_in_use_elsewhere_is_reported_as_possibly_locked) {
    const HeldWithoutSharing held(tiff);
    ASSERT_TRUE(held.Held());
    TypeName(tiff);
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].cause, TuCauseOpenDenied);
    EXPECT_EQ(platform.errors[0].text,
              "Permission to open file named " + tiff +
                  " denied. File could be locked by another user; or perhaps directory search "
                  "permission problem. (Code: 13)");
    EXPECT_FALSE(State().tiffUpdate.available);
}

TEST_F(referencing_dialog_windows_test, the_world_file_written_has_cr_lf_line_ends) {
    TypeName(tiff);
    dialog.OnTiffToWorld();
    dialog.OnUpdateWorldFile();
    EXPECT_TRUE(platform.errors.empty());
    const std::vector<unsigned char> bytes = testfiles::ReadBytes(world);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "                      10\r\n"
                                                       "                       0\r\n"
                                                       "                       0\r\n"
                                                       "                     -10\r\n"
                                                       "                  500005\r\n"
                                                       "                 4000475\r\n");
}

} // namespace
