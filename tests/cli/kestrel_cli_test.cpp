// kestrel-cli end to end: the built program run on GeoTIFFs and world files that GDAL makes in
// a temporary folder, with its exit status, standard output and standard error checked, and
// the files checked with GDAL afterwards.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "uCauses.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Starts a program in a folder with the given file actions, which it then destroys; the child's
// process id, or -1 when it could not be started.
pid_t Start(const std::vector<std::string>& command, const fs::path& folder,
            posix_spawn_file_actions_t& actions) {
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<char*> argv;
    argv.reserve(command.size() + 1);
    for (const std::string& argument : command) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

// The exit status of a started program, or 128 plus the signal that ended it.
int WaitFor(pid_t pid) {
    int wait = 0;
    waitpid(pid, &wait, 0);
    return WIFEXITED(wait) ? WEXITSTATUS(wait) : 128 + WTERMSIG(wait);
}

// Runs a program with arguments in a folder; its output goes to files beside `capture`.
Result Spawn(const std::vector<std::string>& command, const fs::path& folder,
             const fs::path& capture) {
    const std::string outName = (capture / "stdout").string();
    const std::string errName = (capture / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outName.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errName.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    Result result;
    const pid_t pid = Start(command, folder, actions);
    if (pid < 0) {
        return result;
    }
    result.status = WaitFor(pid);
    result.out = ReadFile(outName);
    result.err = ReadFile(errName);
    return result;
}

// Runs a program in a folder with standard output going to a file beside `capture` and standard
// error to a terminal (a pseudo-terminal); the result's err is what the terminal received, in
// which each new line arrives as CR LF.
Result SpawnOnTerminal(const std::vector<std::string>& command, const fs::path& folder,
                       const fs::path& capture) {
    Result result;
    int terminal = -1;
    int device = -1;
    if (openpty(&terminal, &device, nullptr, nullptr, nullptr) != 0) {
        return result;
    }
    const std::string outName = (capture / "stdout").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outName.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, device, 2);
    posix_spawn_file_actions_addclose(&actions, device);
    posix_spawn_file_actions_addclose(&actions, terminal);
    const pid_t pid = Start(command, folder, actions);
    close(device);
    if (pid >= 0) {
        // Read while the program runs, so that it never waits for room on the terminal; the
        // read fails once the program has closed its side.
        char buffer[4096];
        for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) {
            result.err.append(buffer, static_cast<std::size_t>(got));
        }
        result.status = WaitFor(pid);
        result.out = ReadFile(outName);
    }
    close(terminal);
    return result;
}

// The six numbers of GDAL's geotransform as gdalinfo -json reports them, from the TIFF's own
// tags only (not from a world file beside it); empty when GDAL finds none.
std::vector<double> GeoTransform(const std::string& json) {
    std::vector<double> values;
    std::size_t at = json.find("\"geoTransform\"");
    if (at == std::string::npos) {
        return values;
    }
    at = json.find('[', at);
    const char* cursor = json.c_str() + at + 1;
    for (int k = 0; k < 6; ++k) {
        char* end = nullptr;
        values.push_back(std::strtod(cursor, &end));
        cursor = end;
        while (*cursor == ',' || *cursor == ' ' || *cursor == '\n') {
            ++cursor;
        }
    }
    return values;
}

std::vector<double> WorldFileNumbers(const fs::path& path) {
    std::istringstream lines(ReadFile(path));
    std::vector<double> values;
    double value = 0;
    while (lines >> value) {
        values.push_back(value);
    }
    return values;
}

class kestrel_cli_test : public ::testing::Test {
protected:
    void SetUp() override {
        char folderTemplate[] = "/tmp/kestrel-cli-test-XXXXXX";
        char captureTemplate[] = "/tmp/kestrel-cli-capture-XXXXXX";
        ASSERT_NE(mkdtemp(folderTemplate), nullptr);
        ASSERT_NE(mkdtemp(captureTemplate), nullptr);
        folder = folderTemplate;
        capture = captureTemplate;
    }
    void TearDown() override {
        fs::remove_all(folder);
        fs::remove_all(capture);
    }

    Result Cli(const std::vector<std::string>& arguments) {
        std::vector<std::string> command{KESTREL_CLI};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return Spawn(command, folder, capture);
    }

    // Runs a GDAL tool in the folder; the test stops when it fails.
    std::string Tool(const std::vector<std::string>& command) {
        const Result result = Spawn(command, folder, capture);
        EXPECT_EQ(result.status, 0) << command[0] << ": " << result.err;
        return result.out;
    }

    // A 4 x 3 byte image; with `georeferenced`, pixels of 2 x 2 units whose upper left corner
    // lies at (100, 500).
    fs::path MakeTiff(const std::string& name, bool georeferenced) {
        std::vector<std::string> command{"gdal_create", "-q", "-of",    "GTiff", "-outsize",
                                         "4",           "3",  "-bands", "1"};
        if (georeferenced) {
            command.insert(command.end(), {"-a_ullr", "100", "500", "108", "494"});
        }
        command.push_back(name);
        Tool(command);
        return folder / name;
    }

    std::vector<double> TiffGeoTransform(const std::string& name) {
        return GeoTransform(Tool({"gdalinfo", "-json", "-oo", "GEOREF_SOURCES=INTERNAL", name}));
    }

