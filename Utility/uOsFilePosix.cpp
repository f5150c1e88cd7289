// The seam's files on POSIX: descriptors, pread and pwrite, fsync, stat and access.
#include "uOsFile.h"

#include <cstdint>
#include <fcntl.h>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "uOsPosix.h"

static_assert(sizeof(off_t) == sizeof(std::int64_t), "offsets beyond 2 GiB need a 64-bit off_t");

namespace {

TuFileInfo InfoOf(const struct stat& status) {
    TuFileInfo info;
    info.kind = S_ISREG(status.st_mode)   ? TuFileKind::Regular
                : S_ISDIR(status.st_mode) ? TuFileKind::Folder
                                          : TuFileKind::Other;
    info.permissions = static_cast<unsigned>(status.st_mode & 07777);
    info.state.device = static_cast<std::uint64_t>(status.st_dev);
    info.state.inode = static_cast<std::uint64_t>(status.st_ino);
    info.state.length = static_cast<std::uint64_t>(status.st_size);
    info.state.modifiedSeconds = static_cast<std::int64_t>(status.st_mtim.tv_sec);
    info.state.modifiedNanoseconds = static_cast<std::int64_t>(status.st_mtim.tv_nsec);
    return info;
}

int OpenFlags(TuOpenMode mode) {
    switch (mode) {
    case TuOpenMode::Read:
        return O_RDONLY;
    case TuOpenMode::Write:
        return O_WRONLY;
    case TuOpenMode::ReadWrite:
        return O_RDWR;
    case TuOpenMode::CreateNew:
        return O_RDWR | O_CREAT | O_EXCL;
    case TuOpenMode::CreateOrEmpty:
        return O_RDWR | O_CREAT | O_TRUNC;
    }
    return O_RDONLY;
}

int AccessMode(TuAccessTest test) {
    switch (test) {
    case TuAccessTest::Exists:
        return F_OK;
    case TuAccessTest::Read:
        return R_OK;
    case TuAccessTest::Write:
        return W_OK;
    case TuAccessTest::ReadWrite:
        return R_OK | W_OK;
    }
    return F_OK;
}

// One positioned read or write of size bytes: call(descriptor, offset) is pread or pwrite.
template <class Call>
TuTransferResult Positioned(TuOsHandle handle, std::uint64_t offset, std::size_t size, Call call) {
    if (handle == TuOsNoHandle) {
        return {0, TuOsBadHandle};
    }
    constexpr auto Last = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());
    if (offset > Last || size > Last - offset) {
        return {0, TuOsInvalidArgument};
    }
    const ssize_t moved = TuRetryInterrupted(
        [&] { return call(static_cast<int>(handle), static_cast<off_t>(offset)); });
    if (moved < 0) {
        return {0, errno};
    }
    return {static_cast<std::size_t>(moved), TuOsNoError};
}

} // namespace

int TuQueryFileInfo(const char16_t* path, TuFileInfo& info) {
    std::string bytes;
    if (!TuPosixPath(path, bytes)) {
        return TuOsNoSuchFile;
    }
    struct stat status {};
    if (::stat(bytes.c_str(), &status) != 0) {
        return errno;
    }
    info = InfoOf(status);
    return TuOsNoError;
}

int TuTestAccess(const char16_t* path, TuAccessTest test) {
    std::string bytes;
    if (!TuPosixPath(path, bytes)) {
        return TuOsNoSuchFile;
    }
    return ::access(bytes.c_str(), AccessMode(test)) == 0 ? TuOsNoError : errno;
}

TuOsFile::~TuOsFile() {
    static_cast<void>(Close()); // a destructor has no one to tell
}

int TuOsFile::Open(const char16_t* path, TuOpenMode mode) {
    static_cast<void>(Close()); // whatever was open before is done with
    std::string bytes;
    if (!TuPosixPath(path, bytes)) {
        return TuOsNoSuchFile;
    }
    // O_NONBLOCK keeps an open of a pipe or a device from waiting. On a regular file it
    // changes nothing, so it stays set.
    const int descriptor = TuRetryInterrupted(
        [&] { return ::open(bytes.c_str(), OpenFlags(mode) | O_CLOEXEC | O_NONBLOCK, 0666); });
    if (descriptor < 0) {
        return errno;
    }
    handle = descriptor;
    return TuOsNoError;
}

int TuOsFile::QueryInfo(TuFileInfo& info) const {
    struct stat status {};
    if (handle == TuOsNoHandle) {
        return TuOsBadHandle;
    }
    if (::fstat(static_cast<int>(handle), &status) != 0) {
        return errno;
    }
    info = InfoOf(status);
    return TuOsNoError;
}

TuTransferResult TuOsFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const {
    return Positioned(handle, offset, size, [&](int descriptor, off_t at) {
        return ::pread(descriptor, buffer, size, at);
    });
}

TuTransferResult TuOsFile::WriteAt(std::uint64_t offset, const void* buffer,
                                   std::size_t size) const {
    return Positioned(handle, offset, size, [&](int descriptor, off_t at) {
        return ::pwrite(descriptor, buffer, size, at);
    });
}

int TuOsFile::Sync() const {
    if (handle == TuOsNoHandle) {
        return TuOsBadHandle;
    }
    return ::fsync(static_cast<int>(handle)) == 0 ? TuOsNoError : errno;
}

int TuOsFile::Close() {
    if (handle == TuOsNoHandle) {
        return TuOsNoError;
    }
    const int descriptor = static_cast<int>(handle);
    handle = TuOsNoHandle;
    // The descriptor is released even when close reports an error; retrying could close a
    // descriptor that another thread has been given meanwhile.
    return ::close(descriptor) == 0 ? TuOsNoError : errno;
}
