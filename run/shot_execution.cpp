#include "run/shot_execution.h"

#include "camera/camera_properties.h"
#include "core/catalogue.h"
#include "resources/main_dialog.h"
#include "run/night_logging.h"
#include "run/run_end.h"
#include "run/serial_cable.h"
#include "run/status_display.h"
#include "run/transfer.h"

#include <optional>
#include <string>

namespace orvex {
namespace {

constexpr std::uint32_t kAeTv = 1, kAeAv = 2, kAeManual = 3, kAeBulb = 4;
constexpr EdsError kBusy = EDS_ERR_DEVICE_BUSY;

std::optional<EdsUInt32> readProperty(const Program& p, EdsPropertyID id) {
    EdsUInt32 value = 0;
    if (readUInt32(p.camera, id, 0, value) != EDS_ERR_OK) return std::nullopt;
    return value;
}

// Ends the shot on a failure; a setting refused as busy is reported as that value not being supported.
bool failed(Program& p, Window& w, EdsError error, int location, std::int32_t busyCode = 0) {
    if (error == EDS_ERR_OK) return false;
    reportError(p, w, error == kBusy && busyCode ? busyCode : static_cast<std::int32_t>(error), location);
    return true;
}

// One of the line's values and how its failures are told.
struct Setting {
    EdsPropertyID property;
    int location;
    std::int32_t busyCode;
    int refusedMessage; // names the value the camera refuses
};

constexpr Setting kApertureSetting{kEdsPropID_Av, 3672, kErrorApertureNotSupported, 215};
constexpr Setting kSpeedSetting{kEdsPropID_Tv, 3719, kErrorSpeedNotSupported, 216};
constexpr Setting kIsoSetting{kEdsPropID_ISOSpeed, 3770, kErrorIsoNotSupported, 217};
constexpr Setting kQualitySetting{kEdsPropID_ImageQuality, 3798, kErrorQualityNotSupported, 218};

// Sets the value named `name`; true when that ended the shot. A value the camera refuses is named, with its
// property, so that the user knows which cell of the script to change.
bool setFailed(Program& p, Window& w, const Setting& setting, EdsUInt32 code, const std::string& name) {
    const EdsError error = writeUInt32(p.camera, setting.property, code);
    if (error != EDS_ERR_INVALID_DEVICEPROP_VALUE)
        return failed(p, w, error, setting.location, setting.busyCode);
    reportError(p, w, static_cast<std::int32_t>(error), setting.location,
                formatMessage(p.language, setting.refusedMessage, name));
    return true;
}

// Ends the shot on one of the program's own failures; false, for the step that refused it to return.
bool refuse(Program& p, Window& w, std::int32_t code, int location) {
    reportError(p, w, code, location);
    return false;
}

void countShot(Program& p, Window& w, const ScriptLine& line) {
    const int shot = ++p.run.shotCount;
    if (p.observer) p.observer->shotCounted(shot, line.fileLine, p.run.passCount);
    showShots(p, w);
}

} // namespace

void tellShutterReleased(Program& p) {
    recordRelease(p);
    if (p.observer) p.observer->shutterReleased(p.script.lines[p.run.currentLine].fileLine, p.run.passCount);
}

namespace {

void showWantedValues(Program& p, Window& w, const ScriptLine& line) {
    const ValueTables& t = p.tables;
    w.setItemText(kApertureField, t.aperture[line.aperture].name);
    w.setItemText(kSpeedField, line.exposureMs > 30000 ? std::to_string(line.exposureMs / 1000)
                                                       : t.shutter[line.shutter].name);
    w.setItemText(kIsoField, t.iso[line.iso].name);
    w.setItemText(kQualityField, t.quality[line.quality].name);
    p.run.fields.aperture.leftToCamera = line.aperture == 0;
    p.run.fields.speed.leftToCamera = line.shutter == 0;
    p.run.fields.iso.leftToCamera = line.iso == 0;
    p.run.fields.quality.leftToCamera = line.quality == 0;
}

// Each step below sets or checks one of the camera's values for the line; false when it ended the shot.

// A body that holds its shutter open only by a pressed button has exposure limits of its own.
bool exposureFitsPressShutterBody(Program& p, Window& w, const ScriptLine& line, std::uint32_t ae) {
    const CameraSession& c = p.camera;
    if (!c.rules.pressShutterBody) return true;
    if (ae == kAeBulb) {
        if (line.burst != 0) return refuse(p, w, kErrorBurstInBulb, 3629);
        if (line.exposureMs < 1000) return refuse(p, w, kErrorSpeedNotInBulb, 3635);
    } else if (line.exposureMs > c.longestCameraTimedMs) {
        return refuse(p, w, kErrorSpeedNeedsBulb, 3644);
    }
    return true;
}

bool setAperture(Program& p, Window& w, const ScriptLine& line, std::uint32_t ae) {
    if (!isLensAttached(p.camera)) {
        w.setItemText(kApertureField, "");
        return true;
    }
    const ValueTables& t = p.tables;
    const EdsUInt32 wanted = t.aperture[line.aperture].code;
    if (line.aperture != 0) {
        if (ae != kAeAv && ae != kAeManual && ae != kAeBulb)
            return refuse(p, w, kErrorApertureNeedsAvOrManual, 3660);
        if (setFailed(p, w, kApertureSetting, wanted, t.aperture[line.aperture].name)) return false;
    }
    if (const auto current = readProperty(p, kEdsPropID_Av)) {
        p.run.fields.aperture.differs = line.aperture != 0 && *current != wanted;
        w.setItemText(kApertureField, nameOfCode(t.aperture, *current));
    }
    return true;
}

bool setSpeed(Program& p, Window& w, const ScriptLine& line, std::uint32_t ae) {
    const ValueTables& t = p.tables;
    EdsUInt32 wanted = t.shutter[line.shutter].code;
    if (line.shutter != 0) {
        if (ae == kAeTv || ae == kAeManual) {
            if (line.burst == 0 && line.exposureMs > p.camera.longestCameraTimedMs) wanted = t.bulb.code;
            const std::string& name = wanted == t.bulb.code ? t.bulb.name : t.shutter[line.shutter].name;
            if (setFailed(p, w, kSpeedSetting, wanted, name)) return false;
        } else if (ae == kAeBulb) {
            wanted = t.bulb.code;
        } else {
            return refuse(p, w, kErrorSpeedNeedsTvOrManual, 3698);
        }
    }
    p.run.exposure.lengthMs = line.exposureMs;
    const std::optional<EdsUInt32> speed = ae == kAeBulb ? t.bulb.code : readProperty(p, kEdsPropID_Tv);
    if (!speed) return true;
    ValueFieldState& field = p.run.fields.speed;
    if (line.shutter == 0) {
        if (*speed == t.bulb.code) return refuse(p, w, kErrorBulbWithoutSpeed, 3742);
        // The picture comes once the body's own speed has run; a speed outside the table counts as none.
        const int row = findByName(t.shutter, nameOfCode(t.shutter, *speed));
        p.run.exposure.lengthMs = static_cast<std::uint32_t>(t.shutter[row].seconds * 1000);
        field.differs = false;
        w.setItemText(kSpeedField, nameOfCode(t.shutter, *speed));
    } else {
        field.differs = *speed != wanted;
        if (field.differs) w.setItemText(kSpeedField, nameOfCode(t.shutter, *speed));
    }
    return true;
}

bool setIso(Program& p, Window& w, const ScriptLine& line, std::uint32_t ae) {
    const ValueTables& t = p.tables;
    const EdsUInt32 wanted = t.iso[line.iso].code;
    if (line.iso != 0) {
        if (ae < kAeTv || ae > kAeBulb) return refuse(p, w, kErrorIsoNeedsCreativeMode, 3757);
        if (setFailed(p, w, kIsoSetting, wanted, t.iso[line.iso].name)) return false;
    }
    if (const auto current = readProperty(p, kEdsPropID_ISOSpeed)) {
        p.run.fields.iso.differs = line.iso != 0 && *current != wanted;
        w.setItemText(kIsoField, nameOfCode(t.iso, *current));
    }
    return true;
}

bool setQuality(Program& p, Window& w, const ScriptLine& line) {
    const ValueTables& t = p.tables;
    const EdsUInt32 wanted = t.quality[line.quality].code;
    if (line.quality != 0 && setFailed(p, w, kQualitySetting, wanted, t.quality[line.quality].name))
        return false;
    p.run.exposure.quality = t.quality[line.quality].name;
    if (const auto current = readProperty(p, kEdsPropID_ImageQuality)) {
        const std::string name = nameOfCode(t.quality, *current);
        // A line without a quality takes whatever the body is set to, even one unnamed here (a smaller JPEG,
        // another kind of RAW); after the line's own quality the body must report a known one.
        if (name.empty() && line.quality != 0) return refuse(p, w, kErrorQualityNotSupported, 3814);
        p.run.fields.quality.differs = line.quality != 0 && *current != wanted;
        p.run.exposure.quality = name;
        w.setItemText(kQualityField, name);
    }
    return true;
}

bool setValues(Program& p, Window& w, const ScriptLine& line, std::uint32_t ae) {
    return exposureFitsPressShutterBody(p, w, line, ae) && setAperture(p, w, line, ae) &&
           setSpeed(p, w, line, ae) && setIso(p, w, line, ae) && setQuality(p, w, line);
}

void release(Program& p, Window& w, const ScriptLine& line, std::uint32_t ae, int lockup) {
    RunState& r = p.run;
    const CameraSession& c = p.camera;
    if (line.burst != 0) {
        setLiveViewOutput(p.camera, w, false);
        setCameraUiLock(p.camera, false);
        showStatus(p, w, RunStatus::kBurst);
        if (!cablePhase(p, w, true, CablePhase::kPlain)) return;
        tellShutterReleased(p);
        r.exposure.start = p.clock.tick();
        r.exposure.timedDuration = static_cast<std::uint32_t>(line.burst) * 1000;
        return;
    }
    if (lockup < 0) {
        setCameraUiLock(p.camera, false);
        w.beep();
        showStatus(p, w, RunStatus::kManualRelease);
        return;
    }
    if (ae == kAeBulb || line.exposureMs > c.longestCameraTimedMs) r.exposure.timedDuration = line.exposureMs;
    r.lockup.countdown = 0;
    if (lockup > 0) {
        startLockup(p, w, lockup);
        return;
    }
    if (c.rules.manualFocusRequired) {
        EdsUInt32 af = 0;
        if (failed(p, w, readUInt32(p.camera, kEdsPropID_AFMode, 0, af), 3890)) return;
        if (af != kEdsAFMode_Manual) {
            refuse(p, w, kErrorAutofocusOn, 3898);
            return;
        }
    }
    if (r.exposure.timedDuration == 0) {
        if (c.rules.pauseBeforeReleaseMs != 0) p.clock.sleep(c.rules.pauseBeforeReleaseMs);
        if (failed(p, w, EdsSendCommand(c.camera, kEdsCameraCommand_TakePicture, 0), 3947)) return;
        tellShutterReleased(p);
        showStatus(p, w, RunStatus::kExposure);
        r.exposure.start = p.clock.tick();
        r.exposure.end = r.exposure.start + r.exposure.lengthMs;
        return;
    }
    if (c.rules.pressShutterBody || c.bulbCommands || c.shutterButton) {
        if (ae != kAeManual && ae != kAeBulb) {
            refuse(p, w, kErrorSpeedNeedsManual, 3911);
            return;
        }
        if (const EdsError e = driveShutterButton(p.camera, p.run.errorLocation, true)) {
            reportError(p, w, static_cast<std::int32_t>(e), r.errorLocation);
            return;
        }
        tellShutterReleased(p);
        showStatus(p, w, RunStatus::kExposure);
        showRemaining(w, static_cast<int>(r.exposure.timedDuration));
        r.exposure.start = p.clock.tick();
        return;
    }
    r.exposure.timedDuration += 500;
    if (failed(p, w, setCameraUiLock(p.camera, false), 3927)) return;
    if (c.rules.pauseBeforeReleaseMs != 0) p.clock.sleep(c.rules.pauseBeforeReleaseMs);
    if (cablePhase(p, w, true, CablePhase::kPlain)) {
        tellShutterReleased(p);
        showStatus(p, w, RunStatus::kExposure);
        showRemaining(w, static_cast<int>(r.exposure.timedDuration));
        r.exposure.start = p.clock.tick();
    }
}

// A shot without burst whose every picture was reported or handed over. A RAW+JPEG quality gives two, the
// JPEG announced with its RAW: the shot is complete while both still cross the link, and a release half a
// second later keeps its moment. Other shots of several pictures wait for their stragglers instead.
bool everyPictureAnnounced(const Program& p) {
    const RunState& r = p.run;
    const std::size_t pictures = r.exposure.quality.find('+') == std::string::npos ? 1 : 2;
    return p.script.lines[r.currentLine].burst == 0 && r.picturesReported > 0 &&
           static_cast<std::size_t>(r.picturesReported) + p.transfers.size() == pictures;
}

} // namespace

void executeLine(Program& p, Window& w) {
    RunState& r = p.run;
    const ScriptLine line = p.script.lines[r.currentLine];
    lineFallsDue(p);
    const int lockup = lockupTime(p, w);
    r.exposure.cableUsed = false;
    r.exposure.pausedAtStart = r.paused;
    showWantedValues(p, w, line);

    if (p.options.simulation) {
        recordValues(p, w);
        showStatus(p, w, RunStatus::kSaving);
        r.picturesReported = 1;
        countShot(p, w, line);
        // The shot stands for a press of the shutter at that moment.
        tellShutterReleased(p);
        logNothingCame(p);
        return;
    }

    // The calls below, up to the release, go before any picture still coming over from the body.
    EdsBeginShot(p.camera.camera);
    if (failed(p, w, setCameraUiLock(p.camera, true), 3606)) return;
    EdsUInt32 ae = 0;
    if (failed(p, w, readUInt32(p.camera, kEdsPropID_AEMode, 0, ae), 3618)) return;
    if (!setValues(p, w, line, ae)) return;
    recordValues(p, w);

    countShot(p, w, line);
    r.cameraReady = false;
    r.exposure.timedDuration = 0;
    if (!mirrorLockupMatches(p.camera, lockup != 0)) {
        refuse(p, w,
               lockup != 0 ? kErrorLockupOffOnCamera
                           : static_cast<std::int32_t>(EDS_ERR_TAKE_PICTURE_MIRROR_UP_NG),
               3833);
        return;
    }
    release(p, w, line, ae, lockup);
}

void watchTransfers(Program& p, Window& w) {
    RunState& r = p.run;
    TransferStatus& s = p.transferStatus;
    const std::uint32_t now = p.clock.tick();
    if (s.running) {
        if (r.shotCount != s.seenShotCount) {
            s.seenShotCount = r.shotCount;
            showShots(p, w);
        }
        if (!p.transferWorker.finished() || ticksBetween(s.finishedAt, now) < s.pauseBeforeFinishingMs) {
            // A picture is counted as the worker takes it, and filed under that number whenever it has come
            // over: a shot is complete while its pictures still cross the link, and the next line keeps its
            // moment. Not before a body's pause after a cable shot, though, nor on the run's last line, which
            // ends the run once every picture is stored. A picture moving from the queue to the count between
            // the two reads is missed, never counted twice: the shot is then complete a turn later.
            if (s.pauseBeforeFinishingMs != 0 || runEndsAfterThisLine(p) || s.counting ||
                !everyPictureAnnounced(p))
                return;
            p.transferWorker.takeNoMore();
        } else {
            p.transferWorker.join();
            showShots(p, w);
            s.running = false;
            if (s.error != 0) {
                reportError(p, w, s.error, 6296);
                return;
            }
        }
    }
    if (!s.running && !p.transfers.empty()) {
        s.error = 0;
        s.running = true;
        s.finished = false;
        s.seenShotCount = r.shotCount;
        s.pauseBeforeFinishingMs = r.exposure.cableUsed ? p.camera.rules.pauseAfterCableShotMs : 0;
        startTransfers(p);
        return;
    }
    if (r.picturesReported > 0) {
        if (everyPictureAnnounced(p) || ticksBetween(p.transfers.emptySince(), now) >= 2000) {
            r.cameraReady = true;
            r.picturesReported = 0;
            showShots(p, w);
        }
    }
}

} // namespace orvex
