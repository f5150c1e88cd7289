// Presenting a caught error: the caption and icon come from its category, the body is its
// message text.
#include <cstdio>
#include <iterator>
#include <utility>

#include "uError.h"
#include "uText.h"

namespace {

constexpr int CaptionBytes = 64; // caption with its terminator
// The message body: its 255 characters whatever bytes they take in the host's narrow form
// (three each at most in UTF-8), and the terminator.
constexpr int BodyBytes = static_cast<int>(TuNarrowUnitBytes) * 255 + 1;

struct TuCategoryStyle {
    const char* caption;
    int style;
};

constexpr int Information = TuStyleIconInformation | TuStyleOk;
constexpr int Failure = TuStyleIconError | TuStyleOk;

// Categories 1 to 18; anything else is shown as an unclassified problem.
constexpr TuCategoryStyle CategoryStyles[] = {
    {"For Your Information", Information},
    {"Warning", TuStyleIconWarning | TuStyleOk},
    {"Warning; Acknowledgement Required", TuStyleIconQuestion | TuStyleOkCancel},
    {"Cancellation Notice", Information},
    {"Data Format Warning", Information},
    {"Automatic Cancelation", Information},
    {"User Supplied Information Problem", Failure},
    {"Operational Problem", Failure},
    {"System Resources Problem", Failure},
    {"Data File Format Problem", Failure},
    {"Application Installation Problem", Failure},
    {"System Configuration Related Problem", Failure},
    {"System Hardware Error", Failure},
    {"Application Software Error", Failure},
    {"Problem due to Software Manufacture", Failure},
    {"Internal Software Problem", Failure},
    {"System Integrity Notice", Failure},
    {"Debugging Notification", Information},
};
constexpr TuCategoryStyle UnknownCategory = {"Problem:", Failure};
constexpr int CategoryCount = static_cast<int>(std::size(CategoryStyles));

const TuCategoryStyle& StyleOf(int category) {
    return category >= 1 && category <= CategoryCount ? CategoryStyles[category - 1]
                                                      : UnknownCategory;
}

TuMessageBoxFunction& InstalledMessageBox() {
    static TuMessageBoxFunction function;
    return function;
}

} // namespace

int TuError::GetCaption(char* buffer, int size) const {
    const TuCategoryStyle& style = StyleOf(Category());
    if (buffer != nullptr && size > 0) {
        int used = 0;
        for (const char* from = style.caption; *from != '\0' && used < size - 1; ++from) {
            buffer[used++] = *from;
        }
        buffer[used] = '\0';
    }
    return style.style;
}

TuMessage TuError::ToMessage() const {
    char caption[CaptionBytes];
    const int style = GetCaption(caption, CaptionBytes);
    // The caption passes through wide text of at most 63 characters on its way to the box.
    char16_t wideCaption[CaptionBytes];
    TuWidenN(wideCaption, caption, CaptionBytes);
    TuNarrowBytes(caption, wideCaption, CaptionBytes);

    char body[BodyBytes];
    TuNarrowBytes(body, Message(), BodyBytes);
    return TuMessage{cause, caption, body, style};
}

void TuError::Show() const {
    const TuMessage message = ToMessage();
    const TuMessageBoxFunction& messageBox = InstalledMessageBox();
    if (messageBox) {
        messageBox(message);
        return;
    }
    std::fputs(message.caption.c_str(), stderr);
    std::fputs(": ", stderr);
    std::fputs(message.text.c_str(), stderr);
    std::fputs("\n", stderr);
    std::fflush(stderr);
}

void TuSetMessageBox(TuMessageBoxFunction function) {
    InstalledMessageBox() = std::move(function);
}
