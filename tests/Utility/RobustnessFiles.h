// Helpers of the robustness tests: a scratch folder under /tmp, whole-file reads and writes,
// and a small builder of classic TIFF files byte by byte.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "TemporaryFolder.h"

namespace robustness {

using Bytes = std::vector<std::uint8_t>;

// A new scratch folder, removed with everything in it at the end of the scope.
class ScratchFolder {
public:
    ScratchFolder() : path(MakeTemporaryFolder("kestrel-robustness-")) {
        if (path.empty()) {
            throw std::runtime_error("no scratch folder could be made");
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string File(const std::string& name) const { return path + TestPathSeparator + name; }
    const std::string& Path() const { return path; }

private:
    std::string path;
};

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

inline Bytes Fixture(const std::string& name) {
    Bytes bytes = ReadFile(std::string(KESTREL_TEST_DATA) + "/robustness/" + name);
    if (bytes.empty()) {
        throw std::runtime_error("missing fixture " + name);
    }
    return bytes;
}

// Builds a classic TIFF in either byte order: numbers are appended or patched in the file's
// order, so the same test code makes both kinds.
class TiffBuilder {
public:
    explicit TiffBuilder(bool bigEndian, std::uint16_t magic = 42) : big(bigEndian) {
        bytes = {bigEndian ? std::uint8_t('M') : std::uint8_t('I'),
                 bigEndian ? std::uint8_t('M') : std::uint8_t('I')};
        Put16(magic);
        Put32(0);
    }

    std::size_t Size() const { return bytes.size(); }
    void Put8(std::uint8_t v) { bytes.push_back(v); }
    void Put16(std::uint16_t v) { Put(v, 2); }
    void Put32(std::uint32_t v) { Put(v, 4); }
    void Patch32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes[at + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(v >> (big ? 24 - 8 * i : 8 * i));
        }
    }
    void PutDouble(double v) {
        std::uint64_t bits;
        static_assert(sizeof bits == sizeof v);
        std::memcpy(&bits, &v, sizeof v);
        Put(bits, 8);
    }

    struct Entry {
        std::uint16_t tag;
        std::uint16_t type;
        std::uint32_t count;
        std::uint32_t value; // inline value (left-justified by the builder) or offset
    };

    // Appends an IFD and returns the position of its next-IFD offset, for patching.
    std::size_t PutIfd(const std::vector<Entry>& entries, std::uint32_t next = 0) {
        Put16(static_cast<std::uint16_t>(entries.size()));
        for (const Entry& e : entries) {
            Put16(e.tag);
            Put16(e.type);
            Put32(e.count);
            if (e.type == 3 && e.count <= 2) {
                Put16(static_cast<std::uint16_t>(e.value));
                Put16(0);
            } else {
                Put32(e.value);
            }
        }
        const std::size_t nextAt = bytes.size();
        Put32(next);
        return nextAt;
    }
    void SetFirstIfd(std::uint32_t offset) { Patch32(4, offset); }

    Bytes bytes;

private:
    void Put(std::uint64_t v, int width) {
        for (int i = 0; i < width; ++i) {
            const int shift = big ? 8 * (width - 1 - i) : 8 * i;
            bytes.push_back(static_cast<std::uint8_t>(v >> shift));
        }
    }
    bool big;
};

} // namespace robustness
