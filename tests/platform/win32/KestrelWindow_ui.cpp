// kestrel.exe under Wine, driven as a user drives it: a GeoTIFF's name typed and the field
// left, the twelve fields and the status lines read back, "-->" and the world file's Update
// pressed, message boxes, the About box, the file-open dialog and the help. The steps share
// one running program and follow each other in this order. run_ui_test.sh prepares the
// folder, provides the screen and checks the world file written here with GDAL.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "ProgramUnderTest.h"

namespace kestrel::ui {
namespace {

std::wstring Environment(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value != nullptr ? std::wstring(value) : std::wstring();
}

// The program, the folder it works in (fixtures copied there by the script), and the folder
// where screenshots are asked for.
const std::wstring programPath = Environment(L"KESTREL_UI_PROGRAM");
const std::wstring workFolder = Environment(L"KESTREL_UI_FOLDER");
const std::wstring shotFolder = Environment(L"KESTREL_UI_SHOTS");
const std::wstring recorderPath = Environment(L"KESTREL_UI_RECORDER");

// Makes the recorder the program that opens web pages, as a browser is on a desktop; undone
// when it goes out of scope. Wine's shell reads file associations from the machine's classes.
class RecorderAsBrowser {
public:
    RecorderAsBrowser() {
        wchar_t value[256] = {};
        DWORD size = sizeof value;
        if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.html", nullptr, RRF_RT_REG_SZ,
                         nullptr, value, &size) == ERROR_SUCCESS) {
            previous = value;
        }
        const std::wstring command = L"\"" + recorderPath + L"\" \"%1\"";
        registered = SetDefault(L".html", L"kestrel.testbrowser") &&
                     SetDefault(L"kestrel.testbrowser\\shell\\open\\command", command);
    }
    ~RecorderAsBrowser() {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\kestrel.testbrowser");
        if (previous) {
            SetDefault(L".html", *previous);
        } else {
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.html", nullptr);
        }
    }
    RecorderAsBrowser(const RecorderAsBrowser&) = delete;
    RecorderAsBrowser& operator=(const RecorderAsBrowser&) = delete;

    bool registered = false;

private:
    static bool SetDefault(const std::wstring& key, const std::wstring& value) {
        const std::wstring path = L"Software\\Classes\\" + key;
        const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        return RegSetKeyValueW(HKEY_LOCAL_MACHINE, path.c_str(), nullptr, REG_SZ, value.c_str(),
                               bytes) == ERROR_SUCCESS;
    }

    std::optional<std::wstring> previous;
};

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The folder of the program, where its guide and topic pages are.
std::wstring ProgramFolder() {
    return programPath.substr(0, programPath.find_last_of(L'\\'));
}

// Asks the script for a screenshot of a window and waits until it has taken it.
bool Screenshot(HWND window, const std::wstring& name) {
    RECT frame;
    if (GetWindowRect(window, &frame) == FALSE) {
        return false;
    }
    const std::string rectangle = std::to_string(frame.left) + " " + std::to_string(frame.top) +
                                  " " + std::to_string(frame.right - frame.left) + " " +
                                  std::to_string(frame.bottom - frame.top) + "\n";
    // Written whole under another name first: the script reads it once it appears.
    const std::wstring ready = shotFolder + L"\\" + name + L".ready";
    const std::wstring partial = ready + L".part";
    const HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    WriteFile(file, rectangle.data(), static_cast<DWORD>(rectangle.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(partial.c_str(), ready.c_str(), MOVEFILE_REPLACE_EXISTING);
    return WaitUntil([&] { return FileExists(shotFolder + L"\\" + name + L".done"); });
}

// The twelve numeric fields in the order of the dialog: the GeoTIFF side, then the world file.
constexpr std::array<int, 12> NumberFields = {1002, 1003, 1004, 1005, 1006, 1007,
                                              1008, 1009, 1010, 1011, 1012, 1013};

class KestrelWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // No window manager runs on the virtual screen: Wine draws the captions itself.
        const wchar_t no[] = L"N";
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Decorated", REG_SZ, no,
                        sizeof no);
        program = std::make_unique<ProgramUnderTest>(programPath, workFolder);
    }
    static void TearDownTestSuite() { program.reset(); }

    void SetUp() override {
        ASSERT_FALSE(programPath.empty()) << "KESTREL_UI_PROGRAM is not set";
        ASSERT_NE(program->Dialog(), nullptr) << "kestrel.exe showed no dialog";
        // Each step starts with the main dialog alone, as the one before left it.
        ASSERT_EQ(program->OtherWindow(), "") << "a window of the last step is still open";
    }

    static std::array<std::wstring, 12> Numbers() {
        std::array<std::wstring, 12> numbers;
        for (std::size_t i = 0; i < NumberFields.size(); ++i) {
            numbers[i] = program->Text(NumberFields[i]);
        }
        return numbers;
    }

    // A numeric field wider than its text: the text is scrolled to its first character.
    static void ExpectStartShown(int id) {
        const HWND edit = program->Control(id);
        RECT client;
        GetClientRect(edit, &client);
        const auto left = [&](int character) {
            return static_cast<short>(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, character, 0)));
        };
        // Only a number wider than its field proves anything about where it is scrolled.
        const int last = static_cast<int>(program->Text(id).size()) - 1;
        EXPECT_GT(left(last), client.right) << "field " << id;
        EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "field " << id;
        EXPECT_GE(left(0), 0) << "field " << id;
    }

    // Types a name into the file name field and leaves it for the X pixel scale.
    static void TakeName(const std::wstring& name) {
        program->Type(1000, name);
        program->MoveFocusTo(1002);
    }

    static std::unique_ptr<ProgramUnderTest> program;
};

