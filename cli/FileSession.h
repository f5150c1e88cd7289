// FileSession: one FILE of the command line, handled by a fresh referencing dialog on a
// console platform reset for it. Each step is what a user would do in the dialog: type the name
// into the file name field and leave it, press an arrow button, type numbers into the fields, press
// an Update button. The session follows each step by the dialog's state (what it found, what the
// command did) and reads back what the dialog then shows.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ConsolePlatform.h"
#include "ReferencingDialog.h"

namespace kestrel::cli {

struct ErrorReport {
    std::optional<int> cause; // the catalogue cause; none for the dialog's plain messages
    std::string caption;
    std::string message;
};

struct TiffReport {
    TiffKind kind = TiffKind::Classic;
    std::string status; // the GeoTiff status line
    bool writable = false;
    std::array<double, 2> pixelScale{};
    std::array<double, 2> tiePixel{};
    std::array<double, 2> tieWorld{};
    std::array<std::string, 6> shown; // SX SY I J X Y as the dialog displays them
    GeoTiffFacts tags;                // raster type, matrix and tie points of the first directory
};

struct WorldReport {
    std::string file;
    std::string name;   // the file's name without its folder
    std::string status; // the World file status line
    bool writable = false;
    std::array<double, 6> parameters{}; // A D B E C F
    std::array<std::string, 6> shown;   // as the dialog displays them
};

struct FileReport {
    std::string file; // the absolute path once taken, else FILE as given
    std::optional<TiffReport> tiff;
    std::optional<WorldReport> worldFile;
    std::optional<ErrorReport> error;
};

class FileSession {
public:
    // Resets the platform to the state of a new one; it is kept from file to file so that its
    // controls keep the room their texts took.
    explicit FileSession(ConsolePlatform& platform);

    // The choices of the command line's flags, for the dialog's commands that follow.
    void SetOptions(const DialogOptions& options) { dialog.SetOptions(options); }

    // Types FILE into the file name field and leaves it. True when the dialog took the name
    // and examined the file without an error.
    [[nodiscard]] bool Take(const std::string& file);
    // "-->" then "Update"/"Write new world file." Refuses a TIFF that is not georeferenced.
    [[nodiscard]] bool TiffToWorld();
    // "<--" then "Update Referencing in TIFF File". Refuses a missing world file.
    [[nodiscard]] bool WorldToTiff();
    // Types SX SY I J X Y into the TIFF side's fields, then updates the TIFF.
    [[nodiscard]] bool SetTiff(const std::array<std::string, 6>& numbers);
    // Types A D B E C F into the world file side's fields, then updates the world file.
    [[nodiscard]] bool SetWorld(const std::array<std::string, 6>& numbers);

    // What the dialog shows now, with the first failure of the session.
    FileReport Report() const;

    // Every message shown so far (errors, refusals and warnings), in order.
    const std::vector<ShownMessage>& Messages() const { return messages; }
    // The message that made the session fail, if it failed.
    const std::optional<ErrorReport>& Failure() const { return failure; }

private:
    // Runs one dialog command and takes what it showed; false when it stopped (a refused
    // entry or an error), whose message is then the session's failure if it has none yet.
    template <class Handler> bool Press(Handler handler);
    [[nodiscard]] bool UpdateTiff();
    [[nodiscard]] bool UpdateWorldFile();
    // Fails with the reason the dialog gives for an unavailable update (the status line where
    // it gives none); true when the update is available.
    [[nodiscard]] bool CheckAvailable(const UpdateAvailability& update, const std::string& status);
    // Records a failure that the dialog itself reports only by its state.
    bool Fail(const std::string& message);
    bool Fail(const TuMessage& message);
    void TakeMessages();
    std::optional<std::string> WorldFileName() const;

    ConsolePlatform& platform;
    ReferencingDialog dialog;
    std::string typedName;
    bool taken = false;
    std::vector<ShownMessage> messages;
    std::optional<ErrorReport> failure;
};

} // namespace kestrel::cli
