#include "run/run_end.h"

#include "camera/camera_properties.h"
#include "resources/main_dialog.h"
#include "run/cable_port.h"
#include "run/sound_detection.h"
#include "run/status_display.h"
#include "run/transfer.h"
#include "ui/main_controls.h"

#include <utility>

namespace orvex {
namespace {

// A program-timed exposure holds the shutter open through the body's bulb commands or its button: whatever
// ends the run lets it go, before an error's state hides that it was open.
void letGoOfTheShutter(Program& p) {
    const RunState& r = p.run;
    if (!p.options.simulation && r.exposure.timedDuration != 0 && r.status == RunStatus::kExposure &&
        (p.camera.bulbCommands || p.camera.shutterButton))
        driveShutterButton(p.camera, p.run.errorLocation, false);
}

constexpr int kMessageNotDownloaded = 211;
constexpr int kMessageKeptOnCard = 244, kMessageCardFolder = 245;
constexpr int kMessageWarning = 198;
constexpr int kMessageThroughMemory = 232;

void tellFailedDownloads(Program& p, Window& w) {
    if (const int lost = p.run.downloadsFailed.exchange(0))
        w.messageBox(formatMessage(p.language, kMessageNotDownloaded, lost), p.text(kMessageWarning),
                     BoxIcon::Warning, BoxButtons::Ok);
}

void tellPicturesKeptOnCard(Program& p, Window& w) {
    if (const TransferQueue::KeptOnCard kept = p.transfers.takeKeptOnCard(); kept.count > 0) {
        std::string folders;
        for (const std::string& folder : kept.folders) folders += (folders.empty() ? "" : ", ") + folder;
        w.messageBox(formatMessage(p.language, kMessageKeptOnCard, kept.count) + "\r" +
                         formatMessage(p.language, kMessageCardFolder, folders),
                     p.text(kMessageWarning), BoxIcon::Warning, BoxButtons::Ok);
    }
}

} // namespace

void stopRun(Program& p, Window& w) {
    RunState& r = p.run;
    r.running = false;
    r.paused = false;
    r.picturesOwed = r.release.released && !r.cameraReady;
    w.killTimer(kTimerRun);
    closeSound(p);
    letGoOfTheShutter(p);
    if (!p.options.simulation) {
        setCameraUiLock(p.camera, false);
        releaseLiveViewOutput(p.camera, p.run.lockup.liveView, p.liveView.wanted);
    }
    closeCable(p);
    updateMainControls(p.mainView(), w);
    // Pictures lost to failed downloads did not stop the run; the user learns of them once, at its end.
    tellFailedDownloads(p, w);
    // Pictures the body handed over during a wait are this run's: filed now, as a late file is (a drain
    // under way files them itself).
    if ((p.transferWorker.finished() || !p.transferStatus.running) && !p.transfers.empty()) startTransfers(p);
    tellPicturesKeptOnCard(p, w);
    if (std::exchange(p.camera.picturesThroughMemory, false))
        w.messageBox(p.text(kMessageThroughMemory), p.text(kMessageWarning), BoxIcon::Warning,
                     BoxButtons::Ok);
}

void tellPicturesLeftBehind(Program& p, Window& w) {
    tellFailedDownloads(p, w);
    tellPicturesKeptOnCard(p, w);
}

bool runEndsAfterThisLine(const Program& p) {
    const RunState& r = p.run;
    if (r.currentLine + 1 < static_cast<int>(p.script.lines.size())) return false;
    return !r.settings.loopEnabled || (!r.settings.loopInfinite && r.passCount + 1 >= r.settings.loopCount);
}

void reportError(Program& program, Window& window, std::int32_t code, int location) {
    reportError(program, window, code, location, errorText(program.language, code));
}

void reportError(Program& program, Window& window, std::int32_t code, int location, const std::string& text) {
    // Read before the run stops, which speaks to the camera again. The program's own codes are not the
    // camera's.
    const std::string said = code > 0 ? cameraExplanation(program.camera) : std::string();
    // A body gone has taken every picture still on its way with it, and their downloads fail at once: they
    // are over before the stop tells how many were lost and left on the card, not counted after it (into the
    // next run's count).
    if (code == static_cast<std::int32_t>(EDS_ERR_COMM_DISCONNECTED)) fileQueuedPictures(program);
    letGoOfTheShutter(program);
    showStatus(program, window, RunStatus::kError);
    stopRun(program, window);
    const std::string caption = std::string(program.text(54)) + " (L" + std::to_string(location) + ")";
    window.messageBox(said.empty() ? text : text + "\r" + said, caption, BoxIcon::Error, BoxButtons::Ok);
}

} // namespace orvex
