// A scratch folder for one fuzzing process: each input is written to a file in it, so that
// the code under test meets a real file, as it does in use. The folder is removed at exit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The folder (made on first use under /dev/shm, or /tmp where there is none).
const std::string& ScratchFolder();

// Writes the bytes to a file of the scratch folder and returns its path.
std::string WriteScratchFile(const char* name, const std::uint8_t* data, std::size_t size);

// Reads a whole file; an unreadable file gives an empty vector.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

// Stops the process with a message: a finding of the fuzz target itself (not a sanitizer's).
[[noreturn]] void FuzzFinding(const char* what);
