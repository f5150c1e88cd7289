// The system calls that examining a small GeoTIFF and its world file makes on the two files,
// counted with strace in the helper process: each file is opened, read with one call and
// closed, the TIFF also queried for its kind and length. Any more is a cost paid again for
// every file of a folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "RobustnessFiles.h"

using namespace robustness;

namespace {

bool StraceCanTrace() {
    static const bool works = std::system("strace -f -qq -o /dev/null /bin/true") == 0;
    return works;
}

// The names of the calls in an strace -y log whose lines name path.
std::vector<std::string> CallsOn(const Bytes& log, const std::string& path) {
    std::vector<std::string> calls;
    std::istringstream lines(std::string(log.begin(), log.end()));
    for (std::string line; std::getline(lines, line);) {
        if (line.find(path) == std::string::npos) {
            continue;
        }
        // "<pid> name(arguments) = result", the pid padded with spaces to five columns
        const std::size_t start = line.find_first_not_of(' ', line.find(' '));
        calls.push_back(line.substr(start, line.find('(') - start));
    }
    return calls;
}

int Reads(const std::vector<std::string>& calls) {
    int reads = 0;
    for (const std::string& call : calls) {
        reads += call == "read" || call == "pread64" || call == "readv" || call == "preadv" ||
                 call == "preadv2" || call == "mmap";
    }
    return reads;
}

std::string Listed(const std::vector<std::string>& calls) {
    std::string list;
    for (const std::string& call : calls) {
        list += call + " ";
    }
    return list;
}

TEST(system_calls_test, a_small_geotiff_and_its_world_file_take_one_read_each) {
    if (!StraceCanTrace()) {
        GTEST_SKIP() << "strace cannot trace here (ptrace not permitted)";
    }
    ScratchFolder folder;
    const std::string tiff = folder.File("sheet.tif");
    const std::string world = folder.File("sheet.tfw");
    const std::string log = folder.File("trace.log");
    WriteFile(tiff, ReadFile(std::string(KESTREL_TEST_DATA) + "/geotiff_le_striped.tif"));
    const std::string lines = "10.0000000000\n0.0000000000\n0.0000000000\n-10.0000000000\n"
                              "500005.0000000000\n4000475.0000000000\n";
    WriteFile(world, Bytes(lines.begin(), lines.end()));

    const std::string command = "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -y -o '" + log + "' '" +
                                KESTREL_UPDATE_HELPER + "' examine '" + tiff + "' '" + world +
                                "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const Bytes trace = ReadFile(log);
    // The TIFF is opened, queried for its kind and length, read and closed; the world file
    // needs no query.
    for (const auto& [path, count] : {std::pair{tiff, 4u}, std::pair{world, 3u}}) {
        const std::vector<std::string> calls = CallsOn(trace, path);
        SCOPED_TRACE(path + ": " + Listed(calls));
        ASSERT_EQ(calls.size(), count);
        EXPECT_EQ(calls.front().substr(0, 4), "open");
        EXPECT_EQ(Reads(calls), 1);
        EXPECT_EQ(calls.back(), "close");
    }
}

} // namespace
