#include "Json.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel::cli {
namespace {

// Length of the valid UTF-8 sequence at text[i], or 0 when the bytes there are not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

} // namespace

void AppendJsonString(std::string& out, std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text, i);
            if (length == 0) {
                out += "\\ufffd";
                ++i;
            } else {
                out.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 0x0F];
            } else {
                out += static_cast<char>(c);
            }
        }
        ++i;
    }
    out += '"';
}

void AppendJsonNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[32];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

JsonObject::JsonObject(std::string& out) : out(out) {
    out += '{';
}

std::string& JsonObject::Member(std::string_view key) {
    if (!empty) {
        out += ", ";
    }
    empty = false;
    AppendJsonString(out, key);
    out += ": ";
    return out;
}

void JsonObject::String(std::string_view key, std::string_view text) {
    AppendJsonString(Member(key), text);
}

void JsonObject::Boolean(std::string_view key, bool value) {
    Member(key) += value ? "true" : "false";
}

void JsonObject::Integer(std::string_view key, long long value) {
    Member(key) += std::to_string(value);
}

void JsonObject::Numbers(std::string_view key, std::span<const double> values) {
    Member(key) += '[';
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (k > 0) {
            out += ", ";
        }
        AppendJsonNumber(out, values[k]);
    }
    out += ']';
}

void JsonObject::Null(std::string_view key) {
    Member(key) += "null";
}

void JsonObject::End() {
    out += '}';
}

} // namespace kestrel::cli
