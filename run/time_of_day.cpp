#include "run/time_of_day.h"

#include "run/program.h"

#include <algorithm>

namespace orvex {

constexpr int kDaySeconds = 86400;

CivilTime waitClockTime(const Program& p) {
    return p.run.settings.universalTime ? p.clock.universalTime() : p.clock.localTime();
}

int secondOfDay(const CivilTime& t) {
    return t.hour * 3600 + t.minute * 60 + t.second;
}

int secondsOnward(int from, int to) {
    return ((to - from) % kDaySeconds + kDaySeconds) % kDaySeconds;
}

int passingMs(const Program& p, int clockMs) {
    if (p.run.settings.universalTime) return clockMs;
    const std::int64_t now = msFromCivil(p.clock.universalTime());
    const int then = p.clock.utcOffsetMinutesAt(now + clockMs);
    const std::int64_t passing = clockMs - (then - p.clock.utcOffsetMinutesAt(now)) * 60000LL;
    if (passing < 0 || passing >= kDaySeconds * 1000LL || p.clock.utcOffsetMinutesAt(now + passing) != then)
        return clockMs;
    return static_cast<int>(passing);
}

std::int64_t lastMoment(const CivilTime& t, int targetSecond) {
    return msFromCivil(t) / 1000 - secondsOnward(targetSecond, secondOfDay(t));
}

bool skippedOver(const LineWait& wait, std::int64_t moment) {
    if (!wait.skipped || moment <= wait.skipped->first || moment > wait.skipped->second) return false;
    return std::none_of(wait.takenMoments.begin(), wait.takenMoments.end(),
                        [&](const auto& taken) { return taken.second > wait.skipped->second; });
}

std::int64_t dueMoment(const LineWait& wait, std::int64_t moment) {
    return skippedOver(wait, moment) ? wait.skipped->second : moment;
}

} // namespace orvex
