// FileSource: the files a command works on, one at a time: the FILE arguments in their order,
// then the names of --files-from. A name that names a folder stands for the TIFF files in it
// (FolderWalk); any other name is passed on as given, for the dialog to take as a typed name.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "FolderWalk.h"
#include "NameList.h"

namespace kestrel::cli {

// Whether a FILE stands for a folder to walk: it names a folder and does not end in ".tif" or
// ".tiff", so that a TIFF's name costs no look at the disk beyond the dialog's own.
bool IsFolderToWalk(const std::string& name);

class FileSource {
public:
    // list: the names of --files-from, read after the arguments; none without it. Without
    // walkFolders every name is passed on as given, a folder's too.
    FileSource(std::vector<std::string> arguments, bool recursive, NameList* list,
               bool walkFolders = true);

    // The next file, or a folder that could not be read; none at the end.
    std::optional<WalkItem> Next();
    // Whether a name so far was a folder.
    bool SawFolder() const { return sawFolder; }

private:
    [[nodiscard]] bool NextName(std::string& name);

    std::vector<std::string> arguments;
    std::size_t nextArgument = 0;
    bool recursive;
    NameList* list;
    bool walkFolders;
    std::optional<FolderWalk> walk;
    bool sawFolder = false;
};

// How many items a FileSource over the arguments alone gives: files and unreadable folders.
std::size_t CountFiles(const std::vector<std::string>& arguments, bool recursive);

} // namespace kestrel::cli
