// The run carried through time: pauses, stops, chained scripts, restarts after an error, the tick wrap.
// Whole rehearsals whose timeline says it all are scenarios (tests/scenarios/).
#include "run/run_controller.h"
#include "run/run_end.h"
#include "run/status_display.h"
#include "tests/support/run_program.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <tuple>

namespace orvex::test {
namespace {

using ::testing::Contains;

TEST(RunController, TimeOfDayEarlierThanNowIsAwaitedAfterMidnight) {
    RunProgram t(kSimulation, {2026, 12, 6, 23, 59, 58, 0});
    t.start({line().when("0:00:01"), line().when("23:59:59")});
    t.runFor(50);
    EXPECT_EQ(t.window.itemText(kWaitField), "3");
    t.runFor(3050); // then until tomorrow's 23:59:59
    EXPECT_EQ(std::tuple(t.window.itemText(kStatusField), t.window.itemText(kWaitField)),
              std::tuple("Waiting", "23:59:58"));
}

// A line whose moment passes while paused is skipped and the next lines keep their schedule; a busy or
// suspended computer ticks late: a moment of the day passed meanwhile is shot at once, today. Delays count
// across the wrap of the 32-bit tick counter too.
TEST(RunController, PausesLateTicksAndTheTickWrapKeepTheSchedule) {
    const std::vector<std::string> every5s = {line().delay(0), line().delay(50), line().delay(50)};
    const Strings skipped = {"0 shot 1 line 2 pass 0", "10000 shot 2 line 4 pass 0"};
    const Strings onTime = {"0 shot 1 line 2 pass 0", "5000 shot 2 line 3 pass 0",
                            "10000 shot 3 line 4 pass 0"};
    const struct {
        std::vector<std::string> lines;
        bool pause, lateTicks;
        std::uint32_t startTick;
        Strings shots;
    } cases[] = {
        {{line().when("21:00:05")}, false, true, 0, {"7000 shot 1 line 2 pass 0"}},
        {every5s, true, false, 0, skipped},
        {every5s, true, true, 0, skipped},
        {every5s, false, false, 0xFFFFF000u, onTime}, // the tick wraps after 4 s
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.pause << c.lateTicks << " tick " << c.startTick);
        RunProgram t(kSimulation, {2026, 12, 6, 21, 0, 0, 0}, c.startTick);
        t.start(c.lines);
        t.runFor(1000);
        if (c.pause) {
            t.window.click(kPauseButton);
            EXPECT_EQ(t.window.itemText(kPauseButton), "Resume");
        }
        t.runFor(2000);
        c.lateTicks ? t.clock.sleep(4000) : t.runFor(4000); // late: no tick from 3 s to 7 s
        t.runFor(100);
        if (c.pause) t.window.click(kPauseButton);
        t.runFor(10000);
        EXPECT_EQ(t.shots(), c.shots);
        if (c.pause) {
            EXPECT_THAT(t.timeline.events(), Contains("1050 " + statusEvent(RunStatus::kPaused)));
        }
        EXPECT_EQ(std::tuple(t.program.run.status, t.window.hasTimer(kTimerRun)),
                  std::tuple(RunStatus::kCompleted, false));
        EXPECT_TRUE(std::filesystem::is_directory(t.dir.path() / "Simulation"));
    }
}

// Stop, once confirmed, aborts a paused run between shots at once (paused no more); during an exposure it
// waits for the picture, Start greyed meanwhile.
TEST(RunController, StopAbortsBetweenShotsAtOnceAndDuringAnExposureOnceThePictureIsIn) {
    for (const bool exposing : {false, true}) {
        SCOPED_TRACE(exposing ? "exposing" : "paused between shots");
        RunProgram t(exposing ? "bulb" : kSimulation);
        t.start({line().delay(0).speed(exposing ? "10" : "1/250"), line().delay(600)});
        t.runFor(1000);
        if (!exposing) t.window.click(kPauseButton);
        t.window.answer = [](const MessageBoxRecord& box) {
            EXPECT_EQ(box.caption, "Abort capture");
            return BoxAnswer::Yes;
        };
        t.window.click(kStartButton);
        EXPECT_EQ(std::tuple(t.program.run.status == RunStatus::kAborted, t.program.run.running,
                             t.window.isItemEnabled(kStartButton)),
                  std::tuple(!exposing, exposing, !exposing));
        t.runFor(5000);
        EXPECT_EQ(std::tuple(t.program.run.status, t.program.run.running, t.window.hasTimer(kTimerRun),
                             t.window.itemText(kStartButton), t.window.itemText(kPauseButton),
                             t.pictures().size()),
                  std::tuple(RunStatus::kAborted, false, false, "Start", "Pause", exposing ? 1u : 0u));
    }
}

TEST(RunController, NextScriptDuringARunSwitchesBetweenShots) {
    RunProgram t(kSimulation);
    t.dir.write("dawn.txt", scriptText({line().delay(0), line().delay(10)}));
    t.dir.write("night.next", "dawn.txt");
    t.start({line().delay(0), line().delay(100)});
    t.runFor(1000);
    t.window.click(kNextScriptButton);
    t.runFor(5000);
    EXPECT_EQ(std::tuple(t.window.title(), t.shots(), t.program.run.status),
              std::tuple(
                  "Corvane - dawn",
                  Strings{"0 shot 1 line 2 pass 0", "1050 shot 1 line 2 pass 0", "2050 shot 2 line 3 pass 0"},
                  RunStatus::kCompleted));
}

// Start asks before running a script changed since it was loaded; one that is gone has nothing to reload.
TEST(RunController, ModifiedScriptAsksBeforeStarting) {
    for (const bool deleted : {false, true}) {
        RunProgram t(kSimulation);
        t.window.answer = [](const MessageBoxRecord&) { return BoxAnswer::No; };
        t.start({line().delay(0)}, "", [&] {
            // Or as if the file changed since it was loaded.
            deleted ? (void)std::filesystem::remove(t.dir.path() / "night.txt")
                    : (void)(t.program.script.lastWrite = 1);
        });
        ASSERT_EQ(t.window.messageBoxes().size(), deleted ? 0u : 1u) << deleted;
        EXPECT_EQ(deleted ? "Warning" : t.window.messageBoxes()[0].caption, "Warning");
        EXPECT_EQ(t.program.run.shotCount, 1) << deleted;
    }
}

// Next, Prev. or Escape pressed during a shot when the link cannot be followed: the run goes on, no line
// lost, and a box says why. A link holding only a line end is an empty file.
TEST(RunController, ARequestThatCannotBeCarriedOutSkipsNothing) {
    struct Case {
        const char* link;    // the link file's name and content beside night.txt, removed once loaded
        const char* content; // nullptr: removed before the press
        int command;
        const char* box;
    };
    for (const Case& c : {Case{"night.next", nullptr, kNextScriptButton, "Unable to access file"},
                          Case{"night.prev", "", kPrevScriptButton, "Empty file !"},
                          Case{"night.prev", "\n", kPrevScriptButton, "Empty file !"},
                          Case{"night.next", nullptr, kCancelCommand, "Unable to access file"}}) {
        RunProgram t;
        t.dir.write(c.link, "dawn.txt");
        const auto next = line().delay(50).speed("1/250");
        t.start({line().delay(0).speed("1"), next, next, next});
        c.content ? (void)t.dir.write(c.link, c.content)
                  : (void)std::filesystem::remove(t.dir.path() / c.link);
        t.runFor(500);
        t.window.click(c.command); // during the first shot's 1 s exposure
        t.runFor(16000);
        EXPECT_EQ(t.shots(), (Strings{"0 shot 1 line 2 pass 0", "5000 shot 2 line 3 pass 0",
                                      "10000 shot 3 line 4 pass 0", "15000 shot 4 line 5 pass 0"}))
            << c.command;
        ASSERT_NE(t.lastBox(), nullptr);
        EXPECT_NE(t.lastBox()->text.find(c.box), std::string::npos) << t.lastBox()->text;
        EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
    }
}

// A script that fails to load during a shot, asked for as the next of the chain or reloaded after it was
// deleted or broken, leaves the run no lines: it stops there on the load's error, the body's controls given
// back, and no line of either script is taken after it (the failing script's line 3 was read).
TEST(RunController, AScriptThatFailsToLoadDuringAShotStopsTheRun) {
    const struct {
        int button;
        bool deleted; // night.txt, once loaded, is deleted rather than broken
        std::string box;
    } cases[] = {{kNextScriptButton, false, "invalid delay at line 4 !"},
                 {kReloadScriptButton, true, "Unable to access file "},
                 {kReloadScriptButton, false, "invalid delay at line 3 !"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        RunProgram t;
        t.dir.write("dawn.txt", scriptText({line().delay(0), line().delay(50), line().when("nonsense")}));
        t.dir.write("night.next", "dawn.txt");
        t.start({line().delay(0).speed("1"), line().delay(50).speed("1/250")});
        const std::string night = (t.dir.path() / "night.txt").string();
        if (c.deleted)
            std::filesystem::remove(night);
        else if (c.button == kReloadScriptButton)
            t.dir.write("night.txt", scriptText({line().delay(0), line().when("nonsense")}));
        t.runFor(500);
        t.window.click(c.button); // during the first shot's 1 s exposure
        t.runFor(8000);
        EXPECT_EQ(std::tuple(t.program.run.running, t.program.run.status, t.window.hasTimer(kTimerRun),
                             t.camera->controlsLocked()),
                  std::tuple(false, RunStatus::kIdle, false, false));
        ASSERT_NE(t.lastBox(), nullptr);
        EXPECT_EQ(t.lastBox()->text, c.deleted ? c.box + night : c.box);
        EXPECT_EQ(t.timeline.only("status").back(), "1550 " + statusEvent(RunStatus::kIdle));
        EXPECT_EQ(t.shots(), Strings{"0 shot 1 line 2 pass 0"});
    }
}

// A run stopped by an error in the middle of a shot leaves nothing pending to the next run: after Stop was
// asked for it, the next run goes on by itself and its Stop acts at once; with its pictures queued (at
// 520 ms) or counted (at 600 ms), the next run's pictures take their own numbers.
TEST(RunController, ARunAfterAnErrorInMidShotStartsAfresh) {
    const struct {
        unsigned errorAt;
        bool stopFirst, stopAgain;
    } cases[] = {{1100, true, false}, {1100, true, true}, {520, false, false}, {600, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.errorAt << c.stopFirst << c.stopAgain);
        RunProgram t(c.stopFirst ? "bulb" : "bulb picturesPerShot=2");
        t.answerYes();
        Strings lines{line().delay(c.stopFirst ? 10 : 0).speed("1/250")};
        if (c.stopFirst) lines.push_back(lines[0]);
        t.start(lines);
        t.runFor(c.errorAt);
        if (c.stopFirst)
            t.window.click(kStartButton); // during the first shot: carried out once it is complete
        reportError(t.program, t.window, kErrorDownloadTimeout, 3502);
        Strings expected = t.pictures();
        t.runFor(c.stopFirst ? 0 : 2000);
        t.window.click(kStartButton);
        t.runFor(500);
        if (c.stopAgain) {
            t.window.click(kStartButton);
            EXPECT_EQ(std::tuple(t.program.run.status, t.program.run.running),
                      std::tuple(RunStatus::kAborted, false));
            continue;
        }
        t.runFor(5000);
        EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
        if (c.stopFirst) continue;
        expected.insert(expected.end(), {"2026-12-06_21-00-02_0001.CR2", "2026-12-06_21-00-02_0002.JPG"});
        EXPECT_EQ(t.pictures(), expected);
    }
}

} // namespace
} // namespace orvex::test
