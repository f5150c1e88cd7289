// The head that a file stream reads ahead: which reads it answers, and that it never gives
// other bytes than the file would. Bytes changed through a second descriptor after the head
// was read show which reads came from memory (the old bytes) and which from the file.
#include "uFileStream.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "TiffTestSupport.h"
#include "uPath.h"

namespace {

using Bytes = std::vector<unsigned char>;

// count bytes whose values start at first and count up.
Bytes Counting(unsigned char first, std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<unsigned char>(first + i);
    }
    return bytes;
}

Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t count) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

class file_stream_head_test : public ::testing::Test {
protected:
    // The file holds old bytes when the stream opens it and reads its head; afterwards another
    // descriptor gives it the same number of new ones.
    void Prepare(std::size_t length, std::size_t headSize, TuOpenMode mode = TuOpenMode::Read) {
        old = Counting(0, length);
        fresh = Counting(100, length);
        WriteFile(path, old);
        ASSERT_EQ(stream.Open(Wide(path).c_str(), mode), 0);
        stream.ReadHead(headSize);
        Rewrite(fresh);
    }
    void Rewrite(const Bytes& bytes) const {
        std::fstream file(PathOf(path), std::ios::binary | std::ios::in | std::ios::out);
        ASSERT_TRUE(file.is_open());
        ASSERT_TRUE(file.write(reinterpret_cast<const char*>(bytes.data()),
                               static_cast<std::streamsize>(bytes.size())));
    }
    // What ReadAt gives for count bytes at offset (only those that arrived).
    Bytes Read(std::uint64_t offset, std::size_t count) {
        Bytes bytes(count);
        bytes.resize(stream.ReadAt(offset, bytes.data(), count));
        return bytes;
    }

    TempFolder folder;
    std::string path = folder / "f.bin";
    TuFileStream stream;
    Bytes old, fresh;
};

TEST_F(file_stream_head_test, reads_within_the_head_come_from_it_and_all_others_from_the_file) {
    Prepare(100, 64);
    EXPECT_EQ(Read(0, 64), Slice(old, 0, 64));
    EXPECT_EQ(Read(10, 8), Slice(old, 10, 8));
    EXPECT_EQ(Read(63, 1), Slice(old, 63, 1));
    // Crossing the head's end, or outside it: the whole read goes to the file.
    EXPECT_EQ(Read(60, 8), Slice(fresh, 60, 8));
    EXPECT_EQ(Read(0, 65), Slice(fresh, 0, 65));
    EXPECT_EQ(Read(64, 36), Slice(fresh, 64, 36));
    EXPECT_EQ(Read(90, 20), Slice(fresh, 90, 10)); // the end of the file
    EXPECT_EQ(Read(1000, 4), Bytes{});
    EXPECT_EQ(Read(~std::uint64_t{0} - 2, 8), Bytes{}); // an offset that wraps
    EXPECT_EQ(stream.Error(), TuOsInvalidArgument);
}

TEST_F(file_stream_head_test, a_file_shorter_than_the_head_is_held_whole) {
    Prepare(20, 4096);
    EXPECT_EQ(Read(0, 20), Slice(old, 0, 20));
    EXPECT_EQ(Read(12, 8), Slice(old, 12, 8));
    // A read past the file's end as it was opened goes to the file, which may have grown.
    EXPECT_EQ(Read(12, 9), Slice(fresh, 12, 8));
    Rewrite(Counting(100, 30));
    EXPECT_EQ(Read(16, 8), Counting(116, 8));
    EXPECT_EQ(stream.Error(), 0);
}

TEST_F(file_stream_head_test, writes_through_the_stream_reach_the_head) {
    Prepare(100, 64, TuOpenMode::ReadWrite);
    const Bytes written = Counting(200, 8);
    ASSERT_EQ(stream.WriteAt(60, written.data(), 8), 8u); // half within the head
    ASSERT_EQ(stream.WriteAt(0, written.data(), 2), 2u);
    ASSERT_EQ(stream.WriteAt(70, written.data(), 8), 8u); // beyond it
    Bytes expected = Slice(old, 0, 64);
    expected[0] = 200;
    expected[1] = 201;
    expected[60] = 200;
    expected[61] = 201;
    expected[62] = 202;
    expected[63] = 203;
    EXPECT_EQ(Read(0, 64), expected);
    EXPECT_EQ(Read(60, 8), written);
    EXPECT_EQ(Read(70, 8), written);
}

TEST_F(file_stream_head_test, reads_past_the_head_see_what_another_program_wrote) {
    Prepare(100, 64);
    Bytes bytes(16);
    ASSERT_EQ(stream.ReadPastHeadAt(8, bytes.data(), bytes.size()), 16u);
    EXPECT_EQ(bytes, Slice(fresh, 8, 16));
    EXPECT_EQ(Read(8, 16), Slice(old, 8, 16));
}

