// The run carried through time: pauses, stops, chained scripts, restarts after an error, the tick wrap.
// Whole rehearsals whose timeline says it all are scenarios (tests/scenarios/).
#include "run/run_controller.h"
#include "run/run_end.h"
#include "run/status_display.h"
#include "run/transfer.h"
#include "tests/support/run_program.h"
#include "tests/support/window_items.h"

#include <algorithm>
#include <future>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <tuple>

namespace orvex::test {
namespace {

TEST(RunController, TimeOfDayEarlierThanNowIsAwaitedAfterMidnight) {
    RunProgram t(kSimulation, {2026, 12, 6, 23, 59, 58, 0});
    t.start({line().when("0:00:01"), line().when("23:59:59")});
    t.runFor(50);
    EXPECT_EQ(t.window.itemText(kWaitField), "3");
    t.runFor(3050); // then until tomorrow's 23:59:59
    EXPECT_EQ(itemTexts(t.window, {kStatusField, kWaitField}), (Strings{"Waiting", "23:59:58"}));
}

// A run started again within the second of a moment of the day it has shot (Reload, or Stop then Start)
// leaves that moment to tomorrow: its shot is not taken twice.
TEST(RunController, AMomentOfTheDayIsNotShotAgainByTheRunStartedAgainWithinItsSecond) {
    for (const int command : {kReloadScriptButton, kStartButton}) {
        SCOPED_TRACE(command);
        RunProgram t(kSimulation);
        t.answerYes();
        t.start({line().when("21:00:05"), line().when("21:00:10")});
        t.runFor(5100);
        t.window.click(command);
        if (command == kStartButton) t.window.click(kStartButton);
        t.runFor(1000);
        EXPECT_EQ(std::tuple(t.shots(), t.window.itemText(kWaitField)),
                  std::tuple(Strings{"5000 shot 1 line 2 pass 0"}, "23:59:59"));
    }
}

// UT checked in Parameters during a run, five hours west of Greenwich, moves the waits' clock on by five
// hours, past 22:00 universal time: neither a line of 22:00 nor a delayed start at 22:00 is due then.
TEST(RunController, UtCheckedDuringARunMakesNoMomentDue) {
    for (const char* commandLine : {"", "-start=\"22:00\""}) {
        SCOPED_TRACE(commandLine);
        RunProgram t(kSimulation, {2026, 12, 6, 20, 0, 0, 0}, 0, -300);
        t.start({line().when("22:00:00")}, commandLine);
        t.runFor(5000);
        t.program.run.settings.universalTime = true;
        t.runFor(5000);
        EXPECT_EQ(std::tuple(t.shots(), t.window.itemText(kWaitField)), std::tuple(Strings{}, "20:59:50"));
    }
}

// A line whose moment passes while paused is skipped and the next lines keep their schedule; a busy or
// suspended computer ticks late: a moment of the day passed meanwhile is shot at once, today, across midnight
// too, and the delays after it keep their schedule from it. A clock set back passes no moment. Delays count
// across the wrap of the 32-bit tick counter too.
TEST(RunController, PausesLateTicksAndTheTickWrapKeepTheSchedule) {
    const std::vector<std::string> every5s = {line().delay(0), line().delay(50), line().delay(50)};
    const Strings skipped = {"0 shot 1 line 2 pass 0", "10000 shot 2 line 4 pass 0"};
    const Strings onTime = {"0 shot 1 line 2 pass 0", "5000 shot 2 line 3 pass 0",
                            "10000 shot 3 line 4 pass 0"};
    const Strings lateThenDelays = {"7000 shot 1 line 2 pass 0", "7100 shot 2 line 3 pass 0",
                                    "9000 shot 3 line 4 pass 0"};
    const CivilTime at235926 = {2026, 12, 6, 23, 59, 26}, at235947 = {2026, 12, 6, 23, 59, 47},
                    at2100 = {2026, 12, 6, 21, 0, 0, 0};
    // The lines, pause, lateMs: no tick for that long from 3 s on (below 0, the clock is set back that long
    // at 3 s), the start tick, the shots, the start.
    const std::tuple<Strings, bool, int, std::uint32_t, Strings, CivilTime> cases[] = {
        {{line().when("21:00:05")}, false, 4000, 0, {"7000 shot 1 line 2 pass 0"}, at2100},
        {{line().when("21:00:05"), line().delay(10), line().delay(30)},
         false,
         4000,
         0,
         lateThenDelays,
         at2100},
        {{line().when("23:59:30")}, false, 32000, 0, {"35000 shot 1 line 2 pass 0"}, at235926},
        {{line().when("00:00:30")}, false, 55000, 0, {"58000 shot 1 line 2 pass 0"}, at235947},
        {{line().when("21:00:08")}, false, -1000, 0, {"9000 shot 1 line 2 pass 0"}, at2100},
        {every5s, true, 0, 0, skipped, at2100},
        {every5s, true, 4000, 0, skipped, at2100},
        {every5s, false, 0, 0xFFFFF000u, onTime, at2100}, // the tick wraps after 4 s
    };
    for (const auto& [lines, pause, lateMs, startTick, shots, start] : cases) {
        SCOPED_TRACE(::testing::Message() << pause << " late " << lateMs << " tick " << startTick);
        RunProgram t(kSimulation, start, startTick);
        t.start(lines);
        t.runFor(1000);
        if (pause) t.window.click(kPauseButton);
        EXPECT_EQ(t.window.itemText(kPauseButton), pause ? "Resume" : "Pause");
        t.runFor(2000);
        if (lateMs < 0) t.clock.setTimeBy(lateMs);
        lateMs > 0 ? t.clock.sleep(lateMs) : t.runFor(4000);
        t.runFor(100);
        if (pause) t.window.click(kPauseButton);
        t.runFor(10000);
        EXPECT_EQ(t.shots(), shots);
        EXPECT_EQ(std::ranges::count(t.timeline.events(), "1050 " + statusEvent(RunStatus::kPaused)),
                  pause ? 1 : 0);
        EXPECT_EQ(std::tuple(t.program.run.status, t.window.hasTimer(kTimerRun)),
                  std::tuple(RunStatus::kCompleted, false));
        EXPECT_TRUE(std::filesystem::is_directory(t.dir.path() / "Simulation"));
    }
}

// Summer time: the clock set on over moments of the day takes them at once, in the order of their lines, and
// the night goes on as planned (a moment after them, then an earlier one for tomorrow). Winter time: a daily
// moment the clock set back comes to a second time is taken once.
TEST(RunController, SummerTimeTakesTheSkippedMomentsAtOnceAndWinterTimeARepeatedOneOnce) {
    RunProgram spring(kSimulation, {2026, 3, 29, 1, 59, 58});
    spring.start(
        {line().when("2:30:00"), line().when("2:45:00"), line().when("3:00:05"), line().when("2:40")});
    spring.runFor(2000);
    spring.clock.setTimeBy(3600 * 1000);
    spring.runFor(10000);
    EXPECT_EQ(std::tuple(spring.shots(), spring.window.itemText(kWaitField)),
              std::tuple(Strings{"2050 shot 1 line 2 pass 0", "2150 shot 2 line 3 pass 0",
                                 "7000 shot 3 line 4 pass 0"},
                         "23:39:50"));
    // The night log has them fall due as the clock jumped past them, not an hour before.
    EXPECT_THAT(
        spring.dir.read(spring.program.nightLog->path()),
        testing::AllOf(testing::HasSubstr("T03:00:00.000+00:00\t2026-03-29T03:00:00.050+00:00\t50.0\t"),
                       testing::HasSubstr("T03:00:00.000+00:00\t2026-03-29T03:00:00.150+00:00\t150.0\t")));

    RunProgram autumn(kSimulation, {2026, 10, 25, 2, 29, 58});
    autumn.start({line().when("2:30:00"), "Loop"});
    autumn.runFor(60000);
    autumn.clock.setTimeBy(-3600 * 1000);
    autumn.runFor(3600 * 1000);
    EXPECT_EQ(autumn.shots(), Strings{"2000 shot 1 line 2 pass 0"});
}

// On the night the zone changes, the wait for a time of day after the change, or for a delayed start then,
// shows the time that will pass: an hour more in autumn, an hour less in spring; and a time of day already
// passed in the hour the clock goes back over comes again within the hour, not tomorrow.
TEST(RunController, TheWaitAcrossASummerTimeChangeShowsTheTimeThatWillPass) {
    const CivilTime autumn = {2026, 10, 25, 1, 0, 0}, spring = {2027, 3, 28, 1, 0, 0}; // universal time
    const std::tuple<CivilTime, CivilTime, int, int, const char*, const char*, const char*> cases[] = {
        {{2026, 10, 25, 1, 0, 0}, autumn, 120, 60, "4:00:00", "", "4:00:00"},
        {{2026, 10, 25, 1, 0, 0}, autumn, 120, 60, "4:00:00", "-start=\"04:00\"", "4:00:00"},
        {{2026, 10, 24, 22, 0, 0}, autumn, 120, 60, "21:00:00", "", "24:00:00"},
        {{2026, 10, 25, 2, 45, 0}, autumn, 120, 60, "2:30:00", "", "45:00"},
        {{2027, 3, 28, 1, 0, 0}, spring, 60, 120, "4:00:00", "", "2:00:00"},
    };
    for (const auto& [start, change, offsetBefore, offsetAfter, when, commandLine, wait] : cases) {
        SCOPED_TRACE(::testing::Message() << start.day << ' ' << start.hour << ' ' << commandLine);
        RunProgram t(kSimulation, start, 0, offsetBefore);
        t.clock.changeUtcOffsetAt(msFromCivil(change), offsetAfter);
        t.start({line().when(when)}, commandLine);
        t.runFor(50);
        EXPECT_EQ(t.window.itemText(kWaitField), wait);
    }
}

// A picture later than its time-out stops the run in error, and is stored all the same when it comes: the
// shot the run stopped in is owed it.
TEST(RunController, APictureLaterThanItsTimeOutIsStoredWhenItComes) {
    RunProgram t("bulb processingMs=20000");
    t.start({line().delay(0).speed("1/250")});
    t.runFor(15000);
    ASSERT_EQ(std::tuple(t.program.run.status, t.pictures().size()), std::tuple(RunStatus::kError, 0u));
    t.runFor(10000);
    EXPECT_EQ(t.pictures().size(), 1u);
}

// Stop, once confirmed, aborts a paused run between shots at once (paused no more), and one waiting for the
// user's own release; during an exposure it waits for the picture, Start greyed meanwhile. A picture the body
// handed over during the wait (a RAW's JPEG, late) is filed all the same.
TEST(RunController, StopAbortsBetweenShotsAtOnceAndDuringAnExposureOnceThePictureIsIn) {
    const std::tuple<std::string, std::string, unsigned, std::size_t> cases[] = {
        {"paused", kSimulation, 1000, 0},
        {"exposing", "bulb", 1000, 1},
        {"manual release", "bulb", 1000, 0},
        {"a late file in", "bulb picturesPerShot=2 fileGapMs=1500", 3000, 2}};
    for (const auto& [when, body, stopAt, pictures] : cases) {
        SCOPED_TRACE(when);
        const bool exposing = when == "exposing", manual = when == "manual release";
        RunProgram t(body);
        t.start({line().delay(0).speed(exposing ? "10" : "1/250"), line().delay(600)}, "", [&] {
            if (manual) t.window.listSelectPrefix(kLockupList, "Manu");
        });
        t.runFor(stopAt);
        if (when == "paused") t.window.click(kPauseButton);
        ASSERT_EQ(t.program.run.status == RunStatus::kManualRelease, manual);
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
                  std::tuple(RunStatus::kAborted, false, false, "Start", "Pause", pictures));
    }
}

// Stop confirmed only once the run has ended under its box (its last line taken, the body switched off)
// leaves the end the run came to.
TEST(RunController, StopConfirmedAfterTheRunEndedKeepsItsEnd) {
    for (const RunStatus end : {RunStatus::kCompleted, RunStatus::kCameraGone}) {
        SCOPED_TRACE(static_cast<int>(end));
        RunProgram t("bulb");
        t.window.answer = [&](const MessageBoxRecord&) {
            if (end == RunStatus::kCameraGone) t.camera->switchOff();
            t.runFor(3000);
            return BoxAnswer::Yes;
        };
        t.start({line().delay(0).speed("1/250"), line().delay(20).speed("1/250")});
        t.runFor(1000);
        t.window.click(kStartButton);
        EXPECT_EQ(std::tuple(t.program.run.status, t.program.run.running), std::tuple(end, false));
    }
}

// Start pressed again while the stopped run's picture still crosses the link leaves the window free: the run
// begins once the picture is filed, unless slave mode was chosen or Stop pressed meanwhile. A body switched
// off meanwhile (-1) has that picture's loss told then, and nothing left to the count of the next run.
TEST(RunController, StartWhileTheLastPictureIsComingBeginsOnceItIsIn) {
    for (const int meanwhile : {0, int{kSlaveToggle}, int{kStartButton}, -1}) {
        SCOPED_TRACE(meanwhile);
        RunProgram t("bulb downloadMBps=1");
        std::promise<void> begun, linkFree; // the link stays busy until linkFree is set
        t.downloadPace = [&begun, free = linkFree.get_future().share()](unsigned) {
            begun.set_value();
            free.wait();
        };
        t.program.transfersTakeNoTime = false;
        t.start({line().delay(0).speed("1/250"), line().delay(600)});
        t.runFor(1000);
        begun.get_future().wait();
        t.runFor(2000);
        ASSERT_EQ(std::tuple(t.program.run.status, t.program.transferWorker.busy()),
                  std::tuple(RunStatus::kDelayWait, true));
        t.answerYes();
        t.window.click(kStartButton);
        if (meanwhile < 0) {
            t.camera->switchOff();
        } else {
            t.window.click(kStartButton);
            EXPECT_EQ(itemTexts(t.window, {kStatusField, kStartButton}), (Strings{"Saving", "Stop"}));
            EXPECT_FALSE(t.program.run.running);
            if (meanwhile) t.window.click(meanwhile);
        }
        linkFree.set_value();
        t.program.transferWorker.join();
        t.runFor(meanwhile < 0 ? 100 : 50);
        if (meanwhile < 0) {
            ASSERT_NE(t.lastBox(), nullptr);
            EXPECT_EQ(std::tuple(t.lastBox()->text, t.program.run.downloadsFailed.load()),
                      std::tuple("Pictures that could not be downloaded: 1", 0));
            continue;
        }
        EXPECT_EQ(std::tuple(t.program.run.running, t.program.run.shotCount.load(), t.pictures().front()),
                  std::tuple(!meanwhile, 1, "2026-12-06_21-00-00_0001.JPG"));
        EXPECT_EQ(t.window.itemText(kStartButton), meanwhile ? "Start" : "Stop");
    }
}

// Reload and Next start the run again from a wait: a picture the body handed over during that wait (a RAW's
// JPEG, late) is filed with its shot, in its script's folder, before the run counts from nothing.
TEST(RunController, ARunStartedAgainFilesThePicturesHandedOverBefore) {
    const Strings first = {"2026-12-06_21-00-00_0001.CR2", "2026-12-06_21-00-00_0002.JPG"},
                  again = {"2026-12-06_21-00-03_0001.CR2"}, both = {first[0], first[1], again[0]};
    for (const int command : {kReloadScriptButton, kNextScriptButton}) {
        SCOPED_TRACE(command);
        RunProgram t("bulb picturesPerShot=2 fileGapMs=1500");
        std::filesystem::create_directory(t.dir.path() / "dawn");
        t.dir.write("dawn/dawn.txt", scriptText({line().delay(0), line().delay(600)}));
        t.dir.write("night.next", "dawn/dawn.txt");
        t.start({line().delay(0).speed("1/250"), line().delay(600)});
        const std::string night = pictureFolder(t.program);
        t.runFor(3000);
        t.window.click(command);
        t.runFor(3000);
        EXPECT_EQ(std::tuple(t.pictures(night), t.pictures()),
                  command == kReloadScriptButton ? std::tuple(both, both) : std::tuple(first, again));
    }
}

// Reload and Next once the delayed start time has come start the run again at once, not at that time
// tomorrow; pressed while the start is still awaited, the run waits for it as before.
TEST(RunController, ARunStartedAgainAfterItsDelayedStartBeginsAtOnce) {
    const Strings startedAgain = {"2000 shot 1 line 2 pass 0", "7000 shot 2 line 3 pass 0",
                                  "8050 shot 1 line 2 pass 0", "13050 shot 2 line 3 pass 0"};
    const std::tuple<int, unsigned, Strings> cases[] = {
        {kReloadScriptButton, 8000, startedAgain},
        {kNextScriptButton, 8000, startedAgain},
        {kReloadScriptButton, 1000, {"2000 shot 1 line 2 pass 0", "7000 shot 2 line 3 pass 0"}},
    };
    for (const auto& [command, pressedAt, shots] : cases) {
        SCOPED_TRACE(::testing::Message() << command << " at " << pressedAt);
        RunProgram t(kSimulation, {2026, 12, 6, 20, 59, 58, 0});
        const std::vector<std::string> lines = {line().delay(0), line().delay(50), line().delay(600)};
        t.dir.write("dawn.txt", scriptText(lines));
        t.dir.write("night.next", "dawn.txt");
        t.start(lines, "-start=\"21:00\"");
        t.runFor(pressedAt);
        t.window.click(command);
        t.runFor(15000 - pressedAt);
        EXPECT_EQ(t.shots(), shots);
    }
}

// Next pressed during a run's last shot, or before its Stop, dies with that run: the next Start runs the
// script loaded, not the one linked to it.
TEST(RunController, ANextLeftPendingByARunThatEndedIsNotTheNextRunsOwn) {
    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop);
        RunProgram t;
        t.answerYes();
        t.dir.write("dawn.txt", scriptText({line().delay(0)}));
        t.dir.write("night.next", "dawn.txt");
        t.start({line().delay(0), line().delay(20).speed("1")});
        t.runFor(2500);
        t.window.click(kNextScriptButton);
        if (stop) t.window.click(kStartButton);
        t.runFor(2000);
        t.window.click(kStartButton);
        t.runFor(4000);
        EXPECT_EQ(t.program.script.path, (t.dir.path() / "night.txt").string());
    }
}

