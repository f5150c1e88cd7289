// The command line of kestrel-cli: which command, its options, its files and its numbers.
// Parsing only checks the shape of the line; the numbers stay text so that the dialog's own
// validation judges them, exactly as if they had been typed into its fields.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kestrel::cli {

enum class CommandKind { Help, Version, Info, TiffToWorld, WorldToTiff, SetTiff, SetWorld };

struct Command {
    CommandKind kind = CommandKind::Help;
    bool json = false;              // info --json
    bool jsonLines = false;         // info --jsonl
    std::vector<std::string> files; // one for set-tiff and set-world
    // info, tiff-to-world, world-to-tiff: folders are walked into their subfolders too
    // (--recursive), more names are read from a list (--files-from FILE, "-" for standard
    // input), separated by new lines or, with -0, by NUL characters.
    bool recursive = false;
    std::optional<std::string> filesFrom;
    char listSeparator = '\n';
    // set-tiff: SX SY I J X Y; set-world: A D B E C F.
    std::array<std::string, 6> numbers;
    bool keepRotation = false;         // world-to-tiff --keep-rotation
    bool replaceControlPoints = false; // world-to-tiff, set-tiff --replace-control-points
};

// A line that does not fit the interface; the message says what is wrong.
struct UsageError {
    std::string message;
};

using ParseResult = std::variant<Command, UsageError>;

// Parses the arguments that follow the program's name.
ParseResult ParseCommandLine(const std::vector<std::string>& arguments);

// The short usage text printed after a usage error, and the full help of --help.
const char* UsageText();
const char* HelpText();

constexpr const char* ProgramName = "kestrel-cli";
constexpr const char* ProgramVersion = "1.01";

} // namespace kestrel::cli
