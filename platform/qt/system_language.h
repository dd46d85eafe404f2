#pragma once
// The desktop's language as the Windows language id the catalogue's language rule is written for.
#include <QLocale>

namespace orvex {

// French locales give the id of their country's French (fr_CA gives 3084), French of any other country 1036;
// every other locale gives US English, 1033.
unsigned languageIdOfLocale(const QLocale& locale);

// The id for QLocale::system(), which follows LC_ALL, LC_MESSAGES and LANG.
unsigned desktopLanguageId();

} // namespace orvex
