#pragma once
// Turns a script file into the records of the run, checking every line.
#include "core/program.h"
#include "platform/window.h"

#include <string>

namespace orvex {

inline constexpr const char* kScriptHeader = "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST";

// On failure shows the first error and leaves no script loaded, even if one was loaded before.
bool readScript(Program& program, Window& window, const std::string& path);

} // namespace orvex
