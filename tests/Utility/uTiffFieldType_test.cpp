// The field types of directory entries: the sizes of their values, their conversion to
// doubles, and the byte order of their numbers.
#include "uTiffFieldType.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The bytes of a number given most significant first, in the given order.
std::vector<unsigned char> InOrder(std::vector<unsigned char> bigEndian, TuByteOrder order) {
    if (order == TuByteOrder::LittleEndian) {
        std::reverse(bigEndian.begin(), bigEndian.end());
    }
    return bigEndian;
}

// An element of a type from its bytes, most significant first, read in either order.
double Decode(unsigned type, const std::vector<unsigned char>& bigEndian, TuByteOrder order) {
    return TiffDecodeElement(InOrder(bigEndian, order).data(), TiffTypeInfo(type), order);
}

TEST(tiff_field_type_test, field_sizes_follow_the_element_sizes_of_tiff_6) {
    // BYTE to DOUBLE, as TIFF 6.0 sizes them.
    const std::uint32_t elementSizes[] = {1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    for (unsigned type = 1; type <= 12; ++type) {
        EXPECT_EQ(TiffFieldSize(type, 3), 3 * elementSizes[type - 1]) << type;
        EXPECT_TRUE(TiffTypeInfo(type).IsDefined()) << type;
    }
    // BigTIFF's LONG8, SLONG8 and IFD8: 8 bytes.
    for (unsigned type = 16; type <= 18; ++type) {
        EXPECT_EQ(TiffFieldSize(type, 3), 24u) << type;
        EXPECT_TRUE(TiffTypeInfo(type).IsNumeric()) << type;
    }
    // Types no format defines count one byte an element, so that a reader still knows where
    // their values end.
    for (unsigned type : {0u, 13u, 14u, 15u, 19u, 200u, 65535u}) {
        EXPECT_EQ(TiffFieldSize(type, 7), 7u) << type;
        EXPECT_FALSE(TiffTypeInfo(type).IsDefined()) << type;
        EXPECT_FALSE(TiffTypeInfo(type).IsNumeric()) << type;
    }
    EXPECT_EQ(TiffFieldSize(TiffTypeDouble, 0x20000001), 8u); // wraps
}

TEST(tiff_field_type_test, every_type_but_text_and_undefined_bytes_reads_as_numbers) {
    for (unsigned type = 1; type <= 12; ++type) {
        const bool bytesOnly = type == TiffTypeAscii || type == TiffTypeUndefined;
        EXPECT_EQ(TiffTypeInfo(type).IsNumeric(), !bytesOnly) << type;
    }
    const unsigned char bytes[8] = {0x41, 0x42, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::isnan(
        TiffDecodeElement(bytes, TiffTypeInfo(TiffTypeAscii), TuByteOrder::LittleEndian)));
}

TEST(tiff_field_type_test, integers_convert_at_the_limits_of_their_range_in_both_orders) {
    for (TuByteOrder order : {TuByteOrder::LittleEndian, TuByteOrder::BigEndian}) {
        EXPECT_EQ(Decode(TiffTypeByte, {0xFF}, order), 255);
        EXPECT_EQ(Decode(TiffTypeSByte, {0x80}, order), -128);
        EXPECT_EQ(Decode(TiffTypeSByte, {0x7F}, order), 127);
        EXPECT_EQ(Decode(TiffTypeShort, {0xFF, 0xFE}, order), 65534);
        EXPECT_EQ(Decode(TiffTypeSShort, {0x80, 0x00}, order), -32768);
        EXPECT_EQ(Decode(TiffTypeSShort, {0xFF, 0xFE}, order), -2);
        EXPECT_EQ(Decode(TiffTypeLong, {0xFF, 0xFF, 0xFF, 0xFE}, order), 4294967294.0);
        EXPECT_EQ(Decode(TiffTypeSLong, {0x80, 0, 0, 0}, order), -2147483648.0);
        EXPECT_EQ(Decode(TiffTypeSLong, {0x7F, 0xFF, 0xFF, 0xFF}, order), 2147483647.0);
        // 64-bit integers convert to the nearest double.
        EXPECT_EQ(Decode(TiffTypeLong8, {0, 0, 0, 1, 0, 0, 0, 2}, order), 4294967298.0);
        EXPECT_EQ(Decode(TiffTypeLong8, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, order),
                  18446744073709551615.0);
        EXPECT_EQ(Decode(TiffTypeSLong8, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}, order),
                  -2);
        EXPECT_EQ(Decode(TiffTypeSLong8, {0x80, 0, 0, 0, 0, 0, 0, 0}, order),
                  -9223372036854775808.0);
        EXPECT_EQ(Decode(TiffTypeIfd8, {0, 0, 0, 2, 0, 0, 0, 16}, order), 8589934608.0);
    }
}

