// File existence and access tests on a wide path.
#pragma once

#include "uOsFile.h"

// The access modes of TuFileAccess, numbered as the C library's access test numbers them.
constexpr int TuAccessExists = 0;
constexpr int TuAccessWrite = 2;
constexpr int TuAccessRead = 4;
constexpr int TuAccessReadWrite = 6;

// Whether permission bits (TuFileInfo::permissions) carry any write bit (owner, group or
// others). A file without one is read-only for everyone, the superuser included, as a
// read-only attribute is.
constexpr bool TuHasWriteBit(unsigned mode) {
    return (mode & 0222) != 0;
}

// 0 when the access mode is granted, -1 otherwise (and for any other mode). Writing is refused
// for a path without any write permission bit even where the system would allow it (the
// superuser), as for a read-only file.
[[nodiscard]] int TuFileAccess(const char16_t* path, int mode);

// What TuFileAccess answers for TuAccessExists, TuAccessRead and TuAccessWrite of one path
// (TuAccessReadWrite is readable and writable), found with fewer system calls than asking for
// each mode in turn: a status query, then usually a single read-and-write test. The status
// query also tells whether the path names a regular file (through any links) rather than a
// folder, a pipe or a device.
struct TuFileAccessAnswers {
    bool exists = false;
    bool readable = false;
    bool writable = false;
    bool regular = false;
};
TuFileAccessAnswers TuFileAccessAll(const char16_t* path);
