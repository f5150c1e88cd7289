// FolderWalk: the TIFF files in a folder given as FILE, one at a time, in the byte order of
// their paths (as `LC_ALL=C sort` orders them), whatever order the file system lists them in.
//
// A TIFF file is a regular file whose name ends in ".tif" or ".tiff", in any case. Names that
// begin with a dot are hidden and passed over, files and folders alike, as the shell's *.tif
// passes them over. With `recursive` the walk descends into subfolders; otherwise it stays in
// the folder given.
//
// Links. The folder given is followed when it is a link: it was named. Inside it a link is
// taken only when it names a regular TIFF file (by its own name) that lies inside the folder
// given, after every link on the way is resolved; a link to a file elsewhere, a link that
// leads nowhere and a link to a folder are passed over. Since no folder is entered through a
// link, the walk never loops and never leaves the tree.
//
// Memory: the walk holds the sorted names of the folders it is in (the folder given and the
// subfolders on the way down), not of the files done, nor of the whole tree.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace kestrel::cli {

// A TIFF file to process, or a folder that could not be read (error set).
struct WalkItem {
    std::string path; // UTF-8: the folder as given, joined with the names below it
    std::error_code error;
};

// Whether a file name ends in ".tif" or ".tiff", in any case.
bool HasTiffExtension(std::string_view name);

class FolderWalk {
public:
    // folder: UTF-8, as given; it is read at the first Next.
    FolderWalk(const std::string& folder, bool recursive);

    // The next file, or the next folder that could not be read; none at the end.
    std::optional<WalkItem> Next();

private:
    // The entries of one folder that the walk visits, sorted: each name followed by '\0' in
    // one block, subfolders with '/' after their name, so that a subfolder's files sort where
    // their paths do.
    struct Level {
        std::filesystem::path folder;
        std::string names;
        std::vector<std::uint32_t> starts;
        std::size_t next = 0;
    };

    // Lists folder into a new level; the error of a folder that could not be read.
    std::error_code Enter(const std::filesystem::path& folder);
    void Keep(Level& level, const std::filesystem::directory_entry& entry, std::string_view name);
    bool IsLinkToTiffInside(const std::filesystem::path& link) const;

    std::filesystem::path root;
    bool recursive;
    bool started = false;
    std::filesystem::path canonicalRoot; // the tree that links may point into
    std::vector<Level> levels;
};

} // namespace kestrel::cli
