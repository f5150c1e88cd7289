#include "DisplayCheck.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

using kestrel::qt::MissingDisplayMessage;

namespace {

std::string Check(const std::map<std::string, std::string>& variables) {
    return MissingDisplayMessage([&variables](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    });
}

} // namespace

TEST(display_check_test, any_display_will_do) {
    EXPECT_EQ(Check({{"DISPLAY", ":0"}}), "");
    EXPECT_EQ(Check({{"WAYLAND_DISPLAY", "wayland-0"}}), "");
    EXPECT_EQ(Check({{"QT_QPA_PLATFORM", "offscreen"}}), "");
}

TEST(display_check_test, no_display_is_explained) {
    const std::string message = Check({{"HOME", "/root"}});
    EXPECT_NE(message.find("needs a graphical display"), std::string::npos) << message;
    EXPECT_NE(message.find("DISPLAY"), std::string::npos) << message;
    // Set but empty is no display either.
    EXPECT_EQ(Check({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}), message);
}
