#include "run/script_load.h"

#include "run/status_display.h"
#include "script/script_loader.h"
#include "ui/main_controls.h"

namespace orvex {

bool loadScript(Program& p, Window& w, const std::string& path) {
    showStatus(p, w, RunStatus::kIdle);
    // A start line was chosen in the script that was loaded before.
    p.run.startLine.reset();
    const bool loaded = readScript(p, w, path);
    updateMainControls(p, w);
    return loaded;
}

} // namespace orvex
