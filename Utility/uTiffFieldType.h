// The field types of TIFF directory entries: their numbers, and one table of what the elements
// of each type are (their size, and how they read as numbers). Field sizes, conversions to
// doubles and the byte order of inline values all follow from the table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "uByteOrder.h"

// The field types TIFF 6.0 defines, and the 64-bit integers of BigTIFF, numbered as a file
// stores them. A file may name any other number; TiffTypeInfo describes such a type as
// undefined.
enum TuTiffType : std::uint16_t {
    TiffTypeByte = 1,       // 8-bit unsigned integer
    TiffTypeAscii = 2,      // 8-bit bytes of text
    TiffTypeShort = 3,      // 16-bit unsigned integer
    TiffTypeLong = 4,       // 32-bit unsigned integer
    TiffTypeRational = 5,   // two LONGs: numerator, then denominator
    TiffTypeSByte = 6,      // 8-bit signed integer
    TiffTypeUndefined = 7,  // 8-bit bytes of any meaning
    TiffTypeSShort = 8,     // 16-bit signed integer
    TiffTypeSLong = 9,      // 32-bit signed integer
    TiffTypeSRational = 10, // two SLONGs: numerator, then denominator
    TiffTypeFloat = 11,     // IEEE 754 single precision
    TiffTypeDouble = 12,    // IEEE 754 double precision
    TiffTypeLong8 = 16,     // 64-bit unsigned integer (BigTIFF)
    TiffTypeSLong8 = 17,    // 64-bit signed integer (BigTIFF)
    TiffTypeIfd8 = 18,      // 64-bit offset of a directory (BigTIFF)
};

// How the elements of a field type read as numbers.
enum class TuTiffNumberForm : std::uint8_t {
    None,    // they do not: text, bytes of any meaning, or a type no format defines
    Integer, // one integer
    Ratio,   // two integers of half the element's size: numerator, then denominator
    Real,    // an IEEE 754 binary floating-point number
};

// One row of the table.
struct TuTiffTypeInfo {
    std::uint16_t type;       // the type's number; 0 for a type no format defines
    std::uint8_t elementSize; // bytes of one element
    TuTiffNumberForm form;
    bool isSigned; // may be negative: two's complement integers or ratios, and every real

    constexpr bool IsDefined() const noexcept { return type != 0; }
    constexpr bool IsNumeric() const noexcept { return form != TuTiffNumberForm::None; }
    // The size of each number the byte order applies to: the element, or half of a ratio.
    constexpr std::uint8_t NumberSize() const noexcept {
        return form == TuTiffNumberForm::Ratio ? elementSize / 2 : elementSize;
    }
};

// Every field type a format defines, one row each.
inline constexpr TuTiffTypeInfo TiffTypes[] = {
    {TiffTypeByte, 1, TuTiffNumberForm::Integer, false},
    {TiffTypeAscii, 1, TuTiffNumberForm::None, false},
    {TiffTypeShort, 2, TuTiffNumberForm::Integer, false},
    {TiffTypeLong, 4, TuTiffNumberForm::Integer, false},
    {TiffTypeRational, 8, TuTiffNumberForm::Ratio, false},
    {TiffTypeSByte, 1, TuTiffNumberForm::Integer, true},
    {TiffTypeUndefined, 1, TuTiffNumberForm::None, false},
    {TiffTypeSShort, 2, TuTiffNumberForm::Integer, true},
    {TiffTypeSLong, 4, TuTiffNumberForm::Integer, true},
    {TiffTypeSRational, 8, TuTiffNumberForm::Ratio, true},
    {TiffTypeFloat, 4, TuTiffNumberForm::Real, true},
    {TiffTypeDouble, 8, TuTiffNumberForm::Real, true},
    {TiffTypeLong8, 8, TuTiffNumberForm::Integer, false},
    {TiffTypeSLong8, 8, TuTiffNumberForm::Integer, true},
    {TiffTypeIfd8, 8, TuTiffNumberForm::Integer, false},
};

// The row of a field type. A type no format defines has 1-byte elements that are not numbers,
// so that the size of its values, and where they lie, is still known.
constexpr TuTiffTypeInfo TiffTypeInfo(unsigned type) noexcept {
    for (const TuTiffTypeInfo& row : TiffTypes) {
        if (row.type == type) {
            return row;
        }
    }
    return {0, 1, TuTiffNumberForm::None, false};
}

// The byte size of count values of a field type (unsigned 32-bit arithmetic).
std::uint32_t TiffFieldSize(unsigned type, std::uint32_t count);

// One element of a numeric type as a double, from its bytes in the given order; NaN for a type
// that is not numeric.
double TiffDecodeElement(const unsigned char* bytes, const TuTiffTypeInfo& type, TuByteOrder order);

// Copies size bytes of values of a type with each number reversed when order is not the
// host's: turns values in a file's order into the host's, and values in the host's order into
// the file's. Bytes at the end too few for a whole number are copied as they are.
void TiffReorderValues(unsigned char* to, const unsigned char* from, std::size_t size,
                       const TuTiffTypeInfo& type, TuByteOrder order);
