// Tests of the GeoKeyDirectory reader: the raster type of sound and malformed directories, each
// case checked against what GDAL reads from a TIFF that holds it.
#include "uGeoKeys.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "GeoTiffCorpus.h"
#include "TiffBuilder.h"
#include "TiffTestSupport.h"
#include "uFileName.h"
#include "uTiffFile.h"

// Names the raster type in failure messages.
void PrintTo(TuRasterType type, std::ostream* out) {
    *out << (type == TuRasterType::PixelIsPoint  ? "PixelIsPoint"
             : type == TuRasterType::PixelIsArea ? "PixelIsArea"
                                                 : "Unknown");
}

namespace {

constexpr std::uint16_t Short = 3;
constexpr std::uint16_t Long = 4;
constexpr std::uint16_t SignedShort = 8;
constexpr std::uint16_t SignedLong = 9;
constexpr std::uint16_t Undefined = 7;
constexpr std::uint16_t Float = 11;
constexpr std::uint16_t Double = 12;

constexpr TuRasterType Unknown = TuRasterType::Unknown;
constexpr TuRasterType Area = TuRasterType::PixelIsArea;
constexpr TuRasterType Point = TuRasterType::PixelIsPoint;

// One GeoKeyDirectory as a file may hold it: its values (as numbers, whatever the field type),
// its field type, and the two parameter tags beside it (left out when empty).
struct Directory {
    Directory(std::vector<double> values, std::uint16_t type = Short,
              std::vector<double> doubleParams = {}, std::string asciiParams = {})
        : values(std::move(values)), type(type), doubleParams(std::move(doubleParams)),
          asciiParams(std::move(asciiParams)) {}
    std::vector<double> values;
    std::uint16_t type;
    std::vector<double> doubleParams;
    std::string asciiParams; // with its terminating zero, as the tag's count counts it
};

// What a caller answers for the directory: its values as SHORTs, then the raster type.
TuRasterType RasterTypeOf(const Directory& directory) {
    const auto shorts = GeoKeyDirectoryValues(directory.type, directory.values);
    if (!shorts) {
        return Unknown;
    }
    return ReadRasterType(*shorts, {directory.doubleParams.size(), directory.asciiParams.size()});
}

// The keys of a projected raster with the given raster type value, in ascending order.
std::vector<double> Keys(double rasterType) {
    return {1, 1, 0, 3, 1024, 0, 1, 1, 1025, 0, 1, rasterType, 3072, 0, 1, 32633};
}

struct Case {
    const char* name;
    Directory directory;
    TuRasterType expected;
    // GDAL's answer is undefined where it reads values from outside the directory (keys cut
    // short) or from the wrong place (a raster type held elsewhere in the directory).
    bool gdalDefined = true;
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"point", {Keys(2)}, Point},
        {"area", {Keys(1)}, Area},
        {"raster type key alone", {{1, 1, 0, 1, 1025, 0, 1, 2}}, Point},
        {"no raster type key", {{1, 1, 0, 2, 1024, 0, 1, 1, 3072, 0, 1, 32633}}, Unknown},
        {"other values count as area", {Keys(0)}, Area},
        {"value 3 counts as area", {Keys(3)}, Area},
        {"user-defined value counts as area", {Keys(32767)}, Area},
        {"version 0 is read", {{0, 1, 0, 1, 1025, 0, 1, 2}}, Point},
        {"other revisions are read", {{1, 2, 5, 1, 1025, 0, 1, 2}}, Point},
        {"version 2 is ignored", {{2, 1, 0, 1, 1025, 0, 1, 2}}, Unknown},
        {"three values", {{1, 1, 0}}, Unknown},
        {"header without keys", {{1, 1, 0, 0}}, Unknown},
        {"keys after a count of 0", {{1, 1, 0, 0, 1025, 0, 1, 2}}, Unknown},
        {"one key more than held",
         {{1, 1, 0, 3, 1024, 0, 1, 1, 1025, 0, 1, 2, 3072}},
         Unknown,
         false},
        {"key count far beyond the values", {{1, 1, 0, 65535, 1025, 0, 1, 2}}, Unknown},
        {"last key cut short", {{1, 1, 0, 2, 1024, 0, 1, 1, 1025, 0, 1}}, Unknown, false},
        {"fewer keys counted than held", {{1, 1, 0, 1, 1025, 0, 1, 2, 1025, 0, 1, 1}}, Point},
        {"values after the keys", {{1, 1, 0, 1, 1025, 0, 1, 2, 7, 7, 7}}, Point},
        {"keys out of order",
         {{1, 1, 0, 3, 3072, 0, 1, 32633, 1025, 0, 1, 2, 1024, 0, 1, 1}},
         Point},
        {"key id 0", {{1, 1, 0, 2, 0, 0, 1, 1, 1025, 0, 1, 2}}, Point},
        {"last of two raster types counts (point)",
         {{1, 1, 0, 2, 1025, 0, 1, 1, 1025, 0, 1, 2}},
         Point},
        {"last of two raster types counts (area)",
         {{1, 1, 0, 3, 1025, 0, 1, 2, 1024, 0, 1, 1, 1025, 0, 1, 1}},
         Area},
        {"raster type with count 2", {{1, 1, 0, 1, 1025, 0, 2, 2}}, Unknown},
        {"raster type with count 0", {{1, 1, 0, 1, 1025, 0, 0, 2}}, Unknown},
        {"another key with count 2 drops all",
         {{1, 1, 0, 2, 1024, 0, 2, 1, 1025, 0, 1, 2}},
         Unknown},
        {"raster type in GeoDoubleParams",
         {{1, 1, 0, 1, 1025, 34736, 1, 0}, Short, {2.0}},
         Unknown},
        {"raster type in GeoAsciiParams",
         {{1, 1, 0, 1, 1025, 34737, 1, 0}, Short, {}, std::string("2|\0", 3)},
         Unknown},
        {"raster type in ModelPixelScale", {{1, 1, 0, 1, 1025, 33550, 1, 0}}, Unknown},
        {"raster type elsewhere in the directory",
         {{1, 1, 0, 1, 1025, 34735, 1, 8, 2}},
         Unknown,
         false},
        {"key in the directory beyond its end",
         {{1, 1, 0, 2, 1024, 34735, 1, 99, 1025, 0, 1, 2}},
         Unknown},
        {"key in the directory, in range",
         {{1, 1, 0, 2, 1024, 34735, 1, 12, 1025, 0, 1, 2, 1}},
         Point},
        {"double key within GeoDoubleParams",
         {{1, 1, 0, 2, 1025, 0, 1, 2, 2057, 34736, 1, 1}, Short, {1.0, 6378137.0}},
         Point},
        {"double key beyond GeoDoubleParams",
         {{1, 1, 0, 2, 1025, 0, 1, 2, 2057, 34736, 1, 2}, Short, {1.0, 6378137.0}},
         Unknown},
        {"double key without GeoDoubleParams",
         {{1, 1, 0, 2, 1025, 0, 1, 2, 2057, 34736, 1, 0}},
         Unknown},
        {"empty double key at the end of GeoDoubleParams",
         {{1, 1, 0, 2, 1025, 0, 1, 2, 2057, 34736, 0, 1}, Short, {1.0}},
         Point},
        {"text key running past GeoAsciiParams",
         {{1, 1, 0, 2, 1025, 0, 1, 2, 1026, 34737, 9, 0}, Short, {}, std::string("abc|\0", 5)},
         Point},
        {"text key without GeoAsciiParams",
         {{1, 1, 0, 2, 1025, 0, 1, 2, 1026, 34737, 4, 0}},
         Unknown},
        {"directory stored as LONG", {Keys(2), Long}, Point},
        {"directory stored as SSHORT", {Keys(2), SignedShort}, Point},
        {"directory stored as SLONG", {Keys(2), SignedLong}, Point},
        {"directory stored as DOUBLE", {Keys(2), Double}, Unknown},
        {"directory stored as FLOAT", {Keys(2), Float}, Unknown},
        {"directory stored as UNDEFINED", {{2, 1, 0, 0}, Undefined}, Unknown},
        {"LONG value above 16 bits",
         {{1, 1, 0, 2, 1025, 0, 1, 2, 3072, 0, 1, 70000}, Long},
         Unknown},
        {"negative SSHORT value",
         {{1, 1, 0, 2, 1025, 0, 1, 2, 3072, 0, 1, -1}, SignedShort},
         Unknown},
    };
    return cases;
}

