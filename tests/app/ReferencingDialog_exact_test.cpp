// Numbers through the dialog without loss: a field shows 15 digits, but while its text is the
// one shown, the commands work with the exact double behind it, so that tags and world files
// carried from one side to the other and written back keep every bit.
#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DialogFixture.h"
#include "NumberField.h"
#include "uFileName.h"
#include "uTiffFile.h"

using namespace kestrel;
using namespace kestrel::test;
using testfiles::SmallTiff;

namespace {

std::vector<std::uint64_t> Bits(const std::vector<double>& values) {
    std::vector<std::uint64_t> bits;
    bits.reserve(values.size());
    for (double value : values) {
        bits.push_back(std::bit_cast<std::uint64_t>(value));
    }
    return bits;
}

// A value of at most 51 significant bits whose last is worth 2^-fraction: sums and halves of
// such values, as the half-pixel step between corner and centre takes them, are exact.
double Dyadic(double value, int fraction) {
    return std::ldexp(std::round(std::ldexp(value, fraction)), -fraction);
}

class referencing_dialog_exact_test : public DialogTest {
protected:
    static std::vector<double> TiffTags(const std::string& path) {
        TuTiffFile file(TuFileName(path.c_str()), ModeExamine);
        double scale[3] = {};
        double tie[6] = {};
        EXPECT_EQ(file.ReadDoubles(TiffTagModelPixelScale, scale, 3, 0), 3);
        EXPECT_EQ(file.ReadDoubles(TiffTagModelTiepoint, tie, 6, 0), 6);
        return {scale[0], scale[1], scale[2], tie[0], tie[1], tie[2], tie[3], tie[4], tie[5]};
    }
};

} // namespace

TEST_F(referencing_dialog_exact_test, tags_to_world_file_and_back_keep_every_bit) {
    std::mt19937_64 engine(1515);
    std::uniform_real_distribution<double> size(1e-4, 100);
    std::uniform_real_distribution<double> east(-2e6, 2e6);
    std::uniform_real_distribution<double> north(-1e7, 1e7);
    for (int i = 0; i < 20; ++i) {
        const double sx = Dyadic(size(engine), 30);
        const double sy = Dyadic(size(engine), 30);
        const double x = Dyadic(east(engine), 30);
        const double y = Dyadic(north(engine), 28);
        const std::vector<double> tags = {sx, sy, 0, 0, 0, 0, x, y, 0};
        SmallTiff::Make({{33550, {sx, sy, 0}}, {33922, {0, 0, 0, x, y, 0}}})
            .Write(folder / "sheet.tif");
        std::filesystem::remove(folder / "sheet.tfw");
        TypeName(folder / "sheet.tif");
        ASSERT_EQ(dialog.State().tiff, TiffFinding::Georeferenced);

        dialog.OnTiffToWorld();
        dialog.OnUpdateWorldFile();
        const std::vector<double> world = testfiles::ReadNumbers(folder / "sheet.tfw");
        ASSERT_EQ(Bits(world), Bits({sx, 0, 0, -sy, x + 0.5 * sx, y - 0.5 * sy})) << "case " << i;

        dialog.OnWorldToTiff();
        dialog.OnUpdateTiff();
        EXPECT_EQ(Bits(TiffTags(folder / "sheet.tif")), Bits(tags)) << "case " << i;
        // What is shown is still 15 digits.
        EXPECT_EQ(platform.Text(IDC_TIE_WORLD_X), FormatNumber(x));
    }
}

TEST_F(referencing_dialog_exact_test, world_file_to_tags_and_back_keeps_every_bit) {
    SmallTiff::Make({}).Write(folder / "sheet.tif");
    const std::vector<double> world = {Dyadic(0.30000000000000004, 40),
                                       0,
                                       0,
                                       -Dyadic(0.7000000000000001, 40),
                                       Dyadic(654321.12345678912, 30),
                                       Dyadic(4321987.9876543211, 28)};
    testfiles::WriteWorldFile(folder / "sheet.tfw",
                              {world[0], world[1], world[2], world[3], world[4], world[5]});
    TypeName(folder / "sheet.tif");
    dialog.OnWorldToTiff();
    dialog.OnUpdateTiff();
    ASSERT_EQ(dialog.State().tiff, TiffFinding::Georeferenced);
    dialog.OnTiffToWorld();
    dialog.OnUpdateWorldFile();
    EXPECT_EQ(Bits(testfiles::ReadNumbers(folder / "sheet.tfw")), Bits(world));
}

TEST_F(referencing_dialog_exact_test, an_edited_field_counts_as_typed) {
    SmallTiff::Make({{33550, {28.49999999927454, 2, 0}}, {33922, {0, 0, 0, 100, 500, 0}}})
        .Write(folder / "sheet.tif");
    TypeName(folder / "sheet.tif");
    EXPECT_EQ(platform.Text(IDC_X_PIXEL_SCALE), "28.4999999992745");
    dialog.OnTiffToWorld();
    EXPECT_EQ(dialog.XVectorX(), 28.49999999927454);
    platform.Type(IDC_X_PIXEL_SCALE, "28.4999999992746");
    dialog.OnTiffToWorld();
    EXPECT_EQ(dialog.XVectorX(), 28.4999999992746);
    EXPECT_EQ(platform.Text(IDC_X_VECTOR_X), "28.4999999992746");
}
