#include "NumberField.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "DialogTexts.h"

namespace kestrel {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The length of the decimal number at the start of text, or 0 when there is none.
std::size_t DecimalLength(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    // An exponent counts only when it has digits; "1e" is the number 1 followed by "e".
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    return i;
}

} // namespace

std::string FormatNumber(double value) {
    if (value == 0) {
        value = 0; // "-0" would be refused when read back
    }
    char buffer[64];
    // A whole number below 10^15 shows as its digits alone in the general form with 15
    // significant digits; integer conversion gives those digits for a fraction of the cost.
    static_assert(NumberFieldPrecision == 15, "the shortcut below relies on 15 digits");
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value));
        return std::string(buffer, result.ptr);
    }
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::general, NumberFieldPrecision);
    return std::string(buffer, result.ptr);
}

std::optional<double> ParseNumberField(std::string_view text) {
    text = text.substr(0, NumberFieldReadLimit);
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) {
        ++start;
    }
    text.remove_prefix(start);
    const std::size_t length = DecimalLength(text);
    if (length == 0) {
        return std::nullopt;
    }
    for (std::size_t i = length; i < text.size(); ++i) {
        if (!IsBlank(text[i])) {
            return std::nullopt;
        }
    }
    // from_chars takes no leading "+" and reads in the C locale whatever the host's is.
    std::string_view number = text.substr(0, length);
    if (number.front() == '+') {
        number.remove_prefix(1);
    }
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec != std::errc() || result.ptr != number.data() + number.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    if (value == 0 && text.front() != '0') {
        return std::nullopt;
    }
    return value;
}

ShownNumber ShowNumber(double value) {
    return ShownNumber{FormatNumber(value), value};
}

std::optional<double> CollectNumber(std::string_view text, const ShownNumber* shown) {
    if (shown != nullptr && text == shown->text && std::isfinite(shown->value)) {
        return shown->value;
    }
    return ParseNumberField(text);
}

std::string RangeMessage(const NumberRange& range) {
    return FillMessage(texts::EnterNumberBetween, FormatNumber(range.minimum),
                       FormatNumber(range.maximum));
}

std::string LengthMessage(int characters) {
    return FillMessage(texts::EnterNoMoreThan, std::to_string(characters));
}

} // namespace kestrel
