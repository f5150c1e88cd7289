// The operating-system seam for the "C" locale: a scope in which the calling thread writes and
// reads numbers as the "C" locale does (a decimal point, no grouping), whatever locale the
// program runs under, and after which the thread's own locale applies again. On POSIX hosts
// other threads are not affected. Windows' C library has no locale of a thread's own: there a
// scope sets the process's numbers while it lasts, and scopes on different threads take turns.
// One implementation per host (uOsLocalePosix.cpp, ...).
#pragma once

#include <cstdint>

class TuCLocaleScope {
public:
    TuCLocaleScope();
    ~TuCLocaleScope();
    TuCLocaleScope(const TuCLocaleScope&) = delete;
    TuCLocaleScope& operator=(const TuCLocaleScope&) = delete;

private:
    std::uintptr_t previous; // what the host needs to give the thread its locale back
};
