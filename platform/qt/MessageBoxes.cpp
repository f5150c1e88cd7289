#include "MessageBoxes.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "uMessageStyle.h"

namespace kestrel::qt {
namespace {

QMessageBox::Icon IconOf(int style) {
    switch (style & TuStyleIconMask) {
    case TuStyleIconError:
        return QMessageBox::Critical;
    case TuStyleIconQuestion:
        return QMessageBox::Question;
    case TuStyleIconWarning:
        return QMessageBox::Warning;
    case TuStyleIconInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsOf(int style) {
    switch (style & TuStyleButtonsMask) {
    case TuStyleOkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case TuStyleAbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case TuStyleYesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case TuStyleYesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case TuStyleRetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

} // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const MessageBoxRequest& request, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(request.caption);
    box->setTextFormat(Qt::PlainText); // file names may hold '<' and '&'
    box->setText(request.text);
    box->setIcon(IconOf(request.style));
    const QMessageBox::StandardButtons buttons = ButtonsOf(request.style);
    box->setStandardButtons(buttons);
    // The first button is the default; Esc answers Cancel (or No) where the box has one.
    box->setDefaultButton(buttons.testFlag(QMessageBox::Ok)    ? QMessageBox::Ok
                          : buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes
                                                               : QMessageBox::Abort);
    return box;
}

QMessageBox::StandardButton ShowMessageBox(const MessageBoxRequest& request, QWidget* parent,
                                           const MessageBoxFunction& answer) {
    if (answer) {
        return answer(request);
    }
    const std::unique_ptr<QMessageBox> box = BuildMessageBox(request, parent);
    // A box with standard buttons answers with the button that closed it.
    return static_cast<QMessageBox::StandardButton>(box->exec());
}

QString ApplicationTitle() {
    const QString path = QCoreApplication::applicationFilePath();
    return path.isEmpty() ? QStringLiteral("kestrel") : QFileInfo(path).completeBaseName();
}

} // namespace kestrel::qt
