#include "ReferencingDialog.h"

#include "ControlIds.h"
#include "Conversions.h"
#include "DialogTexts.h"
#include "NumberField.h"
#include "TiffFileName.h"
#include "TiffGeoreferencing.h"
#include "WorldFileName.h"
#include "uCauses.h"
#include "uError.h"
#include "uFileName.h"
#include "uFileTest.h"
#include "uOsError.h"
#include "uSystemInfo.h"
#include "uTiffFile.h"
#include "uWorldFile.h"

namespace kestrel {

namespace {

// Characters, not bytes, of UTF-8 text.
std::size_t CharacterCount(const std::string& text) {
    std::size_t count = 0;
    for (unsigned char c : text) {
        count += (c & 0xC0) != 0x80;
    }
    return count;
}

// The catalogue error of a refused open of the name: the diagnosis of its failure.
TuMessage OpenFailureMessage(const TuFileName& name, TuOpenAccess access) {
    try {
        name.RaiseOpenFailure(access, TuOsAccessDenied);
    } catch (const TuError& error) {
        return error.ToMessage();
    }
}

// The first `limit` characters of UTF-8 text.
std::string FirstCharacters(const std::string& text, std::size_t limit) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && count++ == limit) {
            return text.substr(0, i);
        }
    }
    return text;
}

} // namespace

ReferencingDialog::ReferencingDialog(DialogPlatform& platform) : platform(platform) {}

ReferencingDialog::~ReferencingDialog() = default;

bool ReferencingDialog::OnInitDialog() {
    UpdateData(false);
    char entry[TuPartSize];
    if (TuLoadString(tuSystemInfo.ModuleHandle(), IDS_ABOUTBOX, entry, sizeof entry) > 0) {
        platform.AppendMenuEntry(IDM_ABOUTBOX, entry);
    }
    platform.SetIcon(IDR_MAINFRAME);
    ShowFindings();
    return true;
}

// ---- The state and its outcomes ----

void ReferencingDialog::ShowFindings() {
    platform.SetControlText(IDC_TIFF_STATUS, TiffStatusLine(state));
    platform.SetControlText(IDC_WORLD_STATUS, WorldFileStatusLine(state));
    platform.EnableControl(IDC_UPDATE_TIFF, state.tiffUpdate.available);
    platform.EnableControl(IDC_UPDATE_WORLD, state.worldFileUpdate.available);
    if (const char* caption = WorldFileUpdateCaption(state.worldFile)) {
        platform.SetControlText(IDC_UPDATE_WORLD, caption);
    }
}

void ReferencingDialog::BeginCommand() {
    state.lastCommand = CommandOutcome{};
}

void ReferencingDialog::Skip() {
    if (state.lastCommand.result == CommandResult::Done) {
        state.lastCommand.result = CommandResult::Skipped;
    }
}

void ReferencingDialog::Stop(CommandResult result, const TuMessage& message) {
    // The first message that stopped the command is the one that says why.
    if (!state.lastCommand.Stopped()) {
        state.lastCommand = CommandOutcome{result, message};
    }
}

void ReferencingDialog::ShowError(const TuMessage& error) {
    platform.MessageBox(error);
    Stop(CommandResult::Failed, error);
}

void ReferencingDialog::ShowError(const TuError& error) {
    ShowError(error.ToMessage());
}

bool ReferencingDialog::BeginUpdate(const UpdateAvailability& update) {
    BeginCommand();
    if (!UpdateData(true)) {
        return false;
    }
    if (update.available) {
        return true;
    }
    // Without a file there is nothing to update; a file that may not be updated says why.
    if (update.refusal) {
        ShowError(*update.refusal);
    } else {
        Skip();
    }
    return false;
}

// ---- Data exchange ----

bool ReferencingDialog::Refuse(int id, const TuMessage& message) {
    platform.MessageBox(message);
    platform.SetFocus(id);
    Stop(CommandResult::Refused, message);
    return false;
}

