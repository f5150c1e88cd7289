// A locale whose decimal separator is a comma, as the desktop program may run under, for the
// tests of number conversions. Built with localedef into a scratch folder (POSIX hosts).
#pragma once

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "OsTestFolder.h"

// Runs fn with LC_ALL set to a locale whose decimal separator is a comma. Skips (with the
// reason) where no such locale can be built.
inline void UnderCommaLocale(const std::function<void()>& fn) {
    OsTestFolder locales;
    const std::string command =
        "localedef -c -i de_DE -f UTF-8 " + (locales / "de_DE.UTF-8").string() + " >/dev/null 2>&1";
    const int built = std::system(command.c_str());
    const char* previousPath = std::getenv("LOCPATH");
    const std::string savedPath = previousPath != nullptr ? previousPath : "";
    setenv("LOCPATH", locales.Path().c_str(), 1);
    const char* set = built == 0 ? std::setlocale(LC_ALL, "de_DE.UTF-8") : nullptr;
    char sample[16];
    std::snprintf(sample, sizeof sample, "%g", 1.5);
    const bool comma = set != nullptr && std::strcmp(sample, "1,5") == 0;
    if (comma) {
        fn();
    }
    std::setlocale(LC_ALL, "C");
    if (previousPath != nullptr) {
        setenv("LOCPATH", savedPath.c_str(), 1);
    } else {
        unsetenv("LOCPATH");
    }
    if (!comma) {
        GTEST_SKIP() << "no locale with a decimal comma could be built (localedef exit " << built
                     << ")";
    }
}