// Start asks before running a script changed since it was loaded (one that is gone has nothing to reload);
// a body switched off under that question leaves no run to start, and no box about a body not there.
TEST(RunController, ModifiedScriptAsksBeforeStarting) {
    for (const auto& [deleted, off, answer] : {std::tuple{false, false, BoxAnswer::No},
                                               {true, false, BoxAnswer::No},
                                               {false, true, BoxAnswer::Yes},
                                               {false, true, BoxAnswer::No}}) {
        SCOPED_TRACE(::testing::Message() << deleted << off << static_cast<int>(answer));
        RunProgram t(off ? "bulb" : kSimulation);
        t.window.answer = [&t, off = off, answer = answer](const MessageBoxRecord&) {
            if (off) t.camera->switchOff(), t.runFor(100);
            return answer;
        };
        t.start({line().delay(0)}, "",
                [&t, deleted = deleted] { // or as if the file changed since it was loaded
                    deleted ? (void)std::filesystem::remove(t.dir.path() / "night.txt")
                            : (void)(t.program.script.lastWrite = 1);
                });
        t.runFor(off ? 1000 : 0);
        ASSERT_EQ(t.window.messageBoxes().size(), deleted ? 0u : 1u);
        EXPECT_EQ(deleted ? "Warning" : t.window.messageBoxes()[0].caption, "Warning");
        const auto& r = t.program.run;
        EXPECT_EQ(std::tuple(r.shotCount.load(), r.status == RunStatus::kIdle && !r.running),
                  std::tuple(off ? 0 : 1, off));
    }
}

