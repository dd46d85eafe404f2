#pragma once
// A rehearsal run by orvex-cli beside this program, in a process of its own, for the plan it draws.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvex {

struct RehearsedPlan {
    std::string svg;       // empty when none was drawn
    std::string problem;   // then orvex-cli's own words on why, when it said any
    std::string unwritten; // or the plan's path, when its temporary folder took no file (a full disk)
};

// orvex-cli's arguments, given where it draws the plan and, for a script with Sound lines, the recording it
// hears.
using RehearsalArguments =
    std::function<std::vector<std::string>(const std::string& plan, const std::optional<std::string>& sound)>;

// Runs the rehearsal in `workingDirectory`, its files in a temporary folder of their own, a silent recording
// when `silence` is asked, and keeps the windows answering meanwhile.
RehearsedPlan rehearsePlan(const RehearsalArguments& arguments, bool silence,
                           const std::string& workingDirectory);

} // namespace orvex
