#pragma once
// Moving along a chain of scripts (link files "name.next" and "name.prev" beside them) and reloading.
#include "core/program.h"
#include "platform/window.h"

namespace orvex {

bool nextScript(Program& program, Window& window);
bool previousScript(Program& program, Window& window);
bool reloadScript(Program& program, Window& window);
// Acts on a pending Reload, Next or Prev. request of a run; true when the run was restarted or stopped,
// false when there was none or it could not be carried out and the run goes on as it was.
bool serviceRequests(Program& program, Window& window);
// True when the file's last-write time can be read and differs from the one remembered at load.
bool scriptModifiedSinceLoad(const Program& program);

} // namespace orvex
