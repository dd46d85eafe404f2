#include "run/status_display.h"

#include "camera/camera_properties.h"
#include "resources/main_dialog.h"
#include "run/run_controller.h"

#include <charconv>
#include <string_view>

namespace orvex {
namespace {

struct CodeText {
    std::int32_t code;
    int message;
};

constexpr CodeText kErrorTexts[] = {
    {EDS_ERR_INTERNAL_ERROR, 71},
    {EDS_ERR_NOT_SUPPORTED, 127},
    {EDS_ERR_PROPERTIES_UNAVAILABLE, 140},
    {EDS_ERR_PROPERTIES_MISMATCH, 141},
    {EDS_ERR_PROPERTIES_NOT_LOADED, 142},
    {EDS_ERR_DEVICE_BUSY, 43},
    {EDS_ERR_STREAM_OPEN_ERROR, 186},
    {EDS_ERR_COMM_PORT_IS_IN_USE, 34},
    {EDS_ERR_COMM_DISCONNECTED, 33},
    {EDS_ERR_TAKE_PICTURE_AF_NG, 61},
    {EDS_ERR_TAKE_PICTURE_MIRROR_UP_NG, 112},
    {EDS_ERR_LOW_BATTERY, 14},
    {kErrorQualityNotSupported, 144},
    {kErrorPictureFolder, 25},
    {kErrorAutofocusOn, 45},
    {kErrorBulbWithoutSpeed, 17},
    {kErrorLockupOffOnCamera, 113},
    {kErrorApertureNeedsAvOrManual, 27},
    {kErrorSpeedNeedsTvOrManual, 29},
    {kErrorIsoNeedsCreativeMode, 28},
    {kErrorDriveNotContinuous, 19},
    {kErrorDownloadTimeout, 146},
    {kErrorStoreTimeout, 185},
    {kErrorSpeedNeedsManual, 107},
    {kErrorSpeedNotInBulb, 110},
    {kErrorSpeedNeedsBulb, 108},
    {kErrorBurstInBulb, 23},
    {kErrorApertureNotSupported, 12},
    {kErrorSpeedNotSupported, 180},
    {kErrorIsoNotSupported, 166},
};

} // namespace

void showStatus(Program& program, Window& window, RunStatus status) {
    const bool changed = program.run.status != status;
    program.run.status = status;
    if (changed && program.observer) program.observer->statusChanged(status);
    window.setItemText(kStatusField, program.text(messageOf(status)));
    window.setItemText(kWaitField, "");
    window.refreshColours();
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
            if (readUInt32(p, kEdsPropID_AvailableShots, 0, left) == EDS_ERR_OK)
                p.camera.shotsLeft = static_cast<int>(left);
        }
        text += "   [" + std::to_string(p.camera.shotsLeft) + "]";
    }
    w.setItemText(kShotsField, text);
}

std::string errorText(int language, std::int32_t code) {
    for (const CodeText& e : kErrorTexts)
        if (e.code == code) return messageText(language, e.message);
    return formatMessage(language, 192, static_cast<long long>(static_cast<std::uint32_t>(code)));
}

void reportError(Program& program, Window& window, std::int32_t code, int location) {
    showStatus(program, window, RunStatus::kError);
    stopRun(program, window);
    const std::string caption = std::string(program.text(54)) + " (L" + std::to_string(location) + ")";
    window.messageBox(errorText(program.language, code), caption, BoxIcon::Error, BoxButtons::Ok);
}

} // namespace orvex
