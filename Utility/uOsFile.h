// The operating-system seam for files: opening, positioned reads and writes, making writes
// durable, and what a path names.
//
// Paths are wide text, exactly as TuFileName holds them; a host whose system takes another
// form converts them, and a path it cannot convert exactly fails as TuOsNoSuchFile, so that no
// other file is ever touched in its place. Offsets and lengths are 64-bit. Failures are the
// error numbers of uOsError.h. One implementation per host (uOsFilePosix.cpp, ...).
#pragma once

#include <cstddef>
#include <cstdint>

#include "uOsError.h"

// What tells one state of a file from another: the file itself (device and file number), its
// length and the time of its last modification.
struct TuFileState {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t length = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    bool SameFile(const TuFileState& other) const noexcept {
        return device == other.device && inode == other.inode;
    }
    bool operator==(const TuFileState&) const = default;
};

enum class TuFileKind {
    Regular,
    Folder,
    Other, // a pipe, a device, a socket
};

// What a status query tells of a file.
struct TuFileInfo {
    TuFileKind kind = TuFileKind::Other;
    // The permission bits as POSIX numbers them (owner, group, others; 07777). A host that only
    // has a read-only attribute reports 0444 for a read-only file and 0666 for any other.
    unsigned permissions = 0;
    TuFileState state;
};

// What the file named by path is (following links); 0, or the error number.
[[nodiscard]] int TuQueryFileInfo(const char16_t* path, TuFileInfo& info);

enum class TuAccessTest { Exists, Read, Write, ReadWrite };

// Whether the host grants the calling process the access tested (following links), as the
// system's own access test answers for the process's real user; 0, or the error number.
[[nodiscard]] int TuTestAccess(const char16_t* path, TuAccessTest test);

enum class TuOpenMode {
    Read,          // an existing file, for reading
    Write,         // an existing file, for writing only
    ReadWrite,     // an existing file, for reading and writing
    CreateNew,     // a new file, for reading and writing; an existing one fails (TuOsFileExists)
    CreateOrEmpty, // a new file, or an existing one emptied; for reading and writing
};

// What one positioned read or write moved, or why it failed.
struct TuTransferResult {
    std::size_t moved = 0; // bytes moved; a read at or past the end of the file moves none
    int error = TuOsNoError;
};

// The host's handle of an open file: a descriptor, or a handle converted to an integer.
using TuOsHandle = std::intptr_t;
constexpr TuOsHandle TuOsNoHandle = -1;

// One open file of the host. Handles are not passed on to programs that the process starts.
// A transfer is one call of the host (repeated only when a signal interrupted it), so it may
// move fewer bytes than asked for; the file's own position is never used.
class TuOsFile {
public:
    TuOsFile() = default;
    TuOsFile(const TuOsFile&) = delete;
    TuOsFile& operator=(const TuOsFile&) = delete;
    ~TuOsFile(); // closes, ignoring any error

    // Opens path (closing what was open before); 0, or the error number. Created files get the
    // permissions that new files get on the host. A folder, a pipe or a device in the path's
    // place is either refused here (TuOsAccessDenied, TuOsIsAFolder) or opened without waiting
    // for a partner; the caller asks QueryInfo what it opened.
    [[nodiscard]] int Open(const char16_t* path, TuOpenMode mode);
    bool IsOpen() const noexcept { return handle != TuOsNoHandle; }

    // What the open file is now; 0, or the error number.
    [[nodiscard]] int QueryInfo(TuFileInfo& info) const;
    // A transfer that would reach beyond offset 2^63 - 1 fails with TuOsInvalidArgument. A read at
    // or past the end of the file moves nothing; a write past the end fills the gap with zeros. A
    // read of a file open for writing only, or a write of one open for reading only, fails with
    // TuOsBadHandle, and so does any call on a closed file. A read of a folder, a pipe or a socket
    // fails (TuOsIsAFolder, TuOsNotSeekable) rather than waits.
    [[nodiscard]] TuTransferResult ReadAt(std::uint64_t offset, void* buffer,
                                          std::size_t size) const;
    [[nodiscard]] TuTransferResult WriteAt(std::uint64_t offset, const void* buffer,
                                           std::size_t size) const;
    // Makes what was written durable on the storage; 0, or the error number.
    [[nodiscard]] int Sync() const;
    // Closes the file; 0, or the error number of a close that reported one (the handle is
    // released all the same). Closing a closed file does nothing and gives 0.
    [[nodiscard]] int Close();

private:
    TuOsHandle handle = TuOsNoHandle;
};
