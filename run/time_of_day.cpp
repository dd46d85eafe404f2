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
    const Clock& c = p.clock;
    const std::int64_t now = msFromCivil(c.universalTime());
    const auto secondShown = [&](std::int64_t at) {
        return (at + c.utcOffsetMinutesAt(at) * 60000LL) / 1000 % kDaySeconds;
    };
    const std::int64_t wanted = (secondShown(now) + clockMs / 1000) % kDaySeconds;
    const auto shows = [&](std::int64_t passing) {
        return passing >= 0 && secondShown(now + passing) == wanted;
    };
    const std::int64_t passing =
        clockMs - (c.utcOffsetMinutesAt(now + clockMs) - c.utcOffsetMinutesAt(now)) * 60000LL;
    // The hour the clock goes back over shows it a day sooner.
    if (shows(passing - kDaySeconds * 1000LL)) return static_cast<int>(passing - kDaySeconds * 1000LL);
    return shows(passing) ? static_cast<int>(passing) : clockMs;
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
