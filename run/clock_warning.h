#pragma once
// Whether a run can trust the computer's clock with its moments of the day.
#include "core/run_state.h"
#include "core/script.h"
#include "platform/kernel_clock.h"
#include "run/program.h"

#include <optional>
#include <string>

namespace orvex {

// A time of day is kept to the second: a clock that may be further off than that is worth a word.
inline constexpr double kTrustedClockErrorS = 1.0;

// The run waits for a moment of the day: a time-of-day line, or a start at a given time.
bool followsTheClock(const Script& script, const RunSettings& settings);
// What to tell the user before such a run, in the language; none when the clock can be trusted. `state` is
// none when the kernel could not be asked.
std::optional<std::string> clockWarning(const std::optional<KernelClockState>& state, int language);

// The word a run about to start owes its user: none when it does not follow the clock, when the clock can
// be trusted, or when it runs on a clock of its own (a rehearsal). Asks the kernel: never at a release.
std::optional<std::string> runClockWarning(const Program& program);
// A run the user starts by hand: the warning in a box, which waits for OK.
void warnOfTheClock(const Program& program, Window& window);

} // namespace orvex
