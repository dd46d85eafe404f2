#pragma once
// Fetches the camera's live view, one frame per tick of timer 4, and hands each frame on.
#include "core/program.h"
#include "platform/window.h"

namespace orvex {

// Live view is wanted from now on: timer 4 runs at the chosen frame rate.
void startLiveView(Program& program, Window& window);

// Timer 4. Ends live view once it is no longer wanted or the camera is gone; otherwise downloads and decodes
// one frame, unless a shot is in progress, and passes it to the move detection.
void frameTick(Program& program, Window& window);

} // namespace orvex
