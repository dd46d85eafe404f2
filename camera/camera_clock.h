#pragma once
// The body's clock against the computer's: the Settings menu's Set time LT and Set time UT set it, and the
// clock report and the night log tell how far apart they are.
#include "core/camera_session.h"
#include "platform/clock.h"
#include "platform/window.h"

#include <cstdint>
#include <optional>

namespace orvex {

// The moment the body is given: one second after `now`, the carry reaching the year; its day of the week
// is not kept.
EdsTime cameraClockTime(const CivilTime& now);
// Writes the computer's local or universal time plus one second to the body and says how that went.
void setCameraClock(const CameraSession& camera, const Clock& clock, int language, Window& window,
                    bool universalTime);

// The body's clock less the computer's local time, in milliseconds; none when the body does not tell its
// time.
std::optional<std::int64_t> bodyClockOffsetMs(const CameraSession& camera, const Clock& clock);

} // namespace orvex
