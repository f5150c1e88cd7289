#include "uTiffFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <set>

#include "uCauses.h"
#include "uError.h"
#include "uFileTest.h"

namespace {

constexpr const char* SourcePath = "Utility\\uTiffFile";

constexpr std::uint64_t Inline = TiffInlineOffset;
// More directories than any real file has; a chain longer than this is refused rather than
// followed through millions of reads.
constexpr std::size_t MaxDirectories = std::size_t{1} << 20;
// More entries than a directory has: a classic TIFF's 16-bit count cannot exceed it, and a
// BigTIFF's 64-bit count above it is damage, not a directory to allocate and read.
constexpr std::uint64_t MaxEntries = 0xFFFF;
// The largest offset a file can have: positioned reads and writes stop below 2^63.
constexpr std::uint64_t LargestFileOffset = (std::uint64_t{1} << 63) - 1;

// The bytes at the start of the file read with one call when it is opened for examination or
// update. A small GeoTIFF as GDAL makes it has its header, first directory and referencing
// values within its first few KiB, so opening it and reading the two tags takes one read
// instead of five. Examining a file reads under 16 KiB of it however large it is; 4 KiB keeps
// well below that.
constexpr std::size_t HeadBytes = 4096;

// Values are converted in blocks of this many elements, so that a long tag never needs
// a buffer as large as its data.
constexpr std::uint64_t BlockElements = 4096;

// The byte order that the first byte of a header names: 'M' (0x4D) big-endian, whatever the
// second byte is; any other byte little-endian.
TuByteOrder ByteOrderNamedBy(unsigned char mark) {
    return mark == 'M' ? TuByteOrder::BigEndian : TuByteOrder::LittleEndian;
}

// The mark of the given order, written as both first bytes of a header.
unsigned char ByteOrderMark(TuByteOrder order) {
    return order == TuByteOrder::BigEndian ? 'M' : 'I';
}

std::uint16_t Load16(const unsigned char* bytes, TuByteOrder order) {
    std::uint16_t value;
    std::memcpy(&value, bytes, 2);
    return Swap16(value, order);
}

std::uint32_t Load32(const unsigned char* bytes, TuByteOrder order) {
    std::uint32_t value;
    std::memcpy(&value, bytes, 4);
    return Swap32(value, order);
}

std::uint64_t Load64(const unsigned char* bytes, TuByteOrder order) {
    std::uint64_t value;
    std::memcpy(&value, bytes, 8);
    return Swap64(value, order);
}

void Store16(unsigned char* bytes, std::uint16_t value, TuByteOrder order) {
    value = Swap16(value, order);
    std::memcpy(bytes, &value, 2);
}

void Store32(unsigned char* bytes, std::uint32_t value, TuByteOrder order) {
    value = Swap32(value, order);
    std::memcpy(bytes, &value, 4);
}

void Store64(unsigned char* bytes, std::uint64_t value, TuByteOrder order) {
    value = Swap64(value, order);
    std::memcpy(bytes, &value, 8);
}

// The size of a DOUBLE element: every value is written as one.
constexpr std::uint32_t DoubleSize = TiffTypeInfo(TiffTypeDouble).elementSize;

// values[0 .. n-1] as DOUBLE elements in the given order, from out on.
void EncodeDoubles(unsigned char* out, const double* values, std::size_t n, TuByteOrder order) {
    for (std::size_t i = 0; i < n; ++i) {
        const double value = SwapDouble(values[i], order);
        std::memcpy(out + DoubleSize * i, &value, DoubleSize);
    }
}

// Whether [offset, offset + size) and [start, start + length) share a byte; no sum is formed,
// so offsets near 2^64 cannot wrap around.
bool Overlaps(std::uint64_t offset, std::uint64_t size, std::uint64_t start, std::uint64_t length) {
    return offset >= start ? offset - start < length : start - offset < size;
}

// Whether [offset, offset + size) lies within the first `limit` bytes, without wrapping.
bool FitsWithin(std::uint64_t offset, std::uint64_t size, std::uint64_t limit) {
    return size <= limit && offset <= limit - size;
}

} // namespace

TuTiffTag::TuTiffTag(std::uint16_t tag, std::uint16_t type, std::uint64_t count)
    : tag(tag), type(type), count(count), size(TiffTypeInfo(type).elementSize * count) {}