bool ReferencingDialog::ExchangeNumber(bool collect, int id, double& member,
                                       const NumberRange* range) {
    if (!collect) {
        ShownNumber shown = ShowNumber(member);
        if (platform.GetControlText(id) != shown.text) {
            platform.SetControlText(id, shown.text);
        }
        shownNumbers[id] = std::move(shown);
        return true;
    }
    const auto shown = shownNumbers.find(id);
    const std::optional<double> value = CollectNumber(
        platform.GetControlText(id), shown == shownNumbers.end() ? nullptr : &shown->second);
    if (!value) {
        return Refuse(id, WarningMessage(texts::EnterNumber));
    }
    member = *value;
    if (range != nullptr && !range->Contains(member)) {
        return Refuse(id, WarningMessage(RangeMessage(*range)));
    }
    return true;
}

bool ReferencingDialog::UpdateData(bool collect) {
    platform.LimitText(IDC_FILE_NAME, FileNameFieldLimit);
    const bool complete =
        ExchangeNumber(collect, IDC_TIE_WORLD_X, tiff.tieWorldX, &TieWorldRange) &&
        ExchangeNumber(collect, IDC_TIE_WORLD_Y, tiff.tieWorldY, &TieWorldRange) &&
        ExchangeNumber(collect, IDC_X_PIXEL_SCALE, tiff.xPixelScale, nullptr) &&
        ExchangeNumber(collect, IDC_Y_PIXEL_SCALE, tiff.yPixelScale, nullptr) &&
        ExchangeNumber(collect, IDC_X_VECTOR_X, world.xVectorX, &VectorRange) &&
        ExchangeNumber(collect, IDC_X_VECTOR_Y, world.xVectorY, &VectorRange) &&
        ExchangeNumber(collect, IDC_Y_VECTOR_X, world.yVectorX, &VectorRange) &&
        ExchangeNumber(collect, IDC_Y_VECTOR_Y, world.yVectorY, &VectorRange) &&
        ExchangeNumber(collect, IDC_REF_POINT_X, world.refPointX, &RefPointRange) &&
        ExchangeNumber(collect, IDC_REF_POINT_Y, world.refPointY, &RefPointRange) &&
        ExchangeNumber(collect, IDC_TIE_PIXEL_Y, tiff.tiePixelY, nullptr) &&
        ExchangeNumber(collect, IDC_TIE_PIXEL_X, tiff.tiePixelX, nullptr);
    if (!complete) {
        return false;
    }
    // A field the user changed stands for what it says: the placement behind it is gone.
    if (collect && placementBehind && !TiffFieldsAsShown()) {
        placementBehind.reset();
    }
    if (!collect) {
        // Replacing the text clears the edit's changed flag, so a completed name is not
        // examined again when the user next leaves the field.
        if (platform.GetControlText(IDC_FILE_NAME) != fileName) {
            platform.SetControlText(IDC_FILE_NAME, fileName);
        }
        return true;
    }
    std::string text = platform.GetControlText(IDC_FILE_NAME);
    if (CharacterCount(text) > static_cast<std::size_t>(FileNameFieldLimit)) {
        return Refuse(IDC_FILE_NAME, WarningMessage(LengthMessage(FileNameFieldLimit)));
    }
    fileName = std::move(text);
    return true;
}

bool ReferencingDialog::TiffFieldsAsShown() {
    for (int id : {IDC_X_PIXEL_SCALE, IDC_Y_PIXEL_SCALE, IDC_TIE_PIXEL_X, IDC_TIE_PIXEL_Y,
                   IDC_TIE_WORLD_X, IDC_TIE_WORLD_Y}) {
        const auto shown = shownNumbers.find(id);
        if (shown == shownNumbers.end() || platform.GetControlText(id) != shown->second.text) {
            return false;
        }
    }
    return true;
}

// ---- Taking a file name ----

