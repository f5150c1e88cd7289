// Shows the errors that the utility library raises in Qt message boxes.
#pragma once

#include <QPointer>
#include <QWidget>

#include "MessageBoxes.h"

namespace kestrel::qt {

// For its life, the message box that TuError::Show uses: the error's caption, text and the
// style flags of its category, over parent (may be null), or answered by `answer` where one is
// given. The dialog's own errors reach its window directly; this catches any other.
class ErrorPresenter {
public:
    explicit ErrorPresenter(QWidget* parent, MessageBoxFunction answer = {});
    ~ErrorPresenter();
    ErrorPresenter(const ErrorPresenter&) = delete;
    ErrorPresenter& operator=(const ErrorPresenter&) = delete;

private:
    QPointer<QWidget> parent;
    MessageBoxFunction answer;
};

} // namespace kestrel::qt