TuTiffFile::TuTiffFile(const TuFileName& name, int mode) : TuFileName(name) {
    tags.reserve(20); // room for the entries of a usual GeoTIFF without growing
    owners.reserve(20);
    TuOpenMode openMode = TuOpenMode::Read;
    TuOpenAccess wanted = TuOpenAccess::ReadWrite;
    switch (mode) {
    case ModeExamine:
        wanted = TuOpenAccess::Read;
        break;
    case ModeUpdate:
        openMode = TuOpenMode::ReadWrite;
        writable = true;
        break;
    case ModeCreate:
        writable = true;
        if (TuFileAccess(GetPath(), TuAccessExists) == 0) {
            throw TuException(TuCauseCreateFileExists, 1, GetPath());
        }
        // Creating only a new file also refuses one that appears between the test and the open.
        openMode = TuOpenMode::CreateNew;
        break;
    case ModeOverwrite:
        writable = true;
        openMode = TuOpenMode::CreateOrEmpty;
        break;
    default:
        throw TuException(TuCauseTiffOpenModeInvalid, 1, GetPath());
    }
    if (const int error = stream.Open(GetPath(), openMode); error != 0) {
        // A directory (or any other file that is not a regular one) is reported as the
        // permission failure that names it as such.
        RaiseOpenFailure(wanted, error == TuOsIsAFolder ? TuOsAccessDenied : error);
    }
    if (mode == ModeExamine || mode == ModeUpdate) {
        ReadOpened();
    } else {
        expected = stream.OpenedState();
        endMark = ClassicTiff.headerSize; // room for the header, written at commit
    }
}

TuTiffFile::TuTiffFile(const TuFileName& name, TuUpdateIfPermitted) : TuFileName(name) {
    tags.reserve(20);
    owners.reserve(20);
    const int error = stream.Open(GetPath(), TuOpenMode::ReadWrite);
    writable = error == 0 && TuHasWriteBit(stream.Mode());
    if (!writable) {
        // Where opening for writing fails, the test would have chosen update mode all the
        // same if it grants reading and writing (a folder, no descriptor left): that open's
        // failure is reported. Otherwise, and for a file without any write bit, the file is
        // examined, as the superuser too must see a read-only file.
        if (error != 0 && TuFileAccess(GetPath(), TuAccessReadWrite) == 0) {
            RaiseOpenFailure(TuOpenAccess::ReadWrite,
                             error == TuOsIsAFolder ? TuOsAccessDenied : error);
        }
        if (const int readError = stream.Open(GetPath(), TuOpenMode::Read); readError != 0) {
            RaiseOpenFailure(TuOpenAccess::Read,
                             readError == TuOsIsAFolder ? TuOsAccessDenied : readError);
        }
    }
    ReadOpened();
}

void TuTiffFile::ReadOpened() {
    expected = stream.OpenedState();
    endMark = stream.Length();
    stream.ReadHead(HeadBytes);
    ReadDirectory();
}

TuTiffFile::~TuTiffFile() {
    static_cast<void>(stream.Close()); // a destructor has no one to tell
}

void TuTiffFile::RaiseNotUnderstood() const {
    throw TuException(TuCauseTiffNotUnderstood, 1, GetPath());
}

std::uint64_t TuTiffFile::LoadOffset(const unsigned char* bytes) const {
    return layout.offsetSize == 8 ? Load64(bytes, byteOrder) : Load32(bytes, byteOrder);
}

void TuTiffFile::StoreOffset(unsigned char* bytes, std::uint64_t value) const {
    if (layout.offsetSize == 8) {
        Store64(bytes, value, byteOrder);
    } else {
        Store32(bytes, static_cast<std::uint32_t>(value), byteOrder);
    }
}

std::uint64_t TuTiffFile::LargestEnd() const noexcept {
    return std::min(layout.LargestOffset(), LargestFileOffset);
}

