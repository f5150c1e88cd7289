// TuFileStream: a binary file of the host (TuOsFile), read and written at absolute offsets.
// A write is one system call (or a few, after a partial transfer), so a writer knows exactly
// what reached the file; Sync makes what was written durable. A read is one system call too,
// touching only the bytes it asks for, unless the reader has taken the file's head into
// memory with ReadHead: a read that lies wholly within the head is then answered from memory
// without a call. Writes through the stream keep the head current; changes that other
// descriptors or processes make to those bytes afterwards are not seen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "uOsFile.h"

class TuFileStream {
public:
    TuFileStream() = default;
    TuFileStream(const TuFileStream&) = delete;
    TuFileStream& operator=(const TuFileStream&) = delete;
    ~TuFileStream();

    // Opens path; 0 on success, else the error number (uOsError.h). Refuses anything but a
    // regular file with TuOsIsAFolder, without blocking on a device or pipe.
    [[nodiscard]] int Open(const char16_t* path, TuOpenMode mode);
    // Opens path for reading only, without the status query of Open: one system call fewer,
    // for a reader that needs no length and reads only through ReadAt. Whatever opens is kept,
    // but a positioned read of a folder, pipe or socket fails (TuOsIsAFolder, TuOsNotSeekable)
    // instead of waiting. Length() is then 0.
    [[nodiscard]] int OpenForReading(const char16_t* path);
    bool IsOpen() const noexcept { return file.IsOpen(); }
    // The file's length when it was opened.
    std::uint64_t Length() const noexcept { return opened.length; }
    // The file's permission bits (TuFileInfo::permissions) when Open opened it; 0 after
    // OpenForReading.
    unsigned Mode() const noexcept { return mode; }
    // The file's state when Open opened it; all zero after OpenForReading.
    const TuFileState& OpenedState() const noexcept { return opened; }
    // The open file's state now; false on failure, which Error() then reports.
    [[nodiscard]] bool QueryState(TuFileState& state);

    // Reads the first min(size, Length()) bytes of the file with one call and keeps them as
    // the head, for the reads that follow. When that read fails or comes short nothing is kept
    // and no error is recorded: the reads then go to the file, and report its errors, as they
    // would have without it. Replaces any head read before; Close drops it.
    void ReadHead(std::size_t size);
    // Reads up to size bytes at offset; returns how many arrived (fewer at the end of the
    // file or after an error, which Error() then reports).
    [[nodiscard]] std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
    // Reads up to size bytes at offset with one call (repeated only when interrupted), past
    // the head; fewer may arrive than the file holds. A reader of a file of unknown length
    // that takes a short read for its end needs no second call to find it.
    [[nodiscard]] std::size_t ReadSomeAt(std::uint64_t offset, void* buffer, std::size_t size);
    // Reads up to size bytes at offset from the file itself, never from the head: what the
    // file holds now, even where another program changed the bytes the head keeps.
    [[nodiscard]] std::size_t ReadPastHeadAt(std::uint64_t offset, void* buffer, std::size_t size);
    // Writes size bytes at offset; returns how many were written.
    [[nodiscard]] std::size_t WriteAt(std::uint64_t offset, const void* buffer, std::size_t size);
    // Flushes what was written to the storage device; false on failure.
    [[nodiscard]] bool Sync();
    // Closes the file; false when the close reported an error. Closing twice is harmless.
    [[nodiscard]] bool Close();

    // The error number of the last failed call, 0 when none failed.
    int Error() const noexcept { return error; }

private:
    TuOsFile file;
    int error = 0;
    unsigned mode = 0;
    TuFileState opened;
    // The file's first headSize bytes, as they are now. Left uninitialised until read: the
    // head is read at every open, and clearing 4 KiB first would cost as much as the read.
    std::unique_ptr<unsigned char[]> head;
    std::size_t headSize = 0;
};
