#include "DisplayCheck.h"

namespace kestrel::qt {
namespace {

// The variables that choose the display, in the order they are named to the user.
constexpr const char* DisplayVariables[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};

constexpr const char* WhatKestrelNeeds =
    "Kestrel is a desktop program and needs a graphical display: start it from a desktop "
    "session (X11 or Wayland), or set DISPLAY or WAYLAND_DISPLAY to ";

bool IsSet(const EnvironmentReader& environment, const char* name) {
    const char* value = environment(name);
    return value != nullptr && value[0] != '\0';
}

} // namespace

std::string MissingDisplayMessage(const EnvironmentReader& environment) {
    for (const char* name : DisplayVariables) {
        if (IsSet(environment, name)) {
            return std::string();
        }
    }
    return std::string("kestrel: no display found. ") + WhatKestrelNeeds + "the display to use.";
}

std::string UnreachableDisplayMessage(const EnvironmentReader& environment) {
    std::string chosen;
    for (const char* name : DisplayVariables) {
        if (IsSet(environment, name)) {
            chosen += (chosen.empty() ? "" : ", ") + std::string(name) + "=" + environment(name);
        }
    }
    return "kestrel: the display cannot be opened (" + chosen + "). " + WhatKestrelNeeds +
           "a display that is running.";
}

} // namespace kestrel::qt
