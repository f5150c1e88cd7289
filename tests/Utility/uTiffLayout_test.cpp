// The widths of a TIFF's structures: directory and entry sizes, the largest offset, and which
// values lie inline in an entry.
#include "uTiffLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(tiff_layout_test, classic_directories_are_a_count_12_byte_entries_and_a_next_offset) {
    EXPECT_EQ(ClassicTiff.EntrySize(), 12u);
    EXPECT_EQ(ClassicTiff.DirectorySize(0), 6u);
    EXPECT_EQ(ClassicTiff.DirectorySize(1), 18u);
    EXPECT_EQ(ClassicTiff.DirectorySize(65535), 2u + 12u * 65535u + 4u);
    EXPECT_EQ(ClassicTiff.LargestOffset(), 0xFFFFFFFFu);
}

TEST(tiff_layout_test, classic_entries_hold_up_to_four_bytes_of_a_type_whose_elements_fit) {
    EXPECT_TRUE(ClassicTiff.HoldsInline(0));
    EXPECT_TRUE(ClassicTiff.HoldsInline(4));
    EXPECT_FALSE(ClassicTiff.HoldsInline(5));
    for (unsigned type = 0; type <= 20; ++type) {
        const bool fits = type == TiffTypeByte || type == TiffTypeAscii || type == TiffTypeShort ||
                          type == TiffTypeLong || type == TiffTypeSByte ||
                          type == TiffTypeUndefined || type == TiffTypeSShort ||
                          type == TiffTypeSLong || type == TiffTypeFloat;
        EXPECT_EQ(ClassicTiff.CanHoldInline(type), fits) << type;
    }
}

TEST(tiff_layout_test, eight_byte_offsets_widen_entries_directories_and_the_value_field) {
    const TuTiffLayout wide = BigTiff;
    EXPECT_EQ(wide.magic, 43);
    EXPECT_EQ(wide.headerSize, 16);
    EXPECT_EQ(wide.EntrySize(), 20u);
    EXPECT_EQ(wide.DirectorySize(3), 8u + 20u * 3u + 8u);
    EXPECT_EQ(wide.LargestOffset(), ~std::uint64_t{0});
    EXPECT_TRUE(wide.HoldsInline(8));
    EXPECT_FALSE(wide.HoldsInline(9));
    // One DOUBLE or RATIONAL fits in an 8-byte value field.
    EXPECT_TRUE(wide.CanHoldInline(TiffTypeDouble));
    EXPECT_TRUE(wide.CanHoldInline(TiffTypeRational));
    EXPECT_TRUE(wide.CanHoldInline(TiffTypeLong8));
    EXPECT_TRUE(wide.CanHoldInline(TiffTypeIfd8));
    EXPECT_FALSE(wide.CanHoldInline(200));
}

} // namespace
