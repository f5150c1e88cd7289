// Paths between kestrel-cli's narrow text, which is UTF-8, and std::filesystem, whose narrow
// strings are in the host's own encoding. On POSIX both keep the bytes of a name exactly, valid
// UTF-8 or not. On Windows a path is UTF-16 and goes through the utility library's conversion,
// the one every other name takes there, so that a name with a lone surrogate (which Windows
// allows) survives the round trip as it does everywhere else in the program.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#ifdef _WIN32
#include "uText.h"
#endif

namespace kestrel::cli {

#ifdef _WIN32

inline std::filesystem::path PathFromUtf8(std::string_view text) {
    const std::string terminated(text);
    std::u16string wide(terminated.size() + 1, u'\0');
    wide.resize(static_cast<std::size_t>(TuWiden(wide.data(), terminated.c_str()) - wide.data()));
    return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u16string wide(path.native().begin(), path.native().end());
    std::string text(TuNarrowUnitBytes * wide.size() + 1, '\0');
    text.resize(static_cast<std::size_t>(TuNarrow(text.data(), wide.c_str()) - text.data()));
    return text;
}

#else

inline std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

#endif

} // namespace kestrel::cli