// A request pressed during the first shot's 1 s exposure. One that cannot be carried out (Next, Prev. or
// Escape when the link cannot be followed; a link holding only a line end is an empty file) skips no line and
// a box says why. A script that fails to load, asked for as the next of the chain or reloaded after it was
// deleted or broken, leaves the run no lines: it stops there on the load's error, and no line of either
// script is taken after it (the failing script's line 3 was read). Either way the body's controls are given
// back at the end.
TEST(RunController, ARequestDuringAShotThatCannotBeCarriedOutSkipsNothingAndAFailedLoadStopsTheRun) {
    const Strings everyLine = {"0 shot 1 line 2 pass 0", "5000 shot 2 line 3 pass 0",
                               "10000 shot 3 line 4 pass 0", "15000 shot 4 line 5 pass 0"};
    // The link beside night.txt, naming dawn.txt when loaded; its content at the press (nullptr: removed);
    // the command; night.txt at the press ("kept", "deleted" or "broken"); the last box's text, % standing
    // for the folder; whether the run stops.
    const std::tuple<const char*, const char*, int, const char*, std::string, bool> cases[] = {
        {"night.next", nullptr, kNextScriptButton, "kept", "Unable to access file %/night.next", false},
        {"night.prev", "", kPrevScriptButton, "kept", "%/night.prev\rEmpty file !", false},
        {"night.prev", "\n", kPrevScriptButton, "kept", "%/night.prev\rEmpty file !", false},
        {"night.next", nullptr, kCancelCommand, "kept", "Unable to access file %/night.next", false},
        {"night.next", "dawn.txt", kNextScriptButton, "kept", "invalid delay at line 4 !", true},
        {"night.next", "dawn.txt", kReloadScriptButton, "deleted", "Unable to access file %/night.txt", true},
        {"night.next", "dawn.txt", kReloadScriptButton, "broken", "invalid delay at line 3 !", true},
    };
    for (const auto& [link, content, command, night, box, stops] : cases) {
        SCOPED_TRACE(::testing::Message() << link << " holding " << ::testing::PrintToString(content)
                                          << ", command " << command << ", night.txt " << night);
        RunProgram t;
        // The user reads the box for three seconds, while the window's events, the run's ticks among them, go
        // on.
        t.window.answer = [&t](const MessageBoxRecord&) {
            t.runFor(3000);
            return BoxAnswer::Ok;
        };
        t.dir.write("dawn.txt", scriptText({line().delay(0), line().delay(50), line().when("nonsense")}));
        t.dir.write(link, "dawn.txt");
        const auto next = line().delay(50).speed("1/250");
        t.start({line().delay(0).speed("1"), next, next, next});
        content ? (void)t.dir.write(link, content) : (void)std::filesystem::remove(t.dir.path() / link);
        if (night == std::string("deleted")) std::filesystem::remove(t.dir.path() / "night.txt");
        if (night == std::string("broken"))
            t.dir.write("night.txt", scriptText({line().delay(0), line().when("nonsense")}));
        t.runFor(500);
        t.window.click(command);
        t.runFor(16000);
        EXPECT_EQ(t.shots(), stops ? Strings{everyLine[0]} : everyLine);
        ASSERT_NE(t.lastBox(), nullptr);
        std::string told = box;
        if (const auto at = told.find('%'); at != std::string::npos)
            told.replace(at, 1, t.dir.path().string());
        EXPECT_EQ(t.lastBox()->text, told);
        const RunStatus end = stops ? RunStatus::kIdle : RunStatus::kCompleted;
        EXPECT_EQ(std::tuple(t.timeline.only("status").back(), t.program.run.running, t.program.run.status,
                             t.window.hasTimer(kTimerRun), t.camera->controlsLocked()),
                  std::tuple((stops ? "1550 " : "15600 ") + statusEvent(end), false, end, false, false));
    }
}

