// TuWorldFile: reading and writing the six lines of a world file.
//
// Numbers are written and read in the "C" locale whatever locale the program runs under, so
// that a file written here reads the same everywhere. Writing never truncates the old file:
// the new lines go to a temporary file beside it, which replaces the old one only once it is
// complete and on disk.
#include "uWorldFile.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "uCauses.h"
#include "uError.h"
#include "uFileStream.h"
#include "uFileTest.h"
#include "uOsLocale.h"

namespace {

constexpr int LineBufferSize = 256;        // a line, its line end and the terminator
constexpr std::size_t ReadBlockSize = 512; // bytes read at a time; more than a world file has
constexpr int MaximumLinkHops = 40;        // as the system's own path resolution allows
constexpr std::size_t TempBaseLimit = 200; // keeps a temporary name below the name limit

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Appends one value as its line: 16 significant digits, or 17 when 16 would not read back
// as exactly the same double. Must run in the "C" locale.
void AppendValueLine(std::string& text, double value) {
    char line[64];
    std::snprintf(line, sizeof line, "%24.16g\n", value);
    if (!SameBits(std::strtod(line, nullptr), value)) {
        std::snprintf(line, sizeof line, "%24.17g\n", value);
    }
    text += line;
}

// A line's number as strtod reads it in the "C" locale. The plain decimal form that world
// files hold is converted with from_chars, several times faster and just as exactly rounded;
// every other form (hexadecimal, infinity, not-a-number, a value out of range) is left to
// strtod itself.
double ReadNumber(const char* line) {
    const char* text = line;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
        ++text; // the "C" locale's white space
    }
    const bool negative = *text == '-';
    if (*text == '+' || *text == '-') {
        ++text;
    }
    const bool decimal = (*text >= '0' && *text <= '9') || *text == '.';
    if (decimal && !(text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))) {
        double value = 0;
        const auto result = std::from_chars(text, text + std::strlen(text), value);
        if (result.ec == std::errc()) {
            return negative ? -value : value;
        }
    }
    return std::strtod(line, nullptr);
}

// Reads the lines of a world file through a block of bytes that is refilled only once it is
// used up. A world file is a few hundred bytes at most, so it arrives with one read.
class LineReader {
public:
    explicit LineReader(TuFileStream& file) : file(file) {}

    // Reads one line as text mode on the world file's home system reads it: at most 255 bytes
    // through the line end, a CR LF pair standing for one LF. False at the end of the file.
    bool ReadLine(char (&line)[LineBufferSize]) {
        int length = 0;
        while (length < LineBufferSize - 1) {
            int c = Next();
            if (c == EOF) {
                break;
            }
            if (c == '\r' && Peek() == '\n') {
                c = Next();
            }
            line[length++] = static_cast<char>(c);
            if (c == '\n') {
                break;
            }
        }
        line[length] = '\0';
        return length > 0;
    }

private:
    int Peek() {
        if (position == filled && !Refill()) {
            return EOF;
        }
        return block[position];
    }
    int Next() {
        const int c = Peek();
        if (c != EOF) {
            ++position;
        }
        return c;
    }
    // Reads the next block with one call; false at the end of the file or after a failed
    // read, which end the lines for good. A block that comes short is the end of the file, so
    // a world file (a few hundred bytes at most) takes one call whatever its length.
    bool Refill() {
        if (ended) {
            return false;
        }
        filled = file.ReadSomeAt(offset, block, sizeof block);
        position = 0;
        offset += filled;
        ended = filled < sizeof block;
        return filled > 0;
    }

    TuFileStream& file;
    unsigned char block[ReadBlockSize] = {};
    std::size_t position = 0; // the next byte of block to take
    std::size_t filled = 0;   // the bytes of block that hold the file's
    std::uint64_t offset = 0; // where the next block starts in the file
    bool ended = false;
};

// Raises the open-failure diagnosis for an error number taken before any cleanup ran.
[[noreturn]] void RaiseCreateFailure(const TuFileName& name, int error) {
    name.RaiseOpenFailure(TuOpenAccess::Write, error);
}

[[noreturn]] void RaiseWriteFailure(const TuFileName& name, int error) {
    throw TuException(TuCauseFileWriteFailedDiskFull, 2, name.GetPath(), error);
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links from path to the file they finally name, which need not exist:
// replacing a linked world file replaces its target and keeps the link.
std::string ResolveLinks(const TuFileName& name) {
    std::string path = name.GetNarrow();
    for (int hop = 0; hop < MaximumLinkHops; ++hop) {
        struct stat status;
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return path;
        }
        char target[4096];
        ssize_t length = readlink(path.c_str(), target, sizeof target);
        if (length < 0 || length == static_cast<ssize_t>(sizeof target)) {
            RaiseCreateFailure(name, length < 0 ? errno : ENAMETOOLONG);
        }
        std::string next(target, static_cast<std::size_t>(length));
        if (next.empty() || next[0] != '/') {
            std::string folder = FolderOf(path);
            next = (folder == "/" ? folder : folder + "/") + next;
        }
        path = next;
    }
    RaiseCreateFailure(name, ELOOP);
}

