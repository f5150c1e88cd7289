#include "uFileTest.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "OrdinaryUser.h"

namespace {

namespace fs = std::filesystem;

std::u16string Wide(const std::string& text) {
    std::u16string wide;
    for (unsigned char byte : text) {
        wide.push_back(byte);
    }
    return wide;
}

class file_test_test : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kftestXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override {
        // Give write permission back so that everything can be removed.
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (!entry.is_symlink()) {
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
            }
        }
        fs::remove_all(folder);
    }
    std::u16string File(const std::string& name, fs::perms permissions) {
        const std::string path = folder + "/" + name;
        std::ofstream(path) << "data";
        fs::permissions(path, permissions);
        return Wide(path);
    }
    std::u16string Folder(const std::string& name, fs::perms permissions) {
        const std::string path = folder + "/" + name;
        fs::create_directory(path);
        fs::permissions(path, permissions);
        return Wide(path);
    }
    std::string folder;
};

constexpr auto ReadWrite = fs::perms::owner_read | fs::perms::owner_write;
constexpr auto ReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
constexpr auto OpenFolder = fs::perms::owner_all;
constexpr auto ReadOnlyFolder = fs::perms::owner_read | fs::perms::owner_exec;

} // namespace

TEST_F(file_test_test, status_of_files_folders_and_missing_paths) {
    TuFileInfo info;
    ASSERT_EQ(TuQueryFileInfo(File("a.tif", ReadWrite).c_str(), info), 0);
    EXPECT_EQ(info.kind, TuFileKind::Regular);
    EXPECT_EQ(info.state.length, 4u);
    EXPECT_EQ(info.permissions, 0600u);
    ASSERT_EQ(TuQueryFileInfo(Folder("maps", OpenFolder).c_str(), info), 0);
    EXPECT_EQ(info.kind, TuFileKind::Folder);
    EXPECT_EQ(info.permissions, 0700u);
    EXPECT_EQ(TuQueryFileInfo(Wide(folder + "/nosuch.tif").c_str(), info), TuOsNoSuchFile);
    EXPECT_EQ(TuQueryFileInfo(Wide(folder + "/a.tif/x").c_str(), info), TuOsNotAFolder);
}

TEST_F(file_test_test, missing_path_fails_every_mode) {
    const std::u16string path = Wide(folder + "/nosuch.tif");
    for (int mode : {TuAccessExists, TuAccessWrite, TuAccessRead, TuAccessReadWrite}) {
        EXPECT_EQ(TuFileAccess(path.c_str(), mode), -1) << mode;
    }
}

TEST_F(file_test_test, writable_file_passes_every_mode) {
    const std::u16string path = File("a.tif", ReadWrite);
    for (int mode : {TuAccessExists, TuAccessWrite, TuAccessRead, TuAccessReadWrite}) {
        EXPECT_EQ(TuFileAccess(path.c_str(), mode), 0) << mode;
    }
}

// Without any write bit a file is read-only for everyone, the superuser included.
TEST_F(file_test_test, read_only_file_refuses_writing) {
    const std::u16string path = File("a.tif", ReadOnly);
    EXPECT_EQ(TuFileAccess(path.c_str(), TuAccessExists), 0);
    EXPECT_EQ(TuFileAccess(path.c_str(), TuAccessRead), 0);
    EXPECT_EQ(TuFileAccess(path.c_str(), TuAccessWrite), -1);
    EXPECT_EQ(TuFileAccess(path.c_str(), TuAccessReadWrite), -1);
}

TEST_F(file_test_test, folders_answer_like_files) {
    const std::u16string open = Folder("open", OpenFolder);
    for (int mode : {TuAccessExists, TuAccessWrite, TuAccessRead, TuAccessReadWrite}) {
        EXPECT_EQ(TuFileAccess(open.c_str(), mode), 0) << mode;
    }
    const std::u16string locked = Folder("locked", ReadOnlyFolder);
    EXPECT_EQ(TuFileAccess(locked.c_str(), TuAccessRead), 0);
    EXPECT_EQ(TuFileAccess(locked.c_str(), TuAccessWrite), -1);
}

TEST_F(file_test_test, unknown_mode_is_refused) {
    const std::u16string path = File("a.tif", ReadWrite);
    EXPECT_EQ(TuFileAccess(path.c_str(), 1), -1);
    EXPECT_EQ(TuFileAccess(path.c_str(), 8), -1);
}

