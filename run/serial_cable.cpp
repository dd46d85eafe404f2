#include "run/serial_cable.h"

#include "camera/camera_properties.h"
#include "resources/main_dialog.h"
#include "run/cable_port.h"
#include "run/run_end.h"
#include "run/status_display.h"

namespace orvex {
namespace {

void cableError(Program& p, Window& w, const std::string& text) {
    // Stopped midway, the run ends in error: left on the step it had reached (Burst, Capture, Lockup), the
    // status would show a shot under way in an idle window, and orvex-cli would end on it.
    if (p.run.running) showStatus(p, w, RunStatus::kError);
    stopRun(p, w);
    w.messageBox(text, p.text(54), BoxIcon::Error, BoxButtons::Ok);
}

// A body that can hold its shutter open by none of its own commands takes a long exposure through the cable,
// after a lock-up too: live view raises its mirror, the cable holds the shutter.
bool shutterHeldByCable(const Program& p) {
    const CameraSession& c = p.camera;
    return p.run.exposure.timedDuration != 0 && !c.bulbCommands && !c.shutterButton &&
           !c.rules.pressShutterBody;
}

} // namespace

int lockupTime(const Program& p, const Window& w) {
    const std::string choice = w.listText(kLockupList, w.listSelection(kLockupList));
    if (choice == p.text(102)) return 0;
    for (int s = 1; s <= 10; ++s)
        if (choice == std::to_string(s) + "s") return s * 1000;
    return -1;
}

bool openCable(Program& p, Window& w) {
    if (p.cable) return true;
    if (p.run.serialPortName.empty()) {
        cableError(p, w, p.text(124));
        return false;
    }
    p.cable = p.serialPorts.open(p.run.serialPortName);
    // A port that opens but refuses its lines cannot be used either.
    if (!p.cable || !setCableLines(p, false)) {
        cableError(p, w, formatMessage(p.language, 168, p.run.serialPortName));
        return false;
    }
    return true;
}

bool cablePhase(Program& p, Window& w, bool press, CablePhase phase) {
    // Bursts and bulb exposures that the body cannot time by its own commands are always the cable's, live
    // view or not; the lock-up steps go to the body itself when it has live view.
    const bool shutterStep = phase == CablePhase::kShutter || phase == CablePhase::kShutterRelease;
    if (phase == CablePhase::kPlain || !p.camera.liveViewAvailable ||
        (shutterStep && shutterHeldByCable(p))) {
        if (!openCable(p, w)) return false;
        // A port that refuses its lines has vanished (an adapter pulled out): the run can neither press nor
        // let go any more, so it stops; closing the port drops whatever it still held.
        if (!setCableLines(p, press)) {
            cableError(p, w, formatMessage(p.language, 168, p.run.serialPortName));
            return false;
        }
        p.run.exposure.cableUsed = true;
        return true;
    }
    if (phase == CablePhase::kMirrorUp) {
        // Live view holds the mirror up once its window has fetched a frame; a window opened just before the
        // shot has not, and the lock-up then raises the mirror itself.
        if (p.liveView.wanted && p.camera.liveViewOutputOn) return true;
        EdsUInt32 output = 0;
        if (const EdsError e = readUInt32(p.camera, kEdsPropID_Evf_OutputDevice, 0, output)) {
            reportError(p, w, static_cast<std::int32_t>(e), 5364);
            return false;
        }
        output |= kEdsEvfOutputDevice_PC;
        if (const EdsError e = writeUInt32(p.camera, kEdsPropID_Evf_OutputDevice, output)) {
            reportError(p, w, static_cast<std::int32_t>(e), 5372);
            return false;
        }
        p.run.lockup.liveView = true;
        return true;
    }
    if (phase == CablePhase::kShutter) {
        if (p.run.exposure.timedDuration != 0) {
            if (const EdsError e = driveShutterButton(p.camera, p.run.errorLocation, true)) {
                reportError(p, w, static_cast<std::int32_t>(e), p.run.errorLocation);
                return false;
            }
        } else if (const EdsError e = EdsSendCommand(p.camera.camera, kEdsCameraCommand_TakePicture, 0)) {
            reportError(p, w, static_cast<std::int32_t>(e), 5395);
            return false;
        }
    }
    return true;
}

void startLockup(Program& p, Window& w, int delayMs) {
    showStatus(p, w, RunStatus::kLockup);
    p.run.lockup.countdown = delayMs + 300;
    p.run.lockup.firstPress = delayMs + 200;
    p.run.lockup.delay = delayMs;
    if (!p.camera.liveViewAvailable || shutterHeldByCable(p)) {
        setCameraUiLock(p.camera, false);
        if (p.run.exposure.timedDuration != 0) p.run.exposure.timedDuration += 500;
    }
}

} // namespace orvex
