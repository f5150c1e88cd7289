// The walk of a folder given as FILE, on real folders: which files it takes, in which order, and
// what it does with links, hidden names and folders it cannot read.
#include "FolderWalk.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Utility/OsTestFolder.h"

using namespace kestrel::cli;
namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "x";
}

// Every path the walk gives, relative to base; an unreadable folder as "!" and its path.
std::vector<std::string> Walked(const fs::path& folder, bool recursive, const fs::path& base) {
    FolderWalk walk(folder.string(), recursive);
    std::vector<std::string> paths;
    while (std::optional<WalkItem> item = walk.Next()) {
        const std::string relative = fs::path(item->path).lexically_relative(base).string();
        paths.push_back(item->error ? "!" + relative : relative);
    }
    return paths;
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
    ASSERT_EQ(mkfifo((folder / "pipe.tif").c_str(), 0600), 0);
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
            fs::create_directories(folder / text);
        } else {
            Touch(folder / text);
        }
    }
    const std::vector<std::string> all{"B.tif",     "a-b.tif", "a.tif",   "a/b.tif",
                                       "a/b/y.tif", "a/x.tif", "z/z.tif", "\xc3\xa9t\xc3\xa9.tif"};
    EXPECT_EQ(Walked(folder.Path(), true, folder.Path()), all);
    EXPECT_EQ(Walked(folder.Path(), false, folder.Path()),
              (std::vector<std::string>{"B.tif", "a-b.tif", "a.tif", "\xc3\xa9t\xc3\xa9.tif"}));
    // A folder given with a trailing separator walks the same files.
    EXPECT_EQ(Walked(folder.Path().string() + "/", true, folder.Path()), all);
    // An empty folder gives nothing.
    EXPECT_TRUE(Walked(folder / "empty", true, folder.Path()).empty());
}

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

TEST(folder_walk_test, a_folder_that_cannot_be_read_is_given_with_its_error) {
    OsTestFolder folder;
    const std::vector<std::string> missing = Walked(folder / "nothere", true, folder.Path());
    EXPECT_EQ(missing, std::vector<std::string>{"!nothere"});
    FolderWalk walk((folder / "nothere").string(), false);
    const std::optional<WalkItem> item = walk.Next();
    ASSERT_TRUE(item);
    EXPECT_EQ(item->error, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(walk.Next());
}
