// A locale whose decimal separator is a comma, as the desktop program may run under, for the
// tests of number conversions: built with localedef into a scratch folder on POSIX hosts,
// Windows' own German locale on Windows.
#pragma once

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "OsTestFolder.h"

namespace commalocale {

// Runs fn when a comma locale could be set (LC_ALL) and then sets "C" again; false when none
// could be set.
inline bool RunUnder(const char* name, const std::function<void()>& fn) {
    const char* set = std::setlocale(LC_ALL, name);
    char sample[16];
    std::snprintf(sample, sizeof sample, "%g", 1.5);
    const bool comma = set != nullptr && std::strcmp(sample, "1,5") == 0;
    if (comma) {
        fn();
    }
    std::setlocale(LC_ALL, "C");
    return comma;
}

} // namespace commalocale

// Runs fn with LC_ALL set to a locale whose decimal separator is a comma. Skips (with the
// reason) where no such locale can be set.
#ifdef _WIN32
inline void UnderCommaLocale(const std::function<void()>& fn) {
    if (!commalocale::RunUnder("German", fn)) {
        GTEST_SKIP() << "Windows' German locale could not be set";
    }
}
#else
inline void UnderCommaLocale(const std::function<void()>& fn) {
    OsTestFolder locales;
    const std::string command =
        "localedef -c -i de_DE -f UTF-8 " + (locales / "de_DE.UTF-8").string() + " >/dev/null 2>&1";
    const int built = std::system(command.c_str());
    const char* previousPath = std::getenv("LOCPATH");
    const std::string savedPath = previousPath != nullptr ? previousPath : "";
    setenv("LOCPATH", locales.Path().c_str(), 1);
    const bool comma = built == 0 && commalocale::RunUnder("de_DE.UTF-8", fn);
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
#endif
