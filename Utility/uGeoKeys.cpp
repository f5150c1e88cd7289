#include "uGeoKeys.h"

#include <cmath>

namespace {

constexpr std::size_t HeaderValues = 4;
constexpr std::size_t KeyValues = 4;
constexpr std::uint16_t HighestVersion = 1;
constexpr std::uint16_t HeldInDirectory = 0; // tag location 0: the value is the key's own

// The TIFF field types whose values a SHORT tag accepts once they fit in 16 bits.
constexpr unsigned FieldByte = 1;
constexpr unsigned FieldShort = 3;
constexpr unsigned FieldLong = 4;
constexpr unsigned FieldSignedByte = 6;
constexpr unsigned FieldSignedShort = 8;
constexpr unsigned FieldSignedLong = 9;

struct Key {
    std::uint16_t id;
    std::uint16_t location;
    std::uint16_t count;
    std::uint16_t value; // the value itself, or the index of the first in its tag
};

// Whether GDAL can read the key's value where the key says it lies; one that it cannot read
// makes it drop every key of the directory.
bool IsReadable(const Key& key, std::size_t directorySize, const TuGeoKeyParameters& parameters) {
    const std::size_t end = std::size_t{key.value} + key.count;
    switch (key.location) {
    case HeldInDirectory:
        return key.count == 1;
    case TiffTagGeoKeyDirectory:
        return end <= directorySize;
    case TiffTagGeoDoubleParams:
        return end <= parameters.doubles;
    case TiffTagGeoAsciiParams:
        // A text running past the tag's end is cut short, not refused.
        return parameters.asciiCharacters > 0;
    default:
        return false;
    }
}

// The raster type that one key says. Only a SHORT held in the key itself is taken: GDAL
// warns about a raster type in GeoDoubleParams or GeoAsciiParams and ignores it, and reads
// no defined value for one placed elsewhere in the directory.
TuRasterType RasterTypeOf(const Key& key) {
    if (key.location != HeldInDirectory) {
        return TuRasterType::Unknown;
    }
    return key.value == RasterPixelIsPoint ? TuRasterType::PixelIsPoint : TuRasterType::PixelIsArea;
}

} // namespace

TuRasterType ReadRasterType(std::span<const std::uint16_t> directory,
                            const TuGeoKeyParameters& parameters) {
    if (directory.size() < HeaderValues || directory[0] > HighestVersion) {
        return TuRasterType::Unknown;
    }
    const std::size_t keyCount = directory[3];
    if (HeaderValues + KeyValues * keyCount > directory.size()) {
        return TuRasterType::Unknown;
    }
    TuRasterType rasterType = TuRasterType::Unknown;
    for (std::size_t k = 0; k < keyCount; ++k) {
        const std::size_t at = HeaderValues + KeyValues * k;
        const Key key{directory[at], directory[at + 1], directory[at + 2], directory[at + 3]};
        if (!IsReadable(key, directory.size(), parameters)) {
            return TuRasterType::Unknown;
        }
        if (key.id == GeoKeyRasterType) {
            rasterType = RasterTypeOf(key);
        }
    }
    return rasterType;
}

std::optional<std::vector<std::uint16_t>> GeoKeyDirectoryValues(unsigned fieldType,
                                                                std::span<const double> values) {
    switch (fieldType) {
    case FieldByte:
    case FieldShort:
    case FieldLong:
    case FieldSignedByte:
    case FieldSignedShort:
    case FieldSignedLong:
        break;
    default:
        return std::nullopt;
    }
    if (values.empty()) {
        return std::nullopt;
    }
    std::vector<std::uint16_t> shorts;
    shorts.reserve(values.size());
    for (double value : values) {
        // Integer field types give whole numbers; the test keeps anything else out all the same.
        if (!(value >= 0 && value <= 65535) || value != std::floor(value)) {
            return std::nullopt;
        }
        shorts.push_back(static_cast<std::uint16_t>(value));
    }
    return shorts;
}
