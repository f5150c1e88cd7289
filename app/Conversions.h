// The two kinds of referencing a raster can carry, and the conversions between them.
//
// A GeoTIFF ties the outer corner of a raster position to a ground position and gives the
// pixel size; a world file gives an affine transformation whose reference point is the
// centre of the first pixel. The two therefore differ by half a pixel in each direction,
// and the Y axis changes sign.
#pragma once

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

// The world file for a north-up raster, honouring the raster position of the tie point.
// The rotation terms are exactly 0.
WorldReferencing TiffToWorld(const TiffReferencing& tiff);

// The pixel scale and a tie point at raster position (0, 0). The rotation terms, if any,
// are dropped: this is an approximation for a rotated world file (see HasRotation).
TiffReferencing WorldToTiff(const WorldReferencing& world);

// Whether the world file has a rotation term other than 0, which a tie point and a pixel
// scale cannot express.
bool HasRotation(const WorldReferencing& world);

} // namespace kestrel
