// Tests of TuWorldFile: the six lines, what reads as what, exact round trips, agreement with
// GDAL, and writes that fail without touching the world file already on disk.
#include "uWorldFile.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "CommaLocale.h"
#include "uCauses.h"
#include "uError.h"
#include "uText.h"

namespace {

namespace fs = std::filesystem;

// A folder under /tmp, removed with everything in it at the end of the test. Short names keep
// paths below the length at which error arguments are elided.
class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/kwXXXXXX";
        const char* made = mkdtemp(pattern);
        EXPECT_NE(made, nullptr) << std::strerror(errno);
        path = made != nullptr ? made : "/tmp";
    }
    ~TempFolder() {
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(path, ignored)) {
            if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) {
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
            }
        }
        fs::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// The names in a folder, sorted; shows whether a temporary file was left behind.
std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::u16string Wide(const std::string& narrow) {
    std::vector<char16_t> buffer(narrow.size() + 1);
    TuWiden(buffer.data(), narrow.c_str());
    return buffer.data();
}

bool SameBits(double a, double b) {
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison): bit for bit, so -0.0 is not 0.0
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string Hex(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

TuWorldFile WithParameters(const double (&p)[6]) {
    TuWorldFile world;
    world.SetXVector({p[0], p[1]});
    world.SetYVector({p[2], p[3]});
    world.SetReferencePoint({p[4], p[5]});
    return world;
}

std::vector<double> Parameters(const TuWorldFile& world) {
    return {world.XVector().x, world.XVector().y,        world.YVector().x,
            world.YVector().y, world.ReferencePoint().x, world.ReferencePoint().y};
}

// Reads the file named path into a world file that starts from the given values.
std::vector<double> ReadFile(const std::string& path, const double (&start)[6]) {
    TuWorldFile world = WithParameters(start);
    world.Read(TuFileName(path.c_str()));
    return Parameters(world);
}

constexpr double Sentinel[6] = {11, 12, 13, 14, 15, 16};

std::string SixteenDigits(double value) {
    char line[64];
    std::snprintf(line, sizeof line, "%24.16g\n", value);
    return line;
}

std::string SeventeenDigits(double value) {
    char line[64];
    std::snprintf(line, sizeof line, "%24.17g\n", value);
    return line;
}

// ---------------------------------------------------------------------------------------------
// Values and the written form

TEST(world_file_test, new_object_has_unit_vectors_and_origin) {
    TuWorldFile world;
    EXPECT_EQ(world.XVector().x, 1.0);
    EXPECT_EQ(world.XVector().y, 0.0);
    EXPECT_EQ(world.YVector().x, 0.0);
    EXPECT_EQ(world.YVector().y, -1.0);
    EXPECT_EQ(world.ReferencePoint().x, 0.0);
    EXPECT_EQ(world.ReferencePoint().y, 0.0);
}

TEST(world_file_test, lines_follow_the_order_a_d_b_e_c_f) {
    TempFolder folder;
    std::string path = folder / "sheet.tfw";
    TuWorldFile world = WithParameters({0.5, -1.0, 1.0 / 3.0, -0.25, 500000.0, 1e20});
    world.Write(TuFileName(path.c_str()), true);
    EXPECT_EQ(ReadBytes(path), "                     0.5\n"
                               "                      -1\n"
                               "      0.3333333333333333\n"
                               "                   -0.25\n"
                               "                  500000\n"
                               "                   1e+20\n");
    EXPECT_EQ(Entries(folder.path), std::vector<std::string>{"sheet.tfw"});
}

TEST(world_file_test, seventeen_digits_only_where_sixteen_do_not_read_back) {
    TempFolder folder;
    std::string path = folder / "w.tfw";
    double needs17 = 0.1 + 0.2;
    double near = std::nextafter(500000.1, 1e9);
    TuWorldFile world = WithParameters({0.3, needs17, 1e-5, -2.5e-300, 500000.1, near});
    world.Write(TuFileName(path.c_str()), true);
    EXPECT_EQ(ReadBytes(path), "                     0.3\n"
                               "     0.30000000000000004\n"
                               "                   1e-05\n"
                               "               -2.5e-300\n"
                               "                500000.1\n"
                               "      500000.10000000003\n");
}

// Writes values six at a time and reads them back; every double must come back bit for bit,
// and every line must be the 16-digit form unless that form would lose the value.
void ExpectExactRoundTrips(const std::vector<double>& values, int& lines16, int& lines17) {
    TempFolder folder;
    std::string path = folder / "trip.tfw";
    TuFileName name(path.c_str());
    for (std::size_t first = 0; first + 6 <= values.size(); first += 6) {
        double p[6];
        std::copy_n(values.begin() + static_cast<std::ptrdiff_t>(first), 6, p);
        WithParameters(p).Write(name, true);
        std::vector<double> back = ReadFile(path, Sentinel);
        std::istringstream lines(ReadBytes(path));
        for (int i = 0; i < 6; ++i) {
            EXPECT_TRUE(SameBits(back[i], p[i])) << Hex(p[i]) << " came back as " << Hex(back[i]);
            std::string line;
            std::getline(lines, line);
            line += '\n';
            std::string short16 = SixteenDigits(p[i]);
            bool sixteenSuffice = SameBits(std::strtod(short16.c_str(), nullptr), p[i]);
            EXPECT_EQ(line, sixteenSuffice ? short16 : SeventeenDigits(p[i])) << Hex(p[i]);
            ++(sixteenSuffice ? lines16 : lines17);
        }
    }
}

TEST(world_file_test, chosen_doubles_survive_write_and_read) {
    int lines16 = 0;
    int lines17 = 0;
    ExpectExactRoundTrips({0.1 + 0.2, std::nextafter(500000.1, 0.0), -0.0, 5e-324, DBL_MIN,
                           -DBL_MAX, DBL_MAX, 1.2345678901234567e16, 9007199254740993.0, 2.0 / 3.0,
                           -1e-5, 1e300, 123456789.12345679, 0.1, HUGE_VAL, -HUGE_VAL,
                           4000000.7000000002, 1e22},
                          lines16, lines17);
    EXPECT_GT(lines17, 0);
    EXPECT_GT(lines16, 0);
}

TEST(world_file_test, random_doubles_survive_write_and_read) {
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> ground(-2.1e7, 2.1e7);
    std::uniform_real_distribution<double> exponent(-8.0, 4.0);
    std::vector<double> values;
    while (values.size() < 600) {
        // Any finite bit pattern, then coordinates and pixel sizes as maps have them.
        std::uint64_t bits = random();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any)) {
            values.push_back(any);
        }
        values.push_back(ground(random));
        values.push_back(std::pow(10.0, exponent(random)) * (random() % 2 ? 1 : -1));
    }
    values.resize(600);
    int lines16 = 0;
    int lines17 = 0;
    ExpectExactRoundTrips(values, lines16, lines17);
    // About a quarter of random doubles need the 17th digit; both forms must have been met.
    EXPECT_GT(lines17, 50);
    EXPECT_GT(lines16, 50);
}

