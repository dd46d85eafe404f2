#pragma once
// The live view window: the camera's viewfinder with its zoom, focus and frame rate controls. It never
// calls the camera: its buttons post their id to the main window.
#include "liveview/live_view_records.h"
#include "platform/window.h"

namespace orvex {

// Messages the live view window receives.
enum LiveViewMessage {
    kLiveViewFrame = 1, // the pending frame is ready
    kLiveViewOver = 2,  // live view ended: the window goes
    kLiveViewLanguage = 3009,
};

// The main window's "PC live view": opens the window, or has the next frame tick close it, except while a
// Move line waits on its frames.
void openOrCloseLiveView(const LiveViewRecords& liveView, Window& mainWindow);

void liveViewProcedure(const LiveViewRecords& liveView, Window& mainWindow, Window& window,
                       const DialogMessage& message);

} // namespace orvex
