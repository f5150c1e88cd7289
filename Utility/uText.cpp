#include "uText.h"

// The host's narrow encoding is handled byte by byte: no byte starts a double-byte
// character, each byte widens to the unit of the same value, and each unit up to 255
// narrows to the byte of the same value. This keeps any file name's bytes intact.
namespace {

constexpr char UnmappableByte = '?'; // a unit above 255 has no narrow form

char NarrowUnit(char16_t unit) {
    return unit <= 0xFF ? static_cast<char>(static_cast<unsigned char>(unit)) : UnmappableByte;
}

// Bytes of the narrow character that starts at text (1, or 2 for a lead byte and its trail).
std::size_t CharacterBytes(const char* text) {
    return TuIsLeadByte(static_cast<unsigned char>(*text)) && text[1] != '\0' ? 2 : 1;
}

char16_t WidenCharacter(const char* text) {
    return static_cast<char16_t>(static_cast<unsigned char>(*text));
}

} // namespace

bool TuIsLeadByte(unsigned char) {
    return false;
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

char16_t* TuWiden(char16_t* destination, const char* source) {
    while (*source != '\0') {
        *destination++ = WidenCharacter(source);
        source += CharacterBytes(source);
    }
    *destination = 0;
    return destination;
}

char16_t* TuWidenN(char16_t* destination, const char* source, std::size_t size) {
    if (size == 0) { // no room even for a terminator
        return destination;
    }
    for (std::size_t i = 1; i < size && *source != '\0'; ++i) {
        *destination++ = WidenCharacter(source);
        source += CharacterBytes(source);
    }
    *destination = 0;
    return destination;
}

char* TuNarrow(char* destination, const char16_t* source) {
    while (*source != 0) {
        *destination++ = NarrowUnit(*source++);
    }
    *destination = '\0';
    return destination;
}

char* TuNarrowN(char* destination, const char16_t* source, std::size_t count) {
    if (count == 0) { // no room even for a terminator
        return destination;
    }
    for (std::size_t i = 1; i < count && *source != 0; ++i) {
        *destination++ = NarrowUnit(*source++);
    }
    *destination = '\0';
    return destination;
}

char* TuNarrowBytes(char* destination, const char16_t* source, std::size_t size) {
    if (size == 0) { // no room even for a terminator
        return destination;
    }
    // Every unit narrows to one byte here, so a character never needs to be split.
    for (std::size_t used = 1; used < size && *source != 0; ++used) {
        *destination++ = NarrowUnit(*source++);
    }
    *destination = '\0';
    return destination;
}

char* TuNarrowCopy(char* destination, const char* source) {
    while (*source != '\0') {
        const std::size_t bytes = CharacterBytes(source);
        for (std::size_t i = 0; i < bytes; ++i) {
            *destination++ = *source++;
        }
    }
    *destination = '\0';
    return destination;
}

std::size_t TuNarrowLength(const char* text) {
    std::size_t length = 0;
    while (text[length] != '\0') {
        length += CharacterBytes(text + length);
    }
    return length;
}

const char* TuNarrowSkip(const char* text, std::size_t count) {
    for (; count > 0 && *text != '\0'; --count) {
        text += CharacterBytes(text);
    }
    return text;
}
