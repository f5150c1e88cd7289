#include "uFileStream.h"

#include <algorithm>
#include <cstring>

TuFileStream::~TuFileStream() {
    static_cast<void>(Close()); // a destructor has no one to tell
}

int TuFileStream::OpenForReading(const char16_t* path) {
    static_cast<void>(Close()); // whatever was open before is done with
    error = file.Open(path, TuOpenMode::Read);
    mode = 0;
    opened = {};
    return error;
}

int TuFileStream::Open(const char16_t* path, TuOpenMode openMode) {
    static_cast<void>(Close()); // whatever was open before is done with
    mode = 0;
    opened = {};
    error = file.Open(path, openMode);
    if (error != TuOsNoError) {
        return error;
    }
    // Only regular files are kept.
    TuFileInfo info;
    error = file.QueryInfo(info);
    if (error == TuOsNoError && info.kind != TuFileKind::Regular) {
        error = TuOsIsAFolder;
    }
    if (error != TuOsNoError) {
        static_cast<void>(file.Close()); // the open's own error is the one reported
        return error;
    }
    mode = info.permissions;
    opened = info.state;
    return TuOsNoError;
}

bool TuFileStream::QueryState(TuFileState& state) {
    TuFileInfo info;
    if (const int failure = file.QueryInfo(info); failure != TuOsNoError) {
        error = failure;
        return false;
    }
    state = info.state;
    return true;
}

namespace {

// How a transfer goes on after each call of the host.
enum class TransferRule {
    ReadWhole,  // reads until size bytes arrived or the file ends
    ReadOnce,   // one read, however many bytes it brings
    WriteWhole, // writes until size bytes were written; a write that moves nothing is an error
};

// Moves size bytes at offset with positioned reads or writes, move(done, at) moving the bytes
// from done on at file offset at, as the rule says. Stops at an error (kept in error) or when
// nothing more moves; a read that moves nothing is the end of the file.
template <class Move>
std::size_t Transfer(std::uint64_t offset, std::size_t size, TransferRule rule, int& error,
                     Move move) {
    std::size_t done = 0;
    while (done < size) {
        const std::uint64_t at = offset + done;
        if (at < offset) {
            error = TuOsInvalidArgument;
            break;
        }
        const TuTransferResult result = move(done, at);
        if (result.error != TuOsNoError) {
            error = result.error;
            break;
        }
        if (result.moved == 0) {
            if (rule == TransferRule::WriteWhole) {
                error = TuOsInputOutput;
            }
            break;
        }
        done += result.moved;
        if (rule == TransferRule::ReadOnce) {
            break;
        }
    }
    return done;
}

} // namespace

void TuFileStream::ReadHead(std::size_t size) {
    headSize = 0;
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, Length()));
    if (!file.IsOpen() || wanted == 0) {
        return;
    }
    head = std::make_unique_for_overwrite<unsigned char[]>(wanted);
    int ignored = 0; // a failure here is left for the read that meets it to report
    const std::size_t got = Transfer(0, wanted, TransferRule::ReadWhole, ignored,
                                     [&](std::size_t done, std::uint64_t at) {
                                         return file.ReadAt(at, head.get() + done, wanted - done);
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
    return Transfer(offset, size, TransferRule::ReadOnce, error,
                    [&](std::size_t, std::uint64_t at) { return file.ReadAt(at, buffer, size); });
}

std::size_t TuFileStream::ReadPastHeadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    return Transfer(offset, size, TransferRule::ReadWhole, error,
                    [&](std::size_t done, std::uint64_t at) {
                        return file.ReadAt(at, bytes + done, size - done);
                    });
}

std::size_t TuFileStream::WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    const std::size_t written = Transfer(offset, size, TransferRule::WriteWhole, error,
                                         [&](std::size_t done, std::uint64_t at) {
                                             return file.WriteAt(at, bytes + done, size - done);
                                         });
    // The head takes the bytes that reached the file where they fall within it.
    if (written > 0 && offset < headSize) {
        const auto start = static_cast<std::size_t>(offset);
        std::memcpy(head.get() + start, bytes, std::min(written, headSize - start));
    }
    return written;
}

bool TuFileStream::Sync() {
    if (const int failure = file.Sync(); failure != TuOsNoError) {
        error = failure;
        return false;
    }
    return true;
}

bool TuFileStream::Close() {
    head.reset();
    headSize = 0;
    if (const int failure = file.Close(); failure != TuOsNoError) {
        error = failure;
        return false;
    }
    return true;
}
