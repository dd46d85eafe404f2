#pragma once
// Finds movement between consecutive live view frames, and arms the run's Move trigger with it.
#include "core/live_view_state.h"
#include "core/run_observer.h"
#include "core/run_state.h"
#include "core/settings.h"
#include "platform/window.h"

#include <cstdint>

namespace orvex {

// The bytes at which the frames differ by at least `moveLevel` percent of 255; the frames are of one layout.
std::uint64_t changedBytes(const Frame& newFrame, const Frame& reference, int moveLevel);

// True when enough bytes changed, by the settings' level and count; also puts how close the frames came into
// the detection level and shows it in the main window's level bar, unless the frames cannot be compared
// (another size or depth).
bool detectMove(const Settings& settings, Detection& detection, Window& window, const Frame& newFrame,
                const Frame& reference);

// Consumes the pending frame: during a Move wait it is compared with the frame before, if the camera showed
// both at the same zoom and zoom position, and a movement fires the trigger and has the run tick at once.
// Returns the frame to show, valid until the next one arrives; none when it fired the trigger.
const Frame* frameArrived(LiveViewState& liveView, RunState& run, const Settings& settings,
                          RunObserver* observer, Window& window);

// The zoom or the zoom area was sent to the camera: the next frame shows another picture, and is only the
// reference of the one after it.
void restartMoveComparison(LiveViewState& liveView);

} // namespace orvex
