// The wide file calls that the Windows file layer is built on, as the cross-built program
// meets them under Wine: names in any script, reads and writes at offsets, sharing and
// replacement.
#include <windows.h>

#include <gtest/gtest.h>
#include <string>

#include "WideTemporaryFolder.h"

namespace {

// An open handle that is closed when the test leaves its scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle(handle) {}
    ~Handle() {
        if (Valid()) {
            CloseHandle(handle);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool Valid() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle; }

private:
    HANDLE handle;
};

HANDLE OpenForUpdate(const std::wstring& path, DWORD disposition, DWORD share = FILE_SHARE_READ) {
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteAt(HANDLE file, unsigned long long offset, const std::string& bytes) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, &at) &&
           written == bytes.size();
}

// The bytes read at offset, at most size of them; empty at the end of the file.
std::string ReadAt(HANDLE file, unsigned long long offset, DWORD size, DWORD* error = nullptr) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    std::string bytes(size, '\0');
    DWORD read = 0;
    const BOOL done = ReadFile(file, bytes.data(), size, &read, &at);
    if (error != nullptr) {
        *error = done ? ERROR_SUCCESS : GetLastError();
    }
    bytes.resize(read);
    return bytes;
}

std::string WholeFile(const std::wstring& path) {
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid() ? ReadAt(file.Get(), 0, 4096) : std::string("<cannot open>");
}

void PutFile(const std::wstring& path, const std::string& bytes) {
    Handle file(OpenForUpdate(path, CREATE_ALWAYS));
    ASSERT_TRUE(file.Valid());
    ASSERT_TRUE(WriteAt(file.Get(), 0, bytes));
}

} // namespace

TEST(wide_files_test, a_name_in_several_scripts_is_stored_and_listed_unchanged) {
    WideTemporaryFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    // Latin with diacritics, CJK, Greek, and a character outside the basic plane (a pair of
    // UTF-16 units): none has a form in a Western ANSI code page.
    const std::wstring name = L"\u00d1and\u00fa \u5730\u56f3 \u03a9 \U0001F5FA.tif";
    PutFile(folder / name, "II*");

    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder / L"*.tif").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::wstring(found.cFileName), name);
    EXPECT_FALSE(FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_EQ(WholeFile(folder / name), "II*");
}

TEST(wide_files_test, reads_and_writes_at_offsets_touch_only_their_bytes) {
    WideTemporaryFolder folder;
    Handle file(OpenForUpdate(folder / L"sheet.tif", CREATE_ALWAYS));
    ASSERT_TRUE(file.Valid());
    ASSERT_TRUE(WriteAt(file.Get(), 0, "0123456789"));
    // Past the end: the gap reads as zero bytes, as an appended directory's padding would.
    ASSERT_TRUE(WriteAt(file.Get(), 12, "AB"));
    ASSERT_TRUE(WriteAt(file.Get(), 4, "xy"));
    EXPECT_EQ(ReadAt(file.Get(), 0, 64), std::string("0123xy6789\0\0AB", 14));
    EXPECT_EQ(ReadAt(file.Get(), 12, 2), "AB");

    // At or past the end a read moves nothing, and Windows says so with an error that the
    // file layer has to take as the end of the file.
    DWORD error = ERROR_SUCCESS;
    EXPECT_EQ(ReadAt(file.Get(), 14, 8, &error), "");
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_HANDLE_EOF));
    EXPECT_EQ(ReadAt(file.Get(), 1000, 8, &error), "");
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_HANDLE_EOF));
    EXPECT_TRUE(FlushFileBuffers(file.Get()));
}

TEST(wide_files_test, a_file_open_without_sharing_refuses_a_second_writer) {
    WideTemporaryFolder folder;
    const std::wstring path = folder / L"sheet.tfw";
    Handle first(OpenForUpdate(path, CREATE_ALWAYS, FILE_SHARE_READ));
    ASSERT_TRUE(first.Valid());

    Handle second(OpenForUpdate(path, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_FALSE(second.Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    // A file that is open cannot be removed either: a test must close what it opened before
    // its folder goes.
    EXPECT_FALSE(DeleteFileW(path.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

TEST(wide_files_test, a_finished_temporary_file_replaces_the_old_one_whole) {
    WideTemporaryFolder folder;
    const std::wstring target = folder / L"sheet.tfw";
    const std::wstring temporary = folder / L".sheet.tfw.tmp";
    PutFile(target, "old\r\n");
    PutFile(temporary, "new\r\n");

    // The C runtime's rename refuses an existing target on Windows; this call replaces it.
    ASSERT_TRUE(MoveFileExW(temporary.c_str(), target.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(WholeFile(target), "new\r\n");
    EXPECT_EQ(GetFileAttributesW(temporary.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(wide_files_test, missing_files_and_folders_give_their_own_errors) {
    WideTemporaryFolder folder;
    Handle file(OpenForUpdate(folder / L"missing.tif", OPEN_EXISTING));
    EXPECT_FALSE(file.Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    Handle deeper(OpenForUpdate(folder / L"no folder\\missing.tif", OPEN_EXISTING));
    EXPECT_FALSE(deeper.Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}
