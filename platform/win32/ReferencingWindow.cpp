#include "ReferencingWindow.h"

#include <exception>

#include "AboutBox.h"
#include "ControlIds.h"
#include "DialogTexts.h"
#include "FileOpenDialog.h"
#include "HelpPages.h"
#include "HelpTopics.h"
#include "MessageBoxes.h"
#include "ProgramFiles.h"
#include "WideText.h"
#include "uMessageStyle.h"

namespace kestrel::win32 {
namespace {

bool IsNumericEdit(int id) {
    return id >= IDC_X_PIXEL_SCALE && id <= IDC_REF_POINT_Y;
}

} // namespace

ReferencingWindow::ReferencingWindow() : logic(std::make_unique<ReferencingDialog>(*this)) {}

ReferencingWindow::~ReferencingWindow() {
    if (largeIcon != nullptr) {
        DestroyIcon(largeIcon);
    }
    if (smallIcon != nullptr) {
        DestroyIcon(smallIcon);
    }
}

INT_PTR ReferencingWindow::Run(HINSTANCE instance) {
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_REFERENCING), nullptr, Procedure,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ReferencingWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ReferencingWindow*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        self->window = window;
    }
    auto* self = reinterpret_cast<ReferencingWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Messages before the dialog's initialisation (its font, its size) are the platform's.
    return self != nullptr ? self->Handle(message, wParam) : FALSE;
}

template <class Action> void ReferencingWindow::Guarded(Action action) {
    try {
        action();
    } catch (const std::exception& failure) {
        MessageBox(TuMessage{std::nullopt, "Internal Software Problem",
                             FillMessage("The command was not completed: %1.", failure.what()),
                             TuStyleIconError | TuStyleOk});
    }
}

INT_PTR ReferencingWindow::Handle(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_INITDIALOG: {
        bool focusFirst = true;
        Guarded([&] { focusFirst = logic->OnInitDialog(); });
        return focusFirst ? TRUE : FALSE;
    }
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case TakeFileNameMessage:
        OnTakeFileName();
        return TRUE;
    case WM_SYSCOMMAND: {
        bool handled = false;
        Guarded([&] { handled = logic->OnSystemCommand(static_cast<int>(wParam)); });
        return handled ? TRUE : FALSE;
    }
    case WM_HELP:
        // F1 anywhere in the dialog: the help at the main dialog's topic.
        OpenHelp(HelpTopicOfTemplate(IDD_REFERENCING));
        return TRUE;
    case WM_PAINT:
        return PaintMinimised() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(largeIcon);
    case WM_DPICHANGED:
        // The dialog manager scales the dialog and its fonts; the icons are loaded anew at
        // the new size.
        LoadIcons();
        return FALSE;
    default:
        return FALSE;
    }
}

void ReferencingWindow::OnCommand(int id, int code) {
    switch (id) {
    case IDC_FILE_NAME:
        if (code == EN_KILLFOCUS && !inDeparture && !departurePending) {
            departurePending = true;
            PostMessageW(window, TakeFileNameMessage, 0, 0);
        }
        return;
    case IDC_BROWSE:
        RunCommand(&ReferencingDialog::OnBrowse);
        return;
    case IDC_TIFF_TO_WORLD:
        RunCommand(&ReferencingDialog::OnTiffToWorld);
        return;
    case IDC_WORLD_TO_TIFF:
        RunCommand(&ReferencingDialog::OnWorldToTiff);
        return;
    case IDC_UPDATE_TIFF:
        RunCommand(&ReferencingDialog::OnUpdateTiff);
        return;
    case IDC_UPDATE_WORLD:
        RunCommand(&ReferencingDialog::OnUpdateWorldFile);
        return;
    case IDHELP:
        RunCommand(&ReferencingDialog::OnHelp);
        return;
    case IDOK: // Enter outside a button: the default command
        RunCommand(&ReferencingDialog::OnOK);
        return;
    case IDCANCEL: // "&Close", Esc and the window's close box
        // Closing drops a pending departure from the file name field: no examination on the
        // way out.
        departurePending = false;
        Guarded([&] { logic->OnCancel(); });
        return;
    default:
        if (IsNumericEdit(id) && code == EN_KILLFOCUS) {
            ShowStartOf(GetDlgItem(window, id));
        }
        return;
    }
}

void ReferencingWindow::RunCommand(void (ReferencingDialog::*handler)()) {
    Guarded([&] {
        if (RunPendingDeparture()) {
            return;
        }
        ((*logic).*handler)();
    });
}

bool ReferencingWindow::RunPendingDeparture() {
    if (!departurePending || inDeparture) {
        return false;
    }
    departurePending = false;
    inDeparture = true;
    try {
        logic->OnFileNameKillFocus();
    } catch (...) {
        inDeparture = false;
        throw;
    }
    inDeparture = false;
    return logic->State().lastCommand.Stopped();
}