void TuTiffFile::ReadDirectory() {
    tags.clear();
    owners.clear();
    directories.clear();
    examined.clear();
    layout = ClassicTiff;
    // The first 8 bytes tell the layout: a magic number of 43 is a BigTIFF, whose header goes
    // on for 8 bytes more; any other number is kept as a classic TIFF's.
    unsigned char header[BigTiff.headerSize];
    if (stream.ReadAt(0, header, ClassicTiff.headerSize) != ClassicTiff.headerSize) {
        throw TuException(TuCauseFileReadFailed, 2, GetPath(), stream.Error());
    }
    byteOrder = ByteOrderNamedBy(header[0]);
    magic = Load16(header + 2, byteOrder);
    if (magic == BigTiff.magic) {
        layout = BigTiff;
        const std::size_t rest = BigTiff.headerSize - ClassicTiff.headerSize;
        if (stream.ReadAt(ClassicTiff.headerSize, header + ClassicTiff.headerSize, rest) != rest) {
            throw TuException(TuCauseFileReadFailed, 2, GetPath(), stream.Error());
        }
        // Bytes 4-5 give the size of an offset, which is 8, and bytes 6-7 are 0: any other
        // values describe a layout this reader does not know.
        if (Load16(header + 4, byteOrder) != BigTiff.offsetSize ||
            Load16(header + 6, byteOrder) != 0) {
            RaiseNotUnderstood();
        }
    }
    examined.push_back(
        ReadBlock{0, std::vector<unsigned char>(header, header + layout.headerSize)});
    // The first directory's offset ends the header.
    firstIfdOffset = LoadOffset(header + layout.headerSize - layout.offsetSize);

    const std::uint64_t length = stream.Length();
    std::set<std::uint64_t> seen;
    std::uint64_t directoryBytes = 0;
    std::vector<unsigned char> bytes;
    for (std::uint64_t offset = firstIfdOffset; offset != 0;) {
        // A chain that comes back to a directory would be read for ever.
        if (!seen.insert(offset).second || seen.size() > MaxDirectories) {
            RaiseNotUnderstood();
        }
        // A directory that shares bytes with the header would change with it at every commit.
        if (offset < layout.headerSize) {
            RaiseNotUnderstood();
        }
        unsigned char countBytes[BigTiff.entryCountSize];
        const std::size_t countSize = layout.entryCountSize;
        if (!FitsWithin(offset, countSize, length) ||
            stream.ReadAt(offset, countBytes, countSize) != countSize) {
            RaiseNotUnderstood();
        }
        const std::uint64_t count =
            countSize == 2 ? Load16(countBytes, byteOrder) : Load64(countBytes, byteOrder);
        if (count > MaxEntries) {
            RaiseNotUnderstood();
        }
        const std::uint64_t byteSize = layout.DirectorySize(count);
        // Directories of a sound file do not overlap, so together they fit in the file;
        // holding to that bounds the entries kept by the file's size.
        directoryBytes += byteSize;
        if (!FitsWithin(offset, byteSize, length) || directoryBytes > length) {
            RaiseNotUnderstood();
        }
        bytes.resize(byteSize - countSize);
        if (stream.ReadAt(offset + countSize, bytes.data(), bytes.size()) != bytes.size()) {
            RaiseNotUnderstood();
        }
        Directory directory;
        directory.offset = offset;
        directory.byteSize = byteSize;
        directory.nextOffset = LoadOffset(bytes.data() + layout.EntrySize() * count);
        for (std::size_t i = 0; i < count; ++i) {
            tags.push_back(DecodeEntry(bytes.data() + layout.EntrySize() * i));
            owners.push_back(directories.size());
        }
        directories.push_back(directory);
        ReadBlock block{offset, std::vector<unsigned char>(countBytes, countBytes + countSize)};
        block.bytes.insert(block.bytes.end(), bytes.begin(), bytes.end());
        examined.push_back(std::move(block));
        offset = directory.nextOffset;
    }
}

TuTiffTag TuTiffFile::DecodeEntry(const unsigned char* bytes) const {
    // Tag and type, then the count and the value field, each as wide as an offset.
    TuTiffTag entry;
    entry.tag = Load16(bytes, byteOrder);
    entry.type = Load16(bytes + 2, byteOrder);
    entry.count = LoadOffset(bytes + 4);
    const TuTiffTypeInfo type = TiffTypeInfo(entry.type);
    // Type 0 is what an entry never written holds. Values of more bytes than the format can
    // address cannot be in the file (tested by division, so that no product wraps around).
    if (entry.type == 0 || entry.count > LargestEnd() / type.elementSize) {
        RaiseNotUnderstood();
    }
    entry.size = entry.count * type.elementSize;
    const unsigned char* value = bytes + 4 + layout.offsetSize;
    if (!layout.HoldsInline(entry.size)) {
        entry.offset = LoadOffset(value);
        return entry;
    }
    entry.offset = Inline;
    // Values of a type whose elements do not fit in the value field (RATIONAL, SRATIONAL and
    // DOUBLE without values in a classic TIFF), or of an undefined type, cannot be inline.
    if (!layout.CanHoldInline(entry.type)) {
        RaiseNotUnderstood();
    }
    TiffReorderValues(entry.inlineValue, value, entry.size, type, byteOrder);
    return entry;
}

