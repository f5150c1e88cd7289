// The small platform interface behind Kestrel's dialogs: the only operations of a windowing
// system that the dialogs' own logic uses. The desktop program implements it with Qt; the
// tests implement it with a recorder. Nothing here depends on a windowing library.
#pragma once

#include <optional>
#include <string>

#include "HelpTopics.h"
#include "uMessage.h"

namespace kestrel {

// The dialog's own messages, without a cause, captioned with the application's title: a plain
// one (OK only) and a warning (OK and the warning icon).
inline TuMessage PlainMessage(std::string text) {
    return TuMessage{std::nullopt, std::string(), std::move(text), TuStyleIconNone | TuStyleOk};
}
inline TuMessage WarningMessage(std::string text) {
    return TuMessage{std::nullopt, std::string(), std::move(text), TuStyleIconWarning | TuStyleOk};
}

struct FileOpenRequest {
    std::string title;            // "Tiff File Name"
    std::string filter;           // "Tiff Files (*.tif)|*.tif||"
    std::string defaultExtension; // "tif"
    std::string initialName;      // the current file name
    bool mustExist = true;
};

// The one operation that every dialog's logic needs of its window, the About box's included.
class DialogControls {
public:
    virtual ~DialogControls() = default;

    // Sets the text of a control, by id (ControlIds.h). Texts are narrow, in the host's
    // encoding.
    virtual void SetControlText(int id, const std::string& text) = 0;
};

// Everything the main dialog's logic needs of its window.
class DialogPlatform : public DialogControls {
public:
    // Controls of the dialog, by id (ControlIds.h), besides setting their texts.
    virtual std::string GetControlText(int id) = 0;
    virtual void EnableControl(int id, bool enable) = 0;
    virtual void SetFocus(int id) = 0;
    // Limits the characters the user can type into an edit.
    virtual void LimitText(int id, int characters) = 0;
    // Whether the user changed the file name edit's text since the program last set it.
    virtual bool IsFileNameModified() = 0;

    // A message box: the icon and buttons of the message's style, captioned with the message's
    // caption or, for the dialog's own messages, with the application's title. Errors arrive
    // with their cause, for platforms that keep it.
    virtual void MessageBox(const TuMessage& message) = 0;
    // The file-open dialog; the chosen full path, or nothing when the user cancels.
    [[nodiscard]] virtual std::optional<std::string> OpenFile(const FileOpenRequest& request) = 0;
    // Ends the dialog with the given result (IDOK or IDCANCEL).
    virtual void EndDialog(int result) = 0;

    // The application shell around the dialog.
    // Appends a separator and an entry with the given command id to the window's menu.
    virtual void AppendMenuEntry(int commandId, const std::string& text) = 0;
    // Sets the window's large and small icon from an icon resource.
    virtual void SetIcon(int iconId) = 0;
    // Runs the About box modally.
    virtual void RunAboutBox() = 0;
    // Opens the help at a topic (HelpTopics.h).
    virtual void OpenHelp(int topic) = 0;
};

} // namespace kestrel
