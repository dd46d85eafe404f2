#include "sdk/gphoto2/body_clock.h"

#include "platform/time_zone.h"

#include <mutex>
#include <shared_mutex>

namespace orvex::gphoto {
namespace {

std::tm fieldsOf(const EdsTime& t) {
    std::tm c{};
    c.tm_year = static_cast<int>(t.year) - 1900;
    c.tm_mon = static_cast<int>(t.month) - 1;
    c.tm_mday = static_cast<int>(t.day);
    c.tm_hour = static_cast<int>(t.hour);
    c.tm_min = static_cast<int>(t.minute);
    c.tm_sec = static_cast<int>(t.second);
    c.tm_isdst = -1;
    return c;
}

// The body's seconds the library makes of a moment it writes: its local time read as universal time.
std::time_t libraryWrites(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    const bool summer = local.tm_isdst > 0;
    return timegm(&local) - (summer ? 3600 : 0);
}

} // namespace

EdsTime wallClockOf(std::time_t moment) {
    std::tm c{};
    {
        const std::shared_lock zone(timeZoneLock());
        localtime_r(&moment, &c);
    }
    return EdsTime{static_cast<EdsUInt32>(c.tm_year + 1900),
                   static_cast<EdsUInt32>(c.tm_mon + 1),
                   static_cast<EdsUInt32>(c.tm_mday),
                   static_cast<EdsUInt32>(c.tm_hour),
                   static_cast<EdsUInt32>(c.tm_min),
                   static_cast<EdsUInt32>(c.tm_sec),
                   0};
}

std::time_t momentShowing(const EdsTime& wall) {
    std::tm wanted = fieldsOf(wall);
    const std::time_t seconds = timegm(&wanted);
    const std::shared_lock zone(timeZoneLock());
    // The wall clock, or an hour later, as standard or summer time: a night that is lived twice has two
    // moments for one wall clock, and only one of them makes the library's trip land on it.
    for (const int shift : {0, 3600})
        for (const int summer : {-1, 0, 1}) {
            std::tm local = fieldsOf(wall);
            local.tm_sec += shift;
            local.tm_isdst = summer;
            const std::time_t moment = std::mktime(&local);
            if (moment != -1 && libraryWrites(moment) == seconds) return moment;
        }
    std::tm local = fieldsOf(wall);
    return std::mktime(&local);
}

} // namespace orvex::gphoto
