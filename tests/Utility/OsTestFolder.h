// A scratch folder for the tests of the operating-system seam, made with the standard library
// only so that those tests build for every host the seam has. Names in it are ASCII, whose
// wide form is the same in every host's path encoding.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "TemporaryFolder.h"

class OsTestFolder {
public:
    OsTestFolder() : path(PathOf(MakeTemporaryFolder("kestrel-os-"))) {
        if (path.empty()) {
            throw std::runtime_error("no scratch folder could be made");
        }
    }
    ~OsTestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    OsTestFolder(const OsTestFolder&) = delete;
    OsTestFolder& operator=(const OsTestFolder&) = delete;

    const std::filesystem::path& Path() const { return path; }
    std::filesystem::path operator/(const std::string& name) const { return path / name; }
    // The wide path of name in the folder, as the seam takes it.
    std::u16string Wide(const std::string& name) const { return (path / name).u16string(); }

    // The names in the folder, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path;
};

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}
