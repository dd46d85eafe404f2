#pragma once
// Script › Plan…: the loaded script rehearsed by orvex-cli beside the program, and its plan shown.
#include "platform/window.h"
#include "run/program.h"

namespace orvex {

// The rehearsal is a process of its own: its engine and camera SDK never touch this program's, which may be
// running a night meanwhile. The window keeps answering while it works.
void showScriptPlan(const Program& program, Window& window);

} // namespace orvex
