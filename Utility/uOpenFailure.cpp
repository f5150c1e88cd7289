// TuFileName::RaiseOpenFailure: turns a failed open into the catalogue cause that names
// what went wrong, down to the missing directory or the file that stands in for one.
#include "uCauses.h"
#include "uError.h"
#include "uFileName.h"
#include "uFileTest.h"
#include "uOsFile.h"
#include "uText.h"

namespace {

constexpr char16_t Separator = TuHostPathStyle == TuPathStyle::Windows ? u'\\' : u'/';
// The first separator that the ancestor walk considers: the one after "C:" on Windows,
// the root itself on POSIX. The separator at this position belongs to the prefix tested.
constexpr std::size_t RootSeparator = TuHostPathStyle == TuPathStyle::Windows ? 2 : 0;

// Some hosts report failures with other numbers than the catalogue's table knows: a path
// through a regular file fails as "not a directory", opening a directory as "is a directory".
// They are diagnosed as a missing path and a refused access.
int TableErrorNumber(int errorNumber) {
    if (errorNumber == TuOsNotAFolder) {
        return TuOsNoSuchFile;
    }
    if (errorNumber == TuOsIsAFolder) {
        return TuOsAccessDenied;
    }
    return errorNumber;
}

// What the walk towards the root found for a path that does not exist.
struct Ancestor {
    bool found = false;
    bool holdsFile = false; // the first prefix tested: the directory meant to hold the file
    bool isRegular = false; // a regular file stands where a directory was expected
    bool isOther = false;   // neither a regular file nor a directory
    char16_t missing[TuPathSize] = {};  // the first component, from the root, that is missing
    char16_t blocking[TuPathSize] = {}; // the last component of the existing prefix
};

void CopyRange(char16_t* destination, const char16_t* begin, const char16_t* end) {
    while (begin < end) {
        *destination++ = *begin++;
    }
    *destination = 0;
}

// The folder that holds path: its drive or share followed by its directory, taken from the
// text before the last separator rather than by splitting the path, so that a directory
// beyond the limit of a path part is still named. The POSIX root is named "/".
void CopyFolder(const char16_t* path, char16_t (&folder)[TuPathSize]) {
    const char16_t* end = path + TuWideLength(path);
    while (end > path && end[-1] != Separator) {
        --end;
    }
    if (end > path + 1) {
        CopyRange(folder, path, end - 1);
    } else {
        folder[0] = Separator;
        folder[1] = 0;
    }
}

Ancestor FindExistingAncestor(const char16_t* path) {
    Ancestor ancestor;
    char16_t work[TuPathSize];
    TuWideCopyN(work, path, TuPathSize);
    const std::size_t length = TuWideLength(work);
    bool first = true;
    for (std::size_t position = length; position-- > RootSeparator;) {
        if (work[position] != Separator) {
            continue;
        }
        // The root's separator is part of the root; any other ends the prefix before it.
        const std::size_t cut = position == RootSeparator ? position + 1 : position;
        const char16_t kept = work[cut];
        work[cut] = 0;
        TuFileInfo info;
        const bool exists = TuQueryFileInfo(work, info) == TuOsNoError;
        work[cut] = kept;
        if (exists) {
            ancestor.found = true;
            ancestor.holdsFile = first;
            ancestor.isRegular = info.kind == TuFileKind::Regular;
            ancestor.isOther = info.kind == TuFileKind::Other;
            const char16_t* next = work + position + 1;
            const char16_t* nextEnd = next;
            while (*nextEnd != 0 && *nextEnd != Separator) {
                ++nextEnd;
            }
            CopyRange(ancestor.missing, next, nextEnd);
            const char16_t* blockingStart = work + position;
            while (blockingStart > work && blockingStart[-1] != Separator) {
                --blockingStart;
            }
            CopyRange(ancestor.blocking, blockingStart, work + position);
            return ancestor;
        }
        first = false;
    }
    // Not even the root exists: the root is named as the missing directory.
    CopyRange(ancestor.missing, work,
              work + (length < RootSeparator + 1 ? length : RootSeparator + 1));
    return ancestor;
}

} // namespace

void TuFileName::RaiseOpenFailure(TuOpenAccess wanted, int errorNumber) const {
    if (errorNumber == TuOsTooManyOpenFiles) {
        throw TuException(TuCauseOpenTooManyFiles, 2, path, errorNumber);
    }

    const bool wantsRead = wanted != TuOpenAccess::Write;
    const bool wantsWrite = wanted != TuOpenAccess::Read;

    TuFileInfo info;
    const bool exists = TuQueryFileInfo(path, info) == TuOsNoError;

    switch (TableErrorNumber(errorNumber)) {
    case TuOsFileExists:
        throw TuException(TuCauseCreateFileExists, 2, path, errorNumber);
    case TuOsAccessDenied:
        // A path that cannot even be examined is refused on the way to it, not a directory.
        if (!exists) {
            throw TuException(TuCauseOpenDenied, 2, path, errorNumber);
        }
        if (info.kind != TuFileKind::Regular) {
            throw TuException(TuCauseOpenIsDirectory, 2, path, errorNumber);
        }
        if (wantsWrite && TuFileAccess(path, TuAccessWrite) != 0) {
            throw TuException(TuCauseOpenWriteDenied, 2, path, errorNumber);
        }
        if (wantsRead && TuFileAccess(path, TuAccessRead) != 0) {
            throw TuException(TuCauseOpenReadDenied, 2, path, errorNumber);
        }
        throw TuException(TuCauseOpenDenied, 2, path, errorNumber);
    case TuOsNoSuchFile: {
        char16_t folder[TuPathSize];
        CopyFolder(path, folder);
        if (exists) { // the file vanished between the open and this look: name its folder
            throw TuException(TuCauseOpenDirectoryMissing, 3, path,
                              static_cast<const char16_t*>(folder), errorNumber);
        }
        const Ancestor ancestor = FindExistingAncestor(path);
        if (ancestor.found && ancestor.holdsFile) {
            char16_t nameAndExtension[TuPartSize];
            GetNameAndExtension(nameAndExtension);
            throw TuException(TuCauseOpenFileMissing, 3,
                              static_cast<const char16_t*>(nameAndExtension),
                              static_cast<const char16_t*>(folder), errorNumber);
        }
        if (ancestor.found && ancestor.isRegular) {
            throw TuException(TuCauseOpenComponentIsFile, 3, path,
                              static_cast<const char16_t*>(ancestor.blocking), errorNumber);
        }
        if (ancestor.found && ancestor.isOther) {
            throw TuException(TuCauseOpenComponentNotDirectory, 3, path,
                              static_cast<const char16_t*>(ancestor.blocking), errorNumber);
        }
        throw TuException(TuCauseOpenDirectoryMissing, 3, path,
                          static_cast<const char16_t*>(ancestor.missing), errorNumber);
    }
    default:
        throw TuException(TuCauseOpenFailedUnexplained, 2, path, errorNumber);
    }
}