// A file name's bytes reach the system unchanged, whatever their encoding.
TEST_F(file_test_test, non_ascii_names_are_found) {
    const std::u16string utf8 = File("carte_\xc3\xa9t\xc3\xa9.tif", ReadWrite);
    EXPECT_EQ(TuFileAccess(utf8.c_str(), TuAccessExists), 0);
    const std::u16string latin1 = File("carte_\xe9t\xe9.tif", ReadWrite);
    TuFileInfo info;
    EXPECT_EQ(TuQueryFileInfo(latin1.c_str(), info), 0);
}

// A path that cannot reach the system exactly is never tested in the form of another one.
TEST_F(file_test_test, paths_without_an_exact_narrow_form_do_not_exist) {
    File("a?.tif", ReadWrite);
    const std::u16string wide = Wide(folder) + u"/a\u0151.tif"; // narrows to "a?" elsewhere
    TuFileInfo info;
    EXPECT_EQ(TuQueryFileInfo(wide.c_str(), info), TuOsNoSuchFile);
    EXPECT_EQ(TuFileAccess(wide.c_str(), TuAccessExists), -1);
    // A path one unit longer than the narrow buffer holds, whose cut form names a real file.
    const std::string outer = folder + "/" + std::string(200, 'd');
    const std::string inner = outer + "/" + std::string(200, 'd');
    fs::create_directories(inner);
    const std::string existing = inner + "/" + std::string(519 - inner.size() - 1, 'f');
    std::ofstream(existing) << "data";
    ASSERT_EQ(existing.size(), 519u);
    ASSERT_EQ(TuFileAccess(Wide(existing).c_str(), TuAccessExists), 0);
    const std::u16string longer = Wide(existing) + u"g";
    EXPECT_EQ(TuFileAccess(longer.c_str(), TuAccessExists), -1);
    EXPECT_EQ(TuQueryFileInfo(longer.c_str(), info), TuOsNoSuchFile);
    EXPECT_EQ(TuFileAccess(nullptr, TuAccessExists), -1);
}

namespace {

// Where the combined answers differ from TuFileAccess mode by mode, as "path: mode".
std::string AnswerMismatches(const std::vector<std::u16string>& paths) {
    std::string mismatches;
    for (const std::u16string& path : paths) {
        const TuFileAccessAnswers answers = TuFileAccessAll(path.c_str());
        const std::pair<int, bool> expected[] = {
            {TuAccessExists, answers.exists},
            {TuAccessRead, answers.readable},
            {TuAccessWrite, answers.writable},
            {TuAccessReadWrite, answers.readable && answers.writable}};
        for (const auto& [mode, granted] : expected) {
            if ((TuFileAccess(path.c_str(), mode) == 0) != granted) {
                mismatches +=
                    std::string(path.begin(), path.end()) + ": " + std::to_string(mode) + "\n";
            }
        }
    }
    return mismatches;
}

} // namespace

// One status query and one or two access tests must answer exactly as the four single tests,
// for the superuser and for an ordinary user (who is granted only what the bits say).
TEST_F(file_test_test, combined_answers_match_each_mode) {
    using fs::perms;
    fs::permissions(folder, perms::owner_all | perms::others_read | perms::others_exec);
    const std::vector<std::u16string> paths = {
        Wide(folder + "/nosuch.tif"),
        File("rw.tif", perms::owner_all | perms::others_read | perms::others_write),
        File("r.tif", ReadOnly),
        File("w.tif", perms::owner_write | perms::others_write),
        File("none.tif", perms::none),
        Folder("open", OpenFolder | perms::others_all),
        Folder("locked", ReadOnlyFolder),
        Wide(folder + "/locked/inside.tif"),
        Wide(folder + "/r.tif/x"),
    };
    EXPECT_EQ(AnswerMismatches(paths), "");
    EXPECT_TRUE(TuFileAccessAll(paths[1].c_str()).writable);
    EXPECT_FALSE(TuFileAccessAll(paths[2].c_str()).writable);
    EXPECT_FALSE(TuFileAccessAll(paths[0].c_str()).exists);

    const int status = ExitStatusAsOrdinaryUser([&] {
        // The ordinary user may read r.tif and rw.tif, write w.tif and rw.tif only.
        const bool expected = TuFileAccessAll(paths[1].c_str()).writable &&
                              TuFileAccessAll(paths[2].c_str()).readable &&
                              !TuFileAccessAll(paths[3].c_str()).readable &&
                              TuFileAccessAll(paths[3].c_str()).writable &&
                              !TuFileAccessAll(paths[4].c_str()).readable;
        return AnswerMismatches(paths).empty() && expected;
    });
    EXPECT_EQ(status, 0);
}
