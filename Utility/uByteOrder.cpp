#include "uByteOrder.h"

std::uint16_t Swap16(std::uint16_t value, TuByteOrder order) {
    if (order == TuHostByteOrder) {
        return value;
    }
    return static_cast<std::uint16_t>((value >> 8) | (value << 8));
}

std::uint32_t Swap32(std::uint32_t value, TuByteOrder order) {
    if (order == TuHostByteOrder) {
        return value;
    }
    return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) |
           (value << 24);
}

float SwapFloat(float value, TuByteOrder order) {
    return std::bit_cast<float>(Swap32(std::bit_cast<std::uint32_t>(value), order));
}

std::uint64_t Swap64(std::uint64_t value, TuByteOrder order) {
    if (order == TuHostByteOrder) {
        return value;
    }
    return (std::uint64_t{Swap32(static_cast<std::uint32_t>(value), order)} << 32) |
           Swap32(static_cast<std::uint32_t>(value >> 32), order);
}

double SwapDouble(double value, TuByteOrder order) {
    return std::bit_cast<double>(Swap64(std::bit_cast<std::uint64_t>(value), order));
}
