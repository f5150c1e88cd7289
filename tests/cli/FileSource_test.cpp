// The names a batch works on: the arguments, folders among them walked, then the names of
// --files-from as the list gives them.
#include "FileSource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Utility/OsTestFolder.h"

using namespace kestrel::cli;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Names(const std::string& text, char separator) {
    std::istringstream stream(text);
    NameList list(stream, separator);
    std::vector<std::string> names;
    std::string name;
    while (list.Next(name)) {
        names.push_back(name);
    }
    EXPECT_FALSE(list.Failed());
    return names;
}

std::vector<std::string> Paths(FileSource& source) {
    std::vector<std::string> paths;
    while (std::optional<WalkItem> item = source.Next()) {
        paths.push_back(item->path);
    }
    return paths;
}

} // namespace

TEST(name_list_test, lines_or_nul_separated_names) {
    EXPECT_EQ(Names("a.tif\nb c.tif\n\n  d.tif\nlast", '\n'),
              (std::vector<std::string>{"a.tif", "b c.tif", "  d.tif", "last"}));
    // Lists written on Windows end their lines with CR LF.
    EXPECT_EQ(Names("a.tif\r\nb.tif\r\n\r\n", '\n'), (std::vector<std::string>{"a.tif", "b.tif"}));
    // find -print0: a name may hold a new line or a carriage return.
    EXPECT_EQ(Names(std::string("a\nb.tif\0c\r\0\0d.tif\0", 17), '\0'),
              (std::vector<std::string>{"a\nb.tif", "c\r", "d.tif"}));
    EXPECT_TRUE(Names("", '\n').empty());
    EXPECT_TRUE(Names("\n\n", '\n').empty());
}

TEST(file_source_test, arguments_then_the_list_with_folders_walked) {
    OsTestFolder folder;
    for (const char* name : {"maps/b.tif", "maps/a.tif", "maps/sub/c.tif", "more/d.TIF"}) {
        fs::create_directories((folder / name).parent_path());
        std::ofstream(folder / name) << "x";
    }
    fs::create_directory(folder / "odd.tif"); // a folder by a TIFF's name is named, not walked
    const fs::path maps = folder / "maps";
    const std::vector<std::string> arguments{"first", maps.string(), (folder / "odd.tif").string()};
    std::istringstream text((folder / "more").string() + "\nlast.tif\n");
    NameList list(text, '\n');

    FileSource source(arguments, false, &list);
    EXPECT_EQ(Paths(source),
              (std::vector<std::string>{"first", (maps / "a.tif").string(),
                                        (maps / "b.tif").string(), (folder / "odd.tif").string(),
                                        (folder / "more" / "d.TIF").string(), "last.tif"}));
    EXPECT_TRUE(source.SawFolder());
    EXPECT_EQ(CountFiles(arguments, false), 4u);
    EXPECT_EQ(CountFiles(arguments, true), 5u);

    // set-tiff and set-world take their FILE as it is, a folder's name too.
    FileSource named(std::vector<std::string>{maps.string()}, true, nullptr, false);
    EXPECT_EQ(Paths(named), std::vector<std::string>{maps.string()});
    EXPECT_FALSE(named.SawFolder());
}
