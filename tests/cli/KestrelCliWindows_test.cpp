// kestrel-cli.exe as a script on Windows meets it: arguments in any script, output to a pipe
// as the same UTF-8 bytes with LF line ends that Linux writes (the commands run in this
// process give the reference), errors on standard error, world files with CR LF, exit
// statuses.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "RunCli.h"
#include "RunProgramWindows.h"
#include "TemporaryFolder.h"

namespace {

namespace fs = std::filesystem;

const std::string Name = "K\xc3\xa4rte \xe5\x9c\xb0\xe5\x9b\xb3"; // Kärte 地図

std::wstring Wide(const std::string& utf8) {
    return PathOf(utf8).wstring();
}

// What the commands write for these arguments when run in this process.
ProgramRun RunInProcess(const std::vector<std::string>& arguments) {
    std::vector<std::string> all = {"kestrel-cli"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all) {
        argv.push_back(argument.data());
    }
    std::ostringstream out;
    std::ostringstream err;
    ProgramRun run;
    run.status = static_cast<DWORD>(
        kestrel::cli::RunCli(static_cast<int>(argv.size()), argv.data(), out, err));
    run.out = out.str();
    run.err = err.str();
    return run;
}

class kestrel_cli_windows_test : public ::testing::Test {
protected:
    kestrel_cli_windows_test() {
        fs::copy_file(PathOf(std::string(KESTREL_TEST_DATA) + "/geotiff_le_striped.tif"),
                      PathOf(folder + TestPathSeparator + Name + ".tif"));
        saved = fs::current_path();
        fs::current_path(PathOf(folder));
    }
    ~kestrel_cli_windows_test() override {
        fs::current_path(saved);
        std::error_code ignored;
        fs::remove_all(PathOf(folder), ignored);
    }
    ProgramRun Run(const std::vector<std::string>& arguments) const {
        std::vector<std::wstring> wide;
        for (const std::string& argument : arguments) {
            wide.push_back(Wide(argument));
        }
        return RunProgram(Wide(KESTREL_CLI), wide, Wide(folder));
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(PathOf(folder + TestPathSeparator + name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string folder = MakeTemporaryFolder("kcliw");
    fs::path saved;
};

TEST_F(kestrel_cli_windows_test, output_to_a_pipe_is_the_utf8_text_with_lf_line_ends) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"info", Name}, {"info", "--json", Name + ".tif"}}) {
        const ProgramRun program = Run(arguments);
        const ProgramRun reference = RunInProcess(arguments);
        EXPECT_EQ(program.status, 0u);
        EXPECT_EQ(program.out, reference.out);
        EXPECT_EQ(program.err, "");
        EXPECT_EQ(program.out.find('\r'), std::string::npos);
        EXPECT_NE(program.out.find(Name + ".tif"), std::string::npos) << program.out;
    }
}

TEST_F(kestrel_cli_windows_test, names_in_any_script_reach_the_commands_and_files) {
    const ProgramRun run = Run({"set-world", Name, "2", "0", "0", "-2", "101", "499"});
    EXPECT_EQ(run.status, 0u);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Read(Name + ".tfw"), "                       2\r\n"
                                   "                       0\r\n"
                                   "                       0\r\n"
                                   "                      -2\r\n"
                                   "                     101\r\n"
                                   "                     499\r\n");
}

TEST_F(kestrel_cli_windows_test, errors_go_to_standard_error_and_set_the_status) {
    const ProgramRun missing = Run({"info", "\xe5\x9c\xb0.tif"});
    EXPECT_EQ(missing.status, 1u);
    EXPECT_EQ(missing.err, "kestrel-cli: \xe5\x9c\xb0.tif: Indicated file does not exist.\n");
    const ProgramRun usage = Run({"info", "--no-such-option"});
    EXPECT_EQ(usage.status, 2u);
    EXPECT_EQ(usage.err, RunInProcess({"info", "--no-such-option"}).err);
    EXPECT_EQ(usage.out, "");
}

} // namespace
