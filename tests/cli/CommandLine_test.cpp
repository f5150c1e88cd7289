#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

using namespace kestrel::cli;

namespace {

Command Parsed(const std::vector<std::string>& arguments) {
    const ParseResult result = ParseCommandLine(arguments);
    const UsageError* usage = std::get_if<UsageError>(&result);
    EXPECT_EQ(usage, nullptr) << usage->message;
    return usage ? Command{} : std::get<Command>(result);
}

std::string Refused(const std::vector<std::string>& arguments) {
    const ParseResult result = ParseCommandLine(arguments);
    const UsageError* usage = std::get_if<UsageError>(&result);
    EXPECT_NE(usage, nullptr);
    return usage ? usage->message : std::string();
}

} // namespace

TEST(command_line_test, help_and_version) {
    EXPECT_EQ(Parsed({"--help"}).kind, CommandKind::Help);
    EXPECT_EQ(Parsed({"-h"}).kind, CommandKind::Help);
    EXPECT_EQ(Parsed({"--version"}).kind, CommandKind::Version);
    EXPECT_EQ(Parsed({"info", "--help"}).kind, CommandKind::Help);
    EXPECT_EQ(Parsed({"set-world", "--help"}).kind, CommandKind::Help);
}

TEST(command_line_test, no_or_unknown_command) {
    EXPECT_EQ(Refused({}), "no command given");
    EXPECT_EQ(Refused({"examine", "a.tif"}), "unknown command 'examine'");
    EXPECT_EQ(Refused({"--json", "a.tif"}), "unknown option '--json'");
    EXPECT_EQ(Refused({"INFO", "a.tif"}), "unknown command 'INFO'");
}

TEST(command_line_test, info_takes_json_anywhere_before_the_files_end) {
    Command command = Parsed({"info", "a.tif", "--json", "b"});
    EXPECT_EQ(command.kind, CommandKind::Info);
    EXPECT_TRUE(command.json);
    EXPECT_EQ(command.files, (std::vector<std::string>{"a.tif", "b"}));

    command = Parsed({"info", "a.tif"});
    EXPECT_FALSE(command.json);

    // After "--" everything is a file, even a name that looks like an option.
    command = Parsed({"info", "--", "--json", "-x.tif"});
    EXPECT_FALSE(command.json);
    EXPECT_EQ(command.files, (std::vector<std::string>{"--json", "-x.tif"}));

    // A lone "-" is a file name, not an option.
    EXPECT_EQ(Parsed({"info", "-"}).files, (std::vector<std::string>{"-"}));
}

TEST(command_line_test, file_lists_need_a_file_and_known_options) {
    EXPECT_EQ(Refused({"info"}), "info: no FILE given");
    EXPECT_EQ(Refused({"info", "--json"}), "info: no FILE given");
    EXPECT_EQ(Refused({"info", "--jsn", "a.tif"}), "info: unknown option '--jsn'");
    // --json belongs to info only.
    EXPECT_EQ(Refused({"tiff-to-world", "--json", "a.tif"}),
              "tiff-to-world: unknown option '--json'");
    EXPECT_EQ(Refused({"world-to-tiff"}), "world-to-tiff: no FILE given");
    EXPECT_EQ(Parsed({"world-to-tiff", "a", "b", "c"}).files.size(), 3u);
    EXPECT_EQ(Parsed({"tiff-to-world", "a"}).kind, CommandKind::TiffToWorld);
}

TEST(command_line_test, file_lists_take_folders_lists_and_json_lines) {
    Command command = Parsed({"info", "-r", "maps", "--jsonl", "--files-from", "-", "-0"});
    EXPECT_TRUE(command.recursive);
    EXPECT_TRUE(command.jsonLines);
    EXPECT_FALSE(command.json);
    EXPECT_EQ(command.filesFrom, "-");
    EXPECT_EQ(command.listSeparator, '\0');
    EXPECT_EQ(command.files, std::vector<std::string>{"maps"});

    // A list alone is enough; its name may follow "=", and may look like an option.
    command = Parsed({"world-to-tiff", "--files-from=list.txt", "--recursive"});
    EXPECT_TRUE(command.files.empty());
    EXPECT_EQ(command.filesFrom, "list.txt");
    EXPECT_EQ(command.listSeparator, '\n');
    EXPECT_TRUE(command.recursive);
    EXPECT_EQ(Parsed({"tiff-to-world", "--files-from", "--json", "--null"}).filesFrom, "--json");
    EXPECT_FALSE(Parsed({"info", "a.tif"}).filesFrom);
    EXPECT_FALSE(Parsed({"info", "a.tif"}).recursive);
    // After "--" the options are names.
    EXPECT_EQ(Parsed({"info", "--", "-r", "-0"}).files, (std::vector<std::string>{"-r", "-0"}));
}

TEST(command_line_test, file_lists_refuse_options_that_do_not_fit) {
    EXPECT_EQ(Refused({"info", "--json", "--jsonl", "a"}),
              "info: --json and --jsonl cannot be used together");
    EXPECT_EQ(Refused({"tiff-to-world", "--jsonl", "a"}),
              "tiff-to-world: unknown option '--jsonl'");
    EXPECT_EQ(Refused({"info", "-0", "a"}), "info: -0 needs --files-from");
    EXPECT_EQ(Refused({"info", "--files-from", "a", "--files-from=b"}),
              "info: --files-from given twice");
    EXPECT_EQ(Refused({"info", "--files-from"}),
              "info: --files-from needs FILE (- for standard input)");
    EXPECT_EQ(Refused({"info", "--files-from", "--", "a"}),
              "info: --files-from needs FILE (- for standard input)");
    EXPECT_EQ(Refused({"info", "--files-from="}),
              "info: --files-from needs FILE (- for standard input)");
    EXPECT_EQ(Refused({"info", "-r"}), "info: no FILE given");
    // Only the commands that take many files take the list options.
    EXPECT_EQ(Refused({"set-tiff", "a", "-r", "--scale", "1", "1", "--tie", "0", "0", "0", "0"}),
              "set-tiff: unknown option '-r'");
}

