// The georeferencing of a TIFF's main image as the dialog sees it: its tags read from the first
// directory (the one GDAL reads; later ones hold overviews and masks), what the six fields show
// of them, and storing a placement back so that the file holds one georeferencing, no more.
#pragma once

#include <optional>

#include "Conversions.h"
#include "ReferencingState.h"

class TuTiffFile;

namespace kestrel {

// The first directory's georeferencing tags: up to three pixel scale values, the first tie point
// and the number of tie point values, the matrix when it has the 16 values GDAL reads, and the
// raster type of the GeoKeyDirectory (Unknown for a directory GDAL would not read, as for one
// whose values cannot be read at all). Errors reading the other tags pass on.
GeoTiffTags ReadGeoTiffTags(TuTiffFile& file);

// What the dialog shows for the tags.
struct TiffView {
    TiffFinding finding = TiffFinding::NotGeoreferenced;
    GeoTiffFacts facts;
    TiffReferencing fields; // zeros where the finding shows none
    // A matrix the fields only approximate (rotation, not north-up): the placement the fields
    // stand for while they are left as shown.
    std::optional<TransformationMatrix> matrixBehind;
};

// A file is georeferenced by its pixel scale and first tie point when it has three and six
// values of them, or by a matrix, as GDAL reads them; tie points without a pixel scale are
// ground control points (a single one stays "not georeferenced", unless a pixel scale of three
// values stands beside it).
TiffView ViewOfTags(const GeoTiffTags& tags);

// Stores a pixel scale and tie point in the first directory, adding the tags that are missing
// (with 0 for their Z values). An existing tag keeps its Z scale or its tie point's K and Z, and
// its further values; one too short for the values is refused as the write refuses it. A
// transformation matrix goes, so that the file has one georeferencing. With onePointOnly a
// tie point tag of several points is replaced by the one point.
void StoreTiePoint(TuTiffFile& file, const TiffReferencing& tiff, bool onePointOnly);

// Stores a transformation matrix in the first directory (an existing one of 16 values keeps its
// Z terms and last two rows) and removes pixel scale and tie points, which GDAL would otherwise
// read in its place.
void StoreMatrix(TuTiffFile& file, const TransformationMatrix& matrix);

} // namespace kestrel
