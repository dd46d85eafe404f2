#include "app/cli/plan_axis.h"

#include <chrono>
#include <cstdio>

namespace orvex::cli {
namespace {

constexpr std::uint64_t kDayMs = 24ull * 3600 * 1000;
// Steps a reader counts in without effort.
constexpr std::uint64_t kStepsSeconds[] = {1,     2,     5,      10,     15,     30,      60,     120,
                                           300,   600,   900,    1800,   3600,   7200,    10800,  21600,
                                           43200, 86400, 172800, 432000, 604800, 1209600, 2419200};

std::uint64_t msOfDay(const CivilTime& t) {
    return ((static_cast<std::uint64_t>(t.hour) * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond;
}

std::string timeOfDay(std::uint64_t ms, bool seconds) {
    const std::uint64_t s = ms % kDayMs / 1000;
    char text[16];
    if (seconds)
        std::snprintf(text, sizeof text, "%02u:%02u:%02u", static_cast<unsigned>(s / 3600),
                      static_cast<unsigned>(s / 60 % 60), static_cast<unsigned>(s % 60));
    else
        std::snprintf(text, sizeof text, "%02u:%02u", static_cast<unsigned>(s / 3600),
                      static_cast<unsigned>(s / 60 % 60));
    return text;
}

// The date `days` after the start's, "YYYY-MM-DD": the label of a midnight on a plan of several days, where a
// time of day alone would not tell one midnight from the next.
std::string dateText(const CivilTime& start, std::uint64_t days) {
    using namespace std::chrono;
    const year_month_day date{sys_days{year{start.year} / start.month / start.day} +
                              std::chrono::days{static_cast<long>(days)}};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

} // namespace

std::vector<AxisTick> axisTicks(const CivilTime& start, std::uint64_t durationMs, double minSpacingMs) {
    const bool severalDays = durationMs > kDayMs;
    // A date is wider than a time of day: its ticks stand further apart.
    const double spacing = severalDays ? minSpacingMs * 1.25 : minSpacingMs;
    std::uint64_t step = kStepsSeconds[std::size(kStepsSeconds) - 1] * 1000;
    for (const std::uint64_t s : kStepsSeconds)
        if (static_cast<double>(s * 1000) >= spacing) {
            step = s * 1000;
            break;
        }
    const std::uint64_t origin = msOfDay(start);
    std::vector<AxisTick> ticks;
    for (std::uint64_t t = (origin + step - 1) / step * step; t <= origin + durationMs; t += step)
        ticks.push_back({t - origin, severalDays && t % kDayMs == 0 ? dateText(start, t / kDayMs)
                                                                    : timeOfDay(t, step < 60000)});
    return ticks;
}

std::string clockText(const CivilTime& start, std::uint64_t ms, std::uint64_t planMs) {
    const std::uint64_t at = msOfDay(start) + ms;
    if (planMs <= kDayMs) return timeOfDay(at, true);
    return dateText(start, at / kDayMs) + " " + timeOfDay(at, true);
}

} // namespace orvex::cli
