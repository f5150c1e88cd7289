// BigTIFF files built byte by byte: the 16-byte header, 8-byte entry counts and offsets,
// 20-byte entries and the 64-bit types, read in both byte orders with every bound checked at
// 64 bits, and updated in place in the same layout.
#include "uTiffFile.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "StoreReferencing.h"
#include "TiffFileFixture.h"
#include "uCauses.h"

namespace {

using Layout = TiffBuilder::Layout;

class tiff_bigtiff_test : public TiffFileFixture {
protected:
    // Opens and reads both referencing tags; the cause raised, 0 when all went well.
    int ReadFails(const std::string& path) {
        return RaisedBy([&] {
                   auto file = Open(path);
                   double values[6];
                   file->ReadDoubles(TiffTagModelPixelScale, values, 3, 0);
                   file->ReadDoubles(TiffTagModelTiepoint, values, 6, 0);
               })
            .cause;
    }

    const double scale[3] = {0.5, 0.25, 0};
    const double tie[6] = {0, 0, 0, 1234.5, -98765.25, 0};
};

TEST_F(tiff_bigtiff_test, reads_the_referencing_in_both_byte_orders) {
    for (bool big : {false, true}) {
        auto tiff = SmallGeoTiff(big, Layout::BigTiff);
        auto file = Open(Save(tiff));
        EXPECT_TRUE(file->IsBigTiff());
        EXPECT_EQ(file->IsBigEndian(), big);
        ASSERT_EQ(file->TagCount(), 4u);
        EXPECT_EQ(file->TagAt(2).count, 3u);
        EXPECT_EQ(file->TagAt(2).size, 24u);
        EXPECT_EQ(file->TagAt(2).offset, 16u);
        double values[6];
        ASSERT_EQ(file->ReadDoubles(TiffTagModelPixelScale, values, 3, 0), 3);
        EXPECT_EQ(values[1], 20.0);
        ASSERT_EQ(file->ReadDoubles(TiffTagModelTiepoint, values, 6, 0), 6);
        EXPECT_EQ(values[3], 500000.0);
        EXPECT_EQ(values[4], 4000480.0);
    }
    // A classic file is not one.
    TiffBuilder classic(false);
    classic.SetFirstIfd(classic.AppendDirectory({classic.InlineShorts(256, 3, {1})}));
    EXPECT_FALSE(Open(Save(classic))->IsBigTiff());
}

TEST_F(tiff_bigtiff_test, eight_byte_value_fields_hold_values_inline) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big, Layout::BigTiff);
        TiffBuilder::Entry doubleEntry = TiffBuilder::Inline(33550, 12, 1, {});
        tiff.Encode64(doubleEntry.rawBytes, std::bit_cast<std::uint64_t>(-2.5));
        TiffBuilder::Entry rational = TiffBuilder::Inline(301, 5, 1, {});
        tiff.Encode32(rational.rawBytes, 3);
        tiff.Encode32(rational.rawBytes + 4, 4);
        tiff.SetFirstIfd(tiff.AppendDirectory({
            tiff.InlineShorts(256, 3, {1, 2, 3, 65535}),
            rational,
            tiff.InlineLong8(302, 16, 0x0123456789ABCDEFu),
            tiff.InlineLong8(303, 17, ~std::uint64_t{0}), // SLONG8 -1
            tiff.InlineLong8(304, 18, 1u << 20),
            doubleEntry,
        }));
        auto file = Open(Save(tiff));
        EXPECT_EQ(file->TagAt(0).offset, TiffInlineOffset);
        double values[4];
        ASSERT_EQ(file->ReadDoubles(256, values, 4, 0), 4);
        EXPECT_EQ(values[3], 65535);
        ASSERT_EQ(file->ReadDoubles(301, values, 1, 0), 1);
        EXPECT_EQ(values[0], 0.75);
        ASSERT_EQ(file->ReadDoubles(302, values, 1, 0), 1);
        EXPECT_EQ(values[0], 81985529216486895.0);
        ASSERT_EQ(file->ReadDoubles(303, values, 1, 0), 1);
        EXPECT_EQ(values[0], -1);
        ASSERT_EQ(file->ReadDoubles(304, values, 1, 0), 1);
        EXPECT_EQ(values[0], 1048576);
        ASSERT_EQ(file->ReadDoubles(33550, values, 1, 0), 1);
        EXPECT_EQ(values[0], -2.5);
    }
}

