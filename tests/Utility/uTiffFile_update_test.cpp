// Writing tag values, adding tags and committing a new directory and header, on files
// built byte by byte.
#include "uTiffFile.h"

#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "StoreReferencing.h"
#include "TiffFileFixture.h"
#include "uCauses.h"

namespace {

TuTiffTag PixelScale() {
    return TuTiffTag(33550, TiffTypeDouble, 3);
}
TuTiffTag Tiepoint() {
    return TuTiffTag(33922, TiffTypeDouble, 6);
}

class tiff_update_test : public TiffFileFixture {
protected:
    // Opened for update unless asked otherwise.
    std::unique_ptr<TuTiffFile> Open(const std::string& path, int mode = ModeUpdate) {
        return TiffFileFixture::Open(path, mode);
    }
    // The dialog's update: add what is missing, write both tags, commit.
    void Update(const std::string& path, const double (&scale)[3], const double (&tie)[6]) {
        StoreReferencing(*Open(path), scale, tie);
    }

    const double scale[3] = {0.5, 0.25, 0};
    const double tie[6] = {0, 0, 0, 1234.5, -98765.25, 0};
};

TEST_F(tiff_update_test, writes_are_refused_in_examine_mode) {
    TiffBuilder tiff(false);
    const auto values = tiff.AppendDoubles({1, 2, 3});
    tiff.SetFirstIfd(tiff.AppendDirectory({TiffBuilder::At(33550, 12, 3, values)}));
    const std::string path = Save(tiff);
    auto file = Open(path, ModeExamine);
    EXPECT_EQ(RaisedBy([&] { file->WriteDoubles(33550, scale, 3, 0); }).cause,
              TuCauseTiffOpenedForExamination);
    EXPECT_EQ(RaisedBy([&] { file->WriteDoubles(33922, tie, 6, 0); }).cause,
              TuCauseTiffOpenedForExamination);
    // A commit of an examined file is refused too, even with a tag added.
    file->AddTag(Tiepoint());
    file->commitOnClose = true;
    EXPECT_EQ(RaisedBy([&] { file->CommitAndClose(); }).cause, TuCauseTiffOpenedForExamination);
    EXPECT_EQ(ReadFile(path), tiff.Bytes());
}

TEST_F(tiff_update_test, writes_outside_a_tags_elements_are_refused) {
    TiffBuilder tiff(true);
    const auto values = tiff.AppendDoubles({1, 2});
    tiff.SetFirstIfd(tiff.AppendDirectory({TiffBuilder::At(33550, 12, 2, values)}));
    const std::string path = Save(tiff);
    auto file = Open(path);
    // The message names the tag, then the first element written that the tag lacks.
    const auto elementMissing = [](int element) {
        return "Attempt to access element number " + std::to_string(element) +
               " of a tag with ID 33550.  Element does not exist.";
    };
    const Raised tooMany = RaisedBy([&] { file->WriteDoubles(33550, scale, 3, 0); });
    EXPECT_EQ(tooMany.cause, TuCauseTiffElementMissing);
    EXPECT_EQ(tooMany.message, elementMissing(2));
    const Raised pastTheEnd = RaisedBy([&] { file->WriteDoubles(33550, scale, 2, 1); });
    EXPECT_EQ(pastTheEnd.cause, TuCauseTiffElementMissing);
    EXPECT_EQ(pastTheEnd.message, elementMissing(2));
    EXPECT_EQ(RaisedBy([&] { file->WriteDoubles(33550, scale, 1, 5); }).message, elementMissing(5));
    const Raised before = RaisedBy([&] { file->WriteDoubles(33550, scale, 1, -1); });
    EXPECT_EQ(before.cause, TuCauseTiffElementMissing);
    EXPECT_EQ(before.message, elementMissing(-1));
    const Raised missing = RaisedBy([&] { file->WriteDoubles(33922 + 65536, tie, 6, 0); });
    EXPECT_EQ(missing.cause, TuCauseTiffTagNotFound);
    EXPECT_EQ(missing.secondNumber, 33922);
    file->WriteDoubles(33550, scale, 0, 0);
    file->WriteDoubles(33550, scale, 0, 7);
    file.reset();
    EXPECT_EQ(ReadFile(path), tiff.Bytes());
}

TEST_F(tiff_update_test, existing_tags_are_overwritten_in_place) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big);
        const auto scaleAt = tiff.AppendDoubles({1, 2, 3});
        const auto tieAt = tiff.AppendDoubles({4, 5, 6, 7, 8, 9});
        tiff.SetFirstIfd(tiff.AppendDirectory(
            {TiffBuilder::At(33550, 12, 3, scaleAt), TiffBuilder::At(33922, 12, 6, tieAt)}));
        const std::string path = Save(tiff);
        Update(path, scale, tie);
        const auto after = ReadFile(path);
        ASSERT_EQ(after.size(), tiff.Size());
        for (int i = 0; i < 9; ++i) {
            const double expected = i < 3 ? scale[i] : tie[i - 3];
            EXPECT_EQ(tiff.DecodeDouble(after.data() + 8 + 8 * i), expected) << i;
        }
        // Header and directory are the same bytes.
        EXPECT_TRUE(std::equal(after.begin(), after.begin() + 8, tiff.Bytes().begin()));
        EXPECT_TRUE(std::equal(after.begin() + 80, after.end(), tiff.Bytes().begin() + 80));
    }
}

