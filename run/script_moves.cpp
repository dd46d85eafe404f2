#include "run/script_moves.h"

#include "run/run_controller.h"
#include "run/run_end.h"
#include "run/status_display.h"
#include "script/script_chain.h"
#include "script/script_loader.h"
#include "ui/main_controls.h"

namespace orvex {
namespace {

bool followLink(Program& p, Window& w, const char* extension) {
    const auto path = linkedScript(p, w, extension);
    if (!path) return false;
    if (!loadScript(p, w, *path)) {
        // The previous script is gone: a run cannot go on without lines.
        if (p.run.running) stopRun(p, w);
        return false;
    }
    if (p.run.running) startRun(p, w);
    return true;
}

} // namespace

bool loadScript(Program& p, Window& w, const std::string& path) {
    showStatus(p, w, RunStatus::kIdle);
    // A start line was chosen in the script that was loaded before.
    p.run.startLine.reset();
    const bool loaded = readScript(p, w, path);
    updateMainControls(p, w);
    return loaded;
}

bool nextScript(Program& p, Window& w) {
    return followLink(p, w, ".next");
}
bool previousScript(Program& p, Window& w) {
    return followLink(p, w, ".prev");
}

bool reloadScript(Program& p, Window& w) {
    const bool wasRunning = p.run.running;
    if (wasRunning) stopRun(p, w);
    const bool loaded = loadScript(p, w, p.script.path);
    if (loaded && wasRunning) startRun(p, w);
    return loaded;
}

bool serviceRequests(Program& p, Window& w) {
    RunState& r = p.run;
    bool moved = false;
    if (r.requests.reload) {
        r.requests.reload = false;
        moved = reloadScript(p, w);
    } else if (r.requests.next) {
        r.requests.next = false;
        moved = nextScript(p, w);
    } else if (r.requests.prev) {
        r.requests.prev = false;
        moved = previousScript(p, w);
    } else {
        return false;
    }
    // A move that could not be made leaves the run going on with the current script: the caller carries on
    // as if nothing had been asked, so that no line is skipped.
    return moved || !r.running;
}

} // namespace orvex
