#include "ReferencingWindow.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "AboutBox.h"
#include "ControlIds.h"
#include "FileDialog.h"
#include "HelpViewer.h"
#include "MessageBoxes.h"
#include "Resources.h"

namespace kestrel::qt {
namespace {

// A normal top-level window (with a task-bar entry) that has a caption, a system menu and a
// close box, and neither minimise nor maximise boxes.
constexpr Qt::WindowFlags MainWindowFlags = Qt::Window | Qt::CustomizeWindowHint |
                                            Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                            Qt::WindowCloseButtonHint;

QString FromHost(const std::string& text) {
    return QString::fromLocal8Bit(text);
}
std::string ToHost(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

} // namespace

ReferencingWindow::ReferencingWindow(UserPrompts prompts, QWidget* parent)
    : TemplateDialog(ReferencingTemplate(), parent, MainWindowFlags), prompts(std::move(prompts)),
      logic(std::make_unique<ReferencingDialog>(*this)) {
    if (QWidget* fileName = Control(IDC_FILE_NAME)) {
        fileName->installEventFilter(this);
    }
    ConnectButton(IDC_BROWSE, &ReferencingDialog::OnBrowse);
    ConnectButton(IDC_TIFF_TO_WORLD, &ReferencingDialog::OnTiffToWorld);
    ConnectButton(IDC_WORLD_TO_TIFF, &ReferencingDialog::OnWorldToTiff);
    ConnectButton(IDC_UPDATE_TIFF, &ReferencingDialog::OnUpdateTiff);
    ConnectButton(IDC_UPDATE_WORLD, &ReferencingDialog::OnUpdateWorldFile);
    ConnectButton(IDHELP, &ReferencingDialog::OnHelp);
    if (auto* close = qobject_cast<QPushButton*>(Control(IDCANCEL))) {
        connect(close, &QPushButton::clicked, this, &ReferencingWindow::reject);
    }
    if (logic->OnInitDialog()) {
        // The first control of the tab order takes the focus when the window is shown.
        if (QWidget* first = Control(IDC_FILE_NAME)) {
            first->setFocus(Qt::OtherFocusReason);
        }
    }
}

ReferencingWindow::~ReferencingWindow() {
    if (QWidget* fileName = Control(IDC_FILE_NAME)) {
        fileName->removeEventFilter(this);
    }
}

void ReferencingWindow::ConnectButton(int id, void (ReferencingDialog::*handler)()) {
    if (auto* button = qobject_cast<QPushButton*>(Control(id))) {
        connect(button, &QPushButton::clicked, this, [this, handler] { RunCommand(handler); });
    }
}

void ReferencingWindow::RunCommand(void (ReferencingDialog::*handler)()) {
    if (RunPendingKillFocus()) {
        return;
    }
    ((*logic).*handler)();
}

bool ReferencingWindow::RunPendingKillFocus() {
    if (!killFocusPending || inKillFocus) {
        return false;
    }
    killFocusPending = false;
    inKillFocus = true;
    logic->OnFileNameKillFocus();
    inKillFocus = false;
    return logic->State().lastCommand.Stopped();
}

bool ReferencingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Control(IDC_FILE_NAME) && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving the field within the dialog takes the name. Switching to another window or
        // opening the edit's own menu does not: the user has not finished typing.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            !killFocusPending) {
            killFocusPending = true;
            // Run once the focus change is complete, never inside it: the handler may show a
            // message box and move the focus itself.
            QMetaObject::invokeMethod(
                this, [this] { static_cast<void>(RunPendingKillFocus()); }, Qt::QueuedConnection);
        }
    }
    return TemplateDialog::eventFilter(watched, event);
}

void ReferencingWindow::reject() {
    // Closing drops a pending departure from the file name field: no examination on the
    // way out.
    killFocusPending = false;
    logic->OnCancel();
}

