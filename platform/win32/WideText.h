// Text between Kestrel's logic and Windows: the logic's narrow text is UTF-8, every Win32 call
// takes UTF-16. The ANSI code page is never used.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::win32 {

std::wstring Widen(std::string_view utf8);
// Unpaired surrogates, which no file name on disk can hold as UTF-8, become U+FFFD.
std::string Narrow(std::wstring_view utf16);

} // namespace kestrel::win32
