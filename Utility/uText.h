// Wide and narrow text.
//
// Wide text is a zero-terminated run of 16-bit units (char16_t) in a caller-owned array;
// narrow text is zero-terminated bytes in the host's narrow encoding:
// - Bytes (POSIX, where file names are bytes): each byte becomes the unit of the same value
//   and back, so any file name survives a round trip exactly; a unit above 255 has no narrow
//   form and becomes '?'.
// - UTF-8 (Windows, where file names are UTF-16): a character of one to four bytes becomes
//   one unit, or a pair of units (a surrogate pair) beyond the basic plane. A lone surrogate,
//   which a Windows file name may hold, takes the three-byte form that UTF-8 gives every other
//   unit of its plane, so that any name survives a round trip here too. A malformed byte is
//   one character that widens to U+FFFD.
// Every copy and conversion returns the position of the terminator it wrote; every size
// argument counts the terminator. The encoding argument is for tests of another host's
// encoding; the program always uses its host's.
#pragma once

#include <cstddef>

enum class TuNarrowEncoding { Bytes, Utf8 };

#ifdef _WIN32
constexpr TuNarrowEncoding TuHostNarrowEncoding = TuNarrowEncoding::Utf8;
#else
constexpr TuNarrowEncoding TuHostNarrowEncoding = TuNarrowEncoding::Bytes;
#endif

// The host's line end in text files: CR LF on Windows, LF elsewhere.
#ifdef _WIN32
constexpr const char* TuHostLineEnd = "\r\n";
#else
constexpr const char* TuHostLineEnd = "\n";
#endif

// The most bytes that one wide unit narrows to in any encoding: three in UTF-8 (a pair of
// units takes four). A narrow buffer for a wide text of n units holds TuNarrowUnitBytes * n + 1.
constexpr std::size_t TuNarrowUnitBytes = 3;

// Whether a byte starts a character of more than one byte.
bool TuIsLeadByte(unsigned char byte, TuNarrowEncoding encoding = TuHostNarrowEncoding);
// Whether every character of narrow text is well formed, so that it widens without U+FFFD
// standing in for a byte (always, for Bytes).
bool TuIsNarrowValid(const char* text, TuNarrowEncoding encoding = TuHostNarrowEncoding);

char16_t* TuWideCopy(char16_t* destination, const char16_t* source);
char16_t* TuWideCopyN(char16_t* destination, const char16_t* source, std::size_t size);
std::size_t TuWideLength(const char16_t* text);
std::size_t TuWideByteSize(const char16_t* text);

// Widening: size counts units, and a pair of units is never split.
char16_t* TuWiden(char16_t* destination, const char* source,
                  TuNarrowEncoding encoding = TuHostNarrowEncoding);
char16_t* TuWidenN(char16_t* destination, const char* source, std::size_t size,
                   TuNarrowEncoding encoding = TuHostNarrowEncoding);
// Narrowing. TuNarrowN converts at most count - 1 units (never half a pair) into a destination
// of TuNarrowUnitBytes * (count - 1) + 1 bytes; TuNarrowBytes writes at most size - 1 bytes of
// whole characters.
char* TuNarrow(char* destination, const char16_t* source,
               TuNarrowEncoding encoding = TuHostNarrowEncoding);
char* TuNarrowN(char* destination, const char16_t* source, std::size_t count,
                TuNarrowEncoding encoding = TuHostNarrowEncoding);
char* TuNarrowBytes(char* destination, const char16_t* source, std::size_t size,
                    TuNarrowEncoding encoding = TuHostNarrowEncoding);

char* TuNarrowCopy(char* destination, const char* source,
                   TuNarrowEncoding encoding = TuHostNarrowEncoding);
// The bytes before the terminator.
std::size_t TuNarrowLength(const char* text, TuNarrowEncoding encoding = TuHostNarrowEncoding);
// The position after the first count characters, or of the terminator when the text ends first.
const char* TuNarrowSkip(const char* text, std::size_t count,
                         TuNarrowEncoding encoding = TuHostNarrowEncoding);
// The position after the whole characters that fit in the first bytes bytes of text.
const char* TuNarrowFit(const char* text, std::size_t bytes,
                        TuNarrowEncoding encoding = TuHostNarrowEncoding);
