// A Move line's wait on the run's clock: live view frames feed the level bar.
#include "resources/main_dialog.h"
#include "tests/support/run_program.h"

#include <gtest/gtest.h>

namespace orvex::test {
namespace {

TEST(MoveWait, StillFramesShowLevelZero) {
    RunProgram t("bulb motion=2000 motionAfter=60");
    t.start({line().when("Move")});
    t.runFor(2000);
    EXPECT_EQ(t.program.run.status, RunStatus::kMoveWait);
    EXPECT_EQ(t.window.timerPeriod(kTimerLiveView), 333u);
    EXPECT_TRUE(t.window.isItemShown(kLevelBar));
    EXPECT_EQ(t.window.progress(kLevelBar), 0);
    EXPECT_TRUE(t.program.camera.liveViewOutputOn);
    EXPECT_TRUE(t.shots().empty());
}

TEST(MoveWait, InSimulationNoFrameComesAndTheLineWaits) {
    RunProgram t(kSimulation);
    t.start({line().when("Move"), line().delay(10)});
    t.runFor(60000);
    EXPECT_EQ(t.program.run.status, RunStatus::kMoveWait);
    EXPECT_TRUE(t.shots().empty());
    EXPECT_FALSE(t.program.liveView.reference.held);
}

} // namespace
} // namespace orvex::test
