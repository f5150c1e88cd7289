// Opening TIFF files, reading their directories and their tag values, on files built byte
// by byte.
#include "uTiffFile.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "uFileTest.h"

#ifndef _WIN32
#include "OrdinaryUser.h"
#endif
#include "TiffFileFixture.h"
#include "uCauses.h"

namespace {

using tiff_file_test = TiffFileFixture;

TEST_F(tiff_file_test, reads_geotiff_tags_in_both_byte_orders) {
    for (bool big : {false, true}) {
        auto tiff = SmallGeoTiff(big);
        auto file = Open(Save(tiff));
        EXPECT_EQ(file->IsBigEndian(), big);
        EXPECT_FALSE(file->IsWritable());
        ASSERT_EQ(file->TagCount(), 4u);
        EXPECT_EQ(file->TagAt(0).tag, 256);
        EXPECT_EQ(file->TagAt(1).inlineValue[0], 48);
        double scale[3] = {};
        double tie[6] = {};
        ASSERT_EQ(file->ReadDoubles(TiffTagModelPixelScale, scale, 3, 0), 3);
        ASSERT_EQ(file->ReadDoubles(TiffTagModelTiepoint, tie, 6, 0), 6);
        EXPECT_EQ(scale[0], 10.0);
        EXPECT_EQ(scale[1], 20.0);
        EXPECT_EQ(tie[3], 500000.0);
        EXPECT_EQ(tie[4], 4000480.0);
        EXPECT_EQ(file->TagAt(2).offset, 8u);
        EXPECT_EQ(file->TagAt(2).size, 24u);
    }
}

TEST_F(tiff_file_test, byte_order_is_decided_by_the_first_byte_only) {
    // 'M' with any second byte is big-endian; any other first byte is little-endian.
    for (auto [first, second, big] : {std::tuple{'M', 'I', true}, std::tuple{'M', 'X', true},
                                      std::tuple{'I', 'M', false}, std::tuple{'X', 'X', false}}) {
        auto tiff = SmallGeoTiff(big);
        tiff.Bytes()[0] = static_cast<unsigned char>(first);
        tiff.Bytes()[1] = static_cast<unsigned char>(second);
        auto file = Open(Save(tiff));
        EXPECT_EQ(file->IsBigEndian(), big) << first << second;
        double scale[3];
        ASSERT_EQ(file->ReadDoubles(TiffTagModelPixelScale, scale, 3, 0), 3);
        EXPECT_EQ(scale[1], 20.0);
    }
}

TEST_F(tiff_file_test, files_shorter_than_a_header_fail_to_read) {
    auto tiff = SmallGeoTiff(false);
    for (std::size_t length = 0; length < 8; ++length) {
        std::vector<unsigned char> bytes(
            tiff.Bytes().begin(), tiff.Bytes().begin() + static_cast<std::ptrdiff_t>(length));
        WriteFile(folder / "short.tif", bytes);
        EXPECT_EQ(OpenFails(folder / "short.tif").cause, TuCauseFileReadFailed) << length;
    }
}

TEST_F(tiff_file_test, every_truncation_fails_with_a_catalogue_error_or_reads_whole_values) {
    // Directory first, values after it: a cut inside the values still opens, and reading
    // the cut tag is refused; a cut inside the header or the directory refuses the open.
    for (bool big : {false, true}) {
        TiffBuilder tiff(big);
        const std::uint32_t directory = 8;
        const std::uint32_t scale = directory + 2 + 12 * 2 + 4;
        tiff.SetFirstIfd(directory);
        tiff.AppendDirectory(
            {TiffBuilder::At(33550, 12, 3, scale), TiffBuilder::At(33922, 12, 6, scale + 24)});
        tiff.AppendDoubles({1, 2, 3});
        tiff.AppendDoubles({4, 5, 6, 7, 8, 9});
        WriteFile(folder / "cut.tif", tiff.Bytes());
        for (std::size_t length = tiff.Size(); length-- > 0;) {
            std::filesystem::resize_file(folder / "cut.tif", length);
            if (length < 8) {
                EXPECT_EQ(OpenFails(folder / "cut.tif").cause, TuCauseFileReadFailed) << length;
                continue;
            }
            if (length < scale) {
                const Raised raised = OpenFails(folder / "cut.tif");
                EXPECT_EQ(raised.cause, TuCauseTiffNotUnderstood) << length;
                EXPECT_EQ(raised.firstText, Wide(folder / "cut.tif"));
                continue;
            }
            auto file = Open(folder / "cut.tif");
            double values[6] = {};
            const Raised scaleRead =
                RaisedBy([&] { file->ReadDoubles(TiffTagModelPixelScale, values, 3, 0); });
            EXPECT_EQ(scaleRead.cause, length < scale + 24 ? TuCauseTiffNotUnderstood : 0)
                << length;
            const Raised tieRead =
                RaisedBy([&] { file->ReadDoubles(TiffTagModelTiepoint, values, 6, 0); });
            EXPECT_EQ(tieRead.cause, TuCauseTiffNotUnderstood)
                << length; // the last byte is always cut
        }
    }
}

TEST_F(tiff_file_test, magic_number_is_kept_and_43_asks_for_the_bigtiff_layout) {
    for (bool big : {false, true}) {
        auto tiff = SmallGeoTiff(big);
        tiff.Put16(2, 99);
        auto file = Open(Save(tiff));
        EXPECT_EQ(file->TagCount(), 4u);
        EXPECT_FALSE(file->IsBigTiff());
        // A classic layout under the number 43: bytes 4-7 are no BigTIFF offset size and
        // reserved field.
        tiff.Put16(2, 43);
        EXPECT_EQ(OpenFails(Save(tiff)).cause, TuCauseTiffNotUnderstood);
    }
}

TEST_F(tiff_file_test, no_first_directory_gives_an_empty_list) {
    TiffBuilder tiff(false);
    tiff.Pad(100);
    auto file = Open(Save(tiff));
    EXPECT_EQ(file->TagCount(), 0u);
    double values[3] = {7, 7, 7};
    EXPECT_EQ(file->FindTag(TiffTagModelPixelScale), TagNotFound);
    EXPECT_EQ(file->ReadDoubles(TiffTagModelPixelScale, values, 3, 0), TagNotFound);
    EXPECT_EQ(values[0], 7);
    EXPECT_EQ(RaisedBy([&] { file->TagAt(0); }).cause, TuCauseTiffEntryIndexInvalid);
}

TEST_F(tiff_file_test, directory_offsets_outside_the_file_are_refused) {
    for (std::uint32_t offset : {0u, 1u, 2u, 3u}) {
        auto tiff = SmallGeoTiff(false);
        const auto size = static_cast<std::uint32_t>(tiff.Size());
        tiff.SetFirstIfd(size - offset); // at the end, or too close to it for a count and next
        EXPECT_EQ(OpenFails(Save(tiff)).cause, TuCauseTiffNotUnderstood) << offset;
    }
    auto tiff = SmallGeoTiff(false);
    tiff.SetFirstIfd(0xFFFFFFF0u);
    EXPECT_EQ(OpenFails(Save(tiff)).cause, TuCauseTiffNotUnderstood);
}

TEST_F(tiff_file_test, every_directory_of_the_chain_is_read_in_order) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big);
        const auto third = tiff.AppendDirectory({tiff.InlineShorts(256, 3, {3})});
        const auto empty = tiff.AppendDirectory({}, third);
        const auto first = tiff.AppendDirectory(
            {tiff.InlineShorts(256, 3, {1}), tiff.InlineShorts(257, 3, {1})}, empty);
        tiff.SetFirstIfd(first);
        auto file = Open(Save(tiff));
        ASSERT_EQ(file->TagCount(), 3u);
        EXPECT_EQ(file->TagAt(0).tag, 256);
        EXPECT_EQ(file->TagAt(1).tag, 257);
        EXPECT_EQ(file->TagAt(2).tag, 256);
        EXPECT_EQ(file->TagAt(2).inlineValue[0], 3);
        EXPECT_EQ(file->FindTag(256), 0);
    }
}