void ReferencingWindow::OnTakeFileName() {
    if (!departurePending) {
        return; // a command has taken it already
    }
    const HWND focus = GetFocus();
    const HWND fileName = GetDlgItem(window, IDC_FILE_NAME);
    if (focus == nullptr || focus == fileName || GetParent(focus) != window) {
        // The focus went to a message box or to another program, or came back: the user has
        // not finished with the field.
        departurePending = false;
        return;
    }
    Guarded([&] { RunPendingDeparture(); });
}

void ReferencingWindow::ShowStartOf(HWND edit) {
    if (edit == nullptr) {
        return;
    }
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

// ---- DialogPlatform ----

void ReferencingWindow::SetControlText(int id, const std::string& text) {
    const HWND control = GetDlgItem(window, id);
    if (control == nullptr) {
        return;
    }
    SetWindowTextW(control, Widen(text).c_str());
    if (id == IDC_FILE_NAME) {
        // Text set by the program is not the user's change.
        SendMessageW(control, EM_SETMODIFY, FALSE, 0);
    } else if (IsNumericEdit(id) && control != GetFocus()) {
        ShowStartOf(control);
    }
}

std::string ReferencingWindow::GetControlText(int id) {
    const HWND control = GetDlgItem(window, id);
    if (control == nullptr) {
        return std::string();
    }
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void ReferencingWindow::EnableControl(int id, bool enable) {
    const HWND control = GetDlgItem(window, id);
    if (control == nullptr) {
        return;
    }
    // A disabled control cannot keep the focus: it moves on first, so that the keyboard keeps
    // working.
    if (!enable && GetFocus() == control) {
        SendMessageW(window, WM_NEXTDLGCTL, 0, FALSE);
    }
    EnableWindow(control, enable ? TRUE : FALSE);
}

void ReferencingWindow::SetFocus(int id) {
    if (const HWND control = GetDlgItem(window, id)) {
        // The dialog manager's way: it also selects an edit's text and sets the default button.
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
}

void ReferencingWindow::LimitText(int id, int characters) {
    SendDlgItemMessageW(window, id, EM_SETLIMITTEXT, static_cast<WPARAM>(characters), 0);
}

bool ReferencingWindow::IsFileNameModified() {
    return SendDlgItemMessageW(window, IDC_FILE_NAME, EM_GETMODIFY, 0, 0) != 0;
}

void ReferencingWindow::MessageBox(const TuMessage& message) {
    ShowMessageBox(window, message);
}

std::optional<std::string> ReferencingWindow::OpenFile(const FileOpenRequest& request) {
    return RunFileOpenDialog(window, request);
}

void ReferencingWindow::EndDialog(int result) {
    departurePending = false;
    ::EndDialog(window, result);
}

void ReferencingWindow::AppendMenuEntry(int commandId, const std::string& text) {
    const HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr) {
        return;
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(commandId), Widen(text).c_str());
}

void ReferencingWindow::SetIcon(int id) {
    iconId = id;
    LoadIcons();
}

void ReferencingWindow::LoadIcons() {
    if (iconId == 0) {
        return;
    }
    // The sizes of the window's monitor: the icon file holds pictures for the usual ones.
    const UINT dpi = GetDpiForWindow(window);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto load = [&](int width, int height) {
        return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                             GetSystemMetricsForDpi(width, dpi),
                                             GetSystemMetricsForDpi(height, dpi), 0));
    };
    const HICON large = load(SM_CXICON, SM_CYICON);
    const HICON small = load(SM_CXSMICON, SM_CYSMICON);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    if (largeIcon != nullptr) {
        DestroyIcon(largeIcon);
    }
    if (smallIcon != nullptr) {
        DestroyIcon(smallIcon);
    }
    largeIcon = large;
    smallIcon = small;
}

bool ReferencingWindow::PaintMinimised() {
    if (!IsIconic(window) || largeIcon == nullptr) {
        return false;
    }
    PAINTSTRUCT paint;
    const HDC context = BeginPaint(window, &paint);
    SendMessageW(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(context), 0);
    RECT client;
    GetClientRect(window, &client);
    const int width = GetSystemMetrics(SM_CXICON);
    const int height = GetSystemMetrics(SM_CYICON);
    DrawIcon(context, (client.right - client.left - width + 1) / 2,
             (client.bottom - client.top - height + 1) / 2, largeIcon);
    EndPaint(window, &paint);
    return true;
}

void ReferencingWindow::RunAboutBox() {
    win32::RunAboutBox(window);
}

void ReferencingWindow::OpenHelp(int topic) {
    if (const auto problem = OpenHelpPage(window, topic, ProgramFolder())) {
        MessageBox(*problem);
    }
}

} // namespace kestrel::win32
