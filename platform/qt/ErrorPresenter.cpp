#include "ErrorPresenter.h"

#include "MessageBoxes.h"
#include "uError.h"

namespace kestrel::qt {

void InstallErrorPresenter() {
    TuSetMessageBox([](const TuMessage& message) {
        ShowMessageBox(QString::fromLocal8Bit(message.caption),
                       QString::fromLocal8Bit(message.text), message.style);
    });
}

} // namespace kestrel::qt
