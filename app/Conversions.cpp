#include "Conversions.h"

namespace kestrel {

namespace {

// -value, but 0 for both zeros: a shown "-0" would be refused as a number when read back.
double Negated(double value) {
    return 0.0 - value;
}

} // namespace

WorldReferencing TiffToWorld(const TiffReferencing& tiff) {
    WorldReferencing world;
    world.xVectorX = tiff.xPixelScale;
    world.yVectorY = Negated(tiff.yPixelScale);
    world.xVectorY = 0;
    world.yVectorX = 0;
    // The tie point names the outer corner of raster position (I, J); the reference point is
    // the centre of position (0, 0), (0.5 - I) pixels east and (0.5 - J) pixels south of it.
    world.refPointX = tiff.tieWorldX + (0.5 - tiff.tiePixelX) * tiff.xPixelScale;
    world.refPointY = tiff.tieWorldY - (0.5 - tiff.tiePixelY) * tiff.yPixelScale;
    return world;
}

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

} // namespace kestrel
