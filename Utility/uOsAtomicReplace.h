// The operating-system seam for replacing a file whole: readers, and the file after a crash
// at any moment, see the old file or the new one, never a mixture. The new bytes go to a
// temporary file in the same folder, which is made durable and only then takes the old file's
// place; a failure removes it again. One implementation per host (uOsAtomicReplacePosix.cpp,
// ...).
#pragma once

#include <cstddef>

// Where a replacement failed.
enum class TuReplaceStep {
    Done,
    // The new file could not be made beside the old one or put in its place: the folder, the
    // name or what stands there refused it. The error is that of opening the file to write.
    Placing,
    // The new file's bytes, or the old file's permissions on it, could not be written or made
    // durable.
    Writing,
};

struct TuReplaceResult {
    TuReplaceStep step = TuReplaceStep::Done;
    int error = 0; // the error number (uOsError.h) when the step is not Done
};

// Makes the file that path names hold exactly size bytes, whether or not it existed. Links on
// the way are followed: the file they lead to is replaced and they stay as they are. Only a
// regular file is replaced: anything else in its place (a folder, a pipe, a device) is refused
// at Placing with TuOsAccessDenied and left as it is. A replaced file keeps its permissions,
// and its owner where the host lets the process give it; a new file gets the permissions that
// new files get on the host. When the new file is in place but the host cannot confirm that
// its place is durable, the replacement is still Done: the file shows the new bytes.
[[nodiscard]] TuReplaceResult TuReplaceFile(const char16_t* path, const void* bytes,
                                            std::size_t size);
