#pragma once
// Carries the loaded script through time: waits for each line's moment, has it shot, loops and ends.
#include "platform/window.h"
#include "resources/main_dialog.h"
#include "run/program.h"

namespace orvex {

inline constexpr unsigned kTickMs = 50;

// `startTimeCame`: the run is started again (Reload, Next, Prev.) once its delayed start time has come. It
// begins at once then: waiting for that time again would put the rest of the night off until tomorrow.
void startRun(Program& program, Window& window, bool startTimeCame = false);
// Timer 1, every 50 ms while a run is active.
void runTick(Program& program, Window& window);
void togglePause(Program& program, Window& window);
// The Start/Stop button while a run is active: asks to confirm, then stops as stopAfterTheShot does.
void requestStop(Program& program, Window& window);
// Stops the run now between shots; during a shot, once its pictures are in, Start greyed meanwhile.
void stopAfterTheShot(Program& program, Window& window);
// A start pressed while the last run's pictures still came is given up: nothing has been shot for it.
void cancelAwaitedStart(Program& program, Window& window);
// The camera has been pressed and the shot's pictures are not all in.
bool shotUnderWay(const RunState& run);

// Moving along the script's chain, and reloading it, whether a run is going on or not.
bool nextScript(Program& program, Window& window);
bool previousScript(Program& program, Window& window);
bool reloadScript(Program& program, Window& window);
// Acts on a pending Reload, Next or Prev. request of a run; true when the run was restarted or stopped,
// false when there was none or it could not be carried out and the run goes on as it was.
bool serviceRequests(Program& program, Window& window);
} // namespace orvex
