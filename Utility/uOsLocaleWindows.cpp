// The seam's "C" locale scope on Windows. The C library Kestrel links on Windows (msvcrt) has
// no locale of a thread's own, so the scope sets the process's numbers to "C" when they are
// anything else and puts them back at its end; scopes on different threads take turns, so
// that none ends another's "C" numbers early. Kestrel's Windows programs never set another
// locale, so there the scope finds "C" already and changes nothing.
#include "uOsLocale.h"

#include <clocale>
#include <cstring>
#include <mutex>
#include <string>

namespace {

std::recursive_mutex& ScopeTurn() {
    static std::recursive_mutex turn;
    return turn;
}

// What a scope changed: the numbers' locale it found, to be set again.
struct SavedLocale {
    std::string numbers; // empty when the scope found "C" and changed nothing
};

} // namespace

TuCLocaleScope::TuCLocaleScope() : previous(0) {
    ScopeTurn().lock();
    auto* saved = new SavedLocale;
    // The name is copied before setlocale changes the text it points to.
    const char* name = std::setlocale(LC_NUMERIC, nullptr);
    if (name != nullptr && std::strcmp(name, "C") != 0) {
        saved->numbers = name;
        std::setlocale(LC_NUMERIC, "C");
    }
    previous = reinterpret_cast<std::uintptr_t>(saved);
}

TuCLocaleScope::~TuCLocaleScope() {
    auto* saved = reinterpret_cast<SavedLocale*>(previous);
    if (!saved->numbers.empty()) {
        std::setlocale(LC_NUMERIC, saved->numbers.c_str());
    }
    delete saved;
    ScopeTurn().unlock();
}
