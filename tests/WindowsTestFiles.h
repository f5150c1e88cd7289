// What the Windows tests do to files beside the library: attributes, a file held open by
// "another program" without sharing, and a drive letter that names no drive.
#pragma once

#include <windows.h>

#include <string>

#include "TemporaryFolder.h"

inline std::wstring WindowsPath(const std::string& narrow) {
    return PathOf(narrow).wstring();
}

inline DWORD AttributesOf(const std::string& path) {
    return GetFileAttributesW(WindowsPath(path).c_str());
}

inline bool SetAttributes(const std::string& path, DWORD attributes) {
    return SetFileAttributesW(WindowsPath(path).c_str(), attributes) != 0;
}

// The file open as a program opens it that shares it with no one (an editor, a scanner),
// until the object ends.
class HeldWithoutSharing {
public:
    explicit HeldWithoutSharing(const std::string& path)
        : handle(CreateFileW(WindowsPath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldWithoutSharing() {
        if (Held()) {
            CloseHandle(handle);
        }
    }
    HeldWithoutSharing(const HeldWithoutSharing&) = delete;
    HeldWithoutSharing& operator=(const HeldWithoutSharing&) = delete;
    bool Held() const { return handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle;
};

// A drive letter that names no drive on this machine ('\0' when every letter is taken).
inline char UnusedDriveLetter() {
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Q'; letter <= 'Y'; ++letter) {
        if ((drives & (1u << (letter - 'A'))) == 0) {
            return letter;
        }
    }
    return '\0';
}
