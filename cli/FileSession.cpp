#include "FileSession.h"

#include "ControlIds.h"
#include "NumberField.h"
#include "WorldFileName.h"
#include "uError.h"
#include "uFileName.h"

namespace kestrel::cli {
namespace {

constexpr int TiffFields[6] = {IDC_X_PIXEL_SCALE, IDC_Y_PIXEL_SCALE, IDC_TIE_PIXEL_X,
                               IDC_TIE_PIXEL_Y,   IDC_TIE_WORLD_X,   IDC_TIE_WORLD_Y};
constexpr int WorldFields[6] = {IDC_X_VECTOR_X, IDC_X_VECTOR_Y,  IDC_Y_VECTOR_X,
                                IDC_Y_VECTOR_Y, IDC_REF_POINT_X, IDC_REF_POINT_Y};

// The last part of a path: what follows its last separator.
std::string NameWithoutFolder(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

ErrorReport ToReport(const ShownMessage& message) {
    return ErrorReport{message.cause, message.caption, message.text};
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
    TakeMessages();
    const CommandOutcome& outcome = dialog.State().lastCommand;
    if (outcome.Stopped() && outcome.message && !failure) {
        failure = ToReport(platform.Describe(*outcome.message));
    }
    return !outcome.Stopped();
}

bool FileSession::Take(const std::string& file) {
    typedName = file;
    std::size_t characters = 0;
    for (unsigned char c : file) {
        characters += (c & 0xC0) != 0x80; // UTF-8: count the lead bytes
    }
    // The dialog drops the characters beyond TypedNameLimit; a longer FILE is refused rather
    // than cut into the name of some other file.
    if (characters > TypedNameLimit) {
        return Fail(LengthMessage(static_cast<int>(TypedNameLimit)));
    }
    platform.Type(IDC_FILE_NAME, file);
    Press([this] { dialog.OnFileNameKillFocus(); });
    // Taken: the name examined to the end without a word, both files' objects there.
    taken = dialog.State().lastCommand.result == CommandResult::Done && dialog.HasTiffFile() &&
            dialog.HasWorldFile();
    if (!taken && !failure) {
        return Fail(TiffStatusLine(dialog.State()));
    }
    return taken;
}

bool FileSession::TiffToWorld() {
    // "-->" from a TIFF without referencing would write a world file of zeros.
    if (!IsGeoreferenced(dialog.State().tiff)) {
        return Fail(TiffStatusLine(dialog.State()));
    }
    return Press([this] { dialog.OnTiffToWorld(); }) && UpdateWorldFile();
}

bool FileSession::WorldToTiff() {
    // "<--" without a world file would write a pixel scale of zero into the TIFF.
    if (dialog.State().worldFile != WorldFileFinding::Exists) {
        return Fail(WorldFileStatusLine(dialog.State()));
    }
    return Press([this] { dialog.OnWorldToTiff(); }) && UpdateTiff();
}

bool FileSession::SetTiff(const std::array<std::string, 6>& numbers) {
    for (int k = 0; k < 6; ++k) {
        platform.Type(TiffFields[k], numbers[k]);
    }
    return UpdateTiff();
}

bool FileSession::SetWorld(const std::array<std::string, 6>& numbers) {
    for (int k = 0; k < 6; ++k) {
        platform.Type(WorldFields[k], numbers[k]);
    }
    return UpdateWorldFile();
}

bool FileSession::UpdateTiff() {
    // An update the dialog has made unavailable (a TIFF it could open for examination only)
    // fails with the reason it gives, before any field is read.
    if (!CheckAvailable(dialog.State().tiffUpdate, TiffStatusLine(dialog.State()))) {
        return false;
    }
    if (!Press([this] { dialog.OnUpdateTiff(); })) {
        return false;
    }
    // The examination after the update reads the tags back: they must now be there.
    if (!dialog.HasTiffFile() || !IsGeoreferenced(dialog.State().tiff)) {
        return Fail(TiffStatusLine(dialog.State()));
    }
    return true;
}

bool FileSession::UpdateWorldFile() {
    // A world file that exists but may not be written: the dialog makes its update unavailable.
    if (!CheckAvailable(dialog.State().worldFileUpdate, WorldFileStatusLine(dialog.State()))) {
        return false;
    }
    if (!Press([this] { dialog.OnUpdateWorldFile(); })) {
        return false;
    }
    // The examination after the write reads the world file back: it must now exist.
    if (dialog.State().worldFile != WorldFileFinding::Exists) {
        return Fail(WorldFileStatusLine(dialog.State()));
    }
    return true;
}

bool FileSession::CheckAvailable(const UpdateAvailability& update, const std::string& status) {
    if (update.available) {
        return true;
    }
    return update.refusal ? Fail(*update.refusal) : Fail(status);
}

bool FileSession::Fail(const std::string& message) {
    return Fail(PlainMessage(message));
}

bool FileSession::Fail(const TuMessage& message) {
    const ShownMessage shown = platform.Describe(message);
    messages.push_back(shown);
    if (!failure) {
        failure = ToReport(shown);
    }
    return false;
}

void FileSession::TakeMessages() {
    const std::vector<ShownMessage>& shown = platform.Messages();
    messages.insert(messages.end(), shown.begin(), shown.end());
    platform.ClearLog();
}

std::optional<std::string> FileSession::WorldFileName() const {
    if (!dialog.WorldFileName().empty()) {
        return dialog.WorldFileName();
    }
    // The examination stopped before it named the world file.
    try {
        const TuFileName name(dialog.FileName().c_str());
        return std::string(FindWorldFileName(name).GetNarrow());
    } catch (const TuError&) {
        return std::nullopt;
    }
}

FileReport FileSession::Report() const {
    const ReferencingState& state = dialog.State();
    FileReport report;
    report.file = dialog.FileName().empty() ? typedName : dialog.FileName();
    if (SideWasRead(state.tiff)) {
        TiffReport tiff;
        tiff.kind = state.tiffKind;
        tiff.status = TiffStatusLine(state);
        tiff.writable = state.tiffUpdate.available;
        tiff.pixelScale = {dialog.XPixelScale(), dialog.YPixelScale()};
        tiff.tiePixel = {dialog.TiePixelX(), dialog.TiePixelY()};
        tiff.tieWorld = {dialog.TieWorldX(), dialog.TieWorldY()};
        tiff.tags = state.tiffTags;
        for (int k = 0; k < 6; ++k) {
            tiff.shown[k] = platform.Text(TiffFields[k]);
        }
        report.tiff = tiff;
    }
    if (SideWasRead(state.worldFile)) {
        WorldReport world;
        world.file = WorldFileName().value_or(std::string());
        world.name = NameWithoutFolder(world.file);
        world.status = WorldFileStatusLine(state);
        world.writable = state.worldFileUpdate.available;
        world.parameters = {dialog.XVectorX(), dialog.XVectorY(),  dialog.YVectorX(),
                            dialog.YVectorY(), dialog.RefPointX(), dialog.RefPointY()};
        for (int k = 0; k < 6; ++k) {
            world.shown[k] = platform.Text(WorldFields[k]);
        }
        report.worldFile = world;
    }
    report.error = failure;
    return report;
}

} // namespace kestrel::cli
