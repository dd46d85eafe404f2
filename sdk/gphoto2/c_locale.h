#pragma once
// libgphoto2 translates every widget label and choice through gettext in the calling thread's locale, and
// the desktop program runs in the user's: on a French desktop "Manual" reads "Manuel". The driver matches
// the library's English labels, so every call into the library is made in the C locale. While a scope
// lives, its thread is in the C locale; the thread's own locale comes back when it ends.
#include <locale.h>

namespace orvex::gphoto {

class CLocaleScope {
  public:
    CLocaleScope() : previous_(uselocale(cLocale())) {}
    ~CLocaleScope() { uselocale(previous_); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

  private:
    static locale_t cLocale() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        return c;
    }
    locale_t previous_;
};

} // namespace orvex::gphoto
