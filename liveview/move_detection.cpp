#include "liveview/move_detection.h"

#include "resources/main_dialog.h"

#include <utility>

namespace orvex {

std::uint64_t changedBytes(const Frame& newFrame, const Frame& reference, int moveLevel) {
    const unsigned threshold = static_cast<unsigned>(moveLevel) * 255 / 100;
    const std::size_t n =
        static_cast<std::size_t>(newFrame.stride()) * static_cast<std::size_t>(newFrame.height);
    const std::uint8_t* a = newFrame.pixels.data();
    const std::uint8_t* b = reference.pixels.data();
    std::uint64_t count = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const int difference = a[k] - b[k];
        count += static_cast<unsigned>(difference < 0 ? -difference : difference) >= threshold;
    }
    return count;
}

bool detectMove(Program& p, Window& w, const Frame& newFrame, const Frame& reference) {
    // Frames of another depth are as incomparable as frames of another size: their buffers differ in length.
    if (newFrame.width != reference.width || newFrame.height != reference.height ||
        newFrame.bitsPerPixel != reference.bitsPerPixel)
        return false;
    const std::uint64_t count = changedBytes(newFrame, reference, p.settings.moveLevel);
    const std::uint64_t wanted = static_cast<std::uint32_t>(p.settings.movePixels);
    const bool moved = count >= wanted;
    p.run.detection.level = moved ? 100 : static_cast<int>(count * 100 / wanted);
    w.post({MessageKind::User, kUserDetectionLevel, {}});
    return moved;
}

void frameArrived(Program& p, Window& w) {
    LiveViewState& lv = p.liveView;
    RunState& r = p.run;
    const bool waiting = r.status == RunStatus::kMoveWait && !r.detection.triggered;
    if (waiting && lv.reference.held && detectMove(p, w, lv.pending.frame, lv.reference.frame)) {
        r.detection.triggered = true;
        if (p.observer) p.observer->moveDetected(r.detection.level);
        w.post({MessageKind::Timer, kTimerRun, {}});
    }
    // The frame before is only ever compared with the one after it; after a trigger none is kept, so the
    // next wait starts afresh.
    lv.reference.held = false;
    if (r.status == RunStatus::kMoveWait && !r.detection.triggered) {
        std::swap(lv.reference.frame, lv.pending.frame);
        lv.reference.held = true;
    }
    lv.pending.held = false;
}

} // namespace orvex
