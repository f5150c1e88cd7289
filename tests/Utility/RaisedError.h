// Catching the error an action raises, and reading its wide-text arguments, for tests of
// the modules that raise catalogue causes.
#pragma once

#include <optional>
#include <string>

#include "uError.h"

namespace raised_error {

using Text = std::u16string;

// The error the action raised, or nothing when it raised none.
template <class Action> std::optional<TuException> Raised(Action action) {
    try {
        action();
    } catch (const TuException& error) {
        return error;
    }
    return std::nullopt;
}

// A wide-text argument as the error keeps it: texts of 48 units or more are kept as their
// first 11 units, "..." and their last 32 units.
inline Text Kept(const Text& text) {
    return text.size() < 48 ? text : text.substr(0, 11) + u"..." + text.substr(text.size() - 32);
}

inline Text WideArgument(const TuError& error, int position) {
    const char16_t* text = error.Argument(position).WideText();
    return text != nullptr ? Text(text) : Text(u"<none>");
}

} // namespace raised_error
