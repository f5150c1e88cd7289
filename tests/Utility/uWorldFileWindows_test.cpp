// World files on Windows: lines end in CR LF as Windows text files do, either line end reads,
// and a replacement keeps the old file's attributes, refuses a read-only file, waits out and
// then reports a file in use, and leaves no temporary file behind.
#include <windows.h>

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "TiffTestSupport.h"
#include "WindowsTestFiles.h"
#include "uCauses.h"
#include "uWorldFile.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const std::string& path) {
    const std::vector<unsigned char> bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) {
    WriteFile(path, std::vector<unsigned char>(text.begin(), text.end()));
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(PathOf(folder))) {
        names.push_back(NarrowPath(entry.path().filename()));
    }
    return names;
}

TuWorldFile Sample() {
    TuWorldFile world;
    world.SetXVector({2, 0});
    world.SetYVector({0, -2});
    world.SetReferencePoint({101.5, 0.1 + 0.2}); // the last needs 17 digits
    return world;
}

class world_file_windows_test : public ::testing::Test {
protected:
    TempFolder folder;
    std::string path = folder / "sheet.tfw";
};

TEST_F(world_file_windows_test, lines_end_in_cr_lf) {
    Sample().Write(TuFileName(path.c_str()), true);
    EXPECT_EQ(ReadText(path), "                       2\r\n"
                              "                       0\r\n"
                              "                       0\r\n"
                              "                      -2\r\n"
                              "                   101.5\r\n"
                              "     0.30000000000000004\r\n");
}

TEST_F(world_file_windows_test, either_line_end_reads_the_same_values) {
    for (const char* end : {"\n", "\r\n"}) {
        std::string text;
        for (const char* line : {"2", "0.5", "-0.25", "-2", "101.5", "0.30000000000000004"}) {
            text += std::string(line) + end;
        }
        WriteText(path, text);
        TuWorldFile world;
        world.Read(TuFileName(path.c_str()));
        EXPECT_EQ(world.XVector().x, 2);
        EXPECT_EQ(world.XVector().y, 0.5);
        EXPECT_EQ(world.YVector().x, -0.25);
        EXPECT_EQ(world.YVector().y, -2);
        EXPECT_EQ(world.ReferencePoint().x, 101.5);
        EXPECT_EQ(world.ReferencePoint().y, 0.1 + 0.2);
    }
}

TEST_F(world_file_windows_test, a_replaced_file_keeps_its_attributes) {
    WriteText(path, "old\r\n");
    ASSERT_TRUE(SetAttributes(path, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    Sample().Write(TuFileName(path.c_str()), true);
    EXPECT_EQ(ReadText(path).substr(0, 26), "                       2\r\n");
    EXPECT_EQ(AttributesOf(path) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
              DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"sheet.tfw"});
}

TEST_F(world_file_windows_test, a_read_only_file_is_refused_and_kept) {
    WriteText(path, "old\r\n");
    ASSERT_TRUE(SetAttributes(path, FILE_ATTRIBUTE_READONLY));
    const Raised raised = RaisedBy([&] { Sample().Write(TuFileName(path.c_str()), true); });
    EXPECT_EQ(raised.cause, TuCauseOpenWriteDenied);
    EXPECT_EQ(raised.message, "Permission to open file named " + path +
                                  " for writing is denied. File is marked as read only. (Code: "
                                  "13)");
    EXPECT_EQ(ReadText(path), "old\r\n");
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"sheet.tfw"});
    SetAttributes(path, FILE_ATTRIBUTE_NORMAL);
}

// Windows replaces no file that is open anywhere: the replacement waits about a second for the
// file to be let go, then reports it as in use; the old file and the folder stay as they were.
TEST_F(world_file_windows_test, a_file_held_elsewhere_is_reported_in_use_and_kept) {
    WriteText(path, "old\r\n");
    {
        const HeldWithoutSharing held(path);
        ASSERT_TRUE(held.Held());
        const Raised raised = RaisedBy([&] { Sample().Write(TuFileName(path.c_str()), true); });
        EXPECT_EQ(raised.cause, TuCauseOpenDenied);
        EXPECT_EQ(raised.secondNumber, 13);
    }
    EXPECT_EQ(ReadText(path), "old\r\n");
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"sheet.tfw"});
}

TEST_F(world_file_windows_test, a_name_in_any_script_is_written_and_read) {
    const std::string name = folder / "\xe5\x9c\xb0\xe5\x9b\xb3 \xce\xa9 \xf0\x9f\x97\xba.tfw";
    Sample().Write(TuFileName(name.c_str()), true);
    EXPECT_EQ(Names(folder.Path()),
              std::vector<std::string>{"\xe5\x9c\xb0\xe5\x9b\xb3 \xce\xa9 \xf0\x9f\x97\xba.tfw"});
    TuWorldFile world;
    world.Read(TuFileName(name.c_str()));
    EXPECT_EQ(world.ReferencePoint().y, 0.1 + 0.2);
}

// A world file whose path is just under the limit of 259 units: the temporary file beside it
// has a longer name, beyond 260 units, which Windows takes only in the \\?\ form.
TEST_F(world_file_windows_test, a_file_at_the_longest_path_is_replaced) {
    std::string deep = folder.Path();
    while (deep.size() < 200) {
        deep += "\\" + std::string(40, 'd');
    }
    fs::create_directories(PathOf(deep));
    const std::string longest = deep + "\\" + std::string(258 - deep.size() - 5, 'n') + ".tfw";
    ASSERT_EQ(longest.size(), 258u);
    WriteText(longest, "old\r\n");
    Sample().Write(TuFileName(longest.c_str()), true);
    TuWorldFile world;
    world.Read(TuFileName(longest.c_str()));
    EXPECT_EQ(world.XVector().x, 2);
    EXPECT_EQ(Names(deep).size(), 1u);
}

} // namespace
