#include "app/camera_link.h"

#include "camera/camera_connection.h"
#include "run/run_controller.h"
#include "run/status_display.h"
#include "ui/main_controls.h"

namespace orvex {

void connectCamera(Program& program, Window& window) {
    const Connection connection = openCamera(program, window);
    if (connection == Connection::kBody) showStatus(program, window, RunStatus::kIdle);
    if (connection != Connection::kNone) updateMainControls(program, window);
}

void autoConnect(Program& program, Window& window) {
    if (!openWantedCamera(program, window)) return;
    showStatus(program, window, RunStatus::kIdle);
    updateMainControls(program, window);
}

void disconnectCamera(Program& program, Window& window) {
    giveBackCameraSettings(program);
    if (program.run.running) stopRun(program, window);
    closeCamera(program, window);
    showStatus(program, window, RunStatus::kIdle);
    updateMainControls(program, window);
}

void deliverCameraEvents(Program& program, Window& window) {
    if (deliverEvents(program)) disconnectCamera(program, window);
}

} // namespace orvex
