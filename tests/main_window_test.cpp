#include "tests/support/test_program.h"

#include <gtest/gtest.h>

namespace orvex::test {
namespace {

TEST(MainWindowStart, StateWithoutOptions) {
    TestProgram t;
    t.start();
    EXPECT_EQ(t.window.title(), "Corvane");
    EXPECT_EQ(t.window.itemText(kCameraField), "Not connected");
    EXPECT_EQ(t.program.run.status, kStatusIdle);
    EXPECT_EQ(t.window.listText(kSaveToList, t.window.listSelection(kSaveToList)), "Host");
    EXPECT_EQ(t.window.listText(kLockupList, t.window.listSelection(kLockupList)), "Off");
    for (int id : {kNextScriptButton, kPrevScriptButton, kReloadScriptButton, kStartButton, kPauseButton})
        EXPECT_FALSE(t.window.isItemEnabled(id)) << id;
    EXPECT_FALSE(t.window.isItemChecked(kLoopToggle));
    EXPECT_FALSE(t.window.isItemChecked(kDelayedToggle));
    EXPECT_FALSE(t.window.destroyed());
}

TEST(MainWindowStart, OnlyPortsThatOpenAreOffered) {
    TestProgram t;
    t.ports.names = {"ttyS0", "ttyUSB0", "ttyUSB1"};
    t.ports.unavailable = {"ttyUSB0"};
    t.start(R"(-serialport="ttyusb")");
    ASSERT_EQ(t.window.listCount(kSerialPortList), 3);
    EXPECT_EQ(t.window.listText(kSerialPortList, 0), "None");
    EXPECT_EQ(t.window.listText(kSerialPortList, 2), "ttyUSB1");
    EXPECT_EQ(t.window.listSelection(kSerialPortList), 2);
}

TEST(MainWindowStart, UnknownPortLeavesNoneSelected) {
    TestProgram t;
    t.ports.names = {"ttyS0"};
    t.start(R"(-serialport="COM3")");
    EXPECT_EQ(t.window.listSelection(kSerialPortList), 0);
}

TEST(MainWindowStart, LockupOption) {
    struct Case {
        const char* option;
        const char* selected;
    };
    for (const Case& c :
         {Case{"0", "Off"}, Case{"11", "Off"}, Case{"10", "10s"}, Case{"3", "3s"}, Case{"03", "Off"}}) {
        TestProgram t;
        t.start(std::string("-lockuptime=\"") + c.option + "\"");
        EXPECT_EQ(t.window.listText(kLockupList, t.window.listSelection(kLockupList)), c.selected)
            << c.option;
    }
}

TEST(MainWindowStart, LoopOption) {
    struct Case {
        const char* option;
        bool enabled;
        int count;
        bool infinite;
    };
    // The settings file gives no count here, so the default of 10 and "not infinite" stand.
    for (const Case& c : {Case{"1", false, 10, false}, Case{"10001", false, 10, false},
                          Case{"2", true, 2, false}, Case{"", true, 10, false}}) {
        TestProgram t;
        t.start(std::string("-loop=\"") + c.option + "\"");
        EXPECT_EQ(t.program.run.loopEnabled, c.enabled) << c.option;
        EXPECT_EQ(t.window.isItemChecked(kLoopToggle), c.enabled) << c.option;
        EXPECT_EQ(t.program.run.loopCount, c.count) << c.option;
        EXPECT_EQ(t.program.run.loopInfinite, c.infinite) << c.option;
    }
}

TEST(MainWindowStart, StartOption) {
    TestProgram late;
    late.start(R"(-start="24:00")");
    EXPECT_FALSE(late.program.run.delayedStart);

    TestProgram t;
    t.start(R"(-start="23:59")");
    EXPECT_TRUE(t.program.run.delayedStart);
    EXPECT_TRUE(t.window.isItemChecked(kDelayedToggle));
    EXPECT_EQ(t.program.run.startHour, 23);
    EXPECT_EQ(t.program.run.startMinute, 59);
    EXPECT_EQ(t.program.run.startSecond, 0);
}

TEST(MainWindowStart, SlaveCancelsTheDelayedStart) {
    TempDir dir;
    TestProgram t;
    const std::string script = dir.write("s.txt", scriptText({"50"}));
    t.start("-slave -start=\"10:00\" -load=\"" + script + "\"");
    EXPECT_TRUE(t.program.script.loaded);
    EXPECT_TRUE(t.program.slaveMode);
    EXPECT_TRUE(t.window.isItemChecked(kSlaveToggle));
    EXPECT_FALSE(t.program.run.delayedStart);
    EXPECT_FALSE(t.window.isItemChecked(kDelayedToggle));
    EXPECT_FALSE(t.window.isItemEnabled(kDelayedToggle));
    EXPECT_FALSE(t.program.run.running);
}

TEST(MainWindowStart, LoopOptionOverridesTheScriptsLoopLine) {
    TempDir dir;
    TestProgram t;
    const std::string script = dir.write("l.txt", scriptText({"Loop", "50"}));
    t.start("-loop=\"5\" -load=\"" + script + "\"");
    EXPECT_TRUE(t.program.run.loopEnabled);
    EXPECT_FALSE(t.program.run.loopInfinite);
    EXPECT_EQ(t.program.run.loopCount, 5);
}

TEST(MainWindowStart, ScriptThatCannotLoadLeavesTheRestOfTheCommandLine) {
    TestProgram t;
    t.start(R"(-load="/nowhere/x.txt" -prefix="m42" -start="")");
    EXPECT_FALSE(t.program.script.loaded);
    EXPECT_EQ(t.program.settings.imagePrefix, "m42");
    EXPECT_EQ(t.window.messageBoxes().size(), 1u);
    EXPECT_EQ(t.window.itemText(kStatusField), "");
    EXPECT_FALSE(t.program.run.running);
}

TEST(MainWindowCommands, TogglesAndSaveTo) {
    TestProgram t;
    t.start();
    t.window.click(kLoopToggle);
    EXPECT_TRUE(t.program.run.loopEnabled);
    EXPECT_TRUE(t.window.isItemChecked(kLoopToggle));
    t.window.click(kDelayedToggle);
    t.window.click(kDelayedToggle);
    EXPECT_FALSE(t.program.run.delayedStart);
    t.window.listSelectIndex(kSaveToList, 1);
    t.window.click(kSaveToList);
    EXPECT_FALSE(t.program.options.saveToHost);
}

TEST(MainWindowCommands, QuitIsRefusedDuringARun) {
    TestProgram t;
    t.start();
    t.program.run.running = true;
    t.window.send({MessageKind::Close, 0, {}});
    t.window.click(kMenuQuit);
    EXPECT_FALSE(t.window.destroyed());
    t.program.run.running = false;
    t.window.send({MessageKind::Close, 0, {}});
    EXPECT_TRUE(t.window.destroyed());
    EXPECT_EQ(t.window.exitCode(), 0);
}

TEST(MainWindowCommands, EscapeWithoutANextScriptDoesNothing) {
    TestProgram t;
    t.start();
    t.window.click(kCancelCommand);
    EXPECT_FALSE(t.window.destroyed());
    EXPECT_TRUE(t.window.messageBoxes().empty());
}

} // namespace
} // namespace orvex::test
