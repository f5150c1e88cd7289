// What the Windows implementation of the operating-system seam shares among its files
// (uOs*Windows.cpp); nothing else includes it.
//
// A Windows path is UTF-16, exactly what the seam's wide paths hold, so every name reaches the
// system unchanged through the wide (W) calls; the ANSI code page is never used.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX // std::numeric_limits<T>::max, not the max macro
#endif
#include <windows.h>

#include <cstdint>
#include <string>

#include "uOsError.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

// The path as the wide calls take it; false for a null or empty path, which names no file.
// A path too long for the calls' traditional limit of 260 units (a temporary name beside a
// long one, or a name under a deep folder) is given in its absolute \\?\ form, which the
// calls take up to 32767 units long whatever the system's long-path setting is.
bool TuWindowsPath(const char16_t* path, std::wstring& windowsPath);

// The seam's error number for a Windows error (GetLastError), as the C library numbers it on
// Windows: missing files and folders 2, refused access and files in use 13, existing files
// 17, too many open files 24, a full disk 28, failing storage 5; any other error 22.
int TuWindowsError(DWORD error);

// The seam's error number for the last Windows error of the calling thread.
inline int TuLastWindowsError() {
    return TuWindowsError(::GetLastError());
}

inline HANDLE TuWindowsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

inline std::u16string TuWideFromWindows(const wchar_t* text, std::size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// Calls fill(buffer, size) with a buffer of size units, growing it while fill answers that it
// needs more: fill returns the units it wrote (less than size), the size it needs (at least
// size), or 0 on failure. The text, or false.
template <class Fill> bool TuFillWindowsText(std::u16string& text, DWORD firstSize, Fill fill) {
    std::wstring buffer(firstSize, L'\0');
    for (int attempt = 0; attempt < 16; ++attempt) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD got = fill(buffer.data(), size);
        if (got == 0) {
            return false;
        }
        if (got < size) {
            text = TuWideFromWindows(buffer.data(), got);
            return true;
        }
        buffer.assign(got > size ? got : 2 * size, L'\0');
    }
    return false;
}
