// kestrel.exe started in a folder of its own and driven from this process with window
// messages only, as another program (or assistive software) would: texts are set and read with
// WM_SETTEXT and WM_GETTEXT, the focus is moved with WM_NEXTDLGCTL, and buttons that may open
// a modal box are pressed with a posted BM_CLICK, so that the driver never waits on a box.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>

namespace kestrel::ui {

using namespace std::chrono_literals;

// Waits until the condition holds, checking every 20 ms; false when the time is up first.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = std::chrono::milliseconds(10000));

// The text of a window of any process.
std::wstring TextOf(HWND window);
std::string Utf8(const std::wstring& text);

// A message box of the program as the user sees it.
struct SeenBox {
    std::wstring caption;
    std::wstring text;
    bool hasIcon = false;
};

class ProgramUnderTest {
public:
    // Starts `program` with `folder` as its current folder and waits for its main dialog.
    ProgramUnderTest(const std::wstring& program, const std::wstring& folder);
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    HWND Dialog() const { return dialog; }
    HWND Control(int id) const { return GetDlgItem(dialog, id); }
    std::wstring Text(int id) const { return TextOf(Control(id)); }
    bool IsEnabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    // The control that has the keyboard focus in the program's window.
    HWND Focus() const;

    // Types into an edit, key by key, replacing its text; returns when the edit shows it.
    void Type(int id, const std::wstring& text);
    // Moves the focus to a control, as Tab or a click does; the one that had it loses it.
    void MoveFocusTo(int id);
    // Presses a button without waiting for what it does.
    void Press(int id);
    // Posts a command to the dialog (a system menu entry, say).
    void PostSystemCommand(WPARAM command);

    // The next window of the program other than the main dialog whose caption is given (any
    // caption when empty), leaving out boxes already answered; nullptr when none comes up in
    // time.
    HWND WaitForWindow(const std::wstring& caption = std::wstring(),
                       std::chrono::milliseconds limit = 10000ms) const;
    // Waits for a message box, reads it, and closes it with the given button; nothing when no
    // box came up, or it did not close.
    std::optional<SeenBox> AnswerBox(int button = IDOK);
    // A window of the program besides the main dialog that is up (a box left open), as
    // "caption: text"; empty when there is none.
    std::string OtherWindow() const;
    // Lets the program's window finish painting (before a screenshot).
    void Settle(HWND window) const;

    // Waits for the program to end; its exit code, or nothing when it did not end in time.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds limit = 10000ms);

private:
    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;
    std::set<HWND> closed;
};

} // namespace kestrel::ui
