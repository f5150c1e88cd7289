// A message as a message box shows it, in terms that every platform's box understands: the
// catalogue cause of an error, a caption, the text and the style flags (uMessageStyle.h).
#pragma once

#include <optional>
#include <string>

#include "uMessageStyle.h"

struct TuMessage {
    // The catalogue cause of an error; none for a program's own message.
    std::optional<int> cause;
    // The caption of an error's category; empty for a program's own message, which the
    // platform captions with the application's title.
    std::string caption;
    // The body, narrow text in the host's encoding.
    std::string text;
    int style = TuStyleIconNone | TuStyleOk;

    bool operator==(const TuMessage&) const = default;
};
