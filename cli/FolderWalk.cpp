#include "FolderWalk.h"

#include <algorithm>

#include "Utf8Path.h"

namespace fs = std::filesystem;

namespace kestrel::cli {
namespace {

bool EndsWithIgnoringCase(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size()) {
        return false;
    }
    return std::equal(suffix.begin(), suffix.end(), name.end() - suffix.size(),
                      [](char expected, char c) {
                          return expected == (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
                      });
}

// Whether path lies inside (or is) folder; both absolute, without links, dots or repeated
// separators.
bool IsWithin(const fs::path& path, const fs::path& folder) {
    auto at = path.begin();
    for (const fs::path& part : folder) {
        // The empty last part of a folder that ends with a separator ("/") matches anything.
        if (part.empty()) {
            continue;
        }
        if (at == path.end() || *at != part) {
            return false;
        }
        ++at;
    }
    return true;
}

} // namespace

bool HasTiffExtension(std::string_view name) {
    return EndsWithIgnoringCase(name, ".tif") || EndsWithIgnoringCase(name, ".tiff");
}

FolderWalk::FolderWalk(const std::string& folder, bool recursive)
    : root(PathFromUtf8(folder)), recursive(recursive) {}

std::optional<WalkItem> FolderWalk::Next() {
    if (!started) {
        started = true;
        std::error_code error;
        canonicalRoot = fs::canonical(root, error);
        if (!error) {
            error = Enter(root);
        }
        if (error) {
            return WalkItem{Utf8FromPath(root), error};
        }
    }
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.starts.size()) {
            levels.pop_back();
            continue;
        }
        std::string_view name(level.names.data() + level.starts[level.next++]);
        const bool isFolder = name.back() == '/';
        if (isFolder) {
            name.remove_suffix(1);
        }
        fs::path path = level.folder / PathFromUtf8(name);
        if (!isFolder) {
            return WalkItem{Utf8FromPath(path), {}};
        }
        // Entering a level may move the levels: nothing of the current one is used after it.
        if (const std::error_code error = Enter(path)) {
            return WalkItem{Utf8FromPath(path), error};
        }
    }
    return std::nullopt;
}

std::error_code FolderWalk::Enter(const fs::path& folder) {
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error) {
        return error;
    }
    Level level;
    level.folder = folder;
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string name = Utf8FromPath(entries->path().filename());
        if (!name.empty() && name[0] != '.') {
            Keep(level, *entries, name);
        }
    }
    // A listing cut short by an error leaves the folder unread: none of its files are taken.
    if (error) {
        return error;
    }
    const char* names = level.names.data();
    std::sort(level.starts.begin(), level.starts.end(), [names](std::uint32_t a, std::uint32_t b) {
        return std::string_view(names + a) < std::string_view(names + b);
    });
    levels.push_back(std::move(level));
    return {};
}

void FolderWalk::Keep(Level& level, const fs::directory_entry& entry, std::string_view name) {
    const bool tiffName = HasTiffExtension(name);
    if (!tiffName && !recursive) {
        return;
    }
    // The kind of the entry itself, a link not followed: on most file systems the listing has
    // told it already, so that asking costs no call per entry.
    std::error_code error;
    bool isFolder = false;
    if (entry.is_symlink(error)) {
        if (!tiffName || !IsLinkToTiffInside(entry.path())) {
            return;
        }
    } else if (entry.is_directory(error)) {
        if (!recursive) {
            return;
        }
        isFolder = true;
    } else if (!tiffName || !entry.is_regular_file(error)) {
        return;
    }
    if (error) {
        return;
    }
    level.starts.push_back(static_cast<std::uint32_t>(level.names.size()));
    level.names.append(name);
    if (isFolder) {
        level.names.push_back('/');
    }
    level.names.push_back('\0');
}

bool FolderWalk::IsLinkToTiffInside(const fs::path& link) const {
    std::error_code error;
    const fs::path target = fs::canonical(link, error);
    return !error && fs::is_regular_file(target, error) && IsWithin(target, canonicalRoot);
}

} // namespace kestrel::cli
