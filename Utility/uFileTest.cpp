#include "uFileTest.h"

#include <unistd.h>

#include "uPath.h"
#include "uText.h"

namespace {

// Room for the narrow form of any whole path.
constexpr std::size_t NarrowPathSize = 2 * TuPathSize;

// Narrows path for the system; false when it has no exact narrow form (a unit above 255) or
// does not fit, so that no other file is ever tested in its place.
bool NarrowPath(const char16_t* path, char (&narrow)[NarrowPathSize]) {
    if (path == nullptr)
        return false;
    std::size_t length = 0;
    for (; path[length] != 0; ++length)
        if (path[length] > 0xFF || length + 1 >= NarrowPathSize)
            return false;
    TuNarrowBytes(narrow, path, NarrowPathSize);
    return true;
}

} // namespace

int TuFileStatus(const char16_t* path, struct stat* status) {
    char narrow[NarrowPathSize];
    if (status == nullptr || !NarrowPath(path, narrow))
        return -1;
    return stat(narrow, status) == 0 ? 0 : -1;
}

int TuFileAccess(const char16_t* path, int mode) {
    char narrow[NarrowPathSize];
    if (!NarrowPath(path, narrow))
        return -1;
    switch (mode) {
    case TuAccessExists:
        return access(narrow, F_OK) == 0 ? 0 : -1;
    case TuAccessRead:
        return access(narrow, R_OK) == 0 ? 0 : -1;
    case TuAccessWrite:
    case TuAccessReadWrite: {
        struct stat status;
        if (stat(narrow, &status) != 0 || !TuHasWriteBit(status.st_mode))
            return -1;
        return access(narrow, mode == TuAccessWrite ? W_OK : (R_OK | W_OK)) == 0 ? 0 : -1;
    }
    default:
        return -1;
    }
}

TuFileAccessAnswers TuFileAccessAll(const char16_t* path) {
    TuFileAccessAnswers answers;
    char narrow[NarrowPathSize];
    struct stat status;
    if (!NarrowPath(path, narrow) || stat(narrow, &status) != 0)
        return answers;
    answers.exists = true;
    answers.regular = S_ISREG(status.st_mode);
    // The same rule as TuFileAccess: no write bit, no writing.
    if (TuHasWriteBit(status.st_mode) && access(narrow, R_OK | W_OK) == 0) {
        answers.readable = answers.writable = true;
        return answers;
    }
    answers.readable = access(narrow, R_OK) == 0;
    // Read and write together failed: with reading granted, writing is what was refused.
    answers.writable =
        !answers.readable && TuHasWriteBit(status.st_mode) && access(narrow, W_OK) == 0;
    return answers;
}
