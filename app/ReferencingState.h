// What the referencing dialog's logic knows, for callers that act on it (the command line, the
// window) rather than on the texts it shows: what the last examination found on each side,
// whether each Update may be used and why not, and what the last command did.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "Conversions.h"
#include "uGeoKeys.h"
#include "uMessage.h"

namespace kestrel {

// What the last examination found of the TIFF (the GeoTiff side).
enum class TiffFinding {
    NoFileYet,        // nothing examined yet
    NotFound,         // the file named does not exist
    Unreadable,       // it could not be opened or read as a TIFF
    NotGeoreferenced, // read; it lacks a whole pixel scale or tie point, and zeros are shown
    Georeferenced,    // read; its pixel scale and first tie point are shown
    // The same, for a raster whose tie point names a pixel's centre (pixel-is-point).
    GeoreferencedPixelIsPoint,
    // Placed by a transformation matrix without rotation, shown as its pixel scale and tie point.
    ByMatrix,
    // Placed by a transformation matrix that no pixel scale and tie point express: one with
    // rotation, or one that is not north-up (south-up, say). The fields show what "<--" makes of
    // its world file; the matrix itself stays behind them while they are left as shown.
    ByRotatedMatrix,
    ByMatrixNotNorthUp,
    // Ground control points only (tie points without a pixel scale); zeros are shown.
    ControlPoints,
};

// Whether the TIFF is placed by what its fields show, or approximate.
bool IsGeoreferenced(TiffFinding finding);
// Whether its fields only approximate a matrix that an update of them would replace.
bool FieldsApproximateMatrix(TiffFinding finding);

// The GeoTIFF facts of the TIFF's first directory (the main image's, which GDAL reads), as the
// last examination read them.
struct GeoTiffFacts {
    TuRasterType rasterType = TuRasterType::Unknown;
    // ModelTransformation's values, when it holds the 16 that a matrix has.
    std::optional<TransformationMatrix> matrix;
    std::size_t tiePoints = 0; // whole tie points in ModelTiepoint

    bool operator==(const GeoTiffFacts&) const = default;
};

// The layout of the TIFF that the last examination read.
enum class TiffKind {
    Classic, // 32-bit offsets: the values and directories lie within its first 4 GiB
    BigTiff, // 64-bit offsets
};

// What the last examination found of the world file beside the TIFF.
enum class WorldFileFinding {
    NoTiffYet,    // nothing examined yet
    NoValidTiff,  // the TIFF was not found or not read, so its world file was not looked for
    NameUnusable, // the TIFF was read, but no world file name can be formed from its name
    Missing,      // there is none; zeros are shown and a new one may be written
    Exists,       // read; its six parameters are shown
    NotAFile,     // a folder, pipe or device has its name; it is neither read nor replaced
    Unreadable,   // it exists but could not be read as a world file
};

struct ReferencingState;

// How each finding is shown. Each function maps every finding, so that a new finding is
// given its texts here, in one place.
//
// The status line of each side (controls 1023 and 1024), from the findings and the facts
// behind them (the number of control points, the name of the world file).
std::string TiffStatusLine(const ReferencingState& state);
std::string WorldFileStatusLine(const ReferencingState& state);
// Whether the examination got as far as the side's file: its numbers stand for what is on disk
// (zeros for a TIFF without referencing, or for a world file that is missing or is no file),
// rather than being zeros or values left for want of a file that could be read.
bool SideWasRead(TiffFinding finding);
bool SideWasRead(WorldFileFinding finding);
// The caption the world file's Update button (control 1021) takes; nullptr where the
// examination did not reach the world file and leaves the caption as it was.
const char* WorldFileUpdateCaption(WorldFileFinding finding);

// Whether an Update button may be used.
struct UpdateAvailability {
    bool available = false;
    // Why it may not: the catalogue error that the update meets (a TIFF opened for examination
    // only, a world file that may not be written, a name taken by something that is no file).
    // None when it is available, or when there is no file to update (the status line says why).
    std::optional<TuMessage> refusal;

    bool operator==(const UpdateAvailability&) const = default;
};

// What a command of the dialog did.
enum class CommandResult {
    Done,    // ran to its end, a warning perhaps shown on the way
    Skipped, // had nothing to act on: an unchanged name, a cancelled file dialog, an Update
             // without a file
    Refused, // stopped at an entry that the dialog refused: a field, or a name of no file; the
             // message was shown and the focus moved there
    Failed,  // stopped by an error of the catalogue, which was shown
};

struct CommandOutcome {
    CommandResult result = CommandResult::Done;
    // Refused or Failed: the message that said why (the first error, when several were shown).
    std::optional<TuMessage> message;

    // Whether the command had to stop and tell the user why.
    bool Stopped() const {
        return result == CommandResult::Refused || result == CommandResult::Failed;
    }
    bool operator==(const CommandOutcome&) const = default;
};

struct ReferencingState {
    TiffFinding tiff = TiffFinding::NoFileYet;
    GeoTiffFacts tiffTags;                 // of a TIFF that was read; empty otherwise
    TiffKind tiffKind = TiffKind::Classic; // of the TIFF read, where SideWasRead(tiff)
    WorldFileFinding worldFile = WorldFileFinding::NoTiffYet;
    // The extension of the world file's name, as looked for and found ("tfw", "TFW", "tifw",
    // "wld", ...); empty where the examination named no world file.
    std::string worldFileExtension;
    UpdateAvailability tiffUpdate;      // "Update Referencing in TIFF File" (control 1020)
    UpdateAvailability worldFileUpdate; // the world file's Update (control 1021)
    CommandOutcome lastCommand;
};

} // namespace kestrel
