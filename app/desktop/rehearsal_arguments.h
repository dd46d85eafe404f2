#pragma once
// The orvex-cli rehearsal that draws the plan of the loaded script with the settings of the main window.
#include "platform/window.h"
#include "run/program.h"

#include <optional>
#include <string>
#include <vector>

namespace orvex {

// Whether the script has a Sound line, which a rehearsal hears only from a recording.
bool listensForSound(const Script& script);

// The arguments after the program's name: simulation mode from now, the window's Loop, Delayed start, lock-up
// and UT, the line a resumed night starts at, the plan drawn into `plan`, Sound lines hearing `sound`.
std::vector<std::string> rehearsalArguments(const Program& program, const Window& window,
                                            const std::string& plan, const std::optional<std::string>& sound);

} // namespace orvex
