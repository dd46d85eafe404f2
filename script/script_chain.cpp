#include "script/script_chain.h"

#include "platform/files.h"
#include "run/run_controller.h"
#include "script/line_reader.h"
#include "script/script_loader.h"

#include <fstream>

namespace orvex {
namespace {

constexpr int kLinkLimit = 260;

bool followLink(Program& p, Window& w, const char* extension) {
    const std::string& path = p.script.path;
    // Only a lower-case ".txt" names its link files; others quietly have no chain.
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".txt") != 0) return false;
    const std::string link = path.substr(0, path.size() - 4) + extension;
    std::ifstream in;
    // As for a script: a FIFO or a device given as a link would hang the reader.
    if (fileExists(link)) in.open(link, std::ios::binary);
    if (!in.is_open()) {
        w.messageBox(std::string(p.text(57)) + " " + link, p.text(54), BoxIcon::Error, BoxButtons::Ok);
        return false;
    }
    std::string name;
    const int n = readLine(in, name, kLinkLimit);
    if (n <= 0) {
        w.messageBox(link + "\r" + p.text(50), p.text(54), BoxIcon::Error, BoxButtons::Ok);
        return false;
    }
    if (!loadScript(p, w, p.script.directory + name)) {
        // The previous script is gone: a run cannot go on without lines.
        if (p.run.running) stopRun(p, w);
        return false;
    }
    if (p.run.running) startRun(p, w);
    return true;
}

} // namespace

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
    if (r.reloadRequested) {
        r.reloadRequested = false;
        moved = reloadScript(p, w);
    } else if (r.nextRequested) {
        r.nextRequested = false;
        moved = nextScript(p, w);
    } else if (r.prevRequested) {
        r.prevRequested = false;
        moved = previousScript(p, w);
    } else {
        return false;
    }
    // A move that could not be made leaves the run going on with the current script: the caller carries on
    // as if nothing had been asked, so that no line is skipped.
    return moved || !r.running;
}

bool scriptModifiedSinceLoad(const Program& p) {
    const auto now = lastWriteTime(p.script.path);
    return now && now != p.script.lastWrite;
}

} // namespace orvex
