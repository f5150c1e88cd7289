// The pieces of JSON that kestrel-cli writes: string literals and numbers.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::cli {

// Appends text as a JSON string literal. Quotes, backslashes and control characters are
// escaped; bytes that do not form valid UTF-8 (a path in another encoding) become U+FFFD so
// that the document stays valid JSON.
void AppendJsonString(std::string& out, std::string_view text);

// Appends the shortest decimal form that reads back as exactly the same double. JSON has no
// infinities or NaN: those are written as null.
void AppendJsonNumber(std::string& out, double value);

} // namespace kestrel::cli
