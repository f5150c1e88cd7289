// kestrel-cli over many files, run in the test's process with string streams: what standard
// error shows on a terminal (progress, summary) and off one, names read from standard input,
// and inputs of its own that cannot be read.
#include "RunCli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "InputFailure.h"
#include "TemporaryFolder.h"
#include "uCauses.h"

using namespace kestrel::cli;
namespace fs = std::filesystem;

namespace {

const fs::path Fixture = fs::path(KESTREL_TEST_DATA) / "geotiff_le_striped.tif";

// A scratch folder whose paths are short enough for messages to name them whole, with the
// host's separator; its paths as the program's narrow text.
class ScratchFolder {
public:
    ScratchFolder() : path(PathOf(MakeTemporaryFolder("kbatch"))) {}
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path operator/(const std::string& name) const { return (path / name).make_preferred(); }
    const fs::path& Path() const { return path; }

private:
    fs::path path;
};

std::string Text(const fs::path& path) {
    return NarrowPath(path);
}

// A name inside a folder given as text, joined as the program joins them.
std::string Inside(const std::string& folder, const std::string& name) {
    return folder + TestPathSeparator + name;
}

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

struct Terminals {
    bool out = false;
    bool err = false;
};

// A clock that moves one second each time it is read.
SteadyClock Ticking() {
    auto now = std::make_shared<std::chrono::steady_clock::time_point>();
    return [now] { return *now += std::chrono::seconds(1); };
}

CliRun Cli(std::vector<std::string> arguments, Terminals terminals = {}, const std::string& in = "",
           SteadyClock clock = std::chrono::steady_clock::now) {
    arguments.insert(arguments.begin(), "kestrel-cli");
    std::vector<char*> argv;
    argv.reserve(arguments.size());
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    std::istringstream input(in);
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = RunCli(static_cast<int>(argv.size()), argv.data(),
                        {input, out, err, terminals.out, terminals.err, std::move(clock)});
    run.out = out.str();
    run.err = err.str();
    return run;
}

// count copies of the fixture in folder / sub, named 000.tif, 001.tif, ...
void Sheets(const fs::path& folder, int count) {
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%03d.tif", i);
        fs::copy_file(Fixture, folder / name);
    }
}

// The "file" of each report, one per line, from --json or --jsonl.
std::string FileLines(const std::string& json) {
    std::istringstream lines(json);
    std::string files;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t start = line.find("{\"file\": \"");
        if (start == 0 || start == 2) {
            // The name up to its closing quote, its escaped backslashes unescaped.
            for (std::size_t at = start + 10; at < line.size() && line[at] != '"'; ++at) {
                files += line[at] == '\\' ? line[++at] : line[at];
            }
            files += "\n";
        }
    }
    return files;
}

} // namespace

// Scripts and the tests before them see standard error as it always was: messages only.
TEST(batch_test, summary_only_on_a_terminal_and_only_for_many_files) {
    ScratchFolder folder;
    Sheets(folder / "maps", 2);
    const std::string maps = Text(folder / "maps");
    const std::string sheet = Inside(maps, "000.tif");

    CliRun run = Cli({"info", "--json", maps});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(FileLines(run.out), Inside(maps, "000.tif\n") + Inside(maps, "001.tif\n"));

    run = Cli({"info", "--json", maps}, {false, true});
    EXPECT_EQ(run.err, "kestrel-cli: 2 files examined, 0 updated, 0 failed\n");
    // One FILE that is a file: its outcome is plain without a summary.
    run = Cli({"info", sheet}, {false, true});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    // Two files, one of them missing; the writing commands count what they wrote.
    run = Cli({"tiff-to-world", sheet, "nothere.tif"}, {true, true});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kestrel-cli: nothere.tif: Indicated file does not exist.\n"
                       "kestrel-cli: 2 files examined, 1 updated, 1 failed\n");
    EXPECT_TRUE(fs::exists(folder / "maps/000.tfw"));
    // An empty folder: nothing to do, and said so.
    fs::create_directory(folder / "empty");
    run = Cli({"world-to-tiff", Text(folder / "empty")}, {false, true});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "kestrel-cli: 0 files examined, 0 updated, 0 failed\n");
    run = Cli({"info", "--json", Text(folder / "empty")});
    EXPECT_EQ(run.out, "[\n]\n");
}

