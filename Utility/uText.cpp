#include "uText.h"

// Every conversion goes one character at a time: a narrow character (one byte, or a UTF-8
// sequence) and the one or two wide units it stands for.
namespace {

constexpr char UnmappableByte = '?';           // a unit above 255 has no narrow form in Bytes
constexpr char16_t ReplacementUnit = 0xFFFD;   // what a malformed UTF-8 byte widens to
constexpr char32_t HighSurrogates = 0xD800;    // first unit of a pair: 0xD800 to 0xDBFF
constexpr char32_t LowSurrogates = 0xDC00;     // second unit of a pair: 0xDC00 to 0xDFFF
constexpr char32_t BeyondBasicPlane = 0x10000; // the first character that takes a pair

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

bool IsHighSurrogate(char32_t unit) {
    return unit >= HighSurrogates && unit < LowSurrogates;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= LowSurrogates && unit < LowSurrogates + 0x400;
}

// One narrow character, decoded.
struct NarrowCharacter {
    std::size_t bytes = 1;
    char32_t codePoint = 0;
    bool valid = true;
};

// The UTF-8 character at text: its length follows from the lead byte, and the second byte's
// range excludes the over-long forms and anything beyond U+10FFFF. The surrogates' own range
// (ED A0 to ED BF) is accepted: that is how a lone surrogate is written here. The terminator
// is never a continuation byte, so a sequence cut short by it is malformed.
NarrowCharacter DecodeUtf8(const unsigned char* text) {
    const unsigned char lead = text[0];
    if (lead < 0x80) {
        return {1, lead, true};
    }
    std::size_t bytes = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    char32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        bytes = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        bytes = 3;
        codePoint = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        bytes = 4;
        codePoint = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {1, ReplacementUnit, false};
    }
    if (text[1] < low || text[1] > high) {
        return {1, ReplacementUnit, false};
    }
    for (std::size_t i = 1; i < bytes; ++i) {
        if (!IsContinuation(text[i])) {
            return {1, ReplacementUnit, false};
        }
        codePoint = (codePoint << 6) | (text[i] & 0x3F);
    }
    return {bytes, codePoint, true};
}

NarrowCharacter Decode(const char* text, TuNarrowEncoding encoding) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (encoding == TuNarrowEncoding::Bytes) {
        return {1, bytes[0], true};
    }
    return DecodeUtf8(bytes);
}

// Bytes of the narrow character that starts at text (not at its terminator).
std::size_t CharacterBytes(const char* text, TuNarrowEncoding encoding) {
    return Decode(text, encoding).bytes;
}

// The wide units of a code point; returns how many (1 or 2).
std::size_t EncodeWide(char32_t codePoint, char16_t* units) {
    if (codePoint < BeyondBasicPlane) {
        units[0] = static_cast<char16_t>(codePoint);
        return 1;
    }
    const char32_t offset = codePoint - BeyondBasicPlane;
    units[0] = static_cast<char16_t>(HighSurrogates + (offset >> 10));
    units[1] = static_cast<char16_t>(LowSurrogates + (offset & 0x3FF));
    return 2;
}

// One wide character: one unit, or a surrogate pair, with its narrow bytes.
struct WideCharacter {
    std::size_t units = 1;
    std::size_t bytes = 1;
    char narrow[4] = {};
};

WideCharacter NarrowCharacterAt(const char16_t* source, TuNarrowEncoding encoding) {
    WideCharacter character;
    const char32_t unit = source[0];
    if (encoding == TuNarrowEncoding::Bytes) {
        character.narrow[0] =
            unit <= 0xFF ? static_cast<char>(static_cast<unsigned char>(unit)) : UnmappableByte;
        return character;
    }
    char32_t codePoint = unit;
    if (IsHighSurrogate(unit) && IsLowSurrogate(source[1])) {
        codePoint =
            BeyondBasicPlane + ((unit - HighSurrogates) << 10) + (source[1] - LowSurrogates);
        character.units = 2;
    }
    auto put = [&character](std::size_t at, char32_t bits) {
        character.narrow[at] = static_cast<char>(static_cast<unsigned char>(bits));
    };
    if (codePoint < 0x80) {
        put(0, codePoint);
    } else if (codePoint < 0x800) {
        character.bytes = 2;
        put(0, 0xC0 | (codePoint >> 6));
        put(1, 0x80 | (codePoint & 0x3F));
    } else if (codePoint < BeyondBasicPlane) {
        character.bytes = 3;
        put(0, 0xE0 | (codePoint >> 12));
        put(1, 0x80 | ((codePoint >> 6) & 0x3F));
        put(2, 0x80 | (codePoint & 0x3F));
    } else {
        character.bytes = 4;
        put(0, 0xF0 | (codePoint >> 18));
        put(1, 0x80 | ((codePoint >> 12) & 0x3F));
        put(2, 0x80 | ((codePoint >> 6) & 0x3F));
        put(3, 0x80 | (codePoint & 0x3F));
    }
    return character;
}

