// The operating-system seam for the process's standard output and standard error: streams of
// narrow text (uText.h) that reach the user as written. A console shows the characters
// themselves, in any script, whatever its code page; a file or a pipe receives the narrow
// bytes unchanged, lines ending in LF as they were written, so that a script reads the same
// bytes on every host. One implementation per host (uOsConsolePosix.cpp, ...).
#pragma once

#include <ostream>

std::ostream& TuStandardOutput();
// Unbuffered: every message reaches the user at once.
std::ostream& TuStandardError();
