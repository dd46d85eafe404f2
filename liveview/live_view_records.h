#pragma once
// What live view works on. The window lives on between messages, so it holds the records themselves: a new
// language or a new follower of the run is seen at the next message.
#include "core/camera_session.h"
#include "core/live_view_state.h"
#include "core/run_observer.h"
#include "core/run_state.h"
#include "core/settings.h"
#include "core/startup_options.h"

namespace orvex {

struct LiveViewRecords {
    LiveViewState& state;
    CameraSession& camera;         // the body its frames and buttons reach
    RunState& run;                 // a Move line waits on its frames; a shot holds them back
    const Settings& settings;      // the movement's level and pixel count
    RunObserver* const& observer;  // told of a movement seen
    const StartupOptions& options; // in simulation there is no camera to ask
    const int& language;
};

} // namespace orvex
