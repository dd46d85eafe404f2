#include "run/run_controller.h"

#include "camera/camera_properties.h"
#include "liveview/frame_tick.h"
#include "liveview/live_view_requests.h"
#include "platform/files.h"
#include "resources/main_dialog.h"
#include "run/night_logging.h"
#include "run/run_end.h"
#include "run/script_load.h"
#include "run/serial_cable.h"
#include "run/shot_execution.h"
#include "run/sound_detection.h"
#include "run/status_display.h"
#include "run/time_of_day.h"
#include "run/transfer.h"
#include "script/script_chain.h"
#include "ui/main_controls.h"

#include <utility>
#include <vector>

namespace orvex {
namespace {

constexpr int kDaySeconds = 86400;
constexpr int kDay = kDaySeconds * 1000;
constexpr std::uint32_t kPictureTimeoutHost = 12000;
constexpr std::uint32_t kPictureTimeoutCard = 5000;
constexpr std::uint32_t kShortestFirstTickMs = 10;

bool waiting(RunStatus status) {
    switch (status) {
    case RunStatus::kDelayedStartWait:
    case RunStatus::kTimeWait:
    case RunStatus::kMoveWait:
    case RunStatus::kSoundWait:
    case RunStatus::kPaused:
    case RunStatus::kDelayWait:
        return true;
    default:
        return false;
    }
}

// Pause, Stop, Reload, Next or Prev. pressed during a shot end its program-timed exposure or its lock-up wait
// early. A pause already on as the shot began counts only once lifted and pressed again: a sound heard while
// paused still gets the whole exposure its line asks for.
bool shotCutShort(const RunState& r) {
    return (r.paused && !r.exposure.pausedAtStart) || r.requests.reload || r.requests.next ||
           r.requests.prev || r.requests.abort;
}

// A run under way and no longer waiting for its delayed start, or one that had none.
bool pastItsStart(const RunState& r) {
    return r.running && r.status != RunStatus::kDelayedStartWait;
}

const ScriptLine& currentLine(const Program& p) {
    return p.script.lines[p.run.currentLine];
}

// A picture is given up once the time-out has passed after the exposure's end plus as long again as the
// exposure: a body that subtracts a dark frame takes that long before its picture is ready.
bool pictureOverdue(const Program& p, std::uint32_t timeoutMs) {
    const std::uint32_t since = ticksBetween(p.run.exposure.end, p.clock.tick());
    return since > timeoutMs + p.run.exposure.lengthMs;
}

std::vector<std::uint32_t> allowedCodes(const EdsPropertyDesc& desc) {
    std::vector<std::uint32_t> codes;
    for (EdsInt32 i = 0; i < desc.numElements && i < 128; ++i)
        codes.push_back(static_cast<std::uint32_t>(desc.propDesc[i]));
    return codes;
}

// Lateness is told when it changes, so that a script asking more than the body can do is seen falling behind.
void setLate(Program& p, bool late) {
    if (p.run.wait.late == late) return;
    p.run.wait.late = late;
    if (p.observer) p.observer->lateChanged(late);
}

// True when the camera did what was asked; otherwise the run ends on the camera's error.
bool succeeded(Program& p, Window& w, EdsError error, int location) {
    if (error == EDS_ERR_OK) return true;
    reportError(p, w, static_cast<std::int32_t>(error), location);
    return false;
}

// Each step below readies one part of the camera at run start; false when the run must not go on.

// The tables offer only the apertures and speeds this body and lens take.
bool adaptTablesToBody(Program& p, Window& w) {
    EdsPropertyDesc apertures{}, speeds{};
    if (!succeeded(p, w, EdsGetPropertyDesc(p.camera.camera, kEdsPropID_Av, &apertures), 3057)) return false;
    adaptToCamera(p.tables, allowedCodes(apertures), {});
    if (!succeeded(p, w, EdsGetPropertyDesc(p.camera.camera, kEdsPropID_Tv, &speeds), 3074)) return false;
    adaptToCamera(p.tables, {}, allowedCodes(speeds));
    return true;
}

bool setSaveTarget(Program& p, Window& w) {
    const CameraSession& c = p.camera;
    if (!p.options.saveToHost)
        return succeeded(p, w, writeUInt32(p.camera, kEdsPropID_SaveTo, kEdsSaveTo_Camera), 3116);
    return succeeded(p, w, writeUInt32(p.camera, kEdsPropID_SaveTo, kEdsSaveTo_Host), 3094) &&
           (c.legacyProtocol || succeeded(p, w, EdsSetCapacity(c.camera, {0x7FFFFFFF, 0x1000, 1}), 3104));
}

bool driveAllowsBursts(Program& p, Window& w) {
    if (!p.script.hasBurst) return true;
    EdsUInt32 drive = 0;
    if (!succeeded(p, w, readUInt32(p.camera, kEdsPropID_DriveMode, 0, drive), 3132)) return false;
    if (drive != kEdsDriveMode_Continuous && drive != kEdsDriveMode_HighSpeedContinuous &&
        drive != kEdsDriveMode_LowSpeedContinuous) {
        reportError(p, w, kErrorDriveNotContinuous, 3144);
        return false;
    }
    return true;
}

bool stopWithMessage(Program& p, Window& w, int message) {
    stopRun(p, w);
    w.messageBox(p.text(message), p.text(54), BoxIcon::Error, BoxButtons::Ok);
    return false;
}

// Move lines wait for change between live view frames: a body without live view could never fire them.
bool moveDetectable(Program& p, Window& w) {
    return !p.script.hasMove || p.camera.liveViewAvailable || stopWithMessage(p, w, 117);
}

bool cableChosenIfNeeded(Program& p, Window& w) {
    const CameraSession& c = p.camera;
    const int lockup = lockupTime(p, w);
    // A body that can hold its shutter open by none of its own commands needs the cable for long exposures,
    // with live view as without.
    const bool bulbByCableOnly = !c.bulbCommands && !c.shutterButton && !c.rules.pressShutterBody;
    const bool cableNeeded = p.script.hasBurst ||
                             (!c.liveViewAvailable && (p.script.hasLongExposure || lockup > 0)) ||
                             (bulbByCableOnly && p.script.hasLongExposure);
    return !cableNeeded || !p.run.serialPortName.empty() || stopWithMessage(p, w, 124);
}

bool configureCamera(Program& p, Window& w) {
    return succeeded(p, w, setCameraUiLock(p.camera, true), 3048) && adaptTablesToBody(p, w) &&
           setSaveTarget(p, w) && driveAllowsBursts(p, w) && moveDetectable(p, w) &&
           cableChosenIfNeeded(p, w);
}

// The clock set on by more than a second beyond the time that passed skipped the moments in between.
void watchClockSetOn(Program& p) {
    LineWait& wait = p.run.wait;
    const std::int64_t clockMs = msFromCivil(waitClockTime(p));
    const std::uint32_t tick = p.clock.tick();
    if (wait.seen) {
        const std::int64_t passed = ticksBetween(wait.seen->second, tick);
        if (clockMs - wait.seen->first > passed + 1000)
            wait.skipped = {(wait.seen->first + passed) / 1000, clockMs / 1000};
    }
    wait.seen = {clockMs, tick};
}

// UT checked or cleared in Parameters during a run moves the waits' clock by the computer's offset from UTC:
// no moment passed meanwhile and the clock was not set on or back, so the wait goes on, on the other clock,
// as if armed there.
void followWaitClock(Program& p) {
    LineWait& wait = p.run.wait;
    if (wait.universalTime == p.run.settings.universalTime) return;
    wait.universalTime = p.run.settings.universalTime;
    wait.seen.reset();
    wait.skipped.reset();
    wait.lastSecond = (secondOfDay(waitClockTime(p)) + kDaySeconds - 1) % kDaySeconds;
}

// Arms the wait of the current line; false when the line is to be executed at once.
// Armed as if the tick before had seen the second before: a moment armed within its own second is due, even
// when the first tick comes in the next second already, rather than tomorrow.
void waitForTimeOfDay(Program& p, int target) {
    p.run.wait.targetSecond = target;
    p.run.wait.lastSecond = (secondOfDay(waitClockTime(p)) + kDaySeconds - 1) % kDaySeconds;
}

bool armLine(Program& p, Window& w) {
    RunState& r = p.run;
    const ScriptLine& line = currentLine(p);
    r.wait.lineDelay = 0;
    switch (line.kind) {
    case TriggerKind::Move:
        r.detection.triggered = false;
        // The live view window opens as from its button: the wait needs its frames.
        if (!p.liveView.wanted) w.post({MessageKind::Command, kLiveViewButton, {}});
        showStatus(p, w, RunStatus::kMoveWait);
        return true;
    case TriggerKind::Sound:
        r.detection.triggered = false;
        if (openSound(p, w, kSoundBufferSamples) != 0) {
            reportError(p, w, kErrorSoundInput, 6087);
            return true;
        }
        // The wait is shown before recording starts, so that the buffer that fires never comes before it.
        showStatus(p, w, RunStatus::kSoundWait);
        // An input that opens but will not record would leave the run waiting for ever, unattended: it
        // stops the run as one that cannot open does.
        if (startSound(p) != 0) reportError(p, w, kErrorSoundInput, 6087);
        return true;
    case TriggerKind::TimeOfDay:
        waitForTimeOfDay(p, line.timeOfDay);
        // Taken at once, as if the previous tick had seen the second before the jump.
        if (skippedOver(r.wait, lastMoment(waitClockTime(p), line.timeOfDay)))
            r.wait.lastSecond = secondOfDay(civilFromMs(r.wait.skipped->first * 1000));
        showStatus(p, w, RunStatus::kTimeWait);
        return true;
    case TriggerKind::Delay:
        break;
    }
    const bool skipped = r.currentLine == 0 && r.settings.loopEnabled && r.passCount == 0;
    if (!skipped && line.delay != 0) {
        r.wait.lineDelay = static_cast<std::uint32_t>(line.delay) * 100;
        if (r.status != RunStatus::kPaused) showStatus(p, w, RunStatus::kDelayWait);
        return true;
    }
    if (!r.paused) return false;
    if (r.status != RunStatus::kPaused) showStatus(p, w, RunStatus::kPaused);
    return true;
}

// Moves to the next line; false when the run ended.
bool advanceLine(Program& p, Window& w) {
    RunState& r = p.run;
    const bool ends = runEndsAfterThisLine(p);
    if (++r.currentLine >= static_cast<int>(p.script.lines.size()) && r.settings.loopEnabled) {
        ++r.passCount;
        r.currentLine = 0;
    }
    if (!ends) return true;
    showStatus(p, w, RunStatus::kCompleted);
    stopRun(p, w);
    return false;
}

void armOrExecute(Program& p, Window& w) {
    if (!armLine(p, w) && p.run.running) executeLine(p, w);
}

void exposureTick(Program& p, Window& w) {
    RunState& r = p.run;
    watchTransfers(p, w);
    if (!r.running) return;
    const std::uint32_t now = p.clock.tick();
    const std::uint32_t elapsed = ticksBetween(r.exposure.start, now);
    if (r.exposure.timedDuration != 0) {
        showRemaining(w, static_cast<int>(r.exposure.timedDuration - elapsed));
        if (elapsed < r.exposure.timedDuration && !shotCutShort(r)) return;
        r.exposure.end = now;
        if (r.status == RunStatus::kBurst || r.exposure.cableUsed) {
            if (!cablePhase(p, w, false, CablePhase::kPlain)) return;
        } else {
            driveShutterButton(p.camera, p.run.errorLocation, false);
        }
        showStatus(p, w, RunStatus::kPictureWait);
        return;
    }
    const std::uint32_t exposure = r.exposure.lengthMs;
    if (elapsed < exposure) {
        showRemaining(w, static_cast<int>(exposure - elapsed));
        return;
    }
    showRemaining(w, 0);
    showStatus(p, w, RunStatus::kPictureWait);
}

// The run's waits count from its origin; its tick starts again from here, so that each later tick falls
// just after a moment instead of a fraction of a millisecond before it, which would cost the shot a whole
// tick. An origin in the past (a slave's, taken from its master) shortens the first period, so that the ticks
// fall just after whole steps from the origin itself; the next tick gives the timer its period back.
void setTimeOrigin(Program& p, Window& w, std::uint32_t origin) {
    p.run.wait.timeOrigin = origin;
    const std::uint32_t past = ticksBetween(origin, p.clock.tick()) % kTickMs;
    std::uint32_t first = kTickMs - past;
    // Not every platform keeps so short a period: the first tick waits for the step after.
    if (first < kShortestFirstTickMs) first += kTickMs;
    p.runTimerShortened = first != kTickMs;
    w.setTimer(kTimerRun, first);
}

// The moment is this second, or it passed since the previous tick: a run held up (a suspended computer, a
// clock set on) takes it late rather than tomorrow, across midnight too. A clock set back passes nothing, and
// so does one gone on by half a day or more, which is a clock set back seen the other way round. A moment
// taken already is told apart by its date (`takenAlready`).
bool momentReached(std::optional<int> previous, int now, int target) {
    if (now == target) return true;
    if (!previous) return false;
    const int step = secondsOnward(*previous, now);
    const int toTarget = secondsOnward(*previous, target);
    return step < kDaySeconds / 2 && toTarget > 0 && toTarget <= step;
}

// A moment the line took already comes again to a loop back within its second, and to a clock set back
// (winter time): it is tomorrow's then, not one more shot.
bool takenAlready(const RunState& r, std::int64_t moment) {
    const auto taken = r.wait.takenMoments.find(r.currentLine);
    return r.status == RunStatus::kTimeWait && taken != r.wait.takenMoments.end() && taken->second == moment;
}

void timeOfDayTick(Program& p, Window& w) {
    RunState& r = p.run;
    const CivilTime time = waitClockTime(p);
    const int second = secondOfDay(time);
    const int remaining = (r.wait.targetSecond - second) * 1000;
    showRemaining(w, passingMs(p, remaining < 0 ? remaining + kDay : remaining));
    const std::int64_t moment = lastMoment(time, r.wait.targetSecond);
    if (!momentReached(r.wait.lastSecond, second, r.wait.targetSecond) || takenAlready(r, moment)) {
        r.wait.lastSecond = second;
        return;
    }
    // A run held up past the moment (a suspended computer, a loaded one) takes it late; the delays after it
    // count from the moment itself, so that the shots it missed after it are taken too, as after a delay.
    // Within a tick of it, they count from the tick, the run's resolution.
    const std::int64_t heldUp = msFromCivil(time) - dueMoment(r.wait, moment) * 1000;
    const std::uint32_t origin = p.clock.tick() - (heldUp > kTickMs ? static_cast<std::uint32_t>(heldUp) : 0);
    setTimeOrigin(p, w, origin);
    if (r.status == RunStatus::kTimeWait) {
        r.wait.takenMoments[r.currentLine] = moment;
        executeLine(p, w);
        return;
    }
    // The delayed start is the run's start: the slaves start from it.
    if (p.synchro) p.synchro->synchro(origin);
    armOrExecute(p, w);
}

void lockupTick(Program& p, Window& w) {
    RunState& r = p.run;
    if (r.lockup.countdown != 0) {
        if (shotCutShort(r) && r.lockup.countdown > 500 && r.lockup.countdown <= r.lockup.delay)
            r.lockup.countdown = 500;
        r.lockup.countdown -= 50;
        showRemaining(w, r.lockup.countdown);
        if (r.lockup.countdown == r.lockup.firstPress && !cablePhase(p, w, true, CablePhase::kMirrorUp))
            return;
        if (r.lockup.countdown == r.lockup.delay && !cablePhase(p, w, false, CablePhase::kMirrorUpRelease))
            return;
        if (r.lockup.countdown == 200) {
            if (!cablePhase(p, w, true, CablePhase::kShutter)) return;
            tellShutterReleased(p);
            if (r.exposure.timedDuration != 0) {
                showStatus(p, w, RunStatus::kExposure);
                r.exposure.start = p.clock.tick();
            }
        }
        return;
    }
    if (!cablePhase(p, w, false, CablePhase::kShutterRelease)) return;
    showStatus(p, w, RunStatus::kExposure);
    r.exposure.start = p.clock.tick();
    r.exposure.end = r.exposure.start + r.exposure.lengthMs;
    setCameraUiLock(p.camera, true);
}

void delayTick(Program& p, Window& w) {
    RunState& r = p.run;
    if (r.paused && r.status == RunStatus::kDelayWait) showStatus(p, w, RunStatus::kPaused);
    if (!r.paused && r.status == RunStatus::kPaused) showStatus(p, w, RunStatus::kDelayWait);
    const std::uint32_t now = p.clock.tick();
    const std::uint32_t elapsed = ticksBetween(r.wait.timeOrigin, now);
    if (elapsed < r.wait.lineDelay) {
        showRemaining(w, static_cast<int>(r.wait.lineDelay - elapsed));
        return;
    }
    if (r.wait.lineDelay != 0) {
        setLate(p, elapsed - r.wait.lineDelay > 500);
    } else {
        setLate(p, false);
        setTimeOrigin(p, w, now);
    }
    if (r.status == RunStatus::kDelayWait) {
        executeLine(p, w);
        return;
    }
    // Paused: the line's moment passes without a picture, and the next lines keep their schedule.
    if (!advanceLine(p, w)) return;
    r.wait.timeOrigin += r.wait.lineDelay;
    armLine(p, w);
}

// Stopped by the user. A box the stop shows lets a slave's master start it again meanwhile: that run is not
// the one stopped.
void stopAborted(Program& p, Window& w) {
    stopRun(p, w);
    if (!p.run.running) showStatus(p, w, RunStatus::kAborted);
}

void savingTick(Program& p, Window& w) {
    RunState& r = p.run;
    watchTransfers(p, w);
    if (!r.running) return;
    if (!r.cameraReady) {
        if (!p.options.saveToHost && pictureOverdue(p, kPictureTimeoutCard)) {
            logNothingCame(p);
            reportError(p, w, kErrorStoreTimeout, 3373);
        }
        return;
    }
    releaseLiveViewOutput(p.camera, p.run.lockup.liveView, p.liveView.wanted);
    applyLiveViewZoom(p.liveViewRecords(), w);
    if (r.requests.abort) {
        r.requests.abort = false;
        stopAborted(p, w);
        return;
    }
    if (!advanceLine(p, w)) return;
    if (p.liveView.wanted) fetchFrameAfterShot(p.liveViewRecords(), p.clock, w);
    r.betweenLines = true;
    const bool serviced = serviceRequests(p, w);
    r.betweenLines = false;
    if (serviced) return;
    r.wait.timeOrigin += r.wait.lineDelay;
    armOrExecute(p, w);
}

void pictureWaitTick(Program& p, Window& w) {
    RunState& r = p.run;
    watchTransfers(p, w);
    if (!r.running) return;
    if (!p.options.saveToHost || r.picturesReported > 0 || r.cameraReady)
        showStatus(p, w, RunStatus::kSaving);
    else if (pictureOverdue(p, kPictureTimeoutHost)) {
        logNothingCame(p);
        reportError(p, w, kErrorDownloadTimeout, 3502);
    }
}

// Pictures an earlier run was handed are filed under that run before this one counts from nothing, so that
// none is lost and none is filed under another shot's number. Only those a drain refused to take are
// cancelled; those on the card stay there, and are counted.
void startFromCleanHandshake(Program& p) {
    fileQueuedPictures(p);
    p.transfers.clear();
    TransferStatus& s = p.transferStatus;
    s.running = false;
    s.finished = false;
    s.error = 0;
    s.filed.clear();
    s.shotStem.clear();
    s.lastNumber = 0;
    p.run.picturesReported = 0;
}

// Moving along the chain during a run as well: a run stops when its script cannot be loaded and starts
// again on the one that can.
bool followLink(Program& p, Window& w, const char* extension) {
    const auto path = linkedScript(p.script, p.language, w, extension);
    if (!path) return false;
    const bool startTimeCame = pastItsStart(p.run);
    // Into this script's folder, before the next script is loaded in its place.
    if (p.run.running) fileQueuedPictures(p);
    if (!loadScript(p, w, *path)) {
        // The previous script is gone: a run cannot go on without lines.
        if (p.run.running) stopRun(p, w);
        return false;
    }
    if (p.run.running) startRun(p, w, startTimeCame);
    return true;
}

// One folder at a time, each below one that is there: a script folder gone (moved, its disk unmounted) is
// never made again elsewhere. A rehearsal's pictures have a folder of their own beside the script.
// A folder there already that takes no file would be found out at the first picture, once the shutter fired.
bool makePictureFolder(const Program& p) {
    const std::string folder = pictureFolder(p);
    if (!isDirectory(folder) &&
        ((!p.pictureSubfolder.empty() && !createFolder(pictureRoot(p))) || !createFolder(folder)))
        return false;
    return canWriteIn(folder);
}

// The last run's pictures are still being downloaded; those that only wait in the queue are sent for now.
bool picturesStillComing(Program& p) {
    if (!p.transferWorker.busy() && !p.transfers.empty()) startTransfers(p);
    return p.transferWorker.busy();
}

void beginRun(Program& p, Window& w, bool startTimeCame) {
    RunState& r = p.run;
    r.awaitedStart.reset();
    startFromCleanHandshake(p);
    w.setTimer(kTimerRun, kTickMs);
    r.cameraReady = true;
    r.running = true;
    r.shotCount = 0;
    r.currentLine = r.startLine.value_or(0);
    r.passCount = 0;
    r.wait.seen.reset();
    r.wait.skipped.reset();
    r.wait.universalTime = r.settings.universalTime;
    setLate(p, false);
    // Stop, Reload, Next and Prev. asked of a run that ended before it could act on them were that run's.
    r.requests = RunRequests{};
    const std::string port = w.listText(kSerialPortList, w.listSelection(kSerialPortList)).substr(0, 19);
    r.serialPortName = port == p.text(199) ? "" : port;
    updateMainControls(p.mainView(), w);

    const std::string folder = pictureFolder(p);
    if (p.pictureFiles == PictureFile::kWritten && !makePictureFolder(p)) {
        reportError(p, w, kErrorPictureFolder, 3037);
        return;
    }
    if (!p.options.simulation && !configureCamera(p, w)) return;
    // The run is under way from there: a later start begins at the first line again.
    r.startLine.reset();
    // A rehearsal's log stays in its own folder, beside the folders of the bodies it rehearsed with.
    openNightLog(p, p.pictureSubfolder.empty() ? folder : pictureRoot(p));
    if (r.settings.delayedStart && !startTimeCame) {
        waitForTimeOfDay(p,
                         r.settings.startHour * 3600 + r.settings.startMinute * 60 + r.settings.startSecond);
        showStatus(p, w, RunStatus::kDelayedStartWait);
        return;
    }
    if (p.slaveMode) {
        // Every delay counts from the master's start, whenever this instance saw it.
        setTimeOrigin(p, w, p.lastSyncValue.value);
    } else {
        const std::uint32_t now = p.clock.tick();
        setTimeOrigin(p, w, now);
        if (p.synchro) p.synchro->synchro(now);
    }
    armOrExecute(p, w);
}

// Meanwhile the camera may have gone or another script come: then the start asked for is no more.
void beginAwaitedRun(Program& p, Window& w) {
    const RunState::AwaitedStart asked = *p.run.awaitedStart;
    if (p.script.loaded && p.camera.connected && p.script.path == asked.scriptPath &&
        p.slaveMode == asked.slaveMode)
        beginRun(p, w, asked.startTimeCame);
    else
        cancelAwaitedStart(p, w);
}

} // namespace

void cancelAwaitedStart(Program& p, Window& w) {
    p.run.awaitedStart.reset();
    w.killTimer(kTimerRun);
    showStatus(p, w, RunStatus::kIdle);
    updateMainControls(p.mainView(), w);
}

void startRun(Program& p, Window& w, bool startTimeCame) {
    RunState& r = p.run;
    r.exposure.cableUsed = false;
    // A slave starts when its master does, often with nobody at its window: a question would hold its start
    // until the night is over. It takes the script as it is now, the one a rehearsal of the file shows.
    if (scriptModifiedSinceLoad(p.script) &&
        (p.slaveMode ||
         w.messageBox(p.text(159), p.text(198), BoxIcon::Question, BoxButtons::YesNo) == BoxAnswer::Yes)) {
        const bool wasRunning = r.running;
        // A reload during a run starts the run again by itself.
        if (!reloadScript(p, w) || wasRunning) return;
    }
    // The body may have gone while a box was open on the way here (this question, the clock's warning):
    // there is nothing to start the run on.
    if (!p.camera.connected) return;
    // The last run's pictures are filed before this one counts from nothing. Waiting here for their download
    // would leave the window dead for as long: the run tick begins the run once they are in.
    if (!r.running && picturesStillComing(p)) {
        r.awaitedStart = RunState::AwaitedStart{p.script.path, p.slaveMode, startTimeCame};
        w.setTimer(kTimerRun, kTickMs);
        showStatus(p, w, RunStatus::kSaving);
        updateMainControls(p.mainView(), w);
        return;
    }
    beginRun(p, w, startTimeCame);
}

void runTick(Program& p, Window& w) {
    RunState& r = p.run;
    // A request's box (a link that cannot be followed) opened halfway through a turn: another turn now
    // would take the line just counted again, and skip the next. The run goes on once it is answered.
    if (r.betweenLines) return;
    if (!r.running) {
        if (r.awaitedStart && !p.transferWorker.busy()) beginAwaitedRun(p, w);
        return;
    }
    followWaitClock(p);
    watchClockSetOn(p);
    if (p.runTimerShortened) {
        p.runTimerShortened = false;
        w.setTimer(kTimerRun, kTickMs);
    }
    if (r.cameraReady) {
        if (serviceRequests(p, w)) return;
        if (!p.options.simulation) setCameraUiLock(p.camera, !r.paused);
    }
    switch (r.status) {
    case RunStatus::kBurst:
    case RunStatus::kExposure:
        exposureTick(p, w);
        break;
    case RunStatus::kDelayedStartWait:
    case RunStatus::kTimeWait:
        timeOfDayTick(p, w);
        break;
    case RunStatus::kManualRelease:
        if (r.picturesReported > 0)
            showStatus(p, w, RunStatus::kSaving);
        else if (p.options.saveToHost)
            // Saved to the computer, the picture only arrives as a transfer request: have it fetched, and
            // the next tick sees it counted.
            watchTransfers(p, w);
        break;
    case RunStatus::kLockup:
        lockupTick(p, w);
        break;
    case RunStatus::kMoveWait:
    case RunStatus::kSoundWait:
        // A microphone pulled out would leave the run waiting for ever, unattended, as one that cannot open.
        if (!r.detection.triggered && soundInputLost(p)) {
            reportError(p, w, kErrorSoundInput, 6087);
            break;
        }
        if (r.detection.triggered) {
            closeSound(p);
            setLate(p, false);
            setTimeOrigin(p, w, p.clock.tick());
            executeLine(p, w);
        }
        break;
    case RunStatus::kPaused:
    case RunStatus::kDelayWait:
        delayTick(p, w);
        break;
    case RunStatus::kSaving:
        savingTick(p, w);
        break;
    case RunStatus::kPictureWait:
        pictureWaitTick(p, w);
        break;
    default:
        break;
    }
    // Still waiting, so no release came at this tick, nor comes before the next.
    if (r.running && waiting(r.status)) recheckClock(p);
}

void togglePause(Program& p, Window& w) {
    p.run.paused = !p.run.paused;
    // Pressed during the shot, the pause is the user's answer to it.
    p.run.exposure.pausedAtStart = false;
    updateMainControls(p.mainView(), w);
}

void requestStop(Program& p, Window& w) {
    // The run goes on under the box and may end there (its last line, an error, the body switched off):
    // that end is what the user must read, not "Aborted".
    if (w.messageBox(p.text(36), p.text(0), BoxIcon::Question, BoxButtons::YesNo) == BoxAnswer::Yes &&
        p.run.running)
        stopAfterTheShot(p, w);
}

// Waiting for the user's own release, the program has pressed nothing: there is no picture to wait for,
// and a run left unattended there could never be stopped.
bool shotUnderWay(const RunState& r) {
    return !r.cameraReady && r.status != RunStatus::kManualRelease;
}

void stopAfterTheShot(Program& p, Window& w) {
    if (shotUnderWay(p.run)) {
        w.enableItem(kStartButton, false);
        p.run.requests.abort = true;
    } else {
        stopAborted(p, w);
    }
}

bool nextScript(Program& p, Window& w) {
    return followLink(p, w, ".next");
}
bool previousScript(Program& p, Window& w) {
    return followLink(p, w, ".prev");
}

bool reloadScript(Program& p, Window& w) {
    const bool wasRunning = p.run.running;
    const bool startTimeCame = pastItsStart(p.run);
    if (wasRunning) stopRun(p, w);
    const bool loaded = loadScript(p, w, p.script.path);
    if (loaded && wasRunning) startRun(p, w, startTimeCame);
    return loaded;
}

bool serviceRequests(Program& p, Window& w) {
    RunState& r = p.run;
    bool moved = false;
    if (r.requests.reload) {
        r.requests.reload = false;
        moved = reloadScript(p, w);
    } else if (r.requests.next) {
        r.requests.next = false;
        moved = nextScript(p, w);
    } else if (r.requests.prev) {
        r.requests.prev = false;
        moved = previousScript(p, w);
    } else {
        return false;
    }
    // A move that could not be made leaves the run going on with the current script: the caller carries on
    // as if nothing had been asked, so that no line is skipped.
    return moved || !r.running;
}

} // namespace orvex
