#include "uFileStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

TuFileStream::~TuFileStream() {
    Close();
}

namespace {

// O_NONBLOCK keeps an open of a pipe or device from waiting. On a regular file it changes
// nothing, so it stays set.
int OpenDescriptor(const char* path, int flags) {
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

TuFileState StateOf(const struct stat& status) {
    TuFileState state;
    state.device = static_cast<std::uint64_t>(status.st_dev);
    state.inode = static_cast<std::uint64_t>(status.st_ino);
    state.length = static_cast<std::uint64_t>(status.st_size);
    state.modifiedSeconds = static_cast<std::int64_t>(status.st_mtim.tv_sec);
    state.modifiedNanoseconds = static_cast<std::int64_t>(status.st_mtim.tv_nsec);
    return state;
}

} // namespace

int TuQueryPathState(const char* path, TuFileState& state) {
    struct stat status {};
    if (::stat(path, &status) != 0) {
        return errno;
    }
    state = StateOf(status);
    return 0;
}

int TuFileStream::OpenForReading(const char* path) {
    Close();
    error = 0;
    const int fd = OpenDescriptor(path, O_RDONLY);
    if (fd < 0) {
        return error = errno;
    }
    descriptor = fd;
    length = 0;
    mode = 0;
    opened = {};
    return 0;
}

int TuFileStream::Open(const char* path, int flags) {
    Close();
    error = 0;
    // Only regular files are kept.
    const int fd = OpenDescriptor(path, flags);
    if (fd < 0) {
        return error = errno;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        error = errno;
        ::close(fd);
        return error;
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return error = EISDIR;
    }
    descriptor = fd;
    length = static_cast<std::uint64_t>(status.st_size);
    mode = static_cast<unsigned>(status.st_mode);
    opened = StateOf(status);
    return 0;
}

bool TuFileStream::QueryState(TuFileState& state) {
    struct stat status {};
    if (descriptor < 0 || ::fstat(descriptor, &status) != 0) {
        error = descriptor < 0 ? EBADF : errno;
        return false;
    }
    state = StateOf(status);
    return true;
}

namespace {

// Moves size bytes at offset with a positioned read or write, resuming after interruptions
// and, unless once is set, after partial transfers. Stops at an error (kept in error) or when
// nothing more moves; a write that moves nothing is an error, a read that moves nothing is the
// end of the file.
template <class Call>
std::size_t Transfer(int descriptor, std::uint64_t offset, std::size_t size, int& error,
                     bool nothingIsError, bool once, Call call) {
    std::size_t done = 0;
    while (done < size) {
        const std::uint64_t at = offset + done;
        if (descriptor < 0 || at < offset ||
            at > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
            error = descriptor < 0 ? EBADF : EINVAL;
            break;
        }
        const ssize_t moved = call(done, static_cast<off_t>(at));
        if (moved < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            break;
        }
        if (moved == 0) {
            if (nothingIsError) {
                error = EIO;
            }
            break;
        }
        done += static_cast<std::size_t>(moved);
        if (once) {
            break;
        }
    }
    return done;
}

} // namespace

void TuFileStream::ReadHead(std::size_t size) {
    headSize = 0;
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, length));
    if (descriptor < 0 || wanted == 0) {
        return;
    }
    head.reset(new unsigned char[wanted]);
    int ignored = 0; // a failure here is left for the read that meets it to report
    const std::size_t got =
        Transfer(descriptor, 0, wanted, ignored, false, false, [&](std::size_t done, off_t at) {
            return ::pread(descriptor, head.get() + done, wanted - done, at);
        });
    headSize = got == wanted ? wanted : 0;
}

std::size_t TuFileStream::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    if (size > 0 && offset < headSize && size <= headSize - offset) {
        std::memcpy(bytes, head.get() + offset, size);
        return size;
    }
    return ReadPastHeadAt(offset, buffer, size);
}

std::size_t TuFileStream::ReadSomeAt(std::uint64_t offset, void* buffer, std::size_t size) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    return Transfer(descriptor, offset, size, error, false, true,
                    [&](std::size_t, off_t at) { return ::pread(descriptor, bytes, size, at); });
}

std::size_t TuFileStream::ReadPastHeadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    return Transfer(descriptor, offset, size, error, false, false, [&](std::size_t done, off_t at) {
        return ::pread(descriptor, bytes + done, size - done, at);
    });
}

std::size_t TuFileStream::WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    const std::size_t written =
        Transfer(descriptor, offset, size, error, true, false, [&](std::size_t done, off_t at) {
            return ::pwrite(descriptor, bytes + done, size - done, at);
        });
    // The head takes the bytes that reached the file where they fall within it.
    if (written > 0 && offset < headSize) {
        const std::size_t start = static_cast<std::size_t>(offset);
        std::memcpy(head.get() + start, bytes, std::min(written, headSize - start));
    }
    return written;
}

bool TuFileStream::Sync() {
    if (descriptor < 0) {
        error = EBADF;
        return false;
    }
    if (::fsync(descriptor) != 0) {
        error = errno;
        return false;
    }
    return true;
}

bool TuFileStream::Close() {
    head.reset();
    headSize = 0;
    if (descriptor < 0) {
        return true;
    }
    const int fd = descriptor;
    descriptor = -1;
    // The descriptor is released even when close reports an error; retrying could close
    // a descriptor that another thread has been given meanwhile.
    if (::close(fd) != 0) {
        error = errno;
        return false;
    }
    return true;
}
