// The operating-system seam's standard streams on Windows, each test with the process's
// standard handles set to what a user or a script may give: a console, a file, a pipe, the
// NUL device. The seam's streams take their handle at first use, and every test runs in a
// process of its own, so each sets the handles before that use.
#include <windows.h>

#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

#include "OsTestFolder.h"
#include "uOsConsole.h"
#include "uOsTerminal.h"

namespace {

namespace fs = std::filesystem;

HANDLE OpenForWriting(const std::wstring& name) {
    return CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool AllStandardStreamsAreTerminals(bool expected) {
    return TuOsIsTerminal(TuStandardStream::Input) == expected &&
           TuOsIsTerminal(TuStandardStream::Output) == expected &&
           TuOsIsTerminal(TuStandardStream::Error) == expected;
}

void SetAllStandardHandles(HANDLE input, HANDLE output) {
    SetStdHandle(STD_INPUT_HANDLE, input);
    SetStdHandle(STD_OUTPUT_HANDLE, output);
    SetStdHandle(STD_ERROR_HANDLE, output);
}

} // namespace

// A real console is a terminal: that side is tested by running kestrel-cli.exe in one
// (tests/windows, "console"), since a console made here has no terminal behind it under Wine.
TEST(os_terminal_windows_test, files_pipes_and_the_nul_device_are_not_terminals) {
    OsTestFolder folder;
    const HANDLE file = OpenForWriting((folder / "out.txt").wstring());
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    SetAllStandardHandles(file, file);
    EXPECT_TRUE(AllStandardStreamsAreTerminals(false));

    // NUL is a character device, as a console is, but nobody watches it.
    const HANDLE nul = OpenForWriting(L"NUL");
    ASSERT_NE(nul, INVALID_HANDLE_VALUE);
    SetAllStandardHandles(nul, nul);
    EXPECT_TRUE(AllStandardStreamsAreTerminals(false));

    HANDLE reading = nullptr;
    HANDLE writing = nullptr;
    ASSERT_TRUE(CreatePipe(&reading, &writing, nullptr, 0));
    SetAllStandardHandles(reading, writing);
    EXPECT_TRUE(AllStandardStreamsAreTerminals(false));

    // No handle at all, as for a program started without standard streams.
    SetAllStandardHandles(nullptr, nullptr);
    EXPECT_TRUE(AllStandardStreamsAreTerminals(false));

    for (HANDLE handle : {file, nul, reading, writing}) {
        CloseHandle(handle);
    }
}

// A piped list of names arrives byte for byte: no CR LF made LF, no stop at a Ctrl+Z byte.
TEST(os_console_windows_test, standard_input_from_a_pipe_keeps_every_byte) {
    HANDLE reading = nullptr;
    HANDLE writing = nullptr;
    ASSERT_TRUE(CreatePipe(&reading, &writing, nullptr, 0));
    const std::string sent("a.tif\r\nb\x1a.tif\r\n\0c.tif\r", 22);
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(writing, sent.data(), static_cast<DWORD>(sent.size()), &written, nullptr));
    ASSERT_EQ(written, sent.size());
    CloseHandle(writing);
    SetStdHandle(STD_INPUT_HANDLE, reading);

    std::istream& in = TuStandardInput();
    const std::string received((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    EXPECT_EQ(received, sent);
    CloseHandle(reading);
}

// Output to a file is the narrow bytes as written (LF stays LF, UTF-8 stays UTF-8), and a
// message on standard error comes after what standard output was given before it.
TEST(os_console_windows_test, output_to_a_file_is_the_bytes_in_the_order_written) {
    OsTestFolder folder;
    const HANDLE file = OpenForWriting((folder / "out.txt").wstring());
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    SetStdHandle(STD_OUTPUT_HANDLE, file);
    SetStdHandle(STD_ERROR_HANDLE, file);

    TuStandardOutput() << "K\xc3\xa4rte_\xe5\x9c\xb0\xe5\x9b\xb3.tif\n  georeferenced\n";
    TuStandardError() << "kestrel-cli: 1 file examined\n";
    TuStandardOutput() << "last\n" << std::flush;
    CloseHandle(file);

    EXPECT_EQ(ReadText(folder / "out.txt"),
              "K\xc3\xa4rte_\xe5\x9c\xb0\xe5\x9b\xb3.tif\n  georeferenced\n"
              "kestrel-cli: 1 file examined\nlast\n");
}
