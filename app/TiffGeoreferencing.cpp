#include "TiffGeoreferencing.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "uError.h"
#include "uTiffFile.h"

namespace kestrel {

namespace {

constexpr TuTagScope First = TuTagScope::FirstDirectory;

constexpr std::size_t PixelScaleValues = 3;

// The most GeoKeyDirectory values the raster type can depend on: the header, 65535 keys of
// four values, and values that a key may point to within the directory. Reading no more than
// these answers as reading the whole tag would, and bounds what a bogus count costs.
constexpr std::size_t GeoKeyValuesNeeded = 4 + 4 * 65535;

// The number of values of a tag in the first directory; 0 when it has none.
std::size_t CountOf(const TuTiffFile& file, int tagId) {
    const int index = file.FindTag(tagId, First);
    return index == TagNotFound ? 0 : file.TagAt(static_cast<std::size_t>(index)).count;
}

// Up to `most` values of a tag of the first directory from its first element.
std::vector<double> FirstValues(TuTiffFile& file, int tagId, std::size_t most) {
    std::vector<double> values(std::min(CountOf(file, tagId), most));
    if (!values.empty()) {
        file.ReadDoubles(tagId, values.data(), static_cast<int>(values.size()), 0, First);
    }
    return values;
}

TuRasterType RasterTypeOf(TuTiffFile& file) {
    const int index = file.FindTag(TiffTagGeoKeyDirectory, First);
    if (index == TagNotFound) {
        return TuRasterType::Unknown;
    }
    const unsigned fieldType = file.TagAt(static_cast<std::size_t>(index)).type;
    std::vector<double> values;
    try {
        values = FirstValues(file, TiffTagGeoKeyDirectory, GeoKeyValuesNeeded);
    } catch (const TuError&) {
        // A directory whose values cannot be read (text, values beyond the file) is ignored,
        // as GDAL ignores a directory it cannot use.
        return TuRasterType::Unknown;
    }
    const auto shorts = GeoKeyDirectoryValues(fieldType, values);
    if (!shorts) {
        return TuRasterType::Unknown;
    }
    return ReadRasterType(
        *shorts, {CountOf(file, TiffTagGeoDoubleParams), CountOf(file, TiffTagGeoAsciiParams)});
}

std::optional<TransformationMatrix> MatrixOf(const GeoTiffTags& tags) {
    if (tags.matrix.size() != MatrixValues) {
        return std::nullopt;
    }
    TransformationMatrix matrix;
    std::copy(tags.matrix.begin(), tags.matrix.end(), matrix.begin());
    return matrix;
}

TiffFinding TagFinding(TuRasterType rasterType) {
    return IsPixelIsPoint(rasterType) ? TiffFinding::GeoreferencedPixelIsPoint
                                      : TiffFinding::Georeferenced;
}

// Reads into values the elements of an existing tag that are listed in kept, where it has them.
void KeepElements(TuTiffFile& file, int tagId, std::vector<double>& values,
                  std::initializer_list<std::size_t> kept) {
    std::vector<double> old(values.size());
    const int read = file.ReadDoubles(tagId, old.data(), static_cast<int>(old.size()), 0, First);
    if (read == TagNotFound) {
        return;
    }
    for (std::size_t element : kept) {
        if (element < static_cast<std::size_t>(read)) {
            values[element] = old[element];
        }
    }
}

// Writes values as the tag's first elements, adding it as DOUBLE with as many when it is missing.
void WriteTag(TuTiffFile& file, int tagId, const std::vector<double>& values) {
    const auto n = static_cast<std::uint32_t>(values.size());
    if (file.FindTag(tagId, First) == TagNotFound) {
        file.AddTag(TuTiffTag(static_cast<std::uint16_t>(tagId), TiffTypeDouble, n));
    }
    file.WriteDoubles(tagId, values.data(), static_cast<int>(n), 0, First);
}

// Removes every entry of the tag from the first directory: a file may hold one twice.
void RemoveAll(TuTiffFile& file, int tagId) {
    while (file.RemoveTag(tagId, First)) {
    }
}

} // namespace

GeoTiffTags ReadGeoTiffTags(TuTiffFile& file) {
    GeoTiffTags tags;
    tags.pixelScale = FirstValues(file, TiffTagModelPixelScale, PixelScaleValues);
    tags.tiePoints = FirstValues(file, TiffTagModelTiepoint, ValuesPerTiePoint);
    tags.tiePointValues = CountOf(file, TiffTagModelTiepoint);
    if (CountOf(file, TiffTagModelTransformation) == MatrixValues) {
        tags.matrix = FirstValues(file, TiffTagModelTransformation, MatrixValues);
    }
    tags.rasterType = RasterTypeOf(file);
    return tags;
}

TiffView ViewOfTags(const GeoTiffTags& tags) {
    TiffView view;
    view.facts = {tags.rasterType, MatrixOf(tags), tags.TiePointValues() / ValuesPerTiePoint};
    // Three scale values and a whole tie point are what the dialog has always taken.
    const bool wholeTags =
        tags.pixelScale.size() >= PixelScaleValues && tags.tiePoints.size() >= ValuesPerTiePoint;
    const GeoTiffPlacement placement = PlacementOf(tags);
    switch (placement.source) {
    case PlacementSource::PixelScaleAndTiePoint:
    case PlacementSource::ControlPoints:
        if (placement.controlPoints >= 2) {
            view.finding = TiffFinding::ControlPoints;
        } else if (wholeTags) {
            // A single tie point beside a pixel scale of zeros is taken too, as it always was.
            view.finding = TagFinding(tags.rasterType);
            const std::vector<double>& s = tags.pixelScale;
            const std::vector<double>& t = tags.tiePoints;
            view.fields = {s[0], s[1], t[0], t[1], t[3], t[4]};
        }
        break;
    case PlacementSource::TransformationMatrix: {
        const TransformationMatrix& matrix = *view.facts.matrix;
        if (FitsPixelScaleAndTiePoint(placement.transform)) {
            view.finding = TiffFinding::ByMatrix;
            view.fields = TiePointFromMatrix(matrix);
            break;
        }
        view.finding = MatrixHasRotation(matrix) ? TiffFinding::ByRotatedMatrix
                                                 : TiffFinding::ByMatrixNotNorthUp;
        view.fields = TiePointFromWorld(WorldFromMatrix(matrix, tags.rasterType), tags.rasterType);
        view.matrixBehind = matrix;
        break;
    }
    case PlacementSource::None:
        break;
    }
    return view;
}

void StoreTiePoint(TuTiffFile& file, const TiffReferencing& tiff, bool onePointOnly) {
    std::vector<double> scale = {tiff.xPixelScale, tiff.yPixelScale, 0.0};
    KeepElements(file, TiffTagModelPixelScale, scale, {2});
    WriteTag(file, TiffTagModelPixelScale, scale);
    std::vector<double> tie = {tiff.tiePixelX, tiff.tiePixelY, 0.0,
                               tiff.tieWorldX, tiff.tieWorldY, 0.0};
    KeepElements(file, TiffTagModelTiepoint, tie, {2, 5});
    if (onePointOnly) {
        RemoveAll(file, TiffTagModelTiepoint);
    }
    WriteTag(file, TiffTagModelTiepoint, tie);
    RemoveAll(file, TiffTagModelTransformation);
}

void StoreMatrix(TuTiffFile& file, const TransformationMatrix& matrix) {
    std::vector<double> values(matrix.begin(), matrix.end());
    if (CountOf(file, TiffTagModelTransformation) == MatrixValues) {
        KeepElements(file, TiffTagModelTransformation, values,
                     {2, 6, 8, 9, 10, 11, 12, 13, 14, 15});
    } else {
        RemoveAll(file, TiffTagModelTransformation);
    }
    WriteTag(file, TiffTagModelTransformation, values);
    RemoveAll(file, TiffTagModelPixelScale);
    RemoveAll(file, TiffTagModelTiepoint);
}

} // namespace kestrel
