// Malformed TIFF files: every one must end in a cause of the catalogue or open normally;
// never a crash, a hang or unbounded memory, and never a change to the file.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <set>
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "RobustnessFiles.h"
#include "uCauses.h"
#include "uError.h"
#include "uTiffFile.h"

using namespace robustness;

namespace {

// The causes a read of values that lie outside the file or outside the tag may end in: the
// file not understood (naming it), the tag's values unreadable, the element missing, or the
// internal error of a short read.
bool IsReadCause(int cause) {
    return cause == TuCauseTiffNotUnderstood || cause == TuCauseTiffTagReadFailed ||
           cause == TuCauseTiffElementMissing || cause == TuCauseInternalError;
}

#ifdef _WIN32
// Windows has neither alarms nor address space limits: each case runs unguarded (CTest's
// time limit still ends a hang).
class Guard {
public:
    void Start(const std::string&) {}
};
#else
// The case being run, printed when the watchdog fires.
char currentCase[160] = "";

extern "C" void Watchdog(int) {
    const char text[] = "malformed file test hung on case: ";
    (void)!write(2, text, sizeof text - 1);
    (void)!write(2, currentCase, std::strlen(currentCase));
    (void)!write(2, "\n", 1);
    _exit(3);
}

// Ends the process when one case runs longer than a few seconds, and (outside the address
// sanitizer, which reserves huge address space for itself) caps the address space so that an
// allocation sized by a number read from a file fails instead of succeeding.
class Guard {
public:
    Guard() {
        std::signal(SIGALRM, Watchdog);
#ifndef __SANITIZE_ADDRESS__
        getrlimit(RLIMIT_AS, &saved);
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit limit = saved;
        limit.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) +
                         (rlim_t{256} << 20);
        setrlimit(RLIMIT_AS, &limit);
#endif
    }
    ~Guard() {
        alarm(0);
#ifndef __SANITIZE_ADDRESS__
        setrlimit(RLIMIT_AS, &saved);
#endif
    }
    void Start(const std::string& name) {
        std::snprintf(currentCase, sizeof currentCase, "%s", name.c_str());
        alarm(10);
    }

private:
    rlimit saved{};
};
#endif

struct Outcome {
    bool opened = false;
    int cause = 0;
    std::string message;
    std::size_t tagCount = 0;
};

// Reads the first values of every tag of an open file; a read may only fail with the causes
// of a value that lies outside the file or outside the tag.
void ReadEveryTag(TuTiffFile& file) {
    for (std::size_t i = 0; i < file.TagCount(); ++i) {
        const TuTiffTag tag = file.TagAt(i);
        double values[16];
        try {
            const int n = static_cast<int>(std::min<std::uint64_t>(tag.count, 16));
            const int read = file.ReadDoubles(tag.tag, values, n, 0);
            EXPECT_TRUE(read == TagNotFound || (read >= 0 && read <= n));
        } catch (const TuError& error) {
            EXPECT_TRUE(IsReadCause(error.Cause())) << error.Cause() << " " << error.what();
        }
    }
}

// Opens the file for examination and reads its tags, then opens it for update and closes it
// without changes; both must agree, and the file must come out unchanged.
Outcome Open(const std::string& path, const Bytes& bytes) {
    Outcome outcome;
    WriteFile(path, bytes);
    const TuFileName name(path.c_str());
    try {
        TuTiffFile file(name, ModeExamine);
        outcome.opened = true;
        outcome.tagCount = file.TagCount();
        ReadEveryTag(file);
    } catch (const TuError& error) {
        outcome.cause = error.Cause();
        outcome.message = error.what();
    }
    try {
        TuTiffFile file(name, ModeUpdate);
        EXPECT_TRUE(outcome.opened) << "opened for update but not for examination";
        file.CommitAndClose();
    } catch (const TuError& error) {
        EXPECT_EQ(error.Cause(), outcome.cause) << "update and examination disagree";
    }
    EXPECT_EQ(ReadFile(path), bytes) << "opening a file changed it";
    if (!outcome.opened) {
        EXPECT_TRUE(outcome.cause == TuCauseFileReadFailed ||
                    outcome.cause == TuCauseTiffNotUnderstood)
            << outcome.cause << " " << outcome.message;
        EXPECT_NE(outcome.message.find(path), std::string::npos)
            << "the message does not name the file: " << outcome.message;
    }
    return outcome;
}

// A number of size bytes at `at` of a file image, in the file's byte order; and its patch.
std::uint64_t Number(const Bytes& b, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
        value |= std::uint64_t{b[at + static_cast<std::size_t>(b[0] == 'M' ? size - 1 - i : i)]}
                 << (8 * i);
    }
    return value;
}