TEST_F(tiff_file_test, directory_loops_are_refused) {
    for (bool big : {false, true}) {
        // A directory naming itself.
        TiffBuilder one(big);
        const auto self = one.AppendDirectory({one.InlineShorts(256, 3, {1})});
        one.SetNext(self, self);
        one.SetFirstIfd(self);
        const Raised raised = OpenFails(Save(one));
        EXPECT_EQ(raised.cause, TuCauseTiffNotUnderstood);
        EXPECT_EQ(raised.firstText, Wide(folder / "a.tif"));

        // Three directories whose last names the first.
        TiffBuilder three(big);
        const auto a = three.AppendDirectory({three.InlineShorts(256, 3, {1})});
        const auto b = three.AppendDirectory({three.InlineShorts(256, 3, {2})}, a);
        const auto c = three.AppendDirectory({three.InlineShorts(256, 3, {3})}, b);
        three.SetNext(a, c);
        three.SetFirstIfd(a);
        EXPECT_EQ(OpenFails(Save(three)).cause, TuCauseTiffNotUnderstood);
    }
}

TEST_F(tiff_file_test, overlapping_directories_are_refused) {
    // Empty directories 4 bytes apart, each naming the next: every one lies inside the file,
    // but together they claim more bytes than it has, so the entries kept stay bounded by
    // the file's size.
    TiffBuilder tiff(false);
    tiff.SetFirstIfd(8);
    tiff.Pad(400 + 2 - 8);
    for (std::uint32_t at = 8; at < 400; at += 4) {
        tiff.Put32(at + 2, at + 4 < 400 ? at + 4 : 0);
    }
    EXPECT_EQ(OpenFails(Save(tiff)).cause, TuCauseTiffNotUnderstood);
    // The same chain with the directories apart opens.
    TiffBuilder apart(false);
    std::uint32_t previous = 0;
    for (int i = 0; i < 60; ++i) {
        const auto at = apart.AppendDirectory({});
        if (previous == 0) {
            apart.SetFirstIfd(at);
        } else {
            apart.SetNext(previous, at);
        }
        previous = at;
    }
    EXPECT_EQ(Open(Save(apart))->TagCount(), 0u);
}