void ReferencingWindow::keyPressEvent(QKeyEvent* event) {
    const bool plain =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // A focused button is pressed by Enter; anywhere else Enter is the default command.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        } else {
            RunCommand(&ReferencingDialog::OnOK);
        }
        return;
    }
    if (plain && event->key() == Qt::Key_F1) {
        OpenHelp(HelpTopicOfTemplate(IDD_REFERENCING));
        return;
    }
    TemplateDialog::keyPressEvent(event); // Esc: reject()
}

std::unique_ptr<QMenu> ReferencingWindow::BuildContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    for (const MenuEntry& entry : menuEntries) {
        menu->addSeparator();
        QAction* action = menu->addAction(entry.text);
        action->setData(entry.commandId);
    }
    return menu;
}

void ReferencingWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (menuEntries.empty()) {
        return;
    }
    const std::unique_ptr<QMenu> menu = BuildContextMenu();
    if (QAction* chosen = menu->exec(event->globalPos())) {
        logic->OnSystemCommand(chosen->data().toInt());
    }
}

void ReferencingWindow::SetControlText(int id, const std::string& text) {
    QWidget* control = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(FromHost(text)); // also clears the edit's changed flag
        // A number shows its sign and leading digits, should it ever be too long to show.
        if (id != IDC_FILE_NAME) {
            edit->setCursorPosition(0);
        }
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        button->setText(FromHost(text));
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(FromHost(text));
    }
}

std::string ReferencingWindow::GetControlText(int id) {
    QWidget* control = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        return ToHost(edit->text());
    }
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        return ToHost(button->text());
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return ToHost(label->text());
    }
    return std::string();
}

void ReferencingWindow::EnableControl(int id, bool enable) {
    if (QWidget* control = Control(id)) {
        control->setEnabled(enable);
    }
}

void ReferencingWindow::SetFocus(int id) {
    QWidget* control = Control(id);
    if (control == nullptr) {
        return;
    }
    control->setFocus(Qt::OtherFocusReason);
    // A number the user must correct is selected, so that typing replaces it.
    if (auto* edit = qobject_cast<QLineEdit*>(control); edit != nullptr && id != IDC_FILE_NAME) {
        edit->selectAll();
    }
}

void ReferencingWindow::LimitText(int id, int characters) {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(id))) {
        edit->setMaxLength(characters);
    }
}

bool ReferencingWindow::IsFileNameModified() {
    auto* edit = qobject_cast<QLineEdit*>(Control(IDC_FILE_NAME));
    return edit != nullptr && edit->isModified();
}

void ReferencingWindow::MessageBox(const TuMessage& message) {
    const QString caption =
        message.caption.empty() ? ApplicationTitle() : FromHost(message.caption);
    ShowBox({caption, FromHost(message.text), message.style});
}

QMessageBox::StandardButton ReferencingWindow::ShowBox(const MessageBoxRequest& request) {
    return ShowMessageBox(request, this, prompts.messageBox);
}

std::optional<std::string> ReferencingWindow::OpenFile(const FileOpenRequest& request) {
    return RunFileOpenDialog(request, this, prompts.fileDialog);
}

void ReferencingWindow::EndDialog(int result) {
    killFocusPending = false;
    done(result);
}

void ReferencingWindow::AppendMenuEntry(int commandId, const std::string& text) {
    menuEntries.push_back({commandId, FromHost(text)});
}

void ReferencingWindow::SetIcon(int iconId) {
    if (iconId == IDR_MAINFRAME) {
        setWindowIcon(ApplicationIcon());
    }
}

void ReferencingWindow::RunAboutBox() {
    AboutBox box(this, [this](int topic) { OpenHelp(topic); });
    box.exec();
}

void ReferencingWindow::OpenHelp(int topic) {
    OpenHelpWindow(topic, HelpFolders(),
                   [this](const MessageBoxRequest& request) { return ShowBox(request); });
}

} // namespace kestrel::qt