TEST_F(tiff_update_test, added_tags_go_to_the_end_of_an_odd_length_file_with_a_sorted_directory) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big);
        const auto directory =
            tiff.AppendDirectory({tiff.InlineShorts(256, 3, {64}), tiff.InlineShorts(257, 3, {48}),
                                  TiffBuilder::At(33922, 12, 6, 0)});
        tiff.SetFirstIfd(directory);
        const auto tieAt = tiff.AppendDoubles({1, 2, 3, 4, 5, 6});
        tiff.Put32(directory + 2 + 24 + 8, tieAt);
        tiff.Pad(1001 - tiff.Size(), 0x5A);
        const std::string path = Save(tiff);
        const auto length = static_cast<std::uint32_t>(tiff.Size());
        ASSERT_EQ(length, 1001u);

        auto file = Open(path);
        file->AddTag(PixelScale());
        const TuTiffTag added = file->TagAt(static_cast<std::size_t>(file->FindTag(33550)));
        EXPECT_EQ(added.offset, length);
        file->AddTag(TuTiffTag(300, TiffTypeShort, 1)); // inline: reserves nothing
        file->AddTag(TuTiffTag(301, TiffTypeDouble, 1));
        EXPECT_EQ(file->TagAt(5).offset, length + 24);
        file->WriteDoubles(33550, scale, 3, 0);
        file->WriteDoubles(33922, tie, 6, 0);
        file->commitOnClose = true;
        file->CommitAndClose();

        const auto after = ReadFile(path);
        // The existing tiepoint moves to the end as well (48 bytes after the added values):
        // with a new directory, the header written last must be the one switch from the old
        // referencing to the new, so no value of the old file is overwritten.
        const std::uint32_t newDirectory = length + 24 + 8 + 48;
        ASSERT_EQ(after.size(), newDirectory + 2 + 12 * 6 + 4);
        EXPECT_TRUE(
            std::equal(tiff.Bytes().begin() + 8, tiff.Bytes().begin() + tieAt, after.begin() + 8));
        EXPECT_EQ(tiff.Decode32(after.data() + 4), newDirectory);
        EXPECT_EQ(after[0], big ? 'M' : 'I');
        EXPECT_EQ(after[1], big ? 'M' : 'I');
        const DirectoryImage image = DirectoryAt(tiff, after, newDirectory);
        EXPECT_EQ(image.tags, (std::vector<std::uint16_t>{256, 257, 300, 301, 33550, 33922}));
        EXPECT_EQ(image.next, 0u);
        // The inline SHORT carries the value 0.
        EXPECT_EQ(tiff.Decode32(image.entries[2].data() + 8), 0u);
        ExpectReads(path, scale, tie);
    }
}

