// Lookups limited to the first directory, and the removal of an entry: what an update of the
// main image's georeferencing needs when overviews carry tags of their own, and when one kind of
// georeferencing replaces another.
#include "uTiffFile.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "TiffFileFixture.h"
#include "uCauses.h"

namespace {

class tiff_scope_test : public TiffFileFixture {
protected:
    // Opened for update unless asked otherwise.
    static std::unique_ptr<TuTiffFile> Open(const std::string& path, int mode = ModeUpdate) {
        return TiffFileFixture::Open(path, mode);
    }
    static void Commit(TuTiffFile& file) {
        file.commitOnClose = true;
        file.CommitAndClose();
    }
};

// The main image without referencing, and an overview with a pixel scale of its own; returns
// the overview's offset.
std::uint32_t OverviewWithScale(TiffBuilder& tiff) {
    const auto scaleAt = tiff.AppendDoubles({8, 8, 0});
    const auto overview = tiff.AppendDirectory(
        {tiff.InlineShorts(254, 3, {1}), TiffBuilder::At(33550, 12, 3, scaleAt)});
    tiff.SetFirstIfd(tiff.AppendDirectory({tiff.InlineShorts(256, 3, {4})}, overview));
    return overview;
}

} // namespace

TEST_F(tiff_scope_test, first_directory_lookups_pass_over_later_directories) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big);
        OverviewWithScale(tiff);
        const std::string path = Save(tiff);
        auto file = Open(path, ModeExamine);
        EXPECT_EQ(file->FindTag(33550), 2);
        EXPECT_EQ(file->FindTag(33550, TuTagScope::FirstDirectory), TagNotFound);
        EXPECT_EQ(file->FindTag(256 + 65536, TuTagScope::FirstDirectory), 0);
        double values[3] = {-1, -1, -1};
        EXPECT_EQ(file->ReadDoubles(33550, values, 3, 0, TuTagScope::FirstDirectory), TagNotFound);
        EXPECT_EQ(values[0], -1);
        EXPECT_EQ(file->ReadDoubles(33550, values, 3, 0), 3);
        EXPECT_EQ(values[0], 8);
    }
}

TEST_F(tiff_scope_test, a_tag_added_to_the_first_directory_is_written_there_not_in_the_overview) {
    TiffBuilder tiff(false);
    const std::uint32_t overview = OverviewWithScale(tiff);
    const std::string path = Save(tiff);
    const double scale[3] = {2, 3, 0.5};
    {
        auto file = Open(path);
        // Through every directory the overview's tag would be found and written.
        EXPECT_THROW(file->WriteDoubles(33550, scale, 3, 0, TuTagScope::FirstDirectory), TuError);
        file->AddTag(TuTiffTag(33550, TiffTypeDouble, 3));
        EXPECT_EQ(file->FindTag(33550), 2);
        EXPECT_EQ(file->FindTag(33550, TuTagScope::FirstDirectory), 3);
        file->WriteDoubles(33550, scale, 3, 0, TuTagScope::FirstDirectory);
        Commit(*file);
    }
    const auto after = ReadFile(path);
    // The old bytes are all there: the overview and its values are untouched.
    EXPECT_TRUE(std::equal(tiff.Bytes().begin() + 8, tiff.Bytes().end(), after.begin() + 8));
    const DirectoryImage first = DirectoryAt(tiff, after, tiff.Decode32(after.data() + 4));
    EXPECT_EQ(first.tags, (std::vector<std::uint16_t>{256, 33550}));
    EXPECT_EQ(first.next, overview);
    auto file = Open(path, ModeExamine);
    double values[3];
    ASSERT_EQ(file->ReadDoubles(33550, values, 3, 0, TuTagScope::FirstDirectory), 3);
    EXPECT_EQ(values[1], 3);
    EXPECT_EQ(values[2], 0.5);
    ASSERT_EQ(file->ReadDoubles(33550, values, 3, 0), 3);
    EXPECT_EQ(values[1], 3);
    EXPECT_EQ(DirectoryAt(tiff, after, overview).tags, (std::vector<std::uint16_t>{254, 33550}));
}

