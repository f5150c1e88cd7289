#include "Conversions.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {

// -value, but 0 for both zeros: a shown "-0" would be refused as a number when read back.
double Negated(double value) {
    return 0.0 - value;
}

} // namespace

TiffReferencing WorldToTiff(const WorldReferencing& world) {
    TiffReferencing tiff;
    tiff.yPixelScale = Negated(world.yVectorY);
    tiff.xPixelScale = world.xVectorX;
    tiff.tieWorldX = world.refPointX - 0.5 * world.xVectorX;
    tiff.tiePixelX = 0;
    tiff.tiePixelY = 0;
    tiff.tieWorldY = world.refPointY - 0.5 * world.yVectorY;
    return tiff;
}

bool HasRotation(const WorldReferencing& world) {
    return world.xVectorY != 0 || world.yVectorX != 0;
}

namespace {

// The half pixel from a pixel's outer corner to its centre, as GDAL adds and takes it for
// pixel-is-point, first along X then along Y.
double HalfPixel(double perColumn, double perRow) {
    return perColumn * 0.5 + perRow * 0.5;
}

// Moves a geotransform read from pixel-is-point positions from the centre of pixel (0, 0) to
// its corner, as GDAL does by default.
GeoTransform CornerOfPointRaster(GeoTransform transform, TuRasterType rasterType) {
    if (IsPixelIsPoint(rasterType)) {
        transform.xOrigin -= HalfPixel(transform.xPerColumn, transform.xPerRow);
        transform.yOrigin -= HalfPixel(transform.yPerColumn, transform.yPerRow);
    }
    return transform;
}

} // namespace

GeoTransform GeoTransformFromTiePoint(const TiffReferencing& tiff, TuRasterType rasterType) {
    GeoTransform transform;
    transform.xPerColumn = tiff.xPixelScale;
    transform.yPerRow = Negated(std::fabs(tiff.yPixelScale));
    transform.xOrigin = tiff.tieWorldX - tiff.tiePixelX * transform.xPerColumn;
    transform.yOrigin = tiff.tieWorldY - tiff.tiePixelY * transform.yPerRow;
    return CornerOfPointRaster(transform, rasterType);
}

GeoTransform GeoTransformFromMatrix(const TransformationMatrix& matrix, TuRasterType rasterType) {
    return CornerOfPointRaster({matrix[3], matrix[0], matrix[1], matrix[7], matrix[4], matrix[5]},
                               rasterType);
}

bool MatrixHasRotation(const TransformationMatrix& matrix) {
    return matrix[1] != 0 || matrix[4] != 0;
}

bool FitsPixelScaleAndTiePoint(const GeoTransform& transform) {
    return transform.xPerRow == 0 && transform.yPerColumn == 0 && transform.xPerColumn != 0 &&
           transform.yPerRow < 0;
}

WorldReferencing WorldFromGeoTransform(const GeoTransform& t) {
    // The vectors as they stand; the corner moved to the centre of pixel (0, 0).
    return {t.xPerColumn,
            t.yPerColumn,
            t.xPerRow,
            t.yPerRow,
            t.xOrigin + 0.5 * t.xPerColumn + 0.5 * t.xPerRow,
            t.yOrigin + 0.5 * t.yPerColumn + 0.5 * t.yPerRow};
}

GeoTransform GeoTransformFromWorld(const WorldReferencing& w) {
    // The centre of pixel (0, 0) moved back to its corner.
    return {w.refPointX - 0.5 * w.xVectorX - 0.5 * w.yVectorX, w.xVectorX, w.yVectorX,
            w.refPointY - 0.5 * w.xVectorY - 0.5 * w.yVectorY, w.xVectorY, w.yVectorY};
}

WorldReferencing WorldFromTiePoint(const TiffReferencing& tiff, TuRasterType rasterType) {
    if (!IsPixelIsPoint(rasterType)) {
        return WorldFromGeoTransform(GeoTransformFromTiePoint(tiff, rasterType));
    }
    WorldReferencing world;
    world.xVectorX = tiff.xPixelScale;
    world.yVectorY = Negated(std::fabs(tiff.yPixelScale));
    world.refPointX = tiff.tieWorldX - tiff.tiePixelX * world.xVectorX;
    world.refPointY = tiff.tieWorldY - tiff.tiePixelY * world.yVectorY;
    return world;
}

TiffReferencing TiePointFromWorld(const WorldReferencing& world, TuRasterType rasterType) {
    if (!IsPixelIsPoint(rasterType)) {
        return WorldToTiff(world);
    }
    // The reference point is the centre of pixel (0, 0), which a pixel-is-point tie point names.
    TiffReferencing tiff;
    tiff.xPixelScale = world.xVectorX;
    tiff.yPixelScale = Negated(world.yVectorY);
    tiff.tieWorldX = world.refPointX;
    tiff.tieWorldY = world.refPointY;
    return tiff;
}

WorldReferencing WorldFromMatrix(const TransformationMatrix& matrix, TuRasterType rasterType) {
    if (!IsPixelIsPoint(rasterType)) {
        return WorldFromGeoTransform(GeoTransformFromMatrix(matrix, rasterType));
    }
    return {matrix[0], matrix[4], matrix[1], matrix[5], matrix[3], matrix[7]};
}

TransformationMatrix MatrixFromWorld(const WorldReferencing& world, TuRasterType rasterType) {
    // A pixel-is-point matrix places the centre of pixel (0, 0): the reference point itself.
    const GeoTransform corner = GeoTransformFromWorld(world);
    const double x = IsPixelIsPoint(rasterType) ? world.refPointX : corner.xOrigin;
    const double y = IsPixelIsPoint(rasterType) ? world.refPointY : corner.yOrigin;
    return {world.xVectorX,
            world.yVectorX,
            0,
            x,
            world.xVectorY,
            world.yVectorY,
            0,
            y,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            1};
}

TiffReferencing TiePointFromMatrix(const TransformationMatrix& matrix) {
    TiffReferencing tiff;
    tiff.xPixelScale = matrix[0];
    tiff.yPixelScale = Negated(matrix[5]);
    tiff.tieWorldX = matrix[3];
    tiff.tieWorldY = matrix[7];
    return tiff;
}

GeoTiffPlacement PlacementOf(const GeoTiffTags& tags) {
    GeoTiffPlacement placement;
    const std::vector<double>& scale = tags.pixelScale;
    const std::vector<double>& ties = tags.tiePoints;
    if (scale.size() >= 2 && scale[0] != 0 && scale[1] != 0) {
        if (ties.size() >= ValuesPerTiePoint) {
            placement.source = PlacementSource::PixelScaleAndTiePoint;
            placement.transform = GeoTransformFromTiePoint(
                {scale[0], scale[1], ties[0], ties[1], ties[3], ties[4]}, tags.rasterType);
        }
        return placement;
    }
    if (tags.matrix.size() == MatrixValues) {
        TransformationMatrix matrix;
        std::copy(tags.matrix.begin(), tags.matrix.end(), matrix.begin());
        placement.source = PlacementSource::TransformationMatrix;
        placement.transform = GeoTransformFromMatrix(matrix, tags.rasterType);
        return placement;
    }
    if (tags.TiePointValues() >= ValuesPerTiePoint) {
        placement.source = PlacementSource::ControlPoints;
        placement.controlPoints = tags.TiePointValues() / ValuesPerTiePoint;
    }
    return placement;
}

} // namespace kestrel