    // Runs kestrel-cli as an unprivileged user when the suite runs as root, who may read and
    // write anything, from a copy that user can reach wherever the build folder lies. The
    // folder must let others in.
    Result CliAsOrdinaryUser(std::vector<std::string> arguments) {
        std::vector<std::string> prefix;
        std::string program = KESTREL_CLI;
        fs::permissions(capture, fs::perms::all);
        if (geteuid() == 0) {
            prefix = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
            program = (capture / "kestrel-cli").string();
            if (!fs::exists(program)) {
                fs::copy_file(KESTREL_CLI, program);
            }
            fs::permissions(program,
                            fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
        }
        arguments.insert(arguments.begin(), program);
        arguments.insert(arguments.begin(), prefix.begin(), prefix.end());
        return Spawn(arguments, folder, capture);
    }

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    // What `info` prints for BASE.tif made georeferenced by MakeTiff, up to the world file's
    // name (BASE.tfw); the lines of the world file's side follow. Upper case gives BASE.TIF and
    // BASE.TFW.
    std::string GeoreferencedInfo(const std::string& base, bool upperCase = false) const {
        return Path(base + (upperCase ? ".TIF" : ".tif")) +
               "\n"
               "  GeoTiff file:  Tiff file is georeferenced.\n"
               "    Updatable:   yes\n"
               "    Pixel scale: 2 2\n"
               "    Tie point:   pixel 0 0, world 100 500\n"
               "  World file:    " +
               Path(base + (upperCase ? ".TFW" : ".tfw")) + "\n";
    }

    // Runs kestrel-cli under gdb, held where the user would press "Update Referencing in TIFF
    // File", and runs `command` in the folder at that moment as another program would. The
    // result is kestrel-cli's; `held` tells whether it was held there.
    Result CliWithChangeBeforeUpdate(const std::vector<std::string>& arguments,
                                     const std::string& command, bool& held) {
        std::string run = "run";
        for (const std::string& argument : arguments) {
            run += " '" + argument + "'";
        }
        const fs::path out = capture / "cli.out";
        const fs::path err = capture / "cli.err";
        run += " >'" + out.string() + "' 2>'" + err.string() + "'";
        const Result gdb =
            Spawn({"gdb", "-q", "-batch", "-nx", "-ex",
                   // LeakSanitizer cannot run under a debugger.
                   "set environment ASAN_OPTIONS detect_leaks=0", "-ex",
                   "break kestrel::ReferencingDialog::OnUpdateTiff", "-ex", run, "-ex",
                   "shell " + command, "-ex", "continue", "-ex", "quit $_exitcode", KESTREL_CLI},
                  folder, capture);
        held = gdb.out.find("Breakpoint 1, kestrel::ReferencingDialog::OnUpdateTiff") !=
               std::string::npos;
        return Result{gdb.status, ReadFile(out), ReadFile(err)};
    }

    // The tiff file's message when another program changed it after the examination.
    std::string ChangedError(const std::string& name) const {
        return "Operational Problem: The Tiff file named " + Path(name) +
               " was changed by another program since it was examined; the update was not "
               "made.  Examine the file again before updating it.\n";
    }

    // What info prints for NAME.tif made by MakeTiff(..., true) beside a world file of
    // 2 0 0 -2 101 499.
    std::string InfoOfGeoreferenced(const std::string& name, bool upperCase = false) const {
        return GeoreferencedInfo(name, upperCase) +
               "    Status:      Corresponding world file exists.\n"
               "    Writable:    yes\n"
               "    A D B E C F: 2 0 0 -2 101 499\n";
    }

    fs::path folder;
    fs::path capture;
};

const std::string Rotation = "World file indicates rotation.  This program does not support the "
                             "version of geoTiff's which supports rotation.  An approximation is "
                             "being used.";

bool GdbCanRun() {
    static const bool works =
        std::system("gdb -q -batch -nx -ex run /bin/true >/dev/null 2>&1") == 0;
    return works;
}

// Sets the count of a tag in the first directory of a little-endian classic TIFF.
void SetTagCount(const fs::path& path, std::uint16_t tag, std::uint32_t count) {
    std::string bytes = ReadFile(path);
    const auto at = [&](std::size_t offset, int size) {
        std::uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i) {
            value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
        }
        return value;
    };
    const std::uint32_t directory = at(4, 4);
    for (std::uint32_t i = 0; i < at(directory, 2); ++i) {
        const std::size_t entry = directory + 2 + 12 * i;
        if (at(entry, 2) == tag) {
            for (int k = 0; k < 4; ++k) {
                bytes[entry + 4 + k] = static_cast<char>(count >> (8 * k));
            }
        }
    }
    WriteFile(path, bytes);
}

} // namespace

