// The About box (template 100): the program's icon, name and release, and the notice of its
// licence, which names the LICENSE file beside the program. OK or Esc closes it; F1 opens the
// help at its topic. Its logic is AboutDialog's.
#pragma once

#include "Win32.h"

namespace kestrel::win32 {

// Runs the About box modally over `owner`.
void RunAboutBox(HWND owner);

} // namespace kestrel::win32