TEST(command_line_test, set_tiff_groups_in_either_order_with_negative_numbers) {
    Command command =
        Parsed({"set-tiff", "a.tif", "--scale", "2", "-2", "--tie", "0", "-0.5", "-100", "500"});
    EXPECT_EQ(command.kind, CommandKind::SetTiff);
    EXPECT_EQ(command.files, (std::vector<std::string>{"a.tif"}));
    EXPECT_EQ(command.numbers, (std::array<std::string, 6>{"2", "-2", "0", "-0.5", "-100", "500"}));

    command = Parsed({"set-tiff", "--tie", "1", "2", "3", "4", "--scale", "5", "6", "a.tif"});
    EXPECT_EQ(command.numbers, (std::array<std::string, 6>{"5", "6", "1", "2", "3", "4"}));
    EXPECT_EQ(command.files, (std::vector<std::string>{"a.tif"}));

    // Numbers are not judged here: the dialog's fields do that.
    command = Parsed({"set-tiff", "a", "--scale", "x", "", "--tie", "1", "2", "3", "4"});
    EXPECT_EQ(command.numbers[0], "x");
    EXPECT_EQ(command.numbers[1], "");
}

TEST(command_line_test, set_tiff_refuses_incomplete_lines) {
    EXPECT_EQ(Refused({"set-tiff", "a", "--scale", "1", "2"}),
              "set-tiff: --tie I J X Y is required");
    EXPECT_EQ(Refused({"set-tiff", "a", "--tie", "1", "2", "3", "4"}),
              "set-tiff: --scale SX SY is required");
    EXPECT_EQ(Refused({"set-tiff", "--scale", "1", "2", "--tie", "1", "2", "3", "4"}),
              "set-tiff: no FILE given");
    EXPECT_EQ(Refused({"set-tiff", "a", "--tie", "1", "2", "3", "4", "--scale", "1"}),
              "set-tiff: --scale needs SX SY");
    EXPECT_EQ(Refused({"set-tiff", "a", "--scale", "1", "2", "--tie", "1", "2", "3"}),
              "set-tiff: --tie needs I J X Y");
    EXPECT_EQ(Refused({"set-tiff", "a", "b", "--scale", "1", "2", "--tie", "1", "2", "3", "4"}),
              "set-tiff: only one FILE may be given");
    EXPECT_EQ(Refused({"set-tiff", "a", "--scale", "1", "2", "--scale", "1", "2"}),
              "set-tiff: --scale given twice");
    EXPECT_EQ(Refused({"set-tiff", "a", "--json"}), "set-tiff: unknown option '--json'");
}

TEST(command_line_test, set_world_takes_exactly_seven_operands) {
    Command command = Parsed({"set-world", "a.tif", "2", "0", "0", "-2", "101", "-499"});
    EXPECT_EQ(command.kind, CommandKind::SetWorld);
    EXPECT_EQ(command.files, (std::vector<std::string>{"a.tif"}));
    EXPECT_EQ(command.numbers, (std::array<std::string, 6>{"2", "0", "0", "-2", "101", "-499"}));

    command = Parsed({"set-world", "--", "-odd.tif", "1", "2", "3", "4", "5", "6"});
    EXPECT_EQ(command.files, (std::vector<std::string>{"-odd.tif"}));

    const std::string message = "set-world: needs FILE and the six parameters A D B E C F";
    EXPECT_EQ(Refused({"set-world", "a.tif", "1", "2", "3", "4", "5"}), message);
    EXPECT_EQ(Refused({"set-world", "a.tif", "1", "2", "3", "4", "5", "6", "7"}), message);
    EXPECT_EQ(Refused({"set-world"}), message);
    EXPECT_EQ(Refused({"set-world", "-a.tif", "1", "2", "3", "4", "5", "6"}),
              "set-world: unknown option '-a.tif'");
}

TEST(command_line_test, flags_that_confirm_what_an_update_replaces) {
    Command command =
        Parsed({"world-to-tiff", "a.tif", "--keep-rotation", "--replace-control-points", "b"});
    EXPECT_TRUE(command.keepRotation);
    EXPECT_TRUE(command.replaceControlPoints);
    EXPECT_EQ(command.files, (std::vector<std::string>{"a.tif", "b"}));
    command = Parsed({"world-to-tiff", "a.tif"});
    EXPECT_FALSE(command.keepRotation);
    EXPECT_FALSE(command.replaceControlPoints);

    command = Parsed({"set-tiff", "--replace-control-points", "a", "--scale", "1", "2", "--tie",
                      "0", "0", "3", "4"});
    EXPECT_TRUE(command.replaceControlPoints);
    EXPECT_FALSE(command.keepRotation);
    EXPECT_FALSE(Parsed({"set-tiff", "a", "--scale", "1", "2", "--tie", "0", "0", "3", "4"})
                     .replaceControlPoints);

    // Each belongs to the commands that write tags.
    EXPECT_EQ(Refused({"set-tiff", "a", "--keep-rotation"}),
              "set-tiff: unknown option '--keep-rotation'");
    EXPECT_EQ(Refused({"tiff-to-world", "--replace-control-points", "a"}),
              "tiff-to-world: unknown option '--replace-control-points'");
    EXPECT_EQ(Refused({"info", "--keep-rotation", "a"}), "info: unknown option '--keep-rotation'");
}
