#pragma once
// The Settings menu's Set time LT and Set time UT: the body's clock set from the computer's.
#include "core/camera_session.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace orvex {

// The moment the body is given: one second after `now`, the carry reaching the year; its day of the week
// is not kept.
EdsTime cameraClockTime(const CivilTime& now);
// Writes the computer's local or universal time plus one second to the body and says how that went.
void setCameraClock(const CameraSession& camera, const Clock& clock, int language, Window& window,
                    bool universalTime);

} // namespace orvex
