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

// The world file beside a TIFF, looked for as GDAL looks for it: the TIFF's name with "tfw",
// then with the TIFF's own extension and "w" ("tifw" for "tif", "tiffw" for "tiff"), then with
// "wld"; each in lower case, then in upper case. The first that exists is the one; when none
// does, the name WorldFileNameFor gives, for a new world file. Raises as WorldFileNameFor does;
// a name with extension and "w" that would be too long is not looked for.
TuFileName FindWorldFileName(const TuFileName& tiffName);
// The same name, with what TuFileAccess answers for it.
TuFileName FindWorldFileName(const TuFileName& tiffName, TuFileAccessAnswers& answers);

} // namespace kestrel
