// The "C" locale scope of the operating-system seam: numbers with a decimal point inside it,
// on its own thread only, and the thread's locale back again after it.
#include "uOsLocale.h"

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

TEST(os_locale_test, numbers_have_a_point_within_the_scope_on_its_thread_only) {
    UnderCommaLocale([] {
        EXPECT_EQ(Printed(1.5), "1,5");
        {
            const TuCLocaleScope outer;
            EXPECT_EQ(Printed(1.5), "1.5");
            EXPECT_EQ(std::strtod("2.25", nullptr), 2.25);
            std::string elsewhere;
            std::thread([&elsewhere] { elsewhere = Printed(1.5); }).join();
            EXPECT_EQ(elsewhere, "1,5");
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

} // namespace
