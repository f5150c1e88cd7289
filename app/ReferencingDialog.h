// ReferencingDialog: the logic of Kestrel's main dialog. It holds the TIFF file's name and
// twelve numbers (the TIFF's pixel scale and tie point, the world file's six parameters),
// examines a TIFF and its world file, converts between the two kinds of referencing and writes
// either back. It talks to the window only through DialogPlatform, and tells its callers what
// it found and did through its state (ReferencingState.h).
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Conversions.h"
#include "DialogPlatform.h"
#include "NumberField.h"
#include "ReferencingState.h"
#include "uPath.h"

class TuError;
class TuFileName;
class TuTiffFile;
class TuWorldFile;

namespace kestrel {

// The file name field takes at most this many characters: a whole path and its terminator.
constexpr int FileNameFieldLimit = static_cast<int>(TuPathSize);
// The characters of the field that a typed name is built from, the most a whole path holds;
// the rest are dropped.
constexpr std::size_t TypedNameLimit = TuPathMaximumUnits;

// Choices that kestrel-cli's flags make; the window offers none and keeps the defaults.
struct DialogOptions {
    // "<--" from a rotated world file keeps the rotation: no approximation warning, and the
    // TIFF's update stores the world file as a transformation matrix.
    bool keepRotation = false;
    // An update of a TIFF with ground control points replaces them by what it writes; without
    // this it is refused, naming their number.
    bool replaceControlPoints = false;
};

class ReferencingDialog {
public:
    explicit ReferencingDialog(DialogPlatform& platform);
    ~ReferencingDialog();
    ReferencingDialog(const ReferencingDialog&) = delete;
    ReferencingDialog& operator=(const ReferencingDialog&) = delete;

    // Dialog initialisation: display, menu entry, icon, initial status lines and buttons.
    // Returns true so that the platform gives the focus to the first control.
    bool OnInitDialog();

    // Commands.
    void OnFileNameKillFocus();
    void OnBrowse();
    void OnTiffToWorld();
    void OnWorldToTiff();
    void OnUpdateTiff();
    void OnUpdateWorldFile();
    void OnHelp();
    void OnCancel();
    void OnOK(); // the default command (Enter in an edit): collect, then end the dialog
    // A system-menu command; returns false when the platform's default handling applies.
    bool OnSystemCommand(int commandId);

    void SetOptions(const DialogOptions& chosen) { options = chosen; }

    // The members as they stand (read-only views for callers without a window).
    const std::string& FileName() const { return fileName; }
    double XPixelScale() const { return tiff.xPixelScale; }
    double YPixelScale() const { return tiff.yPixelScale; }
    double TiePixelX() const { return tiff.tiePixelX; }
    double TiePixelY() const { return tiff.tiePixelY; }
    double TieWorldX() const { return tiff.tieWorldX; }
    double TieWorldY() const { return tiff.tieWorldY; }
    double XVectorX() const { return world.xVectorX; }
    double XVectorY() const { return world.xVectorY; }
    double YVectorX() const { return world.yVectorX; }
    double YVectorY() const { return world.yVectorY; }
    double RefPointX() const { return world.refPointX; }
    double RefPointY() const { return world.refPointY; }
    bool HasTiffFile() const { return tiffFile != nullptr; }
    bool HasWorldFile() const { return worldFile != nullptr; }
    // The raster type the conversions take the TIFF side to have.
    TuRasterType RasterType() const { return state.tiffTags.rasterType; }
    // The world file name the last examination derived; empty when it derived none.
    const std::string& WorldFileName() const { return worldFileName; }
    // What the examinations found, which Updates may be used, and what the last command did.
    const ReferencingState& State() const { return state; }

private:
    // The data exchange: display (members to controls) or collect (controls to members, with
    // validation). Collect stops at the first refused field and returns false.
    bool UpdateData(bool collect);
    // Whether the TIFF side's six fields still show what display last wrote into them: the
    // placement behind them is kept only while they do.
    bool TiffFieldsAsShown();
    [[nodiscard]] bool ExchangeNumber(bool collect, int id, double& member,
                                      const NumberRange* range);
    // Shows the dialog's refusal of an entry, moves the focus to it and stops the command.
    bool Refuse(int id, const TuMessage& message);
    // Examines the TIFF named by fileName and its world file, and shows what it found.
    // Errors of building the name and of releasing the previous TIFF pass on to the caller.
    // existenceTested: the caller has just found that the file exists.
    void Examine(bool existenceTested = false);
    // Sets the findings step by step, each first to what a failure of its step leaves, so that
    // a failed examination describes the file named, not the one before it.
    void ExamineOpenFile(const TuFileName& tiffName);
    // Shows the world file's side for a name taken by something that is not a regular file,
    // and reports it with the open-failure diagnosis.
    void ShowWorldFileNotAFile(const TuFileName& worldName);
    // Examines the file again after an update found it changed by another program; errors
    // are shown.
    void ExamineAgain();
    // Releases both objects and zeroes the twelve numbers; the controls are not refreshed.
    // Releasing the TIFF commits it when its commitOnClose is set; a failed commit passes on.
    // An Update is available only while its object is there.
    void ClearReferencing();
    void ReleaseTiffFile();
    void ReleaseWorldFile();
    void CloseDialog(int result);

    // The status lines and the Update buttons, shown from the state: the one place that turns
    // findings into what the window shows.
    void ShowFindings();
    // The last command's outcome: each command begins as done, and ends skipped, refused or
    // failed where it stops.
    void BeginCommand();
    void Skip();
    void Stop(CommandResult result, const TuMessage& message);
    // Shows an error in the platform's message box; the command has failed.
    void ShowError(const TuMessage& error);
    void ShowError(const TuError& error);
    // Begins an Update command: collects the fields, and goes ahead only where the update is
    // available (which it is only while its object is there); an unavailable one says why.
    [[nodiscard]] bool BeginUpdate(const UpdateAvailability& update);
    // Stores the TIFF side in the open TIFF, or raises the refusal of an update that would
    // replace ground control points; false when there is nothing to store.
    [[nodiscard]] bool StoreTiffSide();

    DialogPlatform& platform;

    std::string fileName;
    std::string worldFileName;
    TiffReferencing tiff;   // the GeoTIFF side: pixel scale and tie point
    WorldReferencing world; // the world file side, in the order of its lines
    // What display last wrote into each numeric field, by id: collect takes the exact value
    // behind a text the user has not changed.
    std::map<int, ShownNumber> shownNumbers;
    // A placement that the TIFF side's fields only approximate (a matrix with rotation, or one
    // that is not north-up), with what "-->" and an update make of it while the fields are left
    // as shown.
    struct PlacementBehind {
        TransformationMatrix matrix;
        WorldReferencing world;
        bool inFile = false; // the TIFF holds this matrix already: an update changes nothing
    };
    std::optional<PlacementBehind> placementBehind;
    DialogOptions options;
    std::unique_ptr<TuTiffFile> tiffFile;
    std::unique_ptr<TuWorldFile> worldFile;
    ReferencingState state;
};

} // namespace kestrel
