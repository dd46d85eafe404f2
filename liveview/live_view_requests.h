#pragma once
// The camera's side of the live view window's buttons: the window posts, the main window calls these.
#include "liveview/live_view_records.h"
#include "platform/window.h"

namespace orvex {

// Reads the lens's AF mode: the focus buttons are for lenses not switched to manual focus.
void refreshAfAvailability(CameraSession& camera, LiveViewState& liveView);

// The zoom chosen in the main window's "LV zoom" list: 1 (Fit), 5 or 10.
EdsUInt32 chosenLiveViewZoom(int language, const Window& mainWindow);

// Writes the zoom chosen in the main window's "LV zoom" list to the camera.
void applyLiveViewZoom(const LiveViewRecords& liveView, Window& mainWindow);

// Acts on a request the live view window posted with its control id; other codes are left alone.
void liveViewRequest(const LiveViewRecords& liveView, Window& mainWindow, int code);

} // namespace orvex
