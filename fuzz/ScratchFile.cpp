#include "ScratchFile.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

void RemoveScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(ScratchFolder(), ignored);
}

} // namespace

const std::string& ScratchFolder() {
    static const std::string folder = [] {
        // In memory when the machine offers it: the updates sync every file they write,
        // which on a disk would bound a run to a few dozen inputs a second.
        char shm[] = "/dev/shm/kestrel-fuzz-XXXXXX";
        char tmp[] = "/tmp/kestrel-fuzz-XXXXXX";
        char* pattern = access("/dev/shm", W_OK) == 0 ? shm : tmp;
        if (mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        return std::string(pattern);
    }();
    static const bool registered = (std::atexit(RemoveScratchFolder), true);
    (void)registered;
    return folder;
}

std::string WriteScratchFile(const char* name, const std::uint8_t* data, std::size_t size) {
    const std::string path = ScratchFolder() + "/" + name;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::abort();
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, data + done, size - done);
        if (n <= 0) {
            std::perror(path.c_str());
            std::abort();
        }
        done += static_cast<std::size_t>(n);
    }
    close(fd);
    return path;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        unsigned char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        std::fclose(file);
    }
    return bytes;
}

void FuzzFinding(const char* what) {
    std::fprintf(stderr, "kestrel fuzz finding: %s\n", what);
    std::abort();
}
