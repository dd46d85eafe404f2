#include "platform/qt/system_language.h"

namespace orvex {

unsigned languageIdOfLocale(const QLocale& locale) {
    constexpr unsigned kUsEnglish = 1033;
    constexpr unsigned kFrance = 1036;
    if (locale.language() != QLocale::French) return kUsEnglish;
    switch (locale.territory()) {
    case QLocale::Belgium:
        return 2060;
    case QLocale::Canada:
        return 3084;
    case QLocale::Switzerland:
        return 4108;
    case QLocale::Luxembourg:
        return 5132;
    case QLocale::Monaco:
        return 6156;
    default:
        return kFrance;
    }
}

unsigned desktopLanguageId() { return languageIdOfLocale(QLocale::system()); }

} // namespace orvex
