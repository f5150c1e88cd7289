// Paths between kestrel-cli's narrow text, which is UTF-8, and std::filesystem, whose narrow
// strings are in the host's own encoding. On POSIX both keep the bytes of a name exactly, valid
// UTF-8 or not.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kestrel::cli {

inline std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace kestrel::cli