TEST_F(tiff_bigtiff_test, sixty_four_bit_integers_at_an_offset_convert_to_doubles) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big, Layout::BigTiff);
        const auto values = tiff.AppendLong8s({5, std::uint64_t{1} << 40, ~std::uint64_t{0}});
        tiff.SetFirstIfd(tiff.AppendDirectory({TiffBuilder::At(400, 16, 3, values),
                                               TiffBuilder::At(401, 17, 3, values),
                                               TiffBuilder::At(402, 18, 2, values)}));
        auto file = Open(Save(tiff));
        double read[3];
        ASSERT_EQ(file->ReadDoubles(400, read, 3, 0), 3);
        EXPECT_EQ(read[0], 5);
        EXPECT_EQ(read[1], 1099511627776.0);
        EXPECT_EQ(read[2], 18446744073709551615.0);
        ASSERT_EQ(file->ReadDoubles(401, read, 3, 0), 3);
        EXPECT_EQ(read[2], -1);
        ASSERT_EQ(file->ReadDoubles(402, read, 2, 0), 2);
        EXPECT_EQ(read[1], 1099511627776.0);
    }
}

TEST_F(tiff_bigtiff_test, a_header_that_is_short_or_names_another_offset_size_is_refused) {
    for (bool big : {false, true}) {
        auto tiff = SmallGeoTiff(big, Layout::BigTiff);
        const std::vector<unsigned char> whole = tiff.Bytes();
        // 8 to 15 bytes: a BigTIFF header cut short cannot be read whole.
        for (std::size_t length : {8u, 12u, 15u}) {
            tiff.Bytes().assign(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
            EXPECT_EQ(OpenFails(Save(tiff)).cause, TuCauseFileReadFailed) << length;
        }
        // Offsets of 4 or 16 bytes, or a reserved field that is not zero.
        for (auto [at, value] : {std::pair{4, 4}, std::pair{4, 16}, std::pair{6, 1}}) {
            tiff.Bytes() = whole;
            tiff.Put16(static_cast<std::size_t>(at), static_cast<std::uint16_t>(value));
            const Raised raised = OpenFails(Save(tiff));
            EXPECT_EQ(raised.cause, TuCauseTiffNotUnderstood) << at << " " << value;
            EXPECT_EQ(raised.firstText, Wide(folder / "a.tif"));
        }
        // No first directory: an empty list.
        tiff.Bytes() = whole;
        tiff.SetFirstIfd(0);
        EXPECT_EQ(Open(Save(tiff))->TagCount(), 0u);
    }
}

TEST_F(tiff_bigtiff_test, directory_offsets_inside_the_header_or_outside_the_file_are_refused) {
    for (bool big : {false, true}) {
        auto tiff = SmallGeoTiff(big, Layout::BigTiff);
        const std::uint64_t size = tiff.Size();
        // Inside the header (a classic header's end included); at the end or too close to it
        // for a count and a next offset; beyond the end; past 2^63; where an offset plus a
        // directory's size would wrap around 2^64.
        for (std::uint64_t offset :
             {std::uint64_t{1}, std::uint64_t{8}, std::uint64_t{15}, size, size - 15,
              std::uint64_t{1} << 32, (std::uint64_t{1} << 63) + 16, ~std::uint64_t{0} - 7,
              ~std::uint64_t{0}}) {
            tiff.SetFirstIfd(offset);
            EXPECT_EQ(OpenFails(Save(tiff)).cause, TuCauseTiffNotUnderstood) << offset;
        }
    }
}

TEST_F(tiff_bigtiff_test, loops_and_overlapping_directories_are_refused) {
    for (bool big : {false, true}) {
        TiffBuilder three(big, Layout::BigTiff);
        const auto a = three.AppendDirectory({three.InlineShorts(256, 3, {1})});
        const auto b = three.AppendDirectory({three.InlineShorts(256, 3, {2})});
        const auto c = three.AppendDirectory({three.InlineShorts(256, 3, {3})});
        three.SetFirstIfd(a);
        three.SetNext(a, b);
        three.SetNext(b, c);
        EXPECT_EQ(Open(Save(three))->TagCount(), 3u);
        three.SetNext(c, a);
        EXPECT_EQ(OpenFails(Save(three)).cause, TuCauseTiffNotUnderstood);
        three.SetNext(c, c);
        EXPECT_EQ(OpenFails(Save(three)).cause, TuCauseTiffNotUnderstood);
    }
    // Empty directories 12 bytes apart, each naming the next (whose count then covers the
    // zero high half of that offset): each lies inside the file, but together they claim more
    // bytes than it has.
    TiffBuilder tiff(false, Layout::BigTiff);
    tiff.SetFirstIfd(16);
    tiff.Pad(416 - 16);
    for (std::uint64_t at = 16; at < 400; at += 12) {
        tiff.Put64(at + 8, at + 12 < 400 ? at + 12 : 0);
    }
    EXPECT_EQ(OpenFails(Save(tiff)).cause, TuCauseTiffNotUnderstood);
}

TEST_F(tiff_bigtiff_test, entry_counts_beyond_any_directory_are_refused) {
    for (bool big : {false, true}) {
        for (std::uint64_t count : {std::uint64_t{65536}, std::uint64_t{1} << 32,
                                    std::uint64_t{1} << 59, ~std::uint64_t{0}}) {
            TiffBuilder tiff(big, Layout::BigTiff);
            tiff.SetFirstIfd(tiff.AppendDirectory({tiff.InlineShorts(256, 3, {1})}));
            tiff.Put64(16, count);
            tiff.Pad(4096);
            EXPECT_EQ(OpenFails(Save(tiff)).cause, TuCauseTiffNotUnderstood) << count;
        }
    }
}

TEST_F(tiff_bigtiff_test, counts_whose_size_overflows_64_bits_are_refused) {
    struct Case {
        std::uint16_t type;
        std::uint64_t count;
    };
    // 8 x 2^61 is 2^64, which wraps to 0; 8 x (2^61 + 1) wraps to a plausible 8; counts past
    // 2^63 whose size no file can have; the largest count.
    for (Case c : {Case{12, std::uint64_t{1} << 61}, Case{12, (std::uint64_t{1} << 61) + 1},
                   Case{16, (std::uint64_t{1} << 61) + 1}, Case{5, std::uint64_t{1} << 60},
                   Case{3, std::uint64_t{1} << 62}, Case{1, std::uint64_t{1} << 63},
                   Case{7, ~std::uint64_t{0}}, Case{18, ~std::uint64_t{0} / 8 + 1}}) {
        for (bool big : {false, true}) {
            TiffBuilder tiff(big, Layout::BigTiff);
            const auto values = tiff.AppendDoubles({1, 2});
            tiff.SetFirstIfd(tiff.AppendDirectory(
                {tiff.InlineShorts(256, 3, {1}), TiffBuilder::At(33550, c.type, c.count, values)}));
            const Raised raised = OpenFails(Save(tiff));
            EXPECT_EQ(raised.cause, TuCauseTiffNotUnderstood) << c.type << " " << c.count;
            EXPECT_EQ(raised.firstText, Wide(folder / "a.tif"));
        }
    }
}

TEST_F(tiff_bigtiff_test, values_at_offsets_past_the_end_or_past_2_63_are_not_read) {
    for (bool big : {false, true}) {
        for (std::uint64_t offset :
             {std::uint64_t{1} << 32, (std::uint64_t{1} << 63) - 8, std::uint64_t{1} << 63,
              ~std::uint64_t{0} - 8, ~std::uint64_t{0} - 1}) {
            auto tiff = SmallGeoTiff(big, Layout::BigTiff);
            // The pixel scale's offset field: in the third entry of the directory at the end.
            const std::uint64_t directory = tiff.Size() - tiff.DirectorySize(4);
            tiff.Put64(directory + 8 + 2 * 20 + 12, offset);
            const std::string path = Save(tiff);
            EXPECT_EQ(ReadFails(path), TuCauseTiffNotUnderstood) << offset;
            // Nor written there: the update, which carries the old values over, fails the same
            // way and leaves the file as it was.
            EXPECT_EQ(
                RaisedBy([&] { StoreReferencing(*Open(path, ModeUpdate), scale, tie); }).cause,
                TuCauseTiffNotUnderstood);
            EXPECT_EQ(ReadFile(path), tiff.Bytes());
        }
    }
}

TEST_F(tiff_bigtiff_test, existing_tags_are_overwritten_in_place) {
    for (bool big : {false, true}) {
        auto tiff = SmallGeoTiff(big, Layout::BigTiff);
        const std::string path = Save(tiff);
        StoreReferencing(*Open(path, ModeUpdate), scale, tie);
        const auto after = ReadFile(path);
        ASSERT_EQ(after.size(), tiff.Size());
        for (int i = 0; i < 9; ++i) {
            const double expected = i < 3 ? scale[i] : tie[i - 3];
            EXPECT_EQ(tiff.DecodeDouble(after.data() + 16 + 8 * i), expected) << i;
        }
        // Header and directory are the same bytes.
        EXPECT_TRUE(std::equal(after.begin(), after.begin() + 16, tiff.Bytes().begin()));
        EXPECT_TRUE(std::equal(after.begin() + 88, after.end(), tiff.Bytes().begin() + 88));
    }
}

TEST_F(tiff_bigtiff_test, added_tags_and_a_sorted_directory_are_appended_in_the_bigtiff_layout) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big, Layout::BigTiff);
        const auto second = tiff.AppendDirectory({tiff.InlineShorts(256, 3, {2})});
        const auto first =
            tiff.AppendDirectory({tiff.InlineShorts(256, 3, {64}), tiff.InlineShorts(257, 3, {48}),
                                  tiff.InlineLong8(273, 16, 0x1122334455667788u)},
                                 second);
        tiff.SetFirstIfd(first);
        tiff.Pad(1001 - tiff.Size(), 0x5A); // an odd length: no alignment
        const std::string path = Save(tiff);
        const std::uint64_t length = tiff.Size();
        StoreReferencing(*Open(path, ModeUpdate), scale, tie);

        const auto after = ReadFile(path);
        const std::uint64_t newDirectory = length + 72;
        ASSERT_EQ(after.size(), newDirectory + 8 + 20 * 5 + 8);
        EXPECT_TRUE(std::equal(tiff.Bytes().begin() + 16, tiff.Bytes().end(), after.begin() + 16));
        // The header: its order, 43, 8, 0 and the new directory's 64-bit offset.
        EXPECT_EQ(after[0], big ? 'M' : 'I');
        EXPECT_EQ(after[1], big ? 'M' : 'I');
        EXPECT_EQ(tiff.Decode16(after.data() + 2), 43);
        EXPECT_EQ(tiff.Decode16(after.data() + 4), 8);
        EXPECT_EQ(tiff.Decode16(after.data() + 6), 0);
        EXPECT_EQ(tiff.Decode64(after.data() + 8), newDirectory);
        const DirectoryImage image = DirectoryAt(tiff, after, newDirectory);
        EXPECT_EQ(image.tags, (std::vector<std::uint16_t>{256, 257, 273, 33550, 33922}));
        EXPECT_EQ(image.next, second);
        // The added entries: DOUBLE, counts 3 and 6, their values at the old end of the file.
        EXPECT_EQ(tiff.Decode16(image.entries[3].data() + 2), TiffTypeDouble);
        EXPECT_EQ(tiff.Decode64(image.entries[3].data() + 4), 3u);
        EXPECT_EQ(tiff.Decode64(image.entries[3].data() + 12), length);
        EXPECT_EQ(tiff.Decode64(image.entries[4].data() + 4), 6u);
        EXPECT_EQ(tiff.Decode64(image.entries[4].data() + 12), length + 24);
        ExpectReads(path, scale, tie);
        auto file = Open(path);
        ASSERT_EQ(file->TagCount(), 6u);
        EXPECT_EQ(file->TagAt(5).inlineValue[0], 2); // the second directory, still reachable
    }
}