// A temporary file in the world file's folder that is removed again unless it was renamed.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (descriptor >= 0) {
            close(descriptor);
        }
        if (!path.empty()) {
            unlink(path.c_str());
        }
    }

    // Creates a new file named after target with a unique suffix; returns 0 or the error number.
    int Create(const std::string& target, mode_t mode) {
        static unsigned long counter = 0;
        std::string stem = FolderOf(target);
        if (stem != "/") {
            stem += '/';
        }
        stem += '.';
        stem += BaseOf(target).substr(0, TempBaseLimit);
        stem += '.';
        unsigned long seed = (static_cast<unsigned long>(getpid()) * 2654435761UL) ^
                             static_cast<unsigned long>(std::time(nullptr)) ^ (counter++ << 20);
        for (int attempt = 0; attempt < 100; ++attempt) {
            static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
            std::string candidate = stem;
            seed = seed * 6364136223846793005UL + 1442695040888963407UL + attempt;
            for (int i = 0; i < 6; ++i) {
                candidate += digits[(seed >> (16 + 5 * i)) % 36];
            }
            descriptor = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (descriptor >= 0) {
                path = candidate;
                return 0;
            }
            if (errno != EEXIST) {
                return errno;
            }
        }
        return EEXIST;
    }

    // Writes every byte; returns 0 or the error number.
    int WriteAll(const std::string& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t written = write(descriptor, bytes.data() + done, bytes.size() - done);
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            if (written == 0) {
                return ENOSPC;
            }
            done += static_cast<std::size_t>(written);
        }
        return 0;
    }

    // Forces the contents to disk and closes the file; returns 0 or the error number.
    int SyncAndClose() {
        int error = fsync(descriptor) != 0 ? errno : 0;
        int result = close(descriptor);
        descriptor = -1;
        if (error == 0 && result != 0) {
            error = errno;
        }
        return error;
    }

    // Renames the file to target; returns 0 or the error number. Afterwards nothing is removed.
    int RenameTo(const std::string& target) {
        if (std::rename(path.c_str(), target.c_str()) != 0) {
            return errno;
        }
        path.clear();
        return 0;
    }

    int Descriptor() const { return descriptor; }

private:
    int descriptor = -1;
    std::string path;
};

// Makes a finished rename durable; the new file is in place already, so a failure here is not
// one the user could act on.
void SyncFolder(const std::string& folder) {
    int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        fsync(descriptor);
        close(descriptor);
    }
}

} // namespace

TuWorldFile::TuWorldFile() : parameters{1.0, 0.0, 0.0, -1.0, 0.0, 0.0} {}

TuWorldFile::~TuWorldFile() = default;

TuXY TuWorldFile::XVector() const {
    return {parameters[0], parameters[1]};
}
TuXY TuWorldFile::YVector() const {
    return {parameters[2], parameters[3]};
}
TuXY TuWorldFile::ReferencePoint() const {
    return {parameters[4], parameters[5]};
}

void TuWorldFile::SetXVector(TuXY value) {
    parameters[0] = value.x;
    parameters[1] = value.y;
}

void TuWorldFile::SetYVector(TuXY value) {
    parameters[2] = value.x;
    parameters[3] = value.y;
}

void TuWorldFile::SetReferencePoint(TuXY value) {
    parameters[4] = value.x;
    parameters[5] = value.y;
}

void TuWorldFile::Read(const TuFileName& name) {
    TuFileStream file;
    if (file.OpenForReading(name.GetPath()) != TuOsNoError) {
        return;
    }
    LineReader lines(file);
    TuCLocaleScope numbers;
    char line[LineBufferSize];
    for (double& parameter : parameters) {
        if (!lines.ReadLine(line)) {
            // A folder or a pipe in the file's place fails the very first read, which never
            // waits on it: it is left alone like a file that cannot be opened.
            if (file.Error() == TuOsIsAFolder || file.Error() == TuOsNotSeekable) {
                return;
            }
            throw TuException(TuCauseWorldFileNotUnderstood, 1, name.GetNarrow());
        }
        parameter = ReadNumber(line);
    }
}

void TuWorldFile::Write(const TuFileName& name, bool overwrite) {
    if (!overwrite && TuFileAccess(name.GetPath(), TuAccessExists) == 0) {
        throw TuException(TuCauseCreateFileExists, 1, name.GetPath());
    }

    std::string text;
    {
        TuCLocaleScope numbers;
        for (double parameter : parameters) {
            AppendValueLine(text, parameter);
        }
    }

    std::string target = ResolveLinks(name);
    struct stat old;
    bool replacing = stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode)) {
        // A folder, pipe or device in the world file's place is left as it is, and reported as
        // the refused access that names it as no file, as the TIFF module reports one.
        RaiseCreateFailure(name, EACCES);
    }

    TemporaryFile temporary;
    if (int error = temporary.Create(target, 0666)) {
        RaiseCreateFailure(name, error);
    }
    if (replacing) {
        // The replacement keeps the old file's owner where that is allowed, and its mode.
        struct stat fresh;
        if (fstat(temporary.Descriptor(), &fresh) == 0 &&
            (fresh.st_uid != old.st_uid || fresh.st_gid != old.st_gid)) {
            if (fchown(temporary.Descriptor(), old.st_uid, old.st_gid) != 0) {
                // Not the owner's to give away: the file becomes the writer's, as any save does.
            }
        }
        if (fchmod(temporary.Descriptor(), old.st_mode & 07777) != 0) {
            RaiseWriteFailure(name, errno);
        }
    }
    if (int error = temporary.WriteAll(text)) {
        RaiseWriteFailure(name, error);
    }
    if (int error = temporary.SyncAndClose()) {
        RaiseWriteFailure(name, error);
    }
    if (int error = temporary.RenameTo(target)) {
        RaiseCreateFailure(name, error);
    }
    SyncFolder(FolderOf(target));
}
