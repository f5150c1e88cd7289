// The walk of a folder given as FILE, on real folders: which files it takes, in which order, and
// what it does with links, hidden names and folders it cannot read.
#include "FolderWalk.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Utf8Path.h"
#include "Utility/OsTestFolder.h"

using namespace kestrel::cli;
namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "x";
}

// Every path the walk of folder (given as this UTF-8 text) gives, relative to base and with
// '/' between its parts; an unreadable folder as "!" and its path.
std::vector<std::string> Walked(const std::string& folder, bool recursive, const fs::path& base) {
    FolderWalk walk(folder, recursive);
    std::vector<std::string> paths;
    while (std::optional<WalkItem> item = walk.Next()) {
        const fs::path relative = PathFromUtf8(item->path).lexically_relative(base);
        std::string text = Utf8FromPath(relative);
#ifdef _WIN32
        std::replace(text.begin(), text.end(), '\\', '/');
#endif
        paths.push_back(item->error ? "!" + text : text);
    }
    return paths;
}

std::vector<std::string> Walked(const fs::path& folder, bool recursive, const fs::path& base) {
    return Walked(Utf8FromPath(folder), recursive, base);
}

} // namespace

TEST(folder_walk_test, takes_tiff_names_in_either_case_and_passes_over_the_rest) {
    EXPECT_TRUE(HasTiffExtension("a.tif"));
    EXPECT_TRUE(HasTiffExtension("A.TIFF"));
    EXPECT_TRUE(HasTiffExtension("a.Tif"));
    EXPECT_TRUE(HasTiffExtension("a.b.tIfF"));
    EXPECT_FALSE(HasTiffExtension("a.tfw"));
    EXPECT_FALSE(HasTiffExtension("a.tiff.bak"));
    EXPECT_FALSE(HasTiffExtension("a.tifff"));
    EXPECT_FALSE(HasTiffExtension("atif"));
    EXPECT_FALSE(HasTiffExtension("tif"));
    EXPECT_FALSE(HasTiffExtension("maps.tif/"));

    OsTestFolder folder;
    for (const char* name :
         {"b.tif", "A.TIF", "c.Tiff", "d.tfw", "e.tif.aux.xml", "f.txt", ".hidden.tif", "g.TIFF"}) {
        Touch(folder / name);
    }
#ifndef _WIN32
    ASSERT_EQ(mkfifo((folder / "pipe.tif").c_str(), 0600), 0);
#endif
    fs::create_directory(folder / "folder.tif");
    EXPECT_EQ(Walked(folder.Path(), false, folder.Path()),
              (std::vector<std::string>{"A.TIF", "b.tif", "c.Tiff", "g.TIFF"}));
}

// The order is that of the whole paths' bytes, the order `LC_ALL=C sort` gives them: a
// subfolder's files come where their paths sort, not after the folder's own files.
TEST(folder_walk_test, recursive_order_is_the_byte_order_of_the_paths) {
    OsTestFolder folder;
    for (const char* name : {"a.tif", "a-b.tif", "a/x.tif", "a/b/y.tif", "a/b.tif", "B.tif",
                             "z/.hidden/h.tif", "z/z.tif", "\xc3\xa9t\xc3\xa9.tif", "empty/"}) {
        const std::string text = name;
        if (text.back() == '/') {
            fs::create_directories(folder.Path() / PathFromUtf8(text));
        } else {
            Touch(folder.Path() / PathFromUtf8(text));
        }
    }
    const std::vector<std::string> all{"B.tif",     "a-b.tif", "a.tif",   "a/b.tif",
                                       "a/b/y.tif", "a/x.tif", "z/z.tif", "\xc3\xa9t\xc3\xa9.tif"};
    EXPECT_EQ(Walked(folder.Path(), true, folder.Path()), all);
    EXPECT_EQ(Walked(folder.Path(), false, folder.Path()),
              (std::vector<std::string>{"B.tif", "a-b.tif", "a.tif", "\xc3\xa9t\xc3\xa9.tif"}));
    // A folder given with a trailing separator walks the same files.
    EXPECT_EQ(Walked(Utf8FromPath(folder.Path()) + "/", true, folder.Path()), all);
    // An empty folder gives nothing.
    EXPECT_TRUE(Walked(folder / "empty", true, folder.Path()).empty());
}

