#include "DisplayCheck.h"

namespace kestrel::qt {
namespace {

bool IsSet(const EnvironmentReader& environment, const char* name) {
    const char* value = environment(name);
    return value != nullptr && value[0] != '\0';
}

} // namespace

std::string MissingDisplayMessage(const EnvironmentReader& environment) {
    if (IsSet(environment, "QT_QPA_PLATFORM") || IsSet(environment, "DISPLAY") ||
        IsSet(environment, "WAYLAND_DISPLAY")) {
        return std::string();
    }
    return "kestrel: no display found. Kestrel is a desktop program and needs a graphical "
           "display: start it from a desktop session (X11 or Wayland), or set DISPLAY or "
           "WAYLAND_DISPLAY to the display to use.";
}

} // namespace kestrel::qt
