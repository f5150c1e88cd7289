// The seam's process facts on Windows: GetModuleFileNameW, GetCurrentDirectoryW, GetUserNameW
// and GetComputerNameW, each in a buffer that grows until the text fits.
#include "uOsProcess.h"

#include "uOsWindows.h"

namespace {

// The user's and the computer's name are short (256 and 15 units at most); paths may be long.
constexpr DWORD FirstNameSize = 257;

// Adapts the calls that take their size in and give the length out: the length written
// (without the terminator) on success, the size needed when the buffer was too small.
template <class Call> DWORD NameCall(wchar_t* buffer, DWORD size, Call call) {
    DWORD length = size;
    if (call(buffer, &length)) {
        // GetUserNameW counts the terminator, GetComputerNameW does not.
        while (length > 0 && buffer[length - 1] == L'\0') {
            --length;
        }
        return length < size ? length : 0;
    }
    const DWORD error = ::GetLastError();
    return error == ERROR_INSUFFICIENT_BUFFER || error == ERROR_BUFFER_OVERFLOW
               ? (length > size ? length : 2 * size)
               : 0;
}

} // namespace

bool TuOsProgramPath(std::u16string& path) {
    return TuFillWindowsText(path, MAX_PATH, [](wchar_t* buffer, DWORD size) {
        // A path that fills the buffer was cut: the size returned is then the buffer's.
        return ::GetModuleFileNameW(nullptr, buffer, size);
    });
}

bool TuOsCurrentFolder(std::u16string& folder) {
    return TuFillWindowsText(folder, MAX_PATH, [](wchar_t* buffer, DWORD size) {
        return ::GetCurrentDirectoryW(size, buffer);
    });
}

bool TuOsUserName(std::u16string& name) {
    return TuFillWindowsText(name, FirstNameSize, [](wchar_t* buffer, DWORD size) {
        return NameCall(buffer, size, ::GetUserNameW);
    });
}

bool TuOsHostName(std::u16string& name) {
    return TuFillWindowsText(name, FirstNameSize, [](wchar_t* buffer, DWORD size) {
        return NameCall(buffer, size, ::GetComputerNameW);
    });
}
