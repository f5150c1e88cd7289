// Crash consistency of every write: the full update of a TIFF's referencing and of a world
// file is run in a helper process under strace, which fails (ENOSPC) or kills the process at
// the N-th call of one kind (write, pwrite64, fsync, rename, ...) for N = 1, 2, ... until a
// run no longer reaches an N-th call. After every run the file must hold the old referencing
// or the new one, whole: the TIFF opens in Kestrel and in libtiff without error and its image
// data is unchanged; the world file is the old file or the new one, byte for byte. A run that
// reports success must have stored the new referencing, and a failed call must never be
// reported as success.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

#include "RobustnessFiles.h"
#include "UpdateHelperValues.h"
#include "uError.h"
#include "uTiffFile.h"

using namespace robustness;

namespace {

// Every call that can put bytes into a file or make them durable or visible.
const char* const injectedCalls[] = {"write",    "pwrite64", "writev",    "pwritev",
                                     "pwritev2", "fsync",    "fdatasync", "sync_file_range",
                                     "rename",   "renameat", "renameat2"};
// A bound on N that no update comes near; reaching it means the runs never stop hitting.
constexpr int MaxCallsOfOneKind = 200;

std::string Quote(const std::string& text) {
    return "'" + text + "'";
}

std::string AllCalls() {
    std::string list;
    for (const char* call : injectedCalls) {
        list += (list.empty() ? "" : ",") + std::string(call);
    }
    return list;
}

bool StraceCanInject() {
    static const bool works = [] {
        return std::system("strace -f -qq -o /dev/null -e inject=write:error=ENOSPC:when=1 "
                           "/bin/true >/dev/null 2>&1") == 0;
    }();
    return works;
}

struct HelperRun {
    bool hit = false;         // the N-th call was reached and tampered with
    bool afterRename = false; // ... after a rename had put the new file in place
    bool onTheFiles = false;  // ... on a file or folder of the update (not, say, a sanitizer's
                              // own output)
    bool exited = false;      // the helper ended by itself (not killed)
    int exitStatus = -1;
    std::string diagnostics;
};

// Runs the helper on file with the action (error=ENOSPC or signal=KILL) injected at the n-th
// call of kind `call`; n = 0 runs it without injection.
HelperRun RunHelper(const ScratchFolder& folder, const std::string& what, const std::string& file,
                    const std::string& call, const std::string& action, int n) {
    const std::string log = folder.File("strace.log");
    const std::string errors = folder.File("helper.err");
    std::string command =
        // -y names the file behind each descriptor, to tell the update's calls from others.
        "ASAN_OPTIONS=detect_leaks=0 strace -f -q -y -o " + Quote(log) + " -e trace=" + AllCalls();
    if (n > 0) {
        command += " -e inject=" + call + ":" + action + ":when=" + std::to_string(n);
    }
    command += " " + Quote(KESTREL_UPDATE_HELPER) + " " + what + " " + Quote(file) + " >" +
               Quote(errors) + " 2>&1";
    (void)std::system(command.c_str());
    HelperRun run;
    const Bytes logText = ReadFile(log);
    std::istringstream lines(std::string(logText.begin(), logText.end()));
    bool renamed = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("(INJECTED)") != std::string::npos ||
            line.find("killed by SIGKILL") != std::string::npos) {
            run.hit = true;
            run.afterRename = renamed;
            run.onTheFiles = line.find(folder.Path()) != std::string::npos;
        } else if (line.find(" rename") != std::string::npos &&
                   line.find(") = 0") != std::string::npos) {
            renamed = true;
        }
        const std::size_t exited = line.find("+++ exited with ");
        if (exited != std::string::npos) {
            run.exited = true;
            run.exitStatus = std::atoi(line.c_str() + exited + 16);
        }
    }
    const Bytes text = ReadFile(errors);
    run.diagnostics = std::string(text.begin(), text.end());
    return run;
}