TEST_F(tiff_scope_test, a_removed_tag_leaves_the_new_directory_and_keeps_its_bytes) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big);
        const auto scaleAt = tiff.AppendDoubles({1, 2, 0});
        const auto tieAt = tiff.AppendDoubles({0, 0, 0, 10, 20, 0});
        const auto matrixAt =
            tiff.AppendDoubles({2, 0, 0, 10, 0, -2, 0, 20, 0, 0, 0, 0, 0, 0, 0, 1});
        tiff.SetFirstIfd(tiff.AppendDirectory(
            {tiff.InlineShorts(256, 3, {4}), TiffBuilder::At(33550, 12, 3, scaleAt),
             TiffBuilder::At(33922, 12, 6, tieAt), TiffBuilder::At(34264, 12, 16, matrixAt)}));
        const std::string path = Save(tiff);
        {
            auto file = Open(path);
            EXPECT_TRUE(file->RemoveTag(TiffTagModelTransformation, TuTagScope::FirstDirectory));
            EXPECT_FALSE(file->RemoveTag(TiffTagModelTransformation));
            EXPECT_EQ(file->FindTag(TiffTagModelTransformation), TagNotFound);
            EXPECT_EQ(file->TagCount(), 3u);
            Commit(*file);
        }
        const auto after = ReadFile(path);
        EXPECT_TRUE(std::equal(tiff.Bytes().begin() + 8, tiff.Bytes().end(), after.begin() + 8));
        const DirectoryImage first = DirectoryAt(tiff, after, tiff.Decode32(after.data() + 4));
        EXPECT_EQ(first.tags, (std::vector<std::uint16_t>{256, 33550, 33922}));
        EXPECT_EQ(first.next, 0u);
        EXPECT_EQ(after.size(), tiff.Size() + 2 + 3 * 12 + 4);
    }
}

TEST_F(tiff_scope_test, held_writes_follow_their_entries_when_another_is_removed) {
    TiffBuilder tiff(false);
    const auto scaleAt = tiff.AppendDoubles({1, 2, 0});
    const auto tieAt = tiff.AppendDoubles({0, 0, 0, 10, 20, 0});
    tiff.SetFirstIfd(tiff.AppendDirectory(
        {TiffBuilder::At(33550, 12, 3, scaleAt), TiffBuilder::At(33922, 12, 6, tieAt)}));
    const std::string path = Save(tiff);
    const double scale[3] = {5, 6, 7};
    const double tie[6] = {1, 1, 1, 100, 200, 1};
    {
        auto file = Open(path);
        file->WriteDoubles(33550, scale, 3, 0); // held until the commit
        file->WriteDoubles(33922, tie, 6, 0);   // held, at index 1 until 33550 goes
        EXPECT_TRUE(file->RemoveTag(33550));
        Commit(*file);
    }
    auto file = Open(path, ModeExamine);
    EXPECT_EQ(file->FindTag(33550), TagNotFound);
    double values[6];
    ASSERT_EQ(file->ReadDoubles(33922, values, 6, 0), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(values[i], tie[i]) << i;
    }
    // The removed tag's old values were not overwritten by its dropped write.
    const auto after = ReadFile(path);
    EXPECT_EQ(tiff.DecodeDouble(after.data() + scaleAt), 1);
}

TEST_F(tiff_scope_test, removal_needs_a_file_opened_for_update) {
    TiffBuilder tiff(false);
    const auto scaleAt = tiff.AppendDoubles({1, 2, 0});
    tiff.SetFirstIfd(tiff.AppendDirectory({TiffBuilder::At(33550, 12, 3, scaleAt)}));
    const std::string path = Save(tiff);
    auto file = Open(path, ModeExamine);
    try {
        file->RemoveTag(33550);
        FAIL() << "removed a tag from a file opened for examination";
    } catch (const TuError& error) {
        EXPECT_EQ(error.Cause(), TuCauseTiffOpenedForExamination);
    }
    EXPECT_EQ(file->FindTag(33550), 0);
}