// ---------------------------------------------------------------------------------------------
// Reading what other programs write

TEST(world_file_test, reads_exponent_forms) {
    TempFolder folder;
    std::string path = folder / "e.tfw";
    WriteBytes(path, "1.5E+02\n-2.5e-3\n  +4\n1e5\n\t.5\n-7.\n");
    EXPECT_EQ(ReadFile(path, Sentinel), (std::vector<double>{150, -0.0025, 4, 1e5, 0.5, -7}));
}

// Whatever way a line's number is converted, it must be the double strtod gives for it.
TEST(world_file_test, numbers_read_exactly_as_strtod_reads_them) {
    const std::string texts[] = {"0x1p3",
                                 "  -0X10",
                                 "inf",
                                 "-Infinity",
                                 "nan",
                                 "1e400",
                                 "-1e400",
                                 "1e-400",
                                 "4.9e-324",
                                 "2.2250738585072011e-308",
                                 " \t\v\f-0",
                                 "+.5e1",
                                 "5.",
                                 ".",
                                 "-.",
                                 "1e",
                                 "1e+",
                                 "--5",
                                 "+-5",
                                 "9007199254740993",
                                 "0.1000000000000000055511151231257827",
                                 "123456789012345678901234567890123456789012345678901234567890e-40",
                                 "4100063.4999999999999999999999999999",
                                 "0000000000000000000000000001.5e0",
                                 "1_000",
                                 std::string(200, '9') + ".5"};
    TempFolder folder;
    const std::string path = folder / "forms.tfw";
    for (const std::string& text : texts) {
        WriteBytes(path, text + "\n" + text + "\n" + text + "\n" + text + "\n" + text + "\n" +
                             text + "\n");
        const double expected = std::strtod(text.c_str(), nullptr);
        for (double read : ReadFile(path, Sentinel)) {
            EXPECT_EQ(Hex(read), Hex(expected)) << text;
        }
    }
}