TEST(geo_keys_test, raster_type_of_sound_and_malformed_directories) {
    for (const Case& c : Cases()) {
        EXPECT_EQ(RasterTypeOf(c.directory), c.expected) << c.name;
    }
}

TEST(geo_keys_test, nothing_but_whole_16_bit_numbers_of_integer_types) {
    const std::vector<double> sound = {1, 1, 0, 0};
    for (unsigned type : {1u, 3u, 4u, 6u, 8u, 9u}) {
        EXPECT_EQ(GeoKeyDirectoryValues(type, sound), std::vector<std::uint16_t>({1, 1, 0, 0}))
            << type;
    }
    for (unsigned type : {0u, 2u, 5u, 7u, 10u, 11u, 12u, 13u}) {
        EXPECT_EQ(GeoKeyDirectoryValues(type, sound), std::nullopt) << type;
    }
    EXPECT_EQ(GeoKeyDirectoryValues(Short, std::vector<double>{}), std::nullopt);
    EXPECT_EQ(GeoKeyDirectoryValues(Long, std::vector<double>{65535, 0}),
              std::vector<std::uint16_t>({65535, 0}));
    EXPECT_EQ(GeoKeyDirectoryValues(Long, std::vector<double>{65536}), std::nullopt);
    EXPECT_EQ(GeoKeyDirectoryValues(SignedLong, std::vector<double>{-1}), std::nullopt);
    EXPECT_EQ(GeoKeyDirectoryValues(Short, std::vector<double>{1.5}), std::nullopt);
    EXPECT_EQ(GeoKeyDirectoryValues(Short, std::vector<double>{std::bit_cast<double>(
                                               std::uint64_t{0x7FF8000000000000})}),
              std::nullopt);
}

