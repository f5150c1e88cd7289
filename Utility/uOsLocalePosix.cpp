// The seam's "C" locale scope on POSIX: the thread's locale is switched with uselocale, which
// leaves the process's locale and other threads alone.
#include "uOsLocale.h"

#include <locale.h> // NOLINT(modernize-deprecated-headers): newlocale and uselocale are POSIX
#include <type_traits>

static_assert(std::is_pointer_v<locale_t> && sizeof(locale_t) <= sizeof(std::uintptr_t),
              "a thread's locale is kept as an integer");

namespace {

locale_t CLocale() {
    // Made once and kept for the process's life: every scope uses the same one.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c != nullptr ? c : LC_GLOBAL_LOCALE;
}

} // namespace

TuCLocaleScope::TuCLocaleScope()
    : previous(reinterpret_cast<std::uintptr_t>(uselocale(CLocale()))) {}

TuCLocaleScope::~TuCLocaleScope() {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): gives back the pointer kept as an integer
    uselocale(reinterpret_cast<locale_t>(previous));
}
