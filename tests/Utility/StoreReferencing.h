// The update of the referencing dialog on an open TIFF: the tags that are missing are added,
// both are written, and the file is committed and closed.
#pragma once

#include "uTiffFile.h"

inline void StoreReferencing(TuTiffFile& file, const double (&scale)[3], const double (&tie)[6]) {
    if (file.FindTag(TiffTagModelPixelScale) == TagNotFound) {
        file.AddTag(TuTiffTag(TiffTagModelPixelScale, TiffTypeDouble, 3));
    }
    if (file.FindTag(TiffTagModelTiepoint) == TagNotFound) {
        file.AddTag(TuTiffTag(TiffTagModelTiepoint, TiffTypeDouble, 6));
    }
    file.WriteDoubles(TiffTagModelPixelScale, scale, 3, 0);
    file.WriteDoubles(TiffTagModelTiepoint, tie, 6, 0);
    file.commitOnClose = true;
    file.CommitAndClose();
}