TEST_F(kestrel_cli_test, usage_errors_exit_2_with_the_usage_text) {
    Result result = Cli({});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("kestrel-cli: no command given\nUsage: kestrel-cli info", 0), 0u)
        << result.err;

    result = Cli({"info"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err.rfind("kestrel-cli: info: no FILE given\nUsage:", 0), 0u);

    result = Cli({"set-world", "a.tif", "1", "2", "3"});
    EXPECT_EQ(result.status, 2);
    result = Cli({"set-tiff", "a.tif", "--scale", "1", "1"});
    EXPECT_EQ(result.status, 2);
    result = Cli({"frobnicate", "a.tif"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err.rfind("kestrel-cli: unknown command 'frobnicate'\n", 0), 0u);
}

TEST_F(kestrel_cli_test, help_and_version) {
    Result result = Cli({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "kestrel-cli 1.01\n");
    EXPECT_EQ(result.err, "");

    result = Cli({"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("kestrel-cli set-tiff [--replace-control-points] FILE --scale SX "
                              "SY --tie I J X Y"),
              std::string::npos);
    EXPECT_EQ(result.err, "");

    // The help shows the usage text that a usage error prints, all of it, between the
    // summary and the commands.
    const Result usage = Cli({});
    const std::string usageText = usage.err.substr(usage.err.find('\n') + 1);
    ASSERT_EQ(usageText.rfind("Usage: kestrel-cli info", 0), 0u) << usage.err;
    EXPECT_NE(result.out.find("beside it.\n\n" + usageText + "\nCommands:\n"), std::string::npos)
        << result.out;
}

TEST_F(kestrel_cli_test, info_shows_both_sides_as_the_dialog_does) {
    MakeTiff("sheet.tif", true);
    WriteFile(folder / "sheet.tfw", "2\n0\n0\n-2\n101\n499\n");
    // A typed name without extension, relative to the working folder.
    const Result result = Cli({"info", "sheet"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, InfoOfGeoreferenced("sheet"));
}

TEST_F(kestrel_cli_test, info_json_round_trips_numbers_that_the_display_rounds) {
    // Pixels of a third of a unit: the dialog shows 0.333333333333333, JSON keeps every bit.
    Tool({"gdal_create", "-q", "-of", "GTiff", "-outsize", "3", "3", "-bands", "1", "-a_ullr", "0",
          "1", "1", "0", "third.tif"});
    Result result = Cli({"info", "third.tif"});
    EXPECT_NE(result.out.find("    Pixel scale: 0.333333333333333 0.333333333333333\n"),
              std::string::npos)
        << result.out;

    result = Cli({"info", "--json", "third.tif"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(
        result.out,
        "[\n  {\"file\": \"" + Path("third.tif") +
            "\", \"tiff\": {\"kind\": \"classic\", \"status\": \"Tiff file is georeferenced.\", "
            "\"writable\": "
            "true, \"pixelScale\": [0.3333333333333333, 0.3333333333333333], "
            "\"tiePoint\": {\"pixel\": [0, 0], \"world\": [0, 1]}, \"rasterType\": null, "
            "\"matrix\": null, \"tiePoints\": 1}, \"worldFile\": "
            "{\"file\": \"" +
            Path("third.tfw") +
            "\", \"status\": \"Corresponding world file does not exist.\", "
            "\"writable\": true, \"parameters\": [0, 0, 0, 0, 0, 0], \"name\": \"third.tfw\"}, "
            "\"error\": null}\n]\n");
}

TEST_F(kestrel_cli_test, info_reports_each_failure_and_goes_on) {
    MakeTiff("good.tif", false);
    WriteFile(folder / "text.tif", "this is no TIFF file, only some text\n");
    MakeTiff("short.tif", true);
    WriteFile(folder / "short.tfw", "2\n0\n0\n-2\n101\n");

    const Result result =
        Cli({"info", "--json", "missing.tif", "text.tif", "short.tif", "good.tif"});
    EXPECT_EQ(result.status, 1);
    const std::string missing = "{\"file\": \"missing.tif\", \"tiff\": null, \"worldFile\": null, "
                                "\"error\": {\"cause\": null, \"caption\": \"kestrel-cli\", "
                                "\"message\": \"Indicated file does not exist.\"}}";
    EXPECT_EQ(
        result.out.rfind(
            "[\n  " + missing + ",\n  {\"file\": \"" + Path("text.tif") +
                "\", \"tiff\": null, \"worldFile\": null, \"error\": "
                "{\"cause\": " +
                std::to_string(TuCauseTiffNotUnderstood) +
                ", \"caption\": \"Data File Format Problem\", \"message\": \"The file named " +
                Path("text.tif"),
            0),
        0u)
        << result.out;
    // The five-line world file: the TIFF side was read, the world file side was not.
    EXPECT_NE(
        result.out.find(
            "{\"file\": \"" + Path("short.tif") +
            "\", \"tiff\": {\"kind\": \"classic\", \"status\": \"Tiff file is georeferenced.\""),
        std::string::npos);
    EXPECT_NE(result.out.find("\"worldFile\": null, \"error\": {\"cause\": " +
                              std::to_string(TuCauseWorldFileNotUnderstood) +
                              ", \"caption\": \"Data File Format Problem\", \"message\": \"The "
                              "file named " +
                              Path("short.tfw")),
              std::string::npos);
    // The good file last, complete and without error.
    EXPECT_NE(result.out.find("\"status\": \"Tiff file is NOT georeferenced.\""),
              std::string::npos);
    EXPECT_EQ(result.out.substr(result.out.size() - 17), "\"error\": null}\n]\n");

    // Standard error: the dialog's message names the file; catalogue errors as they are.
    EXPECT_EQ(result.err.rfind("kestrel-cli: missing.tif: Indicated file does not exist.\n"
                               "Data File Format Problem: The file named " +
                                   Path("text.tif"),
                               0),
              0u)
        << result.err;
    EXPECT_NE(result.err.find("\nData File Format Problem: The file named " + Path("short.tfw")),
              std::string::npos);
}

// After a failed examination the dialog describes the file named and disables the Update
// buttons of the objects it released; a side that could not be read is reported as absent,
// not as the zeros the dialog shows, in the text and in JSON alike.
TEST_F(kestrel_cli_test, info_after_a_failed_examination_reports_only_what_was_read) {
    MakeTiff("good.tif", true);
    WriteFile(folder / "good.tfw", "2\n0\n0\n-2\n101\n499\n");
    WriteFile(folder / "text.tif", "this is no TIFF file, only some text\n");
    MakeTiff("short.tif", true);
    WriteFile(folder / "short.tfw", "2\n0\n0\n-2\n101\n");
    const std::string notTiff =
        "Data File Format Problem: The file named " + Path("text.tif") +
        " could not be processed as a .TIF(F) file; the format is not understood with the "
        "kestrel-cli program.";
    const std::string notWorldFile =
        "Data File Format Problem: The file named " + Path("short.tfw") +
        " does not appear to be a 'World File'; the format is not understood by the kestrel-cli "
        "program.";
    const std::string goodText = InfoOfGeoreferenced("good");

    Result result = Cli({"info", "good.tif", "text.tif", "short.tif"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, goodText + "\n" + Path("text.tif") + "\n\n" + Path("short.tif") +
                              "\n"
                              "  GeoTiff file:  Tiff file is georeferenced.\n"
                              "    Updatable:   no\n"
                              "    Pixel scale: 2 2\n"
                              "    Tie point:   pixel 0 0, world 100 500\n");
    EXPECT_EQ(result.err, notTiff + "\n" + notWorldFile + "\n");

    result = Cli({"info", "--json", "good.tif", "text.tif", "short.tif"});
    EXPECT_EQ(result.status, 1);
    const auto error = [](const std::string& shown, int cause) {
        const std::string caption = "Data File Format Problem";
        return "{\"cause\": " + std::to_string(cause) + ", \"caption\": \"" + caption +
               "\", \"message\": \"" + shown.substr(caption.size() + 2) + "\"}";
    };
    EXPECT_EQ(result.out,
              "[\n"
              "  {\"file\": \"" +
                  Path("good.tif") +
                  "\", \"tiff\": {\"kind\": \"classic\", \"status\": \"Tiff file is "
                  "georeferenced.\", \"writable\": "
                  "true, \"pixelScale\": [2, 2], \"tiePoint\": {\"pixel\": [0, 0], \"world\": "
                  "[100, 500]}, \"rasterType\": null, \"matrix\": null, \"tiePoints\": 1}, "
                  "\"worldFile\": {\"file\": \"" +
                  Path("good.tfw") +
                  "\", \"status\": \"Corresponding world file exists.\", \"writable\": true, "
                  "\"parameters\": [2, 0, 0, -2, 101, 499], \"name\": \"good.tfw\"}, "
                  "\"error\": null},\n"
                  "  {\"file\": \"" +
                  Path("text.tif") + "\", \"tiff\": null, \"worldFile\": null, \"error\": " +
                  error(notTiff, TuCauseTiffNotUnderstood) +
                  "},\n"
                  "  {\"file\": \"" +
                  Path("short.tif") +
                  "\", \"tiff\": {\"kind\": \"classic\", \"status\": \"Tiff file is "
                  "georeferenced.\", \"writable\": "
                  "false, \"pixelScale\": [2, 2], \"tiePoint\": {\"pixel\": [0, 0], \"world\": "
                  "[100, 500]}, \"rasterType\": null, \"matrix\": null, \"tiePoints\": 1}, "
                  "\"worldFile\": null, \"error\": " +
                  error(notWorldFile, TuCauseWorldFileNotUnderstood) + "}\n]\n");
    EXPECT_EQ(result.err, notTiff + "\n" + notWorldFile + "\n");
}

TEST_F(kestrel_cli_test, a_name_longer_than_the_field_takes_is_refused_not_cut) {
    MakeTiff("sheet.tif", true);
    // 269 characters that name sheet.tif; the dialog's field takes 259 of them.
    std::string name;
    for (int k = 0; k < 130; ++k) {
        name += "./";
    }
    name += "sheet.tif";
    const Result result = Cli({"info", name});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "kestrel-cli: " + name + ": Please enter no more than 259 characters.\n");
    EXPECT_EQ(result.out, name + "\n");
}

TEST_F(kestrel_cli_test, tiff_to_world_writes_the_world_file_of_each_georeferenced_tiff) {
    MakeTiff("a.tif", true);
    MakeTiff("plain.tif", false);
    MakeTiff("b.tif", true);
    WriteFile(folder / "b.tfw", "9\n0\n0\n-9\n0\n0\n"); // replaced

    const Result result = Cli({"tiff-to-world", "a", "plain.tif", "b.tif"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "kestrel-cli: plain.tif: Tiff file is NOT georeferenced.\n");
    const std::vector<double> expected{2, 0, 0, -2, 101, 499};
    EXPECT_EQ(WorldFileNumbers(folder / "a.tfw"), expected);
    EXPECT_EQ(WorldFileNumbers(folder / "b.tfw"), expected);
    EXPECT_FALSE(fs::exists(folder / "plain.tfw"));

    // GDAL reads the new world file beside a TIFF without tags the same way.
    fs::copy_file(folder / "a.tfw", folder / "plain.tfw");
    EXPECT_EQ(GeoTransform(Tool({"gdalinfo", "-json", "plain.tif"})),
              (std::vector<double>{100, 2, 0, 500, 0, -2}));
}

// A folder, a pipe or a link to a folder in the world file's place is reported as a folder
// named as the TIFF is, and stays as it was; a link to a regular world file is one.
TEST_F(kestrel_cli_test, world_file_name_taken_by_no_file_is_reported_and_kept) {
    MakeTiff("dir.tif", true);
    fs::create_directory(folder / "dir.tfw");
    MakeTiff("pipe.tif", true);
    ASSERT_EQ(mkfifo(Path("pipe.tfw").c_str(), 0600), 0);
    MakeTiff("linkdir.tif", true);
    fs::create_directory_symlink("dir.tfw", folder / "linkdir.tfw");
    const auto notAFile = [this](const std::string& name) {
        return "Operational Problem: File named " + Path(name) +
               " is a directory, rather than a file. Open failed. (Code: 13)\n";
    };

    Result result = Cli({"info", "dir.tif"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, notAFile("dir.tfw"));
    EXPECT_EQ(result.out, GeoreferencedInfo("dir") +
                              "    Status:      Corresponding world file is not a file.\n"
                              "    Writable:    no\n"
                              "    A D B E C F: 0 0 0 0 0 0\n");

    result = Cli({"tiff-to-world", "pipe.tif"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, notAFile("pipe.tfw"));
    EXPECT_TRUE(fs::is_fifo(folder / "pipe.tfw"));

    for (const std::string name : {"dir", "linkdir"}) {
        result = Cli({"set-world", name + ".tif", "1", "0", "0", "-1", "0", "0"});
        EXPECT_EQ(result.status, 1) << name;
        EXPECT_EQ(result.err, notAFile(name + ".tfw"));
    }
    EXPECT_TRUE(fs::is_symlink(folder / "linkdir.tfw"));
    EXPECT_TRUE(fs::is_empty(folder / "dir.tfw"));

    MakeTiff("linked.tif", true);
    fs::create_directory(folder / "store");
    WriteFile(folder / "store/real.tfw", "9\n0\n0\n-9\n0\n0\n");
    fs::create_symlink("store/real.tfw", folder / "linked.tfw");
    result = Cli({"tiff-to-world", "linked.tif"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::is_symlink(folder / "linked.tfw"));
    EXPECT_EQ(WorldFileNumbers(folder / "store/real.tfw"),
              (std::vector<double>{2, 0, 0, -2, 101, 499}));
}

TEST_F(kestrel_cli_test, world_to_tiff_adds_the_tags_and_warns_of_rotation) {
    MakeTiff("plain.tif", false);
    WriteFile(folder / "plain.tfw", "2\n0\n0\n-2\n101\n499\n");
    MakeTiff("turned.tif", false);
    WriteFile(folder / "turned.tfw", "2\n0.001\n0\n-2\n101\n499\n");
    MakeTiff("alone.tif", false);

    const Result result = Cli({"world-to-tiff", "plain.tif", "turned.tif", "alone.tif"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "kestrel-cli: turned.tif: " + Rotation +
                              "\n"
                              "kestrel-cli: alone.tif: Corresponding world file does not exist.\n");
    const std::vector<double> expected{100, 2, 0, 500, 0, -2};
    EXPECT_EQ(TiffGeoTransform("plain.tif"), expected);
    // The rotation terms are dropped.
    EXPECT_EQ(TiffGeoTransform("turned.tif"), expected);
    EXPECT_TRUE(TiffGeoTransform("alone.tif").empty());
    const std::string listing = Tool({"listgeo", "plain.tif"});
    EXPECT_NE(listing.find("ModelTiepointTag (2,3)"), std::string::npos) << listing;
    EXPECT_NE(listing.find("ModelPixelScaleTag (1,3)"), std::string::npos);
}

TEST_F(kestrel_cli_test, set_tiff_adds_then_replaces_the_tags) {
    MakeTiff("sheet.tif", false);
    Result result = Cli({"set-tiff", "sheet.tif", "--scale", "0.5", "0.25", "--tie", "0", "0",
                         "-1000.5", "2000.75"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(TiffGeoTransform("sheet.tif"),
              (std::vector<double>{-1000.5, 0.5, 0, 2000.75, 0, -0.25}));
    const auto size = fs::file_size(folder / "sheet.tif");

    // The second time the tags are there: the values are written where they lie.
    result = Cli({"set-tiff", "sheet", "--tie", "0", "0", "10", "20", "--scale", "3", "4"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(TiffGeoTransform("sheet.tif"), (std::vector<double>{10, 3, 0, 20, 0, -4}));
    EXPECT_EQ(fs::file_size(folder / "sheet.tif"), size);
}

TEST_F(kestrel_cli_test, set_tiff_refuses_what_the_dialog_refuses_and_writes_nothing) {
    MakeTiff("sheet.tif", true);
    const std::string before = ReadFile(folder / "sheet.tif");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--scale", "abc", "1", "--tie", "0", "0", "0", "0"}, "Please enter a number."},
        {{"--scale", "1", "1", "--tie", "0", "0", "-0", "0"}, "Please enter a number."},
        {{"--scale", "1", "1", "--tie", "0", "0", "", "0"}, "Please enter a number."},
        {{"--scale", "1", "1", "--tie", "0", "0", "100000000", "0"},
         "Please enter a number between -99999999 and 99999999."},
    };
    for (const auto& [numbers, message] : cases) {
        std::vector<std::string> arguments{"set-tiff", "sheet.tif"};
        arguments.insert(arguments.end(), numbers.begin(), numbers.end());
        const Result result = Cli(arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "kestrel-cli: sheet.tif: " + message + "\n");
    }
    EXPECT_EQ(ReadFile(folder / "sheet.tif"), before);
}

TEST_F(kestrel_cli_test, set_tiff_keeps_a_tiled_file_with_overviews_readable) {
    Tool({"gdal_create", "-q", "-of", "GTiff", "-outsize", "512", "512", "-bands", "1", "-co",
          "TILED=YES", "tiled.tif"});
    Tool({"gdaladdo", "-q", "-r", "nearest", "tiled.tif", "2", "4"});
    const Result result = Cli(
        {"set-tiff", "tiled.tif", "--scale", "30", "30", "--tie", "0", "0", "500000", "4000000"});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string info = Tool({"gdalinfo", "-checksum", "tiled.tif"});
    EXPECT_NE(info.find("Overviews: 256x256, 128x128"), std::string::npos) << info;
    EXPECT_NE(info.find("Origin = (500000.000000000000000,4000000.000000000000000)"),
              std::string::npos)
        << info;
    EXPECT_EQ(info.find("ERROR"), std::string::npos) << info;
}

TEST_F(kestrel_cli_test, set_world_writes_six_lines_within_the_ranges) {
    MakeTiff("sheet.tif", false);
    Result result = Cli({"set-world", "sheet", "0.5", "0", "0", "-0.5", "1000.25", "-2000.25"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(WorldFileNumbers(folder / "sheet.tfw"),
              (std::vector<double>{0.5, 0, 0, -0.5, 1000.25, -2000.25}));
    EXPECT_EQ(GeoTransform(Tool({"gdalinfo", "-json", "sheet.tif"})),
              (std::vector<double>{1000, 0.5, 0, -2000, 0, -0.5}));

    const std::string before = ReadFile(folder / "sheet.tfw");
    result = Cli({"set-world", "sheet.tif", "10000", "0", "0", "-1", "0", "0"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "kestrel-cli: sheet.tif: Please enter a number between -9999 and 9999.\n");
    EXPECT_EQ(ReadFile(folder / "sheet.tfw"), before);

    result = Cli({"set-world", "nosuch", "1", "0", "0", "-1", "0", "0"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "kestrel-cli: nosuch: Indicated file does not exist.\n");
    EXPECT_FALSE(fs::exists(folder / "nosuch.tfw"));
}

TEST_F(kestrel_cli_test, other_layouts_that_gdal_writes) {
    // Big-endian: the tags are added in the file's own byte order.
    Tool({"gdal_create", "-q", "-of", "GTiff", "-outsize", "4", "3", "-bands", "1", "-co",
          "ENDIANNESS=BIG", "motorola.tif"});
    Result result =
        Cli({"set-tiff", "motorola", "--scale", "2", "2", "--tie", "0", "0", "100", "500"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(TiffGeoTransform("motorola.tif"), (std::vector<double>{100, 2, 0, 500, 0, -2}));

    // Upper-case names: SHEET.TIF gets SHEET.TFW.
    Tool({"gdal_create", "-q", "-of", "GTiff", "-outsize", "4", "3", "-bands", "1", "-a_ullr",
          "100", "500", "108", "494", "SHEET.TIF"});
    result = Cli({"tiff-to-world", "SHEET.TIF"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(WorldFileNumbers(folder / "SHEET.TFW"), (std::vector<double>{2, 0, 0, -2, 101, 499}));

    // BigTIFF: the tags are added in its own layout.
    Tool({"gdal_create", "-q", "-of", "GTiff", "-outsize", "4", "3", "-bands", "1", "-co",
          "BIGTIFF=YES", "big.tif"});
    result = Cli({"set-tiff", "big", "--scale", "2", "2", "--tie", "0", "0", "100", "500"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(TiffGeoTransform("big.tif"), (std::vector<double>{100, 2, 0, 500, 0, -2}));
}

// Every checksum of `gdalinfo -checksum`, bands and overviews, in order.
std::vector<std::string> ChecksumLines(const std::string& info) {
    std::istringstream lines(info);
    std::vector<std::string> sums;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("hecksum") != std::string::npos) {
            sums.push_back(line);
        }
    }
    return sums;
}

TEST_F(kestrel_cli_test, bigtiffs_are_examined_and_updated_like_any_tiff) {
    // Tiled with overviews and little-endian; striped and big-endian, with a world file.
    Tool({"gdal_create",   "-q",  "-of",           "GTiff",       "-outsize", "64",        "48",
          "-bands",        "1",   "-burn",         "3",           "-a_ullr",  "100",       "500",
          "228",           "404", "-co",           "BIGTIFF=YES", "-co",      "TILED=YES", "-co",
          "BLOCKXSIZE=16", "-co", "BLOCKYSIZE=16", "tiled.tif"});
    Tool({"gdaladdo", "-q", "tiled.tif", "2", "4"});
    Tool({"gdal_create", "-q", "-of", "GTiff", "-outsize", "4", "3", "-bands", "1", "-burn", "7",
          "-co", "BIGTIFF=YES", "-co", "ENDIANNESS=BIG", "striped.tif"});
    WriteFile(folder / "striped.tfw", "0.5\n0\n0\n-0.5\n1000.25\n1999.75\n");
    MakeTiff("classic.tif", false);

    Result result = Cli({"info", "--json", "tiled.tif", "striped.tif", "classic.tif"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("{\"file\": \"" + Path("tiled.tif") +
                              "\", \"tiff\": {\"kind\": \"bigtiff\", \"status\": \"Tiff file "
                              "is georeferenced.\", \"writable\": true, \"pixelScale\": [2, 2], "
                              "\"tiePoint\": {\"pixel\": [0, 0], \"world\": [100, 500]}, "
                              "\"rasterType\": null, \"matrix\": null, \"tiePoints\": 1}"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("{\"file\": \"" + Path("striped.tif") +
                              "\", \"tiff\": {\"kind\": \"bigtiff\", \"status\": \"Tiff file "
                              "is NOT georeferenced.\""),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("{\"file\": \"" + Path("classic.tif") +
                              "\", \"tiff\": {\"kind\": \"classic\""),
              std::string::npos)
        << result.out;

    const std::vector<std::string> tiledSums =
        ChecksumLines(Tool({"gdalinfo", "-checksum", "tiled.tif"}));
    const std::vector<std::string> stripedSums =
        ChecksumLines(Tool({"gdalinfo", "-checksum", "striped.tif"}));
    ASSERT_EQ(tiledSums.size(), 2u); // the band's, and its overviews'
    result = Cli({"set-tiff", "tiled", "--scale", "0.5", "0.25", "--tie", "0", "0", "650000.5",
                  "5100000.25"});
    EXPECT_EQ(result.status, 0) << result.err;
    result = Cli({"world-to-tiff", "striped.tif"});
    EXPECT_EQ(result.status, 0) << result.err;

    EXPECT_EQ(TiffGeoTransform("tiled.tif"),
              (std::vector<double>{650000.5, 0.5, 0, 5100000.25, 0, -0.25}));
    EXPECT_EQ(TiffGeoTransform("striped.tif"), (std::vector<double>{1000, 0.5, 0, 2000, 0, -0.5}));
    EXPECT_EQ(ChecksumLines(Tool({"gdalinfo", "-checksum", "tiled.tif"})), tiledSums);
    EXPECT_EQ(ChecksumLines(Tool({"gdalinfo", "-checksum", "striped.tif"})), stripedSums);
    for (const char* name : {"tiled.tif", "striped.tif"}) {
        // libtiff reads every directory and all image data; its only notices are of the
        // GeoTIFF tags, which it does not know.
        const Result tiffinfo = Spawn({"tiffinfo", "-D", name}, folder, capture);
        EXPECT_EQ(tiffinfo.status, 0) << name;
        std::istringstream lines(tiffinfo.err);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_NE(line.find("Unknown field with tag"), std::string::npos)
                << name << ": " << line;
        }
    }
    result = Cli({"info", "--json", "tiled.tif"});
    EXPECT_NE(result.out.find("\"kind\": \"bigtiff\", \"status\": \"Tiff file is georeferenced.\""),
              std::string::npos)
        << result.out;
}

TEST_F(kestrel_cli_test, read_only_files_are_examined_but_not_changed) {
    MakeTiff("sheet.tif", true);
    WriteFile(folder / "sheet.tfw", "2\n0\n0\n-2\n101\n499\n");
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(folder / "sheet.tif", fs::perms::owner_read | fs::perms::others_read);
    fs::permissions(folder / "sheet.tfw", fs::perms::owner_read | fs::perms::others_read);
    const auto run = [this](const std::vector<std::string>& arguments) {
        return CliAsOrdinaryUser(arguments);
    };
    const std::string tiffBefore = ReadFile(folder / "sheet.tif");

    Result result = run({"info", "--json", "sheet.tif"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\"status\": \"Tiff file is georeferenced.\", \"writable\": false"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\"status\": \"Corresponding world file exists.\", \"writable\": "
                              "false, \"parameters\": [2, 0, 0, -2, 101, 499]"),
              std::string::npos);

    result = run({"set-tiff", "sheet.tif", "--scale", "1", "1", "--tie", "0", "0", "0", "0"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Internal Software Problem: An attempt to modify Tiff file named " +
                              Path("sheet.tif") + " failed; it was opened for examination only.\n");

    result = run({"tiff-to-world", "sheet.tif"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.rfind("Operational Problem: Permission to open file named " +
                                   Path("sheet.tfw") + " for writing is denied.",
                               0),
              0u)
        << result.err;
    // The reason the file may not be written comes before any number is read.
    result = run({"set-world", "sheet.tif", "abc", "0", "0", "-1", "0", "0"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Operational Problem: Permission to open file named " +
                              Path("sheet.tfw") +
                              " for writing is denied. File is marked as read only. (Code: 13)\n");
    EXPECT_EQ(ReadFile(folder / "sheet.tfw"), "2\n0\n0\n-2\n101\n499\n");
    EXPECT_EQ(ReadFile(folder / "sheet.tif"), tiffBefore);
}

TEST_F(kestrel_cli_test, set_tiff_writes_nothing_to_a_tiff_changed_since_it_was_examined) {
    if (!GdbCanRun()) {
        GTEST_SKIP() << "gdb cannot run programs here";
    }
    const std::vector<std::string> setTiff{"set-tiff", "t.tif", "--scale", "2",   "2",
                                           "--tie",    "0",     "0",       "100", "200"};
    struct Case {
        const char* what;
        const char* command; // run by the other program; leaves what it made in expected.tif
    };
    for (const Case& change :
         {Case{"rewritten in place", "cp other.tif t.tif && cp t.tif expected.tif"},
          Case{"overviews appended", "gdaladdo -q t.tif 2 4 && cp t.tif expected.tif"},
          Case{"replaced by rename", "cp other.tif expected.tif && mv other.tif t.tif"}}) {
        SCOPED_TRACE(change.what);
        MakeTiff("t.tif", false);
        Tool({"gdal_create", "-q", "-of", "GTiff", "-outsize", "512", "512", "-bands", "1", "-burn",
              "5", "-co", "TILED=YES", "other.tif"});
        bool held = false;
        const Result result = CliWithChangeBeforeUpdate(setTiff, change.command, held);
        ASSERT_TRUE(held);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, ChangedError("t.tif"));
        EXPECT_TRUE(ReadFile(folder / "t.tif") == ReadFile(folder / "expected.tif"))
            << "t.tif is not as the other program left it";
        const Result info = Spawn({"gdalinfo", "-checksum", "t.tif"}, folder, capture);
        EXPECT_EQ(info.status, 0);
        EXPECT_NE(info.out.find("Checksum="), std::string::npos) << info.out;
        EXPECT_EQ(info.err, "");
        fs::remove(folder / "other.tif");
    }
}

TEST_F(kestrel_cli_test, set_tiff_names_the_first_element_a_short_tag_lacks) {
    MakeTiff("s.tif", true);
    SetTagCount(folder / "s.tif", 33550, 2);
    const std::string before = ReadFile(folder / "s.tif");
    const Result result =
        Cli({"set-tiff", "s.tif", "--scale", "2", "2", "--tie", "0", "0", "100", "200"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Internal Software Problem: Attempt to access element number 2 of a "
                          "tag with ID 33550.  Element does not exist.\n");
    EXPECT_EQ(ReadFile(folder / "s.tif"), before);
}

TEST_F(kestrel_cli_test, set_tiff_refuses_to_add_tags_beyond_4_gib) {
    MakeTiff("big.tif", false);
    const std::string head = ReadFile(folder / "big.tif");
    const std::uintmax_t length = (std::uintmax_t{1} << 32) + 4096;
    fs::resize_file(folder / "big.tif", length); // sparse: no room taken
    const Result result =
        Cli({"set-tiff", "big.tif", "--scale", "2", "2", "--tie", "0", "0", "100", "200"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Data File Format Problem: The Tiff file named " + Path("big.tif") +
                              " is too large for this update: the new tag values and directory "
                              "would lie beyond 4 GiB, which a classic TIFF file cannot "
                              "address.\n");
    EXPECT_EQ(fs::file_size(folder / "big.tif"), length);
    std::ifstream in(folder / "big.tif", std::ios::binary);
    std::string start(head.size(), '\0');
    in.read(start.data(), static_cast<std::streamsize>(start.size()));
    EXPECT_EQ(start, head);
}

// A folder as FILE: its TIFFs in the order of their paths, subfolders with --recursive, each
// file written as a FILE naming it would be.
TEST_F(kestrel_cli_test, folders_are_walked_in_path_order) {
    fs::create_directories(folder / "maps/sub");
    MakeTiff("maps/b.tif", true);
    MakeTiff("maps/A.TIF", true);
    MakeTiff("maps/sub/c.tiff", true);
    MakeTiff("maps/.hidden.tif", true);
    WriteFile(folder / "maps/notes.txt", "not a sheet\n");

    Result result = Cli({"tiff-to-world", "--recursive", "maps"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    const std::vector<double> expected{2, 0, 0, -2, 101, 499};
    EXPECT_EQ(WorldFileNumbers(folder / "maps/A.TFW"), expected);
    EXPECT_EQ(WorldFileNumbers(folder / "maps/b.tfw"), expected);
    EXPECT_EQ(WorldFileNumbers(folder / "maps/sub/c.tfw"), expected);
    EXPECT_FALSE(fs::exists(folder / "maps/.hidden.tfw"));
    EXPECT_EQ(GeoTransform(Tool({"gdalinfo", "-json", "maps/A.TIF"})),
              (std::vector<double>{100, 2, 0, 500, 0, -2}));

    // Without --recursive the subfolder stays unvisited; a trailing separator changes nothing.
    result = Cli({"info", "maps/"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out,
              InfoOfGeoreferenced("maps/A", true) + "\n" + InfoOfGeoreferenced("maps/b"));
}

// find -print0 | kestrel-cli --files-from - -0: any name, a new line in it included.
TEST_F(kestrel_cli_test, names_from_a_list_that_find_wrote) {
    fs::create_directories(folder / "maps");
    MakeTiff("maps/odd\nname.tif", true);
    MakeTiff("maps/plain.tif", false);
    Tool({"sh", "-c", "find maps -name '*.tif' -print0 | sort -z > list0"});
    WriteFile(folder / "list", "maps/plain.tif\r\n\r\nmissing.tif\r\n");

    Result result = Cli({"info", "--jsonl", "-0", "--files-from", "list0"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    std::istringstream lines(result.out);
    std::vector<std::string> files;
    for (std::string line; std::getline(lines, line);) {
        files.push_back(line.substr(0, line.find(", \"tiff\"")));
    }
    EXPECT_EQ(files, (std::vector<std::string>{"{\"file\": \"" + Path("maps/odd\\nname.tif") + "\"",
                                               "{\"file\": \"" + Path("maps/plain.tif") + "\""}));

    // Lines written on Windows, and a name that does not exist: reported, and the exit status
    // says so.
    result = Cli({"info", "--json", "--files-from=list"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "kestrel-cli: missing.tif: Indicated file does not exist.\n");
    EXPECT_EQ(result.out,
              "[\n  {\"file\": \"" + Path("maps/plain.tif") +
                  "\", \"tiff\": {\"kind\": \"classic\", \"status\": \"Tiff file is NOT "
                  "georeferenced.\", \"writable\": true, \"pixelScale\": [0, 0], \"tiePoint\": "
                  "{\"pixel\": [0, 0], \"world\": [0, 0]}, \"rasterType\": null, \"matrix\": "
                  "null, \"tiePoints\": 0}, \"worldFile\": {\"file\": \"" +
                  Path("maps/plain.tfw") +
                  "\", \"status\": \"Corresponding world file does not exist.\", \"writable\": "
                  "true, \"parameters\": [0, 0, 0, 0, 0, 0], \"name\": \"plain.tfw\"}, "
                  "\"error\": null},\n"
                  "  {\"file\": \"missing.tif\", \"tiff\": null, \"worldFile\": null, \"error\": "
                  "{\"cause\": null, \"caption\": \"kestrel-cli\", \"message\": \"Indicated file "
                  "does not exist.\"}}\n]\n");
}

// A subfolder the user may not read: reported in its place, with the catalogue's message, and
// the walk goes on past it.
TEST_F(kestrel_cli_test, a_folder_that_cannot_be_read_is_reported_and_passed) {
    fs::create_directories(folder / "maps/locked");
    MakeTiff("maps/a.tif", true);
    MakeTiff("maps/locked/hidden.tif", true);
    MakeTiff("maps/z.tif", true);
    fs::permissions(folder, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(folder / "maps",
                    fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(folder / "maps/locked", fs::perms::none);

    const Result result = CliAsOrdinaryUser({"info", "--json", "-r", "maps"});
    fs::permissions(folder / "maps/locked", fs::perms::owner_all);
    const std::string denied = "Permission to open file named " + Path("maps/locked") +
                               " for reading was denied. Is file protected by security "
                               "system?. (Code: 13)";
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Operational Problem: " + denied + "\n");
    std::istringstream lines(result.out);
    std::vector<std::string> files;
    for (std::string line; std::getline(lines, line);) {
        files.push_back(line);
    }
    ASSERT_EQ(files.size(), 5u) << result.out;
    const auto file = [](const std::string& line) { return line.substr(0, line.find(", ")); };
    EXPECT_EQ(file(files[1]), "  {\"file\": \"" + Path("maps/a.tif") + "\"");
    EXPECT_EQ(files[2], "  {\"file\": \"" + Path("maps/locked") +
                            "\", \"tiff\": null, \"worldFile\": null, \"error\": {\"cause\": " +
                            std::to_string(TuCauseOpenReadDenied) +
                            ", \"caption\": \"Operational Problem\", \"message\": \"" + denied +
                            "\"}},");
    EXPECT_EQ(file(files[3]), "  {\"file\": \"" + Path("maps/z.tif") + "\"");
}

// On a terminal standard error ends a run over many files with its summary; a single file, and
// a run whose standard error is a file (every test above), have none.
TEST_F(kestrel_cli_test, summary_on_a_terminal) {
    fs::create_directories(folder / "maps");
    MakeTiff("maps/a.tif", true);
    MakeTiff("maps/b.tif", false);
    Result result =
        SpawnOnTerminal({KESTREL_CLI, "world-to-tiff", "maps", "gone"}, folder, capture);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "kestrel-cli: maps/a.tif: Corresponding world file does not exist.\r\n"
                          "kestrel-cli: maps/b.tif: Corresponding world file does not exist.\r\n"
                          "kestrel-cli: gone: Indicated file does not exist.\r\n"
                          "kestrel-cli: 3 files examined, 0 updated, 3 failed\r\n");
    EXPECT_EQ(result.out, "");

    WriteFile(folder / "maps/a.tfw", "2\n0\n0\n-2\n101\n499\n");
    result = SpawnOnTerminal({KESTREL_CLI, "world-to-tiff", "maps/a.tif"}, folder, capture);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    result = SpawnOnTerminal({KESTREL_CLI, "info", "--json", "maps"}, folder, capture);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "kestrel-cli: 2 files examined, 0 updated, 0 failed\r\n");
    EXPECT_EQ(result.out.substr(0, 14 + Path("maps/a.tif").size()),
              "[\n  {\"file\": \"" + Path("maps/a.tif"));
}

TEST_F(kestrel_cli_test, a_name_without_extension_finds_an_upper_case_tif) {
    Tool({"gdal_create", "-q", "-of", "GTiff", "-outsize", "4", "3", "-bands", "1", "-a_ullr",
          "100", "500", "108", "494", "SHEET.TIF"});
    Result result = Cli({"tiff-to-world", "SHEET"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(WorldFileNumbers(folder / "SHEET.TFW"), (std::vector<double>{2, 0, 0, -2, 101, 499}));
    result = Cli({"info", "SHEET"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')), Path("SHEET.TIF"));
    // Typed with its extension, the name is taken as typed.
    result = Cli({"info", "SHEET.tif"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "kestrel-cli: SHEET.tif: Indicated file does not exist.\n");
}