TEST_F(tiff_file_test, entries_that_cannot_be_decoded_are_refused_naming_the_file) {
    struct Case {
        std::uint16_t type;
        std::uint32_t count;
    };
    // Empty RATIONAL, SRATIONAL and DOUBLE; type 0; unknown types held inline; sizes that
    // do not fit in 32 bits.
    for (Case bad :
         {Case{5, 0}, Case{10, 0}, Case{12, 0}, Case{0, 1}, Case{0, 8}, Case{13, 4}, Case{200, 1},
          Case{12, 0x20000000}, Case{4, 0x40000000}, Case{3, 0xFFFFFFFF}}) {
        for (bool big : {false, true}) {
            TiffBuilder tiff(big);
            tiff.SetFirstIfd(tiff.AppendDirectory(
                {tiff.InlineShorts(256, 3, {1}), TiffBuilder::At(300, bad.type, bad.count, 8)}));
            const Raised raised = OpenFails(Save(tiff));
            EXPECT_EQ(raised.cause, TuCauseTiffNotUnderstood) << bad.type << " " << bad.count;
            EXPECT_EQ(raised.firstText, Wide(folder / "a.tif"));
        }
    }
}

TEST_F(tiff_file_test, unknown_types_with_more_than_four_bytes_are_kept_as_bytes) {
    TiffBuilder tiff(false);
    tiff.Pad(5, 0xAB);
    tiff.SetFirstIfd(tiff.AppendDirectory({TiffBuilder::At(300, 13, 5, 8)}));
    auto file = Open(Save(tiff));
    EXPECT_EQ(file->TagAt(0).size, 5u);
    EXPECT_EQ(file->TagAt(0).offset, 8u);
    double value;
    EXPECT_EQ(RaisedBy([&] { file->ReadDoubles(300, &value, 1, 0); }).cause,
              TuCauseTiffNotUnderstood);
}