TEST_F(tiff_update_test, inline_values_of_every_type_survive_a_directory_rewrite) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big);
        const std::vector<TiffBuilder::Entry> entries = {
            TiffBuilder::Inline(301, 1, 3, {1, 2, 3, 0}),
            TiffBuilder::Inline(302, 2, 4, {'a', 'b', 'c', 0}),
            tiff.InlineShorts(303, 3, {0xBEEF}),
            tiff.InlineShorts(304, 3, {0x0102, 0xA0B0}),
            tiff.InlineLong(305, 4, 0xDEADBEEF),
            TiffBuilder::Inline(306, 6, 1, {0x80, 0, 0, 0}),
            TiffBuilder::Inline(307, 7, 2, {0xFF, 0x01, 0, 0}),
            tiff.InlineShorts(308, 8, {0x8001, 0x7FFF}),
            tiff.InlineLong(309, 9, 0x80000001),
            tiff.InlineLong(311, 11, std::bit_cast<std::uint32_t>(-3.75f)),
            TiffBuilder::Inline(312, 3, 0, {0, 0, 0, 0}),
        };
        const auto directory = tiff.AppendDirectory(entries);
        tiff.SetFirstIfd(directory);
        const std::string path = Save(tiff);
        auto file = Open(path);
        file->AddTag(PixelScale());
        file->WriteDoubles(33550, scale, 3, 0);
        file->commitOnClose = true;
        file->CommitAndClose();

        const auto after = ReadFile(path);
        const DirectoryImage before = DirectoryAt(tiff, tiff.Bytes(), directory);
        const DirectoryImage rewritten = DirectoryAt(tiff, after, tiff.Decode32(after.data() + 4));
        ASSERT_EQ(rewritten.entries.size(), before.entries.size() + 1);
        for (std::size_t i = 0; i < before.entries.size(); ++i) {
            EXPECT_EQ(rewritten.entries[i], before.entries[i]) << before.tags[i];
        }
    }
}

TEST_F(tiff_update_test, bytes_beyond_inline_values_are_written_as_zero) {
    TiffBuilder tiff(false);
    tiff.SetFirstIfd(tiff.AppendDirectory({TiffBuilder::Inline(301, 1, 1, {7, 9, 9, 9}),
                                           TiffBuilder::Inline(303, 3, 1, {7, 0, 9, 9})}));
    const std::string path = Save(tiff);
    auto file = Open(path);
    file->AddTag(TuTiffTag(400, TiffTypeShort, 1));
    file->commitOnClose = true;
    file->CommitAndClose();
    const auto after = ReadFile(path);
    const DirectoryImage image = DirectoryAt(tiff, after, tiff.Decode32(after.data() + 4));
    EXPECT_EQ(image.entries[0], (std::vector<unsigned char>{45, 1, 1, 0, 1, 0, 0, 0, 7, 0, 0, 0}));
    EXPECT_EQ(tiff.Decode32(image.entries[1].data() + 8), 7u);
}

TEST_F(tiff_update_test, header_is_rewritten_with_its_order_and_number) {
    struct Case {
        char first;
        char second;
        bool big;
        char written;
    };
    for (Case c : {Case{'M', 'I', true, 'M'}, Case{'X', 'I', false, 'I'}}) {
        TiffBuilder tiff(c.big, 99);
        tiff.SetFirstIfd(tiff.AppendDirectory({tiff.InlineShorts(256, 3, {1})}));
        tiff.Bytes()[0] = static_cast<unsigned char>(c.first);
        tiff.Bytes()[1] = static_cast<unsigned char>(c.second);
        const std::string path = Save(tiff);
        Update(path, scale, tie);
        const auto after = ReadFile(path);
        EXPECT_EQ(after[0], c.written);
        EXPECT_EQ(after[1], c.written);
        EXPECT_EQ(tiff.Decode16(after.data() + 2), 99);
        ExpectReads(path, scale, tie);
    }
}

