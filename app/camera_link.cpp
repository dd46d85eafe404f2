#include "app/camera_link.h"

#include "camera/camera_connection.h"
#include "run/run_controller.h"
#include "run/run_end.h"
#include "run/status_display.h"
#include "run/transfer.h"
#include "ui/main_controls.h"

#include <string>

namespace orvex {
namespace {

constexpr int kMessageConnectCamera = 38;
constexpr int kMessageNoBodyWithId = 231;
constexpr int kMessageNoOpenedBodyWithId = 227;

CameraEvents cameraEvents(Program& program) {
    return {program.camera, program.run, program.transfers,
            [&program](EdsDirectoryItemRef item) { return downloadLateFile(program, item); },
            [&program](EdsDirectoryItemRef item) { logPictureOnCard(program, item); }};
}

ConnectionSetting connectionSetting(Program& program) {
    return {program.options, program.tables.quality, program.language};
}

} // namespace

void connectCamera(Program& program, Window& window) {
    const Connection connection = openCamera(cameraEvents(program), connectionSetting(program), window);
    if (connection == Connection::kBody) showStatus(program, window, RunStatus::kIdle);
    if (connection != Connection::kNone) updateMainControls(program.mainView(), window);
}

void autoConnect(Program& program, Window& window) {
    EdsError refused = EDS_ERR_OK;
    if (!openWantedCamera(cameraEvents(program), connectionSetting(program), window, program.clock,
                          &refused)) {
        // A body asked for by its id is named when it is not there: another body, or none, is. Where bodies
        // are there but none would open (another program holds them), the box says why. A body that would
        // not open may be the one asked for, held by another Orvex: its id cannot be read to tell.
        const StartupOptions& o = program.options;
        if (!o.simulation && bodyWanted(o)) {
            std::string text = formatMessage(
                program.language, refused != EDS_ERR_OK ? kMessageNoOpenedBodyWithId : kMessageNoBodyWithId,
                o.connectText);
            if (refused != EDS_ERR_OK) text += "\r" + cannotAccessText(program.language, refused);
            window.messageBox(text, program.text(kMessageConnectCamera), BoxIcon::Error, BoxButtons::Ok);
        } else if (refused != EDS_ERR_OK)
            window.messageBox(cannotAccessText(program.language, refused),
                              program.text(kMessageConnectCamera), BoxIcon::Error, BoxButtons::Ok);
        return;
    }
    showStatus(program, window, RunStatus::kIdle);
    updateMainControls(program.mainView(), window);
}

namespace {

void disconnect(Program& program, Window& window, RunStatus shown) {
    giveBackCameraSettings(program.camera);
    if (program.run.running) stopRun(program, window);
    // A picture still coming over would be cut off with the session: left on the card, and told as lost.
    program.transferWorker.join();
    // What the last run filed, and what it was still owed, came from this body. The next body numbers its
    // files on its own: a picture it offers is none of that run's late ones, though it may bear one's name.
    program.transferStatus.filed.clear();
    program.run.picturesOwed = false;
    closeCamera(program.camera, program.options.simulation, program.language, window);
    showStatus(program, window, shown);
    updateMainControls(program.mainView(), window);
}

} // namespace

void disconnectCamera(Program& program, Window& window) {
    disconnect(program, window, RunStatus::kIdle);
}

void deliverCameraEvents(Program& program, Window& window) {
    if (!deliverEvents(program.camera)) return;
    // The body went. A run it ends, or that failed as it went, keeps what the body handed over and says why
    // it ended.
    const bool ended = program.run.running || program.run.status == RunStatus::kError;
    if (ended) {
        fileWhatTheBodyHandedOver(program);
        showShots(program, window);
    }
    disconnect(program, window, ended ? RunStatus::kCameraGone : RunStatus::kIdle);
    // The last run's pictures still on their way after its stop went with the body: the user learns of them
    // now, not at the end of the next run.
    tellPicturesLeftBehind(program, window);
}

} // namespace orvex
