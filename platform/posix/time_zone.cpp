#include "platform/time_zone.h"

namespace orvex {

std::shared_mutex& timeZoneLock() {
    static std::shared_mutex lock;
    return lock;
}

} // namespace orvex