void PutNumber(Bytes& b, std::size_t at, int size, std::uint64_t value) {
    for (int i = 0; i < size; ++i) {
        b[at + static_cast<std::size_t>(b[0] == 'M' ? size - 1 - i : i)] =
            static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// Where a classic TIFF or a BigTIFF has its header and first IFD, and how wide its fields are.
struct Layout {
    bool bigTiff;
    std::size_t headerSize;
    int countSize; // of an IFD's entry count
    int fieldSize; // of an offset, an entry's count and its value field
    std::uint64_t firstIfd;
    std::uint64_t entries; // of the first IFD
    std::uint64_t ifdEnd;  // one past the first IFD's next-IFD offset

    std::size_t EntrySize() const { return 4 + 2 * static_cast<std::size_t>(fieldSize); }
    // Where entry i of the IFD at ifd starts, and where that IFD's next-IFD offset lies.
    std::size_t Entry(std::uint64_t ifd, std::uint64_t i) const {
        return static_cast<std::size_t>(ifd + static_cast<std::uint64_t>(countSize) +
                                        EntrySize() * i);
    }
    std::size_t Next(std::uint64_t ifd, std::uint64_t count) const { return Entry(ifd, count); }
};

Layout LayoutOf(const Bytes& b) {
    Layout layout{};
    layout.bigTiff = Number(b, 2, 2) == 43;
    layout.headerSize = layout.bigTiff ? 16 : 8;
    layout.countSize = layout.bigTiff ? 8 : 2;
    layout.fieldSize = layout.bigTiff ? 8 : 4;
    layout.firstIfd =
        Number(b, layout.headerSize - static_cast<std::size_t>(layout.fieldSize), layout.fieldSize);
    layout.entries = Number(b, static_cast<std::size_t>(layout.firstIfd), layout.countSize);
    layout.ifdEnd =
        layout.Next(layout.firstIfd, layout.entries) + static_cast<std::uint64_t>(layout.fieldSize);
    return layout;
}

class TiffMalformed : public ::testing::TestWithParam<const char*> {
protected:
    ScratchFolder folder;
    Guard guard;
};

// A minimal valid image description: one 4 x 1 strip of bytes, and the referencing tags.
std::vector<TiffBuilder::Entry> ImageEntries(std::uint32_t stripOffset) {
    return {{256, 3, 1, 4}, {257, 3, 1, 1}, {258, 3, 1, 8},
            {259, 3, 1, 1}, {262, 3, 1, 1}, {273, 4, 1, stripOffset},
            {277, 3, 1, 1}, {278, 3, 1, 1}, {279, 4, 1, 4}};
}

} // namespace

TEST_P(TiffMalformed, every_truncation_ends_in_a_cause_or_opens) {
    const Bytes whole = Fixture(GetParam());
    const Layout layout = LayoutOf(whole);
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        guard.Start(std::string(GetParam()) + " cut to " + std::to_string(length));
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        const Outcome outcome = Open(folder.File("cut.tif"), cut);
        if (length < layout.headerSize) {
            EXPECT_EQ(outcome.cause, TuCauseFileReadFailed) << "length " << length;
        } else if (length < layout.ifdEnd) {
            EXPECT_EQ(outcome.cause, TuCauseTiffNotUnderstood) << "length " << length;
        } else {
            EXPECT_TRUE(outcome.opened) << "length " << length << ": " << outcome.message;
        }
    }
}

TEST_P(TiffMalformed, every_byte_change_of_header_and_first_directory_ends_in_a_cause_or_opens) {
    const Bytes whole = Fixture(GetParam());
    const Layout layout = LayoutOf(whole);
    ASSERT_GE(layout.ifdEnd, layout.headerSize);
    int opened = 0;
    int refused = 0;
    for (std::size_t at = 0; at < layout.ifdEnd; ++at) {
        // Skip the bytes between the header and the first IFD (image data, if any).
        if (at >= layout.headerSize && at < layout.firstIfd) {
            continue;
        }
        const std::uint8_t old = whole[at];
        for (std::uint8_t value : {std::uint8_t(0), std::uint8_t(0xFF), std::uint8_t(old ^ 0x80),
                                   std::uint8_t(old + 1)}) {
            if (value == old) {
                continue;
            }
            guard.Start(std::string(GetParam()) + " byte " + std::to_string(at) + " = " +
                        std::to_string(value));
            Bytes changed = whole;
            changed[at] = value;
            const Outcome outcome = Open(folder.File("changed.tif"), changed);
            (outcome.opened ? opened : refused)++;
        }
    }
    // Both kinds of outcome occur: the cases reach past the first checks.
    EXPECT_GT(opened, 100);
    EXPECT_GT(refused, 20);
}