TEST(tiff_field_type_test, ratios_divide_their_two_halves_each_in_the_files_order) {
    for (TuByteOrder order : {TuByteOrder::LittleEndian, TuByteOrder::BigEndian}) {
        auto ratio = [&](unsigned type, const std::vector<unsigned char>& numerator,
                         const std::vector<unsigned char>& denominator) {
            std::vector<unsigned char> bytes = InOrder(numerator, order);
            const std::vector<unsigned char> second = InOrder(denominator, order);
            bytes.insert(bytes.end(), second.begin(), second.end());
            return TiffDecodeElement(bytes.data(), TiffTypeInfo(type), order);
        };
        EXPECT_EQ(ratio(TiffTypeRational, {0, 0, 0, 3}, {0, 0, 0, 4}), 0.75);
        EXPECT_EQ(ratio(TiffTypeRational, {0xFF, 0xFF, 0xFF, 0xFF}, {0, 0, 0, 1}), 4294967295.0);
        EXPECT_EQ(ratio(TiffTypeSRational, {0xFF, 0xFF, 0xFF, 0xFF}, {0, 0, 0, 2}), -0.5);
        EXPECT_EQ(ratio(TiffTypeSRational, {0, 0, 0, 1}, {0xFF, 0xFF, 0xFF, 0xFC}), -0.25);
        EXPECT_TRUE(std::isinf(ratio(TiffTypeRational, {0, 0, 0, 1}, {0, 0, 0, 0})));
    }
}

TEST(tiff_field_type_test, floating_point_values_convert_exactly_in_both_orders) {
    for (TuByteOrder order : {TuByteOrder::LittleEndian, TuByteOrder::BigEndian}) {
        EXPECT_EQ(Decode(TiffTypeFloat, {0xC0, 0x10, 0x00, 0x00}, order), -2.25);
        EXPECT_EQ(Decode(TiffTypeDouble, {0x3F, 0xF0, 0, 0, 0, 0, 0, 0}, order), 1.0);
        EXPECT_EQ(Decode(TiffTypeDouble, {0x3F, 0xB9, 0x99, 0x99, 0x99, 0x99, 0x99, 0x9A}, order),
                  0.1);
    }
}

TEST(tiff_field_type_test, values_are_reordered_number_by_number) {
    const TuByteOrder other = TuHostByteOrder == TuByteOrder::BigEndian ? TuByteOrder::LittleEndian
                                                                        : TuByteOrder::BigEndian;
    const unsigned char from[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    struct Case {
        unsigned type;
        std::vector<unsigned char> reordered;
    };
    for (const Case& c : {
             Case{TiffTypeByte, {1, 2, 3, 4, 5, 6, 7, 8}},
             Case{TiffTypeAscii, {1, 2, 3, 4, 5, 6, 7, 8}},
             Case{TiffTypeShort, {2, 1, 4, 3, 6, 5, 8, 7}},
             Case{TiffTypeSLong, {4, 3, 2, 1, 8, 7, 6, 5}},
             Case{TiffTypeFloat, {4, 3, 2, 1, 8, 7, 6, 5}},
             // Numerator and denominator are two numbers, not one of eight bytes.
             Case{TiffTypeRational, {4, 3, 2, 1, 8, 7, 6, 5}},
             Case{TiffTypeDouble, {8, 7, 6, 5, 4, 3, 2, 1}},
             Case{TiffTypeLong8, {8, 7, 6, 5, 4, 3, 2, 1}},
             Case{TiffTypeIfd8, {8, 7, 6, 5, 4, 3, 2, 1}},
             Case{200, {1, 2, 3, 4, 5, 6, 7, 8}},
         }) {
        unsigned char to[8] = {};
        TiffReorderValues(to, from, 8, TiffTypeInfo(c.type), other);
        EXPECT_EQ(std::vector<unsigned char>(to, to + 8), c.reordered) << c.type;
        TiffReorderValues(to, from, 8, TiffTypeInfo(c.type), TuHostByteOrder);
        EXPECT_EQ(std::vector<unsigned char>(to, to + 8),
                  std::vector<unsigned char>(from, from + 8))
            << c.type;
    }
    // Three bytes of SHORT values: the last byte, too few for a number, is copied as it is.
    unsigned char to[3] = {};
    TiffReorderValues(to, from, 3, TiffTypeInfo(TiffTypeShort), other);
    EXPECT_EQ(std::vector<unsigned char>(to, to + 3), (std::vector<unsigned char>{2, 1, 3}));
}

} // namespace
