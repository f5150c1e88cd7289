// The operating-system seam's files, as every host's implementation must answer: which opens
// succeed, what transfers at offsets touch, and what a status query tells. Only the standard
// library besides the seam, so that the same tests check each host.
#include "uOsFile.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <string>

#include "OsTestFolder.h"
#include "uPath.h"

namespace {

namespace fs = std::filesystem;

std::string ReadWhole(const TuOsFile& file, std::size_t size) {
    std::string bytes(size, '\0');
    const TuTransferResult read = file.ReadAt(0, bytes.data(), size);
    EXPECT_EQ(read.error, TuOsNoError);
    bytes.resize(read.moved);
    return bytes;
}

TEST(os_file_test, each_open_mode_finds_creates_or_refuses_as_it_says) {
    OsTestFolder folder;
    const std::u16string path = folder.Wide("a.bin");
    TuOsFile file;
    EXPECT_EQ(file.Open(path.c_str(), TuOpenMode::Read), TuOsNoSuchFile);
    EXPECT_EQ(file.Open(path.c_str(), TuOpenMode::ReadWrite), TuOsNoSuchFile);
    EXPECT_EQ(file.Open(folder.Wide("nosuch/a.bin").c_str(), TuOpenMode::CreateNew),
              TuOsNoSuchFile);
    EXPECT_FALSE(file.IsOpen());

    ASSERT_EQ(file.Open(path.c_str(), TuOpenMode::CreateNew), TuOsNoError);
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(file.WriteAt(0, "abcdef", 6).moved, 6u);
    EXPECT_EQ(file.Close(), TuOsNoError);
    EXPECT_EQ(file.Open(path.c_str(), TuOpenMode::CreateNew), TuOsFileExists);
    EXPECT_EQ(ReadText(folder / "a.bin"), "abcdef");

    // Opening another file closes the one before; emptying keeps the file, not its bytes.
    ASSERT_EQ(file.Open(path.c_str(), TuOpenMode::ReadWrite), TuOsNoError);
    EXPECT_EQ(ReadWhole(file, 16), "abcdef");
    ASSERT_EQ(file.Open(path.c_str(), TuOpenMode::CreateOrEmpty), TuOsNoError);
    EXPECT_EQ(ReadWhole(file, 16), "");
    ASSERT_EQ(file.Open(folder.Wide("b.bin").c_str(), TuOpenMode::CreateOrEmpty), TuOsNoError);
    EXPECT_EQ(file.Close(), TuOsNoError);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"a.bin", "b.bin"}));
}

TEST(os_file_test, transfers_touch_only_their_bytes_and_stop_at_the_end) {
    OsTestFolder folder;
    const std::u16string path = folder.Wide("a.bin");
    TuOsFile file;
    ASSERT_EQ(file.Open(path.c_str(), TuOpenMode::CreateNew), TuOsNoError);
    // A write past the end leaves zeros in the gap; the file's own position plays no part.
    ASSERT_EQ(file.WriteAt(4, "xy", 2).moved, 2u);
    ASSERT_EQ(file.WriteAt(1, "b", 1).moved, 1u);
    EXPECT_EQ(ReadWhole(file, 64), std::string("\0b\0\0xy", 6));
    char byte = 0;
    const TuTransferResult atEnd = file.ReadAt(6, &byte, 1);
    EXPECT_EQ(atEnd.moved, 0u);
    EXPECT_EQ(atEnd.error, TuOsNoError);
    const std::uint64_t last = std::numeric_limits<std::int64_t>::max();
    const TuTransferResult farBeyond = file.ReadAt(last / 2, &byte, 1);
    EXPECT_EQ(farBeyond.moved, 0u);
    EXPECT_EQ(farBeyond.error, TuOsNoError);
    // Transfers that would reach past offset 2^63 - 1, or start there, are refused.
    EXPECT_EQ(file.ReadAt(last, &byte, 1).error, TuOsInvalidArgument);
    EXPECT_EQ(file.ReadAt(last + 1, &byte, 1).error, TuOsInvalidArgument);
    EXPECT_EQ(file.WriteAt(last - 1, "ab", 2).error, TuOsInvalidArgument);
    EXPECT_EQ(file.ReadAt(last, &byte, 0).error, TuOsNoError);
    EXPECT_EQ(file.Sync(), TuOsNoError);
    EXPECT_EQ(file.Close(), TuOsNoError);
    EXPECT_EQ(ReadText(folder / "a.bin"), std::string("\0b\0\0xy", 6));
}

TEST(os_file_test, a_transfer_the_open_mode_does_not_allow_fails_and_moves_nothing) {
    OsTestFolder folder;
    WriteText(folder / "a.bin", "abc");
    TuOsFile file;
    char byte = 0;
    ASSERT_EQ(file.Open(folder.Wide("a.bin").c_str(), TuOpenMode::Write), TuOsNoError);
    EXPECT_EQ(file.ReadAt(0, &byte, 1).error, TuOsBadHandle);
    ASSERT_EQ(file.Open(folder.Wide("a.bin").c_str(), TuOpenMode::Read), TuOsNoError);
    const TuTransferResult refused = file.WriteAt(0, "z", 1);
    EXPECT_EQ(refused.moved, 0u);
    EXPECT_EQ(refused.error, TuOsBadHandle);
    EXPECT_EQ(file.Close(), TuOsNoError);
    EXPECT_EQ(ReadText(folder / "a.bin"), "abc");
}

