#include "camera/camera_model.h"

#include <array>

namespace orvex {
namespace {

// Each text starts with a space, so " 10D" cannot match inside "100D"; the first text found decides.
constexpr std::array<const char*, kModelUnknown> kModelSearchTexts = {
    " 1200D", " 1100D", " 1000D", " 760D", " 750D", " 700D", " 650D", " 600D", " 550D",
    " 500D",  " 450D",  " 400D",  " 350D", " 300D", " 100D", " 70D",  " 60D",  " 50D",
    " 40D",   " 30D",   " 20D",   " 10D",  " 7D",   " 5D",   " 1D",
};

constexpr std::uint32_t kPauseBeforeReleaseMs = 150;
constexpr std::uint32_t kPauseAfterCableShotMs = 2000;

} // namespace

int findCameraModel(const std::string& description) {
    for (std::size_t i = 0; i < kModelSearchTexts.size(); ++i)
        if (description.find(kModelSearchTexts[i]) != std::string::npos) return static_cast<int>(i);
    return kModelUnknown;
}

ModelRules modelRules(int model) {
    ModelRules r;
    switch (model) {
    case kModel1D:
    case kModel5D:
    case kModel7D:
    case kModel60D:
    case kModel70D:
        r.pressShutterBody = true;
        break;
    case kModel400D:
        r.pauseAfterCableShotMs = kPauseAfterCableShotMs;
        r.lockupCustomFunction = 7;
        break;
    case kModel350D:
        r.pauseBeforeReleaseMs = kPauseBeforeReleaseMs;
        r.pauseAfterCableShotMs = kPauseAfterCableShotMs;
        r.lockupCustomFunction = 7;
        break;
    case kModel300D:
        r.pauseBeforeReleaseMs = kPauseBeforeReleaseMs;
        r.manualFocusRequired = true;
        r.rawOrJpegByQuality = true;
        r.savesToHostOnly = true;
        r.lockupFixedOff = true;
        break;
    case kModel20D:
        r.lockupCustomFunction = 12;
        break;
    case kModel10D:
        r.pauseBeforeReleaseMs = kPauseBeforeReleaseMs;
        r.savesToHostOnly = true;
        r.lockupCustomFunction = 12;
        break;
    default:
        break;
    }
    return r;
}

} // namespace orvex