INSTANTIATE_TEST_SUITE_P(tiff_file_malformed_test, TiffMalformed,
                         ::testing::Values("geotiff-le.tif", "geotiff-be.tif",
                                           "geotiff-point-le.tif", "matrix-rotated-be.tif",
                                           "geotiff-le-bigtiff.tif", "geotiff-be-bigtiff.tif"));

class tiff_file_malformed_test : public ::testing::Test {
protected:
    ScratchFolder folder;
    Guard guard;
};

TEST_F(tiff_file_malformed_test, directory_loops_of_length_1_and_3_are_refused) {
    for (bool big : {false, true}) {
        for (int length : {1, 2, 3}) {
            TiffBuilder tiff(big);
            const auto strip = static_cast<std::uint32_t>(tiff.Size());
            tiff.Put32(0x01020304);
            std::vector<std::size_t> ifds;
            std::vector<std::size_t> nexts;
            for (int i = 0; i < length; ++i) {
                ifds.push_back(tiff.Size());
                nexts.push_back(tiff.PutIfd(ImageEntries(strip)));
            }
            tiff.SetFirstIfd(static_cast<std::uint32_t>(ifds[0]));
            for (int i = 0; i + 1 < length; ++i) {
                tiff.Patch32(nexts[static_cast<std::size_t>(i)],
                             static_cast<std::uint32_t>(ifds[static_cast<std::size_t>(i) + 1]));
            }
            // The last IFD leads back to the first one.
            tiff.Patch32(nexts.back(), static_cast<std::uint32_t>(ifds[0]));
            guard.Start("loop of length " + std::to_string(length));
            EXPECT_EQ(Open(folder.File("loop.tif"), tiff.bytes).cause, TuCauseTiffNotUnderstood);
            // A loop that leads back to the last IFD, not the first.
            tiff.Patch32(nexts.back(), static_cast<std::uint32_t>(ifds.back()));
            EXPECT_EQ(Open(folder.File("loop.tif"), tiff.bytes).cause, TuCauseTiffNotUnderstood);
        }
    }
}

TEST_F(tiff_file_malformed_test, a_directory_sharing_bytes_with_the_header_is_refused) {
    // Rewriting the header at a commit would change such a directory (found by fuzzing: a
    // second IFD at offset 6, whose entry count is the low half of the first-IFD offset).
    for (bool big : {false, true}) {
        for (std::uint32_t offset : {1u, 4u, 6u, 7u}) {
            TiffBuilder tiff(big);
            tiff.SetFirstIfd(8);
            const std::size_t next = tiff.PutIfd(ImageEntries(0));
            tiff.Patch32(next, offset);
            guard.Start("directory at " + std::to_string(offset));
            EXPECT_EQ(Open(folder.File("header.tif"), tiff.bytes).cause, TuCauseTiffNotUnderstood)
                << offset;
            tiff.SetFirstIfd(offset);
            EXPECT_EQ(Open(folder.File("header.tif"), tiff.bytes).cause, TuCauseTiffNotUnderstood)
                << offset;
        }
    }
}

TEST_F(tiff_file_malformed_test, a_long_chain_of_empty_directories_opens) {
    // 20000 IFDs of no entries, each pointing to the next: bounded by the file, not a loop.
    TiffBuilder tiff(false);
    tiff.SetFirstIfd(8);
    for (int i = 0; i < 20000; ++i) {
        const std::size_t next = tiff.PutIfd({});
        if (i + 1 < 20000) {
            tiff.Patch32(next, static_cast<std::uint32_t>(tiff.Size()));
        }
    }
    guard.Start("chain of 20000 empty IFDs");
    const Outcome outcome = Open(folder.File("chain.tif"), tiff.bytes);
    EXPECT_TRUE(outcome.opened) << outcome.message;
    EXPECT_EQ(outcome.tagCount, 0u);
}

TEST_F(tiff_file_malformed_test, an_entry_count_of_65535_at_the_end_of_the_file_is_refused) {
    for (bool big : {false, true}) {
        TiffBuilder tiff(big);
        tiff.PutIfd(ImageEntries(0));
        tiff.SetFirstIfd(static_cast<std::uint32_t>(tiff.Size()));
        tiff.Put16(65535);
        guard.Start("count 65535 at the end");
        EXPECT_EQ(Open(folder.File("count.tif"), tiff.bytes).cause, TuCauseTiffNotUnderstood);
        // The same count with a few entries present is cut short inside the entries.
        for (int i = 0; i < 3; ++i) {
            tiff.PutIfd(ImageEntries(0));
        }
        EXPECT_EQ(Open(folder.File("count.tif"), tiff.bytes).cause, TuCauseTiffNotUnderstood);
    }
}