void TuTiffFile::EncodeEntry(const TuTiffTag& entry, unsigned char* bytes) const {
    Store16(bytes, entry.tag, byteOrder);
    Store16(bytes + 2, entry.type, byteOrder);
    StoreOffset(bytes + 4, entry.count);
    unsigned char* value = bytes + 4 + layout.offsetSize;
    if (!layout.HoldsInline(entry.size)) {
        StoreOffset(value, entry.offset);
        return;
    }
    if (!layout.CanHoldInline(entry.type)) {
        throw TuException(TuCauseInternalError, 2, __LINE__, SourcePath);
    }
    TiffReorderValues(value, entry.inlineValue, layout.offsetSize, TiffTypeInfo(entry.type),
                      byteOrder);
}

int TuTiffFile::FindTag(int tagId, TuTagScope scope) const noexcept {
    const auto id = static_cast<std::uint16_t>(tagId & 0xFFFF);
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (tags[i].tag == id && (scope == TuTagScope::AnyDirectory || owners[i] == 0)) {
            return static_cast<int>(i);
        }
    }
    return TagNotFound;
}

const TuTiffTag& TuTiffFile::TagAt(std::size_t index) const {
    if (index >= tags.size()) {
        throw TuException(TuCauseTiffEntryIndexInvalid, 2, GetPath(),
                          static_cast<unsigned long>(index));
    }
    return tags[index];
}

std::size_t TuTiffFile::TagCount() const noexcept {
    return tags.size();
}

void TuTiffFile::ReadValues(const TuTiffTag& entry, std::uint64_t first, std::uint64_t count,
                            double* values) {
    const TuTiffTypeInfo type = TiffTypeInfo(entry.type);
    if (!type.IsNumeric()) {
        RaiseNotUnderstood();
    }
    const std::uint32_t elementSize = type.elementSize;
    if (layout.HoldsInline(entry.size)) {
        // Inline values are held in host order.
        for (std::uint64_t i = 0; i < count; ++i) {
            values[i] = TiffDecodeElement(entry.inlineValue + elementSize * (first + i), type,
                                          TuHostByteOrder);
        }
        return;
    }
    // Values said to lie outside the file (or in room not yet reserved) cannot be read.
    if (entry.offset == Inline || !FitsWithin(entry.offset, entry.size, endMark)) {
        RaiseNotUnderstood();
    }
    std::vector<unsigned char> block;
    for (std::uint64_t done = 0; done < count;) {
        const std::uint64_t elements = std::min(BlockElements, count - done);
        block.resize(elements * elementSize);
        const std::uint64_t at = entry.offset + (first + done) * elementSize;
        if (stream.ReadAt(at, block.data(), block.size()) != block.size()) {
            throw TuException(TuCauseTiffTagReadFailed, 2, GetPath(), int{entry.tag});
        }
        for (std::uint64_t i = 0; i < elements; ++i) {
            values[done + i] = TiffDecodeElement(block.data() + i * elementSize, type, byteOrder);
        }
        done += elements;
    }
}

int TuTiffFile::ReadDoubles(int tagId, double* values, int n, int start, TuTagScope scope) {
    const int index = FindTag(tagId, scope);
    if (index == TagNotFound) {
        return TagNotFound;
    }
    const TuTiffTag entry = tags[static_cast<std::size_t>(index)];
    if (n <= 0) {
        return 0;
    }
    // Every count is below 2^63: its values fit in a file.
    const auto count = static_cast<std::int64_t>(entry.count);
    const std::int64_t wanted = std::min<std::int64_t>(n, count);
    if (wanted == 0) {
        return 0;
    }
    // Elements start .. start + wanted - 1; those the tag has are read, and the first one
    // it lacks raises, as an element-by-element read would.
    const std::int64_t first = start;
    const std::int64_t end = std::min<std::int64_t>(first + wanted, count);
    if (first >= 0 && first < end) {
        ReadValues(entry, static_cast<std::uint64_t>(first),
                   static_cast<std::uint64_t>(end - first), values);
    }
    if (first < 0 || first + wanted > count) {
        const std::int64_t missing = first < 0 ? first : std::max<std::int64_t>(first, count);
        throw TuException(TuCauseTiffElementMissing, 2, int{entry.tag}, static_cast<int>(missing));
    }
    return static_cast<int>(wanted);
}

