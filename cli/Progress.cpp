#include "Progress.h"

#include "CommandLine.h"

#include <cmath>

namespace kestrel::cli {
namespace {

std::string Files(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " file" : " files");
}

} // namespace

std::string SummaryText(std::size_t examined, std::size_t updated, std::size_t failed) {
    return Files(examined) + " examined, " + std::to_string(updated) + " updated, " +
           std::to_string(failed) + " failed";
}

Progress::Progress(std::ostream& err, std::optional<std::size_t> total, SteadyClock clock)
    : err(err), total(total), clock(std::move(clock)), start(this->clock()), lastDrawn(start) {}

void Progress::FileDone() {
    ++done;
    if (done <= ProgressThreshold && !(total && *total > ProgressThreshold)) {
        return;
    }
    const auto now = clock();
    if (now - lastDrawn < ProgressInterval) {
        return;
    }
    lastDrawn = now;
    const std::string line = Line(now);
    // Spaces cover the rest of a longer line drawn before.
    const std::size_t cover = shownWidth > line.size() ? shownWidth - line.size() : 0;
    err << '\r' << line << std::string(cover, ' ') << std::flush;
    shownWidth = line.size() + cover;
}

void Progress::Clear() {
    if (shownWidth == 0) {
        return;
    }
    err << '\r' << std::string(shownWidth, ' ') << '\r' << std::flush;
    shownWidth = 0;
}

std::string Progress::Line(std::chrono::steady_clock::time_point now) const {
    std::string line = std::string(ProgramName) + ": " + std::to_string(done);
    // Files added after the count was made may take the run past it: the total then is gone.
    if (total && done <= *total) {
        line += " of " + std::to_string(*total);
    }
    line += done == 1 && !total ? " file, " : " files, ";
    const double seconds = std::chrono::duration<double>(now - start).count();
    line += std::to_string(std::llround(static_cast<double>(done) / seconds)) + " files/s";
    return line;
}

} // namespace kestrel::cli
