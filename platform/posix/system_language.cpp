#include "platform/system_language.h"

#include <cstdlib>
#include <string>

namespace orvex {

unsigned systemLanguageId() {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(name);
        if (v && *v) {
            locale = v;
            break;
        }
    }
    if (locale.rfind("fr", 0) != 0) return 1033;
    const std::string country = locale.size() >= 5 && locale[2] == '_' ? locale.substr(3, 2) : "";
    if (country == "BE") return 2060;
    if (country == "CA") return 3084;
    if (country == "CH") return 4108;
    if (country == "LU") return 5132;
    if (country == "MC") return 6156;
    return 1036;
}

} // namespace orvex