std::uint64_t TuTiffFile::DirectoryBytes(std::size_t directory, std::size_t addedEntries) const {
    // Every directory up to the last changed one is written anew.
    std::size_t last = directory;
    for (std::size_t j = 0; j < directories.size(); ++j) {
        if (directories[j].changed) {
            last = std::max(last, j);
        }
    }
    std::vector<std::uint64_t> entries(last + 1, 0);
    entries[0] = addedEntries; // added tags go into the first directory
    for (std::size_t owner : owners) {
        if (owner <= last) {
            ++entries[owner];
        }
    }
    std::uint64_t total = 0;
    for (std::uint64_t count : entries) {
        total += layout.DirectorySize(count);
    }
    return total;
}

void TuTiffFile::RaiseIfUnaddressable(std::uint64_t size, std::size_t directory,
                                      std::size_t addedEntries) const {
    // Every offset of a classic TIFF is 32 bits wide: whatever is appended must end within
    // 4 GiB, the directories that name the values included. Checked before anything is
    // appended, so that a file too large for the update is left as it is. A classic TIFF is
    // never turned into a BigTIFF to make room: other programs may rely on its layout.
    const std::uint64_t largest = LargestEnd();
    const std::uint64_t directoryBytes = DirectoryBytes(directory, addedEntries);
    if (size > largest || endMark > largest - size || directoryBytes > largest - endMark - size) {
        RaiseUnaddressable();
    }
}

void TuTiffFile::RaiseUnaddressable() const {
    if (IsBigTiff()) {
        RaiseNotUnderstood();
    }
    throw TuException(TuCauseTiffBeyondFourGiB, 1, GetPath());
}

std::uint64_t TuTiffFile::Reserve(std::uint64_t size, std::size_t directory,
                                  std::size_t addedEntries) {
    RaiseIfUnaddressable(size, directory, addedEntries);
    const std::uint64_t offset = endMark;
    endMark += size;
    return offset;
}

void TuTiffFile::RaiseIfChanged() {
    TuFileState now;
    if (!stream.QueryState(now)) {
        throw TuException(TuCauseFileReadFailed, 2, GetPath(), stream.Error());
    }
    // The name must still lead to the open file: a file put in its place (by a rename, say)
    // is another file, and the open one may be deleted already.
    TuFileInfo named;
    bool unchanged = now == expected && TuQueryFileInfo(GetPath(), named) == TuOsNoError &&
                     named.state.SameFile(expected);
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; unchanged && i < examined.size(); ++i) {
        const ReadBlock& block = examined[i];
        bytes.resize(block.bytes.size());
        unchanged =
            stream.ReadPastHeadAt(block.offset, bytes.data(), bytes.size()) == bytes.size() &&
            bytes == block.bytes;
    }
    if (!unchanged) {
        throw TuException(TuCauseTiffChangedSinceExamined, 1, GetPath());
    }
}

std::size_t TuTiffFile::WriteChecked(std::uint64_t offset, const void* bytes, std::size_t size) {
    RaiseIfChanged();
    const std::size_t written = stream.WriteAt(offset, bytes, size);
    // A failed query leaves the old state, and the next check reports the failure.
    static_cast<void>(stream.QueryState(expected));
    return written;
}

void TuTiffFile::AddTag(const TuTiffTag& tag) {
    TuTiffTag entry = tag;
    const TuTiffTypeInfo type = TiffTypeInfo(entry.type);
    // An entry the directory could not hold is a fault of the caller: refuse it now rather
    // than fail half-way through the commit.
    if (!type.IsDefined()) {
        throw TuException(TuCauseInternalError, 2, __LINE__, SourcePath);
    }
    if (entry.count > LargestEnd() / type.elementSize) {
        RaiseUnaddressable();
    }
    const std::uint64_t size = type.elementSize * entry.count;
    if (layout.HoldsInline(size) && !layout.CanHoldInline(entry.type)) {
        throw TuException(TuCauseInternalError, 2, __LINE__, SourcePath);
    }
    if (directories.empty()) {
        directories.push_back(Directory{});
    }
    if (!layout.HoldsInline(size)) {
        entry.offset = Reserve(size, 0, 1);
    } else {
        RaiseIfUnaddressable(0, 0, 1);
        entry.offset = Inline;
    }
    entry.size = size;
    tags.push_back(entry);
    owners.push_back(0); // added tags always go into the first directory
    directories[0].changed = true;
    directoryChanged = true;
}

