// kestrel-cli as a function: main calls it with the real streams, tests with string streams.
#pragma once

#include <iosfwd>

#include "Progress.h"

namespace kestrel::cli {

// The standard streams, and what main knows of them: whether standard output and standard error
// are terminals a person watches (progress and the summary are shown there only), and the
// clock that times the progress.
struct CliStreams {
    std::istream& in; // the names of --files-from -
    std::ostream& out;
    std::ostream& err;
    bool outIsTerminal = false;
    bool errIsTerminal = false;
    SteadyClock clock = std::chrono::steady_clock::now;
};

// Runs the command line; returns the exit status: 0 when every file succeeded, 1 when any
// failed, 2 for a usage error.
int RunCli(int argc, char** argv, const CliStreams& streams);
// The same for the process itself: out and err are its standard output and error, names of
// --files-from - come from its standard input, and the seam tells which are terminals.
int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace kestrel::cli
