#pragma once
// CAMERA_INFO_DIALOG: the connected body's identity and state, read again every second; it closes when the
// body goes.
#include "core/program.h"
#include "platform/window.h"

namespace orvex {

inline constexpr int kTimerCameraInfo = 6;

void cameraInfoProcedure(Program& program, Window& dialog, const DialogMessage& message);

} // namespace orvex