void ReferencingDialog::OnFileNameKillFocus() {
    BeginCommand();
    if (!platform.IsFileNameModified()) {
        Skip();
        return;
    }
    try {
        const std::string typed =
            FirstCharacters(platform.GetControlText(IDC_FILE_NAME), TypedNameLimit);
        bool exists = false;
        const TuFileName name = TypedTiffName(typed.c_str(), exists);
        if (!exists) {
            Refuse(IDC_FILE_NAME, PlainMessage(texts::FileDoesNotExist));
            return;
        }
        fileName = name.GetNarrow();
        // The test just made is the one the examination would make again at once.
        Examine(true);
        platform.SetFocus(IDC_X_PIXEL_SCALE);
    } catch (const TuError& error) {
        ShowError(error);
        platform.SetFocus(IDC_FILE_NAME);
    }
}

void ReferencingDialog::OnBrowse() {
    BeginCommand();
    FileOpenRequest request;
    request.title = texts::BrowseTitle;
    request.filter = texts::BrowseFilter;
    request.defaultExtension = texts::BrowseDefaultExtension;
    request.initialName = fileName;
    request.mustExist = true;
    const std::optional<std::string> chosen = platform.OpenFile(request);
    if (!chosen) {
        platform.SetFocus(IDC_FILE_NAME);
        Skip();
        return;
    }
    fileName = *chosen;
    try {
        Examine();
        platform.SetFocus(IDC_X_PIXEL_SCALE);
    } catch (const TuError& error) {
        ShowError(error);
        platform.SetFocus(IDC_FILE_NAME);
    }
}

// ---- Examining ----

void ReferencingDialog::ReleaseTiffFile() {
    if (!tiffFile) {
        return;
    }
    state.tiffUpdate = {};
    // The pointer is null before the commit runs, so that a failed commit leaves no object
    // behind; the object closes its file whether or not the commit succeeds.
    const std::unique_ptr<TuTiffFile> released = std::move(tiffFile);
    released->CommitAndClose();
}

void ReferencingDialog::ReleaseWorldFile() {
    worldFile.reset();
    state.worldFileUpdate = {};
}

void ReferencingDialog::ClearReferencing() {
    tiff = {};
    placementBehind.reset();
    state.tiffTags = {};
    state.worldFileExtension.clear();
    worldFileName.clear();
    // A failed commit passes on from here: the world file object and its numbers stay.
    ReleaseTiffFile();
    ReleaseWorldFile();
    world = {};
}

void ReferencingDialog::Examine(bool existenceTested) {
    const TuFileName tiffName(fileName.c_str());
    try {
        ClearReferencing();
    } catch (const TuError&) {
        // A failed commit released the TIFF all the same: its Update is gone.
        ShowFindings();
        throw;
    }
    // A test passed in was made just before, and only where releasing the previous TIFF
    // commits nothing, so it still holds after it.
    if (!existenceTested && TuFileAccess(tiffName.GetPath(), TuAccessExists) != 0) {
        state.tiff = TiffFinding::NotFound;
        state.worldFile = WorldFileFinding::NoValidTiff;
        ShowFindings();
        return;
    }
    try {
        ExamineOpenFile(tiffName);
    } catch (const TuError& error) {
        // The findings are those of the step that failed. Neither object stays, and the window
        // shows the file named before the message about it goes up.
        tiffFile.reset();
        ReleaseWorldFile();
        state.tiffUpdate = {};
        ShowFindings();
        UpdateData(false);
        ShowError(error);
    }
}

