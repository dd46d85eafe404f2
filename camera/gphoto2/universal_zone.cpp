#include "camera/gphoto2/universal_zone.h"

#include <cstdlib>
#include <ctime>

namespace orvex::gphoto {

UniversalZone::UniversalZone() {
    if (const char* tz = std::getenv("TZ")) saved_ = tz;
    setenv("TZ", "UTC0", 1);
    tzset();
}

UniversalZone::~UniversalZone() {
    if (saved_)
        setenv("TZ", saved_->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

} // namespace orvex::gphoto