TEST(geo_keys_test, answer_is_unknown_whatever_the_tail_of_a_refused_directory) {
    // A directory refused for its header is not searched at all, even where a raster type
    // key lies among the values.
    const std::vector<std::uint16_t> refused = {2, 1, 0, 1, 1025, 0, 1, 2};
    EXPECT_EQ(ReadRasterType(refused, {}), Unknown);
    EXPECT_EQ(ReadRasterType(std::span(refused).subspan(4), {}), Unknown);
    EXPECT_FALSE(IsPixelIsPoint(Unknown));
    EXPECT_FALSE(IsPixelIsPoint(Area));
    EXPECT_TRUE(IsPixelIsPoint(Point));
}

// ---- Agreement with GDAL ----

void AppendValue(std::vector<unsigned char>& bytes, std::uint16_t type, double value) {
    auto put = [&bytes](std::uint64_t bits, int size) {
        for (int i = 0; i < size; ++i) {
            bytes.push_back(static_cast<unsigned char>(bits >> (8 * i)));
        }
    };
    switch (type) {
    case Short:
    case SignedShort:
        put(static_cast<std::uint16_t>(static_cast<std::int32_t>(value)), 2);
        break;
    case Long:
    case SignedLong:
        put(static_cast<std::uint32_t>(static_cast<std::int64_t>(value)), 4);
        break;
    case Float:
        put(std::bit_cast<std::uint32_t>(static_cast<float>(value)), 4);
        break;
    case Double:
        put(std::bit_cast<std::uint64_t>(value), 8);
        break;
    default:
        put(static_cast<std::uint8_t>(value), 1);
        break;
    }
}

// An entry for values of a field type, inline when they fit in four bytes.
TiffBuilder::Entry EntryFor(TiffBuilder& tiff, std::uint16_t tag, std::uint16_t type,
                            std::uint32_t count, const std::vector<unsigned char>& bytes) {
    if (bytes.size() <= 4) {
        TiffBuilder::Entry entry{tag, type, count, 0};
        entry.raw = true;
        std::copy(bytes.begin(), bytes.end(), entry.rawBytes);
        return entry;
    }
    if (tiff.Size() % 2 != 0) {
        tiff.Pad(1);
    }
    return TiffBuilder::At(tag, type, count, tiff.Append(bytes));
}