TEST_F(tiff_bigtiff_test, inline_values_of_every_type_survive_a_directory_rewrite) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big, Layout::BigTiff);
        TiffBuilder::Entry doubleEntry = TiffBuilder::Inline(312, 12, 1, {});
        tiff.Encode64(doubleEntry.rawBytes, std::bit_cast<std::uint64_t>(0.1));
        TiffBuilder::Entry rational = TiffBuilder::Inline(305, 5, 1, {});
        tiff.Encode32(rational.rawBytes, 7);
        tiff.Encode32(rational.rawBytes + 4, 9);
        TiffBuilder::Entry longs = TiffBuilder::Inline(304, 4, 2, {});
        tiff.Encode32(longs.rawBytes, 0xDEADBEEF);
        tiff.Encode32(longs.rawBytes + 4, 0x01020304);
        TiffBuilder::Entry floats = TiffBuilder::Inline(311, 11, 2, {});
        tiff.Encode32(floats.rawBytes, std::bit_cast<std::uint32_t>(-3.75f));
        tiff.Encode32(floats.rawBytes + 4, std::bit_cast<std::uint32_t>(1e30f));
        const std::vector<TiffBuilder::Entry> entries = {
            TiffBuilder::Inline(301, 1, 7, {1, 2, 3, 4, 5, 6, 7, 0}),
            TiffBuilder::Inline(302, 2, 8, {'a', 'b', 'c', 'd', 'e', 'f', 'g', 0}),
            tiff.InlineShorts(303, 3, {0xBEEF, 1, 2}),
            longs,
            rational,
            tiff.InlineShorts(308, 8, {0x8001, 0x7FFF, 3, 4}),
            TiffBuilder::Inline(310, 10, 1, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 2}),
            floats,
            doubleEntry,
            tiff.InlineLong8(316, 16, 0x8000000000000001u),
            tiff.InlineLong8(317, 17, 0x7FFFFFFFFFFFFFFFu),
            tiff.InlineLong8(318, 18, 42),
            TiffBuilder::Inline(320, 3, 0, {}),
        };
        const auto directory = tiff.AppendDirectory(entries);
        tiff.SetFirstIfd(directory);
        const std::string path = Save(tiff);
        auto file = Open(path, ModeUpdate);
        file->AddTag(TuTiffTag(33550, TiffTypeDouble, 3));
        file->WriteDoubles(33550, scale, 3, 0);
        file->commitOnClose = true;
        file->CommitAndClose();

        const auto after = ReadFile(path);
        const DirectoryImage before = DirectoryAt(tiff, tiff.Bytes(), directory);
        const DirectoryImage rewritten = DirectoryAt(tiff, after, tiff.Decode64(after.data() + 8));
        ASSERT_EQ(rewritten.entries.size(), before.entries.size() + 1);
        for (std::size_t i = 0; i < before.entries.size(); ++i) {
            EXPECT_EQ(rewritten.entries[i], before.entries[i]) << before.tags[i];
        }
    }
}