bool TuTiffFile::RemoveTag(int tagId, TuTagScope scope) {
    if (!writable) {
        throw TuException(TuCauseTiffOpenedForExamination, 1, GetPath());
    }
    const int found = FindTag(tagId, scope);
    if (found == TagNotFound) {
        return false;
    }
    const auto index = static_cast<std::size_t>(found);
    const std::size_t owner = owners[index];
    // The directory is written anew at the end of the file, which must stay addressable.
    RaiseIfUnaddressable(0, owner, 0);
    tags.erase(tags.begin() + static_cast<std::ptrdiff_t>(index));
    owners.erase(owners.begin() + static_cast<std::ptrdiff_t>(index));
    // Writes held for the entry go with it; those of later entries follow their entries.
    std::erase_if(held, [index](const HeldWrite& w) { return w.index == index; });
    for (HeldWrite& w : held) {
        w.index -= w.index > index ? 1 : 0;
    }
    directories[owner].changed = true;
    directoryChanged = true;
    return true;
}

bool TuTiffFile::CanWriteInPlace(const TuTiffTag& entry) const {
    if (entry.type != TiffTypeDouble || layout.HoldsInline(entry.size) || entry.offset == Inline) {
        return false;
    }
    const std::uint64_t offset = entry.offset;
    if (offset < layout.headerSize || !FitsWithin(offset, entry.size, endMark)) {
        return false;
    }
    // Values that run past the file's end into the room reserved since the open would
    // overwrite what is placed there.
    const std::uint64_t length = stream.Length();
    if (offset < length && offset + entry.size > length) {
        return false;
    }
    // Values that share bytes with a directory would damage it when written there.
    for (const Directory& directory : directories) {
        if (directory.offset != 0 &&
            Overlaps(offset, entry.size, directory.offset, directory.byteSize)) {
            return false;
        }
    }
    // Values that share bytes with another entry's values (another tag's, or room reserved
    // for an added tag) would change that entry too.
    for (const TuTiffTag& other : tags) {
        if (&other != &entry && !layout.HoldsInline(other.size) && other.offset != Inline &&
            Overlaps(offset, entry.size, other.offset, other.size)) {
            return false;
        }
    }
    return true;
}

void TuTiffFile::WriteDoubles(int tagId, const double* values, int n, int start, TuTagScope scope) {
    if (!writable) {
        throw TuException(TuCauseTiffOpenedForExamination, 1, GetPath());
    }
    const int found = FindTag(tagId, scope);
    if (found == TagNotFound) {
        throw TuException(TuCauseTiffTagNotFound, 2, GetPath(), tagId & 0xFFFF);
    }
    const auto index = static_cast<std::size_t>(found);
    const TuTiffTag entry = tags[index];
    if (n <= 0) {
        return;
    }
    if (start < 0 || static_cast<std::uint64_t>(start) >= entry.count) {
        throw TuException(TuCauseTiffElementMissing, 2, int{entry.tag}, start);
    }
    if (static_cast<std::uint64_t>(n) > entry.count - static_cast<std::uint64_t>(start)) {
        // Elements start .. count - 1 exist: element count is the first that does not.
        throw TuException(TuCauseTiffElementMissing, 2, int{entry.tag},
                          static_cast<int>(entry.count));
    }
    const auto count = static_cast<std::uint32_t>(n);
    const auto first = static_cast<std::uint32_t>(start);
    if (!CanWriteInPlace(tags[index])) {
        Replace(index, values, count, first);
        return;
    }
    if (entry.offset + entry.size <= stream.Length()) {
        held.push_back(HeldWrite{index, first, std::vector<double>(values, values + count)});
        return;
    }
    WriteDoublesAt(entry.offset + DoubleSize * std::uint64_t{first}, values, count, entry.tag);
}

void TuTiffFile::WriteDoublesAt(std::uint64_t offset, const double* values, std::size_t n,
                                std::uint16_t tag) {
    std::vector<unsigned char> bytes(DoubleSize * n);
    EncodeDoubles(bytes.data(), values, n, byteOrder);
    if (WriteChecked(offset, bytes.data(), bytes.size()) != bytes.size()) {
        throw TuException(TuCauseTiffTagWriteFailed, 2, GetPath(), int{tag});
    }
}

