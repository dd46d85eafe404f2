#include "run/run_controller.h"
#include "script/script_loader.h"
#include "tests/support/test_program.h"
#include "tests/support/timeline.h"

#include <gtest/gtest.h>
#include <optional>

namespace orvex::test {
namespace {

using Events = std::vector<std::string>;

// A run in simulation mode: every line is counted without a camera.
struct SimulatedRun : ::testing::Test {
    std::optional<TestProgram> program_;
    std::optional<Timeline> timeline_;
    TempDir dir;

    TestProgram& t() {
        if (!program_) program_.emplace();
        return *program_;
    }
    void clockAt(CivilTime local, std::uint32_t tick = 0) { program_.emplace(kEnglish, local, tick); }

    void load(const std::vector<std::string>& lines, const std::string& commandLine = "") {
        timeline_.emplace(t().clock);
        t().program.observer = &*timeline_;
        t().start(commandLine + " -load=\"" + dir.write("night.txt", scriptText(lines)) + "\"");
        ASSERT_TRUE(t().program.script.loaded);
        t().program.options.simulation = true;
        t().program.camera.connected = true;
        t().program.camera.name = "Simulation";
        updateMainControls(t().program, t().window);
    }
    void start() {
        timeline_->start();
        t().window.click(kStartButton);
    }
    void runFor(unsigned ms) { t().clock.advance(ms); }
    Events shots() const { return timeline_->only("shot"); }
    Events events() const { return timeline_->events(); }
};

TEST_F(SimulatedRun, DelaysCountFromThePreviousMomentWithoutDrift) {
    load({"0", "50", "50", "", "12"});
    start();
    runFor(20000);
    EXPECT_EQ(shots(),
              (Events{"0 shot 1 line 2 pass 0", "5000 shot 2 line 3 pass 0", "10000 shot 3 line 4 pass 0",
                      "10050 shot 4 line 5 pass 0", "11200 shot 5 line 6 pass 0"}));
    EXPECT_EQ(t().program.run.status, RunStatus::kCompleted);
    EXPECT_FALSE(t().program.run.running);
    EXPECT_FALSE(t().window.hasTimer(kTimerRun));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "Simulation"));
}

TEST_F(SimulatedRun, InfiniteLoopNeverEndsByItself) {
    load({"Loop", "10"});
    start();
    runFor(100000);
    EXPECT_TRUE(t().program.run.running);
    EXPECT_EQ(t().program.run.shotCount, 101); // one at the start, then one a second
}

TEST_F(SimulatedRun, PauseSkipsTheLineAndKeepsTheSchedule) {
    load({"0", "50", "50"});
    start();
    runFor(1000);
    t().window.click(kPauseButton);
    EXPECT_EQ(t().window.itemText(kPauseButton), "Resume");
    runFor(5000); // line 3's moment passes while paused
    t().window.click(kPauseButton);
    runFor(10000);
    EXPECT_EQ(shots(), (Events{"0 shot 1 line 2 pass 0", "10000 shot 2 line 4 pass 0"}));
    EXPECT_NE(std::find(timeline_->events().begin(), timeline_->events().end(),
                        "1050 " + statusEvent(RunStatus::kPaused)),
              timeline_->events().end());
}

TEST_F(SimulatedRun, TimeOfDayAcrossMidnight) {
    clockAt({2026, 12, 6, 23, 59, 58, 0});
    load({"0:00:01", "23:59:59"});
    start();
    runFor(50);
    EXPECT_EQ(t().window.itemText(kWaitField), "3"); // a moment earlier in the day is after midnight
    runFor(3050);
    EXPECT_EQ(t().window.itemText(kStatusField), "Waiting");
    EXPECT_EQ(t().window.itemText(kWaitField), "23:59:58"); // until tomorrow's 23:59:59
    runFor(86400000);
    EXPECT_EQ(timeline_->times("shot"), (std::vector<std::uint32_t>{3000, 86401000}));
}

TEST_F(SimulatedRun, DelayedStartWaitsForItsTime) {
    clockAt({2026, 12, 6, 21, 0, 0, 0});
    load({"10"}, "-start=\"21:00:05\"");
    start();
    EXPECT_EQ(t().program.run.status, RunStatus::kDelayedStartWait);
    runFor(10000);
    EXPECT_EQ(shots(), (Events{"6000 shot 1 line 2 pass 0"}));
}

TEST_F(SimulatedRun, DelaysSurviveTheTickCounterWrapping) {
    clockAt({}, 0xFFFFF000u);
    load({"0", "30", "30"});
    start();
    runFor(10000);
    EXPECT_EQ(shots(),
              (Events{"0 shot 1 line 2 pass 0", "3000 shot 2 line 3 pass 0", "6000 shot 3 line 4 pass 0"}));
}

TEST_F(SimulatedRun, StopWhileIdleBetweenShotsAborts) {
    load({"0", "600"});
    start();
    runFor(1000);
    t().window.click(kPauseButton); // a stopped run is paused no more
    t().window.answer = [](const MessageBoxRecord& box) {
        EXPECT_EQ(box.caption, "Abort capture");
        return BoxAnswer::Yes;
    };
    t().window.click(kStartButton);
    EXPECT_EQ(t().program.run.status, RunStatus::kAborted);
    EXPECT_FALSE(t().program.run.running);
    EXPECT_EQ(t().window.itemText(kStartButton), "Start");
    EXPECT_EQ(t().window.itemText(kPauseButton), "Pause");
}

TEST_F(SimulatedRun, SoundLineStopsTheRunWithoutASoundInput) {
    load({"Sound"});
    start();
    EXPECT_EQ(t().program.run.status, RunStatus::kError);
    ASSERT_EQ(t().window.messageBoxes().size(), 1u);
    EXPECT_EQ(t().window.messageBoxes()[0].caption, "Error (L6087)");
}

TEST_F(SimulatedRun, NextScriptDuringARunSwitchesBetweenShots) {
    dir.write("dawn.txt", scriptText({"0", "10"}));
    dir.write("night.next", "dawn.txt");
    load({"0", "100"});
    start();
    runFor(1000);
    t().window.click(kNextScriptButton);
    EXPECT_TRUE(t().program.run.requests.next);
    runFor(5000);
    EXPECT_EQ(t().window.title(), "Corvane - dawn");
    EXPECT_EQ(shots(),
              (Events{"0 shot 1 line 2 pass 0", "1050 shot 1 line 2 pass 0", "2050 shot 2 line 3 pass 0"}));
    EXPECT_EQ(t().program.run.status, RunStatus::kCompleted);
}

// Start asks before running a script changed since it was loaded; one that is gone has nothing to reload.
TEST_F(SimulatedRun, ModifiedScriptAsksBeforeStarting) {
    struct Case {
        bool deleted;
        std::size_t questions;
    };
    for (const Case& c : {Case{false, 1}, Case{true, 0}}) {
        load({"0"});
        if (c.deleted)
            std::filesystem::remove(dir.path() / "night.txt");
        else
            t().program.script.lastWrite = 1; // as if the file changed since it was loaded
        t().window.answer = [](const MessageBoxRecord&) { return BoxAnswer::No; };
        start();
        ASSERT_EQ(t().window.messageBoxes().size(), c.questions) << c.deleted;
        if (c.questions) {
            EXPECT_EQ(t().window.messageBoxes()[0].caption, "Warning");
        }
        EXPECT_EQ(t().program.run.shotCount, 1) << c.deleted;
        program_.reset();
    }
}

} // namespace
} // namespace orvex::test
