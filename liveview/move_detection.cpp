#include "liveview/move_detection.h"

#include "resources/main_dialog.h"

#include <utility>

namespace orvex {

namespace {

std::uint8_t distance(std::uint8_t x, std::uint8_t y) {
    return x > y ? x - y : y - x;
}

// The camera showed both frames through the same window on the scene: another zoom, or the zoom area moved,
// shows another picture, which is no movement.
bool sameView(const FrameSlot& a, const FrameSlot& b) {
    return a.zoom == b.zoom && a.zoomPosition.x == b.zoomPosition.x && a.zoomPosition.y == b.zoomPosition.y;
}

} // namespace

std::uint64_t changedBytes(const Frame& newFrame, const Frame& reference, int moveLevel) {
    // Read unsigned, as stored: beyond 100 %, and below 0, no byte can change by enough.
    const std::uint64_t wanted = std::uint64_t{static_cast<std::uint32_t>(moveLevel)} * 255 / 100;
    if (wanted > 255) return 0;
    const auto threshold = static_cast<std::uint8_t>(wanted);
    const std::size_t n =
        static_cast<std::size_t>(newFrame.stride()) * static_cast<std::size_t>(newFrame.height);
    const std::uint8_t* a = newFrame.pixels.data();
    const std::uint8_t* b = reference.pixels.data();
    // Counted in blocks of a fixed length, which the compiler turns into vector instructions: a frame is
    // two megabytes, compared while the next one is due.
    constexpr std::size_t kBlock = 64;
    std::uint64_t count = 0;
    std::size_t k = 0;
    for (; k + kBlock <= n; k += kBlock) {
        unsigned inBlock = 0;
        for (std::size_t i = 0; i < kBlock; ++i) inBlock += distance(a[k + i], b[k + i]) >= threshold;
        count += inBlock;
    }
    for (; k < n; ++k) count += distance(a[k], b[k]) >= threshold;
    return count;
}

bool detectMove(const Settings& settings, Detection& detection, Window& w, const Frame& newFrame,
                const Frame& reference) {
    // Frames of another depth are as incomparable as frames of another size: their buffers differ in length.
    if (newFrame.width != reference.width || newFrame.height != reference.height ||
        newFrame.bitsPerPixel != reference.bitsPerPixel)
        return false;
    const std::uint64_t count = changedBytes(newFrame, reference, settings.moveLevel);
    const std::uint64_t wanted = static_cast<std::uint32_t>(settings.movePixels);
    const bool moved = count >= wanted;
    detection.level = moved ? 100 : static_cast<int>(count * 100 / wanted);
    w.post({MessageKind::User, kUserDetectionLevel, {}});
    return moved;
}

const Frame* frameArrived(LiveViewState& lv, RunState& r, const Settings& settings, RunObserver* observer,
                          Window& w) {
    const bool waiting = r.status == RunStatus::kMoveWait && !r.detection.triggered;
    bool fired = false;
    if (waiting && lv.reference.held && sameView(lv.pending, lv.reference) &&
        detectMove(settings, r.detection, w, lv.pending.frame, lv.reference.frame)) {
        fired = r.detection.triggered = true;
        if (observer) observer->moveDetected(r.detection.level);
        w.post({MessageKind::Timer, kTimerRun, {}});
    }
    // The frame before is only ever compared with the one after it; after a trigger none is kept, so the
    // next wait starts afresh.
    lv.reference.held = false;
    if (r.status == RunStatus::kMoveWait && !r.detection.triggered) {
        std::swap(lv.reference, lv.pending);
        lv.reference.held = true;
    }
    lv.pending.held = false;
    // A frame that fired the trigger is not shown: the shot follows at once.
    if (fired) return nullptr;
    return lv.reference.held ? &lv.reference.frame : &lv.pending.frame;
}

void restartMoveComparison(LiveViewState& liveView) {
    liveView.reference.held = false;
}

} // namespace orvex
