// The helpers that the seam's Windows files share: wide paths for the W calls, and Windows'
// errors as the seam's numbers.
#include "uOsWindows.h"

namespace {

// The longest path that every wide call takes without the \\?\ form: folders are created only
// up to 248 units (room for an 8.3 name below them), files up to 259.
constexpr std::size_t LongestPlainPath = 247;

bool IsSeparator(wchar_t unit) {
    return unit == L'\\' || unit == L'/';
}

bool IsDrivePath(const std::wstring& path) {
    return path.size() >= 3 && path[1] == L':' && IsSeparator(path[2]) &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

// \\server\share... but not the \\?\ or \\.\ forms, which are taken as they are.
bool IsSharePath(const std::wstring& path) {
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] != L'?' &&
           path[2] != L'.';
}

// The \\?\ form of a long path: made absolute and normalised by the system first (the form
// itself is taken literally, with no "." or ".." and no "/"), then prefixed. A path that is no
// drive or share path stays as it was.
std::wstring LongForm(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return path;
    }
    full.resize(length);
    if (IsDrivePath(full)) {
        return L"\\\\?\\" + full;
    }
    if (IsSharePath(full)) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return path;
}

} // namespace

bool TuWindowsPath(const char16_t* path, std::wstring& windowsPath) {
    if (path == nullptr || *path == 0) {
        return false;
    }
    windowsPath.assign(reinterpret_cast<const wchar_t*>(path));
    if (windowsPath.size() > LongestPlainPath) {
        windowsPath = LongForm(windowsPath);
    }
    return true;
}

int TuWindowsError(DWORD error) {
    switch (error) {
    case ERROR_SUCCESS:
        return TuOsNoError;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY: // a drive without its medium
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_NAME: // a name Windows cannot hold names no file
        return TuOsNoSuchFile;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION: // the file is open elsewhere without sharing
    case ERROR_LOCK_VIOLATION:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_CANNOT_MAKE:
    case ERROR_FAIL_I24:
    case ERROR_DRIVE_LOCKED:
    case ERROR_SEEK_ON_DEVICE:
    case ERROR_NOT_LOCKED:
    case ERROR_LOCK_FAILED:
    case ERROR_DELETE_PENDING: // a name whose file is being removed
        return TuOsAccessDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return TuOsFileExists;
    case ERROR_TOO_MANY_OPEN_FILES:
        return TuOsTooManyOpenFiles;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return TuOsNoSpace;
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return TuOsInputOutput;
    case ERROR_INVALID_HANDLE:
        return TuOsBadHandle;
    case ERROR_DIRECTORY: // a file where a folder was needed
        return TuOsNotAFolder;
    default:
        return TuOsInvalidArgument;
    }
}