TEST(world_file_test, reads_windows_line_ends) {
    TempFolder folder;
    std::string path = folder / "crlf.tfw";
    WriteBytes(path, "0.5\r\n0\r\n0\r\n-0.5\r\n300000.25\r\n5000000.75\r\n");
    EXPECT_EQ(ReadFile(path, Sentinel),
              (std::vector<double>{0.5, 0, 0, -0.5, 300000.25, 5000000.75}));
    // A CR without an LF ends no line and keeps the byte after it.
    WriteBytes(path, "\r7\n8\r9\n1\r\r\n2\n3\n4\n");
    EXPECT_EQ(ReadFile(path, Sentinel), (std::vector<double>{7, 8, 1, 2, 3, 4}));
}

TEST(world_file_test, text_after_a_number_is_ignored) {
    TempFolder folder;
    std::string path = folder / "notes.tfw";
    WriteBytes(path, "30.0 ; pixel size\n0.0m\n0,5\n-30.0 metres\n"
                     "500015.0\tcentre of first pixel\n4199985.0 north\n");
    EXPECT_EQ(ReadFile(path, Sentinel), (std::vector<double>{30, 0, 0, -30, 500015, 4199985}));
}

TEST(world_file_test, line_without_number_reads_as_zero) {
    TempFolder folder;
    std::string path = folder / "gaps.tfw";
    WriteBytes(path, "2\nnorth\n\n-2\n   \n7");
    // The last line has no line end and still counts.
    EXPECT_EQ(ReadFile(path, Sentinel), (std::vector<double>{2, 0, 0, -2, 0, 7}));
}

TEST(world_file_test, lines_after_the_sixth_are_ignored) {
    TempFolder folder;
    std::string path = folder / "seven.tfw";
    WriteBytes(path, "1\n2\n3\n4\n5\n6\n7\nnot a number at all\n");
    EXPECT_EQ(ReadFile(path, Sentinel), (std::vector<double>{1, 2, 3, 4, 5, 6}));
}

TEST(world_file_test, five_lines_are_not_a_world_file) {
    TempFolder folder;
    std::string path = folder / "five.tfw";
    WriteBytes(path, "1\n2\n3\n4\n5\n");
    TuFileName name(path.c_str());
    TuWorldFile world = WithParameters(Sentinel);
    try {
        world.Read(name);
        FAIL() << "a file of five lines was read without complaint";
    } catch (const TuError& error) {
        EXPECT_EQ(error.Cause(), TuCauseWorldFileNotUnderstood);
        EXPECT_EQ(error.Argument(1).Kind(), tvText);
        EXPECT_STREQ(error.Argument(1).Text(), name.GetNarrow());
    }
    // The lines read before the end are kept; the sixth value is the one held before.
    EXPECT_EQ(Parameters(world), (std::vector<double>{1, 2, 3, 4, 5, 16}));

    WriteBytes(path, "");
    EXPECT_THROW(world.Read(name), TuError);
}

TEST(world_file_test, a_line_of_255_characters_counts_as_two) {
    TempFolder folder;
    std::string path = folder / "long.tfw";
    std::string fits(254, ' ');
    fits.replace(0, 3, "2.5");
    std::string tooLong = fits + " 9"; // 256 characters: the 9 starts a line of its own

    WriteBytes(path, fits + "\n1\n2\n3\n4\n5\n");
    EXPECT_EQ(ReadFile(path, Sentinel), (std::vector<double>{2.5, 1, 2, 3, 4, 5}));
    WriteBytes(path, fits + "\r\n1\r\n2\r\n3\r\n4\r\n5\r\n");
    EXPECT_EQ(ReadFile(path, Sentinel), (std::vector<double>{2.5, 1, 2, 3, 4, 5}));
    WriteBytes(path, tooLong + "\n1\n2\n3\n4\n5\n");
    EXPECT_EQ(ReadFile(path, Sentinel), (std::vector<double>{2.5, 9, 1, 2, 3, 4}));
    WriteBytes(path, fits + "7\n1\n2\n3\n4\n5\n"); // 255: its line end makes a second line
    EXPECT_EQ(ReadFile(path, Sentinel), (std::vector<double>{2.5, 0, 1, 2, 3, 4}));
    WriteBytes(path, fits + "7\r\n1\r\n2\r\n3\r\n4\r\n5\r\n"); // the CR LF as well
    EXPECT_EQ(ReadFile(path, Sentinel), (std::vector<double>{2.5, 0, 1, 2, 3, 4}));
    std::string huge = "-1" + std::string(600, ' ') + "\n";
    WriteBytes(path, huge + "6\n7\n8\n");
    EXPECT_EQ(ReadFile(path, Sentinel), (std::vector<double>{-1, 0, 0, 6, 7, 8}));
}