std::unique_ptr<ProgramUnderTest> KestrelWindow::program;

const std::array<std::wstring, 12> Zeros = {L"0", L"0", L"0", L"0", L"0", L"0",
                                            L"0", L"0", L"0", L"0", L"0", L"0"};

TEST_F(KestrelWindow, opens_with_no_file_and_both_updates_disabled) {
    EXPECT_EQ(Utf8(TextOf(program->Dialog())), "Tiff/World File Referencing Examine/Edit");
    EXPECT_EQ(Utf8(program->Text(1023)), "No file specified as yet.");
    EXPECT_EQ(Utf8(program->Text(1024)), "No Tiff file specified as yet.");
    EXPECT_EQ(program->Text(1000), L"");
    EXPECT_EQ(Numbers(), Zeros);
    EXPECT_FALSE(program->IsEnabled(1020));
    EXPECT_FALSE(program->IsEnabled(1021));
    EXPECT_EQ(Utf8(program->Text(1021)), "Update Referencing in World File");
    EXPECT_EQ(program->Focus(), program->Control(1000));
}

TEST_F(KestrelWindow, a_name_of_no_file_is_refused_in_a_plain_box_captioned_kestrel) {
    TakeName(L"missing");
    const std::optional<SeenBox> box = program->AnswerBox();
    ASSERT_TRUE(box.has_value()) << "no message box came up";
    EXPECT_EQ(Utf8(box->caption), "kestrel");
    EXPECT_EQ(Utf8(box->text), "Indicated file does not exist.");
    EXPECT_FALSE(box->hasIcon);
    EXPECT_TRUE(WaitUntil([] { return program->Focus() == program->Control(1000); }))
        << "the focus did not go back to the file name";
    EXPECT_EQ(Utf8(program->Text(1023)), "No file specified as yet.");
}

TEST_F(KestrelWindow, a_button_pressed_after_typing_takes_the_name_first_and_stops_at_a_refusal) {
    program->Type(1000, L"missing too");
    // The click moves the focus to the button: the name is taken before "-->" would run.
    program->Press(1018);
    const std::optional<SeenBox> box = program->AnswerBox();
    ASSERT_TRUE(box.has_value()) << "no message box came up";
    EXPECT_EQ(Utf8(box->text), "Indicated file does not exist.");
    EXPECT_TRUE(WaitUntil([] { return program->Focus() == program->Control(1000); }));
    // "-->" did not run: it would have shown the Y vector's Y as -0.
    EXPECT_EQ(Numbers(), Zeros);
}

