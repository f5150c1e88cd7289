// Where a TIFF puts its structures, and how wide the numbers in them are. Classic TIFF has
// 32-bit offsets and counts; the format with 64-bit ones has the same structures with wider
// fields (and its own magic number), so code that takes every width from a layout serves both.
#pragma once

#include <cstddef>
#include <cstdint>

#include "uTiffFieldType.h"

struct TuTiffLayout {
    std::uint16_t magic;         // the number in bytes 2-3 of the header
    std::uint8_t headerSize;     // bytes of the header
    std::uint8_t entryCountSize; // bytes of a directory's entry count
    std::uint8_t offsetSize;     // bytes of an offset, of an entry's count and of its value field

    // An entry: tag and type (2 bytes each), then the count and the value field.
    constexpr std::size_t EntrySize() const noexcept { return 4 + 2 * std::size_t{offsetSize}; }
    // A directory of n entries: the entry count, the entries, the next directory's offset.
    constexpr std::uint64_t DirectorySize(std::uint64_t entries) const noexcept {
        return entryCountSize + EntrySize() * entries + offsetSize;
    }
    // The largest offset, or field size, that the format's fields can express.
    constexpr std::uint64_t LargestOffset() const noexcept {
        return offsetSize >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * offsetSize)) - 1;
    }
    // Whether values of size bytes lie in the entry's value field instead of at an offset.
    constexpr bool HoldsInline(std::uint64_t size) const noexcept { return size <= offsetSize; }
    // Whether the values of an entry of the type may lie in the value field: a defined type
    // whose elements fit there. One that does not fit (DOUBLE in classic TIFF) always has its
    // values at an offset, even when there are none.
    constexpr bool CanHoldInline(unsigned type) const noexcept {
        const TuTiffTypeInfo info = TiffTypeInfo(type);
        return info.IsDefined() && info.elementSize <= offsetSize;
    }
};

// Classic TIFF: an 8-byte header (order, 42, 32-bit first-directory offset), 16-bit entry
// counts, 12-byte entries.
inline constexpr TuTiffLayout ClassicTiff{42, 8, 2, 4};
// BigTIFF: a 16-byte header (order, 43, the offset size 8, a reserved 0, 64-bit first-directory
// offset), 64-bit entry counts, 20-byte entries.
inline constexpr TuTiffLayout BigTiff{43, 16, 8, 8};
