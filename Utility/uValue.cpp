#include "uValue.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "uBoundedOutput.h"
#include "uText.h"

namespace {

constexpr std::size_t ElisionHead = 11;       // characters (bytes of narrow text) before "..."
constexpr std::size_t NarrowElisionTail = 31; // bytes kept after "..." (narrow text)
constexpr std::size_t WideElisionTail = 32;   // units kept after "..." (wide text)
constexpr int NumberAreaBytes = 32;           // numbers are assembled in 32 bytes

// A narrow work area for one number; text beyond its 31 bytes is dropped.
class NumberArea {
public:
    void Put(char c) {
        if (length + 1 < NumberAreaBytes) {
            text[length++] = c;
        }
        text[length] = '\0';
    }
    void Put(const char* s) {
        while (*s != '\0') {
            Put(*s++);
        }
    }
    const char* Text() const { return text; }

private:
    char text[NumberAreaBytes] = {};
    int length = 0;
};

enum class ConversionClass { Text, Floating, Integer, Character, None };

ConversionClass ClassOf(char16_t conversion) {
    switch (conversion) {
    case u'B':
    case u'P':
    case u'b':
    case u'p':
    case u's':
        return ConversionClass::Text;
    case u'E':
    case u'F':
    case u'G':
    case u'e':
    case u'f':
    case u'g':
        return ConversionClass::Floating;
    case u'X':
    case u'd':
    case u'o':
    case u'u':
    case u'x':
        return ConversionClass::Integer;
    case u'c':
        return ConversionClass::Character;
    default:
        return ConversionClass::None;
    }
}

void RenderInteger(NumberArea& area, bool isSigned, std::int32_t signedValue,
                   std::uint32_t unsignedValue, char16_t conversion, int precision, bool alternate,
                   char16_t sign) {
    const unsigned base = conversion == u'o'                           ? 8
                          : (conversion == u'x' || conversion == u'X') ? 16
                                                                       : 10;
    std::uint32_t magnitude = unsignedValue;
    if (isSigned) {
        const std::int64_t wide = signedValue;
        magnitude = static_cast<std::uint32_t>(wide < 0 ? -wide : wide);
        if (wide < 0) {
            sign = base == 10 ? u'-' : 0;
        }
    }
    const char* digitSet = conversion == u'X' ? "0123456789ABCDEF" : "0123456789abcdef";
    char digits[33];
    int count = 0;
    do {
        digits[count++] = digitSet[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);

    if (sign != 0) {
        area.Put(static_cast<char>(sign));
    }
    if (alternate && base == 16) {
        area.Put(conversion == u'X' ? "0X" : "0x");
    } else if (alternate && base == 8) {
        area.Put('0');
    }
    for (int zeros = precision - count; zeros > 0; --zeros) {
        area.Put('0');
    }
    while (count > 0) {
        area.Put(digits[--count]);
    }
}

// Rounds value (positive, finite) to `significant` digits: the digit string and the position
// of the decimal point relative to its first digit.
void RoundDigits(double value, int significant, char* digits, int digitsSize, int& point) {
    constexpr int MaximumDigits = 40; // beyond this the number area is full anyway
    if (significant > MaximumDigits) {
        significant = MaximumDigits;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*e", significant - 1, value);
    int length = 0;
    const char* p = text;
    for (; *p != '\0' && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9' && length + 1 < digitsSize) {
            digits[length++] = *p;
        }
    }
    digits[length] = '\0';
    point = (*p == 'e' ? std::atoi(p + 1) : 0) + 1;
}

void RenderFloating(NumberArea& area, double value, char16_t conversion, int precision,
                    char16_t sign) {
    if (precision < 0) {
        precision = 6;
    }
    if (std::signbit(value) && value != 0) {
        sign = u'-';
    }
    const double magnitude = std::fabs(value);
    if (!std::isfinite(magnitude)) {
        if (sign != 0) {
            area.Put(static_cast<char>(sign));
        }
        area.Put(std::isnan(magnitude) ? "nan" : "inf");
        return;
    }
    // The decimal exponent estimate: trunc(log10 v) + 1; zero counts as exponent 0.
    const int exponent =
        magnitude == 0 ? 0 : static_cast<int>(std::trunc(std::log10(magnitude))) + 1;
    const bool exponentForm = exponent > 10 || exponent < -4 || -exponent >= precision ||
                              conversion == u'E' || conversion == u'e';
    const int significant = exponentForm ? precision + 1 : exponent + precision;

    char digits[48];
    int point = 0;
    RoundDigits(magnitude, significant, digits, sizeof digits, point);
    if (magnitude == 0) {
        point = exponentForm ? 1 : 0;
    }

    if (sign != 0) {
        area.Put(static_cast<char>(sign));
    }
    if (!exponentForm) {
        const int length = static_cast<int>(std::strlen(digits));
        if (point > 0) {
            for (int i = 0; i < point; ++i) {
                area.Put(i < length ? digits[i] : '0');
            }
            area.Put('.');
            for (int i = point; i < length; ++i) {
                area.Put(digits[i]);
            }
        } else {
            area.Put("0.");
            for (int i = 0; i < -point; ++i) {
                area.Put('0');
            }
            area.Put(digits);
        }
        return;
    }
    area.Put(digits[0]);
    area.Put('.');
    area.Put(digits + 1);
    const bool upper = conversion == u'E' || conversion == u'F' || conversion == u'G';
    area.Put(upper ? 'E' : 'e');
    const int power = point - 1;
    area.Put(power < 0 ? '-' : '+');
    char number[12];
    std::snprintf(number, sizeof number, "%02d", power < 0 ? -power : power);
    area.Put(number);
}

// The position after the last path separator ('\' or '/'), or the start when there is none.
const char16_t* AfterLastSeparator(const char16_t* text, const char16_t* end) {
    const char16_t* after = text;
    for (const char16_t* p = text; p < end; ++p) {
        if (*p == u'\\' || *p == u'/') {
            after = p + 1;
        }
    }
    return after;
}

void RenderText(TuBoundedOutput& out, const char16_t* text, char16_t conversion, int precision) {
    const char16_t* begin = text;
    const char16_t* end = text + TuWideLength(text);
    const char16_t* afterSeparator = AfterLastSeparator(begin, end);
    if (conversion == u'B' || conversion == u'b') {
        begin = afterSeparator;
        if (conversion == u'b') {
            for (const char16_t* p = end; p > begin; --p) {
                if (p[-1] == u'.') {
                    end = p - 1;
                    break;
                }
            }
        }
    } else if ((conversion == u'P' || conversion == u'p') && afterSeparator != begin) {
        end = afterSeparator - 1;
    }
    for (int written = 0; begin < end && (precision <= 0 || written < precision); ++written) {
        out.Put(*begin++);
    }
}

} // namespace

TuValue::TuValue() {
    std::memset(area, 0, sizeof area);
}

TuValue::TuValue(const TuValue& other) : TuValue() {
    *this = other;
}

TuValue& TuValue::operator=(const TuValue& other) {
    if (this == &other) {
        return *this;
    }
    kind = other.kind;
    if (kind == tvText) {
        TuNarrowCopy(reinterpret_cast<char*>(area), reinterpret_cast<const char*>(other.area));
    } else if (kind == tvWideText) {
        TuWideCopy(reinterpret_cast<char16_t*>(area),
                   reinterpret_cast<const char16_t*>(other.area));
    } else {
        std::memcpy(area, other.area, 8);
    }
    return *this;
}

void TuValue::SetChar(int character) {
    kind = tvChar;
    std::memset(area, 0, 4);
    area[0] = static_cast<unsigned char>(character);
}

void TuValue::SetWideChar(int character) {
    kind = tvWideChar;
    std::memset(area, 0, 4);
    const auto unit = static_cast<std::uint16_t>(character);
    std::memcpy(area, &unit, sizeof unit);
}

void TuValue::SetInt(std::int32_t value) {
    kind = tvInt;
    std::memcpy(area, &value, sizeof value);
}

void TuValue::SetLong(std::int32_t value) {
    kind = tvLong;
    std::memcpy(area, &value, sizeof value);
}

void TuValue::SetUnsigned(std::uint32_t value) {
    kind = tvUnsigned;
    std::memcpy(area, &value, sizeof value);
}

void TuValue::SetDouble(double value) {
    kind = tvDouble;
    std::memcpy(area, &value, sizeof value);
}

void TuValue::SetText(const char* text) {
    kind = tvText;
    char* out = reinterpret_cast<char*>(area);
    const std::size_t length = TuNarrowLength(text);
    if (length < static_cast<std::size_t>(AreaUnits)) {
        TuNarrowCopy(out, text);
        return;
    }
    // Long texts keep their start and their end, where names and extensions are: the whole
    // characters within their first and their last bytes (in UTF-8 a character may take
    // several).
    const char* const headEnd = TuNarrowFit(text, ElisionHead);
    for (const char* head = text; head < headEnd; ++head) {
        *out++ = *head;
    }
    for (int i = 0; i < 3; ++i) {
        *out++ = '.';
    }
    const char* const tailStart = text + (length - NarrowElisionTail);
    const char* tail = TuNarrowFit(text, length - NarrowElisionTail);
    if (tail < tailStart) {
        tail = TuNarrowSkip(tail, 1); // the character across the boundary is left out
    }
    TuNarrowCopy(out, tail);
}

void TuValue::SetWideText(const char16_t* text) {
    kind = tvWideText;
    auto* out = reinterpret_cast<char16_t*>(area);
    const std::size_t length = TuWideLength(text);
    if (length < static_cast<std::size_t>(AreaUnits)) {
        TuWideCopy(out, text);
        return;
    }
    out = TuWideCopyN(out, text, ElisionHead + 1);
    for (int i = 0; i < 3; ++i) {
        *out++ = u'.';
    }
    TuWideCopy(out, text + length - WideElisionTail);
}

std::int32_t TuValue::AsSigned() const {
    std::int32_t value;
    std::memcpy(&value, area, sizeof value);
    return value;
}

std::uint32_t TuValue::AsUnsigned() const {
    std::uint32_t value;
    std::memcpy(&value, area, sizeof value);
    return value;
}

double TuValue::AsDouble() const {
    double value;
    std::memcpy(&value, area, sizeof value);
    return value;
}

const char* TuValue::Text() const {
    return kind == tvText ? reinterpret_cast<const char*>(area) : "";
}

const char16_t* TuValue::WideText() const {
    return kind == tvWideText ? reinterpret_cast<const char16_t*>(area) : u"";
}

int TuValue::Render(char16_t* buffer, int capacity, char16_t conversion, int precision,
                    bool alternate, char16_t sign) const {
    TuBoundedOutput out(buffer, capacity);
    if (kind == tvNone) {
        out.Put(u'?');
        return out.Finish();
    }
    const ConversionClass conversionClass = ClassOf(conversion);
    const bool isText = kind == tvText || kind == tvWideText;
    const bool isCharacter = kind == tvChar || kind == tvWideChar;

    if (conversionClass == ConversionClass::Character && isCharacter) {
        out.Put(kind == tvChar ? static_cast<char16_t>(area[0])
                               : static_cast<char16_t>(AsUnsigned() & 0xFFFF));
    } else if (conversionClass == ConversionClass::Integer) {
        NumberArea number;
        RenderInteger(number, kind == tvInt || kind == tvLong, AsSigned(), AsUnsigned(), conversion,
                      precision, alternate, sign);
        out.PutNarrow(number.Text());
    } else if (conversionClass == ConversionClass::Floating && kind == tvDouble) {
        NumberArea number;
        RenderFloating(number, AsDouble(), conversion, precision, sign);
        out.PutNarrow(number.Text());
    } else if (conversionClass == ConversionClass::Text && isText) {
        char16_t wide[AreaUnits];
        const char16_t* text = WideText();
        if (kind == tvText) {
            TuWidenN(wide, Text(), AreaUnits);
            text = wide;
        }
        RenderText(out, text, conversion, precision);
    } else if (kind == tvInt || kind == tvLong || kind == tvUnsigned || kind > tvWideText) {
        // A conversion that does not fit the value: the value is not loaded for it.
        if (sign != 0) {
            out.Put(sign);
        }
        out.Put(u'0');
    } else {
        out.Put(u'?');
    }
    return out.Finish();
}