// Over more than ProgressThreshold files the line shows on a terminal, and is gone before the
// summary; with the report on the same terminal it would break into the report, and is not
// shown.
TEST(batch_test, progress_over_many_files_on_a_terminal) {
    ScratchFolder folder;
    const int count = static_cast<int>(ProgressThreshold) + 1;
    Sheets(folder / "maps", count);
    const std::string maps = Text(folder / "maps");

    CliRun run = Cli({"info", "--jsonl", maps}, {false, true}, "", Ticking());
    EXPECT_EQ(run.status, 0);
    // The clock moves a second at each reading: at the start, then at every file.
    std::string expected;
    std::size_t width = 0;
    for (int done = 1; done <= count; ++done) {
        const std::string line = "kestrel-cli: " + std::to_string(done) + " of " +
                                 std::to_string(count) + " files, 1 files/s";
        expected += "\r" + line;
        width = line.size();
    }
    expected += "\r" + std::string(width, ' ') + "\r";
    expected += "kestrel-cli: " + std::to_string(count) + " files examined, 0 updated, 0 failed\n";
    EXPECT_EQ(run.err, expected);

    run = Cli({"info", maps}, {true, true}, "", Ticking());
    EXPECT_EQ(run.err,
              "kestrel-cli: " + std::to_string(count) + " files examined, 0 updated, 0 failed\n");
    // Off a terminal: nothing.
    run = Cli({"info", maps}, {true, false}, "", Ticking());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
}

TEST(batch_test, names_from_standard_input_after_the_arguments) {
    ScratchFolder folder;
    Sheets(folder / "maps", 3);
    Sheets(folder / "more", 1);
    const std::string maps = Text(folder / "maps");
    const std::string more = Text(folder / "more");
    const std::string list = Inside(maps, "002.tif") + '\0' + more + '\0';
    const CliRun run =
        Cli({"info", "--jsonl", "--files-from", "-", "-0", Inside(maps, "001.tif")}, {}, list);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(FileLines(run.out),
              Inside(maps, "001.tif\n") + Inside(maps, "002.tif\n") + Inside(more, "000.tif\n"));
}

// A list that cannot be opened ends the command before any file: nothing on standard output.
TEST(batch_test, a_list_that_cannot_be_read_is_reported) {
    ScratchFolder folder;
    const std::string missing = Text(folder / "list.txt");
    CliRun run = Cli({"info", "--json", "--files-from", missing, Fixture.string()}, {false, true});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Operational Problem: File named 'list.txt' does not exist in the '" +
                           Text(folder.Path()) + "' directory, open failed. (Code: 2)\n");

    run = Cli({"world-to-tiff", "--files-from=" + Text(folder.Path())});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Operational Problem: File named " + Text(folder.Path()) +
                           " is a directory, rather than a file. Open failed. (Code: 21)\n");
}

TEST(batch_test, inputs_that_cannot_be_read_are_described_by_the_catalogue) {
    ScratchFolder folder;
    // A relative name is described by its absolute path: in the short folder, it is named whole.
    const fs::path working = fs::current_path();
    fs::current_path(folder.Path());
    InputFailure failure =
        DescribeInputFailure("maps", std::make_error_code(std::errc::permission_denied));
    fs::current_path(working);
    EXPECT_EQ(failure.name, Text(folder / "maps"));
    EXPECT_EQ(failure.message.cause, TuCauseOpenReadDenied);
    EXPECT_EQ(failure.message.caption, "Operational Problem");
    EXPECT_EQ(failure.message.text, "Permission to open file named " + failure.name +
                                        " for reading was denied. Is file protected by security "
                                        "system?. (Code: 13)");

    const std::string gone = Inside(Text(folder / "gone"), "sub");
    failure =
        DescribeInputFailure(gone, std::make_error_code(std::errc::no_such_file_or_directory));
    EXPECT_EQ(failure.message.cause, TuCauseOpenDirectoryMissing);
    EXPECT_EQ(failure.message.text, "Attempt to open file named '" + gone +
                                        "' failed. Directory named 'gone' does not exist, or "
                                        "permission to access it has been denied.[2]");

    failure = DescribeReadFailure("-");
    EXPECT_EQ(failure.name, "standard input");
    EXPECT_EQ(failure.message.text,
              "Error detected reading from file named 'standard input'. (code: 5)");
}
