// The order of the bytes of a number in a file, and the conversions between it and the host's.
#pragma once

#include <bit>
#include <cstdint>

enum class TuByteOrder { LittleEndian, BigEndian };

constexpr TuByteOrder TuHostByteOrder =
    std::endian::native == std::endian::big ? TuByteOrder::BigEndian : TuByteOrder::LittleEndian;

// A number in the given order turned into the host's, or one in the host's turned into the
// given order: the same reversal, done exactly when the two orders differ.
std::uint16_t Swap16(std::uint16_t value, TuByteOrder order);
std::uint32_t Swap32(std::uint32_t value, TuByteOrder order);
std::uint64_t Swap64(std::uint64_t value, TuByteOrder order);
float SwapFloat(float value, TuByteOrder order);
double SwapDouble(double value, TuByteOrder order);
