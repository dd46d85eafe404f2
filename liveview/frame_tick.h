#pragma once
// Fetches the camera's live view, one frame per tick of timer 4, and hands each frame on.
#include "core/program.h"
#include "platform/window.h"

namespace orvex {

// Timer 4. Ends live view, closing its window, once it is no longer wanted or the camera is gone; otherwise
// downloads and decodes one frame, unless a shot is in progress, and posts it to the live view window.
void frameTick(Program& program, Window& window);

// After a shot the camera's live view restarts: a zoomed one needs a moment before it gives frames.
void fetchFrameAfterShot(Program& program, Window& window);

} // namespace orvex