TEST_F(file_stream_head_test, the_state_tells_the_file_and_its_changes_apart) {
    Prepare(100, 64, TuOpenMode::ReadWrite);
    TuFileState now;
    ASSERT_TRUE(stream.QueryState(now));
    TuFileInfo named;
    ASSERT_EQ(TuQueryFileInfo(Wide(path).c_str(), named), 0);
    EXPECT_EQ(named.state, now);
    EXPECT_TRUE(now.SameFile(stream.OpenedState()));
    EXPECT_EQ(stream.OpenedState().length, 100u);
    // A write past the end: the same file, longer.
    EXPECT_EQ(now.length, 100u);
    const Bytes more = Counting(7, 4);
    ASSERT_EQ(stream.WriteAt(100, more.data(), more.size()), 4u);
    TuFileState grown;
    ASSERT_TRUE(stream.QueryState(grown));
    EXPECT_EQ(grown.length, 104u);
    EXPECT_TRUE(grown.SameFile(now));
    // Another file under the name is another file. (Windows replaces no file that is open.)
    if (TuHostPathStyle == TuPathStyle::Windows) {
        EXPECT_TRUE(stream.Close());
    }
    const std::string other = folder / "g.bin";
    WriteFile(other, old);
    std::filesystem::rename(PathOf(other), PathOf(path));
    ASSERT_EQ(TuQueryFileInfo(Wide(path).c_str(), named), 0);
    EXPECT_FALSE(named.state.SameFile(grown));
    EXPECT_EQ(TuQueryFileInfo(Wide(folder / "missing").c_str(), named), TuOsNoSuchFile);
}

TEST_F(file_stream_head_test, a_failed_head_leaves_reads_and_errors_to_the_file) {
    // Opened for writing only, the head cannot be read: nothing is kept and no error recorded;
    // the read that follows fails and reports why.
    Prepare(100, 64, TuOpenMode::Write);
    EXPECT_EQ(stream.Error(), 0);
    EXPECT_EQ(Read(0, 8), Bytes{});
    EXPECT_EQ(stream.Error(), TuOsBadHandle);
}

TEST_F(file_stream_head_test, a_head_that_comes_short_is_not_kept) {
    old = Counting(0, 100);
    WriteFile(path, old);
    ASSERT_EQ(stream.Open(Wide(path).c_str(), TuOpenMode::Read), 0);
    std::filesystem::resize_file(PathOf(path), 40); // after the open: Length() still says 100
    stream.ReadHead(64);
    Rewrite(Counting(100, 40));
    EXPECT_EQ(Read(0, 8), Counting(100, 8));
    EXPECT_EQ(Read(32, 16), Counting(132, 8));
    EXPECT_EQ(stream.Error(), 0);
}

TEST_F(file_stream_head_test, the_head_goes_with_the_file) {
    Prepare(100, 64);
    const std::string other = folder / "g.bin";
    WriteFile(other, Counting(50, 100));
    ASSERT_EQ(stream.Open(Wide(other).c_str(), TuOpenMode::Read), 0);
    EXPECT_EQ(Read(0, 8), Counting(50, 8));
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(Read(0, 8), Bytes{});
    EXPECT_EQ(stream.Error(), TuOsBadHandle);
}

#ifndef _WIN32 // pipes; Windows refuses a folder at the open itself (uOsFileWindows_test.cpp)
// Opened without the status query, a folder or a pipe opens but fails the first positioned
// read at once, never waiting for a writer; a regular file reads as with Open.
TEST(file_stream_test, opened_for_reading_only_files_read_and_nothing_waits) {
    TempFolder folder;
    const std::string file = folder / "f.tfw";
    WriteFile(file, Counting(0, 90));
    const std::string pipe = folder / "p.tfw";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string directory = folder / "d.tfw";
    ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);

    TuFileStream stream;
    ASSERT_EQ(stream.OpenForReading(Wide(file).c_str()), 0);
    EXPECT_EQ(stream.Length(), 0u);
    Bytes bytes(512);
    EXPECT_EQ(stream.ReadAt(0, bytes.data(), bytes.size()), 90u);
    EXPECT_EQ(stream.Error(), 0);
    EXPECT_EQ(Slice(bytes, 0, 90), Counting(0, 90));

    for (const auto& [path, expected] :
         {std::pair{pipe, TuOsNotSeekable}, std::pair{directory, TuOsIsAFolder}}) {
        ASSERT_EQ(stream.OpenForReading(Wide(path).c_str()), 0) << path;
        EXPECT_EQ(stream.ReadAt(0, bytes.data(), bytes.size()), 0u) << path;
        EXPECT_EQ(stream.Error(), expected) << path;
    }
    EXPECT_EQ(stream.OpenForReading(Wide(folder / "missing.tfw").c_str()), TuOsNoSuchFile);
    EXPECT_FALSE(stream.IsOpen());
}
#endif

} // namespace
