// Converting numbers between a file's byte order and the host's.
#include "uByteOrder.h"

#include <array>
#include <bit>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

constexpr TuByteOrder Other =
    TuHostByteOrder == TuByteOrder::BigEndian ? TuByteOrder::LittleEndian : TuByteOrder::BigEndian;

TEST(byte_order_test, the_hosts_order_is_the_one_its_memory_has) {
    const std::uint32_t word = 0x01020304;
    const auto bytes = std::bit_cast<std::array<unsigned char, 4>>(word);
    EXPECT_EQ(TuHostByteOrder == TuByteOrder::BigEndian, bytes[0] == 0x01);
}

TEST(byte_order_test, numbers_are_reversed_only_between_different_orders) {
    EXPECT_EQ(Swap16(0x1234, Other), 0x3412);
    EXPECT_EQ(Swap16(0x1234, TuHostByteOrder), 0x1234);
    EXPECT_EQ(Swap32(0x11223344, Other), 0x44332211u);
    EXPECT_EQ(Swap32(0x11223344, TuHostByteOrder), 0x11223344u);
    EXPECT_EQ(Swap64(0x1122334455667788u, Other), 0x8877665544332211u);
    EXPECT_EQ(Swap64(0x1122334455667788u, TuHostByteOrder), 0x1122334455667788u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(SwapFloat(1.0f, Other)), 0x0000803Fu);
    EXPECT_EQ(SwapFloat(1.0f, TuHostByteOrder), 1.0f);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(SwapDouble(1.0, Other)), 0xF03Fu);
    EXPECT_EQ(SwapDouble(0.1, TuHostByteOrder), 0.1);
    // The same reversal turns a file's number into the host's and back.
    EXPECT_EQ(SwapDouble(SwapDouble(0.1, Other), Other), 0.1);
}

} // namespace
