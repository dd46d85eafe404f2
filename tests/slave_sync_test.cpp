// Instances in step: slaves start from the moment their master's run began, on one virtual clock.
#include "app/camera_link.h"
#include "platform/posix/shared_synchro.h"
#include "run/run_controller.h"
#include "tests/support/run_program.h"
#include "tests/support/sync_name.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace orvex::test {
namespace {

// A master and a slave in simulation mode whose clocks move together, sharing a value of their own.
struct InStep {
    InStep() {
        master.program.synchro = &masterSync;
        slave.program.synchro = &slaveSync;
    }
    // The slave waits with its script, as after `-slave -load=`, from tick 0.
    void openSlave(const std::vector<std::string>& lines, const std::string& options = " -slave") {
        slave.open(options + " -load=\"" + slave.dir.write("night.txt", scriptText(lines)) + "\"");
    }
    void runFor(unsigned ms) {
        for (unsigned done = 0; done < ms; done += 10) {
            master.runFor(std::min(10u, ms - done));
            slave.runFor(std::min(10u, ms - done));
        }
    }

    PrivateSyncName name;
    RunProgram master{kSimulation}, slave{kSimulation};
    SharedSynchro masterSync{name.name()}, slaveSync{name.name()};
};

// The slave polls 40 or 45 ms after the master starts (or after its delayed start arrives), yet shoots with
// it: its delays count from the master's start, and its ticks fall just after theirs.
TEST(SlaveSync, TheSlaveShootsOnTheMastersSchedule) {
    const struct {
        const char* what;
        std::string masterOptions;
        unsigned masterAt;       // ms after the slave began to poll, every 50 ms
        unsigned slaveIdleUntil; // ms after the master was told to start
        unsigned firstShot;      // the second comes half a second later
    } cases[] = {{"start", "", 10, 0, 10000},
                 {"start just after a poll", "", 5, 0, 10000},
                 {"delayed start", " -start=\"21:00:05\"", 10, 4950, 15000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        InStep t;
        const std::vector<std::string> lines = {line().delay(100), line().delay(5)};
        t.openSlave(lines);
        t.runFor(c.masterAt);
        t.slave.timeline.start();
        t.master.start(lines, c.masterOptions);
        if (c.slaveIdleUntil) {
            t.runFor(c.slaveIdleUntil);
            EXPECT_FALSE(t.slave.program.run.running);
            EXPECT_EQ(t.slaveSync.getSynchro().generation, 0u) << "published before its moment";
        }
        t.runFor(16000 - c.slaveIdleUntil);
        const Strings shots = {std::to_string(c.firstShot) + " shot 1 line 2 pass 0",
                               std::to_string(c.firstShot + 500) + " shot 2 line 3 pass 0"};
        EXPECT_EQ(std::tuple(t.master.shots(), t.slave.shots(), t.slave.program.run.status),
                  std::tuple(shots, shots, RunStatus::kCompleted));
    }
}

// A start published while the slave's run goes on is only noted; once that run has ended, the next start
// begins a new one.
TEST(SlaveSync, AStartDuringTheSlavesRunIsOnlyNoted) {
    InStep t;
    t.openSlave({line().delay(20)});
    t.slave.timeline.start();
    t.masterSync.synchro(t.slave.clock.tick());
    t.runFor(1000);
    t.masterSync.synchro(t.slave.clock.tick());
    t.runFor(4000);
    EXPECT_EQ(t.slave.program.lastSyncValue, (SyncReading{1000, 2}));
    EXPECT_EQ(t.slave.shots(), (Strings{"2000 shot 1 line 2 pass 0"}));
    t.masterSync.synchro(t.slave.clock.tick());
    t.runFor(2500);
    EXPECT_EQ(t.slave.shots(), (Strings{"2000 shot 1 line 2 pass 0", "7000 shot 1 line 2 pass 0"}));
}

// The Slave box both ways: a start published before slave mode never starts a run; back to master, the
// poll stops and the instance publishes its own start.
TEST(SlaveSync, TheSlaveBoxSwitchesBothWays) {
    InStep t;
    t.openSlave({line().delay(10)}, "");
    t.masterSync.synchro(5);
    t.slave.window.click(kSlaveToggle);
    const auto shown = [&] {
        const HeadlessWindow& w = t.slave.window;
        return std::tuple(t.slave.program.slaveMode, w.hasTimer(kTimerSync), w.isItemChecked(kSlaveToggle),
                          w.isItemEnabled(kDelayedToggle), w.isItemEnabled(kStartButton));
    };
    EXPECT_EQ(shown(), std::tuple(true, true, true, false, false));
    t.runFor(500);
    EXPECT_FALSE(t.slave.program.run.running);
    t.slave.window.click(kSlaveToggle);
    EXPECT_EQ(shown(), std::tuple(false, false, false, true, true));
    t.slave.window.click(kStartButton);
    EXPECT_EQ(t.masterSync.getSynchro(), (SyncReading{500, 2}));
}

// A run started again by the master's own hand publishes again, so that its slaves follow it there too.
TEST(SlaveSync, AMasterPublishesAgainWhenItsScriptStartsAgain) {
    for (const int button : {kReloadScriptButton, kNextScriptButton, kPrevScriptButton}) {
        SCOPED_TRACE(button);
        InStep t;
        t.master.dir.write("night.next", "night.txt");
        t.master.dir.write("night.prev", "night.txt");
        t.master.start({line().delay(100)});
        ASSERT_EQ(t.slaveSync.getSynchro(), (SyncReading{0, 1}));
        t.runFor(2000);
        t.master.window.click(button);
        t.runFor(100);
        EXPECT_EQ(t.slaveSync.getSynchro(), (SyncReading{2050, 2}));
    }
}

// A slave that could not run when its master started only notes the start; a slave whose own script starts
// again keeps counting from its master's start.
TEST(SlaveSync, WhatASlaveMakesOfAStart) {
    const struct {
        const char* what;
        bool script, connected, reloaded; // reloaded 2 s into the master's run
        Strings shots;
    } cases[] = {{"no script", false, true, false, {}},
                 {"not connected", true, false, false, {}},
                 {"its script reloaded", true, true, true, {"10000 shot 1 line 2 pass 0"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        InStep t;
        c.script ? t.openSlave({line().delay(100)}) : t.slave.open(" -slave");
        if (!c.connected) disconnectCamera(t.slave.program, t.slave.window);
        t.slave.timeline.start();
        t.master.start({line().delay(100)});
        t.runFor(2000);
        if (c.reloaded) t.slave.window.click(kReloadScriptButton);
        t.runFor(10000);
        EXPECT_EQ(t.slave.program.lastSyncValue, (SyncReading{0, 1}));
        EXPECT_EQ(t.slave.shots(), c.shots);
    }
}

} // namespace
} // namespace orvex::test
