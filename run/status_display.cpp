#include "run/status_display.h"

#include "camera/camera_properties.h"
#include "resources/main_dialog.h"
#include "run/sound_detection.h"
#include "ui/main_controls.h"

#include <charconv>
#include <string_view>

namespace orvex {

void showStatus(Program& program, Window& window, RunStatus status) {
    // However the run leaves a Sound wait (its trigger, a stop, a script taken from the chain), the input
    // goes with it: nothing heard outside the wait may fire a later line.
    if (status != RunStatus::kSoundWait) closeSound(program);
    const bool changed = program.run.status != status;
    program.run.status = status;
    if (changed && program.observer) program.observer->statusChanged(status);
    showStatusText(program.mainView(), window);
}

namespace {

// The remaining time is shown at every tick of a run; printf's machinery cost more than all the rest of the
// tick, so the text is written by hand into a buffer that always holds it.
struct RemainingText {
    char text[24];
    std::size_t size;
    std::string_view view() const { return {text, size}; }
};

RemainingText remainingText(int ms) {
    const int s = static_cast<int>((static_cast<long long>(ms) + 500) / 1000);
    RemainingText r;
    char* const end = r.text + sizeof r.text;
    const int lead = s >= 3600 ? s / 3600 : s >= 60 ? s / 60 : s;
    char* out = std::to_chars(r.text, end, lead).ptr;
    const auto twoDigits = [&](int v) {
        *out++ = ':';
        *out++ = static_cast<char>('0' + v / 10);
        *out++ = static_cast<char>('0' + v % 10);
    };
    if (s >= 3600) twoDigits(s / 60 % 60);
    if (s >= 60) twoDigits(s % 60);
    r.size = static_cast<std::size_t>(out - r.text);
    return r;
}

} // namespace

std::string formatRemaining(int ms) {
    return std::string(remainingText(ms).view());
}

void showRemaining(Window& window, int ms) {
    const RemainingText text = remainingText(ms);
    if (window.itemText(kWaitField) == text.view()) return;
    window.showItem(kLevelBar, false);
    window.showItem(kWaitField, true);
    window.setItemText(kWaitField, std::string(text.view()));
}

void showShots(Program& p, Window& w) {
    std::string text = std::to_string(p.run.shotCount.load());
    if (!p.options.saveToHost) {
        if (p.run.cameraReady && !p.options.simulation) {
            EdsUInt32 left = 0;
            if (readUInt32(p.camera, kEdsPropID_AvailableShots, 0, left) == EDS_ERR_OK)
                p.camera.shotsLeft = static_cast<int>(left);
        }
        text += "   [" + std::to_string(p.camera.shotsLeft) + "]";
    }
    w.setItemText(kShotsField, text);
}

} // namespace orvex