TEST_F(tiff_file_test, inline_values_are_decoded_to_host_order) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big);
        tiff.SetFirstIfd(tiff.AppendDirectory({
            tiff.InlineShorts(256, 3, {0x1234}),
            tiff.InlineShorts(257, 3, {0x0102, 0x0304}),
            tiff.InlineLong(258, 4, 0xA1B2C3D4),
            TiffBuilder::Inline(259, 1, 3, {9, 8, 7, 6}),
        }));
        auto file = Open(Save(tiff));
        std::uint16_t halves[2];
        std::memcpy(halves, file->TagAt(0).inlineValue, 4);
        EXPECT_EQ(halves[0], 0x1234);
        EXPECT_EQ(halves[1], 0);
        std::memcpy(halves, file->TagAt(1).inlineValue, 4);
        EXPECT_EQ(halves[0], 0x0102);
        EXPECT_EQ(halves[1], 0x0304);
        std::uint32_t word;
        std::memcpy(&word, file->TagAt(2).inlineValue, 4);
        EXPECT_EQ(word, 0xA1B2C3D4u);
        EXPECT_EQ(file->TagAt(2).offset, TiffInlineOffset);
        const unsigned char* bytes = file->TagAt(3).inlineValue;
        EXPECT_EQ(bytes[0] * 100 + bytes[1] * 10 + bytes[2], 987);
        EXPECT_EQ(bytes[3], 0); // not covered by the three values
    }
}

TEST_F(tiff_file_test, open_modes) {
    auto tiff = SmallGeoTiff(false);
    const std::string path = Save(tiff);
    EXPECT_EQ(OpenFails(path, 0).cause, TuCauseTiffOpenModeInvalid);
    EXPECT_EQ(OpenFails(path, 5).cause, TuCauseTiffOpenModeInvalid);
    const Raised exists = OpenFails(path, ModeCreate);
    EXPECT_EQ(exists.cause, TuCauseCreateFileExists);
    EXPECT_EQ(exists.firstText, Wide(path));
    EXPECT_EQ(ReadFile(path), tiff.Bytes());

    EXPECT_TRUE(Open(path, ModeUpdate)->IsWritable());
    auto overwritten = Open(path, ModeOverwrite);
    EXPECT_EQ(overwritten->TagCount(), 0u);
    EXPECT_TRUE(ReadFile(path).empty());

    auto created = Open(folder / "new.tif", ModeCreate);
    EXPECT_TRUE(created->IsWritable());
    EXPECT_TRUE(std::filesystem::exists(folder / "new.tif"));
}

#ifndef _WIN32 // permission bits and an ordinary user (Windows: uTiffFileWindows_test.cpp)
namespace {

// What opening path gave: "update", "examine", or the raised cause and message.
template <class OpenCall> std::string OpenOutcome(OpenCall open) {
    std::string outcome;
    const Raised raised = RaisedBy([&] { outcome = open()->IsWritable() ? "update" : "examine"; });
    return raised.cause != 0 ? std::to_string(raised.cause) + " " + raised.message : outcome;
}

// Where the outcomes of opening for update where permitted and of testing with mode 6
// first differ, as "path: one | other" lines.
std::string OutcomeMismatches(const std::vector<std::string>& paths) {
    std::string mismatches;
    for (const std::string& path : paths) {
        const TuFileName name(path.c_str());
        const std::string permitted =
            OpenOutcome([&] { return std::make_unique<TuTiffFile>(name, UpdateIfPermitted); });
        const std::string tested = OpenOutcome([&] {
            const int mode =
                TuFileAccess(name.GetPath(), TuAccessReadWrite) == 0 ? ModeUpdate : ModeExamine;
            return std::make_unique<TuTiffFile>(name, mode);
        });
        if (permitted != tested) {
            mismatches += path + ": " + permitted + " | " + tested + "\n";
        }
    }
    return mismatches;
}

} // namespace

