// Whether the program has a display to show its window on, checked before Qt starts, so that
// a machine without one gets a plain explanation instead of a platform plug-in failure.
#pragma once

#include <functional>
#include <string>

namespace kestrel::qt {

// Reads an environment variable; nullptr when it is not set.
using EnvironmentReader = std::function<const char*(const char* name)>;

// Empty when a display is there (X11's DISPLAY, WAYLAND_DISPLAY, or a Qt platform chosen
// with QT_QPA_PLATFORM); otherwise the message that tells the user what is missing.
std::string MissingDisplayMessage(const EnvironmentReader& environment);

// The message for a display that is named but cannot be opened (a display that is not
// running, a platform that cannot start); it names the variables that chose it.
std::string UnreachableDisplayMessage(const EnvironmentReader& environment);

} // namespace kestrel::qt