// A little-endian 4 × 3 grey image placed by pixel scale (2, 3) and tie point (0, 0) at
// (1000, 2000), with the directory and its parameter tags.
std::vector<unsigned char> TiffHolding(const Directory& directory) {
    TiffBuilder tiff(false);
    const std::uint32_t pixels = tiff.Append(std::vector<unsigned char>(12, 7));
    const std::uint32_t scale = tiff.AppendDoubles({2, 3, 0});
    const std::uint32_t tie = tiff.AppendDoubles({0, 0, 0, 1000, 2000, 0});
    std::vector<TiffBuilder::Entry> entries = {
        tiff.InlineShorts(256, Short, {4}),    tiff.InlineShorts(257, Short, {3}),
        tiff.InlineShorts(258, Short, {8}),    tiff.InlineShorts(259, Short, {1}),
        tiff.InlineShorts(262, Short, {1}),    tiff.InlineLong(273, Long, pixels),
        tiff.InlineShorts(277, Short, {1}),    tiff.InlineShorts(278, Short, {3}),
        tiff.InlineLong(279, Long, 12),        TiffBuilder::At(33550, Double, 3, scale),
        TiffBuilder::At(33922, Double, 6, tie)};
    std::vector<unsigned char> keys;
    for (double value : directory.values) {
        AppendValue(keys, directory.type, value);
    }
    entries.push_back(EntryFor(tiff, 34735, directory.type,
                               static_cast<std::uint32_t>(directory.values.size()), keys));
    if (!directory.doubleParams.empty()) {
        std::vector<unsigned char> doubles;
        for (double value : directory.doubleParams) {
            AppendValue(doubles, Double, value);
        }
        entries.push_back(EntryFor(tiff, 34736, Double,
                                   static_cast<std::uint32_t>(directory.doubleParams.size()),
                                   doubles));
    }
    if (!directory.asciiParams.empty()) {
        entries.push_back(EntryFor(tiff, 34737, 2,
                                   static_cast<std::uint32_t>(directory.asciiParams.size()),
                                   std::vector<unsigned char>(directory.asciiParams.begin(),
                                                              directory.asciiParams.end())));
    }
    if (tiff.Size() % 2 != 0) {
        tiff.Pad(1);
    }
    tiff.SetFirstIfd(tiff.AppendDirectory(entries));
    return tiff.Bytes();
}

// GDAL's AREA_OR_POINT item as a raster type: none when it ignored the directory or found
// no raster type in it.
TuRasterType GdalRasterType(const std::string& path) {
    const geotiffcorpus::GdalReading reading = geotiffcorpus::ReadWithGdal(path);
    EXPECT_TRUE(reading.opened) << path;
    EXPECT_TRUE(reading.transform.has_value()) << path;
    if (reading.areaOrPoint == "Point") {
        return Point;
    }
    return reading.areaOrPoint == "Area" ? Area : Unknown;
}

TEST(geo_keys_test, every_case_reads_as_gdal_reads_it) {
    REQUIRE_CORPUS_TOOLS();
    TempFolder folder;
    for (const Case& c : Cases()) {
        if (!c.gdalDefined) {
            continue;
        }
        const std::string path = folder / "keys.tif";
        WriteFile(path, TiffHolding(c.directory));
        EXPECT_EQ(GdalRasterType(path), c.expected) << c.name;
    }
}

TEST(geo_keys_test, directories_that_gdal_writes) {
    REQUIRE_CORPUS_TOOLS();
    TempFolder folder;
    ASSERT_EQ(geotiffcorpus::MakeNorthUp(folder / "area.tif"), "");
    ASSERT_EQ(geotiffcorpus::MakePixelIsPoint(folder / "point.tif"), "");
    for (const auto& [name, expected] : {std::pair{"area.tif", Area}, {"point.tif", Point}}) {
        const std::string path = folder / name;
        TuTiffFile file(TuFileName(path.c_str()), ModeExamine);
        const int index = file.FindTag(TiffTagGeoKeyDirectory);
        ASSERT_NE(index, TagNotFound) << name;
        const TuTiffTag& entry = file.TagAt(static_cast<std::size_t>(index));
        std::vector<double> values(entry.count);
        ASSERT_EQ(file.ReadDoubles(TiffTagGeoKeyDirectory, values.data(),
                                   static_cast<int>(values.size()), 0),
                  static_cast<int>(values.size()));
        const auto shorts = GeoKeyDirectoryValues(entry.type, values);
        ASSERT_TRUE(shorts.has_value()) << name;
        // GDAL's own directories refer to GeoAsciiParams for their citations.
        const int ascii = file.FindTag(TiffTagGeoAsciiParams);
        ASSERT_NE(ascii, TagNotFound) << name;
        const TuGeoKeyParameters parameters{0, file.TagAt(static_cast<std::size_t>(ascii)).count};
        EXPECT_EQ(ReadRasterType(*shorts, parameters), expected) << name;
        EXPECT_EQ(GdalRasterType(path), expected) << name;
    }
}

} // namespace
