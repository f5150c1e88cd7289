// TIFF access against files written by GDAL: Kestrel must read what gdalinfo reports, and
// after Kestrel's update GDAL, libgeotiff and libtiff must read the new placement without a
// warning.
#include "uTiffFile.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "GdalTools.h"
#include "StoreReferencing.h"
#include "TiffBuilder.h"
#include "TiffTestSupport.h"
#include "uCauses.h"

namespace {

struct Placement {
    double scale[3];
    double tie[6];
};

Placement ReadPlacement(const std::string& path, int* scaleCount = nullptr,
                        int* tieCount = nullptr) {
    TuTiffFile file(TuFileName(path.c_str()), ModeExamine);
    Placement placement{};
    const int scales = file.ReadDoubles(TiffTagModelPixelScale, placement.scale, 3, 0);
    const int ties = file.ReadDoubles(TiffTagModelTiepoint, placement.tie, 6, 0);
    if (scaleCount != nullptr) {
        *scaleCount = scales;
    }
    if (tieCount != nullptr) {
        *tieCount = ties;
    }
    return placement;
}

// The dialog's update of both tags.
void Update(const std::string& path, const Placement& placement) {
    TuTiffFile file(TuFileName(path.c_str()), ModeUpdate);
    StoreReferencing(file, placement.scale, placement.tie);
}

// What gdalinfo must show for a placement whose tie point is raster (0, 0).
std::vector<double> ExpectedTransform(const Placement& placement) {
    return {placement.tie[3], placement.scale[0], 0, placement.tie[4], 0, -placement.scale[1]};
}

// gdalinfo prints up to 17 significant digits; a relative difference of 1e-12 is the same.
void ExpectTransform(const std::vector<double>& shown, const std::vector<double>& expected) {
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_NEAR(shown[i], expected[i], 1e-12 * std::max(1.0, std::abs(expected[i]))) << i;
    }
}

// The values match those listgeo prints (15 significant digits).
void ExpectListgeoShows(const std::string& path, const Placement& placement) {
    const std::vector<double> scale = ListgeoTag(path, "ModelPixelScaleTag");
    const std::vector<double> tie = ListgeoTag(path, "ModelTiepointTag");
    ASSERT_EQ(scale.size(), 3u);
    ASSERT_EQ(tie.size(), 6u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(scale[i], placement.scale[i], 1e-14 * std::abs(placement.scale[i])) << i;
    }
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(tie[i], placement.tie[i], 1e-14 * std::abs(placement.tie[i])) << i;
    }
}

// Kestrel reads what gdalinfo and listgeo report, updates both tags, and the tools then see
// the new placement, the same overviews, the same pixels and nothing to warn about; libtiff
// reads every directory and all image data.
// NOLINTNEXTLINE(readability-function-size): one scenario, its assertions expand to many
void CheckRoundTrip(const std::string& path, bool georeferenced) {
    SCOPED_TRACE(path);
    const std::string before = GdalInfo(path);
    const std::vector<long> checksums = Checksums(path);
    ASSERT_FALSE(checksums.empty());
    int scales = 0;
    int ties = 0;
    const Placement read = ReadPlacement(path, &scales, &ties);
    if (georeferenced) {
        ASSERT_EQ(scales, 3);
        ASSERT_EQ(ties, 6);
        ExpectTransform(GeoTransform(before), ExpectedTransform(read));
        ExpectListgeoShows(path, read);
    } else {
        EXPECT_EQ(scales, TagNotFound);
        EXPECT_EQ(ties, TagNotFound);
        EXPECT_TRUE(GeoTransform(before).empty());
        EXPECT_TRUE(ListgeoTag(path, "ModelPixelScaleTag").empty());
    }
    const Placement placement{{2.5, 1.25, 0}, {0, 0, 0, 650000.5, 5100000.75, 0}};
    Update(path, placement);
    const std::string after = GdalInfo(path);
    ExpectTransform(GeoTransform(after), ExpectedTransform(placement));
    EXPECT_EQ(OverviewCount(after), OverviewCount(before));
    EXPECT_EQ(Checksums(path), checksums);
    EXPECT_EQ(Complaints(after), "");
    EXPECT_EQ(Complaints(RunTool("listgeo " + Quoted(path))), "");
    EXPECT_EQ(Complaints(RunTool("tiffinfo -D " + Quoted(path))), "");
    ExpectListgeoShows(path, placement);
    const Placement reread = ReadPlacement(path);
    EXPECT_EQ(reread.scale[1], 1.25);
    EXPECT_EQ(reread.tie[4], 5100000.75);
}

