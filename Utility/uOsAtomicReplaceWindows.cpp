// The seam's atomic replacement on Windows: links are followed by opening the target and asking
// for the final path of its handle; the new file is made with CREATE_NEW beside the target,
// with the old file's attributes, written, flushed with FlushFileBuffers and closed, then moved
// over the target with MoveFileExW (MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH), which
// returns only once the move is on the storage.
//
// ReplaceFileW is not used: it may fail halfway, with the old file moved aside under another
// name, and some file systems it runs on drop the replaced file's attributes all the same. The
// new file gets the permissions that its folder gives new files, as any newly saved file does.
#include "uOsAtomicReplace.h"

#include <cstdint>

#include "uOsWindows.h"

namespace {

constexpr std::size_t TempBaseLimit = 200; // keeps a temporary name below the name limit
constexpr int NameAttempts = 100;          // unique names tried before giving up
constexpr DWORD LastMoveWait = 512;        // milliseconds: waits of 1, 2, 4 ... 512, 1 s in all
// What the new file takes over from the old one; read-only is refused before (a read-only
// file is not replaced), and the rest (compression, encryption, sparseness) is the file
// system's own business.
constexpr DWORD KeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                 FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// What stands at the target's place now.
struct Target {
    std::wstring path; // the file that links on the way lead to
    bool exists = false;
    bool regular = false;
    DWORD attributes = 0;
};

// The final path of an open handle, in the \\?\ form the system gives it; empty when the
// system cannot tell.
std::wstring FinalPath(HANDLE handle) {
    std::u16string final;
    const bool told = TuFillWindowsText(final, MAX_PATH, [handle](wchar_t* buffer, DWORD size) {
        return ::GetFinalPathNameByHandleW(handle, buffer, size, FILE_NAME_NORMALIZED);
    });
    return told ? std::wstring(reinterpret_cast<const wchar_t*>(final.c_str())) : std::wstring();
}

// Finds what the path leads to; 0, or the error number.
int FindTarget(const std::wstring& path, Target& target) {
    target.path = path;
    const HANDLE handle =
        ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // A new file: its place is the path itself.
        return error == ERROR_FILE_NOT_FOUND ? TuOsNoError : TuWindowsError(error);
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool disk = ::GetFileType(handle) == FILE_TYPE_DISK;
    const bool known = disk && ::GetFileInformationByHandle(handle, &information);
    const std::wstring final = known ? FinalPath(handle) : std::wstring();
    ::CloseHandle(handle);
    target.exists = true;
    target.attributes = information.dwFileAttributes;
    target.regular = known && (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (!final.empty()) {
        target.path = final;
    }
    return TuOsNoError;
}

std::size_t NameStart(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? 0 : separator + 1;
}

// A number that differs from call to call and from process to process, for temporary names;
// a name that exists already is simply tried again with the next.
std::uint64_t NextRandom() {
    static std::uint64_t counter = 0;
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    std::uint64_t mixed = static_cast<std::uint64_t>(now.QuadPart) ^
                          (static_cast<std::uint64_t>(::GetCurrentProcessId()) << 32) ^
                          ::GetCurrentThreadId() ^ (++counter * 0x9E3779B97F4A7C15ull);
    mixed ^= mixed >> 31;
    mixed *= 0xBF58476D1CE4E5B9ull;
    return mixed ^ (mixed >> 29);
}

std::wstring RandomSuffix() {
    static constexpr wchar_t Letters[] =
        L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::uint64_t random = NextRandom();
    std::wstring suffix;
    for (int i = 0; i < 6; ++i) {
        suffix += Letters[random % (sizeof Letters / sizeof Letters[0] - 1)];
        random /= 62;
    }
    return suffix;
}

// A temporary file beside the target that is removed again unless it was moved.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
        if (!path.empty()) {
            ::DeleteFileW(path.c_str());
        }
    }

    // Creates a new file named ".NAME.XXXXXX" after the target, with a unique suffix and the
    // given attributes; 0, or the error number.
    int Create(const std::wstring& target, DWORD attributes) {
        const std::size_t nameStart = NameStart(target);
        std::wstring stem(target, 0, nameStart);
        stem.append(1, L'.').append(target, nameStart, TempBaseLimit).append(1, L'.');
        for (int attempt = 0; attempt < NameAttempts; ++attempt) {
            std::wstring name = stem;
            name.append(RandomSuffix());
            handle = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle != INVALID_HANDLE_VALUE) {
                path = name;
                return TuOsNoError;
            }
            if (::GetLastError() != ERROR_FILE_EXISTS) {
                return TuLastWindowsError();
            }
        }
        return TuOsFileExists;
    }

    // Writes every byte; 0, or the error number.
    int WriteAll(const void* bytes, std::size_t size) const {
        const auto* next = static_cast<const unsigned char*>(bytes);
        std::size_t done = 0;
        while (done < size) {
            constexpr std::size_t Largest = 1u << 30;
            const std::size_t left = size - done;
            DWORD written = 0;
            if (!::WriteFile(handle, next + done,
                             static_cast<DWORD>(left < Largest ? left : Largest), &written,
                             nullptr)) {
                return TuLastWindowsError();
            }
            if (written == 0) {
                return TuOsNoSpace;
            }
            done += written;
        }
        return TuOsNoError;
    }

    // Forces the contents to the storage and closes the file; 0, or the error number.
    int FlushAndClose() {
        int error = ::FlushFileBuffers(handle) ? TuOsNoError : TuLastWindowsError();
        const bool closed = ::CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        if (error == TuOsNoError && !closed) {
            error = TuLastWindowsError();
        }
        return error;
    }

    // Moves the file over target; 0, or the error number. Afterwards nothing is removed.
    // A file that is open anywhere cannot be replaced, and scanners, indexers and other
    // replacements hold the target or the new file open for moments: the move is tried
    // again for about a second before it counts as refused.
    int MoveTo(const std::wstring& target) {
        for (DWORD wait = 1;; wait *= 2) {
            if (::MoveFileExW(path.c_str(), target.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                path.clear();
                return TuOsNoError;
            }
            const DWORD error = ::GetLastError();
            const bool inUse = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
                               error == ERROR_LOCK_VIOLATION;
            if (!inUse || wait > LastMoveWait) {
                return TuWindowsError(error);
            }
            ::Sleep(wait);
        }
    }

private:
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::wstring path;
};

} // namespace

TuReplaceResult TuReplaceFile(const char16_t* path, const void* bytes, std::size_t size) {
    std::wstring windowsPath;
    if (!TuWindowsPath(path, windowsPath)) {
        return {TuReplaceStep::Placing, TuOsNoSuchFile};
    }
    Target target;
    if (const int error = FindTarget(windowsPath, target)) {
        return {TuReplaceStep::Placing, error};
    }
    // A folder or a device is no file to replace; a read-only file may not be replaced, which
    // Windows enforces for everyone but Wine does not for its superuser.
    if (target.exists && (!target.regular || (target.attributes & FILE_ATTRIBUTE_READONLY) != 0)) {
        return {TuReplaceStep::Placing, TuOsAccessDenied};
    }

    TemporaryFile temporary;
    if (const int error = temporary.Create(target.path, target.attributes & KeptAttributes)) {
        return {TuReplaceStep::Placing, error};
    }
    if (const int error = temporary.WriteAll(bytes, size)) {
        return {TuReplaceStep::Writing, error};
    }
    if (const int error = temporary.FlushAndClose()) {
        return {TuReplaceStep::Writing, error};
    }
    if (const int error = temporary.MoveTo(target.path)) {
        return {TuReplaceStep::Placing, error};
    }
    return {};
}