// The referencing as Kestrel reads it: the counts answered and the values.
struct Referencing {
    int scaleCount = 0;
    int tieCount = 0;
    double scale[3] = {};
    double tie[6] = {};

    // Bit for bit, so -0.0 is not 0.0. NOLINTBEGIN(bugprone-suspicious-memory-comparison)
    bool operator==(const Referencing& other) const {
        return scaleCount == other.scaleCount && tieCount == other.tieCount &&
               std::memcmp(scale, other.scale, sizeof scale) == 0 &&
               std::memcmp(tie, other.tie, sizeof tie) == 0;
    }
    // NOLINTEND(bugprone-suspicious-memory-comparison)
};

Referencing ReadReferencing(const std::string& path) {
    TuTiffFile file(TuFileName(path.c_str()), ModeExamine);
    Referencing r;
    r.scaleCount = file.ReadDoubles(TiffTagModelPixelScale, r.scale, 3, 0);
    r.tieCount = file.ReadDoubles(TiffTagModelTiepoint, r.tie, 6, 0);
    return r;
}

Referencing NewReferencing() {
    Referencing r;
    r.scaleCount = 3;
    r.tieCount = 6;
    std::memcpy(r.scale, UpdateHelperScale, sizeof r.scale);
    std::memcpy(r.tie, UpdateHelperTiepoint, sizeof r.tie);
    return r;
}

// libtiff reads every directory and all image data without an error or a warning other than
// its notices of tags it does not know.
std::string LibtiffComplaints(const ScratchFolder& folder, const std::string& path) {
    const std::string errors = folder.File("tiffinfo.err");
    const int status =
        std::system(("tiffinfo -D " + Quote(path) + " >/dev/null 2>" + Quote(errors)).c_str());
    std::string complaints = status == 0 ? "" : "tiffinfo failed\n";
    const Bytes text = ReadFile(errors);
    std::istringstream lines(std::string(text.begin(), text.end()));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.find("Unknown field with tag") == std::string::npos) {
            complaints += line + "\n";
        }
    }
    return complaints;
}

// The byte ranges of the old file that an update may change: the header and the values of
// the two referencing tags where they lie.
bool MayChange(const TuTiffFile& old, std::size_t at) {
    if (at < (old.IsBigTiff() ? 16u : 8u)) {
        return true;
    }
    for (int id : {TiffTagModelPixelScale, TiffTagModelTiepoint}) {
        const int index = old.FindTag(id);
        if (index == TagNotFound) {
            continue;
        }
        const TuTiffTag& tag = old.TagAt(static_cast<std::size_t>(index));
        if (tag.offset != TiffInlineOffset && at >= tag.offset && at - tag.offset < tag.size) {
            return true;
        }
    }
    return false;
}

struct Tally {
    int runs = 0;
    int killed = 0;
    int failed = 0;
};

class crash_consistency_test : public ::testing::Test {
protected:
    void SetUp() override {
        if (!StraceCanInject()) {
            GTEST_SKIP() << "strace cannot trace and inject here (ptrace not permitted)";
        }
    }

    // Runs the TIFF update on a fresh copy of the fixture at every call, failed and killed.
    void CheckTiffUpdate(const char* fixture) { CheckTiffUpdate(fixture, Fixture(fixture)); }