TEST_F(tiff_bigtiff_test, a_double_held_inline_and_values_of_other_types_are_rewritten) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big, Layout::BigTiff);
        const auto floats = tiff.AppendFloats({1.5f, 2.5f, 0.0f});
        TiffBuilder::Entry one = TiffBuilder::Inline(300, 12, 1, {});
        tiff.Encode64(one.rawBytes, std::bit_cast<std::uint64_t>(7.0));
        const auto directory = tiff.AppendDirectory(
            {one, TiffBuilder::At(33550, 11, 3, floats), tiff.InlineShorts(33922, 3, {7, 9})});
        tiff.SetFirstIfd(directory);
        const std::string path = Save(tiff);
        const std::uint64_t length = tiff.Size();
        {
            auto file = Open(path, ModeUpdate);
            const double value = 4.0;
            file->WriteDoubles(300, &value, 1, 0);
            file->WriteDoubles(33550, &value, 1, 1);
            file->WriteDoubles(33922, &value, 1, 0);
            // One DOUBLE stays in its entry; three and two move to the end as DOUBLE.
            EXPECT_EQ(file->TagAt(0).offset, TiffInlineOffset);
            EXPECT_EQ(file->TagAt(1).offset, length);
            EXPECT_EQ(file->TagAt(2).offset, length + 24);
            file->commitOnClose = true;
            file->CommitAndClose();
        }
        const auto after = ReadFile(path);
        ASSERT_EQ(after.size(), length + 24 + 16 + tiff.DirectorySize(3));
        EXPECT_TRUE(std::equal(tiff.Bytes().begin() + 16, tiff.Bytes().end(), after.begin() + 16));
        auto file = Open(path);
        double values[3];
        ASSERT_EQ(file->ReadDoubles(300, values, 1, 0), 1);
        EXPECT_EQ(values[0], 4.0);
        ASSERT_EQ(file->ReadDoubles(33550, values, 3, 0), 3);
        EXPECT_EQ(values[0], 1.5);
        EXPECT_EQ(values[1], 4.0);
        ASSERT_EQ(file->ReadDoubles(33922, values, 2, 0), 2);
        EXPECT_EQ(values[0], 4.0);
        EXPECT_EQ(values[1], 9.0);
    }
}

