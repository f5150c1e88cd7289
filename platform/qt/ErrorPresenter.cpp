#include "ErrorPresenter.h"

#include "MessageBoxes.h"
#include "uError.h"

namespace kestrel::qt {

void InstallErrorPresenter() {
    TuSetMessageBox([](const char* caption, const char* body, int style) {
        ShowMessageBox(QString::fromLocal8Bit(caption), QString::fromLocal8Bit(body), style);
    });
}

} // namespace kestrel::qt
