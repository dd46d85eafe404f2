#include "run/night_logging.h"

#include "camera/camera_clock.h"
#include "core/text_scan.h"
#include "platform/debug_output.h"
#include "platform/files.h"
#include "resources/main_dialog.h"
#include "run/time_of_day.h"
#include "ui/help_about.h"

#include <cmath>
#include <vector>

namespace orvex {
namespace {

constexpr std::uint32_t kClockRecheckMs = 3600000;

// Local time now, on the tick's time line too.
struct Anchor {
    std::int64_t localMinusTickUs;
    int utcOffsetMinutes;
};

Anchor anchor(const Clock& clock) {
    const std::int64_t tickUs = static_cast<std::int64_t>(clock.microseconds());
    const std::int64_t localMs = msFromCivil(clock.localTime());
    const std::int64_t apartMs = localMs - msFromCivil(clock.universalTime());
    return {localMs * 1000 + tickUs % 1000 - tickUs,
            static_cast<int>(std::lround(static_cast<double>(apartMs) / 60000.0))};
}

LocalMoment now(const Program& p) {
    const Anchor a = anchor(p.clock);
    return {static_cast<std::int64_t>(p.clock.microseconds()) + a.localMinusTickUs, a.utcOffsetMinutes};
}

std::string clockLine(const Program& p) {
    if (!p.kernelClock) return "clock\t" + isoMoment(now(p)) + "\trehearsal";
    return "clock\t" + isoMoment(now(p)) + '\t' + clockStateText(p.kernelClock->state());
}

// A time of day falls due at the start of its second, however late the run's tick comes after it; one the
// clock set on skipped, as the clock jumped past it.
std::int64_t timeOfDayDueMs(const Program& p, const ScriptLine& line, const Anchor& a) {
    const std::int64_t moment = dueMoment(p.run.wait, lastMoment(waitClockTime(p), line.timeOfDay));
    return moment * 1000 + (p.run.settings.universalTime ? a.utcOffsetMinutes * 60000LL : 0);
}

} // namespace

std::string clockStateText(const std::optional<KernelClockState>& state) {
    if (!state) return "unknown";
    return std::string("synchronised\t") + (state->synchronised() ? "yes" : "no") + "\testimated_error\t" +
           decimalText(state->estimatedErrorS, 6) + "\tmaximum_error\t" +
           decimalText(state->maximumErrorS, 6);
}

void openNightLog(Program& p, const std::string& folder) {
    p.transferWorker.join(); // it may still be filing the last run's late pictures in the old log
    p.nightLog.reset();
    if (!isDirectory(folder) && !createFolder(folder)) return;
    std::vector<std::string> header{"script\t" + p.script.path, std::string("version\t") + programVersion()};
    if (!p.options.simulation) {
        char id[81] = {};
        if (EdsGetPropertyData(p.camera.camera, kEdsPropID_BodyIDEx, 0, 80, id) != EDS_ERR_OK) id[0] = '\0';
        header.push_back("body\t" + p.camera.name + '\t' + id);
    }
    header.push_back(clockLine(p));
    p.clockReadAt = p.clock.tick();
    if (!p.options.simulation)
        if (const auto offset = bodyClockOffsetMs(p.camera, p.clock))
            header.push_back("body_offset\t" + decimalText(static_cast<double>(*offset) / 1000.0, 3));
    // A rehearsal's rows, and simulation mode's, tell of no picture a power cut could keep: made safe one by
    // one, they would hold a night's rehearsal up for minutes on a slow disk.
    const Safety safety = p.kernelClock && !p.options.simulation ? Safety::kOnDisk : Safety::kHandedOver;
    p.nightLog = NightLog::create(folder, p.clock.localTime(), header, p.language, safety);
    if (!p.nightLog) debugOutput("orvex: no night log could be made in " + folder + "\n");
}

void lineFallsDue(Program& p) {
    RunState& r = p.run;
    const ScriptLine& line = p.script.lines[r.currentLine];
    const Anchor a = anchor(p.clock);
    const std::int64_t tickUs = static_cast<std::int64_t>(p.clock.microseconds());
    // A line without a delay, and a trigger, fall due when the run reaches them.
    std::int64_t dueUs = tickUs + a.localMinusTickUs;
    if (line.kind == TriggerKind::TimeOfDay) {
        dueUs = timeOfDayDueMs(p, line, a) * 1000;
    } else if (line.kind == TriggerKind::Delay && r.wait.lineDelay != 0) {
        // A delay counts from the run's origin, in whole ticks.
        const std::uint32_t since = ticksBetween(r.wait.timeOrigin + r.wait.lineDelay, p.clock.tick());
        dueUs -= tickUs % 1000 + (since < 0x80000000u ? static_cast<std::int64_t>(since) * 1000 : 0);
    }
    r.localMinusTickUs = a.localMinusTickUs;
    r.release = ReleaseRecord{};
    r.release.fileLine = line.fileLine;
    r.release.pass = r.passCount;
    r.release.planned = {dueUs, a.utcOffsetMinutes};
}

void recordValues(Program& p, const Window& w) {
    ReleaseRecord& r = p.run.release;
    r.av = w.itemText(kApertureField);
    r.tv = w.itemText(kSpeedField);
    r.iso = w.itemText(kIsoField);
    r.quality = w.itemText(kQualityField);
}

void recordRelease(Program& p) {
    ReleaseRecord& r = p.run.release;
    r.releasedAt = {static_cast<std::int64_t>(p.clock.microseconds()) + p.run.localMinusTickUs,
                    r.planned.utcOffsetMinutes};
    r.released = true;
    r.lateMs = static_cast<double>(r.releasedAt.localUs - r.planned.localUs) / 1000.0;
}

void logNothingCame(const Program& p) {
    if (p.nightLog) p.nightLog->nothingCame(p.run.release, p.options.simulation);
}

void recheckClock(Program& p) {
    if (!p.kernelClock || !p.nightLog || ticksBetween(p.clockReadAt, p.clock.tick()) < kClockRecheckMs)
        return;
    p.clockReadAt = p.clock.tick();
    p.nightLog->comment(clockLine(p));
}

} // namespace orvex
