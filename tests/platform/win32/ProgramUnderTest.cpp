#include "ProgramUnderTest.h"

#include <set>
#include <thread>
#include <vector>

#include "WideText.h"

namespace kestrel::ui {
namespace {

// Any wait on the program is bounded: a program that hangs fails the test, not the run.
constexpr UINT SendLimitMs = 5000;

struct WindowSearch {
    DWORD processId;
    HWND exclude;
    const std::set<HWND>* closed;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || window == search.exclude || !IsWindowVisible(window) ||
        (search.closed != nullptr && search.closed->count(window) != 0)) {
        return TRUE;
    }
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (std::wstring(className) != L"#32770") {
        return TRUE;
    }
    if (!search.caption->empty() && TextOf(window) != *search.caption) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

} // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::wstring TextOf(HWND window) {
    if (window == nullptr) {
        return std::wstring();
    }
    std::vector<wchar_t> text(4096, L'\0');
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                            SMTO_ABORTIFHUNG, SendLimitMs, &copied) == 0) {
        return std::wstring();
    }
    return std::wstring(text.data(), copied);
}

std::string Utf8(const std::wstring& text) {
    return win32::Narrow(text);
}

ProgramUnderTest::ProgramUnderTest(const std::wstring& program, const std::wstring& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + program + L"\"";
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.c_str(), &startup, &process) == FALSE) {
        return;
    }
    WaitForInputIdle(process.hProcess, 10000);
    WaitUntil([&] {
        const std::wstring caption = L"Tiff/World File Referencing Examine/Edit";
        WindowSearch search{process.dwProcessId, nullptr, nullptr, &caption, nullptr};
        EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&search));
        dialog = search.found;
        return dialog != nullptr;
    });
}

ProgramUnderTest::~ProgramUnderTest() {
    if (process.hProcess == nullptr) {
        return;
    }
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

HWND ProgramUnderTest::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(process.dwThreadId, &info) == FALSE) {
        return nullptr;
    }
    return info.hwndFocus;
}

void ProgramUnderTest::Type(int id, const std::wstring& text) {
    const HWND edit = Control(id);
    MoveFocusTo(id);
    DWORD_PTR result = 0;
    // Keys typed over the whole text replace it, as after a triple click.
    SendMessageTimeoutW(edit, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, SendLimitMs, &result);
    PostMessageW(edit, WM_CHAR, VK_BACK, 0);
    for (const wchar_t unit : text) {
        PostMessageW(edit, WM_CHAR, unit, 1);
    }
    WaitUntil([&] { return TextOf(edit) == text; });
}

void ProgramUnderTest::MoveFocusTo(int id) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(id)), TRUE,
                        SMTO_ABORTIFHUNG, SendLimitMs, &result);
}

void ProgramUnderTest::Press(int id) {
    PostMessageW(Control(id), BM_CLICK, 0, 0);
}

void ProgramUnderTest::PostSystemCommand(WPARAM command) {
    PostMessageW(dialog, WM_SYSCOMMAND, command, 0);
}

HWND ProgramUnderTest::WaitForWindow(const std::wstring& caption,
                                     std::chrono::milliseconds limit) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            WindowSearch search{process.dwProcessId, dialog, &closed, &caption, nullptr};
            EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&search));
            found = search.found;
            return found != nullptr;
        },
        limit);
    return found;
}

std::optional<SeenBox> ProgramUnderTest::AnswerBox(int button) {
    const HWND box = WaitForWindow();
    if (box == nullptr) {
        return std::nullopt;
    }
    SeenBox seen;
    seen.caption = TextOf(box);
    // A message box shows its text in the static control 0xFFFF, and its icon in a static
    // control with SS_ICON, which holds no icon when the box has none.
    seen.text = TextOf(GetDlgItem(box, 0xFFFF));
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        DWORD_PTR icon = 0;
        if ((style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child) &&
            SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, SendLimitMs, &icon) !=
                0) {
            seen.hasIcon = seen.hasIcon || icon != 0;
        }
    }
    PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
    // A box that was answered is never taken for the next one, however long Wine takes to
    // destroy it.
    closed.insert(box);
    // Destroyed, not only hidden: Wine gives the dialog back its activation (and the focus
    // to the control it had) only as it destroys the box.
    if (!WaitUntil([&] { return IsWindow(box) == FALSE; }, 15000ms)) {
        return std::nullopt;
    }
    Settle(dialog);
    return seen;
}

std::string ProgramUnderTest::OtherWindow() const {
    const std::wstring anyCaption;
    WindowSearch search{process.dwProcessId, dialog, &closed, &anyCaption, nullptr};
    EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        return std::string();
    }
    return Utf8(TextOf(search.found)) + ": " + Utf8(TextOf(GetDlgItem(search.found, 0xFFFF)));
}

void ProgramUnderTest::Settle(HWND window) const {
    // A sent message returns only once the program's thread takes messages again, and
    // RDW_UPDATENOW paints at once.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, SendLimitMs, &result);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, SendLimitMs, &result);
}

std::optional<DWORD> ProgramUnderTest::WaitForExit(std::chrono::milliseconds limit) {
    if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}

} // namespace kestrel::ui
