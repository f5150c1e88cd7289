// The Utility suite's own file name, as the program facts give it ("%1^B"): Windows names a
// program with its extension.
#pragma once

#include <string>

#ifdef _WIN32
inline const std::u16string UtilityTestsFileName = u"utility_tests.exe";
#else
inline const std::u16string UtilityTestsFileName = u"utility_tests";
#endif
