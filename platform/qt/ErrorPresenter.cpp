#include "ErrorPresenter.h"

#include "uError.h"

namespace kestrel::qt {

ErrorPresenter::ErrorPresenter(QWidget* parent, MessageBoxFunction answer)
    : parent(parent), answer(std::move(answer)) {
    TuSetMessageBox([this](const TuMessage& message) {
        const MessageBoxRequest request{QString::fromLocal8Bit(message.caption),
                                        QString::fromLocal8Bit(message.text), message.style};
        ShowMessageBox(request, this->parent.data(), this->answer);
    });
}

ErrorPresenter::~ErrorPresenter() {
    TuSetMessageBox(nullptr);
}

} // namespace kestrel::qt