TEST_F(tiff_update_test, a_commit_without_added_tags_rewrites_the_header_only) {
    TiffBuilder tiff(true, 77);
    const auto values = tiff.AppendDoubles({1, 2, 3});
    tiff.SetFirstIfd(tiff.AppendDirectory({TiffBuilder::At(33550, 12, 3, values)}));
    const std::string path = Save(tiff);
    auto file = Open(path);
    file->commitOnClose = true;
    file->CommitAndClose();
    EXPECT_EQ(ReadFile(path), tiff.Bytes());
}

TEST_F(tiff_update_test, without_commit_added_tags_never_reach_the_directory) {
    TiffBuilder tiff(false);
    tiff.SetFirstIfd(tiff.AppendDirectory({tiff.InlineShorts(256, 3, {1})}));
    const std::string path = Save(tiff);
    {
        auto file = Open(path);
        file->AddTag(PixelScale());
        file->WriteDoubles(33550, scale, 3, 0);
        file->CommitAndClose(); // commitOnClose not set
    }
    const auto after = ReadFile(path);
    EXPECT_EQ(after.size(), tiff.Size() + 24); // the values, unreferenced
    EXPECT_TRUE(std::equal(tiff.Bytes().begin(), tiff.Bytes().end(), after.begin()));
}

TEST_F(tiff_update_test, later_directories_stay_reachable) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big);
        const auto third = tiff.AppendDirectory({tiff.InlineShorts(256, 3, {3})});
        const auto second = tiff.AppendDirectory({tiff.InlineShorts(256, 3, {2})}, third);
        const auto first = tiff.AppendDirectory(
            {tiff.InlineShorts(256, 3, {1}), tiff.InlineShorts(257, 3, {1})}, second);
        tiff.SetFirstIfd(first);
        const std::string path = Save(tiff);
        Update(path, scale, tie);

        const auto after = ReadFile(path);
        EXPECT_TRUE(std::equal(tiff.Bytes().begin() + 8, tiff.Bytes().end(), after.begin() + 8));
        const DirectoryImage image = DirectoryAt(tiff, after, tiff.Decode32(after.data() + 4));
        EXPECT_EQ(image.tags, (std::vector<std::uint16_t>{256, 257, 33550, 33922}));
        EXPECT_EQ(image.next, second);
        auto file = Open(path, ModeExamine);
        ASSERT_EQ(file->TagCount(), 6u);
        EXPECT_EQ(file->TagAt(4).inlineValue[0], 2);
        EXPECT_EQ(file->TagAt(5).inlineValue[0], 3);
        ExpectReads(path, scale, tie);
    }
}

