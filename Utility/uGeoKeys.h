// The GeoKeyDirectory of a GeoTIFF (tag 34735), read as far as the raster type: whether the
// raster positions of the tie points and of the transformation matrix name a pixel's outer
// corner (pixel-is-area) or its centre (pixel-is-point).
//
// The directory is distrusted as every part of a file is: whatever GDAL would refuse to read
// answers TuRasterType::Unknown, which counts as pixel-is-area, as it does in GDAL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

constexpr int TiffTagGeoKeyDirectory = 34735;
constexpr int TiffTagGeoDoubleParams = 34736;
constexpr int TiffTagGeoAsciiParams = 34737;

// GTRasterTypeGeoKey and its two values.
constexpr std::uint16_t GeoKeyRasterType = 1025;
constexpr std::uint16_t RasterPixelIsArea = 1;
constexpr std::uint16_t RasterPixelIsPoint = 2;

// Unknown: no directory, a directory GDAL does not read, no raster type key, or one that GDAL
// does not take as a number (stored in another tag). Every value other than 2 is pixel-is-area.
enum class TuRasterType { Unknown, PixelIsArea, PixelIsPoint };

constexpr bool IsPixelIsPoint(TuRasterType type) {
    return type == TuRasterType::PixelIsPoint;
}

// How many values the two parameter tags hold that keys may point into (0 for a missing tag):
// a key that points beyond GeoDoubleParams, or into a missing GeoAsciiParams, makes GDAL
// ignore the whole directory.
struct TuGeoKeyParameters {
    std::size_t doubles = 0;
    std::size_t asciiCharacters = 0;
};

// The raster type that GDAL reads from a directory given as its SHORT values (header of four
// values, then four per key: id, tag location, count, value or index). The directory is
// ignored, answering Unknown, when it has fewer than four values, a version above 1, more keys
// than values, or any key that is malformed (a count other than 1 for a value held in the
// directory, an index beyond its tag, a tag location other than the three GeoTIFF tags).
// Keys need not be in order; of several raster type keys the last counts, as in GDAL.
TuRasterType ReadRasterType(std::span<const std::uint16_t> directory,
                            const TuGeoKeyParameters& parameters);

// The directory's values as SHORTs, from the values of tag 34735 read as doubles and its field
// type, as the TIFF reader under GDAL takes them: any integer type (BYTE, SHORT, LONG and
// their signed forms) whose every value lies in 0 to 65535. Nothing for other types, for a
// value out of that range and for an empty tag: GDAL then ignores the tag.
std::optional<std::vector<std::uint16_t>> GeoKeyDirectoryValues(unsigned fieldType,
                                                                std::span<const double> values);
