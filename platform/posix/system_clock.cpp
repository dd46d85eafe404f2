#include "platform/system_clock.h"

#include "platform/time_zone.h"

#include <chrono>
#include <ctime>
#include <mutex>
#include <shared_mutex>
#include <thread>

namespace orvex {
namespace {

CivilTime civilTime(bool local) {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto wholeSecond = floor<seconds>(now);
    const std::time_t epochSeconds = system_clock::to_time_t(wholeSecond);
    const auto ms = duration_cast<milliseconds>(now - wholeSecond).count();
    std::tm fields{};
    // The reentrant forms: the transfer worker may read the time while the user interface does.
    if (local) {
        const std::shared_lock zone(timeZoneLock());
        localtime_r(&epochSeconds, &fields);
    } else {
        gmtime_r(&epochSeconds, &fields);
    }
    CivilTime t;
    t.year = fields.tm_year + 1900;
    t.month = fields.tm_mon + 1;
    t.day = fields.tm_mday;
    t.hour = fields.tm_hour;
    t.minute = fields.tm_min;
    t.second = fields.tm_sec;
    t.millisecond = static_cast<int>(ms);
    return t;
}

// The run's time line. Linux's monotonic clock stops while the computer is suspended: a run would come back
// with its delays shifted and its log saying they were on time. The boot time goes on counting, as Windows'
// tick count does, so that a run after a suspend takes the shots it missed. Where there is none, the
// monotonic clock. Decided once, so that every reading lies on one time line.
std::chrono::nanoseconds runTime() {
#ifdef CLOCK_BOOTTIME
    static const bool bootTime = [] {
        timespec probe{};
        return clock_gettime(CLOCK_BOOTTIME, &probe) == 0;
    }();
    if (bootTime) {
        timespec now{};
        clock_gettime(CLOCK_BOOTTIME, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    }
#endif
    return std::chrono::steady_clock::now().time_since_epoch();
}

} // namespace

std::uint32_t SystemClock::tick() const {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(runTime());
    return static_cast<std::uint32_t>(ms.count());
}

std::uint64_t SystemClock::microseconds() const {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(runTime());
    return static_cast<std::uint64_t>(us.count());
}

CivilTime SystemClock::localTime() const {
    return civilTime(true);
}

CivilTime SystemClock::universalTime() const {
    return civilTime(false);
}

int SystemClock::utcOffsetMinutesAt(std::int64_t universalMs) const {
    const std::time_t epochSeconds = static_cast<std::time_t>(universalMs / 1000);
    std::tm fields{};
    const std::shared_lock zone(timeZoneLock());
    localtime_r(&epochSeconds, &fields);
    return static_cast<int>(fields.tm_gmtoff / 60);
}

void SystemClock::sleep(unsigned ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace orvex