// Widens the characters of source while their units fit in room units; returns the position
// of the terminator written.
char16_t* WidenWithin(char16_t* destination, const char* source, std::size_t room,
                      TuNarrowEncoding encoding) {
    std::size_t used = 0;
    while (*source != '\0') {
        const NarrowCharacter character = Decode(source, encoding);
        char16_t units[2];
        const std::size_t count = EncodeWide(character.codePoint, units);
        if (used + count > room) {
            break;
        }
        for (std::size_t i = 0; i < count; ++i) {
            destination[used++] = units[i];
        }
        source += character.bytes;
    }
    destination[used] = 0;
    return destination + used;
}

// Narrows the characters of source while their units fit in unitRoom units and their bytes in
// byteRoom bytes; returns the position of the terminator written.
char* NarrowWithin(char* destination, const char16_t* source, std::size_t unitRoom,
                   std::size_t byteRoom, TuNarrowEncoding encoding) {
    std::size_t units = 0;
    std::size_t bytes = 0;
    while (*source != 0) {
        const WideCharacter character = NarrowCharacterAt(source, encoding);
        if (units + character.units > unitRoom || bytes + character.bytes > byteRoom) {
            break;
        }
        for (std::size_t i = 0; i < character.bytes; ++i) {
            destination[bytes++] = character.narrow[i];
        }
        units += character.units;
        source += character.units;
    }
    destination[bytes] = '\0';
    return destination + bytes;
}

constexpr std::size_t Unbounded = static_cast<std::size_t>(-1);

} // namespace

bool TuIsLeadByte(unsigned char byte, TuNarrowEncoding encoding) {
    return encoding == TuNarrowEncoding::Utf8 && byte >= 0xC2 && byte <= 0xF4;
}

bool TuIsNarrowValid(const char* text, TuNarrowEncoding encoding) {
    while (*text != '\0') {
        const NarrowCharacter character = Decode(text, encoding);
        if (!character.valid) {
            return false;
        }
        text += character.bytes;
    }
    return true;
}

char16_t* TuWideCopy(char16_t* destination, const char16_t* source) {
    while ((*destination = *source++) != 0) {
        ++destination;
    }
    return destination;
}

char16_t* TuWideCopyN(char16_t* destination, const char16_t* source, std::size_t size) {
    if (size == 0) { // no room even for a terminator
        return destination;
    }
    for (std::size_t i = 1; i < size && *source != 0; ++i) {
        *destination++ = *source++;
    }
    *destination = 0;
    return destination;
}

std::size_t TuWideLength(const char16_t* text) {
    std::size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length;
}

std::size_t TuWideByteSize(const char16_t* text) {
    return 2 * TuWideLength(text);
}

char16_t* TuWiden(char16_t* destination, const char* source, TuNarrowEncoding encoding) {
    return WidenWithin(destination, source, Unbounded, encoding);
}

char16_t* TuWidenN(char16_t* destination, const char* source, std::size_t size,
                   TuNarrowEncoding encoding) {
    if (size == 0) { // no room even for a terminator
        return destination;
    }
    return WidenWithin(destination, source, size - 1, encoding);
}

char* TuNarrow(char* destination, const char16_t* source, TuNarrowEncoding encoding) {
    return NarrowWithin(destination, source, Unbounded, Unbounded, encoding);
}

char* TuNarrowN(char* destination, const char16_t* source, std::size_t count,
                TuNarrowEncoding encoding) {
    if (count == 0) { // no room even for a terminator
        return destination;
    }
    return NarrowWithin(destination, source, count - 1, Unbounded, encoding);
}

char* TuNarrowBytes(char* destination, const char16_t* source, std::size_t size,
                    TuNarrowEncoding encoding) {
    if (size == 0) { // no room even for a terminator
        return destination;
    }
    // A character that does not fit whole ends the conversion: none is ever split.
    return NarrowWithin(destination, source, Unbounded, size - 1, encoding);
}

char* TuNarrowCopy(char* destination, const char* source, TuNarrowEncoding encoding) {
    while (*source != '\0') {
        const std::size_t bytes = CharacterBytes(source, encoding);
        for (std::size_t i = 0; i < bytes; ++i) {
            *destination++ = *source++;
        }
    }
    *destination = '\0';
    return destination;
}

std::size_t TuNarrowLength(const char* text, TuNarrowEncoding encoding) {
    std::size_t length = 0;
    while (text[length] != '\0') {
        length += CharacterBytes(text + length, encoding);
    }
    return length;
}

const char* TuNarrowSkip(const char* text, std::size_t count, TuNarrowEncoding encoding) {
    for (; count > 0 && *text != '\0'; --count) {
        text += CharacterBytes(text, encoding);
    }
    return text;
}

const char* TuNarrowFit(const char* text, std::size_t bytes, TuNarrowEncoding encoding) {
    const char* end = text;
    while (*end != '\0') {
        const std::size_t next = CharacterBytes(end, encoding);
        if (static_cast<std::size_t>(end - text) + next > bytes) {
            break;
        }
        end += next;
    }
    return end;
}
