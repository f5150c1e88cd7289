// The "C" locale scope of the operating-system seam: numbers with a decimal point inside it,
// on its own thread only (on Windows, a scope on another thread waits for its turn), and the
// thread's locale back again after it.
#include "uOsLocale.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <thread>

#include "CommaLocale.h"

namespace {

std::string Printed(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

TEST(os_locale_test, numbers_have_a_point_within_the_scope) {
    UnderCommaLocale([] {
        EXPECT_EQ(Printed(1.5), "1,5");
        {
            const TuCLocaleScope outer;
            EXPECT_EQ(Printed(1.5), "1.5");
            EXPECT_EQ(std::strtod("2.25", nullptr), 2.25);
            {
                const TuCLocaleScope inner;
                EXPECT_EQ(Printed(0.5), "0.5");
            }
            // The end of the inner scope gives back the outer one's locale.
            EXPECT_EQ(Printed(1.5), "1.5");
        }
        EXPECT_EQ(Printed(1.5), "1,5");
        EXPECT_EQ(std::strtod("2,25", nullptr), 2.25);
    });
}

#ifdef _WIN32
// A scope on another thread waits for the first to end, and then has "C" numbers of its own.
TEST(os_locale_test, scopes_on_two_threads_take_turns) {
    UnderCommaLocale([] {
        std::string elsewhere;
        std::thread other;
        {
            const TuCLocaleScope scope;
            other = std::thread([&elsewhere] {
                const TuCLocaleScope own;
                elsewhere = Printed(1.5);
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            EXPECT_EQ(elsewhere, "");
            EXPECT_EQ(Printed(1.5), "1.5");
        }
        other.join();
        EXPECT_EQ(elsewhere, "1.5");
        EXPECT_EQ(Printed(1.5), "1,5");
    });
}
#else
TEST(os_locale_test, other_threads_keep_their_locale) {
    UnderCommaLocale([] {
        const TuCLocaleScope scope;
        std::string elsewhere;
        std::thread([&elsewhere] { elsewhere = Printed(1.5); }).join();
        EXPECT_EQ(elsewhere, "1,5");
        EXPECT_EQ(Printed(1.5), "1.5");
    });
}
#endif

} // namespace
