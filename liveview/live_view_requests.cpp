#include "liveview/live_view_requests.h"

#include "core/catalogue.h"
#include "liveview/move_detection.h"
#include "liveview/zoom_area.h"
#include "resources/live_view_dialog.h"
#include "resources/main_dialog.h"

namespace orvex {
namespace {

constexpr int kFitText = 204;
constexpr int kX10Text = 209;
constexpr int kX5Text = 210;
constexpr int kZoomStep = 128;

// The camera is busy with a shot, or there is none: its buttons do nothing.
bool cameraFree(const LiveViewRecords& p) {
    return p.camera.connected && !(p.run.running && !p.run.cameraReady);
}

void driveFocus(const LiveViewRecords& p, EdsInt32 step) {
    if (cameraFree(p)) EdsSendCommand(p.camera.camera, kEdsCameraCommand_DriveLensEvf, step);
}

// Before the first frame the body's coordinates are unknown: any move would send the area to its corner.
void moveZoomArea(const LiveViewRecords& p, int dx, int dy) {
    LiveViewState& lv = p.state;
    if (!cameraFree(p) || lv.coordinateSystem.width == 0 || lv.coordinateSystem.height == 0) return;
    EdsPoint to = movedZoomArea(lv.coordinateSystem, lv.zoomPosition, dx, dy);
    // The next press goes on from where this one sent the area: presses quicker than the frames are not
    // lost. The next frame tells where the body put it.
    if (EdsSetPropertyData(p.camera.camera, kEdsPropID_Evf_ZoomPosition, 0, sizeof to, &to) == EDS_ERR_OK)
        lv.zoomPosition = to;
    restartMoveComparison(lv);
}

void engageLiveViewAf(const LiveViewRecords& p) {
    if (p.state.afEngaged) return;
    EdsSendCommand(p.camera.camera, kEdsCameraCommand_DoEvfAf, 1);
    p.state.afEngaged = true;
}

void chooseZoom(const LiveViewRecords& p, Window& w, int text) {
    w.listSelectPrefix(kZoomList, messageText(p.language, text));
    applyLiveViewZoom(p, w);
}

} // namespace

void refreshAfAvailability(CameraSession& camera, LiveViewState& liveView) {
    camera.afModeStale = false;
    // A camera that does not answer leaves the mode at 0, which is not manual focus.
    EdsUInt32 mode = 0;
    EdsGetPropertyData(camera.camera, kEdsPropID_AFMode, 0, sizeof mode, &mode);
    liveView.afAvailable = mode != kEdsAFMode_Manual;
}

EdsUInt32 chosenLiveViewZoom(int language, const Window& w) {
    const std::string chosen = w.listText(kZoomList, w.listSelection(kZoomList));
    return chosen == messageText(language, kX5Text) ? 5 : chosen == messageText(language, kX10Text) ? 10 : 1;
}

void applyLiveViewZoom(const LiveViewRecords& p, Window& w) {
    if (!p.camera.liveViewAvailable || (p.run.running && !p.run.cameraReady)) return;
    EdsUInt32 zoom = chosenLiveViewZoom(p.language, w);
    EdsSetPropertyData(p.camera.camera, kEdsPropID_Evf_Zoom, 0, sizeof zoom, &zoom);
    restartMoveComparison(p.state);
}

void liveViewRequest(const LiveViewRecords& p, Window& w, int code) {
    switch (code) {
    case kFocusFar3:
        driveFocus(p, kEdsEvfDriveLens_Far3);
        break;
    case kFocusFar2:
        driveFocus(p, kEdsEvfDriveLens_Far2);
        break;
    case kFocusFar1:
        driveFocus(p, kEdsEvfDriveLens_Far1);
        break;
    case kFocusNear1:
        driveFocus(p, kEdsEvfDriveLens_Near1);
        break;
    case kFocusNear2:
        driveFocus(p, kEdsEvfDriveLens_Near2);
        break;
    case kFocusNear3:
        driveFocus(p, kEdsEvfDriveLens_Near3);
        break;
    case kZoomLeft:
        moveZoomArea(p, -kZoomStep, 0);
        break;
    case kZoomUp:
        moveZoomArea(p, 0, -kZoomStep);
        break;
    case kZoomRight:
        moveZoomArea(p, kZoomStep, 0);
        break;
    case kZoomDown:
        moveZoomArea(p, 0, kZoomStep);
        break;
    case kZoomCenter:
        moveZoomArea(p, 0, 0);
        break;
    case kAutofocusButton:
        engageLiveViewAf(p);
        break;
    case kZoomX5Button:
        chooseZoom(p, w, kX5Text);
        break;
    case kZoomFitButton:
        chooseZoom(p, w, kFitText);
        break;
    default:
        break;
    }
}

} // namespace orvex
