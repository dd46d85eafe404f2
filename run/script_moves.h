#pragma once
// Loading a script and moving along its chain, during a run as well: a run stops when its script cannot be
// loaded and starts again on the one that can.
#include "core/program.h"
#include "platform/window.h"

#include <string>

namespace orvex {

// On failure shows the first error and leaves no script loaded, even if one was loaded before.
bool loadScript(Program& program, Window& window, const std::string& path);
bool nextScript(Program& program, Window& window);
bool previousScript(Program& program, Window& window);
bool reloadScript(Program& program, Window& window);
// Acts on a pending Reload, Next or Prev. request of a run; true when the run was restarted or stopped,
// false when there was none or it could not be carried out and the run goes on as it was.
bool serviceRequests(Program& program, Window& window);

} // namespace orvex
