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
    if (name == "info") {
        return CommandKind::Info;
    }
    if (name == "tiff-to-world") {
        return CommandKind::TiffToWorld;
    }
    if (name == "world-to-tiff") {
        return CommandKind::WorldToTiff;
    }
    if (name == "set-tiff") {
        return CommandKind::SetTiff;
    }
    if (name == "set-world") {
        return CommandKind::SetWorld;
    }
    return std::nullopt;
}

Command Only(CommandKind kind) {
    Command command;
    command.kind = kind;
    return command;
}

// The value of an option given as "--name VALUE" or "--name=VALUE"; none when argument is not
// that option. At the end of the line, or before "--", the value is missing: empty then.
std::optional<std::string> OptionValue(const std::vector<std::string>& arguments, std::size_t& i,
                                       const std::string& name) {
    const std::string& argument = arguments[i];
    if (argument.rfind(name + "=", 0) == 0) {
        return argument.substr(name.size() + 1);
    }
    if (argument != name) {
        return std::nullopt;
    }
    if (i + 1 == arguments.size() || arguments[i + 1] == "--") {
        return std::string();
    }
    return arguments[++i];
}

// info, tiff-to-world, world-to-tiff: options (--json and --jsonl for info, --keep-rotation
// and --replace-control-points for world-to-tiff), then FILE...
ParseResult ParseFileList(Command command, const std::vector<std::string>& arguments,
                          const std::string& name) {
    const bool isInfo = command.kind == CommandKind::Info;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || !LooksLikeOption(argument)) {
            command.files.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (IsHelp(argument)) {
            return Only(CommandKind::Help);
        } else if (argument == "--json" && isInfo) {
            command.json = true;
        } else if (argument == "--jsonl" && isInfo) {
            command.jsonLines = true;
        } else if (argument == "--keep-rotation" && command.kind == CommandKind::WorldToTiff) {
            command.keepRotation = true;
        } else if (argument == "--replace-control-points" &&
                   command.kind == CommandKind::WorldToTiff) {
            command.replaceControlPoints = true;
        } else if (argument == "--recursive" || argument == "-r") {
            command.recursive = true;
        } else if (argument == "-0" || argument == "--null") {
            command.listSeparator = '\0';
        } else if (std::optional<std::string> list = OptionValue(arguments, i, "--files-from")) {
            if (command.filesFrom) {
                return UsageError{name + ": --files-from given twice"};
            }
            if (list->empty()) {
                return UsageError{name + ": --files-from needs FILE (- for standard input)"};
            }
            command.filesFrom = *list;
        } else {
            return UsageError{name + ": unknown option '" + argument + "'"};
        }
    }
    if (command.json && command.jsonLines) {
        return UsageError{name + ": --json and --jsonl cannot be used together"};
    }
    if (command.listSeparator == '\0' && !command.filesFrom) {
        return UsageError{name + ": -0 needs --files-from"};
    }
    if (command.files.empty() && !command.filesFrom) {
        return UsageError{name + ": no FILE given"};
    }
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
            return Only(CommandKind::Help);
        } else if (!optionsEnded && argument == "--scale") {
            if (haveScale) {
                return UsageError{"set-tiff: --scale given twice"};
            }
            if (left < 2) {
                return UsageError{"set-tiff: --scale needs SX SY"};
            }
            command.numbers[0] = arguments[++i];
            command.numbers[1] = arguments[++i];
            haveScale = true;
        } else if (!optionsEnded && argument == "--tie") {
            if (haveTie) {
                return UsageError{"set-tiff: --tie given twice"};
            }
            if (left < 4) {
                return UsageError{"set-tiff: --tie needs I J X Y"};
            }
            for (int k = 2; k < 6; ++k) {
                command.numbers[k] = arguments[++i];
            }
            haveTie = true;
        } else if (!optionsEnded && argument == "--replace-control-points") {
            command.replaceControlPoints = true;
        } else if (!optionsEnded && LooksLikeOption(argument)) {
            return UsageError{"set-tiff: unknown option '" + argument + "'"};
        } else {
            if (!command.files.empty()) {
                return UsageError{"set-tiff: only one FILE may be given"};
            }
            command.files.push_back(argument);
        }
    }
    if (command.files.empty()) {
        return UsageError{"set-tiff: no FILE given"};
    }
    if (!haveScale) {
        return UsageError{"set-tiff: --scale SX SY is required"};
    }
    if (!haveTie) {
        return UsageError{"set-tiff: --tie I J X Y is required"};
    }
    return command;
}

// set-world FILE A D B E C F: exactly seven operands; the numbers may start with "-".
ParseResult ParseSetWorld(Command command, const std::vector<std::string>& arguments) {
    std::size_t first = 1;
    if (first < arguments.size() && IsHelp(arguments[first])) {
        return Only(CommandKind::Help);
    }
    if (first < arguments.size() && arguments[first] == "--") {
        ++first;
    } else if (first < arguments.size() && LooksLikeOption(arguments[first])) {
        return UsageError{"set-world: unknown option '" + arguments[first] + "'"};
    }
    if (arguments.size() - first != 7) {
        return UsageError{"set-world: needs FILE and the six parameters A D B E C F"};
    }
    command.files.push_back(arguments[first]);
    for (int k = 0; k < 6; ++k) {
        command.numbers[k] = arguments[first + 1 + k];
    }
    return command;
}

} // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return UsageError{"no command given"};
    }
    const std::string& name = arguments[0];
    if (IsHelp(name)) {
        return Only(CommandKind::Help);
    }
    if (name == "--version") {
        return Only(CommandKind::Version);
    }
    const std::optional<CommandKind> kind = CommandNamed(name);
    if (!kind) {
        if (LooksLikeOption(name)) {
            return UsageError{"unknown option '" + name + "'"};
        }
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
    return "Usage: kestrel-cli info [--json | --jsonl] [LIST OPTIONS] FILE...\n"
           "       kestrel-cli tiff-to-world [LIST OPTIONS] FILE...\n"
           "       kestrel-cli world-to-tiff [--keep-rotation] [--replace-control-points]\n"
           "                                 [LIST OPTIONS] FILE...\n"
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
        "                 (--json: one JSON array with an object per file;\n"
        "                 --jsonl: one JSON object per line, as each file is done)\n"
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
        "FILE is made absolute, and gets the extension \"tif\" when it has none (\"TIF\"\n"
        "where only that file exists). The world file is the TIFF's name with the\n"
        "extension \"tfw\", \"tifw\" or \"wld\", the first that exists; a new one gets\n"
        "\"tfw\".\n"
        "\n"
        "A FILE that names a folder (and does not end in .tif or .tiff) stands for the\n"
        "*.tif and *.tiff files in it, in either case, in the sorted order of their paths.\n"
        "\n"
        "LIST OPTIONS:\n"
        "  -r, --recursive      walk the folders' subfolders too (never through a link)\n"
        "  --files-from LIST    read more FILEs from LIST, one per line (- for standard input)\n"
        "  -0, --null           the names in LIST end with NUL characters (find -print0)\n"
        "\n"
        "Errors are printed as \"CAPTION: MESSAGE\" on standard error; the next file is\n"
        "then processed. On a terminal, standard error also shows the progress over many\n"
        "files and a summary at the end. Exit status: 0 when every file succeeded, 1 when\n"
        "any failed, 2 for a usage error.\n";
    return text.c_str();
}

} // namespace kestrel::cli
