#include "FileSource.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "Utf8Path.h"

namespace kestrel::cli {

bool IsFolderToWalk(const std::string& name) {
    std::error_code error;
    return !HasTiffExtension(name) && std::filesystem::is_directory(PathFromUtf8(name), error);
}

FileSource::FileSource(std::vector<std::string> arguments, bool recursive, NameList* list,
                       bool walkFolders)
    : arguments(std::move(arguments)), recursive(recursive), list(list), walkFolders(walkFolders) {}

bool FileSource::NextName(std::string& name) {
    if (nextArgument < arguments.size()) {
        name = arguments[nextArgument++];
        return true;
    }
    return list != nullptr && list->Next(name);
}

std::optional<WalkItem> FileSource::Next() {
    for (;;) {
        if (walk) {
            if (std::optional<WalkItem> item = walk->Next()) {
                return item;
            }
            walk.reset();
        }
        std::string name;
        if (!NextName(name)) {
            return std::nullopt;
        }
        if (!walkFolders || !IsFolderToWalk(name)) {
            return WalkItem{name, {}};
        }
        sawFolder = true;
        walk.emplace(name, recursive);
    }
}

std::size_t CountFiles(const std::vector<std::string>& arguments, bool recursive) {
    FileSource source(arguments, recursive, nullptr);
    std::size_t count = 0;
    while (source.Next()) {
        ++count;
    }
    return count;
}

} // namespace kestrel::cli
