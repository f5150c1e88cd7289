#include "MessageBoxes.h"

#include "ProgramFiles.h"
#include "WideText.h"
#include "uMessageStyle.h"

namespace kestrel::win32 {

UINT MessageBoxFlags(int style) {
    UINT flags = MB_OK;
    switch (style & TuStyleButtonsMask) {
    case TuStyleOkCancel:
        flags = MB_OKCANCEL;
        break;
    case TuStyleAbortRetryIgnore:
        flags = MB_ABORTRETRYIGNORE;
        break;
    case TuStyleYesNoCancel:
        flags = MB_YESNOCANCEL;
        break;
    case TuStyleYesNo:
        flags = MB_YESNO;
        break;
    case TuStyleRetryCancel:
        flags = MB_RETRYCANCEL;
        break;
    default:
        break;
    }
    switch (style & TuStyleIconMask) {
    case TuStyleIconError:
        flags |= MB_ICONERROR;
        break;
    case TuStyleIconQuestion:
        flags |= MB_ICONQUESTION;
        break;
    case TuStyleIconWarning:
        flags |= MB_ICONWARNING;
        break;
    case TuStyleIconInformation:
        flags |= MB_ICONINFORMATION;
        break;
    default:
        break;
    }
    return flags;
}

std::wstring MessageBoxCaption(const TuMessage& message, const std::wstring& applicationTitle) {
    return message.caption.empty() ? applicationTitle : Widen(message.caption);
}

int ShowMessageBox(HWND owner, const TuMessage& message) {
    const std::wstring caption = MessageBoxCaption(message, ApplicationTitle());
    const std::wstring text = Widen(message.text);
    return MessageBoxW(owner, text.c_str(), caption.c_str(), MessageBoxFlags(message.style));
}

} // namespace kestrel::win32
