#include "Batch.h"

#include <filesystem>

#include "InputFailure.h"
#include "Report.h"
#include "Utf8Path.h"

namespace kestrel::cli {
namespace {

bool WritesFiles(CommandKind kind) {
    return kind != CommandKind::Info;
}

// Folders and lists stand for many files; set-tiff and set-world take one FILE as it is.
bool TakesMany(CommandKind kind) {
    return kind == CommandKind::Info || kind == CommandKind::TiffToWorld ||
           kind == CommandKind::WorldToTiff;
}

ReportFormat FormatOf(const Command& command) {
    if (command.json) {
        return ReportFormat::Json;
    }
    return command.jsonLines ? ReportFormat::JsonLines : ReportFormat::Text;
}

// What the command does to a file, after the dialog has taken its name.
bool RunOnFile(const Command& command, const std::string& file, FileSession& session) {
    if (!session.Take(file)) {
        return false;
    }
    switch (command.kind) {
    case CommandKind::TiffToWorld:
        return session.TiffToWorld();
    case CommandKind::WorldToTiff:
        return session.WorldToTiff();
    case CommandKind::SetTiff:
        return session.SetTiff(command.numbers);
    case CommandKind::SetWorld:
        return session.SetWorld(command.numbers);
    default:
        return true;
    }
}

} // namespace

Batch::Batch(const Command& command, const CliStreams& streams)
    : command(command), streams(streams), platform(ProgramName) {}

int Batch::Run() {
    if (command.filesFrom && !OpenList()) {
        return 1;
    }
    if (command.kind == CommandKind::Info) {
        report.emplace(streams.out, FormatOf(command));
    }
    StartProgress();
    FileSource source(command.files, command.recursive, list ? &*list : nullptr,
                      TakesMany(command.kind));
    while (std::optional<WalkItem> item = source.Next()) {
        if (item->error) {
            HandleUnreadable(*item);
        } else {
            HandleFile(item->path);
        }
        // Output that can no longer be written ends the run (RunCli reports it).
        if (!streams.out) {
            break;
        }
    }
    if (list && list->Failed()) {
        const InputFailure failure = DescribeReadFailure(*command.filesFrom);
        PrintError(FormatMessage(platform.Describe(failure.message), failure.name));
        ++failed;
    }
    if (report) {
        report->End();
    }
    if (progress) {
        progress->Clear();
    }
    if (WantsSummary(source)) {
        streams.err << ProgramName << ": " << SummaryText(examined, updated, failed) << '\n';
    }
    return failed > 0 ? 1 : 0;
}

void Batch::StartProgress() {
    // The progress line would break into a report that goes to the same terminal.
    const bool reportOnTerminal = report && streams.outIsTerminal;
    if (!streams.errIsTerminal || reportOnTerminal || !TakesMany(command.kind)) {
        return;
    }
    // The total is known when no list is read: the folders are walked once to count.
    std::optional<std::size_t> total;
    if (!command.filesFrom) {
        total = CountFiles(command.files, command.recursive);
    }
    progress.emplace(streams.err, total, streams.clock);
}

bool Batch::OpenList() {
    const std::string& name = *command.filesFrom;
    if (name == "-") {
        list.emplace(streams.in, command.listSeparator);
        return true;
    }
    // A folder opens as a stream on some hosts and fails only when read: it is refused first.
    std::error_code error;
    const auto status = std::filesystem::status(PathFromUtf8(name), error);
    if (!error && std::filesystem::is_directory(status)) {
        error = std::make_error_code(std::errc::is_a_directory);
    }
    if (!error) {
        listFile = std::make_unique<std::ifstream>(PathFromUtf8(name), std::ios::binary);
        if (!*listFile) {
            error = std::make_error_code(std::errc::permission_denied);
        }
    }
    if (error) {
        const InputFailure failure = DescribeInputFailure(name, error);
        PrintError(FormatMessage(platform.Describe(failure.message), failure.name));
        return false;
    }
    list.emplace(*listFile, command.listSeparator);
    return true;
}

void Batch::HandleFile(const std::string& file) {
    FileSession session(platform);
    session.SetOptions({command.keepRotation, command.replaceControlPoints});
    const bool succeeded = RunOnFile(command, file, session);
    for (const ShownMessage& message : session.Messages()) {
        PrintError(FormatMessage(message, file));
    }
    if (report) {
        report->Write(session.Report());
    }
    Counted(succeeded, succeeded && WritesFiles(command.kind));
}

void Batch::HandleUnreadable(const WalkItem& folder) {
    const InputFailure failure = DescribeInputFailure(folder.path, folder.error);
    const ShownMessage shown = platform.Describe(failure.message);
    PrintError(FormatMessage(shown, failure.name));
    if (report) {
        FileReport unread;
        unread.file = failure.name;
        unread.error = ErrorReport{shown.cause, shown.caption, shown.text};
        report->Write(unread);
    }
    Counted(false, false);
}

void Batch::PrintError(const std::string& line) {
    if (progress) {
        progress->Clear();
    }
    streams.err << line << '\n';
}

void Batch::Counted(bool succeeded, bool wasUpdated) {
    ++examined;
    failed += succeeded ? 0 : 1;
    updated += wasUpdated ? 1 : 0;
    if (progress) {
        progress->FileDone();
    }
}

// Only a person at a terminal reads the summary; a single FILE's outcome is plain without it.
bool Batch::WantsSummary(const FileSource& source) const {
    return streams.errIsTerminal && TakesMany(command.kind) &&
           (command.files.size() > 1 || command.filesFrom || source.SawFolder());
}

} // namespace kestrel::cli
