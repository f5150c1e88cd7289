// One directive of the message template language, read from the character after its "%".
//
// A directive is a run of flags, digits and index marks in any order, ended by a letter:
//   " " "+"  sign character       "#"  alternate form        "-"  left-justify
//   digits   the width, or the precision after "."           "h" "l"  ignored
//   ">"      the number so far becomes the argument index; the width restarts at 0
//   "^"      the number so far becomes the program-fact index; the width restarts at 0
// and then a conversion letter (a value), or "%" "V" "v" "D" "O", which write a character of
// their own. Anything else, the end of the template included, makes the directive invalid.
#pragma once

enum class TuDirectiveKind {
    Invalid,   // copied as text by the formatter, starting at its "%"
    Character, // writes `character`: "%%", "%V" and "%v" write "%", "%D" "\" and "%O" "/"
    Value,     // renders a value under `conversion`
};

struct TuDirective {
    TuDirectiveKind kind = TuDirectiveKind::Invalid;
    char16_t character = 0;  // a Character directive's own character
    char16_t conversion = 0; // a Value directive's conversion letter
    char16_t sign = 0;       // 0, space or plus
    bool alternate = false;
    bool leftJustify = false;
    int width = 0;
    int precision = -1;            // -1 when none; 6 by default for the floating conversions
    int argumentIndex = 0;         // 1-based; 0 when the directive names no argument
    int factIndex = 0;             // 1-based; 0 when the directive names no program fact
    const char16_t* end = nullptr; // the character after a valid directive
};

// Reads the directive whose "%" is just before `text`. An argument index above
// argumentCount or a fact index above the facts' count makes it invalid.
TuDirective TuParseDirective(const char16_t* text, int argumentCount);
