#pragma once
// Slave mode: this instance starts its runs when another instance, the master, publishes the start of its
// own, and counts every delay from the master's start moment.
#include "platform/window.h"
#include "run/program.h"

namespace orvex {

// The Slave check box and the -slave option. Switching on reads the shared value first, so that a start
// published earlier never starts a run here.
void setSlaveMode(Program& program, Window& window, bool on);
// Timer 2, every 50 ms in slave mode.
void pollSync(Program& program, Window& window);

} // namespace orvex
