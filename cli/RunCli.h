// kestrel-cli as a function: main calls it with the real streams, tests with string streams.
#pragma once

#include <iosfwd>

namespace kestrel::cli {

// Runs the command line; returns the exit status: 0 when every file succeeded, 1 when any
// failed, 2 for a usage error.
int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace kestrel::cli
