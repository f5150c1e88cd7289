// Replacing a file whole through the operating-system seam: the result names the step that
// failed, and whatever happens the folder holds the old file or the new one and nothing else.
// Only the standard library besides the seam, so that the same tests check each host. (Links,
// permissions and owners, and failures of the storage, are tested through the world file.)
#include "uOsAtomicReplace.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "OsTestFolder.h"
#include "uOsError.h"

namespace {

namespace fs = std::filesystem;

TuReplaceResult Replace(const std::u16string& path, const std::string& bytes) {
    return TuReplaceFile(path.c_str(), bytes.data(), bytes.size());
}

void ExpectResult(const TuReplaceResult& result, TuReplaceStep step, int error) {
    EXPECT_EQ(result.step, step);
    EXPECT_EQ(result.error, error);
}

TEST(os_atomic_replace_test, the_file_holds_exactly_the_new_bytes_and_stands_alone) {
    OsTestFolder folder;
    const std::u16string path = folder.Wide("sheet.tfw");
    ExpectResult(Replace(path, "first version\n"), TuReplaceStep::Done, TuOsNoError);
    EXPECT_EQ(ReadText(folder / "sheet.tfw"), "first version\n");
    ExpectResult(Replace(path, "short\n"), TuReplaceStep::Done, TuOsNoError);
    EXPECT_EQ(ReadText(folder / "sheet.tfw"), "short\n");
    ExpectResult(Replace(path, ""), TuReplaceStep::Done, TuOsNoError);
    EXPECT_TRUE(fs::is_regular_file(folder / "sheet.tfw"));
    EXPECT_EQ(ReadText(folder / "sheet.tfw"), "");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"sheet.tfw"});
}

// The temporary file's name is made from the target's: it must stay within the host's limit
// of a name even when the target's own name is as long as a name may be.
TEST(os_atomic_replace_test, a_name_of_the_longest_length_is_replaced) {
    OsTestFolder folder;
    const std::string name = std::string(251, 'n') + ".tfw"; // 255, the limit of a name
    ExpectResult(Replace(folder.Wide(name), "old\n"), TuReplaceStep::Done, TuOsNoError);
    ExpectResult(Replace(folder.Wide(name), "new\n"), TuReplaceStep::Done, TuOsNoError);
    EXPECT_EQ(ReadText(folder / name), "new\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{name});
}

TEST(os_atomic_replace_test, a_refused_place_names_its_step_and_keeps_what_stood_there) {
    OsTestFolder folder;
    ExpectResult(Replace(folder.Wide("nosuch/sheet.tfw"), "new\n"), TuReplaceStep::Placing,
                 TuOsNoSuchFile);
    fs::create_directory(folder / "sheet.tfw");
    ExpectResult(Replace(folder.Wide("sheet.tfw"), "new\n"), TuReplaceStep::Placing,
                 TuOsAccessDenied);
    EXPECT_TRUE(fs::is_directory(folder / "sheet.tfw"));
    EXPECT_TRUE(fs::is_empty(folder / "sheet.tfw"));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"sheet.tfw"});
}

// Replacements of one file from several threads at once each get a temporary file of their
// own: every one succeeds, and the file ends as one of them wrote it, whole.
TEST(os_atomic_replace_test, replacements_at_the_same_time_do_not_meet) {
    OsTestFolder folder;
    const std::u16string path = folder.Wide("sheet.tfw");
    constexpr int Threads = 4;
    constexpr int Rounds = 20;
    std::vector<std::string> contents;
    contents.reserve(Threads);
    for (int thread = 0; thread < Threads; ++thread) {
        contents.emplace_back(100 + thread, static_cast<char>('a' + thread));
    }
    std::vector<int> failures(Threads, 0);
    std::vector<std::thread> writers;
    writers.reserve(Threads);
    for (int thread = 0; thread < Threads; ++thread) {
        writers.emplace_back([&, thread] {
            for (int round = 0; round < Rounds; ++round) {
                failures[thread] += Replace(path, contents[thread]).step != TuReplaceStep::Done;
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    EXPECT_EQ(failures, std::vector<int>(Threads, 0));
    const std::string final = ReadText(folder / "sheet.tfw");
    EXPECT_NE(std::find(contents.begin(), contents.end(), final), contents.end()) << final;
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"sheet.tfw"});
}

} // namespace