void ReferencingDialog::ExamineOpenFile(const TuFileName& tiffName) {
    // Each finding is set first to what a failure of its step leaves.
    state.tiff = TiffFinding::Unreadable;
    state.worldFile = WorldFileFinding::NoValidTiff;
    // Update mode where the TIFF may be read and written, examination otherwise: decided by
    // the open itself rather than by a test before it.
    state.tiffKind = TiffKind::Classic;
    tiffFile = std::make_unique<TuTiffFile>(tiffName, UpdateIfPermitted);
    state.tiffKind = tiffFile->IsBigTiff() ? TiffKind::BigTiff : TiffKind::Classic;
    if (tiffFile->IsWritable()) {
        state.tiffUpdate = {true, std::nullopt};
    } else {
        const TuException refusal(TuCauseTiffOpenedForExamination, 1, tiffFile->GetPath());
        state.tiffUpdate = {false, refusal.ToMessage()};
    }

    const TiffView view = ViewOfTags(ReadGeoTiffTags(*tiffFile));
    tiff = view.fields;
    state.tiff = view.finding;
    state.tiffTags = view.facts;
    if (view.matrixBehind) {
        placementBehind = PlacementBehind{*view.matrixBehind,
                                          WorldFromMatrix(*view.matrixBehind, RasterType()), true};
    }

    state.worldFile = WorldFileFinding::NameUnusable;
    worldFile = std::make_unique<TuWorldFile>();
    TuFileAccessAnswers worldAnswers;
    const TuFileName worldName = FindWorldFileName(tiffName, worldAnswers);
    worldFileName = worldName.GetNarrow();
    char extension[TuPartSize];
    worldName.GetExtension(extension);
    state.worldFileExtension = extension;
    if (worldAnswers.exists && !worldAnswers.regular) {
        ShowWorldFileNotAFile(worldName);
        return;
    }
    if (!worldAnswers.readable) {
        world = {};
        state.worldFile = WorldFileFinding::Missing;
        state.worldFileUpdate = {true, std::nullopt};
        ShowFindings();
        UpdateData(false);
        return;
    }
    if (worldAnswers.writable) {
        state.worldFileUpdate = {true, std::nullopt};
    } else {
        state.worldFileUpdate = {false, OpenFailureMessage(worldName, TuOpenAccess::Write)};
    }
    state.worldFile = WorldFileFinding::Unreadable;
    worldFile->Read(worldName);
    const TuXY xVector = worldFile->XVector();
    const TuXY yVector = worldFile->YVector();
    const TuXY referencePoint = worldFile->ReferencePoint();
    world = {xVector.x, xVector.y, yVector.x, yVector.y, referencePoint.x, referencePoint.y};
    state.worldFile = WorldFileFinding::Exists;
    ShowFindings();
    UpdateData(false);
}

void ReferencingDialog::ShowWorldFileNotAFile(const TuFileName& worldName) {
    // A folder, pipe or device named as the world file is neither read nor replaced. The TIFF
    // stays open and may still be updated. It is reported as a folder named as the TIFF is:
    // the refused open of something that is no file.
    const TuMessage refusal = OpenFailureMessage(worldName, TuOpenAccess::Read);
    world = {};
    state.worldFile = WorldFileFinding::NotAFile;
    state.worldFileUpdate = {false, refusal};
    ShowFindings();
    UpdateData(false);
    ShowError(refusal);
}

// ---- Converting ----

void ReferencingDialog::OnTiffToWorld() {
    BeginCommand();
    if (!UpdateData(true)) {
        return;
    }
    // Fields left as shown over a matrix stand for the matrix, rotation included.
    world = placementBehind ? placementBehind->world : WorldFromTiePoint(tiff, RasterType());
    UpdateData(false);
}

void ReferencingDialog::OnWorldToTiff() {
    BeginCommand();
    if (!UpdateData(true)) {
        return;
    }
    placementBehind.reset();
    const bool rotated = HasRotation(world);
    if (rotated && !options.keepRotation) {
        platform.MessageBox(WarningMessage(texts::RotationWarning));
    }
    tiff = TiePointFromWorld(world, RasterType());
    // A placement the fields cannot hold stays behind them, for the update to store as a
    // matrix: a rotation kept on request, or rows that run north, which GDAL would read from a
    // negative Y scale as running south.
    const bool southUp = !rotated && world.yVectorY > 0;
    if ((rotated && options.keepRotation) || southUp) {
        placementBehind = PlacementBehind{MatrixFromWorld(world, RasterType()), world, false};
    }
    if (southUp) {
        platform.MessageBox(PlainMessage(texts::SouthUpWorldFile));
    }
    UpdateData(false);
}

