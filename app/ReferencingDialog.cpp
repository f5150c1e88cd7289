#include "ReferencingDialog.h"

#include <cerrno>

#include "ControlIds.h"
#include "Conversions.h"
#include "DialogTexts.h"
#include "NumberField.h"
#include "WorldFileName.h"
#include "uCauses.h"
#include "uError.h"
#include "uFileName.h"
#include "uFileTest.h"
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
    platform.SetControlText(IDC_TIFF_STATUS, texts::NoFileYet);
    platform.SetControlText(IDC_WORLD_STATUS, texts::NoTiffYet);
    platform.EnableControl(IDC_UPDATE_TIFF, false);
    platform.EnableControl(IDC_UPDATE_WORLD, false);
    return true;
}

// ---- Data exchange ----

bool ReferencingDialog::Refuse(int id, const std::string& message) {
    platform.MessageBox(WarningMessage(message));
    platform.SetFocus(id);
    return false;
}

bool ReferencingDialog::ExchangeNumber(bool collect, int id, double& member,
                                       const NumberRange* range) {
    if (!collect) {
        const std::string text = FormatNumber(member);
        if (platform.GetControlText(id) != text) {
            platform.SetControlText(id, text);
        }
        return true;
    }
    const std::optional<double> value = ParseNumberField(platform.GetControlText(id));
    if (!value) {
        return Refuse(id, texts::EnterNumber);
    }
    member = *value;
    if (range != nullptr && !range->Contains(member)) {
        return Refuse(id, RangeMessage(*range));
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
        return Refuse(IDC_FILE_NAME, LengthMessage(FileNameFieldLimit));
    }
    fileName = std::move(text);
    return true;
}

// ---- Taking a file name ----