    void CheckTiffUpdate(const char* fixture, const Bytes& original) {
        const std::string path = folder.File("image.tif");
        const std::string copy = folder.File("original.tif");
        WriteFile(path, original);
        WriteFile(copy, original);
        const Referencing before = ReadReferencing(copy);
        const Referencing after = NewReferencing();
        ASSERT_FALSE(before == after);
        const TuTiffFile old(TuFileName(copy.c_str()), ModeExamine);

        // Without injection the update succeeds.
        const HelperRun clean = RunHelper(folder, "tiff", path, "", "", 0);
        ASSERT_TRUE(clean.exited && clean.exitStatus == 0) << clean.diagnostics;
        ASSERT_TRUE(ReadReferencing(path) == after);

        Tally tally;
        for (const char* action : {"error=ENOSPC", "signal=KILL"}) {
            for (const char* call : injectedCalls) {
                for (int n = 1;; ++n) {
                    ASSERT_LT(n, MaxCallsOfOneKind) << call;
                    WriteFile(path, original);
                    const HelperRun run = RunHelper(folder, "tiff", path, call, action, n);
                    if (!run.hit) {
                        EXPECT_TRUE(run.exited && run.exitStatus == 0)
                            << call << " " << n << ": " << run.diagnostics;
                        break;
                    }
                    ++tally.runs;
                    (run.exited ? tally.failed : tally.killed)++;
                    const std::string where = std::string(fixture) + ", " + action + " at " + call +
                                              " #" + std::to_string(n);
                    CheckTiffAfter(path, original, old, before, after, run, where);
                }
            }
        }
        RecordProperty("injected_runs", tally.runs);
        std::printf("%s: %d runs with a failed call, %d killed\n", fixture, tally.failed,
                    tally.killed);
    }

    void CheckTiffAfter(const std::string& path, const Bytes& original, const TuTiffFile& old,
                        const Referencing& before, const Referencing& after, const HelperRun& run,
                        const std::string& where) {
        if (run.exited && run.onTheFiles) {
            EXPECT_NE(run.exitStatus, 0) << where << ": a failed call was reported as success";
        }
        Referencing now;
        try {
            now = ReadReferencing(path);
        } catch (const TuError& error) {
            ADD_FAILURE() << where << ": Kestrel cannot open the file: " << error.what();
            return;
        }
        EXPECT_TRUE(now == before || now == after)
            << where << ": the referencing is neither the old one nor the new one";
        const std::string complaints = LibtiffComplaints(folder, path);
        EXPECT_TRUE(complaints.empty()) << where << ": libtiff: " << complaints;
        const Bytes bytes = ReadFile(path);
        ASSERT_GE(bytes.size(), original.size()) << where;
        for (std::size_t at = 0; at < original.size(); ++at) {
            if (bytes[at] != original[at] && !MayChange(old, at)) {
                ADD_FAILURE() << where << ": byte " << at << " of the old file changed";
                break;
            }
        }
    }

    // Runs the world file update at every call, over an existing world file (or none).
    // NOLINTNEXTLINE(readability-function-size): one scenario, its assertions expand to many
    void CheckWorldUpdate(bool existing) {
        const std::string path = folder.File("image.tfw");
        const std::string oldText = "10\n0\n0\n-10\n500005\n4649995\n";
        const Bytes oldBytes(oldText.begin(), oldText.end());
        auto reset = [&] {
            std::filesystem::remove(path);
            if (existing) {
                WriteFile(path, oldBytes);
            }
        };
        reset();
        const HelperRun clean = RunHelper(folder, "world", path, "", "", 0);
        ASSERT_TRUE(clean.exited && clean.exitStatus == 0) << clean.diagnostics;
        const Bytes newBytes = ReadFile(path);
        ASSERT_FALSE(newBytes.empty());

        Tally tally;
        for (const char* action : {"error=ENOSPC", "signal=KILL"}) {
            for (const char* call : injectedCalls) {
                for (int n = 1;; ++n) {
                    ASSERT_LT(n, MaxCallsOfOneKind) << call;
                    reset();
                    const HelperRun run = RunHelper(folder, "world", path, call, action, n);
                    if (!run.hit) {
                        EXPECT_TRUE(run.exited && run.exitStatus == 0) << run.diagnostics;
                        break;
                    }
                    ++tally.runs;
                    (run.exited ? tally.failed : tally.killed)++;
                    const std::string where =
                        std::string(action) + " at " + call + " #" + std::to_string(n);
                    const bool present = std::filesystem::exists(path);
                    const Bytes now = present ? ReadFile(path) : Bytes{};
                    if (run.exited && run.onTheFiles && !run.afterRename) {
                        // (Once the new file is in place, a failed sync of its folder leaves
                        // it there: success may then be reported, as the file shows.)
                        EXPECT_NE(run.exitStatus, 0)
                            << where << ": a failed call was reported as success";
                        // A failure cleans up after itself: no temporary file is left.
                        EXPECT_EQ(LeftOvers(), 0) << where;
                    }
                    if (existing || present) {
                        EXPECT_TRUE(now == oldBytes || now == newBytes)
                            << where << ": the world file is neither the old one nor the new one";
                        EXPECT_TRUE(existing || now == newBytes) << where;
                    }
                    // (A call of the sanitizers' own that fails may end the process before the
                    // update starts, with status 0: only the update's own calls say anything.)
                    if (run.exited && run.exitStatus == 0 && run.onTheFiles) {
                        EXPECT_TRUE(now == newBytes) << where << ": success without the new file";
                    }
                    ClearLeftOvers();
                }
            }
        }
        RecordProperty("injected_runs", tally.runs);
        std::printf("world file (%s): %d runs with a failed call, %d killed\n",
                    existing ? "replaced" : "new", tally.failed, tally.killed);
    }

