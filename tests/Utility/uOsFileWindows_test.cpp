// The operating-system seam's files as only Windows has them: the read-only attribute, files
// that another program holds without sharing, devices in a file's place, folders, and paths
// beyond the traditional limit of 260 units.
#include <windows.h>

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "OsTestFolder.h"
#include "uOsFile.h"

namespace {

namespace fs = std::filesystem;

class HeldWithoutSharing {
public:
    explicit HeldWithoutSharing(const fs::path& path)
        : handle(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldWithoutSharing() { CloseHandle(handle); }
    HeldWithoutSharing(const HeldWithoutSharing&) = delete;
    HeldWithoutSharing& operator=(const HeldWithoutSharing&) = delete;
    bool Held() const { return handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle;
};

TEST(os_file_windows_test, the_read_only_attribute_refuses_writing_and_shows_as_no_write_bits) {
    OsTestFolder folder;
    WriteText(folder / "a.tif", "abc");
    const std::u16string path = folder.Wide("a.tif");
    ASSERT_TRUE(SetFileAttributesW((folder / "a.tif").c_str(), FILE_ATTRIBUTE_READONLY));
    TuFileInfo info;
    ASSERT_EQ(TuQueryFileInfo(path.c_str(), info), TuOsNoError);
    EXPECT_EQ(info.permissions, 0444u);
    EXPECT_EQ(TuTestAccess(path.c_str(), TuAccessTest::Exists), TuOsNoError);
    EXPECT_EQ(TuTestAccess(path.c_str(), TuAccessTest::Read), TuOsNoError);
    EXPECT_EQ(TuTestAccess(path.c_str(), TuAccessTest::Write), TuOsAccessDenied);
    EXPECT_EQ(TuTestAccess(path.c_str(), TuAccessTest::ReadWrite), TuOsAccessDenied);

    ASSERT_TRUE(SetFileAttributesW((folder / "a.tif").c_str(), FILE_ATTRIBUTE_NORMAL));
    ASSERT_EQ(TuQueryFileInfo(path.c_str(), info), TuOsNoError);
    EXPECT_EQ(info.permissions, 0666u);
    EXPECT_EQ(TuTestAccess(path.c_str(), TuAccessTest::ReadWrite), TuOsNoError);
    // On a folder the attribute means nothing: files may still be made in it.
    ASSERT_TRUE(SetFileAttributesW(folder.Path().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(TuTestAccess(folder.Path().u16string().c_str(), TuAccessTest::Write), TuOsNoError);
    SetFileAttributesW(folder.Path().c_str(), FILE_ATTRIBUTE_DIRECTORY);
}

// Another program's open without sharing refuses Kestrel's opens (the file is in use), but
// not its questions: the rights to read and write the file are granted all the same.
TEST(os_file_windows_test, a_file_held_without_sharing_is_in_use_not_forbidden) {
    OsTestFolder folder;
    WriteText(folder / "a.tif", "abcd");
    const std::u16string path = folder.Wide("a.tif");
    const HeldWithoutSharing held(folder / "a.tif");
    ASSERT_TRUE(held.Held());
    TuOsFile file;
    EXPECT_EQ(file.Open(path.c_str(), TuOpenMode::Read), TuOsAccessDenied);
    EXPECT_EQ(file.Open(path.c_str(), TuOpenMode::ReadWrite), TuOsAccessDenied);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(TuTestAccess(path.c_str(), TuAccessTest::ReadWrite), TuOsNoError);
    TuFileInfo info;
    ASSERT_EQ(TuQueryFileInfo(path.c_str(), info), TuOsNoError);
    EXPECT_EQ(info.kind, TuFileKind::Regular);
    EXPECT_EQ(info.state.length, 4u);
}

// Kestrel's own opens share the file: another program (or a second open here) may read and
// write it meanwhile, as on POSIX hosts.
TEST(os_file_windows_test, kestrels_opens_share_the_file) {
    OsTestFolder folder;
    WriteText(folder / "a.tif", "abcd");
    const std::u16string path = folder.Wide("a.tif");
    TuOsFile update;
    ASSERT_EQ(update.Open(path.c_str(), TuOpenMode::ReadWrite), TuOsNoError);
    TuOsFile second;
    ASSERT_EQ(second.Open(path.c_str(), TuOpenMode::ReadWrite), TuOsNoError);
    ASSERT_EQ(second.WriteAt(1, "X", 1).moved, 1u);
    char bytes[4] = {};
    ASSERT_EQ(update.ReadAt(0, bytes, 4).moved, 4u);
    EXPECT_EQ(std::string(bytes, 4), "aXcd");
}

TEST(os_file_windows_test, folders_and_devices_are_refused_as_files) {
    OsTestFolder folder;
    fs::create_directory(folder / "dir.tif");
    TuOsFile file;
    EXPECT_EQ(file.Open(folder.Wide("dir.tif").c_str(), TuOpenMode::Read), TuOsAccessDenied);
    TuFileInfo info;
    ASSERT_EQ(TuQueryFileInfo(folder.Wide("dir.tif").c_str(), info), TuOsNoError);
    EXPECT_EQ(info.kind, TuFileKind::Folder);
    // NUL is a device in every folder: nothing is read from it or written to it as a file.
    EXPECT_EQ(file.Open(u"NUL", TuOpenMode::Read), TuOsAccessDenied);
    EXPECT_EQ(file.Open(u"NUL", TuOpenMode::ReadWrite), TuOsAccessDenied);
    EXPECT_FALSE(file.IsOpen());
    ASSERT_EQ(TuQueryFileInfo(u"NUL", info), TuOsNoError);
    EXPECT_EQ(info.kind, TuFileKind::Other);
}

// CREATE_ALWAYS refuses an existing hidden file; emptying it must not.
TEST(os_file_windows_test, a_hidden_file_is_emptied_and_stays_hidden) {
    OsTestFolder folder;
    WriteText(folder / "a.tif", "abcd");
    ASSERT_TRUE(SetFileAttributesW((folder / "a.tif").c_str(), FILE_ATTRIBUTE_HIDDEN));
    TuOsFile file;
    ASSERT_EQ(file.Open(folder.Wide("a.tif").c_str(), TuOpenMode::CreateOrEmpty), TuOsNoError);
    EXPECT_EQ(file.Close(), TuOsNoError);
    EXPECT_EQ(ReadText(folder / "a.tif"), "");
    EXPECT_NE(GetFileAttributesW((folder / "a.tif").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

// Paths of more than 259 units reach the system in their \\?\ form, which every Windows takes
// whatever its long-path setting; forward slashes and "." in them still mean what they mean
// in a plain path.
TEST(os_file_windows_test, paths_beyond_260_units_open_read_and_write) {
    OsTestFolder folder;
    fs::path deep = folder.Path();
    while (deep.native().size() < 300) {
        deep /= std::string(50, 'd');
    }
    fs::create_directories(deep);
    const std::u16string plain = (deep / "sheet.tif").u16string();
    ASSERT_GT(plain.size(), 300u);
    TuOsFile file;
    ASSERT_EQ(file.Open(plain.c_str(), TuOpenMode::CreateNew), TuOsNoError);
    ASSERT_EQ(file.WriteAt(0, "long", 4).moved, 4u);
    EXPECT_EQ(file.Close(), TuOsNoError);
    std::u16string mixed = deep.u16string() + u"/./sheet.tif";
    ASSERT_EQ(file.Open(mixed.c_str(), TuOpenMode::Read), TuOsNoError);
    char bytes[4] = {};
    EXPECT_EQ(file.ReadAt(0, bytes, 4).moved, 4u);
    EXPECT_EQ(std::string(bytes, 4), "long");
    TuFileInfo info;
    ASSERT_EQ(TuQueryFileInfo(mixed.c_str(), info), TuOsNoError);
    EXPECT_EQ(info.state.length, 4u);
    EXPECT_EQ(TuTestAccess(plain.c_str(), TuAccessTest::ReadWrite), TuOsNoError);
}

} // namespace
