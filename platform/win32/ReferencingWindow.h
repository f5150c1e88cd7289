// The main dialog on the screen: template 102 run by the Windows dialog manager, and the
// platform that the dialog's logic (ReferencingDialog) drives. It maps the dialog's messages to
// the logic's handlers and the logic's operations to the controls; it holds no referencing
// logic itself.
#pragma once

#include "Win32.h"

#include <memory>
#include <string>

#include "DialogPlatform.h"
#include "ReferencingDialog.h"

namespace kestrel::win32 {

// Posted to the dialog when the file name edit has lost the focus: the name is taken once
// the focus has settled, never inside the change of focus itself (the handler may show a
// message box and move the focus).
constexpr UINT TakeFileNameMessage = WM_APP + 1;

class ReferencingWindow : public DialogPlatform {
public:
    ReferencingWindow();
    ~ReferencingWindow() override;
    ReferencingWindow(const ReferencingWindow&) = delete;
    ReferencingWindow& operator=(const ReferencingWindow&) = delete;

    // Runs the dialog modally; returns its result, or -1 when it could not be created.
    INT_PTR Run(HINSTANCE instance);

    // DialogPlatform.
    void SetControlText(int id, const std::string& text) override;
    std::string GetControlText(int id) override;
    void EnableControl(int id, bool enable) override;
    void SetFocus(int id) override;
    void LimitText(int id, int characters) override;
    bool IsFileNameModified() override;
    void MessageBox(const TuMessage& message) override;
    std::optional<std::string> OpenFile(const FileOpenRequest& request) override;
    void EndDialog(int result) override;
    void AppendMenuEntry(int commandId, const std::string& text) override;
    void SetIcon(int iconId) override;
    void RunAboutBox() override;
    void OpenHelp(int topic) override;

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam);
    void OnCommand(int id, int code);
    // Runs a command of the logic after the file name edit's pending departure, as the user
    // did them in this order; a departure that stopped to tell the user why (a name of no
    // file, an error) cancels the command that followed it.
    void RunCommand(void (ReferencingDialog::*handler)());
    // Runs the departure if one is pending; true when it stopped.
    bool RunPendingDeparture();
    // The departure posted by the edit: taken when the focus went to another control of the
    // dialog, dropped when it went to a message box or another program.
    void OnTakeFileName();
    // Scrolls a numeric edit back to its first character, so that a number too long for the
    // field shows its sign and leading digits.
    void ShowStartOf(HWND edit);
    void LoadIcons();
    bool PaintMinimised();
    // Runs a part of the logic; an unexpected failure (memory exhausted, say) is reported
    // instead of ending the program through the window's message handling.
    template <class Action> void Guarded(Action action);

    HWND window = nullptr;
    int iconId = 0;
    HICON largeIcon = nullptr;
    HICON smallIcon = nullptr;
    std::unique_ptr<ReferencingDialog> logic;
    bool departurePending = false;
    bool inDeparture = false;
};

} // namespace kestrel::win32
