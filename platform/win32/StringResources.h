// The program's string table, read from its resources (string 101, the About entry of the
// system menu) and installed for the dialogs' logic, which loads it by number.
#pragma once

#include "Win32.h"

namespace kestrel::win32 {

// Loads the strings of the program's resources that the logic uses and installs them with
// TuSetStringTable. A string the resources lack is left out, and loading it then finds none.
void InstallStringResources(HINSTANCE instance);

} // namespace kestrel::win32
