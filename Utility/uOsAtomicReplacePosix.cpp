// The seam's atomic replacement on POSIX: links are followed with lstat and readlink; the new
// file is made by mkostemp beside the target, given the old file's owner and permissions with
// fchown and fchmod, written, synced and closed, renamed over the target, and the folder is
// synced so that the rename itself is durable.
#include "uOsAtomicReplace.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "uOsPosix.h"

namespace {

constexpr int MaximumLinkHops = 40;          // as the system's own path resolution allows
constexpr std::size_t LinkTargetSize = 4096; // the longest link target followed, and more
constexpr std::size_t TempBaseLimit = 200;   // keeps a temporary name below the name limit
constexpr mode_t NewFileRequest = 0666;      // what a new file asks for; the umask takes bits

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links from path to the file they finally name, which need not exist:
// replacing a linked file replaces its target and keeps the link. 0, or the error number.
int ResolveLinks(std::string& path) {
    for (int hop = 0; hop < MaximumLinkHops; ++hop) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return 0;
        }
        char target[LinkTargetSize];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
        if (length < 0) {
            return errno;
        }
        if (static_cast<std::size_t>(length) == sizeof target) {
            return ENAMETOOLONG;
        }
        std::string next(target, static_cast<std::size_t>(length));
        if (next.empty() || next[0] != '/') {
            const std::string folder = FolderOf(path);
            next = (folder == "/" ? folder : folder + "/") + next;
        }
        path = next;
    }
    return ELOOP;
}

// The umask as /proc/self/status shows it (on its line "Umask:\t0022"); false where that
// cannot be read.
bool ReadUmask(mode_t& mask) {
    constexpr std::string_view Field = "\nUmask:";
    const int descriptor =
        TuRetryInterrupted([] { return ::open("/proc/self/status", O_RDONLY | O_CLOEXEC); });
    if (descriptor < 0) {
        return false;
    }
    std::string text;
    char block[1024];
    for (;;) {
        const ssize_t got =
            TuRetryInterrupted([&] { return ::read(descriptor, block, sizeof block); });
        if (got <= 0) {
            ::close(descriptor);
            if (got < 0) {
                return false;
            }
            break;
        }
        text.append(block, static_cast<std::size_t>(got));
    }
    const std::size_t line = text.find(Field);
    if (line == std::string::npos) {
        return false;
    }
    mask = static_cast<mode_t>(std::strtoul(text.c_str() + line + Field.size(), nullptr, 8) & 0777);
    return true;
}

// The permissions that a file created with open(2) gets: the request less the umask.
mode_t NewFilePermissions() {
    mode_t mask = 0;
    if (!ReadUmask(mask)) {
        // The umask cannot be read without setting it: it is set and put back at once.
        mask = ::umask(022);
        ::umask(mask);
    }
    return NewFileRequest & ~mask;
}

// A temporary file beside the target that is removed again unless it was renamed.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
        if (!path.empty()) {
            ::unlink(path.c_str());
        }
    }

    // Creates a new file, readable and writable by its owner only, named ".NAME.XXXXXX" after
    // the target with a unique suffix; 0, or the error number.
    int Create(const std::string& target) {
        std::string name = FolderOf(target);
        if (name != "/") {
            name += '/';
        }
        name += '.';
        name += BaseOf(target).substr(0, TempBaseLimit);
        name += ".XXXXXX";
        descriptor = ::mkostemp(name.data(), O_CLOEXEC);
        if (descriptor < 0) {
            return errno;
        }
        path = name;
        return 0;
    }

    // Gives the file the old one's owner, where the process may give it away, and its
    // permissions; 0, or the error number of the permissions.
    int TakeOwnerAndPermissions(const struct stat& old) const {
        struct stat fresh {};
        if (::fstat(descriptor, &fresh) == 0 &&
            (fresh.st_uid != old.st_uid || fresh.st_gid != old.st_gid)) {
            if (::fchown(descriptor, old.st_uid, old.st_gid) != 0) {
                // Not the owner's to give away: the file becomes the writer's, as any save does.
            }
        }
        return SetPermissions(old.st_mode & 07777);
    }

    int SetPermissions(mode_t permissions) const {
        return ::fchmod(descriptor, permissions) == 0 ? 0 : errno;
    }

    // Writes every byte; 0, or the error number.
    int WriteAll(const void* bytes, std::size_t size) const {
        const auto* next = static_cast<const unsigned char*>(bytes);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t written =
                TuRetryInterrupted([&] { return ::write(descriptor, next + done, size - done); });
            if (written < 0) {
                return errno;
            }
            if (written == 0) {
                return ENOSPC;
            }
            done += static_cast<std::size_t>(written);
        }
        return 0;
    }

    // Forces the contents to the storage and closes the file; 0, or the error number.
    int SyncAndClose() {
        int error = ::fsync(descriptor) != 0 ? errno : 0;
        const int closed = ::close(descriptor);
        descriptor = -1;
        if (error == 0 && closed != 0) {
            error = errno;
        }
        return error;
    }

    // Renames the file to target; 0, or the error number. Afterwards nothing is removed.
    int RenameTo(const std::string& target) {
        if (::rename(path.c_str(), target.c_str()) != 0) {
            return errno;
        }
        path.clear();
        return 0;
    }

private:
    int descriptor = -1;
    std::string path;
};

// Makes a finished rename durable; the new file is in place already, so a failure here is not
// one the caller could act on.
void SyncFolder(const std::string& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

} // namespace

TuReplaceResult TuReplaceFile(const char16_t* path, const void* bytes, std::size_t size) {
    std::string target;
    if (!TuPosixPath(path, target)) {
        return {TuReplaceStep::Placing, TuOsNoSuchFile};
    }
    if (const int error = ResolveLinks(target)) {
        return {TuReplaceStep::Placing, error};
    }
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode)) {
        return {TuReplaceStep::Placing, TuOsAccessDenied};
    }

    TemporaryFile temporary;
    if (const int error = temporary.Create(target)) {
        return {TuReplaceStep::Placing, error};
    }
    const int permissionsError = replacing ? temporary.TakeOwnerAndPermissions(old)
                                           : temporary.SetPermissions(NewFilePermissions());
    if (permissionsError != 0) {
        return {TuReplaceStep::Writing, permissionsError};
    }
    if (const int error = temporary.WriteAll(bytes, size)) {
        return {TuReplaceStep::Writing, error};
    }
    if (const int error = temporary.SyncAndClose()) {
        return {TuReplaceStep::Writing, error};
    }
    if (const int error = temporary.RenameTo(target)) {
        return {TuReplaceStep::Placing, error};
    }
    SyncFolder(FolderOf(target));
    return {};
}