void TuTiffFile::StoreHeldWrites() {
    if (held.empty()) {
        return;
    }
    std::vector<HeldWrite> writes;
    writes.swap(held);
    auto startOf = [this](const HeldWrite& w) {
        return tags[w.index].offset + DoubleSize * std::uint64_t{w.first};
    };
    auto endOf = [&](const HeldWrite& w) { return startOf(w) + DoubleSize * w.values.size(); };
    // One run of bytes: the writes, in order of position, leave no gap between them.
    std::vector<const HeldWrite*> order;
    order.reserve(writes.size());
    for (const HeldWrite& w : writes) {
        order.push_back(&w);
    }
    std::stable_sort(order.begin(), order.end(), [&](const HeldWrite* a, const HeldWrite* b) {
        return startOf(*a) < startOf(*b);
    });
    const std::uint64_t low = startOf(*order.front());
    std::uint64_t high = low;
    bool oneRun = !directoryChanged;
    for (const HeldWrite* w : order) {
        oneRun = oneRun && startOf(*w) <= high;
        high = std::max(high, endOf(*w));
    }
    if (oneRun) {
        std::vector<unsigned char> bytes(high - low);
        for (const HeldWrite& w : writes) {
            EncodeDoubles(bytes.data() + (startOf(w) - low), w.values.data(), w.values.size(),
                          byteOrder);
        }
        if (WriteChecked(low, bytes.data(), bytes.size()) != bytes.size()) {
            throw TuException(TuCauseTiffTagWriteFailed, 2, GetPath(),
                              int{tags[writes[0].index].tag});
        }
        return;
    }
    for (const HeldWrite& w : writes) {
        const TuTiffTag& entry = tags[w.index];
        const auto n = static_cast<std::uint32_t>(w.values.size());
        if (entry.offset < stream.Length()) {
            Replace(w.index, w.values.data(), n, w.first);
            continue;
        }
        // Moved already by an earlier write of the same tag: its new room takes the values.
        WriteDoublesAt(startOf(w), w.values.data(), w.values.size(), entry.tag);
    }
}

void TuTiffFile::Replace(std::size_t index, const double* values, std::uint32_t n,
                         std::uint32_t start) {
    TuTiffTag entry = tags[index];
    if (!TiffTypeInfo(entry.type).IsNumeric()) {
        RaiseNotUnderstood();
    }
    if (entry.count > LargestEnd() / DoubleSize) {
        RaiseUnaddressable();
    }
    const std::uint64_t size = DoubleSize * entry.count;
    // Elements first .. first + block.size() - 1: the old values are carried over, converted;
    // the new ones replace their elements.
    auto merge = [&](std::uint64_t first, std::vector<double>& block) {
        ReadValues(entry, first, block.size(), block.data());
        for (std::uint64_t i = 0; i < block.size(); ++i) {
            const std::uint64_t element = first + i;
            if (element >= start && element < std::uint64_t{start} + n) {
                block[i] = values[element - start];
            }
        }
    };
    std::vector<double> block;
    if (layout.HoldsInline(size)) {
        // One DOUBLE fits in a BigTIFF entry: the value goes into the new directory.
        RaiseIfUnaddressable(0, owners[index], 0);
        block.resize(entry.count);
        merge(0, block);
        std::memset(entry.inlineValue, 0, sizeof entry.inlineValue);
        std::memcpy(entry.inlineValue, block.data(), size);
        entry.offset = Inline;
    } else {
        const std::uint64_t savedEnd = endMark;
        const std::uint64_t offset = Reserve(size, owners[index], 0);
        try {
            for (std::uint64_t done = 0; done < entry.count;) {
                block.resize(std::min<std::uint64_t>(BlockElements, entry.count - done));
                merge(done, block);
                WriteDoublesAt(offset + DoubleSize * done, block.data(), block.size(), entry.tag);
                done += block.size();
            }
        } catch (...) {
            // The entry still names the old values; the room is given back.
            endMark = savedEnd;
            throw;
        }
        std::memset(entry.inlineValue, 0, sizeof entry.inlineValue);
        entry.offset = offset;
    }
    entry.type = TiffTypeDouble;
    entry.size = size;
    tags[index] = entry;
    directories[owners[index]].changed = true;
    directoryChanged = true;
}

