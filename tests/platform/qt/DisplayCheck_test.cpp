#include "DisplayCheck.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

using kestrel::qt::MissingDisplayMessage;
using kestrel::qt::UnreachableDisplayMessage;

namespace {

using Variables = std::map<std::string, std::string>;

kestrel::qt::EnvironmentReader Reader(const Variables& variables) {
    return [&variables](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    };
}

} // namespace

TEST(display_check_test, any_display_will_do) {
    for (const Variables& variables :
         {Variables{{"DISPLAY", ":0"}}, Variables{{"WAYLAND_DISPLAY", "wayland-0"}},
          Variables{{"QT_QPA_PLATFORM", "offscreen"}}}) {
        EXPECT_EQ(MissingDisplayMessage(Reader(variables)), "");
    }
}

TEST(display_check_test, no_display_is_explained) {
    const std::string expected =
        "kestrel: no display found. Kestrel is a desktop program and needs a graphical "
        "display: start it from a desktop session (X11 or Wayland), or set DISPLAY or "
        "WAYLAND_DISPLAY to the display to use.";
    const Variables none{{"HOME", "/root"}};
    EXPECT_EQ(MissingDisplayMessage(Reader(none)), expected);
    // Set but empty is no display either.
    const Variables empty{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}};
    EXPECT_EQ(MissingDisplayMessage(Reader(empty)), expected);
}

TEST(display_check_test, a_display_that_cannot_be_opened_is_named) {
    const std::string advice =
        ". Kestrel is a desktop program and needs a graphical display: start it from a desktop "
        "session (X11 or Wayland), or set DISPLAY or WAYLAND_DISPLAY to a display that is "
        "running.";
    const Variables x11{{"DISPLAY", ":93"}, {"WAYLAND_DISPLAY", ""}};
    EXPECT_EQ(UnreachableDisplayMessage(Reader(x11)),
              "kestrel: the display cannot be opened (DISPLAY=:93)" + advice);
    const Variables all{
        {"DISPLAY", ":93"}, {"QT_QPA_PLATFORM", "wayland"}, {"WAYLAND_DISPLAY", "wayland-9"}};
    EXPECT_EQ(UnreachableDisplayMessage(Reader(all)),
              "kestrel: the display cannot be opened (DISPLAY=:93, WAYLAND_DISPLAY=wayland-9, "
              "QT_QPA_PLATFORM=wayland)" +
                  advice);
}