// The file is read in blocks. A CR LF pair ends a line of 254 bytes and counts as one byte of
// it; with that CR at every offset from 262 to 1274 the pair falls across each block boundary
// there is, and must still be one line end (else the LF makes a line of its own). A lone CR
// there is the line's 255th byte, and the byte after it starts the next line.
TEST(world_file_test, a_line_end_split_between_two_reads_is_one_line_end) {
    TempFolder folder;
    std::string path = folder / "split.tfw";
    for (std::size_t before = 8; before <= 1020; ++before) {
        // Four lines of 2 to 255 bytes that fill `before` bytes, then the fifth.
        std::string text;
        std::size_t left = before;
        for (char digit = '1'; digit <= '4'; ++digit) {
            const std::size_t size = std::min<std::size_t>(left - ('4' - digit) * 2, 255);
            text += std::string(size - 2, ' ') + digit + "\n";
            left -= size;
        }
        text += std::string(253, ' ') + "5\r";
        ASSERT_EQ(text.size(), before + 255);
        for (const char* rest : {"\n6\n7\n", "6\n7\n"}) {
            WriteBytes(path, text + rest);
            ASSERT_EQ(ReadFile(path, Sentinel), (std::vector<double>{1, 2, 3, 4, 5, 6}))
                << "CR at offset " << before + 254 << " followed by " << int{rest[0]};
        }
    }
}

