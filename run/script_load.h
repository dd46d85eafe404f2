#pragma once
// Loading a script into the program: its lines, its state shown, the controls that follow from it.
#include "platform/window.h"
#include "run/program.h"

#include <string>

namespace orvex {

// On failure shows the first error and leaves no script loaded, even if one was loaded before.
bool loadScript(Program& program, Window& window, const std::string& path);

} // namespace orvex
