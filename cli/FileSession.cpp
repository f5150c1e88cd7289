#include "FileSession.h"

#include <cerrno>

#include "ControlIds.h"
#include "DialogTexts.h"
#include "NumberField.h"
#include "WorldFileName.h"
#include "uCauses.h"
#include "uError.h"
#include "uFileName.h"

namespace kestrel::cli {
namespace {

constexpr int TiffFields[6] = {IDC_X_PIXEL_SCALE, IDC_Y_PIXEL_SCALE, IDC_TIE_PIXEL_X,
                               IDC_TIE_PIXEL_Y,   IDC_TIE_WORLD_X,   IDC_TIE_WORLD_Y};
constexpr int WorldFields[6] = {IDC_X_VECTOR_X, IDC_X_VECTOR_Y,  IDC_Y_VECTOR_X,
                                IDC_Y_VECTOR_Y, IDC_REF_POINT_X, IDC_REF_POINT_Y};

ErrorReport ToReport(const ShownMessage& message) {
    return ErrorReport{message.cause, message.caption, message.text};
}

// Whether a status line reports a side that the examination read. The others say that
// nothing was read there (no file yet, or one that could not be read), and the side is
// reported as absent rather than as the zeros the dialog shows. A world file's name taken by
// something that is no file was examined: that side is reported with its status.
bool TiffSideRead(const std::string& status) {
    return status == texts::TiffGeoreferenced || status == texts::TiffNotGeoreferenced;
}
bool WorldSideRead(const std::string& status) {
    return status == texts::WorldFileExists || status == texts::WorldFileMissing ||
           status == texts::WorldFileNotAFile;
}

} // namespace

FileSession::FileSession(ConsolePlatform& platform) : platform(platform), dialog(platform) {
    platform.Reset();
    dialog.OnInitDialog();
    platform.ClearLog();
}

template <class Handler> bool FileSession::Press(Handler handler) {
    platform.ClearLog();
    handler();
    // A refused field takes the focus; no command moves it otherwise.
    const bool failed = platform.HasError() || !platform.FocusMoves().empty();
    if (failed && !failure) {
        const std::vector<ShownMessage>& shown = platform.Messages();
        for (const ShownMessage& message : shown)
            if (message.isError && !failure)
                failure = ToReport(message);
        if (!failure && !shown.empty())
            failure = ToReport(shown.back());
    }
    TakeMessages();
    return !failed;
}

bool FileSession::Take(const std::string& file) {
    typedName = file;
    std::size_t characters = 0;
    for (unsigned char c : file)
        characters += (c & 0xC0) != 0x80; // UTF-8: count the lead bytes
    // The dialog drops the characters beyond TypedNameLimit; a longer FILE is refused rather
    // than cut into the name of some other file.
    if (characters > TypedNameLimit)
        return Fail(LengthMessage(static_cast<int>(TypedNameLimit)));
    platform.ClearLog();
    platform.Type(IDC_FILE_NAME, file);
    dialog.OnFileNameKillFocus();
    // A taken name moves the focus on to the X pixel scale; a refused one keeps it in the
    // file name field.
    const std::vector<int>& moves = platform.FocusMoves();
    const bool movedOn = !moves.empty() && moves.back() == IDC_X_PIXEL_SCALE;
    taken = movedOn && !platform.HasError() && dialog.HasTiffFile() && dialog.HasWorldFile();
    if (!taken && !failure) {
        const std::vector<ShownMessage>& shown = platform.Messages();
        for (const ShownMessage& message : shown)
            if (message.isError && !failure)
                failure = ToReport(message);
        if (!failure && !shown.empty())
            failure = ToReport(shown.front());
    }
    TakeMessages();
    if (!taken && !failure)
        return Fail(platform.Text(IDC_TIFF_STATUS));
    return taken;
}

bool FileSession::TiffToWorld() {
    const std::string status = platform.Text(IDC_TIFF_STATUS);
    // "-->" from a TIFF without referencing would write a world file of zeros.
    if (status != texts::TiffGeoreferenced)
        return Fail(status);
    return Press([this] { dialog.OnTiffToWorld(); }) && UpdateWorldFile();
}

bool FileSession::WorldToTiff() {
    const std::string status = platform.Text(IDC_WORLD_STATUS);
    // "<--" without a world file would write a pixel scale of zero into the TIFF.
    if (status != texts::WorldFileExists)
        return Fail(status);
    return Press([this] { dialog.OnWorldToTiff(); }) && UpdateTiff();
}

bool FileSession::SetTiff(const std::array<std::string, 6>& numbers) {
    for (int k = 0; k < 6; ++k)
        platform.Type(TiffFields[k], numbers[k]);
    return UpdateTiff();
}

bool FileSession::SetWorld(const std::array<std::string, 6>& numbers) {
    for (int k = 0; k < 6; ++k)
        platform.Type(WorldFields[k], numbers[k]);
    return UpdateWorldFile();
}

bool FileSession::UpdateTiff() {
    // The dialog disables the button for a TIFF it could open for examination only; the
    // catalogue says why the file cannot be changed.
    if (!platform.IsEnabled(IDC_UPDATE_TIFF))
        return FailWithError([this] {
            const TuFileName name(dialog.FileName().c_str());
            throw TuException(TuCauseTiffOpenedForExamination, 1, name.GetPath());
        });
    if (!Press([this] { dialog.OnUpdateTiff(); }))
        return false;
    // The examination after the update reads the tags back: they must now be there.
    const std::string status = platform.Text(IDC_TIFF_STATUS);
    if (!dialog.HasTiffFile() || status != texts::TiffGeoreferenced)
        return Fail(status);
    return true;
}

bool FileSession::UpdateWorldFile() {
    // A world file that exists but may not be written: the dialog disables the button.
    if (!platform.IsEnabled(IDC_UPDATE_WORLD))
        return FailWithError([this] {
            const TuFileName name(dialog.FileName().c_str());
            WorldFileNameFor(name).RaiseOpenFailure(TuOpenAccess::Write, EACCES);
        });
    if (!Press([this] { dialog.OnUpdateWorldFile(); }))
        return false;
    // The examination after the write reads the world file back: it must now exist.
    const std::string status = platform.Text(IDC_WORLD_STATUS);
    if (status != texts::WorldFileExists)
        return Fail(status);
    return true;
}

bool FileSession::Fail(const std::string& message) {
    const ShownMessage shown{platform.ApplicationTitle(), message, std::nullopt, false};
    messages.push_back(shown);
    if (!failure)
        failure = ToReport(shown);
    return false;
}

template <class Raise> bool FileSession::FailWithError(Raise raise) {
    platform.ClearLog();
    try {
        raise();
    } catch (const TuError& error) {
        platform.MessageBox(error.ToMessage());
    }
    const std::vector<ShownMessage>& shown = platform.Messages();
    if (!failure && !shown.empty())
        failure = ToReport(shown.front());
    TakeMessages();
    return false;
}

void FileSession::TakeMessages() {
    const std::vector<ShownMessage>& shown = platform.Messages();
    messages.insert(messages.end(), shown.begin(), shown.end());
    platform.ClearLog();
}

std::optional<std::string> FileSession::WorldFileName() const {
    if (!dialog.WorldFileName().empty())
        return dialog.WorldFileName();
    // The examination stopped before it named the world file.
    try {
        const TuFileName name(dialog.FileName().c_str());
        return std::string(WorldFileNameFor(name).GetNarrow());
    } catch (const TuError&) {
        return std::nullopt;
    }
}

FileReport FileSession::Report() const {
    FileReport report;
    report.file = dialog.FileName().empty() ? typedName : dialog.FileName();
    if (TiffSideRead(platform.Text(IDC_TIFF_STATUS))) {
        TiffReport tiff;
        tiff.status = platform.Text(IDC_TIFF_STATUS);
        tiff.writable = platform.IsEnabled(IDC_UPDATE_TIFF);
        tiff.pixelScale = {dialog.XPixelScale(), dialog.YPixelScale()};
        tiff.tiePixel = {dialog.TiePixelX(), dialog.TiePixelY()};
        tiff.tieWorld = {dialog.TieWorldX(), dialog.TieWorldY()};
        for (int k = 0; k < 6; ++k)
            tiff.shown[k] = platform.Text(TiffFields[k]);
        report.tiff = tiff;
    }
    if (WorldSideRead(platform.Text(IDC_WORLD_STATUS))) {
        WorldReport world;
        world.file = WorldFileName().value_or(std::string());
        world.status = platform.Text(IDC_WORLD_STATUS);
        world.writable = platform.IsEnabled(IDC_UPDATE_WORLD);
        world.parameters = {dialog.XVectorX(), dialog.XVectorY(),  dialog.YVectorX(),
                            dialog.YVectorY(), dialog.RefPointX(), dialog.RefPointY()};
        for (int k = 0; k < 6; ++k)
            world.shown[k] = platform.Text(WorldFields[k]);
        report.worldFile = world;
    }
    report.error = failure;
    return report;
}

} // namespace kestrel::cli
