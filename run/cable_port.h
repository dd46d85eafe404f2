#pragma once
// The shutter-release cable's port: its lines pressed or let go, and its closing, which lets go whatever
// it still held.
#include "run/program.h"

namespace orvex {

// False when the port refused: it is gone.
bool setCableLines(Program& program, bool asserted);
void closeCable(Program& program);

} // namespace orvex
