#include "run/script_load.h"

#include "run/status_display.h"
#include "script/script_loader.h"
#include "ui/main_controls.h"

namespace orvex {

bool loadScript(Program& p, Window& w, const std::string& path) {
    showStatus(p, w, RunStatus::kIdle);
    // A start line was chosen in the script that was loaded before.
    p.run.startLine.reset();
    // Another script's moments of the day are its own; this one's stay shot when it is read again (Reload).
    if (path != p.script.path) p.run.wait.takenMoments.clear();
    const bool loaded = readScript(p.script, p.tables, p.language, w, path);
    // What the lines asked beyond themselves, as far as they were read: a loop marker loops for ever, and a
    // burst takes the pictures to the computer.
    if (p.script.hasLoopMarker) p.run.settings.loopEnabled = p.run.settings.loopInfinite = true;
    if (p.script.hasBurst) p.options.saveToHost = true;
    updateMainControls(p.mainView(), w);
    return loaded;
}

} // namespace orvex
