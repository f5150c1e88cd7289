#include "CommandLine.h"

#include <cstddef>
#include <optional>

namespace kestrel::cli {
namespace {

bool LooksLikeOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

bool IsHelp(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

std::optional<CommandKind> CommandNamed(const std::string& name) {
    if (name == "info")
        return CommandKind::Info;
    if (name == "tiff-to-world")
        return CommandKind::TiffToWorld;
    if (name == "world-to-tiff")
        return CommandKind::WorldToTiff;
    if (name == "set-tiff")
        return CommandKind::SetTiff;
    if (name == "set-world")
        return CommandKind::SetWorld;
    return std::nullopt;
}

// info, tiff-to-world, world-to-tiff: options (--json for info, --keep-rotation and
// --replace-control-points for world-to-tiff), then FILE...
ParseResult ParseFileList(Command command, const std::vector<std::string>& arguments,
                          const std::string& name) {
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && IsHelp(argument)) {
            return Command{CommandKind::Help, false, {}, {}};
        } else if (!optionsEnded && argument == "--json" && command.kind == CommandKind::Info) {
            command.json = true;
        } else if (!optionsEnded && argument == "--keep-rotation" &&
                   command.kind == CommandKind::WorldToTiff) {
            command.keepRotation = true;
        } else if (!optionsEnded && argument == "--replace-control-points" &&
                   command.kind == CommandKind::WorldToTiff) {
            command.replaceControlPoints = true;
        } else if (!optionsEnded && LooksLikeOption(argument)) {
            return UsageError{name + ": unknown option '" + argument + "'"};
        } else {
            command.files.push_back(argument);
        }
    }
    if (command.files.empty())
        return UsageError{name + ": no FILE given"};
    return command;
}

// set-tiff FILE --scale SX SY --tie I J X Y (the two groups in either order, FILE anywhere).
ParseResult ParseSetTiff(Command command, const std::vector<std::string>& arguments) {
    bool haveScale = false;
    bool haveTie = false;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::size_t left = arguments.size() - i - 1;
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && IsHelp(argument)) {
            return Command{CommandKind::Help, false, {}, {}};
        } else if (!optionsEnded && argument == "--scale") {
            if (haveScale)
                return UsageError{"set-tiff: --scale given twice"};
            if (left < 2)
                return UsageError{"set-tiff: --scale needs SX SY"};
            command.numbers[0] = arguments[++i];
            command.numbers[1] = arguments[++i];
            haveScale = true;
        } else if (!optionsEnded && argument == "--tie") {
            if (haveTie)
                return UsageError{"set-tiff: --tie given twice"};
            if (left < 4)
                return UsageError{"set-tiff: --tie needs I J X Y"};
            for (int k = 2; k < 6; ++k)
                command.numbers[k] = arguments[++i];
            haveTie = true;
        } else if (!optionsEnded && argument == "--replace-control-points") {
            command.replaceControlPoints = true;
        } else if (!optionsEnded && LooksLikeOption(argument)) {
            return UsageError{"set-tiff: unknown option '" + argument + "'"};
        } else {
            if (!command.files.empty())
                return UsageError{"set-tiff: only one FILE may be given"};
            command.files.push_back(argument);
        }
    }
    if (command.files.empty())
        return UsageError{"set-tiff: no FILE given"};
    if (!haveScale)
        return UsageError{"set-tiff: --scale SX SY is required"};
    if (!haveTie)
        return UsageError{"set-tiff: --tie I J X Y is required"};
    return command;
}

// set-world FILE A D B E C F: exactly seven operands; the numbers may start with "-".
ParseResult ParseSetWorld(Command command, const std::vector<std::string>& arguments) {
    std::size_t first = 1;
    if (first < arguments.size() && IsHelp(arguments[first]))
        return Command{CommandKind::Help, false, {}, {}};
    if (first < arguments.size() && arguments[first] == "--")
        ++first;
    else if (first < arguments.size() && LooksLikeOption(arguments[first]))
        return UsageError{"set-world: unknown option '" + arguments[first] + "'"};
    if (arguments.size() - first != 7)
        return UsageError{"set-world: needs FILE and the six parameters A D B E C F"};
    command.files.push_back(arguments[first]);
    for (int k = 0; k < 6; ++k)
        command.numbers[k] = arguments[first + 1 + k];
    return command;
}

} // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return UsageError{"no command given"};
    const std::string& name = arguments[0];
    if (IsHelp(name))
        return Command{CommandKind::Help, false, {}, {}};
    if (name == "--version")
        return Command{CommandKind::Version, false, {}, {}};
    const std::optional<CommandKind> kind = CommandNamed(name);
    if (!kind) {
        if (LooksLikeOption(name))
            return UsageError{"unknown option '" + name + "'"};
        return UsageError{"unknown command '" + name + "'"};
    }
    Command command;
    command.kind = *kind;
    switch (*kind) {
    case CommandKind::SetTiff:
        return ParseSetTiff(command, arguments);
    case CommandKind::SetWorld:
        return ParseSetWorld(command, arguments);
    default:
        return ParseFileList(command, arguments, name);
    }
}

const char* UsageText() {
    return "Usage: kestrel-cli info [--json] FILE...\n"
           "       kestrel-cli tiff-to-world FILE...\n"
           "       kestrel-cli world-to-tiff [--keep-rotation] [--replace-control-points] "
           "FILE...\n"
           "       kestrel-cli set-tiff [--replace-control-points] FILE --scale SX SY "
           "--tie I J X Y\n"
           "       kestrel-cli set-world FILE A D B E C F\n"
           "       kestrel-cli --help | --version\n";
}

const char* HelpText() {
    // The usage text stands between the summary and the commands.
    static const std::string text =
        std::string(
            "kestrel-cli: examine and edit the georeferencing of TIFF files: the GeoTIFF tags\n"
            "ModelPixelScale and ModelTiepoint (or ModelTransformation) inside the file, and\n"
            "the world file (.tfw, .tifw or .wld) beside it.\n"
            "\n") +
        UsageText() +
        "\n"
        "Commands:\n"
        "  info           show each file's pixel scale, tie point and world file\n"
        "                 (--json: one JSON array with an object per file)\n"
        "  tiff-to-world  derive the world file from the TIFF's tags and write it\n"
        "  world-to-tiff  derive the tags from the world file and write them into the TIFF\n"
        "  set-tiff       write the pixel scale and the tie point into the TIFF's tags\n"
        "  set-world      write the six world file parameters A D B E C F\n"
        "\n"
        "Options:\n"
        "  --keep-rotation           world-to-tiff: store a rotated world file whole, as a\n"
        "                            transformation matrix, instead of an approximation\n"
        "  --replace-control-points  replace the ground control points of a TIFF that has\n"
        "                            them by what is written; without it such an update is\n"
        "                            refused\n"
        "\n"
        "FILE is made absolute, and gets the extension \"tif\" when it has none. The world\n"
        "file is the TIFF's name with the extension \"tfw\", \"tifw\" or \"wld\", the first\n"
        "that exists; a new one gets \"tfw\".\n"
        "\n"
        "Errors are printed as \"CAPTION: MESSAGE\" on standard error; the next file is\n"
        "then processed. Exit status: 0 when every file succeeded, 1 when any failed,\n"
        "2 for a usage error.\n";
    return text.c_str();
}

} // namespace kestrel::cli
