#pragma once
// The plan's time axis: clock times on whole seconds, minutes or hours, as far apart as its scale needs.
#include "platform/clock.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvex::cli {

struct AxisTick {
    std::uint64_t atMs = 0; // from the run's first tick
    std::string label;
};

// The ticks over `durationMs` from `start`, on the finest step of the clock that keeps them at least
// `minSpacingMs` apart: seconds shown while the step is under a minute, and the date at each midnight of a
// plan longer than a day.
std::vector<AxisTick> axisTicks(const CivilTime& start, std::uint64_t durationMs, double minSpacingMs);

// The clock time `ms` after `start`, "HH:MM:SS", the next day's after midnight; on a plan `planMs` long that
// lasts more than a day, "YYYY-MM-DD HH:MM:SS", as its axis dates its midnights.
std::string clockText(const CivilTime& start, std::uint64_t ms, std::uint64_t planMs);

} // namespace orvex::cli
