// The numeric fields of the referencing dialog: how a number is shown, how a keyed-in text is
// read back, and the ranges some fields must keep to. The command-line companion reads its
// numbers by the same rules.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// A numeric field delivers at most this many characters of its text.
constexpr std::size_t NumberFieldReadLimit = 31;
// Significant digits of a shown number.
constexpr int NumberFieldPrecision = 15;

// The number as shown in a field: "%.*g" with 15 significant digits, independent of the
// host's locale. Both zeros show as "0".
std::string FormatNumber(double value);

// Reads a field's text by the dialog's rule: only its first 31 characters count; after
// leading blanks and tabs there must be a decimal number (optional sign, digits with an
// optional point, optional exponent) followed only by blanks or tabs. Hexadecimal, "inf",
// "nan" and numbers too large for a double are refused. A value of zero is accepted only
// when its first non-blank character is "0", so an empty field and "-0" are refused.
// Returns nothing when the text is refused.
[[nodiscard]] std::optional<double> ParseNumberField(std::string_view text);

// What display last wrote into a numeric field: the text, and the exact value it stands for.
struct ShownNumber {
    std::string text;
    double value = 0;
};

// The number as display shows it, with the value behind it.
ShownNumber ShowNumber(double value);

// Reads a field back. While its text is still the one display wrote, the exact value behind
// it, so that a number shown with 15 digits is not rounded to them; otherwise (and for a value
// that is no finite number, which the text would not give either) the text by the dialog's
// rule. shown may be null: the field has not been displayed yet.
[[nodiscard]] std::optional<double> CollectNumber(std::string_view text, const ShownNumber* shown);

// An inclusive range of a field.
struct NumberRange {
    double minimum;
    double maximum;
    bool Contains(double value) const { return value >= minimum && value <= maximum; }
};

constexpr NumberRange TieWorldRange{-99999999, 99999999};
constexpr NumberRange VectorRange{-9999, 9999};
constexpr NumberRange RefPointRange{-99999999, 99999999};

// "Please enter a number between -9999 and 9999."
std::string RangeMessage(const NumberRange& range);
// "Please enter no more than 260 characters."
std::string LengthMessage(int characters);

} // namespace kestrel