TEST_F(KestrelWindow, leaving_the_typed_name_examines_the_geotiff_and_shows_both_sides) {
    TakeName(L"sheet");
    ASSERT_TRUE(WaitUntil([] { return program->Text(1023) == L"Tiff file is georeferenced."; }))
        << "GeoTiff status: " << Utf8(program->Text(1023)) << "; name " << Utf8(program->Text(1000))
        << "; " << program->OtherWindow();
    // The name was completed: absolute, with the extension "tif".
    EXPECT_EQ(program->Text(1000), workFolder + L"\\sheet.tif");
    const std::array<std::wstring, 12> expected = {L"10", L"10", L"0", L"0", L"500000", L"4000480",
                                                   L"0",  L"0",  L"0", L"0", L"0",      L"0"};
    EXPECT_EQ(Numbers(), expected);
    EXPECT_EQ(Utf8(program->Text(1024)), "Corresponding world file does not exist.");
    EXPECT_EQ(Utf8(program->Text(1021)), "Write new world file.");
    EXPECT_TRUE(program->IsEnabled(1020));
    EXPECT_TRUE(program->IsEnabled(1021));
    EXPECT_EQ(program->Focus(), program->Control(1002));
}

TEST_F(KestrelWindow, the_arrow_derives_the_world_file_from_the_tie_point) {
    program->Press(1018);
    ASSERT_TRUE(WaitUntil([] { return program->Text(1012) == L"500005"; }))
        << "reference point X: " << Utf8(program->Text(1012));
    const std::array<std::wstring, 12> expected = {L"10",     L"10",      L"0",      L"0",
                                                   L"500000", L"4000480", L"10",     L"0",
                                                   L"0",      L"-10",     L"500005", L"4000475"};
    EXPECT_EQ(Numbers(), expected);
}

TEST_F(KestrelWindow, the_world_files_update_writes_it_and_examines_the_file_again) {
    program->Press(1021);
    ASSERT_TRUE(WaitUntil([] {
        return program->Text(1024) == L"Corresponding world file exists.";
    })) << "World file status: "
        << Utf8(program->Text(1024));
    EXPECT_EQ(Utf8(program->Text(1021)), "Update existing World file.");
    EXPECT_TRUE(FileExists(workFolder + L"\\sheet.tfw"));
    const std::array<std::wstring, 12> readBack = {L"10",     L"10",      L"0",      L"0",
                                                   L"500000", L"4000480", L"10",     L"0",
                                                   L"0",      L"-10",     L"500005", L"4000475"};
    EXPECT_EQ(Numbers(), readBack);
    // The picture kept by the test: the dialog with both sides filled in.
    program->Settle(program->Dialog());
    EXPECT_TRUE(Screenshot(program->Dialog(), L"kestrel-window"));
}

TEST_F(KestrelWindow, a_file_that_is_no_tiff_shows_the_catalogue_error_with_its_caption) {
    TakeName(L"notatiff.tif");
    const HWND box = program->WaitForWindow(L"Data File Format Problem");
    ASSERT_NE(box, nullptr) << "no error box came up";
    // Message boxes under Wine may stay unpainted in screenshots; this one is kept to show it.
    program->Settle(box);
    Screenshot(box, L"message-box");
    const std::optional<SeenBox> seen = program->AnswerBox();
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(Utf8(seen->text), "The file named " + Utf8(workFolder) +
                                    "\\notatiff.tif could not be processed as a .TIF(F) file; "
                                    "the format is not understood with the kestrel program.");
    EXPECT_TRUE(seen->hasIcon);
    EXPECT_EQ(Utf8(program->Text(1023)), "Indicated Tiff file cannot be read.");
    EXPECT_EQ(Utf8(program->Text(1024)), "Valid Tiff file has not been selected.");
    EXPECT_FALSE(program->IsEnabled(1020));
    EXPECT_FALSE(program->IsEnabled(1021));
}

TEST_F(KestrelWindow, the_world_file_written_reads_back_and_long_numbers_show_their_start) {
    TakeName(L"sheet.tif");
    ASSERT_TRUE(
        WaitUntil([] { return program->Text(1024) == L"Corresponding world file exists."; }));
    EXPECT_EQ(program->Text(1012), L"500005");
    EXPECT_EQ(program->Text(1013), L"4000475");

    // A number the user typed and left, and one the dialog wrote: both wider than the field.
    program->Type(1002, L"-1.23456789012345678e-204");
    program->MoveFocusTo(1003);
    ExpectStartShown(1002);
    program->Press(1018);
    ASSERT_TRUE(WaitUntil([] { return program->Text(1008) == L"-1.23456789012346e-204"; }))
        << "X vector X: " << Utf8(program->Text(1008));
    ExpectStartShown(1008);
}

