// Where the program is: its folder (where the guide and the licence are looked for) and its
// title (the caption of the dialogs' own message boxes).
#include <gtest/gtest.h>

#include "ProgramFiles.h"
#include "WideText.h"

namespace kestrel::win32 {
namespace {

TEST(ProgramPaths, folder_and_title_come_from_either_separator) {
    EXPECT_EQ(FolderOf(L"C:\\Program Files\\Kestrel\\kestrel.exe"), L"C:\\Program Files\\Kestrel");
    EXPECT_EQ(TitleOf(L"C:\\Program Files\\Kestrel\\kestrel.exe"), L"kestrel");
    EXPECT_EQ(FolderOf(L"Z:/work/build/kestrel.exe"), L"Z:/work/build");
    EXPECT_EQ(TitleOf(L"Z:/work/build/kestrel.exe"), L"kestrel");
}

TEST(ProgramPaths, only_the_last_extension_is_dropped_and_a_dot_folder_keeps_its_name) {
    EXPECT_EQ(TitleOf(L"C:\\maps\\kestrel.test.exe"), L"kestrel.test");
    EXPECT_EQ(TitleOf(L"C:\\tools.d\\kestrel"), L"kestrel");
    EXPECT_EQ(TitleOf(L"C:\\tools\\.kestrel"), L".kestrel");
    EXPECT_EQ(FolderOf(L"kestrel.exe"), L"");
}

TEST(ProgramPaths, the_running_program_is_found_with_its_title) {
    EXPECT_EQ(ApplicationTitle(), L"win32_platform_tests");
    EXPECT_EQ(ProgramPath(), ProgramFolder() + L"\\win32_platform_tests.exe");
    EXPECT_EQ(FileBesideProgram(L"win32_platform_tests.exe"), ProgramPath());
    EXPECT_EQ(FileBesideProgram(L"no such file.txt"), L"");
}

TEST(WideText, text_in_any_script_round_trips_through_utf_16) {
    const std::string text = "Kart\xC3\xA9 \xE5\x9C\xB0\xE5\x9B\xB3 \xF0\x9D\x84\x9E";
    EXPECT_EQ(Widen(text), L"Kart\u00e9 \u5730\u56f3 \U0001D11E");
    EXPECT_EQ(Narrow(Widen(text)), text);
    EXPECT_EQ(Widen(""), L"");
}

TEST(WideText, an_unpaired_surrogate_becomes_the_replacement_character) {
    const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xD800), L'b', 0};
    EXPECT_EQ(Narrow(lone), "a\xEF\xBF\xBD"
                            "b");
}

} // namespace
} // namespace kestrel::win32
