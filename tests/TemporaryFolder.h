// Scratch folders for the tests on every host: a new folder in the host's temporary folder
// (/tmp on Linux, the user's Temp folder on Windows), named as narrow text, the form the
// library's TuFileName takes (UTF-8 on Windows), with the host's own separator.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#ifdef _WIN32
constexpr char TestPathSeparator = '\\';
#else
constexpr char TestPathSeparator = '/';
#endif

// The narrow text of a path: its bytes on POSIX, its UTF-8 form on Windows.
inline std::string NarrowPath(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.string();
#endif
}

// The path that narrow text names.
inline std::filesystem::path PathOf(const std::string& narrow) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(narrow.begin(), narrow.end()));
#else
    return std::filesystem::path(narrow);
#endif
}

// Where scratch folders are made: the host's temporary folder, or the folder that
// KESTREL_TEST_TEMP names. The Windows suites are given a short one (under Wine, the build
// machine's /tmp): messages elide a path of 48 bytes or more, and tests that find a file's
// name in a message need it whole, which Windows' own temporary folder is too long for.
inline std::filesystem::path TemporaryBase(std::error_code& error) {
    if (const char* given = std::getenv("KESTREL_TEST_TEMP"); given != nullptr && *given != '\0') {
        return PathOf(given).make_preferred();
    }
    return std::filesystem::temp_directory_path(error);
}

// Makes a new folder named prefix and a random number; its path, or "" when none could be made.
inline std::string MakeTemporaryFolder(const std::string& prefix) {
    std::random_device random;
    std::error_code error;
    const std::filesystem::path base = TemporaryBase(error);
    for (int attempt = 0; attempt < 100 && !error; ++attempt) {
        // Six digits, as mkdtemp's six letters: names stay short (see above).
        const std::filesystem::path candidate =
            base / (prefix + std::to_string(100000 + random() % 900000));
        if (std::filesystem::create_directory(candidate, error)) {
            return NarrowPath(candidate);
        }
    }
    return "";
}
