// What the POSIX implementation of the operating-system seam shares among its files
// (uOs*Posix.cpp); nothing else includes it.
//
// A POSIX path is bytes. The seam's wide paths hold them one unit per byte, as uText converts
// narrow text, so a conversion either way keeps every name exactly.
#pragma once

#include <cerrno>
#include <string>

#include "uOsError.h"

static_assert(TuOsNoSuchFile == ENOENT && TuOsInputOutput == EIO && TuOsBadHandle == EBADF &&
                  TuOsAccessDenied == EACCES && TuOsFileExists == EEXIST &&
                  TuOsNotAFolder == ENOTDIR && TuOsIsAFolder == EISDIR &&
                  TuOsInvalidArgument == EINVAL && TuOsTooManyOpenFiles == EMFILE &&
                  TuOsNoSpace == ENOSPC && TuOsNotSeekable == ESPIPE,
              "the seam's error numbers are this host's errno values");

// The bytes of path; false for a null path or one with a unit above 255, which names no file
// here.
[[nodiscard]] inline bool TuPosixPath(const char16_t* path, std::string& bytes) {
    if (path == nullptr) {
        return false;
    }
    bytes.clear();
    for (; *path != 0; ++path) {
        if (*path > 0xFF) {
            return false;
        }
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(*path)));
    }
    return true;
}

inline std::u16string TuPosixWide(const char* bytes) {
    std::u16string wide;
    for (; *bytes != '\0'; ++bytes) {
        wide.push_back(static_cast<unsigned char>(*bytes));
    }
    return wide;
}

// Calls call() again for as long as it fails (-1) because a signal interrupted it.
template <class Call> auto TuRetryInterrupted(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result == -1 && errno == EINTR);
    return result;
}