TEST_F(tiff_file_malformed_test, counts_whose_size_overflows_are_refused) {
    struct Case {
        std::uint16_t type;
        std::uint32_t count;
    };
    // Sizes of 2^32 (wraps to 0), 2^32 + 8 (wraps to a plausible 8), 2^32 + 4 (wraps to an
    // inline 4) and just below 2^33.
    const Case cases[] = {{12, 0x20000000}, {12, 0x20000001}, {5, 0x20000001}, {10, 0x3FFFFFFF},
                          {3, 0x80000000},  {3, 0x80000002},  {8, 0xFFFFFFFF}, {4, 0x40000001},
                          {9, 0x7FFFFFFF},  {11, 0x40000000}};
    for (bool big : {false, true}) {
        for (const Case& c : cases) {
            TiffBuilder tiff(big);
            const auto values = static_cast<std::uint32_t>(tiff.Size());
            for (int i = 0; i < 4; ++i) {
                tiff.PutDouble(1.0);
            }
            tiff.SetFirstIfd(static_cast<std::uint32_t>(tiff.Size()));
            auto entries = ImageEntries(values);
            entries.push_back({33550, c.type, c.count, values});
            tiff.PutIfd(entries);
            guard.Start("type " + std::to_string(c.type) + " count " + std::to_string(c.count));
            EXPECT_EQ(Open(folder.File("overflow.tif"), tiff.bytes).cause, TuCauseTiffNotUnderstood)
                << "type " << c.type << " count " << c.count;
        }
    }
}

