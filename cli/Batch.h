// Batch: info, tiff-to-world and world-to-tiff over the files of a command line: its FILE
// arguments, the folders among them walked, and the names of --files-from. Each file is handled
// by its own FileSession and its result written before the next is taken, so that memory stays
// the same however many files there are. On a terminal, standard error shows the progress over
// many files and a summary at the end.
#pragma once

#include <cstddef>
#include <fstream>
#include <memory>
#include <optional>

#include "CommandLine.h"
#include "ConsolePlatform.h"
#include "FileSource.h"
#include "Progress.h"
#include "ReportStream.h"
#include "RunCli.h"

namespace kestrel::cli {

class Batch {
public:
    Batch(const Command& command, const CliStreams& streams);

    // Handles every file; returns the exit status, 0 when every file succeeded, else 1.
    int Run();

private:
    // Opens the list of --files-from; false, with the reason printed, when it cannot be read.
    [[nodiscard]] bool OpenList();
    // Shows progress when standard error is a terminal and the report does not go to it.
    void StartProgress();
    void HandleFile(const std::string& file);
    void HandleUnreadable(const WalkItem& folder);
    // Prints one line on standard error, clearing the progress line first.
    void PrintError(const std::string& line);
    void Counted(bool succeeded, bool wasUpdated);
    bool WantsSummary(const FileSource& source) const;

    const Command& command;
    const CliStreams& streams;
    ConsolePlatform platform;
    std::optional<ReportStream> report; // info only
    std::optional<Progress> progress;
    std::unique_ptr<std::ifstream> listFile;
    std::optional<NameList> list;
    std::size_t examined = 0;
    std::size_t updated = 0;
    std::size_t failed = 0;
};

} // namespace kestrel::cli
