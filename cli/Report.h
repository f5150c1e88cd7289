// How kestrel-cli prints what it found: the text block of `info`, the JSON object of
// `info --json`, and the lines of standard error.
#pragma once

#include <string>

#include "ConsolePlatform.h"
#include "FileSession.h"

namespace kestrel::cli {

// The text block for one file, numbers as the dialog displays them; only the parts that
// the examination reached.
std::string FormatText(const FileReport& report);

// The JSON object for one file:
// {"file": ..., "tiff": {...} or null, "worldFile": {...} or null, "error": {...} or null}
std::string FormatJson(const FileReport& report);

// One line of standard error: "CAPTION: MESSAGE" for a catalogue error; the dialog's own
// messages, which do not name the file, as "CAPTION: FILE: MESSAGE".
std::string FormatMessage(const ShownMessage& message, const std::string& file);

} // namespace kestrel::cli
