#include "uTiffFieldType.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace {

// The unsigned integer of size bytes (1 to 8) in the given order.
std::uint64_t LoadUnsigned(const unsigned char* bytes, unsigned size, TuByteOrder order) {
    std::uint64_t value = 0;
    for (unsigned i = 0; i < size; ++i) {
        const unsigned at = order == TuByteOrder::BigEndian ? i : size - 1 - i;
        value = (value << 8) | bytes[at];
    }
    return value;
}

// The two's complement integer of size bytes (1 to 8) in the given order.
std::int64_t LoadSigned(const unsigned char* bytes, unsigned size, TuByteOrder order) {
    const unsigned unused = 64 - 8 * size;
    return static_cast<std::int64_t>(LoadUnsigned(bytes, size, order) << unused) >> unused;
}

double LoadInteger(const unsigned char* bytes, unsigned size, bool isSigned, TuByteOrder order) {
    return isSigned ? static_cast<double>(LoadSigned(bytes, size, order))
                    : static_cast<double>(LoadUnsigned(bytes, size, order));
}

} // namespace

std::uint32_t TiffFieldSize(unsigned type, std::uint32_t count) {
    return TiffTypeInfo(type).elementSize * count; // wraps, as unsigned arithmetic does
}

double TiffDecodeElement(const unsigned char* bytes, const TuTiffTypeInfo& type,
                         TuByteOrder order) {
    const unsigned size = type.elementSize;
    switch (type.form) {
    case TuTiffNumberForm::Integer:
        return LoadInteger(bytes, size, type.isSigned, order);
    case TuTiffNumberForm::Ratio:
        return LoadInteger(bytes, size / 2, type.isSigned, order) /
               LoadInteger(bytes + size / 2, size / 2, type.isSigned, order);
    case TuTiffNumberForm::Real:
        if (size == sizeof(float)) {
            return std::bit_cast<float>(static_cast<std::uint32_t>(LoadUnsigned(bytes, 4, order)));
        }
        return std::bit_cast<double>(LoadUnsigned(bytes, 8, order));
    case TuTiffNumberForm::None:
        break;
    }
    return std::numeric_limits<double>::quiet_NaN();
}

void TiffReorderValues(unsigned char* to, const unsigned char* from, std::size_t size,
                       const TuTiffTypeInfo& type, TuByteOrder order) {
    const std::size_t number = type.NumberSize();
    if (order == TuHostByteOrder || number == 1) {
        std::memcpy(to, from, size);
        return;
    }
    std::size_t at = 0;
    for (; at + number <= size; at += number) {
        std::reverse_copy(from + at, from + at + number, to + at);
    }
    std::memcpy(to + at, from + at, size - at); // bytes too few for a number stay as they are
}