TEST_F(tiff_file_malformed_test, offsets_beyond_the_end) {
    for (bool big : {false, true}) {
        const std::string path = folder.File("beyond.tif");
        {
            // The first IFD at, and far beyond, the end of the file.
            TiffBuilder tiff(big);
            tiff.PutIfd(ImageEntries(0));
            for (std::uint32_t offset : {std::uint32_t(tiff.Size()), 0x7FFFFFFFu, 0xFFFFFFFFu}) {
                tiff.SetFirstIfd(offset);
                guard.Start("first IFD beyond the end");
                EXPECT_EQ(Open(path, tiff.bytes).cause, TuCauseTiffNotUnderstood);
            }
        }
        {
            // A next-IFD offset beyond the end.
            TiffBuilder tiff(big);
            tiff.SetFirstIfd(8);
            const std::size_t next = tiff.PutIfd(ImageEntries(0));
            tiff.Patch32(next, 0xFFFFFFF0u);
            guard.Start("next IFD beyond the end");
            EXPECT_EQ(Open(path, tiff.bytes).cause, TuCauseTiffNotUnderstood);
        }
        // Values beyond the end, and values whose end passes 2^32: the file opens (values are
        // read on demand), and reading them fails with a cause instead of reading elsewhere.
        for (std::uint32_t offset : {0x1000u, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
            TiffBuilder tiff(big);
            tiff.SetFirstIfd(8);
            auto entries = ImageEntries(0);
            entries.push_back({33550, 12, 3, offset});
            tiff.PutIfd(entries);
            guard.Start("values beyond the end");
            const Outcome outcome = Open(path, tiff.bytes);
            ASSERT_TRUE(outcome.opened) << outcome.message;
            TuTiffFile file(TuFileName(path.c_str()), ModeExamine);
            double values[3] = {7, 7, 7};
            try {
                file.ReadDoubles(TiffTagModelPixelScale, values, 3, 0);
                ADD_FAILURE() << "values beyond the end were read";
            } catch (const TuError& error) {
                EXPECT_TRUE(IsReadCause(error.Cause())) << error.what();
            }
        }
    }
}

// The BigTIFF fixtures patched: directory loops, entry counts and value counts whose sizes
// overflow, and offsets past 2^63 (the largest a file can have) and near 2^64.
class BigTiffPatched : public ::testing::TestWithParam<const char*> {
protected:
    // Opens the fixture with one number patched; the outcome, the file checked unchanged.
    Outcome Patched(std::size_t at, int size, std::uint64_t value, const std::string& what) {
        Bytes bytes = Fixture(GetParam());
        PutNumber(bytes, at, size, value);
        guard.Start(std::string(GetParam()) + ": " + what);
        return Open(folder.File("patched.tif"), bytes);
    }

    ScratchFolder folder;
    Guard guard;
    const Bytes whole = Fixture(GetParam());
    const Layout layout = LayoutOf(whole);
};

TEST_P(BigTiffPatched, directory_loops_are_refused) {
    ASSERT_TRUE(layout.bigTiff);
    const std::size_t next = layout.Next(layout.firstIfd, layout.entries);
    EXPECT_EQ(Patched(next, 8, layout.firstIfd, "loop of one").cause, TuCauseTiffNotUnderstood);
    const std::uint64_t second = Number(whole, next, 8);
    if (second != 0) {
        // The second IFD back to the first, and back to itself.
        const std::uint64_t count = Number(whole, second, 8);
        const std::size_t secondNext = layout.Next(second, count);
        EXPECT_EQ(Patched(secondNext, 8, layout.firstIfd, "loop of two").cause,
                  TuCauseTiffNotUnderstood);
        EXPECT_EQ(Patched(secondNext, 8, second, "loop back to the last").cause,
                  TuCauseTiffNotUnderstood);
    }
}

TEST_P(BigTiffPatched, overflowing_entry_counts_and_value_counts_are_refused) {
    for (std::uint64_t count : {std::uint64_t{1} << 16, std::uint64_t{1} << 32,
                                std::uint64_t{1} << 63, ~std::uint64_t{0}}) {
        EXPECT_EQ(Patched(static_cast<std::size_t>(layout.firstIfd), 8, count,
                          "entry count " + std::to_string(count))
                      .cause,
                  TuCauseTiffNotUnderstood)
            << count;
    }
    // The count of each entry: sizes of 2^63 (no file reaches that far), of 2^64 + one element
    // (which wraps to a plausible size), and the largest count.
    for (std::uint64_t i = 0; i < layout.entries; ++i) {
        const std::size_t entry = layout.Entry(layout.firstIfd, i);
        const std::uint64_t element =
            TiffTypeInfo(static_cast<unsigned>(Number(whole, entry + 2, 2))).elementSize;
        std::vector<std::uint64_t> counts = {(std::uint64_t{1} << 63) / element,
                                             (std::uint64_t{1} << 63) / element + 1,
                                             ~std::uint64_t{0}};
        if (element > 1) {
            counts.push_back(~std::uint64_t{0} / element + 1);
        }
        for (std::uint64_t count : counts) {
            EXPECT_EQ(Patched(entry + 4, 8, count,
                              "entry " + std::to_string(i) + " count " + std::to_string(count))
                          .cause,
                      TuCauseTiffNotUnderstood)
                << i << " " << count;
        }
    }
}

TEST_P(BigTiffPatched, offsets_past_2_63_are_refused) {
    const std::uint64_t offsets[] = {std::uint64_t{1} << 63, (std::uint64_t{1} << 63) + 16,
                                     ~std::uint64_t{0} - 15, ~std::uint64_t{0}};
    for (std::uint64_t offset : offsets) {
        EXPECT_EQ(Patched(8, 8, offset, "first IFD " + std::to_string(offset)).cause,
                  TuCauseTiffNotUnderstood);
        EXPECT_EQ(Patched(layout.Next(layout.firstIfd, layout.entries), 8, offset,
                          "next IFD " + std::to_string(offset))
                      .cause,
                  TuCauseTiffNotUnderstood);
    }
    // Values that lie at such offsets: the file opens (values are read on demand), and the
    // reads of every tag, which Open makes, end in a cause instead of reading elsewhere.
    for (std::uint64_t i = 0; i < layout.entries; ++i) {
        const std::size_t entry = layout.Entry(layout.firstIfd, i);
        const auto type = static_cast<unsigned>(Number(whole, entry + 2, 2));
        if (Number(whole, entry + 4, 8) * TiffTypeInfo(type).elementSize <= 8) {
            continue; // inline: no offset
        }
        for (std::uint64_t offset : offsets) {
            const Outcome outcome =
                Patched(entry + 12, 8, offset, "values of entry " + std::to_string(i));
            EXPECT_TRUE(outcome.opened) << outcome.message;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(tiff_file_malformed_test, BigTiffPatched,
                         ::testing::Values("geotiff-le-bigtiff.tif", "geotiff-be-bigtiff.tif",
                                           "overviews-be-bigtiff.tif"));

TEST_F(tiff_file_malformed_test, a_file_too_short_for_a_header_is_refused_with_the_read_cause) {
    for (const Bytes& bytes : {Bytes{}, Bytes{'I'}, Bytes{'I', 'I', 42, 0, 8, 0, 0}}) {
        guard.Start("short header");
        EXPECT_EQ(Open(folder.File("short.tif"), bytes).cause, TuCauseFileReadFailed);
    }
}
