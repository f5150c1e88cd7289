// Message boxes from the style flags of the error catalogue and the dialog's warnings
// (TuStyle*, uMessageStyle.h): an icon and a set of buttons. Whatever shows boxes can be
// given a function that answers them, so that a test sees what would have been shown and
// answers it.
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

// Shows a message box, or answers it in place of the user; returns the button "pressed".
using MessageBoxFunction = std::function<QMessageBox::StandardButton(const MessageBoxRequest&)>;

// Shows a box over parent (may be null) and returns when it is closed, with the button that
// closed it; where an answer is given, it answers instead and nothing is shown.
QMessageBox::StandardButton ShowMessageBox(const MessageBoxRequest& request, QWidget* parent,
                                           const MessageBoxFunction& answer = {});

// The box that ShowMessageBox would run, not yet shown.
std::unique_ptr<QMessageBox> BuildMessageBox(const MessageBoxRequest& request, QWidget* parent);

// The application's title, the caption of plain message boxes: the program file's name
// without its extension.
QString ApplicationTitle();

} // namespace kestrel::qt
