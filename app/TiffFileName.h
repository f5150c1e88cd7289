// The TIFF file that a name typed into the file name field means.
#pragma once

#include "uFileName.h"

namespace kestrel {

// The typed text made absolute. A name without an extension gets "tif"; where that file does not
// exist but the same name with "TIF" does, that one, so that SHEET finds SHEET.TIF on a
// case-sensitive file system, as SHEET.TIF finds SHEET.TFW. exists tells whether the file
// chosen exists. Raises when the text cannot be made a path.
TuFileName TypedTiffName(const char* typed, bool& exists);

} // namespace kestrel
