// The two kinds of referencing a raster can carry, and the conversions between them.
//
// A GeoTIFF ties the outer corner of a raster position to a ground position and gives the
// pixel size; a world file gives an affine transformation whose reference point is the
// centre of the first pixel. The two therefore differ by half a pixel in each direction,
// and the Y axis changes sign.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "uGeoKeys.h"

namespace kestrel {

// ModelPixelScale values 1 and 2, and ModelTiepoint values 1, 2, 4 and 5.
struct TiffReferencing {
    double xPixelScale = 0;
    double yPixelScale = 0;
    double tiePixelX = 0;
    double tiePixelY = 0;
    double tieWorldX = 0;
    double tieWorldY = 0;
};

// The world file's six lines in file order (A, D, B, E, C, F).
struct WorldReferencing {
    double xVectorX = 0;
    double xVectorY = 0;
    double yVectorX = 0;
    double yVectorY = 0;
    double refPointX = 0;
    double refPointY = 0;
};

// The pixel scale and a tie point at raster position (0, 0). The rotation terms, if any,
// are dropped: this is an approximation for a rotated world file (see HasRotation).
TiffReferencing WorldToTiff(const WorldReferencing& world);

// Whether the world file has a rotation term other than 0, which a tie point and a pixel
// scale cannot express.
bool HasRotation(const WorldReferencing& world);

// ---- Placement as GDAL reads it ----
//
// GDAL reads a GeoTIFF's placement as a geotransform, whatever tags hold it. The functions below
// compute it from each kind of tag with GDAL's own arithmetic (its default handling of
// pixel-is-point included), so that what Kestrel shows and writes agrees with GDAL to the bit
// where the arithmetic allows.

// GDAL's geotransform, in GDAL's order: the ground position of the outer corner of the pixel at
// (column, row) is (xOrigin + column × xPerColumn + row × xPerRow,
// yOrigin + column × yPerColumn + row × yPerRow).
struct GeoTransform {
    double xOrigin = 0;
    double xPerColumn = 0;
    double xPerRow = 0;
    double yOrigin = 0;
    double yPerColumn = 0;
    double yPerRow = 0;
    bool operator==(const GeoTransform&) const = default;
};

// ModelTransformationTag 34264: a 4 × 4 matrix, row by row, from raster (column, row, 0, 1) to
// ground (X, Y, Z, 1). GDAL uses values 0, 1, 3 (X) and 4, 5, 7 (Y) and ignores the rest.
constexpr std::size_t MatrixValues = 16;
using TransformationMatrix = std::array<double, MatrixValues>;

// From the pixel scale and a tie point. The Y scale counts as positive whatever its sign:
// GDAL by default reads a negative one as a north-up raster too. For pixel-is-point the tie
// point names a pixel's centre, and the corner lies half a pixel before it.
GeoTransform GeoTransformFromTiePoint(const TiffReferencing& tiff, TuRasterType rasterType);

// From a transformation matrix; for pixel-is-point its translation names pixel (0, 0)'s centre.
GeoTransform GeoTransformFromMatrix(const TransformationMatrix& matrix, TuRasterType rasterType);

// Whether the matrix turns or shears the raster (value 1 or 4 other than 0).
bool MatrixHasRotation(const TransformationMatrix& matrix);

// Whether a pixel scale and one tie point express the geotransform as GDAL reads them: no
// rotation, a column step other than 0, and rows that run south (GDAL takes any Y scale as
// north-up, so a south-up raster needs a matrix).
bool FitsPixelScaleAndTiePoint(const GeoTransform& transform);

// The world file of a geotransform, its reference point moved to the centre of pixel (0, 0), as
// GDAL writes it.
WorldReferencing WorldFromGeoTransform(const GeoTransform& transform);

// The geotransform that GDAL reads from a world file.
GeoTransform GeoTransformFromWorld(const WorldReferencing& world);

// The world file of a pixel scale and tie point. For pixel-is-area this is GDAL's own world
// file; for pixel-is-point the tie point already names a centre and is carried without the
// half-pixel steps there and back that GDAL takes, so that it is exact where GDAL may differ in
// the last bit. The rotation terms are 0.
WorldReferencing WorldFromTiePoint(const TiffReferencing& tiff, TuRasterType rasterType);

// The pixel scale and a tie point at raster position (0, 0) from a world file, for a raster of
// the given type: what GDAL then reads from the tags is what it reads from the world file. The
// rotation terms, if any, are dropped (see HasRotation); a world file whose Y vector does not
// point south gives a negative Y scale, which GDAL reads as north-up.
TiffReferencing TiePointFromWorld(const WorldReferencing& world, TuRasterType rasterType);

// The world file of a transformation matrix, rotation included. As WorldFromTiePoint, exact
// for pixel-is-point, GDAL's arithmetic for pixel-is-area.
WorldReferencing WorldFromMatrix(const TransformationMatrix& matrix, TuRasterType rasterType);

// The transformation matrix of a world file, rotation included, laid out as GDAL writes one.
// For pixel-is-area GDAL reads from it exactly what it reads from the world file.
TransformationMatrix MatrixFromWorld(const WorldReferencing& world, TuRasterType rasterType);

// The pixel scale and tie point at (0, 0) that GDAL reads as the same geotransform as the
// matrix, for the same raster type, when FitsPixelScaleAndTiePoint holds for it.
TiffReferencing TiePointFromMatrix(const TransformationMatrix& matrix);

// ModelTiepoint holds six values per tie point: raster I, J, K and ground X, Y, Z.
constexpr std::size_t ValuesPerTiePoint = 6;

// The georeferencing tags of a TIFF's first directory, each with all its values (empty when
// missing), and the raster type of its GeoKeyDirectory. tiePoints may hold only the first tie
// point of a long tag; tiePointValues then says how many values the tag holds.
struct GeoTiffTags {
    std::vector<double> pixelScale;
    std::vector<double> tiePoints;
    std::vector<double> matrix;
    TuRasterType rasterType = TuRasterType::Unknown;
    std::size_t tiePointValues = 0; // 0: as many as tiePoints holds

    std::size_t TiePointValues() const {
        return tiePointValues > tiePoints.size() ? tiePointValues : tiePoints.size();
    }
};

enum class PlacementSource { None, PixelScaleAndTiePoint, TransformationMatrix, ControlPoints };

struct GeoTiffPlacement {
    PlacementSource source = PlacementSource::None;
    GeoTransform transform;        // for PixelScaleAndTiePoint and TransformationMatrix
    std::size_t controlPoints = 0; // for ControlPoints: the number of whole tie points
};

// What GDAL makes of the tags: a pixel scale with two values other than 0 takes the first tie
// point and nothing else (no tie point: no placement); otherwise a matrix of exactly 16
// values; otherwise every whole tie point is a ground control point.
GeoTiffPlacement PlacementOf(const GeoTiffTags& tags);

} // namespace kestrel
