// The operating-system seam for the program's standard streams: whether one of them is a
// terminal that a person watches, rather than a file or a pipe that a script reads. A program
// shows what only a person needs (progress, summaries) on a terminal alone. One implementation
// per host (uOsTerminalPosix.cpp, ...).
#pragma once

enum class TuStandardStream { Input, Output, Error };

// True when the stream is connected to a terminal (a console window, a terminal emulator);
// false for a file, a pipe, a device that is none, or a stream that is closed.
bool TuOsIsTerminal(TuStandardStream stream);