// Opening for update where permitted must choose the mode, and report a failure, exactly as
// testing with TuFileAccess mode 6 and then opening does: for the superuser, who may open a
// file without write bits for writing, and for an ordinary user.
TEST_F(tiff_file_test, update_where_permitted_opens_as_testing_first_would) {
    namespace fs = std::filesystem;
    using fs::perms;
    fs::permissions(folder.Path(), perms::owner_all | perms::others_read | perms::others_exec);
    auto tiff = SmallGeoTiff(false);
    const std::vector<std::string> paths = {Save(tiff, "rw.tif"),   Save(tiff, "r.tif"),
                                            Save(tiff, "none.tif"), Save(tiff, "other.tif"),
                                            folder / "missing.tif", folder / "dir.tif",
                                            folder / "ro-dir.tif",  folder / "no/such/a.tif"};
    fs::permissions(paths[0], perms::owner_read | perms::owner_write | perms::others_read);
    fs::permissions(paths[1], perms::owner_read | perms::others_read);
    fs::permissions(paths[2], perms::none);
    fs::permissions(paths[3], perms::owner_read | perms::others_read | perms::others_write);
    fs::create_directory(paths[5]);
    fs::create_directory(paths[6]);
    fs::permissions(paths[6], perms::owner_read | perms::owner_exec);

    EXPECT_EQ(OutcomeMismatches(paths), "");
    EXPECT_EQ(OpenOutcome([&] {
                  return std::make_unique<TuTiffFile>(TuFileName(paths[0].c_str()),
                                                      UpdateIfPermitted);
              }),
              "update");
    EXPECT_EQ(OpenOutcome([&] {
                  return std::make_unique<TuTiffFile>(TuFileName(paths[1].c_str()),
                                                      UpdateIfPermitted);
              }),
              "examine");

    const int status = ExitStatusAsOrdinaryUser([&] {
        const std::string mismatches = OutcomeMismatches(paths);
        std::fputs(mismatches.c_str(), stderr);
        return mismatches.empty();
    });
    EXPECT_EQ(status, 0);
    fs::permissions(paths[6], perms::owner_all);
    fs::permissions(paths[2], perms::owner_all);
}
#endif

TEST_F(tiff_file_test, files_that_cannot_be_opened_are_diagnosed) {
    // What is named is decided by the open-failure diagnosis; here it must name the cause
    // of a missing file and of a folder.
    EXPECT_EQ(OpenFails(folder / "missing.tif").cause, TuCauseOpenFileMissing);
    std::filesystem::create_directory(folder / "dir.tif");
    EXPECT_EQ(OpenFails(folder / "dir.tif").cause, TuCauseOpenIsDirectory);
    EXPECT_EQ(OpenFails(folder / "dir.tif", ModeUpdate).cause, TuCauseOpenIsDirectory);
}

TEST_F(tiff_file_test, read_doubles_counts) {
    TiffBuilder tiff(false);
    const auto two = tiff.AppendDoubles({1, 2});
    const auto three = tiff.AppendDoubles({3, 4, 5});
    const auto six = tiff.AppendDoubles({6, 7, 8, 9, 10, 11});
    tiff.SetFirstIfd(tiff.AppendDirectory({TiffBuilder::At(33550, 12, 2, two),
                                           TiffBuilder::At(33922, 12, 6, six),
                                           TiffBuilder::At(34264, 12, 3, three)}));
    auto file = Open(Save(tiff));
    double values[4] = {-1, -1, -1, -1};
    EXPECT_EQ(file->ReadDoubles(33550, values, 3, 0), 2);
    EXPECT_EQ(values[1], 2);
    EXPECT_EQ(values[2], -1);
    EXPECT_EQ(file->ReadDoubles(33922, values, 3, 0), 3);
    EXPECT_EQ(values[2], 8);
    EXPECT_EQ(values[3], -1);
    EXPECT_EQ(file->ReadDoubles(33922 + 65536, values, 2, 4), 2);
    EXPECT_EQ(values[0], 10);
    EXPECT_EQ(file->ReadDoubles(33922, values, 0, 0), 0);

    // Elements 1 and 2 are read, then element 3 does not exist.
    double partial[3] = {-1, -1, -1};
    const Raised raised = RaisedBy([&] { file->ReadDoubles(34264, partial, 3, 1); });
    EXPECT_EQ(raised.cause, TuCauseTiffElementMissing);
    EXPECT_EQ(raised.secondNumber, 3);
    EXPECT_EQ(partial[0], 4);
    EXPECT_EQ(partial[1], 5);
    EXPECT_EQ(partial[2], -1);
    EXPECT_EQ(RaisedBy([&] { file->ReadDoubles(34264, partial, 1, -1); }).cause,
              TuCauseTiffElementMissing);
}