class tiff_gdal_test : public ::testing::Test {
protected:
    std::string Fixture(const std::string& name) {
        std::string path = folder / name;
        std::filesystem::copy_file(std::string(KESTREL_TEST_DATA) + "/" + name, path,
                                   std::filesystem::copy_options::overwrite_existing);
        return path;
    }
    // gdal_create with the given options into the temporary folder.
    std::string Create(const std::string& name, const std::string& options) {
        std::string path = folder / name;
        int status = 0;
        const std::string output =
            RunTool("gdal_create -q -of GTiff " + options + " " + Quoted(path), &status);
        EXPECT_EQ(status, 0) << output;
        return path;
    }

    TempFolder folder;
};

TEST_F(tiff_gdal_test, committed_fixtures_read_as_made) {
    struct Known {
        const char* name;
        double x, y, sx, sy;
    };
    for (Known known : {Known{"geotiff_le_striped.tif", 500000, 4000480, 10, 10},
                        Known{"geotiff_be_tiled.tif", 10.25, 47.5, 0.005, 0.005},
                        Known{"geotiff_overviews.tif", 1000, 2960, 4, 4}}) {
        const std::string path = Fixture(known.name);
        int scales = 0;
        int ties = 0;
        const Placement placement = ReadPlacement(path, &scales, &ties);
        ASSERT_EQ(scales, 3) << known.name;
        ASSERT_EQ(ties, 6) << known.name;
        // GDAL derived the scale from the corners: equal to a few units in the last place.
        EXPECT_NEAR(placement.scale[0], known.sx, 1e-15) << known.name;
        EXPECT_NEAR(placement.scale[1], known.sy, 1e-15) << known.name;
        EXPECT_EQ(placement.tie[0], 0);
        EXPECT_EQ(placement.tie[1], 0);
        EXPECT_DOUBLE_EQ(placement.tie[3], known.x) << known.name;
        EXPECT_DOUBLE_EQ(placement.tie[4], known.y) << known.name;
    }
    EXPECT_TRUE(
        TuTiffFile(TuFileName(Fixture("geotiff_be_tiled.tif").c_str()), ModeExamine).IsBigEndian());
    int scales = 0;
    ReadPlacement(Fixture("tiff_no_georef.tif"), &scales);
    EXPECT_EQ(scales, TagNotFound);
}

TEST_F(tiff_gdal_test, committed_fixtures_update_cleanly) {
    REQUIRE_TOOLS("gdalinfo", "listgeo", "tiffinfo");
    CheckRoundTrip(Fixture("geotiff_le_striped.tif"), true);
    CheckRoundTrip(Fixture("geotiff_be_tiled.tif"), true);
    CheckRoundTrip(Fixture("geotiff_overviews.tif"), true);
    CheckRoundTrip(Fixture("tiff_no_georef.tif"), false);
}

// One way GDAL lays a GeoTIFF out: its creation options, and whether overviews follow.
struct Layout {
    const char* name;
    const char* options;
    bool overviews;
};

void PrintTo(const Layout& layout, std::ostream* out) {
    *out << layout.name;
}

class tiff_gdal_layout_test : public ::testing::TestWithParam<Layout> {
protected:
    TempFolder folder;
};

