// Message boxes from the style flags of the error catalogue and the dialog's warnings
// (TuStyle*, uMessageStyle.h): an icon and a set of buttons. A test can take the
// boxes over with a hook, so that it sees what would have been shown and answers it.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <memory>

namespace kestrel::qt {

struct MessageBoxRequest {
    QString caption;
    QString text;
    int style = 0;
};

// Answers a message box in place of the user; returns the button "pressed".
using MessageBoxHook = std::function<QMessageBox::StandardButton(const MessageBoxRequest&)>;

// With a hook installed every box goes to it instead of the screen; an empty hook restores
// the real boxes.
void SetMessageBoxHook(MessageBoxHook hook);
// The window the boxes are centred on (may be null).
void SetMessageBoxParent(QWidget* parent);

// Shows a box and returns when it is closed, with the button that closed it.
QMessageBox::StandardButton ShowMessageBox(const QString& caption, const QString& text, int style);

// The box that ShowMessageBox would run, not yet shown.
std::unique_ptr<QMessageBox> BuildMessageBox(const MessageBoxRequest& request, QWidget* parent);

// The application's title, the caption of plain message boxes: the program file's name
// without its extension.
QString ApplicationTitle();

} // namespace kestrel::qt
