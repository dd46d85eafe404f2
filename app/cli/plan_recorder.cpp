#include "app/cli/plan_recorder.h"

#include "platform/files.h"
#include "resources/main_dialog.h"

#include <algorithm>

namespace orvex::cli {
namespace {

constexpr int kMessagePass = 256;
constexpr int kMessageNotStarted = 240;
constexpr int kMessageUntil = 259;

} // namespace

std::uint64_t PlanRecorder::now() const {
    return program_.clock.microseconds() / 1000 - originMs_;
}

void PlanRecorder::start(const std::string& script) {
    std::lock_guard lock(mutex_);
    originMs_ = program_.clock.microseconds() / 1000;
    plan_.start = program_.clock.localTime();
    plan_.language = program_.language;
    plan_.script = fileNameOf(script);
}

void PlanRecorder::told(const std::string& text) {
    std::lock_guard lock(mutex_);
    told_ = text;
}

// What changed since the last event: the script (a move along a chain), the pass.
void PlanRecorder::follow(std::uint64_t at) {
    plan_.language = program_.language;
    const Script& script = program_.script;
    if (script.loaded && script.path != scriptPath_) {
        // The first is the script the plan is named for already.
        if (!scriptPath_.empty()) plan_.chains.push_back({at, fileNameOf(script.path)});
        scriptPath_ = script.path;
        pass_ = 0;
        for (const ScriptLine& line : script.lines) plan_.lines.push_back(line.fileLine);
    }
    if (program_.run.passCount > pass_)
        plan_.passes.push_back(
            {at, formatMessage(program_.language, kMessagePass, std::to_string(program_.run.passCount))});
    pass_ = program_.run.passCount;
}

void PlanRecorder::closeWait(std::uint64_t at) {
    if (!wait_) return;
    wait_->toMs = at;
    plan_.waits.push_back(std::move(*wait_));
    wait_.reset();
}

void PlanRecorder::statusChanged(RunStatus status) {
    std::lock_guard lock(mutex_);
    const std::uint64_t at = now();
    follow(at);
    const bool listening = status == RunStatus::kSoundWait || status == RunStatus::kMoveWait;
    if (!listening) {
        closeWait(at);
        return;
    }
    const RunState& r = program_.run;
    if (wait_ || r.currentLine < 0 || static_cast<std::size_t>(r.currentLine) >= program_.script.lines.size())
        return;
    wait_ =
        PlannedWait{program_.script.lines[r.currentLine].fileLine, at, at, program_.text(messageOf(status))};
}

void PlanRecorder::moveDetected(int) {
    std::lock_guard lock(mutex_);
    closeWait(now());
}

void PlanRecorder::soundDetected(int) {
    std::lock_guard lock(mutex_);
    closeWait(now());
}

// In simulation mode nothing is pressed: the shot is drawn as the line would be taken with the lock-up
// chosen, a long exposure held in bulb.
Release PlanRecorder::releaseOf(const ScriptLine& line) const {
    const RunState& r = program_.run;
    if (line.burst != 0) return Release::Cable;
    if (program_.options.simulation) {
        if (window_ && window_->listSelection(kLockupList) > 0) return Release::Lockup;
        return line.exposureMs > program_.camera.longestCameraTimedMs ? Release::Bulb : Release::Camera;
    }
    if (r.lockup.countdown != 0) return Release::Lockup;
    if (r.exposure.timedDuration == 0) return Release::Camera;
    return r.exposure.cableUsed ? Release::Cable : Release::Bulb;
}

std::string PlanRecorder::shownValues() const {
    if (!window_) return {};
    std::string values;
    for (const auto& [label, field] : {std::pair{kApertureLabel, kApertureField},
                                       {kSpeedLabel, kSpeedField},
                                       {kIsoLabel, kIsoField},
                                       {kQualityLabel, kQualityField}}) {
        if (!values.empty()) values += ", ";
        values += window_->itemText(label) + " " + window_->itemText(field);
    }
    return values;
}

void PlanRecorder::shutterReleased(int fileLine, int pass) {
    std::lock_guard lock(mutex_);
    const std::uint64_t at = now();
    follow(at);
    const RunState& r = program_.run;
    const ScriptLine& line = program_.script.lines.at(static_cast<std::size_t>(r.currentLine));
    const Release release = releaseOf(line);
    const std::uint32_t length = line.burst != 0               ? static_cast<std::uint32_t>(line.burst) * 1000
                                 : program_.options.simulation ? line.exposureMs
                                                               : r.exposure.lengthMs;
    plan_.exposures.push_back({fileLine, pass, at, length, release, line.burst != 0, shownValues()});
}

void PlanRecorder::ended(const std::string& text) {
    std::lock_guard lock(mutex_);
    const std::uint64_t at = now();
    closeWait(at);
    plan_.end = {at, text};
}

void PlanRecorder::end(RunStatus status) {
    ended(program_.text(status == RunStatus::kIdle ? kMessageNotStarted : messageOf(status)));
    std::lock_guard lock(mutex_);
    // Before its start, the session spoke only of what kept it from starting. The script it loaded is drawn
    // all the same, its lanes empty.
    if (status == RunStatus::kIdle) {
        plan_.reason = told_;
        follow(plan_.end.atMs);
    }
    // The pass a completed loop counts on after its last one is never taken.
    if (status != RunStatus::kCompleted) return;
    const std::uint64_t lastShot = plan_.exposures.empty() ? 0 : plan_.exposures.back().atMs;
    std::erase_if(plan_.passes, [lastShot](const PlanMark& pass) { return pass.atMs > lastShot; });
}

void PlanRecorder::endUntil() {
    ended(program_.text(kMessageUntil));
}

} // namespace orvex::cli