TEST_P(tiff_gdal_layout_test, updates_cleanly) {
    REQUIRE_TOOLS("gdal_create", "gdaladdo", "gdalinfo", "listgeo", "tiffinfo");
    const std::string path = folder / "layout.tif";
    int status = 0;
    // A pixel scale that is no round number: 960.123 / 96 across.
    const std::string output =
        RunTool("gdal_create -q -of GTiff -outsize 96 64 -bands 2 -ot UInt16 -burn 9 "
                "-a_srs EPSG:25832 -a_ullr 300000.125 5600640 300960.248 5600000 " +
                    std::string(GetParam().options) + " " + Quoted(path),
                &status);
    ASSERT_EQ(status, 0) << output;
    if (GetParam().overviews) {
        RunTool("gdaladdo -q " + Quoted(path) + " 2 4 8");
        ASSERT_EQ(OverviewCount(GdalInfo(path)), 3);
    }
    const bool bigTiff = std::string(GetParam().options).find("BIGTIFF=YES") != std::string::npos;
    EXPECT_EQ(TuTiffFile(TuFileName(path.c_str()), ModeExamine).IsBigTiff(), bigTiff);
    CheckRoundTrip(path, true);
    EXPECT_EQ(TuTiffFile(TuFileName(path.c_str()), ModeExamine).IsBigTiff(), bigTiff);
}

INSTANTIATE_TEST_SUITE_P(
    layouts, tiff_gdal_layout_test,
    ::testing::Values(
        Layout{"striped", "", false},
        Layout{"tiled_overviews", "-co TILED=YES -co BLOCKXSIZE=32 -co BLOCKYSIZE=32", true},
        Layout{"lzw_band_interleaved", "-co COMPRESS=LZW -co INTERLEAVE=BAND", false},
        Layout{"deflate_tiled",
               "-co COMPRESS=DEFLATE -co TILED=YES -co BLOCKXSIZE=16 -co BLOCKYSIZE=16", false},
        Layout{"big_endian_overviews", "-co ENDIANNESS=BIG", true},
        Layout{"big_endian_tiled_lzw",
               "-co ENDIANNESS=BIG -co TILED=YES -co BLOCKXSIZE=32 -co BLOCKYSIZE=32 "
               "-co COMPRESS=LZW",
               false},
        Layout{"bigtiff_striped", "-co BIGTIFF=YES", false},
        Layout{"bigtiff_tiled_overviews",
               "-co BIGTIFF=YES -co TILED=YES -co BLOCKXSIZE=32 -co BLOCKYSIZE=32", true},
        Layout{"bigtiff_big_endian_overviews", "-co BIGTIFF=YES -co ENDIANNESS=BIG", true},
        Layout{"bigtiff_big_endian_tiled_deflate",
               "-co BIGTIFF=YES -co ENDIANNESS=BIG -co TILED=YES -co BLOCKXSIZE=16 "
               "-co BLOCKYSIZE=16 -co COMPRESS=DEFLATE",
               false}),
    [](const ::testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

TEST_F(tiff_gdal_test, tags_added_to_a_file_with_overviews_keep_them_reachable) {
    REQUIRE_TOOLS("gdal_create", "gdaladdo", "gdalinfo", "listgeo", "tiffinfo");
    for (const char* kind : {"NO", "YES"}) {
        for (const char* order : {"LITTLE", "BIG"}) {
            const std::string path =
                Create(std::string("plain_") + order + "_" + kind + ".tif",
                       "-outsize 80 60 -bands 1 -ot Byte -burn 5 -a_nodata 255 -co ENDIANNESS=" +
                           std::string(order) + " -co BIGTIFF=" + kind);
            RunTool("gdaladdo -q " + Quoted(path) + " 2 4");
            ASSERT_EQ(OverviewCount(GdalInfo(path)), 2);
            CheckRoundTrip(path, false);
        }
    }
}

// The CRC of a byte range of a file, read in blocks.
std::uint32_t RangeChecksum(int descriptor, std::uint64_t offset, std::uint64_t length) {
    std::uint32_t crc = 0xFFFFFFFF;
    std::vector<unsigned char> block(1 << 20);
    while (length > 0) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(length, block.size()));
        const ssize_t got = ::pread(descriptor, block.data(), want, static_cast<off_t>(offset));
        if (got <= 0) {
            return 0;
        }
        for (ssize_t i = 0; i < got; ++i) {
            crc ^= block[static_cast<std::size_t>(i)];
            for (int bit = 0; bit < 8; ++bit) {
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
            }
        }
        offset += static_cast<std::uint64_t>(got);
        length -= static_cast<std::uint64_t>(got);
    }
    return ~crc;
}

