// The seam's files on Windows: CreateFileW handles, ReadFile and WriteFile at the offsets of an
// OVERLAPPED record, FlushFileBuffers, and the file information of a handle.
//
// Every file is opened shared for reading, writing and deleting, as files are on POSIX hosts,
// where no lock stands between programs: Kestrel never keeps another program from a file, and
// tells a file changed or replaced meanwhile by its state (TuFileState). A program that opens
// a file without sharing it refuses Kestrel in turn, which the diagnosis reports as the file
// being in use.
#include "uOsFile.h"

#include <limits>

#include "uOsWindows.h"

namespace {

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The most that one ReadFile or WriteFile is asked to move: their count is 32-bit.
constexpr std::size_t LargestTransfer = 1u << 30;
// Seconds from 1601-01-01, where file times count from in 100-nanosecond steps, to 1970-01-01.
constexpr std::int64_t EpochDifference = 11644473600;

std::uint64_t Combined(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

TuFileInfo InfoOf(HANDLE handle, const BY_HANDLE_FILE_INFORMATION& information) {
    TuFileInfo info;
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        info.kind = TuFileKind::Other;
    } else if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        info.kind = TuFileKind::Folder;
    } else {
        info.kind = TuFileKind::Regular;
    }
    info.permissions = (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666;
    info.state.device = information.dwVolumeSerialNumber;
    info.state.inode = Combined(information.nFileIndexHigh, information.nFileIndexLow);
    info.state.length = Combined(information.nFileSizeHigh, information.nFileSizeLow);
    const std::uint64_t ticks = Combined(information.ftLastWriteTime.dwHighDateTime,
                                         information.ftLastWriteTime.dwLowDateTime);
    info.state.modifiedSeconds = static_cast<std::int64_t>(ticks / 10000000) - EpochDifference;
    info.state.modifiedNanoseconds = static_cast<std::int64_t>(ticks % 10000000) * 100;
    return info;
}

int QueryHandle(HANDLE handle, TuFileInfo& info) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        info = TuFileInfo{};
        info.permissions = 0666;
        return TuOsNoError;
    }
    if (!::GetFileInformationByHandle(handle, &information)) {
        return TuLastWindowsError();
    }
    info = InfoOf(handle, information);
    return TuOsNoError;
}

// A handle that asks for no access to the file's contents, only to its information: it opens
// folders too, and whoever else has the file open, however they share it.
HANDLE OpenForQuery(const std::wstring& path, DWORD access = 0) {
    return ::CreateFileW(path.c_str(), access, ShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

struct OpenRequest {
    DWORD access;
    DWORD disposition;
};

OpenRequest RequestFor(TuOpenMode mode) {
    constexpr DWORD ReadWrite = GENERIC_READ | GENERIC_WRITE;
    switch (mode) {
    case TuOpenMode::Read:
        return {GENERIC_READ, OPEN_EXISTING};
    case TuOpenMode::Write:
        return {GENERIC_WRITE, OPEN_EXISTING};
    case TuOpenMode::ReadWrite:
        return {ReadWrite, OPEN_EXISTING};
    case TuOpenMode::CreateNew:
        return {ReadWrite, CREATE_NEW};
    case TuOpenMode::CreateOrEmpty:
        // Emptied after the open rather than by CREATE_ALWAYS, which refuses an existing
        // hidden or system file.
        return {ReadWrite, OPEN_ALWAYS};
    }
    return {GENERIC_READ, OPEN_EXISTING};
}

int Empty(HANDLE handle) {
    FILE_END_OF_FILE_INFO end{};
    return ::SetFileInformationByHandle(handle, FileEndOfFileInfo, &end, sizeof end)
               ? TuOsNoError
               : TuLastWindowsError();
}

// The error of a failed transfer: a handle opened without the access the transfer needs is
// refused with access denied, which the seam reports as the wrong kind of handle.
int TransferError(DWORD error) {
    return error == ERROR_ACCESS_DENIED ? TuOsBadHandle : TuWindowsError(error);
}

// One positioned read or write of up to size bytes at offset: call(file, count, moved, at) is
// ReadFile or WriteFile. The handle is synchronous: the call returns when the transfer is
// done, and the OVERLAPPED record only says where it happens.
template <class Call>
TuTransferResult Positioned(TuOsHandle handle, std::uint64_t offset, std::size_t size, Call call) {
    if (handle == TuOsNoHandle) {
        return {0, TuOsBadHandle};
    }
    constexpr auto Last = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (offset > Last || size > Last - offset) {
        return {0, TuOsInvalidArgument};
    }
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD moved = 0;
    const auto count = static_cast<DWORD>(size < LargestTransfer ? size : LargestTransfer);
    if (!call(TuWindowsHandle(handle), count, moved, at)) {
        const DWORD error = ::GetLastError();
        // A read at or past the end fails with this error; it moved nothing, which is the end.
        if (error == ERROR_HANDLE_EOF) {
            return {0, TuOsNoError};
        }
        return {0, TransferError(error)};
    }
    return {moved, TuOsNoError};
}

} // namespace

int TuQueryFileInfo(const char16_t* path, TuFileInfo& info) {
    std::wstring windowsPath;
    if (!TuWindowsPath(path, windowsPath)) {
        return TuOsNoSuchFile;
    }
    const HANDLE handle = OpenForQuery(windowsPath);
    if (handle == INVALID_HANDLE_VALUE) {
        return TuLastWindowsError();
    }
    const int error = QueryHandle(handle, info);
    ::CloseHandle(handle);
    return error;
}

int TuTestAccess(const char16_t* path, TuAccessTest test) {
    std::wstring windowsPath;
    if (!TuWindowsPath(path, windowsPath)) {
        return TuOsNoSuchFile;
    }
    const DWORD attributes = ::GetFileAttributesW(windowsPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return TuLastWindowsError();
    }
    if (test == TuAccessTest::Exists) {
        return TuOsNoError;
    }
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool wantsWrite = test == TuAccessTest::Write || test == TuAccessTest::ReadWrite;
    // The read-only attribute forbids writing a file to everyone, administrators included
    // (Wine lets its superuser write such a file, Windows does not); on a folder it means
    // nothing.
    if (wantsWrite && !folder && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return TuOsAccessDenied;
    }
    // The access rights: an open that asks for the data access tested, as the file's security
    // grants it to this process. For a folder, reading is listing and writing is adding files.
    DWORD access = 0;
    if (test != TuAccessTest::Write) {
        access |= FILE_READ_DATA;
    }
    if (wantsWrite) {
        access |= FILE_WRITE_DATA;
    }
    const HANDLE handle = OpenForQuery(windowsPath, access);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // Sharing is checked after the rights: a file in use elsewhere was granted them.
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
                   ? TuOsNoError
                   : TuWindowsError(error);
    }
    ::CloseHandle(handle);
    return TuOsNoError;
}

