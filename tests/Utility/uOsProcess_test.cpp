// The process facts of the operating-system seam, checked against what the file system shows.
#include "uOsProcess.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "OsTestFolder.h"

namespace {

namespace fs = std::filesystem;

TEST(os_process_test, the_program_path_names_this_program) {
    std::u16string program;
    ASSERT_TRUE(TuOsProgramPath(program));
    const fs::path path(program);
    EXPECT_TRUE(path.is_absolute());
    EXPECT_TRUE(fs::is_regular_file(path));
    EXPECT_EQ(path.stem(), "utility_tests");
}

// The current folder as it is at the call, however long its path.
TEST(os_process_test, the_current_folder_is_the_one_just_entered) {
    OsTestFolder folder;
    fs::path deep = folder.Path();
    while (deep.native().size() < 600) {
        deep /= std::string(60, 'd');
    }
    fs::create_directories(deep);
    const fs::path previous = fs::current_path();
    fs::current_path(deep);
    std::u16string current;
    const bool told = TuOsCurrentFolder(current);
    fs::current_path(previous);
    ASSERT_TRUE(told);
    EXPECT_EQ(current, fs::canonical(deep).u16string());
}

TEST(os_process_test, the_user_and_the_host_are_named) {
    std::u16string user = u"unchanged";
    ASSERT_TRUE(TuOsUserName(user));
    EXPECT_FALSE(user.empty());
    EXPECT_NE(user, u"unchanged");
    std::u16string host;
    ASSERT_TRUE(TuOsHostName(host));
    EXPECT_FALSE(host.empty());
}

} // namespace
