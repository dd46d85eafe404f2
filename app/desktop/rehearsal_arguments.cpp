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
        // An endless loop is rehearsed for the day a rehearsal lasts.
        const bool counted = !s.loopInfinite && s.loopCount >= 2 && s.loopCount <= 10000;
        arguments.push_back(counted ? "--loop=" + std::to_string(s.loopCount) : "--loop=10000");
    }
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