// ---- Writing back ----

void ReferencingDialog::OnUpdateTiff() {
    if (!BeginUpdate(state.tiffUpdate)) {
        return;
    }
    try {
        if (StoreTiffSide()) {
            tiffFile->commitOnClose = true;
        }
        // Releasing the object at the start of the examination commits the new directory and
        // the header; the examination then reads the tags back from disk.
        Examine();
    } catch (const TuError& error) {
        ShowError(error);
        if (error.Cause() == TuCauseTiffChangedSinceExamined) {
            ExamineAgain();
        }
    }
}

bool ReferencingDialog::StoreTiffSide() {
    // Fields left as shown over the file's own matrix: the file keeps it as it is.
    if (placementBehind && placementBehind->inFile) {
        return false;
    }
    const bool controlPoints = state.tiff == TiffFinding::ControlPoints;
    if (controlPoints && !options.replaceControlPoints) {
        throw TuException(TuCauseTiffControlPointsWouldBeReplaced, 2, tiffFile->GetPath(),
                          static_cast<int>(state.tiffTags.tiePoints));
    }
    if (placementBehind) {
        StoreMatrix(*tiffFile, placementBehind->matrix);
        return true;
    }
    if (FieldsApproximateMatrix(state.tiff)) {
        // The fields no longer stand for the file's matrix: what they say replaces it.
        platform.MessageBox(WarningMessage(state.tiff == TiffFinding::ByRotatedMatrix
                                               ? texts::RotatedMatrixReplaced
                                               : texts::MatrixNotNorthUpReplaced));
    }
    StoreTiePoint(*tiffFile, tiff, controlPoints);
    return true;
}

void ReferencingDialog::ExamineAgain() {
    // What was read before no longer stands on disk: the examination shows what does, and
    // lets go of the object that still holds the old file (its changes are not committed).
    try {
        Examine();
    } catch (const TuError& error) {
        ShowError(error);
    }
}

void ReferencingDialog::OnUpdateWorldFile() {
    // A world file that may not be written, or a name that no file has, is not replaced.
    if (!BeginUpdate(state.worldFileUpdate)) {
        return;
    }
    worldFile->SetXVector({world.xVectorX, world.xVectorY});
    worldFile->SetYVector({world.yVectorX, world.yVectorY});
    worldFile->SetReferencePoint({world.refPointX, world.refPointY});
    try {
        // The file the examination shows, found again from the name as it now stands.
        const TuFileName tiffName(fileName.c_str());
        worldFile->Write(FindWorldFileName(tiffName), true);
    } catch (const TuError& error) {
        // The entered values stay on screen, so the user can write them elsewhere or retry.
        ShowError(error);
        return;
    }
    try {
        Examine();
    } catch (const TuError& error) {
        ShowError(error);
    }
}

// ---- The shell around the dialog ----

void ReferencingDialog::OnHelp() {
    BeginCommand();
    platform.OpenHelp(HelpContents);
}

void ReferencingDialog::CloseDialog(int result) {
    try {
        ReleaseTiffFile();
    } catch (const TuError& error) {
        ShowError(error);
    }
    ReleaseWorldFile();
    platform.EndDialog(result);
}

void ReferencingDialog::OnCancel() {
    BeginCommand();
    CloseDialog(IDCANCEL);
}

void ReferencingDialog::OnOK() {
    BeginCommand();
    if (UpdateData(true)) {
        CloseDialog(IDOK);
    }
}

bool ReferencingDialog::OnSystemCommand(int commandId) {
    if ((commandId & ~0xF) != IDM_ABOUTBOX) {
        return false;
    }
    BeginCommand();
    platform.RunAboutBox();
    return true;
}

} // namespace kestrel