TuOsFile::~TuOsFile() {
    static_cast<void>(Close()); // a destructor has no one to tell
}

int TuOsFile::Open(const char16_t* path, TuOpenMode mode) {
    static_cast<void>(Close()); // whatever was open before is done with
    std::wstring windowsPath;
    if (!TuWindowsPath(path, windowsPath)) {
        return TuOsNoSuchFile;
    }
    const OpenRequest request = RequestFor(mode);
    // Not inherited by programs the process starts (no security attributes); a folder is
    // refused by the open itself (access denied).
    const HANDLE opened = ::CreateFileW(windowsPath.c_str(), request.access, ShareAll, nullptr,
                                        request.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return TuLastWindowsError();
    }
    // A device (CON, NUL, a serial port: "con.tif" names the console) or a pipe is no file to
    // read or write at offsets; it is refused before anything touches it.
    if (::GetFileType(opened) != FILE_TYPE_DISK) {
        ::CloseHandle(opened);
        return TuOsAccessDenied;
    }
    if (mode == TuOpenMode::CreateOrEmpty) {
        if (const int error = Empty(opened)) {
            ::CloseHandle(opened);
            return error;
        }
    }
    handle = reinterpret_cast<TuOsHandle>(opened);
    return TuOsNoError;
}

int TuOsFile::QueryInfo(TuFileInfo& info) const {
    if (handle == TuOsNoHandle) {
        return TuOsBadHandle;
    }
    return QueryHandle(TuWindowsHandle(handle), info);
}

TuTransferResult TuOsFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const {
    return Positioned(handle, offset, size,
                      [&](HANDLE file, DWORD count, DWORD& moved, OVERLAPPED& at) {
                          return ::ReadFile(file, buffer, count, &moved, &at);
                      });
}

TuTransferResult TuOsFile::WriteAt(std::uint64_t offset, const void* buffer,
                                   std::size_t size) const {
    return Positioned(handle, offset, size,
                      [&](HANDLE file, DWORD count, DWORD& moved, OVERLAPPED& at) {
                          return ::WriteFile(file, buffer, count, &moved, &at);
                      });
}

int TuOsFile::Sync() const {
    if (handle == TuOsNoHandle) {
        return TuOsBadHandle;
    }
    if (!::FlushFileBuffers(TuWindowsHandle(handle))) {
        const DWORD error = ::GetLastError();
        // A handle open for reading only may not flush, and has written nothing to flush.
        return error == ERROR_ACCESS_DENIED ? TuOsNoError : TuWindowsError(error);
    }
    return TuOsNoError;
}

int TuOsFile::Close() {
    if (handle == TuOsNoHandle) {
        return TuOsNoError;
    }
    const HANDLE closing = TuWindowsHandle(handle);
    handle = TuOsNoHandle;
    return ::CloseHandle(closing) ? TuOsNoError : TuLastWindowsError();
}
