// TuFileStream: an unbuffered binary file on a POSIX descriptor, read and written at
// absolute offsets. Each call is one system call (or a few, after a partial transfer), so
// a reader touches only the bytes it asks for and a writer knows exactly what reached the
// file; Sync makes what was written durable.
#pragma once

#include <cstddef>
#include <cstdint>

class TuFileStream {
public:
    TuFileStream() = default;
    TuFileStream(const TuFileStream&) = delete;
    TuFileStream& operator=(const TuFileStream&) = delete;
    ~TuFileStream();

    // Opens path with open(2) flags (O_CLOEXEC is added); 0 on success, else the error number.
    // Refuses anything but a regular file with EISDIR, without blocking on a device or pipe.
    int Open(const char* path, int flags);
    bool IsOpen() const noexcept { return descriptor >= 0; }
    // The file's length when it was opened.
    std::uint64_t Length() const noexcept { return length; }

    // Reads up to size bytes at offset; returns how many arrived (fewer at the end of the
    // file or after an error, which Error() then reports).
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
    // Writes size bytes at offset; returns how many were written.
    std::size_t WriteAt(std::uint64_t offset, const void* buffer, std::size_t size);
    // Flushes what was written to the storage device; false on failure.
    bool Sync();
    // Closes the descriptor; false when the close reported an error. Closing twice is harmless.
    bool Close();

    // The error number of the last failed call, 0 when none failed.
    int Error() const noexcept { return error; }

private:
    int descriptor = -1;
    int error = 0;
    std::uint64_t length = 0;
};
