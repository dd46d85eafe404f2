#pragma once
// Carries the loaded script through time: waits for each line's moment, has it shot, loops and ends.
#include "core/program.h"
#include "platform/window.h"
#include "resources/main_dialog.h"

namespace orvex {

inline constexpr unsigned kTickMs = 50;

void startRun(Program& program, Window& window);
// Timer 1, every 50 ms while a run is active.
void runTick(Program& program, Window& window);
void togglePause(Program& program, Window& window);
// The Start/Stop button while a run is active: asks to confirm, then stops now or after the shot.
void requestStop(Program& program, Window& window);

} // namespace orvex
