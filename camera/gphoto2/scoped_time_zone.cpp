#include "camera/gphoto2/scoped_time_zone.h"

#include <cstdlib>
#include <ctime>

namespace orvex::gphoto {

ScopedTimeZone::ScopedTimeZone(const char* zone) {
    if (const char* tz = std::getenv("TZ")) saved_ = tz;
    setenv("TZ", zone, 1);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    if (saved_)
        setenv("TZ", saved_->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

} // namespace orvex::gphoto
