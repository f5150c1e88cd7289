// TuTiffFile: access to one TIFF file, classic or BigTIFF: its header, its chain of image file
// directories, the values of its tags as doubles, and in-place updates with a safely committed
// directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "uByteOrder.h"
#include "uFileName.h"
#include "uFileStream.h"
#include "uTiffFieldType.h"
#include "uTiffLayout.h"

// The answer of a lookup that finds nothing.
constexpr int TagNotFound = 2147483647;

constexpr int ModeExamine = 1;   // read only
constexpr int ModeUpdate = 2;    // read and write an existing file
constexpr int ModeCreate = 3;    // a new file; an existing one is refused
constexpr int ModeOverwrite = 4; // a new file; an existing one is truncated

constexpr int TiffTagModelPixelScale = 33550;
constexpr int TiffTagModelTiepoint = 33922;
constexpr int TiffTagModelTransformation = 34264;

// Where a lookup looks: through every directory of the chain, or only in the first one (the
// main image, whose tags GDAL reads; later directories hold overviews and masks).
enum class TuTagScope { AnyDirectory, FirstDirectory };

// The offset of an entry whose values are held inline, in the entry itself.
constexpr std::uint64_t TiffInlineOffset = ~std::uint64_t{0};

// One directory entry in memory. Counts, sizes and offsets are 64 bits wide, as BigTIFF stores
// them; a classic TIFF's fit in their low 32 bits.
struct TuTiffTag {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint64_t count = 0;
    std::uint64_t size = 0;                  // the bytes of the values
    std::uint64_t offset = TiffInlineOffset; // where the values lie, unless held inline
    // Values held inline, in host order: up to 4 bytes in a classic TIFF, 8 in a BigTIFF; the
    // bytes the values do not cover are zero. All zero when the values lie at offset.
    unsigned char inlineValue[8] = {0, 0, 0, 0, 0, 0, 0, 0};

    TuTiffTag() = default;
    TuTiffTag(std::uint16_t tag, std::uint16_t type, std::uint64_t count);
};

// Asks a TuTiffFile to open in ModeUpdate where TuFileAccess mode 6 would grant it, and in
// ModeExamine otherwise.
struct TuUpdateIfPermitted {};
constexpr TuUpdateIfPermitted UpdateIfPermitted{};

class TuTiffFile : public TuFileName {
public:
    // Opens the file in one of the four modes; modes 1 and 2 read the header and every
    // directory of the chain. Raises a catalogue cause on failure, leaving nothing open.
    TuTiffFile(const TuFileName& name, int mode);
    // Opens in ModeUpdate when the file may be both read and written (the system lets it be
    // opened for writing and it has a write permission bit), else in ModeExamine; IsWritable
    // tells which. The outcome, errors included, is that of testing with TuFileAccess mode 6
    // and then opening, without the two system calls of the test when opening succeeds.
    TuTiffFile(const TuFileName& name, TuUpdateIfPermitted);
    TuTiffFile(const TuTiffFile&) = delete;
    TuTiffFile& operator=(const TuTiffFile&) = delete;
    // Closes the file; commits nothing (owners call CommitAndClose first).
    ~TuTiffFile() override;

    // Commits pending changes when commitOnClose is set (the new directory if tags were added,
    // then the header), then closes the file. The file is closed whether or not the commit
    // succeeds; a commit error passes on to the caller after the close.
    void CommitAndClose();

    bool commitOnClose = false;

    // The index of the first entry with the tag id (its low 16 bits) within the scope.
    int FindTag(int tagId, TuTagScope scope = TuTagScope::AnyDirectory) const noexcept;
    const TuTiffTag& TagAt(std::size_t index) const;
    std::size_t TagCount() const noexcept;
    // Reads up to n values of a tag from element start; returns how many, or TagNotFound.
    int ReadDoubles(int tagId, double* values, int n, int start,
                    TuTagScope scope = TuTagScope::AnyDirectory);
    // Adds an entry to the first directory and reserves room for its values at the end of the
    // file.
    void AddTag(const TuTiffTag& tag);
    // Removes the first entry with the tag id within the scope from its directory, which the
    // commit then writes anew; its values stay in the file, unreferenced. Returns whether there
    // was one.
    bool RemoveTag(int tagId, TuTagScope scope = TuTagScope::AnyDirectory);
    // Writes n values as elements start .. start + n - 1 of a tag. Values that lie in the file
    // as it was opened are held until the commit, so that an interrupted update leaves the old
    // referencing or the new one, never a mixture; others go into the file at once.
    // Every write, here or at the commit, is preceded by a check that the file is still the one
    // that was read, as this object left it; a file that another program changed raises
    // TuCauseTiffChangedSinceExamined and is not written, so that a change made before the update
    // began leaves it without a byte of Kestrel's.
    void WriteDoubles(int tagId, const double* values, int n, int start,
                      TuTagScope scope = TuTagScope::AnyDirectory);

