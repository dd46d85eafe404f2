// The main window's rules on the records they read alone, drawn into a headless window of the main template;
// then the whole program's main window as the command line starts it.
#include "camera/camera_model.h"
#include "core/catalogue.h"
#include "platform/headless/headless_window.h"
#include "resources/main_dialog.h"
#include "tests/support/test_program.h"
#include "tests/support/window_items.h"
#include "ui/main_controls.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace orvex::test {
namespace {

using namespace colours;

struct Controls : ::testing::Test {
    RunState run;
    CameraSession camera;
    Script script;
    StartupOptions options;
    std::vector<std::string> ports;
    bool slave = false;
    HeadlessWindow w{[](Window&, const DialogMessage&) {}};
    void SetUp() override { w.create(MAIN_DIALOG); }
    MainView view() const { return {run, camera, script, options, ports, slave, kEnglish}; }
    void refresh() { updateMainControls(view(), w); }
};

// Start needs a script, a camera and no slave mode, or a run to stop; the picture menu works on the pictures
// this computer received; the value fields are emptied before a run's first shot and once the script or the
// camera that they describe is gone.
TEST_F(Controls, ControlsFollowTheScriptTheCameraAndTheRun) {
    const std::tuple<const char*, bool, bool, bool, bool, bool, int, bool, bool, bool> cases[] = {
        {"ready", true, true, false, false, true, 3, true, true, false},
        {"slave, no shot yet", true, true, true, false, true, 0, false, true, true},
        {"no script", false, true, false, false, true, 3, false, false, true},
        {"no camera", true, false, false, false, true, 3, false, false, true},
        {"running", false, false, true, true, true, 3, true, false, true},
        {"saving to the card", true, true, false, false, false, 3, true, false, false},
    };
    for (const auto& [what, loaded, connected, isSlave, running, saveToHost, shots, startEnabled,
                      browseEnabled, fieldsEmptied] : cases) {
        SCOPED_TRACE(what);
        script.loaded = loaded, camera.connected = connected, slave = isSlave, run.running = running;
        options.saveToHost = saveToHost, run.shotCount = shots;
        w.setItemText(kSpeedField, "1/250"), w.setItemText(kShotsField, "3");
        refresh();
        EXPECT_EQ(std::tuple(w.isItemEnabled(kStartButton), w.itemText(kStartButton)),
                  std::tuple(startEnabled, running ? "Stop" : "Start"));
        EXPECT_EQ(enabledEntries(w, {kMenuBrowse, kMenuErase, kMenuPlan}),
                  (std::vector{browseEnabled, browseEnabled, loaded}));
        EXPECT_EQ(itemTexts(w, {kSpeedField, kShotsField}),
                  (std::vector<std::string>{fieldsEmptied ? "" : "1/250", fieldsEmptied ? "" : "3"}));
    }
    // What must not change during a run is greyed, and so is Erase, which would take the run's pictures.
    script.loaded = camera.connected = run.running = options.saveToHost = true;
    refresh();
    EXPECT_EQ(enabledItems(w, {kConnectButton, kSerialPortList, kDelayedToggle, kSlaveToggle, kSaveToList,
                               kPauseButton}),
              (std::vector{false, false, false, false, false, true}));
    EXPECT_EQ(w.itemText(kConnectButton), "Disconnect");
    EXPECT_EQ(enabledEntries(w, {kMenuQuit, kMenuLoad, kMenuCamera, kMenuSetTimeLT, kMenuSetTimeUT,
                                 kMenuErase, kMenuModify, kMenuBrowse}),
              (std::vector{false, false, false, false, false, false, true, true}));
    EXPECT_FALSE(w.closeEnabled() || w.dropsAccepted());
}

TEST_F(Controls, TheCameraDecidesSaveToLockupAndLiveView) {
    // The model, a burst in the script, simulation, live view; then Save to, Lock-up, Live view and the LV
    // zoom list enabled.
    const std::tuple<int, bool, bool, bool, std::vector<bool>> cases[] = {
        {kModel300D, false, false, false, {false, false, false, false}},
        {kModel10D, false, false, false, {false, true, false, false}},
        {kModelUnknown, true, true, false, {false, true, true, false}},
        {kModelUnknown, false, false, true, {true, true, true, true}}};
    camera.connected = true;
    for (const auto& [model, burst, simulation, liveView, enabled] : cases) {
        camera.rules = modelRules(model);
        script.hasBurst = burst, options.simulation = simulation, camera.liveViewAvailable = liveView;
        refresh();
        EXPECT_EQ(enabledItems(w, {kSaveToList, kLockupList, kLiveViewButton, kZoomList}), enabled) << model;
    }
}

// Each coloured field follows what it shows, step by step: the camera its link and its battery (the two
// thresholds, and mains power); the status the states a user must tell apart at a glance from across the
// room; the shot count a late shot; a value field what is left to the body or differs from the script.
TEST_F(Controls, FieldColoursFollowWhatTheyShow) {
    using enum RunStatus;
    options.simulation = true;
    camera.batteryLevel = 5;
    run.shotCount = 2;
    const auto battery = [this](int level) { return [this, level] { camera.batteryLevel = level; }; };
    const auto status = [this](RunStatus s) { return [this, s] { run.status = s; }; };
    const std::tuple<std::function<void()>, int, FieldColour> steps[] = {
        {[&] { camera.connected = false; }, kCameraField, {red, white}},
        {[&] { camera.connected = true; }, kCameraField, {green, {}}}, // simulation: the battery aside
        {[&] { options.simulation = false; }, kCameraField, {orange, {}}},
        {battery(10), kCameraField, {orange, {}}},
        {battery(11), kCameraField, {yellow, {}}},
        {battery(30), kCameraField, {yellow, {}}},
        {battery(31), kCameraField, {green, {}}},
        {battery(kBatteryMains), kCameraField, {green, {}}},
        {status(kError), kStatusField, {red, white}},
        {status(kPaused), kStatusField, {black, white}},
        {status(kExposure), kStatusField, {cyan, {}}},
        {status(kPictureWait), kStatusField, {cyan, {}}},
        {status(kIdle), kStatusField, {}},
        {status(kTimeWait), kStatusField, {}},
        {[] {}, kShotsField, {}},
        {[&] { run.running = true; }, kShotsField, {green, {}}},
        {[&] { run.wait.late = true; }, kShotsField, {red, white}},
        {[&] { run.fields.iso.leftToCamera = true; }, kIsoField, {lightBeige, orange}},
        {[&] { run.fields.iso.differs = true; }, kIsoField, {lightBeige, red}},
        {[] {}, kApertureField, {}},
        {[] {}, kStatusLabel, {}},
    };
    int step = 0;
    for (const auto& [change, field, expected] : steps) {
        change();
        EXPECT_EQ(colourField(view(), field), expected) << "step " << step++;
    }
}

TEST_F(Controls, DetectionLevelBarColours) {
    run.running = true;
    for (const auto& [level, colour] : {std::pair{49, green}, {50, yellow}, {99, yellow}, {100, red}}) {
        run.detection.level = level;
        showDetectionLevel(run, w);
        EXPECT_EQ(std::tuple(w.progressColour(kLevelBar), w.progress(kLevelBar), w.isItemShown(kLevelBar),
                             w.isItemShown(kWaitField)),
                  std::tuple(colour, level, true, false))
            << level;
    }
    run.running = false;
    refresh();
    EXPECT_EQ(std::pair(w.isItemShown(kLevelBar), w.isItemShown(kWaitField)), std::pair(false, true));
}

TEST(MainWindowStart, StateWithoutOptionsAndItsCommands) {
    TestProgram t;
    t.start();
    EXPECT_EQ(std::tuple(t.window.title(), t.program.run.status), std::tuple("Corvane", RunStatus::kIdle));
    EXPECT_EQ(enabledItems(t.window, {kNextScriptButton, kPrevScriptButton, kReloadScriptButton, kStartButton,
                                      kPauseButton}),
              std::vector<bool>(5, false));

    t.window.click(kCancelCommand); // Escape without a next script
    EXPECT_EQ(std::tuple(t.window.destroyed(), t.window.messageBoxes().size()), std::tuple(false, 0u));

    t.window.click(kLoopToggle);
    EXPECT_TRUE(t.program.run.settings.loopEnabled && t.window.isItemChecked(kLoopToggle));
    t.window.click(kDelayedToggle);
    t.window.click(kDelayedToggle);
    t.window.listSelectIndex(kSaveToList, 1);
    t.window.click(kSaveToList);
    EXPECT_FALSE(t.program.run.settings.delayedStart || t.program.options.saveToHost);

    t.program.run.running = true, t.program.run.detection.level = 100;
    t.window.post({MessageKind::User, kUserDetectionLevel, {}});
    t.window.pump();
    EXPECT_EQ(t.window.progress(kLevelBar), 100) << "a level posted reaches its bar";
    t.window.send({MessageKind::Close, 0, {}});
    t.window.click(kMenuQuit);
    EXPECT_FALSE(t.window.destroyed()) << "no quitting during a run";
    t.program.run.running = false;
    t.window.send({MessageKind::Close, 0, {}});
    EXPECT_EQ(std::tuple(t.window.destroyed(), t.window.exitCode()), std::tuple(true, 0));
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
        {R"(-loop="10 000")", "Off", true, 10000, false, 0},
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
        EXPECT_EQ(std::tuple(chosenText(w, kLockupList), s.loopEnabled, w.isItemChecked(kLoopToggle),
                             s.loopCount, s.loopInfinite, s.delayedStart, w.isItemChecked(kDelayedToggle)),
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
                 t.window.isItemEnabled(kDelayedToggle) || t.program.run.running);
    EXPECT_EQ(std::tuple(s.loopEnabled, s.loopInfinite, s.loopCount), std::tuple(true, false, 5));
}

TEST(MainWindowStart, ScriptThatCannotLoadLeavesTheRestOfTheCommandLine) {
    TestProgram t;
    t.start(R"(-load="/nowhere/x.txt" -prefix="m42" -start="")");
    EXPECT_FALSE(t.program.script.loaded || t.program.run.running);
    EXPECT_EQ(t.program.settings.imagePrefix, "m42");
    // A prefix that would name the pictures out of their folder is passed over, as Parameters refuses it.
    TestProgram up;
    up.start(R"(-prefix="../m42")");
    EXPECT_EQ(up.program.settings.imagePrefix, "");
    EXPECT_EQ(std::tuple(t.window.messageBoxes().size(), t.window.itemText(kStatusField)),
              std::tuple(1u, ""));
}

} // namespace
} // namespace orvex::test