TEST(world_file_test, unreadable_file_leaves_the_values) {
    TempFolder folder;
    double start[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(ReadFile(folder / "missing.tfw", start), (std::vector<double>{1, 2, 3, 4, 5, 6}));
    fs::create_directory(folder / "folder.tfw");
    EXPECT_EQ(ReadFile(folder / "folder.tfw", start), (std::vector<double>{1, 2, 3, 4, 5, 6}));
}

TEST(world_file_test, a_pipe_named_like_the_file_is_not_waited_on) {
    TempFolder folder;
    const std::string path = folder / "pipe.tfw";
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0) << std::strerror(errno);
    // In a child process, which the alarm ends should the read wait for a writer.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(10);
        double start[6] = {1, 2, 3, 4, 5, 6};
        try {
            _exit(ReadFile(path, start) == std::vector<double>{1, 2, 3, 4, 5, 6} ? 0 : 1);
        } catch (...) {
            _exit(2);
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the read of a pipe did not return";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: values changed, 2: raised";
}

TEST(world_file_test, numbers_use_a_decimal_point_under_any_locale) {
    TempFolder folder;
    std::string path = folder / "l.tfw";
    UnderCommaLocale([&] {
        WithParameters({0.5, 0, 0, -0.5, 1234.25, 0.1 + 0.2}).Write(TuFileName(path.c_str()), true);
        EXPECT_EQ(ReadBytes(path), "                     0.5\n                       0\n"
                                   "                       0\n                    -0.5\n"
                                   "                 1234.25\n     0.30000000000000004\n");
        EXPECT_EQ(ReadFile(path, Sentinel),
                  (std::vector<double>{0.5, 0, 0, -0.5, 1234.25, 0.1 + 0.2}));
    });
}

// ---------------------------------------------------------------------------------------------
// Writing

TEST(world_file_writing_test, existing_file_is_kept_without_overwrite) {
    TempFolder folder;
    std::string path = folder / "kept.tfw";
    WriteBytes(path, "old\n");
    TuFileName name(path.c_str());
    try {
        TuWorldFile().Write(name, false);
        FAIL() << "an existing world file was overwritten";
    } catch (const TuError& error) {
        EXPECT_EQ(error.Cause(), TuCauseCreateFileExists);
        EXPECT_EQ(error.Argument(1).Kind(), tvWideText);
        EXPECT_EQ(std::u16string(error.Argument(1).WideText()), Wide(path));
        EXPECT_EQ(error.Argument(2).Kind(), tvNone);
    }
    EXPECT_EQ(ReadBytes(path), "old\n");
    EXPECT_EQ(Entries(folder.path), std::vector<std::string>{"kept.tfw"});

    TuWorldFile().Write(TuFileName((folder / "new.tfw").c_str()), false);
    EXPECT_EQ(ReadFile(folder / "new.tfw", Sentinel), (std::vector<double>{1, 0, 0, -1, 0, 0}));
}

TEST(world_file_writing_test, replacement_keeps_the_mode_of_the_old_file) {
    TempFolder folder;
    std::string path = folder / "mode.tfw";
    WriteBytes(path, "old\n");
    chmod(path.c_str(), 0604);
    TuWorldFile().Write(TuFileName(path.c_str()), true);
    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
    EXPECT_EQ(ReadFile(path, Sentinel), (std::vector<double>{1, 0, 0, -1, 0, 0}));
    EXPECT_EQ(Entries(folder.path), std::vector<std::string>{"mode.tfw"});
}

TEST(world_file_writing_test, new_file_mode_follows_the_umask) {
    TempFolder folder;
    std::string path = folder / "fresh.tfw";
    mode_t previous = umask(027);
    TuWorldFile().Write(TuFileName(path.c_str()), true);
    umask(previous);
    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST(world_file_writing_test, linked_world_file_is_replaced_at_its_target) {
    TempFolder folder;
    fs::create_directory(folder / "maps");
    fs::create_directory(folder / "store");
    std::string target = folder / "store/real.tfw";
    WriteBytes(target, "old\n");
    // maps/sheet.tfw -> hop.tfw -> ../store/real.tfw, both links relative to their folder.
    fs::create_symlink("../store/real.tfw", folder / "maps/hop.tfw");
    fs::create_symlink("hop.tfw", folder / "maps/sheet.tfw");

    WithParameters({2, 0, 0, -2, 10, 20})
        .Write(TuFileName((folder / "maps/sheet.tfw").c_str()), true);
    EXPECT_TRUE(fs::is_symlink(folder / "maps/sheet.tfw"));
    EXPECT_TRUE(fs::is_symlink(folder / "maps/hop.tfw"));
    EXPECT_EQ(ReadFile(target, Sentinel), (std::vector<double>{2, 0, 0, -2, 10, 20}));
    EXPECT_EQ(Entries(folder / "maps"), (std::vector<std::string>{"hop.tfw", "sheet.tfw"}));
    EXPECT_EQ(Entries(folder / "store"), std::vector<std::string>{"real.tfw"});

    // A link whose target does not exist yet: the target is created, the link stays.
    fs::create_symlink(folder / "store/later.tfw", folder / "maps/later.tfw");
    TuWorldFile().Write(TuFileName((folder / "maps/later.tfw").c_str()), true);
    EXPECT_TRUE(fs::is_symlink(folder / "maps/later.tfw"));
    EXPECT_EQ(ReadFile(folder / "store/later.tfw", Sentinel),
              (std::vector<double>{1, 0, 0, -1, 0, 0}));

    // Links that lead round in a circle name no file: nothing is written, the links stay.
    fs::create_symlink("round.tfw", folder / "maps/circle.tfw");
    fs::create_symlink("circle.tfw", folder / "maps/round.tfw");
    TuFileName circle((folder / "maps/circle.tfw").c_str());
    EXPECT_THROW(TuWorldFile().Write(circle, true), TuError);
    EXPECT_EQ(
        Entries(folder / "maps"),
        (std::vector<std::string>{"circle.tfw", "hop.tfw", "later.tfw", "round.tfw", "sheet.tfw"}));
}

// The diagnosis that a failed create of name with error number should give.
void ExpectOpenFailure(const TuError& error, const TuFileName& name, int errorNumber) {
    try {
        name.RaiseOpenFailure(TuOpenAccess::Write, errorNumber);
    } catch (const TuError& expected) {
        EXPECT_EQ(error.Cause(), expected.Cause());
        EXPECT_EQ(std::u16string(error.Message()), std::u16string(expected.Message()));
    }
}

// Only a regular file is replaced. A folder, a pipe, or a link to either keeps its place and
// is reported as a folder named as a TIFF is: the refused open of something that is no file.
TEST(world_file_writing_test, what_is_not_a_regular_file_is_refused_and_kept) {
    TempFolder folder;
    fs::create_directory(folder / "dir.tfw");
    ASSERT_EQ(mkfifo((folder / "pipe.tfw").c_str(), 0600), 0) << std::strerror(errno);
    fs::create_symlink(folder / "dir.tfw", folder / "to_dir.tfw");
    fs::create_symlink("pipe.tfw", folder / "to_pipe.tfw");
    const std::vector<std::string> before = Entries(folder.path);
    for (const char* entry : {"dir.tfw", "pipe.tfw", "to_dir.tfw", "to_pipe.tfw"}) {
        const std::string path = folder / entry;
        try {
            TuWorldFile().Write(TuFileName(path.c_str()), true);
            ADD_FAILURE() << entry << " was taken for a world file";
        } catch (const TuError& error) {
            EXPECT_EQ(error.Cause(), TuCauseOpenIsDirectory) << entry;
            EXPECT_EQ(std::u16string(error.Message()),
                      u"File named " + Wide(path) +
                          u" is a directory, rather than a file. Open failed. (Code: 13)");
        }
    }
    EXPECT_EQ(Entries(folder.path), before);
    EXPECT_TRUE(fs::is_directory(fs::symlink_status(folder / "dir.tfw")));
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(folder / "pipe.tfw")));
    EXPECT_TRUE(fs::is_symlink(folder / "to_dir.tfw"));
    EXPECT_TRUE(fs::is_symlink(folder / "to_pipe.tfw"));
}

