// The seam's "C" locale scope on Windows: the C library's locale is made the calling thread's
// own (_configthreadlocale), its numbers set to "C", and both put back at the end of the
// scope; the process's locale and other threads stay as they were.
#include "uOsLocale.h"

#include <clocale>
#include <locale.h>
#include <string>

namespace {

// What the thread had before the scope.
struct SavedLocale {
    int threadMode;      // what _configthreadlocale reported
    std::string numbers; // the LC_NUMERIC locale's name; empty when it had none
};

} // namespace

TuCLocaleScope::TuCLocaleScope() : previous(0) {
    auto* saved = new SavedLocale{_configthreadlocale(_ENABLE_PER_THREAD_LOCALE), {}};
    // The name is copied before setlocale changes the text it points to.
    if (const char* name = std::setlocale(LC_NUMERIC, nullptr)) {
        saved->numbers = name;
    }
    std::setlocale(LC_NUMERIC, "C");
    previous = reinterpret_cast<std::uintptr_t>(saved);
}

TuCLocaleScope::~TuCLocaleScope() {
    auto* saved = reinterpret_cast<SavedLocale*>(previous);
    if (!saved->numbers.empty()) {
        std::setlocale(LC_NUMERIC, saved->numbers.c_str());
    }
    if (saved->threadMode != _ENABLE_PER_THREAD_LOCALE) {
        _configthreadlocale(_DISABLE_PER_THREAD_LOCALE);
    }
    delete saved;
}