using ByteRanges = std::vector<std::pair<std::uint64_t, std::uint64_t>>; // offset, length

// The CRCs of byte ranges of an open file.
std::vector<std::uint32_t> RangeChecksums(int descriptor, const ByteRanges& ranges) {
    std::vector<std::uint32_t> sums;
    for (const auto& [offset, length] : ranges) {
        sums.push_back(RangeChecksum(descriptor, offset, length));
    }
    return sums;
}

// Updates a large sparse file with the placement and checks that only `growth` bytes were
// appended: the byte ranges read the same, and the file takes no more disk blocks than a few
// MiB. Returns the file's first `headerSize` bytes afterwards.
std::vector<unsigned char> UpdateLargeFile(const std::string& path, const Placement& placement,
                                           const ByteRanges& ranges, std::uint64_t growth,
                                           std::size_t headerSize) {
    const std::uint64_t length = std::filesystem::file_size(path);
    const int descriptor = ::open(path.c_str(), O_RDONLY);
    EXPECT_GE(descriptor, 0);
    const std::vector<std::uint32_t> before = RangeChecksums(descriptor, ranges);
    Update(path, placement);
    EXPECT_EQ(std::filesystem::file_size(path), length + growth);
    EXPECT_EQ(RangeChecksums(descriptor, ranges), before);
    struct stat status {};
    EXPECT_EQ(::fstat(descriptor, &status), 0);
    EXPECT_LT(status.st_blocks * 512, 16 << 20) << "the file is no longer sparse";
    std::vector<unsigned char> header(headerSize);
    EXPECT_EQ(::pread(descriptor, header.data(), headerSize, 0), static_cast<ssize_t>(headerSize));
    ::close(descriptor);
    return header;
}

// After the update of a large file: GDAL reads the new placement, and neither GDAL, nor
// libgeotiff, nor libtiff (every directory, without image data) has anything to warn about.
void ExpectToolsReadTheLargeFile(const std::string& path, const Placement& placement) {
    const std::string info = GdalInfo(path);
    ExpectTransform(GeoTransform(info), ExpectedTransform(placement));
    EXPECT_EQ(Complaints(info), "");
    EXPECT_EQ(Complaints(RunTool("listgeo " + Quoted(path))), "");
    EXPECT_EQ(Complaints(RunTool("tiffinfo " + Quoted(path))), "");
}

