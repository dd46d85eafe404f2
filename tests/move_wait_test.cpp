// A Move line's wait on the run's clock: live view frames feed the level bar; in simulation no frame comes.
#include "resources/main_dialog.h"
#include "tests/support/run_program.h"

#include <gtest/gtest.h>
#include <tuple>

namespace orvex::test {
namespace {

TEST(MoveWait, StillFramesShowLevelZeroAndInSimulationTheLineWaits) {
    for (const char* body : {"bulb motion=2000 motionAfter=60", kSimulation}) {
        const bool simulation = std::string(body) == kSimulation;
        RunProgram t(body);
        t.start({line().when("Move"), line().delay(10)});
        t.runFor(simulation ? 60000 : 2000);
        EXPECT_EQ(std::tuple(t.program.run.status, t.shots()), std::tuple(RunStatus::kMoveWait, Strings{}))
            << body;
        if (simulation) {
            EXPECT_FALSE(t.program.liveView.reference.held);
            continue;
        }
        EXPECT_EQ(t.window.timerPeriod(kTimerLiveView), 333u);
        EXPECT_EQ(std::tuple(t.window.isItemShown(kLevelBar), t.window.progress(kLevelBar)),
                  std::tuple(true, 0));
        EXPECT_TRUE(t.program.camera.liveViewOutputOn);
    }
}

// The stored Level and Pixels as they are, and a pause, on a scene still until its object starts moving.
TEST(MoveWait, LevelPixelsAndPauseDecideWhenTheLineFires) {
    const struct {
        const char* name;
        const char* body;
        int level, pixels;
        bool paused;
        std::uint32_t firesBy; // 0: never
    } cases[] = {{"no pixels wanted: the second frame fires", "bulb motionAfter=600", 20, 0, false, 700},
                 {"over 100 %: never", "bulb motion=20000 motionAfter=1", 101, 1, false, 0},
                 {"a movement fires", "bulb motion=2000 motionAfter=3", 20, 10000, false, 5000},
                 {"and fires while paused", "bulb motion=2000 motionAfter=3", 20, 10000, true, 5000}};
    for (const auto& c : cases) {
        RunProgram t(c.body);
        t.start({line().when("Move")}, "", [&] {
            t.program.settings.moveLevel = c.level;
            t.program.settings.movePixels = c.pixels;
        });
        if (c.paused) {
            t.runFor(100);
            t.window.click(kPauseButton);
            ASSERT_TRUE(t.program.run.paused) << c.name;
        }
        t.runFor(c.firesBy ? c.firesBy : 10000);
        EXPECT_EQ(t.shots().size(), c.firesBy ? 1u : 0u) << c.name;
    }
}

} // namespace
} // namespace orvex::test
