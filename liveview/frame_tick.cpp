#include "liveview/frame_tick.h"

#include "camera/camera_properties.h"
#include "liveview/frame_decoder.h"
#include "liveview/live_view_requests.h"
#include "liveview/live_view_window.h"
#include "resources/main_dialog.h"

namespace orvex {
namespace {

constexpr EdsUInt64 kStreamCapacity = 0x200000;
constexpr unsigned kZoomedRestartMs = 300;

// Whatever the download got as far as making is released on every path.
struct EvfDownload {
    EdsStreamRef stream = nullptr;
    EdsEvfImageRef image = nullptr;
    EvfDownload() = default;
    EvfDownload(const EvfDownload&) = delete;
    EvfDownload& operator=(const EvfDownload&) = delete;
    ~EvfDownload() {
        if (image) EdsRelease(image);
        if (stream) EdsRelease(stream);
    }
};

template <class T> EdsError readEvf(EdsEvfImageRef image, EdsPropertyID property, T& out) {
    return EdsGetPropertyData(image, property, 0, sizeof out, &out);
}

// Downloads the viewfinder with its zoom facts; the SDK's code.
EdsError download(const CameraSession& camera, LiveViewState& lv, EvfDownload& d) {
    EdsError e = EdsCreateMemoryStream(kStreamCapacity, &d.stream);
    if (e == EDS_ERR_OK) e = EdsCreateEvfImageRef(d.stream, &d.image);
    if (e == EDS_ERR_OK) e = EdsDownloadEvfImage(camera.camera, d.image);
    if (e == EDS_ERR_OK) e = readEvf(d.image, kEdsPropID_Evf_Zoom, lv.evfZoom);
    if (e == EDS_ERR_OK) e = readEvf(d.image, kEdsPropID_Evf_CoordinateSystem, lv.coordinateSystem);
    if (e == EDS_ERR_OK) e = readEvf(d.image, kEdsPropID_Evf_ZoomPosition, lv.zoomPosition);
    return e;
}

// True when a new frame is pending.
bool fetchFrame(const CameraSession& camera, LiveViewState& lv) {
    EvfDownload d;
    if (const EdsError e = download(camera, lv, d)) {
        // Not ready, or busy, is the camera taken for a moment: the next tick tries again, and a Move line
        // waiting on the frames is not left without them. Anything else ends live view at the next tick,
        // without a word.
        if (e != EDS_ERR_OBJECT_NOTREADY && e != EDS_ERR_DEVICE_BUSY) lv.wanted = false;
        return false;
    }
    EdsVoid* data = nullptr;
    EdsUInt64 length = 0;
    if (EdsGetPointer(d.stream, &data) != EDS_ERR_OK || data == nullptr ||
        EdsGetLength(d.stream, &length) != EDS_ERR_OK)
        return false;
    // A frame that cannot be decoded is dropped; live view goes on.
    FrameSlot& pending = lv.pending;
    pending.held =
        decodeFrame(static_cast<const unsigned char*>(data), static_cast<std::size_t>(length), pending.frame);
    pending.zoom = lv.evfZoom;
    pending.zoomPosition = lv.zoomPosition;
    return pending.held;
}

} // namespace

void frameTick(const LiveViewRecords& p, Window& w) {
    LiveViewState& lv = p.state;
    if (!lv.wanted || !p.camera.connected) {
        lv.wanted = false;
        w.killTimer(kTimerLiveView);
        lv.pending.held = lv.reference.held = false;
        // The window goes once it has handled what was posted to it before; from now on it is none of ours.
        if (lv.window) lv.window->post({MessageKind::User, kLiveViewOver, {}});
        lv.window = nullptr;
        // A camera that is gone is not touched. During a mirror lock-up live view holds the mirror up: taken
        // away now, the mirror would come down before the release.
        if (!p.camera.connected || p.options.simulation) return;
        if (p.run.status == RunStatus::kLockup)
            lendLiveViewOutputToLockup(p.camera, p.run.lockup.liveView);
        else
            setLiveViewOutput(p.camera, w, false);
        return;
    }
    // In simulation there is no camera to fetch from. A minimised window wants no frames, unless a Move line
    // waits on them.
    if (p.options.simulation || !lv.window || (!lv.windowShown && p.run.status != RunStatus::kMoveWait))
        return;
    if (lv.rearmFrameTimer) {
        lv.rearmFrameTimer = false;
        w.setTimer(kTimerLiveView, 1000 / static_cast<unsigned>(lv.framesPerSecond));
    }
    // No frame comes while a shot is in progress, nor while the window has not taken the last one. A run
    // that ended in the middle of its shot leaves no shot in progress: the window goes on showing the body.
    if (p.run.running && !p.run.cameraReady) return;
    if (p.camera.afModeStale) refreshAfAvailability(p.camera, lv);
    if (lv.pending.held) return;
    setLiveViewOutput(p.camera, w, true);
    if (fetchFrame(p.camera, lv)) lv.window->post({MessageKind::User, kLiveViewFrame, {}});
}

void fetchFrameAfterShot(const LiveViewRecords& p, Clock& clock, Window& w) {
    if (chosenLiveViewZoom(p.language, w) != 1) clock.sleep(kZoomedRestartMs);
    frameTick(p, w);
}

} // namespace orvex