TEST_F(tiff_file_test, duplicates_read_the_first_in_file_order) {
    TiffBuilder tiff(true);
    const auto a = tiff.AppendDoubles({1, 1, 1});
    const auto b = tiff.AppendDoubles({2, 2, 2});
    const auto c = tiff.AppendDoubles({3, 3, 3});
    const auto second = tiff.AppendDirectory({TiffBuilder::At(33550, 12, 3, c)});
    tiff.SetFirstIfd(tiff.AppendDirectory(
        {TiffBuilder::At(33550, 12, 3, a), TiffBuilder::At(33550, 12, 3, b)}, second));
    auto file = Open(Save(tiff));
    double values[3];
    EXPECT_EQ(file->FindTag(33550), 0);
    ASSERT_EQ(file->ReadDoubles(33550, values, 3, 0), 3);
    EXPECT_EQ(values[2], 1);
}

TEST_F(tiff_file_test, doubles_are_read_in_the_files_byte_order) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big);
        const auto at = tiff.Append({0x3F, 0xF0, 0, 0, 0, 0, 0, 0});
        tiff.SetFirstIfd(tiff.AppendDirectory({TiffBuilder::At(33550, 12, 1, at)}));
        double value = 0;
        ASSERT_EQ(Open(Save(tiff))->ReadDoubles(33550, &value, 1, 0), 1);
        if (big) {
            EXPECT_EQ(value, 1.0);
        } else {
            EXPECT_EQ(value, std::bit_cast<double>(std::uint64_t{0xF03F}));
        }
    }
}

