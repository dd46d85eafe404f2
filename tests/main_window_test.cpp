#include "tests/support/test_program.h"

#include <gtest/gtest.h>

#include <tuple>

namespace orvex::test {
namespace {

std::string chosen(const HeadlessWindow& w, int list) {
    return w.listText(list, w.listSelection(list));
}

TEST(MainWindowStart, StateWithoutOptionsAndItsCommands) {
    TestProgram t;
    t.start();
    EXPECT_EQ(t.window.title(), "Corvane");
    EXPECT_EQ(t.program.run.status, RunStatus::kIdle);
    for (int id : {kNextScriptButton, kPrevScriptButton, kReloadScriptButton, kStartButton, kPauseButton})
        EXPECT_FALSE(t.window.isItemEnabled(id)) << id;

    t.window.click(kCancelCommand); // Escape without a next script
    EXPECT_FALSE(t.window.destroyed());
    EXPECT_TRUE(t.window.messageBoxes().empty());

    t.window.click(kLoopToggle);
    EXPECT_TRUE(t.program.run.settings.loopEnabled && t.window.isItemChecked(kLoopToggle));
    t.window.click(kDelayedToggle);
    t.window.click(kDelayedToggle);
    EXPECT_FALSE(t.program.run.settings.delayedStart);
    t.window.listSelectIndex(kSaveToList, 1);
    t.window.click(kSaveToList);
    EXPECT_FALSE(t.program.options.saveToHost);

    t.program.run.running = true;
    t.program.run.detection.level = 100;
    t.window.post({MessageKind::User, kUserDetectionLevel, {}});
    t.window.pump();
    EXPECT_EQ(t.window.progress(kLevelBar), 100) << "a level posted reaches its bar";
    t.window.send({MessageKind::Close, 0, {}});
    t.window.click(kMenuQuit);
    EXPECT_FALSE(t.window.destroyed()) << "no quitting during a run";
    t.program.run.running = false;
    t.window.send({MessageKind::Close, 0, {}});
    EXPECT_TRUE(t.window.destroyed());
    EXPECT_EQ(t.window.exitCode(), 0);
}

// The settings file gives no loop count here, so the default of 10 and "not infinite" stand; only ports
// that open are offered. "03" is no entry of the lock-up list.
TEST(MainWindowStart, EachOptionSetsItsControl) {
    // The command line, the lock-up chosen, loop, loop count, delayed start, serial port chosen.
    const std::tuple<const char*, const char*, bool, int, bool, int> cases[] = {
        {"", "Off", false, 10, false, 0}, // no option: the defaults
        {R"(-lockuptime="0")", "Off", false, 10, false, 0},
        {R"(-lockuptime="11")", "Off", false, 10, false, 0},
        {R"(-lockuptime="10")", "10s", false, 10, false, 0},
        {R"(-lockuptime="03")", "Off", false, 10, false, 0},
        {R"(-loop="1")", "Off", false, 10, false, 0},
        {R"(-loop="10001")", "Off", false, 10, false, 0},
        {R"(-loop="2")", "Off", true, 2, false, 0},
        {R"(-loop="10000")", "Off", true, 10000, false, 0},
        {R"(-loop="")", "Off", true, 10, false, 0},
        {R"(-start="23:59")", "Off", false, 10, true, 0},
        {R"(-serialport="ttyusb")", "Off", false, 10, false, 2},
        {R"(-serialport="COM3")", "Off", false, 10, false, 0},
    };
    for (const auto& [commandLine, lockup, loop, loopCount, delayed, port] : cases) {
        SCOPED_TRACE(commandLine);
        TestProgram t;
        t.ports.names = {"ttyS0", "ttyUSB0", "ttyUSB1"};
        t.ports.unavailable = {"ttyUSB0"};
        t.start(commandLine);
        const auto& s = t.program.run.settings;
        const HeadlessWindow& w = t.window;
        EXPECT_EQ(std::tuple(chosen(w, kLockupList), s.loopEnabled, w.isItemChecked(kLoopToggle), s.loopCount,
                             s.loopInfinite, s.delayedStart, w.isItemChecked(kDelayedToggle)),
                  std::tuple(std::string(lockup), loop, loop, loopCount, false, delayed, delayed));
        if (delayed) {
            EXPECT_EQ(std::tuple(s.startHour, s.startMinute, s.startSecond), std::tuple(23, 59, 0));
        }
        ASSERT_EQ(w.listCount(kSerialPortList), 3);
        EXPECT_EQ(std::tuple(w.listText(kSerialPortList, 0), w.listText(kSerialPortList, 2),
                             w.listSelection(kSerialPortList)),
                  std::tuple("None", "ttyUSB1", port));
    }
}

// Slave mode cancels the delayed start; the loop option overrides the script's loop line.
TEST(MainWindowStart, SlaveCancelsTheDelayedStartAndTheLoopOptionOverridesTheScript) {
    TempDir dir;
    TestProgram t;
    const std::string script = dir.write("s.txt", scriptText({"Loop", "50"}));
    t.start("-slave -start=\"10:00\" -loop=\"5\" -load=\"" + script + "\"");
    EXPECT_TRUE(t.program.script.loaded && t.program.slaveMode && t.window.isItemChecked(kSlaveToggle));
    const auto& s = t.program.run.settings;
    EXPECT_FALSE(s.delayedStart || t.window.isItemChecked(kDelayedToggle) ||
                 t.window.isItemEnabled(kDelayedToggle));
    EXPECT_FALSE(t.program.run.running);
    EXPECT_EQ(std::tuple(s.loopEnabled, s.loopInfinite, s.loopCount), std::tuple(true, false, 5));
}

TEST(MainWindowStart, ScriptThatCannotLoadLeavesTheRestOfTheCommandLine) {
    TestProgram t;
    t.start(R"(-load="/nowhere/x.txt" -prefix="m42" -start="")");
    EXPECT_FALSE(t.program.script.loaded || t.program.run.running);
    EXPECT_EQ(t.program.settings.imagePrefix, "m42");
    EXPECT_EQ(t.window.messageBoxes().size(), 1u);
    EXPECT_EQ(t.window.itemText(kStatusField), "");
}

} // namespace
} // namespace orvex::test