TEST_F(tiff_update_test, tags_of_other_types_are_moved_to_the_end_as_doubles) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big);
        const auto floats = tiff.AppendFloats({1.5f, 2.5f, 0.0f});
        const auto directory = tiff.AppendDirectory(
            {TiffBuilder::At(33550, 11, 3, floats), tiff.InlineShorts(33922, 3, {7, 9})});
        tiff.SetFirstIfd(directory);
        const std::string path = Save(tiff);
        const auto length = static_cast<std::uint32_t>(tiff.Size());
        {
            auto file = Open(path);
            const double middle = 4.0;
            file->WriteDoubles(33550, &middle, 1, 1);
            file->WriteDoubles(33922, &middle, 1, 0);
            EXPECT_EQ(file->TagAt(0).type, TiffTypeDouble);
            EXPECT_EQ(file->TagAt(0).offset, length);
            EXPECT_EQ(file->TagAt(1).offset, length + 24);
            file->commitOnClose = true;
            file->CommitAndClose();
        }
        const auto after = ReadFile(path);
        ASSERT_EQ(after.size(), length + 24 + 16 + 2 + 24 + 4);
        EXPECT_TRUE(std::equal(tiff.Bytes().begin() + 8, tiff.Bytes().end(), after.begin() + 8));
        auto file = Open(path, ModeExamine);
        EXPECT_EQ(file->TagAt(0).count, 3u);
        EXPECT_EQ(file->TagAt(1).count, 2u);
        double values[3];
        ASSERT_EQ(file->ReadDoubles(33550, values, 3, 0), 3);
        EXPECT_EQ(values[0], 1.5);
        EXPECT_EQ(values[1], 4.0);
        EXPECT_EQ(values[2], 0.0);
        ASSERT_EQ(file->ReadDoubles(33922, values, 2, 0), 2);
        EXPECT_EQ(values[0], 4.0);
        EXPECT_EQ(values[1], 9.0);
    }
}

TEST_F(tiff_update_test, a_moved_tag_in_a_later_directory_rewrites_the_chain_up_to_it) {
    TiffBuilder tiff(true);
    const auto floats = tiff.AppendFloats({1, 2, 3});
    const auto third = tiff.AppendDirectory({tiff.InlineShorts(256, 3, {3})});
    const auto second = tiff.AppendDirectory(
        {tiff.InlineShorts(256, 3, {2}), TiffBuilder::At(33550, 11, 3, floats)}, third);
    tiff.SetFirstIfd(tiff.AppendDirectory({tiff.InlineShorts(256, 3, {1})}, second));
    const std::string path = Save(tiff);
    {
        auto file = Open(path);
        file->WriteDoubles(33550, scale, 3, 0);
        file->commitOnClose = true;
        file->CommitAndClose();
    }
    const auto after = ReadFile(path);
    EXPECT_TRUE(std::equal(tiff.Bytes().begin() + 8, tiff.Bytes().end(), after.begin() + 8));
    const auto newFirst = tiff.Decode32(after.data() + 4);
    const DirectoryImage first = DirectoryAt(tiff, after, newFirst);
    EXPECT_GT(first.next, second);
    EXPECT_EQ(DirectoryAt(tiff, after, first.next).next, third);
    auto file = Open(path, ModeExamine);
    EXPECT_EQ(file->TagCount(), 4u);
    double values[3];
    ASSERT_EQ(file->ReadDoubles(33550, values, 3, 0), 3);
    EXPECT_EQ(values[1], scale[1]);
}

TEST_F(tiff_update_test, values_overlapping_the_header_or_a_directory_are_moved) {
    // A tag whose values are said to lie on its own directory must not overwrite it.
    TiffBuilder tiff(false);
    const auto directory = static_cast<std::uint32_t>(tiff.Size());
    tiff.SetFirstIfd(directory);
    tiff.AppendDirectory(
        {TiffBuilder::At(33550, 12, 3, directory), TiffBuilder::At(33922, 12, 6, 0)});
    tiff.Pad(64);
    const std::string path = Save(tiff);
    {
        auto file = Open(path);
        file->WriteDoubles(33550, scale, 3, 0);
        file->WriteDoubles(33922, tie, 6, 0);
        EXPECT_EQ(file->TagAt(0).offset, tiff.Size());
        EXPECT_EQ(file->TagAt(1).offset, tiff.Size() + 24);
        EXPECT_TRUE(std::equal(tiff.Bytes().begin(), tiff.Bytes().end(), ReadFile(path).begin()));
        file->commitOnClose = true;
        file->CommitAndClose();
    }
    ExpectReads(path, scale, tie);
}

