#include "uFormatDirective.h"

#include <algorithm>

#include "uSystemInfo.h"

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Reads a run of digits, continuing `number`: a width may come in pieces, as in "%1-2d".
// Numbers are capped so that absurd widths cannot overflow.
const char16_t* ParseNumber(const char16_t* text, int& number) {
    constexpr int Limit = 100000;
    for (; IsDigit(*text); ++text) {
        number = std::min(number * 10 + (*text - u'0'), Limit);
    }
    return text;
}

// Reads one flag; false when c is none.
bool ParseFlag(char16_t c, TuDirective& directive) {
    switch (c) {
    case u' ':
    case u'+':
        directive.sign = c; // the later of space and plus wins
        return true;
    case u'#':
        directive.alternate = true;
        return true;
    case u'-':
        directive.leftJustify = true;
        return true;
    case u'h':
    case u'l':
        return true;
    default:
        return false;
    }
}

// Makes the width read so far the argument index (">") or the fact index ("^"); false when
// that index is out of range.
bool ParseIndex(char16_t mark, TuDirective& directive, int argumentCount) {
    const int index = directive.width;
    directive.width = 0;
    if (mark == u'>') {
        directive.argumentIndex = index;
        return index <= argumentCount;
    }
    directive.factIndex = index;
    return index <= TuSystemInfo::FactCount;
}

// The character that a directive ending in c writes by itself, or 0.
char16_t OwnCharacter(char16_t c) {
    switch (c) {
    case u'%':
    case u'V':
    case u'v':
        return u'%';
    case u'D':
        return u'\\';
    case u'O':
        return u'/';
    default:
        return 0;
    }
}

bool IsValueConversion(char16_t c) {
    switch (c) {
    case u'B':
    case u'C':
    case u'P':
    case u'S':
    case u'X':
    case u'b':
    case u'c':
    case u'd':
    case u'o':
    case u'p':
    case u's':
    case u'u':
    case u'x':
    case u'E':
    case u'G':
    case u'e':
    case u'f':
    case u'g':
        return true;
    default:
        return false;
    }
}

bool HasDefaultPrecision(char16_t c) {
    return c == u'E' || c == u'G' || c == u'e' || c == u'f' || c == u'g';
}

// Completes the directive with the letter that ends it; false when no directive ends so.
bool ParseEnd(char16_t letter, TuDirective& directive) {
    if (const char16_t own = OwnCharacter(letter)) {
        directive.kind = TuDirectiveKind::Character;
        directive.character = own;
        return true;
    }
    if (!IsValueConversion(letter)) {
        return false;
    }
    directive.kind = TuDirectiveKind::Value;
    directive.conversion = letter;
    if (HasDefaultPrecision(letter) && directive.precision < 0) {
        directive.precision = 6;
    }
    return true;
}

} // namespace

TuDirective TuParseDirective(const char16_t* text, int argumentCount) {
    TuDirective directive;
    bool inPrecision = false;
    for (;;) {
        const char16_t c = *text;
        if (IsDigit(c)) {
            text = ParseNumber(text, inPrecision ? directive.precision : directive.width);
            continue;
        }
        if (c == u'.') {
            inPrecision = true;
            directive.precision = 0;
        } else if (c == u'>' || c == u'^') {
            if (!ParseIndex(c, directive, argumentCount)) {
                return TuDirective{};
            }
        } else if (!ParseFlag(c, directive)) {
            if (!ParseEnd(c, directive)) {
                return TuDirective{}; // any other character, the end of the template included
            }
            directive.end = text + 1;
            return directive;
        }
        ++text;
    }
}
