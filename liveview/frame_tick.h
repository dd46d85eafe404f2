#pragma once
// Fetches the camera's live view, one frame per tick of timer 4, and hands each frame on.
#include "liveview/live_view_records.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace orvex {

// Timer 4. Ends live view, closing its window, once it is no longer wanted or the camera is gone; otherwise
// downloads and decodes one frame, unless a shot is in progress, and posts it to the live view window.
void frameTick(const LiveViewRecords& liveView, Window& window);

// After a shot the camera's live view restarts: a zoomed one needs a moment before it gives frames.
void fetchFrameAfterShot(const LiveViewRecords& liveView, Clock& clock, Window& window);

} // namespace orvex