#ifndef _WIN32
// Links inside the tree: a link to a TIFF inside it is taken by its own name; links to files
// outside it, dangling links and links to folders (inside or out, loops included) are not.
TEST(folder_walk_test, links_are_not_followed_out_of_the_tree) {
    OsTestFolder folder;
    const fs::path tree = folder / "tree";
    Touch(tree / "real.tif");
    Touch(tree / "deep/inner.tif");
    Touch(folder / "outside/out.tif");
    Touch(folder / "tree-sibling/s.tif"); // shares the tree's name as a prefix
    fs::create_symlink("real.tif", tree / "same.tif");
    fs::create_symlink("deep/inner.tif", tree / "down.tif");
    fs::create_symlink("../outside/out.tif", tree / "away.tif");
    fs::create_symlink("../tree-sibling/s.tif", tree / "sibling.tif");
    fs::create_symlink(folder / "tree/real.tif", tree / "absolute.tif");
    fs::create_symlink("nothing.tif", tree / "dangling.tif");
    fs::create_symlink("real.tif", tree / "named.dat"); // a link is taken by its own name
    fs::create_symlink("..", tree / "deep/loop");
    fs::create_symlink("deep", tree / "linkeddeep");
    fs::create_symlink("../outside", tree / "linkedout");

    EXPECT_EQ(Walked(tree, true, tree),
              (std::vector<std::string>{"absolute.tif", "deep/inner.tif", "down.tif", "real.tif",
                                        "same.tif"}));

    // The folder given may itself be a link: it is followed, and the tree is where it leads.
    fs::create_directory_symlink("tree", folder / "via");
    EXPECT_EQ(Walked(folder / "via", false, folder / "via"),
              (std::vector<std::string>{"absolute.tif", "down.tif", "real.tif", "same.tif"}));
}

#endif

TEST(folder_walk_test, a_folder_that_cannot_be_read_is_given_with_its_error) {
    OsTestFolder folder;
    const std::vector<std::string> missing = Walked(folder / "nothere", true, folder.Path());
    EXPECT_EQ(missing, std::vector<std::string>{"!nothere"});
    FolderWalk walk(Utf8FromPath(folder / "nothere"), false);
    const std::optional<WalkItem> item = walk.Next();
    ASSERT_TRUE(item);
    EXPECT_EQ(item->error, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(walk.Next());
}

#ifdef _WIN32
// A folder named by a drive path, with either separator and with or without one at its end:
// the same files, each path the folder as given and the names joined by backslashes.
TEST(folder_walk_test, a_drive_path_is_walked_whatever_its_separators) {
    OsTestFolder folder;
    Touch(folder / "maps" / "b.tif");
    Touch(folder / "maps" / "sub" / "c.tif");
    const std::string given = Utf8FromPath(folder / "maps");
    ASSERT_TRUE(given.size() > 3 && given[1] == ':' && given[2] == '\\') << given;
    std::string slashed = given;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');

    const std::vector<std::string> all{"b.tif", "sub/c.tif"};
    EXPECT_EQ(Walked(given, true, folder / "maps"), all);
    EXPECT_EQ(Walked(given + "\\", true, folder / "maps"), all);
    EXPECT_EQ(Walked(slashed, true, folder / "maps"), all);
    EXPECT_EQ(Walked(slashed + "/", true, folder / "maps"), all);

    FolderWalk walk(given + "\\", true);
    std::vector<std::string> paths;
    while (std::optional<WalkItem> item = walk.Next()) {
        paths.push_back(item->path);
    }
    EXPECT_EQ(paths, (std::vector<std::string>{given + "\\b.tif", given + "\\sub\\c.tif"}));
}

// Windows lets a name hold a lone surrogate, which no UTF-8 has: such a name found by a walk
// goes to the library's narrow form and back unchanged. (Wine's files are on a file system
// that cannot hold the name, so only the conversion itself is tested.)
TEST(folder_walk_test, a_name_with_a_lone_surrogate_survives_the_round_trip) {
    const std::wstring name = std::wstring(L"maps\\a\xD800") + L"b.tif";
    const std::string narrow = "maps\\a\xed\xa0\x80"
                               "b.tif";
    EXPECT_EQ(Utf8FromPath(fs::path(name)), narrow);
    EXPECT_EQ(PathFromUtf8(narrow).wstring(), name);
    // A name in another script, and one beyond the basic plane.
    EXPECT_EQ(PathFromUtf8("\xe5\x9c\xb0\xf0\x9f\x97\xba.tif").wstring(),
              std::wstring(L"\x5730\xD83D\xDDFA.tif"));
}
#endif
