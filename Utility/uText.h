// Wide and narrow text.
//
// Wide text is a zero-terminated run of 16-bit units (char16_t) in a caller-owned array;
// narrow text is zero-terminated bytes in the host's encoding (UTF-8 file names on Linux).
// Conversion is byte-transparent: each byte becomes the unit of the same value and back,
// so any file name survives a round trip exactly. Every copy and conversion returns the
// position of the terminator it wrote; every size argument counts the terminator.
#pragma once

#include <cstddef>

// Whether a byte starts a double-byte character in the host's encoding (never on this host).
bool TuIsLeadByte(unsigned char byte);

char16_t* TuWideCopy(char16_t* destination, const char16_t* source);
char16_t* TuWideCopyN(char16_t* destination, const char16_t* source, std::size_t size);
std::size_t TuWideLength(const char16_t* text);
std::size_t TuWideByteSize(const char16_t* text);

char16_t* TuWiden(char16_t* destination, const char* source);
char16_t* TuWidenN(char16_t* destination, const char* source, std::size_t size);
char* TuNarrow(char* destination, const char16_t* source);
char* TuNarrowN(char* destination, const char16_t* source, std::size_t count);
char* TuNarrowBytes(char* destination, const char16_t* source, std::size_t size);

char* TuNarrowCopy(char* destination, const char* source);
std::size_t TuNarrowLength(const char* text);
const char* TuNarrowSkip(const char* text, std::size_t count);
