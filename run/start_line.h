#pragma once
// A run that starts at a later line of its script, to resume a night after a stop (-fromline, --from-line).
#include "platform/window.h"
#include "run/program.h"

#include <string>

namespace orvex {

// The next run of the loaded script starts at the exposure on that line of the file (the header is line 1),
// its later passes at the first line. False, after an error box naming the line, when the text names no
// exposure of the script.
bool chooseStartLine(Program& program, Window& window, const std::string& fileLine);

} // namespace orvex
