// Kestrel's messages in Windows message boxes (MessageBoxW): the caption and style flags that
// each message asks for. Errors of the catalogue come with their category's caption; the
// dialogs' own messages are captioned with the application's title.
#pragma once

#include "Win32.h"

#include <string>

#include "uMessage.h"

namespace kestrel::win32 {

// The MessageBoxW flags of a message's style: its icon and buttons. A style the box has no
// icon or buttons for shows no icon, or OK alone.
UINT MessageBoxFlags(int style);
// The box's caption: the message's own, or the application's title for the dialogs' own.
std::wstring MessageBoxCaption(const TuMessage& message, const std::wstring& applicationTitle);
// Shows the message in a box owned by `owner` (which it disables while it is up) and returns
// the button that closed it.
int ShowMessageBox(HWND owner, const TuMessage& message);

} // namespace kestrel::win32