// A run stopped by an error in the middle of a shot leaves nothing pending to the next run: after Stop was
// asked for it, the next run goes on by itself and its Stop acts at once; with its pictures queued (at
// 520 ms) or counted (at 600 ms), the next run's pictures take their own numbers.
TEST(RunController, ARunAfterAnErrorInMidShotStartsAfresh) {
    const std::tuple<unsigned, bool, bool> cases[] = {
        {1100, true, false}, {1100, true, true}, {520, false, false}, {600, false, false}};
    for (const auto& [errorAt, stopFirst, stopAgain] : cases) {
        SCOPED_TRACE(::testing::Message() << errorAt << stopFirst << stopAgain);
        RunProgram t(stopFirst ? "bulb" : "bulb picturesPerShot=2");
        t.answerYes();
        Strings lines{line().delay(stopFirst ? 10 : 0).speed("1/250")};
        if (stopFirst) lines.push_back(lines[0]);
        t.start(lines);
        t.runFor(errorAt);
        if (stopFirst) t.window.click(kStartButton); // during the first shot: carried out once it is complete
        reportError(t.program, t.window, kErrorDownloadTimeout, 3502);
        Strings expected = t.pictures();
        t.runFor(stopFirst ? 0 : 2000);
        t.window.click(kStartButton);
        t.runFor(500);
        if (stopAgain) {
            t.window.click(kStartButton);
            EXPECT_EQ(std::tuple(t.program.run.status, t.program.run.running),
                      std::tuple(RunStatus::kAborted, false));
            continue;
        }
        t.runFor(5000);
        EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
        if (stopFirst) continue;
        expected.insert(expected.end(), {"2026-12-06_21-00-02_0001.CR2", "2026-12-06_21-00-02_0002.JPG"});
        EXPECT_EQ(t.pictures(), expected);
    }
}

} // namespace
} // namespace orvex::test
