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

std::int64_t lastMoment(const CivilTime& t, int targetSecond) {
    return msFromCivil(t) / 1000 - secondsOnward(targetSecond, secondOfDay(t));
}

bool skippedOver(const LineWait& wait, std::int64_t moment) {
    if (!wait.skipped || moment <= wait.skipped->first || moment > wait.skipped->second) return false;
    return std::none_of(wait.takenMoments.begin(), wait.takenMoments.end(),
                        [&](const auto& taken) { return taken.second > wait.skipped->second; });
}

} // namespace orvex