TEST_F(tiff_file_test, values_of_every_numeric_type_are_converted) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big);
        const auto bytes = tiff.Append({200, 1, 2, 3, 4});
        const auto sbytes = tiff.Append({0xFE, 5, 6, 7, 8});
        const auto shorts = tiff.AppendShorts({65535, 2, 3});
        const auto sshorts = tiff.AppendShorts({65535, 2, 3});
        const auto longs = tiff.AppendLongs({4000000000u, 2});
        const auto slongs = tiff.AppendLongs({0xFFFFFFFEu, 2});
        const auto rationals = tiff.AppendLongs({1, 4, 3, 0});
        const auto srationals = tiff.AppendLongs({0xFFFFFFFFu, 4});
        const auto floats = tiff.AppendFloats({0.5f, -2.25f});
        const auto doubles = tiff.AppendDoubles({0.1, -7.5});
        tiff.SetFirstIfd(tiff.AppendDirectory({
            TiffBuilder::At(1001, 1, 5, bytes),
            TiffBuilder::At(1006, 6, 5, sbytes),
            TiffBuilder::At(1003, 3, 3, shorts),
            TiffBuilder::At(1008, 8, 3, sshorts),
            TiffBuilder::At(1004, 4, 2, longs),
            TiffBuilder::At(1009, 9, 2, slongs),
            TiffBuilder::At(1005, 5, 2, rationals),
            TiffBuilder::At(1010, 10, 1, srationals),
            TiffBuilder::At(1011, 11, 2, floats),
            TiffBuilder::At(1012, 12, 2, doubles),
            TiffBuilder::Inline(2001, 1, 2, {250, 3, 0, 0}),
            TiffBuilder::Inline(2006, 6, 4, {0x80, 1, 2, 0x7F}),
            tiff.InlineShorts(2003, 3, {40000, 7}),
            tiff.InlineShorts(2008, 8, {static_cast<std::uint16_t>(-300), 7}),
            tiff.InlineLong(2004, 4, 3000000000u),
            tiff.InlineLong(2009, 9, static_cast<std::uint32_t>(-70000)),
            tiff.InlineLong(2011, 11, std::bit_cast<std::uint32_t>(1.5f)),
            TiffBuilder::At(2002, 2, 5, bytes),
            TiffBuilder::Inline(2007, 7, 1, {1, 0, 0, 0}),
        }));
        auto file = Open(Save(tiff));
        auto read = [&](int tag, int n, int start = 0) {
            std::vector<double> values(static_cast<std::size_t>(n));
            EXPECT_EQ(file->ReadDoubles(tag, values.data(), n, start), n) << tag;
            return values;
        };
        EXPECT_EQ(read(1001, 2, 0), (std::vector<double>{200, 1}));
        EXPECT_EQ(read(1001, 1, 4), (std::vector<double>{4}));
        EXPECT_EQ(read(1006, 2), (std::vector<double>{-2, 5}));
        EXPECT_EQ(read(1003, 3), (std::vector<double>{65535, 2, 3}));
        EXPECT_EQ(read(1008, 1), (std::vector<double>{-1}));
        EXPECT_EQ(read(1004, 2), (std::vector<double>{4000000000.0, 2}));
        EXPECT_EQ(read(1009, 1), (std::vector<double>{-2}));
        EXPECT_EQ(read(1005, 1), (std::vector<double>{0.25}));
        EXPECT_TRUE(std::isinf(read(1005, 1, 1)[0])); // a zero denominator
        EXPECT_EQ(read(1010, 1), (std::vector<double>{-0.25}));
        EXPECT_EQ(read(1011, 2), (std::vector<double>{0.5, -2.25}));
        EXPECT_EQ(read(1012, 2), (std::vector<double>{0.1, -7.5}));
        EXPECT_EQ(read(2001, 2), (std::vector<double>{250, 3}));
        EXPECT_EQ(read(2006, 4), (std::vector<double>{-128, 1, 2, 127}));
        EXPECT_EQ(read(2003, 1, 1), (std::vector<double>{7}));
        EXPECT_EQ(read(2003, 1), (std::vector<double>{40000}));
        EXPECT_EQ(read(2008, 1), (std::vector<double>{-300}));
        EXPECT_EQ(read(2004, 1), (std::vector<double>{3000000000.0}));
        EXPECT_EQ(read(2009, 1), (std::vector<double>{-70000}));
        EXPECT_EQ(read(2011, 1), (std::vector<double>{1.5}));
        double value;
        EXPECT_EQ(RaisedBy([&] { file->ReadDoubles(2002, &value, 1, 0); }).cause,
                  TuCauseTiffNotUnderstood);
        EXPECT_EQ(RaisedBy([&] { file->ReadDoubles(2007, &value, 1, 0); }).cause,
                  TuCauseTiffNotUnderstood);
    }
}

TEST_F(tiff_file_test, values_said_to_lie_beyond_the_end_are_not_read) {
    TiffBuilder tiff(false);
    const auto values = tiff.AppendDoubles({1, 2, 3});
    tiff.SetFirstIfd(tiff.AppendDirectory({TiffBuilder::At(33550, 12, 3, values + 1000),
                                           TiffBuilder::At(33922, 12, 6, 0xFFFFFFF0u),
                                           TiffBuilder::At(34264, 12, 3, values)}));
    auto file = Open(Save(tiff));
    double read[6];
    EXPECT_EQ(RaisedBy([&] { file->ReadDoubles(33550, read, 3, 0); }).cause,
              TuCauseTiffNotUnderstood);
    EXPECT_EQ(RaisedBy([&] { file->ReadDoubles(33922, read, 6, 0); }).cause,
              TuCauseTiffNotUnderstood);
    EXPECT_EQ(file->ReadDoubles(34264, read, 3, 0), 3);
}

} // namespace
