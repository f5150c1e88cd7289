// The name of the world file that belongs to a TIFF: the TIFF's name with the extension "tfw".
#pragma once

#include "uFileName.h"
#include "uFileTest.h"

namespace kestrel {

// The TIFF's name with the extension "tfw". Where that file does not exist but the same name
// with "TFW" does, that one, so that SHEET.TIF finds SHEET.TFW on a case-sensitive file
// system. When neither exists, a TIFF whose extension is all upper case gets "TFW".
// Raises when the name with its new extension is too long.
TuFileName WorldFileNameFor(const TuFileName& tiffName);
// The same name, with what TuFileAccess answers for it: the tests that choose the name also
// tell whether the chosen file exists and may be read or written.
TuFileName WorldFileNameFor(const TuFileName& tiffName, TuFileAccessAnswers& answers);

} // namespace kestrel
