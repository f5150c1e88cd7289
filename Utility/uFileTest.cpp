#include "uFileTest.h"

#include <unistd.h>

#include "uText.h"

namespace {

// Room for the narrow form of any path of 259 units.
constexpr std::size_t NarrowPathSize = 520;

} // namespace

int TuFileStatus(const char16_t* path, struct stat* status) {
    if (path == nullptr || status == nullptr)
        return -1;
    char narrow[NarrowPathSize];
    TuNarrowBytes(narrow, path, sizeof narrow);
    return stat(narrow, status) == 0 ? 0 : -1;
}

int TuFileAccess(const char16_t* path, int mode) {
    if (path == nullptr)
        return -1;
    char narrow[NarrowPathSize];
    TuNarrowBytes(narrow, path, sizeof narrow);
    switch (mode) {
    case 0:
        return access(narrow, F_OK) == 0 ? 0 : -1;
    case 4:
        return access(narrow, R_OK) == 0 ? 0 : -1;
    case 2:
    case 6: {
        // A path without any write permission bit is read-only for everyone, the
        // superuser included, as a read-only attribute would be.
        struct stat status;
        if (stat(narrow, &status) != 0 || (status.st_mode & 0222) == 0)
            return -1;
        return access(narrow, mode == 2 ? W_OK : (R_OK | W_OK)) == 0 ? 0 : -1;
    }
    default:
        return -1;
    }
}
