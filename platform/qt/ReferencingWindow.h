// The main dialog on the screen: template 102 as Qt widgets, and the platform that the
// dialog's logic (ReferencingDialog) drives. It maps the widgets' events to the logic's
// handlers and the logic's operations to the widgets; it holds no referencing logic itself.
#pragma once

#include <QMenu>
#include <memory>
#include <string>
#include <vector>

#include "DialogPlatform.h"
#include "FileDialog.h"
#include "MessageBoxes.h"
#include "ReferencingDialog.h"
#include "TemplateDialog.h"

namespace kestrel::qt {

// How the window asks the user besides through its own controls: message boxes (its own, and
// the help's when the guide is missing) and the file-open dialog. Left empty, the real ones are
// shown over the window; a test answers them itself.
struct UserPrompts {
    MessageBoxFunction messageBox;
    FileDialogAnswer fileDialog;
};

class ReferencingWindow : public TemplateDialog, public DialogPlatform {
    Q_OBJECT

public:
    explicit ReferencingWindow(UserPrompts prompts = {}, QWidget* parent = nullptr);
    ~ReferencingWindow() override;

    ReferencingDialog& Logic() { return *logic; }

    // The dialog's own context menu, as a right click shows it: the entries the logic
    // appended (the About entry). Each action's data is its command id.
    std::unique_ptr<QMenu> BuildContextMenu();

    // Esc, the Close button and the window's close box: the logic's cancel command.
    void reject() override;

    // DialogPlatform.
    void SetControlText(int id, const std::string& text) override;
    std::string GetControlText(int id) override;
    void EnableControl(int id, bool enable) override;
    void SetFocus(int id) override;
    void LimitText(int id, int characters) override;
    bool IsFileNameModified() override;
    void MessageBox(const TuMessage& message) override;
    [[nodiscard]] std::optional<std::string> OpenFile(const FileOpenRequest& request) override;
    void EndDialog(int result) override;
    void AppendMenuEntry(int commandId, const std::string& text) override;
    void SetIcon(int iconId) override;
    void RunAboutBox() override;
    void OpenHelp(int topic) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct MenuEntry {
        int commandId;
        QString text;
    };

    // Runs a command of the logic after the file name edit's pending departure, as the user
    // did them in this order; a departure that stopped to tell the user why (a name of no
    // file, an error) cancels the command that followed it.
    void RunCommand(void (ReferencingDialog::*handler)());
    // Runs the departure if one is pending; true when it stopped.
    [[nodiscard]] bool RunPendingKillFocus();
    void ConnectButton(int id, void (ReferencingDialog::*handler)());
    QMessageBox::StandardButton ShowBox(const MessageBoxRequest& request);

    UserPrompts prompts;
    std::unique_ptr<ReferencingDialog> logic;
    std::vector<MenuEntry> menuEntries;
    bool killFocusPending = false;
    bool inKillFocus = false;
};

} // namespace kestrel::qt