TEST(os_file_test, a_closed_file_refuses_every_call_and_closes_again_quietly) {
    TuOsFile file;
    char byte = 0;
    TuFileInfo info;
    EXPECT_EQ(file.ReadAt(0, &byte, 1).error, TuOsBadHandle);
    EXPECT_EQ(file.WriteAt(0, &byte, 1).error, TuOsBadHandle);
    EXPECT_EQ(file.Sync(), TuOsBadHandle);
    EXPECT_EQ(file.QueryInfo(info), TuOsBadHandle);
    EXPECT_EQ(file.Close(), TuOsNoError);
    EXPECT_EQ(file.Close(), TuOsNoError);
}

TEST(os_file_test, status_tells_kind_length_and_which_file_a_name_leads_to) {
    OsTestFolder folder;
    WriteText(folder / "a.bin", "abcd");
    fs::create_directory(folder / "maps");
    TuFileInfo info;
    ASSERT_EQ(TuQueryFileInfo(folder.Wide("a.bin").c_str(), info), TuOsNoError);
    EXPECT_EQ(info.kind, TuFileKind::Regular);
    EXPECT_EQ(info.state.length, 4u);
    ASSERT_EQ(TuQueryFileInfo(folder.Wide("maps").c_str(), info), TuOsNoError);
    EXPECT_EQ(info.kind, TuFileKind::Folder);
    EXPECT_EQ(TuQueryFileInfo(folder.Wide("nosuch.bin").c_str(), info), TuOsNoSuchFile);
    EXPECT_EQ(TuQueryFileInfo(folder.Wide("maps/nosuch/a.bin").c_str(), info), TuOsNoSuchFile);

    // The open file and its name agree until another file takes the name.
    TuOsFile file;
    ASSERT_EQ(file.Open(folder.Wide("a.bin").c_str(), TuOpenMode::ReadWrite), TuOsNoError);
    ASSERT_EQ(file.WriteAt(4, "ef", 2).moved, 2u);
    TuFileInfo opened;
    ASSERT_EQ(file.QueryInfo(opened), TuOsNoError);
    EXPECT_EQ(opened.kind, TuFileKind::Regular);
    EXPECT_EQ(opened.state.length, 6u);
    ASSERT_EQ(TuQueryFileInfo(folder.Wide("a.bin").c_str(), info), TuOsNoError);
    EXPECT_EQ(info.state, opened.state);
    EXPECT_EQ(file.Close(), TuOsNoError);
    WriteText(folder / "b.bin", "abcdef");
    fs::rename(folder / "b.bin", folder / "a.bin");
    ASSERT_EQ(TuQueryFileInfo(folder.Wide("a.bin").c_str(), info), TuOsNoError);
    EXPECT_FALSE(info.state.SameFile(opened.state));
    EXPECT_EQ(info.state.length, 6u);
}

TEST(os_file_test, access_tests_answer_for_files_folders_and_missing_paths) {
    OsTestFolder folder;
    WriteText(folder / "a.bin", "abcd");
    for (const TuAccessTest test :
         {TuAccessTest::Exists, TuAccessTest::Read, TuAccessTest::Write, TuAccessTest::ReadWrite}) {
        EXPECT_EQ(TuTestAccess(folder.Wide("a.bin").c_str(), test), TuOsNoError);
        EXPECT_EQ(TuTestAccess(folder.Path().u16string().c_str(), test), TuOsNoError);
        EXPECT_EQ(TuTestAccess(folder.Wide("nosuch.bin").c_str(), test), TuOsNoSuchFile);
    }
}

// A POSIX name is bytes, which the wide path holds one unit each: a unit above 255 names no
// file, and must never reach the system as another name (say with '?' in its place).
TEST(os_file_test, a_path_the_host_cannot_name_touches_no_other_file) {
    if (TuHostPathStyle != TuPathStyle::Posix) {
        GTEST_SKIP() << "every unit names a file on this host";
    }
    OsTestFolder folder;
    WriteText(folder / "a?.bin", "kept");
    const std::u16string wide = folder.Wide("a") + u"\u0151.bin";
    TuOsFile file;
    for (const TuOpenMode mode : {TuOpenMode::Read, TuOpenMode::ReadWrite, TuOpenMode::CreateNew,
                                  TuOpenMode::CreateOrEmpty}) {
        EXPECT_EQ(file.Open(wide.c_str(), mode), TuOsNoSuchFile);
    }
    TuFileInfo info;
    EXPECT_EQ(TuQueryFileInfo(wide.c_str(), info), TuOsNoSuchFile);
    EXPECT_EQ(TuTestAccess(wide.c_str(), TuAccessTest::Exists), TuOsNoSuchFile);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"a?.bin"});
    EXPECT_EQ(ReadText(folder / "a?.bin"), "kept");
}

} // namespace
