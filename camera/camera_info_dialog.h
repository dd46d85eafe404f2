#pragma once
// CAMERA_INFO_DIALOG: the connected body's identity and state, read again every second; it closes when the
// body goes.
#include "core/camera_session.h"
#include "core/catalogue.h"
#include "platform/window.h"

#include <map>
#include <string>

namespace orvex {

inline constexpr int kTimerCameraInfo = 6;

// What the dialog reads: the body, the icon of each AE mode found at start, and the language.
struct CameraInfoView {
    const CameraSession& camera;
    const std::map<std::string, std::string>& aeModeIcons;
    bool simulation = false;
    int language = kEnglish;
};

void cameraInfoProcedure(const CameraInfoView& view, Window& dialog, const DialogMessage& message);

} // namespace orvex