TEST(world_file_writing_test, missing_folder_is_diagnosed) {
    TempFolder folder;
    TuFileName name((folder / "nosuch/sheet.tfw").c_str());
    try {
        TuWorldFile().Write(name, true);
        FAIL() << "a world file was written into a folder that does not exist";
    } catch (const TuError& error) {
        ExpectOpenFailure(error, name, ENOENT);
    }
    EXPECT_TRUE(Entries(folder.path).empty());
}

// ---------------------------------------------------------------------------------------------
// Failed writes, each in a child process that may change its user, mounts or limits

struct ChildReport {
    char skip[160];     // why the case cannot run here; empty when it ran
    bool raised;        // Write raised a TuError
    int cause;          // its cause
    int number;         // its second argument, the error number, where it has one
    int expectedCause;  // what the open-failure diagnosis gives, where that applies
    bool sameMessage;   // the message equals the diagnosis's message
    bool oldFileIntact; // the world file on disk is byte for byte the old one
    char entries[256];  // the folder's names after the write, one per line
};

constexpr char OldWorldFile[] = "  1\n  0\n  0\n -1\n  100\n  200\n";

std::string EntryList(const std::string& folder) {
    std::string list;
    for (const std::string& entry : Entries(folder)) {
        list += entry + "\n";
    }
    return list;
}

// Writes a world file over path (which holds OldWorldFile) and records what happened.
void WriteOver(const std::string& folder, const std::string& path, int openError,
               ChildReport& report) {
    TuFileName name(path.c_str());
    try {
        WithParameters({0.5, 0, 0, -0.5, 1e6 + 0.25, 2e6 + 0.75}).Write(name, true);
    } catch (const TuError& error) {
        report.raised = true;
        report.cause = error.Cause();
        report.number = error.Argument(2).Kind() == tvInt ? error.Argument(2).AsSigned() : -1;
        if (openError != 0) {
            try {
                name.RaiseOpenFailure(TuOpenAccess::Write, openError);
            } catch (const TuError& expected) {
                report.expectedCause = expected.Cause();
                report.sameMessage =
                    std::u16string(error.Message()) == std::u16string(expected.Message());
            }
        }
    }
    report.oldFileIntact = ReadBytes(path) == OldWorldFile;
    std::snprintf(report.entries, sizeof report.entries, "%s", EntryList(folder).c_str());
}

ChildReport RunInChild(const std::function<void(ChildReport&)>& body) {
    ChildReport report{};
    int channel[2];
    if (pipe(channel) != 0) {
        std::snprintf(report.skip, sizeof report.skip, "pipe failed");
        return report;
    }
    pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        ChildReport inChild{};
        try {
            body(inChild);
        } catch (...) {
            std::snprintf(inChild.skip, sizeof inChild.skip, "unexpected exception in child");
        }
        ssize_t sent = write(channel[1], &inChild, sizeof inChild);
        _exit(sent == static_cast<ssize_t>(sizeof inChild) ? 0 : 1);
    }
    close(channel[1]);
    ssize_t received = child > 0 ? read(channel[0], &report, sizeof report) : -1;
    close(channel[0]);
    int status = 0;
    if (child > 0) {
        waitpid(child, &status, 0);
    }
    EXPECT_EQ(received, static_cast<ssize_t>(sizeof report)) << "the child process died";
    return report;
}

void Skip(ChildReport& report, const char* what) {
    std::snprintf(report.skip, sizeof report.skip, "%s: %s", what, std::strerror(errno));
}