TEST_F(tiff_update_test, created_files_get_a_little_endian_header) {
    for (int mode : {ModeCreate, ModeOverwrite}) {
        const std::string path = folder / (mode == ModeCreate ? "new.tif" : "over.tif");
        if (mode == ModeOverwrite) {
            WriteFile(path, std::vector<unsigned char>(5000, 0x77));
        }
        {
            auto file = Open(path, mode);
            file->AddTag(TuTiffTag(256, TiffTypeShort, 1));
            file->AddTag(PixelScale());
            file->AddTag(Tiepoint());
            file->WriteDoubles(33550, scale, 3, 0);
            file->WriteDoubles(33922, tie, 6, 0);
            file->commitOnClose = true;
            file->CommitAndClose();
        }
        const auto after = ReadFile(path);
        ASSERT_EQ(after.size(), 8u + 72 + 2 + 36 + 4);
        EXPECT_EQ(after[0], 'I');
        EXPECT_EQ(after[1], 'I');
        EXPECT_EQ(after[2], 42);
        EXPECT_EQ(after[3], 0);
        EXPECT_EQ(after[4], 80);
        ExpectReads(path, scale, tie);
    }
}

TEST_F(tiff_update_test, entries_a_directory_cannot_hold_are_refused_when_added) {
    TiffBuilder tiff(false);
    tiff.SetFirstIfd(tiff.AppendDirectory({tiff.InlineShorts(256, 3, {1})}));
    const std::string path = Save(tiff);
    auto file = Open(path);
    // Types whose elements do not fit in an entry, without values; types TIFF 6.0 does not
    // define, whether their values would be inline or not.
    for (const TuTiffTag& tag :
         {TuTiffTag(300, TiffTypeDouble, 0), TuTiffTag(300, TiffTypeRational, 0),
          TuTiffTag(300, TiffTypeSRational, 0), TuTiffTag(300, 0, 1), TuTiffTag(300, 13, 1),
          TuTiffTag(300, 13, 8), TuTiffTag(300, 200, 100)}) {
        EXPECT_EQ(RaisedBy([&] { file->AddTag(tag); }).cause, TuCauseInternalError)
            << tag.type << " " << tag.count;
    }
    // 4 GiB of values: no 32-bit offset reaches past them.
    EXPECT_EQ(RaisedBy([&] { file->AddTag(TuTiffTag(300, TiffTypeDouble, 0x20000000)); }).cause,
              TuCauseTiffBeyondFourGiB);
    EXPECT_EQ(file->TagCount(), 1u);
}

#ifndef _WIN32 // resource limits
// Limits the size of files this process may write, so that writes past it fail.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

TEST_F(tiff_update_test, failed_writes_are_reported_and_leave_the_old_header) {
    TiffBuilder tiff(false);
    tiff.SetFirstIfd(tiff.AppendDirectory({tiff.InlineShorts(256, 3, {1})}));
    const std::string path = Save(tiff);
    const auto length = tiff.Size();
    {
        // The values cannot be appended.
        auto file = Open(path);
        file->AddTag(PixelScale());
        FileSizeLimit limit(length);
        const Raised raised = RaisedBy([&] { file->WriteDoubles(33550, scale, 3, 0); });
        EXPECT_EQ(raised.cause, TuCauseTiffTagWriteFailed);
        EXPECT_EQ(raised.secondNumber, 33550);
    }
    EXPECT_EQ(ReadFile(path), tiff.Bytes());
    {
        // The values fit, the directory does not.
        auto file = Open(path);
        file->AddTag(PixelScale());
        file->WriteDoubles(33550, scale, 3, 0);
        file->commitOnClose = true;
        FileSizeLimit limit(length + 24 + 10);
        EXPECT_EQ(RaisedBy([&] { file->CommitAndClose(); }).cause, TuCauseTiffHeaderRewriteFailed);
    }
    const auto after = ReadFile(path);
    EXPECT_TRUE(std::equal(tiff.Bytes().begin(), tiff.Bytes().end(), after.begin()));
    auto file = Open(path, ModeExamine);
    EXPECT_EQ(file->TagCount(), 1u);
}
#endif

} // namespace