    // Files in the folder other than the world file and the test's own logs.
    int LeftOvers() const {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
            const std::string name = entry.path().filename().string();
            if (name != "image.tfw" && name != "strace.log" && name != "helper.err") {
                ++count;
            }
        }
        return count;
    }
    void ClearLeftOvers() const {
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
            const std::string name = entry.path().filename().string();
            if (name != "image.tfw" && name != "strace.log" && name != "helper.err") {
                std::filesystem::remove(entry.path());
            }
        }
    }

    ScratchFolder folder;
};

} // namespace

TEST_F(crash_consistency_test, adding_both_tags_leaves_the_old_or_the_new_file) {
    CheckTiffUpdate("plain-le.tif");
}

TEST_F(crash_consistency_test, updating_existing_tags_leaves_the_old_or_the_new_file) {
    CheckTiffUpdate("geotiff-le.tif");
}

TEST_F(crash_consistency_test, adding_one_tag_and_updating_the_other_leaves_old_or_new) {
    // A file with a tiepoint but no pixel scale, made from the plain fixture by Kestrel itself.
    const std::string path = folder.File("tiepoint-only.tif");
    WriteFile(path, Fixture("plain-le.tif"));
    {
        TuTiffFile file(TuFileName(path.c_str()), ModeUpdate);
        file.AddTag(TuTiffTag(TiffTagModelTiepoint, TiffTypeDouble, 6));
        const double tie[6] = {0, 0, 0, 500000, 4650000, 0};
        file.WriteDoubles(TiffTagModelTiepoint, tie, 6, 0);
        file.commitOnClose = true;
        file.CommitAndClose();
    }
    CheckTiffUpdate("tiepoint-only", ReadFile(path));
}

TEST_F(crash_consistency_test, updating_a_big_endian_file_with_overviews_leaves_old_or_new) {
    CheckTiffUpdate("overviews-be.tif");
}

TEST_F(crash_consistency_test, adding_both_tags_to_a_bigtiff_leaves_the_old_or_the_new_file) {
    CheckTiffUpdate("plain-le-bigtiff.tif");
}

TEST_F(crash_consistency_test, updating_existing_tags_of_a_bigtiff_leaves_old_or_new) {
    CheckTiffUpdate("geotiff-be-bigtiff.tif");
}

TEST_F(crash_consistency_test, updating_a_bigtiff_with_overviews_leaves_old_or_new) {
    CheckTiffUpdate("overviews-be-bigtiff.tif");
}

TEST_F(crash_consistency_test, replacing_a_world_file_leaves_the_old_or_the_new_file) {
    CheckWorldUpdate(true);
}

TEST_F(crash_consistency_test, creating_a_world_file_leaves_none_or_the_new_file) {
    CheckWorldUpdate(false);
}