// Gives the child a private view of the mounts and a new tmpfs at folder.
bool MountTmpfs(const std::string& folder, const char* options, ChildReport& report) {
    if (unshare(CLONE_NEWNS) != 0) {
        Skip(report, "cannot make a private mount namespace");
        return false;
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        Skip(report, "cannot make the mounts private");
        return false;
    }
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, options) != 0) {
        Skip(report, "cannot mount a tmpfs");
        return false;
    }
    return true;
}

TEST(world_file_failure_test, read_only_folder_for_an_unprivileged_user) {
    TempFolder folder;
    std::string maps = folder / "maps";
    std::string path = maps + "/sheet.tfw";
    fs::create_directory(maps);
    WriteBytes(path, OldWorldFile);
    chmod(path.c_str(), 0666);
    chmod(maps.c_str(), 0555);
    chmod(folder.path.c_str(), 0755);
    ChildReport report = RunInChild([&](ChildReport& r) {
        // Root writes anywhere; become nobody so that the folder's mode applies.
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
            Skip(r, "cannot change to an unprivileged user");
            return;
        }
        WriteOver(maps, path, EACCES, r);
    });
    if (report.skip[0] != '\0') {
        GTEST_SKIP() << report.skip;
    }
    EXPECT_TRUE(report.raised);
    EXPECT_EQ(report.cause, report.expectedCause);
    EXPECT_TRUE(report.sameMessage);
    EXPECT_TRUE(report.oldFileIntact);
    EXPECT_STREQ(report.entries, "sheet.tfw\n");
}

TEST(world_file_failure_test, unreadable_file_leaves_the_values_for_an_unprivileged_user) {
    TempFolder folder;
    std::string path = folder / "secret.tfw";
    WriteBytes(path, "9\n9\n9\n9\n9\n9\n");
    chmod(path.c_str(), 0);
    chmod(folder.path.c_str(), 0755);
    ChildReport report = RunInChild([&](ChildReport& r) {
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
            Skip(r, "cannot change to an unprivileged user");
            return;
        }
        r.oldFileIntact = ReadFile(path, Sentinel) == std::vector<double>(Sentinel, Sentinel + 6);
    });
    if (report.skip[0] != '\0') {
        GTEST_SKIP() << report.skip;
    }
    EXPECT_TRUE(report.oldFileIntact) << "values changed by a file that could not be read";
}

