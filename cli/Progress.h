// Progress: one line on a terminal's standard error that tells how far a batch has come:
// files done, the total when it is known, and the rate. It appears only for more than
// ProgressThreshold files, and is redrawn at most every ProgressInterval, so that a quick run
// shows nothing and a long one costs a write a tenth of a second. Whoever writes to the same
// terminal clears the line first; it comes back at the next redraw.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace kestrel::cli {

using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

constexpr std::size_t ProgressThreshold = 200;
constexpr std::chrono::milliseconds ProgressInterval{100};

// "3 files examined, 2 updated, 1 failed": the summary at the end of a batch.
std::string SummaryText(std::size_t examined, std::size_t updated, std::size_t failed);

class Progress {
public:
    // err: a terminal; total: the number of files when it is known before they are done.
    Progress(std::ostream& err, std::optional<std::size_t> total, SteadyClock clock);

    // One more file done; redraws the line when it is due.
    void FileDone();
    // Erases the line, if it shows.
    void Clear();

private:
    std::string Line(std::chrono::steady_clock::time_point now) const;

    std::ostream& err;
    std::optional<std::size_t> total;
    SteadyClock clock;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point lastDrawn;
    std::size_t done = 0;
    std::size_t shownWidth = 0; // the characters the line takes on the terminal; 0: none shown
};

} // namespace kestrel::cli