std::size_t TuTiffFile::BuildDirectories(std::vector<unsigned char>& bytes,
                                         std::uint64_t& firstOffset) {
    // Every directory up to the last changed one is written anew, since each names the
    // next; the rest of the chain stays where it is, reachable from the last new one.
    std::size_t last = 0;
    for (std::size_t j = 0; j < directories.size(); ++j) {
        if (directories[j].changed) {
            last = j;
        }
    }
    std::vector<std::vector<std::size_t>> members(last + 1);
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (owners[i] <= last) {
            members[owners[i]].push_back(i);
        }
    }
    RaiseIfUnaddressable(0, 0, 0);
    bytes.assign(DirectoryBytes(0, 0), 0);
    std::uint64_t at = 0;
    for (std::size_t j = 0; j <= last; ++j) {
        auto& entries = members[j];
        // No more entries than a directory read back may have.
        if (entries.size() > MaxEntries) {
            throw TuException(TuCauseTiffHeaderRewriteFailed, 1, GetPath());
        }
        // TIFF requires ascending tag order; equal ids keep their order.
        std::stable_sort(entries.begin(), entries.end(), [this](std::size_t a, std::size_t b) {
            return tags[a].tag < tags[b].tag;
        });
        unsigned char* out = bytes.data() + at;
        if (layout.entryCountSize == 8) {
            Store64(out, entries.size(), byteOrder);
        } else {
            Store16(out, static_cast<std::uint16_t>(entries.size()), byteOrder);
        }
        for (std::size_t k = 0; k < entries.size(); ++k) {
            EncodeEntry(tags[entries[k]], out + layout.entryCountSize + layout.EntrySize() * k);
        }
        const std::uint64_t size = layout.DirectorySize(entries.size());
        const std::uint64_t next = j < last ? endMark + at + size : directories[last].nextOffset;
        StoreOffset(out + size - layout.offsetSize, next);
        at += size;
    }
    firstOffset = endMark;
    return last;
}

void TuTiffFile::WriteHeader(std::uint64_t firstOffset) {
    unsigned char header[BigTiff.headerSize];
    header[0] = header[1] = ByteOrderMark(byteOrder);
    Store16(header + 2, magic, byteOrder);
    if (IsBigTiff()) {
        Store16(header + 4, BigTiff.offsetSize, byteOrder);
        Store16(header + 6, 0, byteOrder);
    }
    StoreOffset(header + layout.headerSize - layout.offsetSize, firstOffset);
    if (WriteChecked(0, header, layout.headerSize) != layout.headerSize) {
        throw TuException(TuCauseTiffHeaderRewriteFailed, 1, GetPath());
    }
}

void TuTiffFile::Commit() {
    if (!writable) {
        throw TuException(TuCauseTiffOpenedForExamination, 1, GetPath());
    }
    StoreHeldWrites();
    std::uint64_t firstOffset = firstIfdOffset;
    std::vector<unsigned char> bytes;
    std::size_t last = 0;
    if (directoryChanged) {
        last = BuildDirectories(bytes, firstOffset);
        if (WriteChecked(endMark, bytes.data(), bytes.size()) != bytes.size()) {
            throw TuException(TuCauseTiffHeaderRewriteFailed, 1, GetPath());
        }
    }
    // The values and the directory reach the disk before the header points to them, and
    // the header before the commit is reported done.
    if (!stream.Sync()) {
        throw TuException(TuCauseTiffHeaderRewriteFailed, 1, GetPath());
    }
    WriteHeader(firstOffset);
    if (!stream.Sync()) {
        throw TuException(TuCauseTiffHeaderRewriteFailed, 1, GetPath());
    }
    if (directoryChanged) {
        std::uint64_t at = endMark;
        for (std::size_t j = 0; j <= last; ++j) {
            std::size_t entries = 0;
            for (std::size_t owner : owners) {
                entries += owner == j ? 1 : 0;
            }
            directories[j].offset = at;
            directories[j].byteSize = layout.DirectorySize(entries);
            directories[j].changed = false;
            at += directories[j].byteSize;
            if (j < last) {
                directories[j].nextOffset = at;
            }
        }
        endMark = at;
        directoryChanged = false;
    }
    firstIfdOffset = firstOffset;
}

void TuTiffFile::CommitAndClose() {
    const bool commit = commitOnClose;
    commitOnClose = false;
    if (commit) {
        try {
            Commit();
        } catch (...) {
            static_cast<void>(stream.Close()); // the commit's own error is the one reported
            throw;
        }
    }
    if (!stream.Close() && commit) {
        throw TuException(TuCauseTiffHeaderRewriteFailed, 1, GetPath());
    }
}