TEST(world_file_failure_test, read_only_file_system) {
    TempFolder folder;
    ChildReport report = RunInChild([&](ChildReport& r) {
        if (!MountTmpfs(folder.path, "size=256k", r)) {
            return;
        }
        std::string path = folder / "sheet.tfw";
        WriteBytes(path, OldWorldFile);
        if (mount(nullptr, folder.path.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
            Skip(r, "cannot remount the tmpfs read-only");
            return;
        }
        WriteOver(folder.path, path, EROFS, r);
    });
    if (report.skip[0] != '\0') {
        GTEST_SKIP() << report.skip;
    }
    EXPECT_TRUE(report.raised);
    EXPECT_EQ(report.cause, report.expectedCause);
    EXPECT_TRUE(report.sameMessage);
    EXPECT_TRUE(report.oldFileIntact);
    EXPECT_STREQ(report.entries, "sheet.tfw\n");
}

TEST(world_file_failure_test, full_file_system) {
    TempFolder folder;
    ChildReport report = RunInChild([&](ChildReport& r) {
        if (!MountTmpfs(folder.path, "size=64k", r)) {
            return;
        }
        std::string path = folder / "sheet.tfw";
        WriteBytes(path, OldWorldFile);
        // Fill every block that is left.
        int filler = open((folder / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
        static const char block[4096] = {};
        while (write(filler, block, sizeof block) > 0) {
        }
        while (write(filler, block, 1) > 0) {
        }
        close(filler);
        WriteOver(folder.path, path, 0, r);
    });
    if (report.skip[0] != '\0') {
        GTEST_SKIP() << report.skip;
    }
    EXPECT_TRUE(report.raised);
    EXPECT_EQ(report.cause, TuCauseFileWriteFailedDiskFull);
    EXPECT_EQ(report.number, ENOSPC);
    EXPECT_TRUE(report.oldFileIntact);
    EXPECT_STREQ(report.entries, "filler\nsheet.tfw\n");
}

TEST(world_file_failure_test, file_size_limit_stops_the_write) {
    // Needs no privilege: past the limit the system refuses to write with EFBIG.
    TempFolder folder;
    std::string path = folder / "sheet.tfw";
    WriteBytes(path, OldWorldFile);
    ChildReport report = RunInChild([&](ChildReport& r) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {30, 30};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            Skip(r, "cannot limit the file size");
            return;
        }
        WriteOver(folder.path, path, 0, r);
    });
    if (report.skip[0] != '\0') {
        GTEST_SKIP() << report.skip;
    }
    EXPECT_TRUE(report.raised);
    EXPECT_EQ(report.cause, TuCauseFileWriteFailedDiskFull);
    EXPECT_EQ(report.number, EFBIG);
    EXPECT_TRUE(report.oldFileIntact);
    EXPECT_STREQ(report.entries, "sheet.tfw\n");
}

// ---------------------------------------------------------------------------------------------
// Agreement with GDAL

bool HaveCommand(const char* name) {
    std::string command = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

std::string RunTool(const std::string& command) {
    std::string output;
    if (std::FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char chunk[4096];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
            output.append(chunk, got);
        }
        int status = pclose(pipe);
        EXPECT_EQ(status, 0) << command << "\n" << output;
    }
    return output;
}

// The six numbers of "geoTransform" in gdalinfo's JSON.
std::vector<double> GeoTransform(const std::string& json) {
    std::vector<double> numbers;
    std::size_t at = json.find("\"geoTransform\"");
    if (at == std::string::npos) {
        return numbers;
    }
    at = json.find('[', at);
    const char* cursor = json.c_str() + at + 1;
    for (int i = 0; i < 6; ++i) {
        char* end = nullptr;
        numbers.push_back(std::strtod(cursor, &end));
        cursor = end;
        while (*cursor == ',' || std::isspace(static_cast<unsigned char>(*cursor))) {
            ++cursor;
        }
    }
    return numbers;
}

TEST(world_file_gdal_test, gdal_places_a_tiff_by_a_world_file_from_kestrel) {
    if (!HaveCommand("gdal_create") || !HaveCommand("gdalinfo")) {
        GTEST_SKIP() << "GDAL's command-line tools are not installed";
    }
    TempFolder folder;
    std::string tiff = folder / "plain.tif";
    RunTool("gdal_create -of GTiff -outsize 4 3 -bands 1 -co PROFILE=BASELINE " + tiff);
    // Rotation terms, and a reference point that needs all 17 digits.
    const double a = 0.3;
    const double d = 0.001;
    const double b = -0.002;
    const double e = -0.25;
    const double c = std::nextafter(500000.1, 1e9);
    const double f = std::nextafter(4000000.7, 0.0);
    WithParameters({a, d, b, e, c, f}).Write(TuFileName((folder / "plain.tfw").c_str()), true);

    std::vector<double> gt = GeoTransform(RunTool("gdalinfo -json " + tiff));
    ASSERT_EQ(gt.size(), 6u) << "gdalinfo shows no geotransform";
    // GDAL's transform places the corner of the first pixel, not its centre.
    EXPECT_EQ(gt[0], c - 0.5 * a - 0.5 * b);
    EXPECT_EQ(gt[3], f - 0.5 * d - 0.5 * e);
    // gdalinfo prints 16 decimals: exact for these, within 1e-16 for the small terms.
    EXPECT_NEAR(gt[1], a, 1e-16);
    EXPECT_NEAR(gt[2], b, 1e-16);
    EXPECT_NEAR(gt[4], d, 1e-16);
    EXPECT_NEAR(gt[5], e, 1e-16);
}

TEST(world_file_gdal_test, kestrel_reads_a_world_file_from_gdal) {
    if (!HaveCommand("gdal_create") || !HaveCommand("gdal_translate")) {
        GTEST_SKIP() << "GDAL's command-line tools are not installed";
    }
    TempFolder folder;
    std::string source = folder / "source.tif";
    std::string placed = folder / "placed.tif";
    RunTool("gdal_create -of GTiff -outsize 4 3 -bands 1 " + source);
    // 4 x 3 pixels over 2 x 3 ground units: A = 0.5, E = -1.
    RunTool("gdal_translate -q -co TFW=YES -a_ullr 500000 4000000 500002 3999997 " + source + " " +
            placed);
    ASSERT_TRUE(fs::exists(folder / "placed.tfw")) << "GDAL wrote no world file";
    EXPECT_EQ(ReadFile(folder / "placed.tfw", Sentinel),
              (std::vector<double>{0.5, 0, 0, -1, 500000.25, 3999999.5}));
}

} // namespace
