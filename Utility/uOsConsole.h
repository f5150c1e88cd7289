// The operating-system seam for the process's standard streams, as streams of narrow text
// (uText.h). Standard input gives the bytes of a file or a pipe unchanged (no line end
// translated, no byte taken for an end of file), and what is typed at a console as narrow text.
// A console shows what standard output and standard error are given as the characters
// themselves, in any script, whatever its code page; a file or a pipe receives the narrow bytes
// unchanged, lines ending in LF as written, so that a script reads the same bytes on every
// host. One implementation per host (uOsConsolePosix.cpp, ...).
#pragma once

#include <istream>
#include <ostream>

std::istream& TuStandardInput();

std::ostream& TuStandardOutput();
// Unbuffered: every message reaches the user at once, after what standard output holds.
std::ostream& TuStandardError();