TEST_F(tiff_gdal_test, a_two_gigabyte_file_grows_by_the_values_and_the_directory_only) {
    REQUIRE_TOOLS("gdal_create", "gdalinfo", "listgeo", "tiffinfo");
    // 32768 x 65536 bytes in 512 x 512 tiles: 8192 tiles of 256 KiB, 2 GiB of image data.
    const std::string path = Create("big.tif", "-outsize 32768 65536 -bands 1 -ot Byte "
                                               "-co TILED=YES -co BLOCKXSIZE=512 "
                                               "-co BLOCKYSIZE=512 -co SPARSE_OK=TRUE");
    std::uint64_t dataStart = 0;
    std::size_t entries = 0;
    {
        // Point the tiles into a hole after the directory, so the file is 2 GiB and sparse.
        TuTiffFile file(TuFileName(path.c_str()), ModeExamine);
        entries = file.TagCount();
        const TuTiffTag offsets = file.TagAt(static_cast<std::size_t>(file.FindTag(324)));
        const TuTiffTag counts = file.TagAt(static_cast<std::size_t>(file.FindTag(325)));
        ASSERT_EQ(offsets.type, 4);
        ASSERT_EQ(offsets.count, 8192u);
        dataStart = (std::filesystem::file_size(path) + 4095) / 4096 * 4096;
        TiffBuilder order(file.IsBigEndian());
        std::vector<unsigned char> offsetBytes(4 * 8192);
        std::vector<unsigned char> countBytes(4 * 8192);
        for (std::uint32_t i = 0; i < 8192; ++i) {
            order.Encode32(offsetBytes.data() + 4 * i,
                           static_cast<std::uint32_t>(dataStart + std::uint64_t{i} * 262144));
            order.Encode32(countBytes.data() + 4 * i, 262144);
        }
        const int descriptor = ::open(path.c_str(), O_WRONLY);
        ASSERT_GE(descriptor, 0);
        ASSERT_EQ(::pwrite(descriptor, offsetBytes.data(), offsetBytes.size(), offsets.offset),
                  static_cast<ssize_t>(offsetBytes.size()));
        ASSERT_EQ(::pwrite(descriptor, countBytes.data(), countBytes.size(), counts.offset),
                  static_cast<ssize_t>(countBytes.size()));
        ASSERT_EQ(::ftruncate(descriptor, static_cast<off_t>(dataStart + (std::uint64_t{1} << 31))),
                  0);
        ::close(descriptor);
    }
    const std::uint64_t length = std::filesystem::file_size(path);
    ASSERT_GT(length, std::uint64_t{1} << 31);

    // Before the image data, in its hole, and at the end.
    const ByteRanges ranges = {
        {8, dataStart - 8}, {dataStart, 1 << 20}, {length - (1 << 20), 1 << 20}};
    const Placement placement{{0.5, 0.5, 0}, {0, 0, 0, 400000, 6000000, 0}};
    const std::uint64_t directorySize = 2 + 12 * (entries + 2) + 4;
    const std::vector<unsigned char> header =
        UpdateLargeFile(path, placement, ranges, 72 + directorySize, 8);
    EXPECT_EQ(TiffBuilder(false).Decode32(header.data() + 4), length + 72);
    ExpectToolsReadTheLargeFile(path, placement);
}

TEST_F(tiff_gdal_test, a_bigtiff_past_4_gib_grows_by_the_values_and_the_directory_only) {
    REQUIRE_TOOLS("gdal_create", "gdalinfo", "listgeo", "tiffinfo");
    // 70000 x 70000 bytes in 256 x 256 tiles: GDAL makes a file this large a BigTIFF by itself,
    // and sparse (its tiles of zeros are a hole).
    const std::string path = Create("huge.tif", "-outsize 70000 70000 -bands 1 -ot Byte "
                                                "-co TILED=YES");
    const std::uint64_t length = std::filesystem::file_size(path);
    ASSERT_GT(length, std::uint64_t{1} << 32);
    std::size_t entries = 0;
    {
        TuTiffFile file(TuFileName(path.c_str()), ModeExamine);
        ASSERT_TRUE(file.IsBigTiff());
        entries = file.TagCount();
        double values[3];
        EXPECT_EQ(file.ReadDoubles(TiffTagModelPixelScale, values, 3, 0), TagNotFound);
    }
    EXPECT_TRUE(GeoTransform(GdalInfo(path)).empty());
    EXPECT_TRUE(ListgeoTag(path, "ModelPixelScaleTag").empty());

    // The first MiB after the header (the directory, its arrays, the first tiles), the MiB
    // around 4 GiB, and the last MiB.
    const ByteRanges ranges = {{16, 1 << 20},
                               {(std::uint64_t{1} << 32) - (1 << 19), 1 << 20},
                               {length - (1 << 20), 1 << 20}};
    const Placement placement{{0.5, 0.25, 0}, {0, 0, 0, 400000.5, 6000000.25, 0}};
    // The values, then a directory of 20-byte entries with 8-byte count and next offset.
    const std::uint64_t directorySize = 8 + 20 * (entries + 2) + 8;
    const std::vector<unsigned char> header =
        UpdateLargeFile(path, placement, ranges, 72 + directorySize, 16);
    TiffBuilder order(false, TiffBuilder::Layout::BigTiff);
    EXPECT_EQ(order.Decode16(header.data() + 2), 43);
    EXPECT_EQ(order.Decode64(header.data() + 8), length + 72);
    ExpectToolsReadTheLargeFile(path, placement);
    ExpectListgeoShows(path, placement);
}

