#include "run/slave_sync.h"

#include "resources/main_dialog.h"
#include "run/run_controller.h"
#include "ui/main_controls.h"

namespace orvex {

void setSlaveMode(Program& p, Window& w, bool on) {
    p.slaveMode = on;
    w.checkItem(kSlaveToggle, on);
    if (on) {
        p.run.settings.delayedStart = false;
        w.checkItem(kDelayedToggle, false);
        if (p.synchro) p.lastSyncValue = p.synchro->getSynchro();
        w.setTimer(kTimerSync, kTickMs);
    } else {
        w.killTimer(kTimerSync);
    }
    updateMainControls(p.mainView(), w);
}

void pollSync(Program& p, Window& w) {
    if (!p.synchro) return;
    const SyncReading now = p.synchro->getSynchro();
    if (now == p.lastSyncValue) return;
    p.lastSyncValue = now;
    // A start published while this run goes on is only noted: the next one after it starts a run.
    if (p.camera.connected && p.script.loaded && !p.run.running) startRun(p, w);
}

} // namespace orvex