TEST_F(KestrelWindow, the_system_menus_about_entry_opens_the_about_box_with_its_notice) {
    program->PostSystemCommand(0x0010);
    const HWND about = program->WaitForWindow(L"About Kestrel");
    ASSERT_NE(about, nullptr) << "no About box came up";
    EXPECT_EQ(Utf8(TextOf(GetDlgItem(about, 1024))),
              "Kestrel is free software, released under the MIT License. It is provided \"as "
              "is\", without warranty of any kind, express or implied. Keep a copy of your "
              "files: the authors are not liable for any damage arising from its use. See the "
              "file " +
                  Utf8(ProgramFolder()) + "\\LICENSE.");
    PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindow(about) == FALSE; }));
}

TEST_F(KestrelWindow, browse_takes_the_file_chosen_in_the_file_open_dialog_in_any_script) {
    program->Press(1001);
    const HWND open = program->WaitForWindow(L"Tiff File Name");
    ASSERT_NE(open, nullptr) << "no file-open dialog came up";
    // cmb1 is the dialog's list of file types, cmb13 its file name box.
    EXPECT_EQ(Utf8(TextOf(GetDlgItem(open, 0x0470))), "Tiff Files (*.tif)");
    const std::wstring chosen = workFolder + L"\\\u5730\u56f3 \u043a\u0430\u0440\u0442\u0430.tif";
    SendMessageW(GetDlgItem(open, 0x047C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
    PostMessageW(GetDlgItem(open, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return program->Text(1000) == chosen; }))
        << "file name: " << Utf8(program->Text(1000));
    EXPECT_TRUE(WaitUntil(
        [] { return program->Text(1024) == L"Corresponding world file does not exist."; }));
    EXPECT_EQ(Utf8(program->Text(1023)), "Tiff file is georeferenced.");
    EXPECT_EQ(program->Focus(), program->Control(1002));
}

// The page the recorder was given, once it has written it whole; empty when none came.
std::string PageOpened() {
    const std::wstring record = shotFolder + L"\\help-opened.txt";
    std::string opened;
    WaitUntil([&] {
        const HANDLE file = CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        char bytes[2048];
        DWORD read = 0;
        ReadFile(file, bytes, sizeof bytes, &read, nullptr);
        CloseHandle(file);
        opened.assign(bytes, read);
        return !opened.empty() && opened.back() == '\n';
    });
    DeleteFileW(record.c_str());
    return opened;
}

// F1 pressed on the keyboard while a window of the program is in front.
void PressF1(HWND window) {
    SetForegroundWindow(window);
    WaitUntil([&] { return GetForegroundWindow() == window; }, 2000ms);
    INPUT keys[2] = {};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_F1;
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

TEST_F(KestrelWindow, help_without_a_web_browser_says_how_to_get_one) {
    program->Press(9);
    const std::optional<SeenBox> box = program->AnswerBox();
    ASSERT_TRUE(box.has_value()) << "no message box came up";
    EXPECT_EQ(Utf8(box->caption), "System Configuration Related Problem");
    EXPECT_EQ(Utf8(box->text), "The help file " + Utf8(ProgramFolder()) +
                                   "\\kestrel.html cannot be opened: Windows has no program set "
                                   "to open web pages. Choose a default web browser in the "
                                   "Settings, then try again.");
    EXPECT_TRUE(box->hasIcon);
}

TEST_F(KestrelWindow, help_and_f1_open_the_guide_and_the_about_boxs_topic_in_the_browser) {
    // A recorder opens web pages in the browser's place; it writes down the page it was given.
    const RecorderAsBrowser browser;
    ASSERT_TRUE(browser.registered);
    program->Press(9);
    EXPECT_EQ(PageOpened(), Utf8(ProgramFolder()) + "\\kestrel.html\n");

    PressF1(program->Dialog());
    EXPECT_EQ(PageOpened(), Utf8(ProgramFolder()) + "\\kestrel.html\n");

    program->PostSystemCommand(0x0010);
    const HWND about = program->WaitForWindow(L"About Kestrel");
    ASSERT_NE(about, nullptr) << "no About box came up";
    PressF1(about);
    EXPECT_EQ(PageOpened(), Utf8(ProgramFolder()) + "\\kestrel-about.html\n");
    PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindow(about) == FALSE; }));
}

TEST_F(KestrelWindow, close_ends_the_program) {
    program->Press(2);
    const std::optional<DWORD> exitCode = program->WaitForExit();
    ASSERT_TRUE(exitCode.has_value()) << "kestrel.exe did not end";
    EXPECT_EQ(*exitCode, 0u);
}

} // namespace
} // namespace kestrel::ui
