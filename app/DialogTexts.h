// Every text that Kestrel's dialogs show: status lines, captions, messages, the file dialog's
// title and filter, the About box's disclaimer and the program's string table.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace kestrel::texts {

// GeoTiff status line (control 1023).
constexpr const char* NoFileYet = "No file specified as yet.";
constexpr const char* TiffNotFound = "Indicated Tiff file does not exist.";
constexpr const char* TiffGeoreferenced = "Tiff file is georeferenced.";
constexpr const char* TiffNotGeoreferenced = "Tiff file is NOT georeferenced.";
constexpr const char* TiffUnreadable = "Indicated Tiff file cannot be read.";
constexpr const char* TiffGeoreferencedPixelIsPoint = "Tiff file is georeferenced, pixel-is-point.";
constexpr const char* TiffGeoreferencedByMatrix = "Tiff file is georeferenced by a matrix.";
constexpr const char* TiffRotatedMatrix = "Tiff file has a rotated matrix.";
constexpr const char* TiffMatrixNotNorthUp = "Tiff file's matrix is not north-up.";
constexpr const char* TiffControlPoints = "Tiff file has %1 ground control points."; // %1: count

// World file status line (control 1024).
constexpr const char* NoTiffYet = "No Tiff file specified as yet.";
constexpr const char* NoValidTiff = "Valid Tiff file has not been selected.";
constexpr const char* WorldFileExists = "Corresponding world file exists.";
// A world file found under another name than the TIFF's with "tfw"; %1 is its extension.
constexpr const char* WorldFileExistsAs = "Corresponding world file (.%1) exists.";
constexpr const char* WorldFileMissing = "Corresponding world file does not exist.";
constexpr const char* WorldFileNotAFile = "Corresponding world file is not a file.";
constexpr const char* WorldFileUnreadable = "Corresponding world file cannot be read.";

// Captions of the world file's Update button (control 1021).
constexpr const char* UpdateWorldFile = "Update existing World file.";
constexpr const char* WriteNewWorldFile = "Write new world file.";

// Messages.
constexpr const char* FileDoesNotExist = "Indicated file does not exist.";
constexpr const char* RotationWarning =
    "World file indicates rotation.  This program does not support the version of geoTiff's "
    "which supports rotation.  An approximation is being used.";
// "<--" from a world file whose Y vector points north (south-up, no rotation).
constexpr const char* SouthUpWorldFile =
    "World file indicates a south-up raster, which a pixel scale cannot express.  Updating the "
    "Tiff file stores it as a transformation matrix.";
// An update of a TIFF whose matrix the fields only approximate, after they were changed.
constexpr const char* RotatedMatrixReplaced =
    "The Tiff file is placed by a transformation matrix with rotation, which a pixel scale and "
    "tie point cannot express.  The update replaces it by the values shown, without rotation.";
constexpr const char* MatrixNotNorthUpReplaced =
    "The Tiff file is placed by a transformation matrix that is not north-up, which a pixel "
    "scale cannot express.  The update replaces it by the values shown, north-up.";
constexpr const char* EnterNumber = "Please enter a number.";
constexpr const char* EnterNumberBetween = "Please enter a number between %1 and %2.";
constexpr const char* EnterNoMoreThan = "Please enter no more than %1 characters.";

// The file-open dialog of "&Browse".
constexpr const char* BrowseTitle = "Tiff File Name";
constexpr const char* BrowseFilter = "Tiff Files (*.tif)|*.tif||";
constexpr const char* BrowseDefaultExtension = "tif";

// The About box: its disclaimer (control 1024; %1 is the file that holds the licence) and
// the system menu entry (string 101).
constexpr const char* Disclaimer =
    "Kestrel is free software, released under the MIT License. It is provided \"as is\", "
    "without warranty of any kind, express or implied. Keep a copy of your files: the "
    "authors are not liable for any damage arising from its use. See the file %1.";
constexpr const char* AboutMenuEntry = "&About Kestrel...";

} // namespace kestrel::texts

namespace kestrel {

// The template with "%1", "%2", ... replaced by the given texts in order; "%%" gives "%".
// A placeholder without a text is left as it stands.
std::string FillMessage(std::string_view messageTemplate,
                        std::initializer_list<std::string_view> values);

template <class... Values>
std::string FillMessage(std::string_view messageTemplate, const Values&... values) {
    return FillMessage(messageTemplate, {std::string_view(values)...});
}

// Installs the program's string table (string 101, the system menu entry) for TuLoadString.
// The desktop program calls it before the dialog is initialised.
void InstallStringTable();

} // namespace kestrel