void ReferencingDialog::OnFileNameKillFocus() {
    if (!platform.IsFileNameModified()) {
        return;
    }
    try {
        const std::string typed =
            FirstCharacters(platform.GetControlText(IDC_FILE_NAME), TypedNameLimit);
        TuFileName name(typed.c_str());
        char16_t extension[TuPartSize];
        name.GetExtension(extension);
        if (extension[0] == 0) {
            name.SetExtension("tif");
        }
        if (TuFileAccess(name.GetPath(), TuAccessExists) != 0) {
            platform.MessageBox(PlainMessage(texts::FileDoesNotExist));
            platform.SetFocus(IDC_FILE_NAME);
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
    FileOpenRequest request;
    request.title = texts::BrowseTitle;
    request.filter = texts::BrowseFilter;
    request.defaultExtension = texts::BrowseDefaultExtension;
    request.initialName = fileName;
    request.mustExist = true;
    const std::optional<std::string> chosen = platform.OpenFile(request);
    if (!chosen) {
        platform.SetFocus(IDC_FILE_NAME);
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
    // The pointer is null before the commit runs, so that a failed commit leaves no object
    // behind; the object closes its file whether or not the commit succeeds.
    const std::unique_ptr<TuTiffFile> released = std::move(tiffFile);
    released->CommitAndClose();
}

void ReferencingDialog::ClearReferencing() {
    tiff = {};
    worldFileName.clear();
    // A failed commit passes on from here: the world file object and its numbers stay.
    ReleaseTiffFile();
    worldFile.reset();
    world = {};
}

void ReferencingDialog::DisableReleasedUpdates() {
    // A button whose object is gone would do nothing, and say nothing, when clicked.
    if (!tiffFile) {
        platform.EnableControl(IDC_UPDATE_TIFF, false);
    }
    if (!worldFile) {
        platform.EnableControl(IDC_UPDATE_WORLD, false);
    }
}

void ReferencingDialog::ShowFailedExamination(bool tiffRead) {
    if (!tiffRead) {
        platform.SetControlText(IDC_TIFF_STATUS, texts::TiffUnreadable);
        platform.SetControlText(IDC_WORLD_STATUS, texts::NoValidTiff);
    } else {
        platform.SetControlText(IDC_WORLD_STATUS, texts::WorldFileUnreadable);
    }
    DisableReleasedUpdates();
    UpdateData(false);
}

void ReferencingDialog::Examine(bool existenceTested) {
    const TuFileName tiffName(fileName.c_str());
    try {
        ClearReferencing();
    } catch (const TuError&) {
        // A failed commit released the TIFF all the same.
        DisableReleasedUpdates();
        throw;
    }
    // A test passed in was made just before, and only where releasing the previous TIFF
    // commits nothing, so it still holds after it.
    if (!existenceTested && TuFileAccess(tiffName.GetPath(), TuAccessExists) != 0) {
        platform.SetControlText(IDC_TIFF_STATUS, texts::TiffNotFound);
        platform.SetControlText(IDC_WORLD_STATUS, texts::NoValidTiff);
        DisableReleasedUpdates();
        return;
    }
    bool tiffRead = false;
    try {
        ExamineOpenFile(tiffName, tiffRead);
    } catch (const TuError& error) {
        tiffFile.reset();
        worldFile.reset();
        // The window shows the file named before the message about it goes up.
        ShowFailedExamination(tiffRead);
        ShowError(error);
    }
}

void ReferencingDialog::ExamineOpenFile(const TuFileName& tiffName, bool& tiffRead) {
    // Update mode where the TIFF may be read and written, examination otherwise: decided by
    // the open itself rather than by a test before it.
    tiffFile = std::make_unique<TuTiffFile>(tiffName, UpdateIfPermitted);
    platform.EnableControl(IDC_UPDATE_TIFF, tiffFile->IsWritable());

    double scale[3] = {0, 0, 0};
    double tiepoint[6] = {0, 0, 0, 0, 0, 0};
    const int scaleCount = tiffFile->ReadDoubles(TiffTagModelPixelScale, scale, 3, 0);
    const int tiepointCount = tiffFile->ReadDoubles(TiffTagModelTiepoint, tiepoint, 6, 0);
    if (scaleCount == 3 && tiepointCount == 6) {
        tiff = {scale[0], scale[1], tiepoint[0], tiepoint[1], tiepoint[3], tiepoint[4]};
        platform.SetControlText(IDC_TIFF_STATUS, texts::TiffGeoreferenced);
    } else {
        tiff = {};
        platform.SetControlText(IDC_TIFF_STATUS, texts::TiffNotGeoreferenced);
    }
    tiffRead = true;

    worldFile = std::make_unique<TuWorldFile>();
    TuFileAccessAnswers worldAnswers;
    const TuFileName worldName = WorldFileNameFor(tiffName, worldAnswers);
    worldFileName = worldName.GetNarrow();
    if (worldAnswers.exists && !worldAnswers.regular) {
        ShowWorldFileNotAFile(worldName);
        return;
    }
    if (!worldAnswers.readable) {
        world = {};
        platform.SetControlText(IDC_WORLD_STATUS, texts::WorldFileMissing);
        platform.EnableControl(IDC_UPDATE_WORLD, true);
        platform.SetControlText(IDC_UPDATE_WORLD, texts::WriteNewWorldFile);
        UpdateData(false);
        return;
    }
    platform.EnableControl(IDC_UPDATE_WORLD, worldAnswers.writable);
    platform.SetControlText(IDC_UPDATE_WORLD, texts::UpdateWorldFile);
    worldFile->Read(worldName);
    const TuXY xVector = worldFile->XVector();
    const TuXY yVector = worldFile->YVector();
    const TuXY referencePoint = worldFile->ReferencePoint();
    world = {xVector.x, xVector.y, yVector.x, yVector.y, referencePoint.x, referencePoint.y};
    platform.SetControlText(IDC_WORLD_STATUS, texts::WorldFileExists);
    UpdateData(false);
}

void ReferencingDialog::ShowWorldFileNotAFile(const TuFileName& worldName) {
    // A folder, pipe or device named as the world file is neither read nor replaced. The TIFF
    // stays open and may still be updated.
    world = {};
    platform.SetControlText(IDC_WORLD_STATUS, texts::WorldFileNotAFile);
    platform.EnableControl(IDC_UPDATE_WORLD, false);
    platform.SetControlText(IDC_UPDATE_WORLD, texts::UpdateWorldFile);
    UpdateData(false);
    // Reported as a folder named as the TIFF is: the refused open of something that is no file.
    try {
        worldName.RaiseOpenFailure(TuOpenAccess::Read, EACCES);
    } catch (const TuError& error) {
        ShowError(error);
    }
}

// ---- Converting ----

void ReferencingDialog::OnTiffToWorld() {
    if (!UpdateData(true)) {
        return;
    }
    world = TiffToWorld(tiff);
    UpdateData(false);
}

void ReferencingDialog::OnWorldToTiff() {
    if (!UpdateData(true)) {
        return;
    }
    if (HasRotation(world)) {
        platform.MessageBox(WarningMessage(texts::RotationWarning));
    }
    tiff = WorldToTiff(world);
    UpdateData(false);
}

// ---- Writing back ----

void ReferencingDialog::OnUpdateTiff() {
    if (!UpdateData(true) || !tiffFile) {
        return;
    }
    try {
        if (tiffFile->FindTag(TiffTagModelPixelScale) == TagNotFound) {
            tiffFile->AddTag(TuTiffTag(TiffTagModelPixelScale, TiffTypeDouble, 3));
        }
        if (tiffFile->FindTag(TiffTagModelTiepoint) == TagNotFound) {
            tiffFile->AddTag(TuTiffTag(TiffTagModelTiepoint, TiffTypeDouble, 6));
        }
        const double scale[3] = {tiff.xPixelScale, tiff.yPixelScale, 0.0};
        tiffFile->WriteDoubles(TiffTagModelPixelScale, scale, 3, 0);
        const double tiepoint[6] = {tiff.tiePixelX, tiff.tiePixelY, 0.0,
                                    tiff.tieWorldX, tiff.tieWorldY, 0.0};
        tiffFile->WriteDoubles(TiffTagModelTiepoint, tiepoint, 6, 0);
        tiffFile->commitOnClose = true;
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
    if (!UpdateData(true) || !worldFile) {
        return;
    }
    worldFile->SetXVector({world.xVectorX, world.xVectorY});
    worldFile->SetYVector({world.yVectorX, world.yVectorY});
    worldFile->SetReferencePoint({world.refPointX, world.refPointY});
    try {
        const TuFileName tiffName(fileName.c_str());
        worldFile->Write(WorldFileNameFor(tiffName), true);
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

void ReferencingDialog::ShowError(const TuError& error) {
    platform.MessageBox(error.ToMessage());
}

// ---- The shell around the dialog ----

void ReferencingDialog::OnHelp() {
    platform.OpenHelp(HelpContents);
}

void ReferencingDialog::CloseDialog(int result) {
    try {
        ReleaseTiffFile();
    } catch (const TuError& error) {
        ShowError(error);
    }
    worldFile.reset();
    platform.EndDialog(result);
}

void ReferencingDialog::OnCancel() {
    CloseDialog(IDCANCEL);
}

void ReferencingDialog::OnOK() {
    if (UpdateData(true)) {
        CloseDialog(IDOK);
    }
}

bool ReferencingDialog::OnSystemCommand(int commandId) {
    if ((commandId & ~0xF) != IDM_ABOUTBOX) {
        return false;
    }
    platform.RunAboutBox();
    return true;
}

} // namespace kestrel
