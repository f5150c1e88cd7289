// The pieces of JSON that kestrel-cli writes: string literals, numbers and objects.
#pragma once

#include <span>
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

// Writes one JSON object into out, member by member, in the form
// {"key": value, "key": value}: "{" when made, ", " before every member but the first, "}" at
// End. Keys are written as string literals.
class JsonObject {
public:
    explicit JsonObject(std::string& out);
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;

    void String(std::string_view key, std::string_view text);
    void Boolean(std::string_view key, bool value);
    void Integer(std::string_view key, long long value);
    void Numbers(std::string_view key, std::span<const double> values); // an array
    void Null(std::string_view key);
    // A member whose value is an object, written by write(JsonObject&) and then closed.
    template <class Write> void Object(std::string_view key, Write write) {
        JsonObject inner(Member(key));
        write(inner);
        inner.End();
    }
    void End();

private:
    // Writes the separator when a member came before, then the key and ": "; returns out.
    std::string& Member(std::string_view key);

    std::string& out;
    bool empty = true;
};

} // namespace kestrel::cli
