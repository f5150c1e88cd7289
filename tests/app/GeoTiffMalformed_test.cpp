// Malformed GeoTIFFs through the dialog's reading and storing of their georeferencing: every
// truncation, and every single-byte change of the header, the first directory, the
// GeoKeyDirectory's values and the transformation matrix's values, of a pixel-is-point GeoTIFF
// and of one placed by a rotated matrix. Each must be read, or end in a catalogue cause, without
// changing the file; and each that is read must take an update that leaves exactly the
// georeferencing written, or refuse it with a cause.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TiffGeoreferencing.h"
#include "Utility/RobustnessFiles.h"
#include "uCauses.h"
#include "uError.h"
#include "uFileName.h"
#include "uTiffFile.h"

using namespace kestrel;
using namespace robustness;

namespace {

// The causes of a file, or a part of it, that cannot be read.
bool IsReadCause(int cause) {
    return cause == TuCauseTiffNotUnderstood || cause == TuCauseTiffTagReadFailed ||
           cause == TuCauseTiffElementMissing || cause == TuCauseInternalError ||
           cause == TuCauseFileReadFailed;
}

const TiffReferencing Written{10.5, 10.25, 0, 0, 500000.125, 4650000.5};

// Where the values of a tag of the first directory lie; {0, 0} when they are inline or absent.
struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
};

Span ValuesOf(const Bytes& b, std::uint16_t tag) {
    const bool big = b[0] == 'M';
    auto u = [&](std::size_t at, int size) {
        std::uint32_t value = 0;
        for (int i = 0; i < size; ++i) {
            value |= std::uint32_t{b[at + static_cast<std::size_t>(big ? size - 1 - i : i)]}
                     << (8 * i);
        }
        return value;
    };
    const std::uint32_t ifd = u(4, 4);
    for (std::uint32_t i = 0; i < u(ifd, 2); ++i) {
        const std::size_t entry = ifd + 2 + 12 * i;
        if (u(entry, 2) == tag) {
            const std::uint32_t type = u(entry + 2, 2);
            const std::uint32_t size = u(entry + 4, 4) * (type == 3 ? 2 : 8);
            return size > 4 ? Span{u(entry + 8, 4), u(entry + 8, 4) + size} : Span{};
        }
    }
    return {};
}

class geotiff_malformed_test : public ::testing::TestWithParam<const char*> {
protected:
    // Examines the bytes, then stores a pixel scale and tie point in a copy; every outcome must
    // be one a user can be told about, and the examined file must stay as it was.
    void Check(const Bytes& bytes, const std::string& what) {
        const std::string path = folder.File("case.tif");
        WriteFile(path, bytes);
        GeoTiffTags tags;
        try {
            TuTiffFile file(TuFileName(path.c_str()), ModeExamine);
            tags = ReadGeoTiffTags(file);
        } catch (const TuError& error) {
            EXPECT_TRUE(IsReadCause(error.Cause())) << what << ": " << error.what();
            EXPECT_EQ(ReadFile(path), bytes) << what;
            ++refused;
            return;
        }
        EXPECT_EQ(ReadFile(path), bytes) << what;
        ++read;
        const TiffView view = ViewOfTags(tags);
        bool committed = false;
        try {
            TuTiffFile file(TuFileName(path.c_str()), ModeUpdate);
            StoreTiePoint(file, Written, view.finding == TiffFinding::ControlPoints);
            file.commitOnClose = true;
            file.CommitAndClose();
            committed = true;
        } catch (const TuError& error) {
            EXPECT_TRUE(IsReadCause(error.Cause())) << what << ": " << error.what();
        }
        if (!committed) {
            return;
        }
        try {
            TuTiffFile file(TuFileName(path.c_str()), ModeExamine);
            const GeoTiffTags after = ReadGeoTiffTags(file);
            const GeoTiffPlacement placement = PlacementOf(after);
            EXPECT_EQ(placement.source, PlacementSource::PixelScaleAndTiePoint) << what;
            EXPECT_TRUE(after.matrix.empty()) << what;
            ASSERT_EQ(after.tiePoints.size(), 6u) << what;
            EXPECT_EQ(after.tiePoints[3], Written.tieWorldX) << what;
            EXPECT_EQ(after.pixelScale[1], Written.yPixelScale) << what;
            if (tags.rasterType != TuRasterType::Unknown) {
                EXPECT_EQ(after.rasterType, tags.rasterType) << what;
            }
        } catch (const TuError& error) {
            ADD_FAILURE() << what << ": an updated file no longer reads: " << error.what();
        }
    }

    ScratchFolder folder;
    int read = 0;
    int refused = 0;
};

} // namespace

TEST_P(geotiff_malformed_test, every_truncation_reads_or_ends_in_a_cause) {
    const Bytes whole = Fixture(GetParam());
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        Check(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)),
              "cut to " + std::to_string(length));
    }
    EXPECT_GT(read, 0);
    EXPECT_GT(refused, 0);
}

TEST_P(geotiff_malformed_test, every_byte_change_of_directory_keys_and_matrix) {
    const Bytes whole = Fixture(GetParam());
    const Span first = {0, 8 + 2 + 12 * 16 + 4}; // header and (at offset 8) the first directory
    const Span keys = ValuesOf(whole, 34735);
    const Span matrix = ValuesOf(whole, 34264);
    ASSERT_GT(keys.end, keys.begin) << "the fixture has no GeoKeyDirectory";
    for (const Span& span : {first, keys, matrix}) {
        for (std::size_t at = span.begin; at < span.end && at < whole.size(); ++at) {
            const std::uint8_t old = whole[at];
            for (std::uint8_t value : {std::uint8_t(0), std::uint8_t(0xFF),
                                       std::uint8_t(old ^ 0x80), std::uint8_t(old + 1)}) {
                if (value != old) {
                    Bytes changed = whole;
                    changed[at] = value;
                    Check(changed, "byte " + std::to_string(at) + " = " + std::to_string(value));
                }
            }
        }
    }
    EXPECT_GT(read, 200);
    EXPECT_GT(refused, 20);
}

INSTANTIATE_TEST_SUITE_P(geotiff_malformed, geotiff_malformed_test,
                         ::testing::Values("geotiff-point-le.tif", "matrix-rotated-be.tif"));