TEST_F(tiff_bigtiff_test, a_commit_without_added_tags_rewrites_the_header_only) {
    auto tiff = SmallGeoTiff(true, Layout::BigTiff);
    tiff.Bytes()[1] = 'I'; // the second byte is not looked at, and written as the first
    const std::string path = Save(tiff);
    auto file = Open(path, ModeUpdate);
    file->commitOnClose = true;
    file->CommitAndClose();
    auto expected = tiff.Bytes();
    expected[1] = 'M';
    EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(tiff_bigtiff_test, a_file_past_4_gib_takes_values_and_a_directory_beyond_it) {
    // The directory lies beyond 4 GiB in a sparse file: every offset needs all 64 bits.
    const std::uint64_t far = (std::uint64_t{5} << 30) + 3;
    TiffBuilder tiff(false, Layout::BigTiff);
    const std::string path = Save(tiff);
    std::filesystem::resize_file(path, far);
    TiffBuilder directory(false, Layout::BigTiff);
    directory.Bytes().clear();
    directory.AppendDirectory({directory.InlineShorts(256, 3, {1})});
    {
        tiff.SetFirstIfd(far);
        std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
        out.write(reinterpret_cast<const char*>(tiff.Bytes().data()), 16);
        out.seekp(static_cast<std::streamoff>(far));
        out.write(reinterpret_cast<const char*>(directory.Bytes().data()),
                  static_cast<std::streamsize>(directory.Size()));
    }
    const std::uint64_t length = far + directory.Size();
    ASSERT_EQ(std::filesystem::file_size(path), length);
    StoreReferencing(*Open(path, ModeUpdate), scale, tie);
    EXPECT_EQ(std::filesystem::file_size(path), length + 72 + tiff.DirectorySize(3));
    ExpectReads(path, scale, tie);
    std::ifstream in(path, std::ios::binary);
    unsigned char header[16];
    in.read(reinterpret_cast<char*>(header), 16);
    EXPECT_EQ(tiff.Decode64(header + 8), length + 72);
}

} // namespace
