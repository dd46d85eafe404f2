#include "app/desktop/rehearsal_arguments.h"

#include "resources/main_dialog.h"

#include <algorithm>
#include <cstdio>

namespace orvex {

bool listensForSound(const Script& script) {
    return std::any_of(script.lines.begin(), script.lines.end(),
                       [](const ScriptLine& line) { return line.kind == TriggerKind::Sound; });
}

std::vector<std::string> rehearsalArguments(const Program& p, const Window& w, const std::string& plan,
                                            const std::optional<std::string>& sound) {
    std::vector<std::string> arguments{"simulate", "--lang", p.language == kFrench ? "fr" : "en",
                                       "--plan=" + plan};
    const RunSettings& s = p.run.settings;
    if (s.loopEnabled) {
        // An endless loop is rehearsed for the day a rehearsal lasts. A count that --loop=N refuses can only
        // come from a hand-edited Orvex.ini, which orvex-cli reads too: a bare --loop takes that very count,
        // and a count under 2 stays the single pass the run makes of it.
        const bool counted = s.loopCount >= 2 && s.loopCount <= 10000;
        arguments.push_back(s.loopInfinite ? "--loop=10000"
                            : counted      ? "--loop=" + std::to_string(s.loopCount)
                                           : "--loop");
    }
    // A night resumed with -fromline starts its next run there, and so does its rehearsal.
    if (p.run.startLine && *p.run.startLine >= 0 &&
        *p.run.startLine < static_cast<int>(p.script.lines.size()))
        arguments.push_back("--from-line=" + std::to_string(p.script.lines[*p.run.startLine].fileLine));
    if (s.delayedStart) {
        char start[16];
        std::snprintf(start, sizeof start, "%02d:%02d:%02d", s.startHour, s.startMinute, s.startSecond);
        arguments.push_back(std::string("--start=") + start);
    }
    if (s.universalTime) arguments.push_back("--ut");
    // Seconds of lock-up only: nobody presses a rehearsal's release by hand.
    const std::string lockup = w.listText(kLockupList, w.listSelection(kLockupList));
    for (int seconds = 1; seconds <= 10; ++seconds)
        if (lockup == std::to_string(seconds) + "s") arguments.push_back("--lockup=" + lockup);
    if (sound) arguments.push_back("--sound=" + *sound);
    arguments.push_back(p.script.path);
    return arguments;
}

} // namespace orvex
