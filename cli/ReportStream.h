// ReportStream: what `info` prints, written file by file as each is done, so that a run over
// any number of files holds none of their reports: the text blocks, one JSON array (--json),
// or one JSON object per line (--jsonl, flushed at once for a consumer that reads as it comes).
#pragma once

#include <cstddef>
#include <ostream>

#include "FileSession.h"

namespace kestrel::cli {

enum class ReportFormat { Text, Json, JsonLines };

class ReportStream {
public:
    // Starts the output: the array's "[" for --json.
    ReportStream(std::ostream& out, ReportFormat format);

    void Write(const FileReport& report);
    // Ends the output: the array's "]" for --json.
    void End();

private:
    std::ostream& out;
    ReportFormat format;
    std::size_t written = 0;
};

} // namespace kestrel::cli
