#pragma once
// `orvex-cli simulate` and `orvex-cli run`: the desktop program's engine on a headless main window.
#include "app/cli/run_options.h"

#include <functional>
#include <ostream>

namespace orvex::cli {

// Rehearses the script on a virtual clock (as fast as it computes) or runs it in real time, printing the
// timeline. Returns 0 when the run completed, 1 otherwise, 2 for a camera profile that cannot be used.
// `eachTurn` is called at each turn of the session's loop: output held back is handed over there.
int runSession(const RunOptions& options, bool realTime, std::ostream& out, std::ostream& err,
               const std::function<void()>& eachTurn);

} // namespace orvex::cli