    bool IsBigEndian() const noexcept { return byteOrder == TuByteOrder::BigEndian; }
    // Whether the file has the BigTIFF layout (magic 43, 64-bit offsets); a created file is
    // classic.
    bool IsBigTiff() const noexcept { return layout.offsetSize == BigTiff.offsetSize; }
    bool IsWritable() const noexcept { return writable; }

private:
    // One image file directory of the chain as read (or, for a file without one, to be made).
    struct Directory {
        std::uint64_t offset = 0;     // where it lies in the file; 0 for one not yet written
        std::uint64_t byteSize = 0;   // its count, entries and next-IFD offset
        std::uint64_t nextOffset = 0; // its next-IFD offset
        bool changed = false;         // must be written anew at commit
    };

    // Reads the header and the directory chain of a file opened for examination or update.
    void ReadOpened();
    void ReadDirectory();
    TuTiffTag DecodeEntry(const unsigned char* bytes) const;
    void EncodeEntry(const TuTiffTag& entry, unsigned char* bytes) const;
    // An offset, or an entry's count, as wide as the layout has them, in the file's order.
    std::uint64_t LoadOffset(const unsigned char* bytes) const;
    void StoreOffset(unsigned char* bytes, std::uint64_t value) const;
    // The largest offset at which anything appended to the file may end: 4 GiB - 1 in a classic
    // TIFF, the largest offset a file can have in a BigTIFF.
    std::uint64_t LargestEnd() const noexcept;
    // Reads elements first .. first + count - 1 of entry as doubles into values.
    void ReadValues(const TuTiffTag& entry, std::uint64_t first, std::uint64_t count,
                    double* values);
    bool CanWriteInPlace(const TuTiffTag& entry) const;
    // Moves the values of tags[index] to the end of the file as DOUBLE (or, where one DOUBLE
    // fits in a BigTIFF entry, into the entry), with elements start .. start + n - 1 replaced
    // by values.
    void Replace(std::size_t index, const double* values, std::uint32_t n, std::uint32_t start);
    // Reserves size bytes at endMark for values of an entry of directories[directory], which
    // then gains addedEntries entries; returns their offset.
    std::uint64_t Reserve(std::uint64_t size, std::size_t directory, std::size_t addedEntries);
    // The bytes of the directories a commit writes once directories[directory] has changed and
    // the first directory gained addedEntries entries.
    std::uint64_t DirectoryBytes(std::size_t directory, std::size_t addedEntries) const;
    // Raises when size bytes of values appended at endMark and then the directories of
    // DirectoryBytes would end beyond LargestEnd.
    void RaiseIfUnaddressable(std::uint64_t size, std::size_t directory,
                              std::size_t addedEntries) const;
    // A classic TIFF: TuCauseTiffBeyondFourGiB. A BigTIFF, which reaches that far only by
    // claiming more values than any file can hold: TuCauseTiffNotUnderstood.
    [[noreturn]] void RaiseUnaddressable() const;
    // Raises TuCauseTiffChangedSinceExamined when the name no longer names the open file, or the
    // file's length, modification time or the bytes of its header and directories as read at open
    // are no longer what this object left them.
    void RaiseIfChanged();
    // Writes n values as DOUBLE elements at offset; a short write raises
    // TuCauseTiffTagWriteFailed naming the tag.
    void WriteDoublesAt(std::uint64_t offset, const double* values, std::size_t n,
                        std::uint16_t tag);
    // Writes through the stream once RaiseIfChanged has passed; the file's state after the
    // write is this object's own doing, and what the next check compares with.
    std::size_t WriteChecked(std::uint64_t offset, const void* bytes, std::size_t size);
    // A write into values that lie in the file as opened, held until the commit.
    struct HeldWrite {
        std::size_t index;
        std::uint32_t first;
        std::vector<double> values;
    };
    // Stores the held writes: with one write where they form one run of bytes and no directory
    // changes, so that it either happens or not; otherwise by moving the tags' values to the
    // end of the file, so that the header, written last, switches from old to new.
    void StoreHeldWrites();
    void Commit();
    std::size_t BuildDirectories(std::vector<unsigned char>& bytes, std::uint64_t& firstOffset);
    void WriteHeader(std::uint64_t firstOffset);
    [[noreturn]] void RaiseNotUnderstood() const;

    TuByteOrder byteOrder = TuByteOrder::LittleEndian;
    TuTiffLayout layout = ClassicTiff;
    bool directoryChanged = false;
    bool writable = false;
    std::uint16_t magic = ClassicTiff.magic;
    std::uint64_t firstIfdOffset = 0;
    std::uint64_t endMark = 0; // where the next appended block goes
    TuFileStream stream;
    std::vector<TuTiffTag> tags;
    std::vector<std::size_t> owners; // the index in directories of each entry of tags
    std::vector<Directory> directories;
    std::vector<HeldWrite> held;
    // The file's state as this object last left it: as opened, then after each own write.
    TuFileState expected;
    // The header and every directory, with their bytes as read at open.
    struct ReadBlock {
        std::uint64_t offset;
        std::vector<unsigned char> bytes;
    };
    std::vector<ReadBlock> examined;
};
