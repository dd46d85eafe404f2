#include "run/clock_warning.h"

#include "core/catalogue.h"
#include "core/text_scan.h"

#include <algorithm>

namespace orvex {
namespace {

constexpr int kMessageNotSynchronised = 246;
constexpr int kMessageMayBeOff = 247;
constexpr int kMessageCannotCheck = 248;
constexpr int kMessageWarning = 198;

// One decimal, with the decimal comma in French.
std::string seconds(double value, int language) {
    std::string s = decimalText(value, 1);
    if (language == kFrench) std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

} // namespace

bool followsTheClock(const Script& script, const RunSettings& settings) {
    return settings.delayedStart ||
           std::any_of(script.lines.begin(), script.lines.end(),
                       [](const ScriptLine& l) { return l.kind == TriggerKind::TimeOfDay; });
}

std::optional<std::string> clockWarning(const std::optional<KernelClockState>& state, int language) {
    if (!state) return messageText(language, kMessageCannotCheck);
    if (!state->synchronised()) return messageText(language, kMessageNotSynchronised);
    if (state->maximumErrorS > kTrustedClockErrorS)
        return formatMessage(language, kMessageMayBeOff, seconds(state->maximumErrorS, language));
    return std::nullopt;
}

std::optional<std::string> runClockWarning(const Program& p) {
    if (!p.kernelClock || !followsTheClock(p.script, p.run.settings)) return std::nullopt;
    return clockWarning(p.kernelClock->state(), p.language);
}

void warnOfTheClock(const Program& p, Window& w) {
    if (const auto text = runClockWarning(p))
        w.messageBox(*text, p.text(kMessageWarning), BoxIcon::Warning, BoxButtons::Ok);
}

} // namespace orvex
