// The seam's process facts on POSIX (Linux): /proc/self/exe, getcwd, the password database and
// gethostname.
#include "uOsProcess.h"

#include <climits>
#include <pwd.h>
#include <string>
#include <unistd.h>

#include "uOsPosix.h"

namespace {

// Starts with room for any path and doubles it while the host says it is too small.
constexpr std::size_t FirstBufferSize = PATH_MAX + 1;

} // namespace

bool TuOsProgramPath(std::u16string& path) {
    std::string buffer(FirstBufferSize, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length <= 0) {
            return false;
        }
        // A link that fills the buffer may have been cut.
        if (static_cast<std::size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(length));
            path = TuPosixWide(buffer.c_str());
            return true;
        }
        buffer.resize(2 * buffer.size());
    }
}

bool TuOsCurrentFolder(std::u16string& folder) {
    std::string buffer(FirstBufferSize, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return false;
        }
        buffer.resize(2 * buffer.size());
    }
    folder = TuPosixWide(buffer.c_str());
    return true;
}

bool TuOsUserName(std::u16string& name) {
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::string scratch(1024, '\0');
    int error = 0;
    while ((error = ::getpwuid_r(::geteuid(), &entry, scratch.data(), scratch.size(), &found)) ==
           ERANGE) {
        scratch.resize(2 * scratch.size());
    }
    if (error != 0 || found == nullptr) {
        return false;
    }
    name = TuPosixWide(found->pw_name);
    return true;
}

bool TuOsHostName(std::u16string& name) {
    char buffer[HOST_NAME_MAX + 1] = {};
    // A name that fills the buffer is cut, and may then lack its terminator.
    if (::gethostname(buffer, sizeof buffer - 1) != 0) {
        return false;
    }
    name = TuPosixWide(buffer);
    return true;
}
