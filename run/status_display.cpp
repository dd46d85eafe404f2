#include "run/status_display.h"

#include "camera/camera_properties.h"
#include "resources/main_dialog.h"
#include "run/run_controller.h"

#include <cstdio>

namespace orvex {
namespace {

struct CodeText {
    std::int32_t code;
    int message;
};

constexpr CodeText kErrorTexts[] = {
    {0x02, 71}, {0x07, 127},  {0x50, 140},   {0x51, 141},  {0x53, 142}, {0x81, 43}, {0xA3, 186}, {0xC0, 34},
    {0xC1, 33}, {0x8D01, 61}, {0x8D03, 112}, {0xA101, 14}, {-1, 144},   {-2, 25},   {-3, 45},    {-4, 17},
    {-5, 113},  {-6, 27},     {-7, 29},      {-8, 28},     {-9, 19},    {-10, 146}, {-12, 185},  {-13, 107},
    {-14, 110}, {-15, 108},   {-16, 23},     {-18, 12},    {-19, 180},  {-20, 166},
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

std::string formatRemaining(int ms) {
    const int s = static_cast<int>((static_cast<long long>(ms) + 500) / 1000);
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    else if (s >= 60)
        std::snprintf(text, sizeof text, "%d:%02d", s / 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%d", s);
    return text;
}

void showRemaining(Window& window, int ms) {
    const std::string text = formatRemaining(ms);
    if (window.itemText(kWaitField).substr(0, 19) == text.substr(0, 19)) return;
    window.showItem(kLevelBar, false);
    window.showItem(kWaitField, true);
    window.setItemText(kWaitField, text);
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