// Past the end of a classic TIFF that lies beyond 4 GiB, no 32-bit offset reaches: tags can
// no longer be added. The files are made sparse, so that they take no room on disk.
class tiff_beyond_4_gib_test : public tiff_gdal_test {
protected:
    struct FileState {
        std::uint64_t length = 0;
        std::uint64_t allocated = 0; // bytes of disk blocks: grows with any byte written
        std::int64_t modified = 0;   // nanoseconds
        std::vector<unsigned char> head;
        bool operator==(const FileState&) const = default;
    };
    static FileState StateOf(const std::string& path, std::size_t headSize) {
        struct stat status {};
        EXPECT_EQ(::stat(path.c_str(), &status), 0);
        return FileState{static_cast<std::uint64_t>(status.st_size),
                         static_cast<std::uint64_t>(status.st_blocks) * 512,
                         status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec,
                         ReadFile(path, headSize)};
    }
    static std::vector<unsigned char> ReadFile(const std::string& path, std::size_t size) {
        std::vector<unsigned char> bytes(size);
        std::ifstream in(path, std::ios::binary);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        return bytes;
    }
    static std::string Message(const std::string& path) {
        return "The Tiff file named " + path +
               " is too large for this update: the new tag values and directory would lie "
               "beyond 4 GiB, which a classic TIFF file cannot address.";
    }
    // The update of a TIFF without tags, made sparse to end at `length`: refused, and the
    // file left byte for byte and block for block as it was.
    void ExpectRefused(std::uint64_t length) {
        SCOPED_TRACE(length);
        const std::string path = Create("plain.tif", "-outsize 4 3 -bands 1");
        const std::size_t made = static_cast<std::size_t>(std::filesystem::file_size(path));
        std::filesystem::resize_file(path, length);
        const FileState before = StateOf(path, made);
        const Placement placement{{2, 2, 0}, {0, 0, 0, 100, 200, 0}};
        const Raised raised = RaisedBy([&] { Update(path, placement); });
        EXPECT_EQ(raised.cause, TuCauseTiffBeyondFourGiB);
        EXPECT_EQ(raised.message, Message(path));
        EXPECT_EQ(StateOf(path, made), before);
    }
};

TEST_F(tiff_beyond_4_gib_test, tags_are_not_added_to_a_file_ending_beyond_4_gib) {
    REQUIRE_TOOLS("gdal_create");
    ExpectRefused((std::uint64_t{1} << 32) + 4096);
}

TEST_F(tiff_beyond_4_gib_test, nor_where_the_values_fit_below_4_gib_but_the_directory_does_not) {
    REQUIRE_TOOLS("gdal_create");
    // 72 bytes of values fit below 4 GiB; the new directory after them does not.
    ExpectRefused((std::uint64_t{1} << 32) - 1 - 72 - 20);
}

TEST_F(tiff_beyond_4_gib_test, tags_that_exist_are_written_in_place_beyond_4_gib) {
    REQUIRE_TOOLS("gdal_create", "gdalinfo");
    const std::string path = Create("sheet.tif", "-outsize 4 3 -bands 1 -a_ullr 100 500 108 494");
    std::filesystem::resize_file(path, (std::uint64_t{1} << 32) + 4096);
    const Placement placement{{0.5, 0.25, 0}, {0, 0, 0, 650000, 5100000, 0}};
    Update(path, placement);
    EXPECT_EQ(std::filesystem::file_size(path), (std::uint64_t{1} << 32) + 4096);
    ExpectTransform(GeoTransform(GdalInfo(path)), ExpectedTransform(placement));
}

} // namespace
