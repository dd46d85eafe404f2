#pragma once
// What the run tells its night log: the header at its start, each release's moments and values, releases that
// brought nothing, and the computer's clock once an hour.
#include "platform/window.h"
#include "run/program.h"

#include <optional>
#include <string>

namespace orvex {

// Opens the run's log in its picture folder (with its trailing separator), made for it if need be. A log
// that cannot be made costs the run nothing: its night is taken all the same.
void openNightLog(Program& program, const std::string& folder);
// The line about to be executed falls due: when it was due, and where it stands in the script.
void lineFallsDue(Program& program);
// Once the line's values are set: those the window shows.
void recordValues(Program& program, const Window& window);
// The press has gone: only the moment is taken, the rest waits.
void recordRelease(Program& program);
// The release brought no picture: lost, or a rehearsal's without a body.
void logNothingCame(const Program& program);
// In a wait, once an hour: the kernel is asked of the computer's clock again, and the log told.
void recheckClock(Program& program);
// The kernel's word on the computer's clock, as the log puts it on its clock lines.
std::string clockStateText(const std::optional<KernelClockState>& state);

} // namespace orvex
