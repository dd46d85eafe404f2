#include "camera/camera_model.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>

#include <functional>

namespace orvex::test {
namespace {

using namespace colours;

struct ControlsFixture : ::testing::Test {
    TestProgram t;
    void SetUp() override { t.start(); }
    void refresh() { updateMainControls(t.program.mainView(), t.window); }
    FieldColour colour(int id) { return colourField(t.program.mainView(), id); }
};

// Start needs a script, a camera and no slave mode, or a run to stop; the picture menu works on the pictures
// this computer received; the value fields are emptied before a run's first shot and once the script or the
// camera that they describe is gone.
TEST_F(ControlsFixture, ControlsFollowTheScriptTheCameraAndTheRun) {
    struct Case {
        const char* what;
        bool loaded, connected, slave, running, saveToHost;
        int shots;
        bool startEnabled, browseEnabled, fieldsEmptied;
    };
    const Case cases[] = {
        {"ready", true, true, false, false, true, 3, true, true, false},
        {"slave, no shot yet", true, true, true, false, true, 0, false, true, true},
        {"no script", false, true, false, false, true, 3, false, false, true},
        {"no camera", true, false, false, false, true, 3, false, false, true},
        {"running", false, false, true, true, true, 3, true, false, true},
        {"saving to the card", true, true, false, false, false, 3, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        t.program.script.loaded = c.loaded;
        t.program.camera.connected = c.connected;
        t.program.slaveMode = c.slave;
        t.program.run.running = c.running;
        t.program.options.saveToHost = c.saveToHost;
        t.program.run.shotCount = c.shots;
        t.window.setItemText(kSpeedField, "1/250");
        t.window.setItemText(kShotsField, "3");
        refresh();
        EXPECT_EQ(t.window.isItemEnabled(kStartButton), c.startEnabled);
        EXPECT_EQ(t.window.itemText(kStartButton), c.running ? "Stop" : "Start");
        for (int entry : {kMenuBrowse, kMenuErase})
            EXPECT_EQ(t.window.isMenuEntryEnabled(entry), c.browseEnabled);
        EXPECT_EQ(t.window.itemText(kSpeedField), c.fieldsEmptied ? "" : "1/250");
        EXPECT_EQ(t.window.itemText(kShotsField), c.fieldsEmptied ? "" : "3");
    }
}

TEST_F(ControlsFixture, RunningGreysWhatMustNotChangeDuringARun) {
    t.program.script.loaded = true;
    t.program.camera.connected = true;
    t.program.run.running = true;
    refresh();
    for (int id : {kConnectButton, kSerialPortList, kDelayedToggle, kSlaveToggle, kSaveToList})
        EXPECT_FALSE(t.window.isItemEnabled(id)) << id;
    EXPECT_TRUE(t.window.isItemEnabled(kPauseButton));
    EXPECT_EQ(t.window.itemText(kConnectButton), "Disconnect");
    for (int entry : {kMenuQuit, kMenuLoad, kMenuCamera, kMenuSetTimeLT, kMenuSetTimeUT})
        EXPECT_FALSE(t.window.isMenuEntryEnabled(entry)) << entry;
    EXPECT_TRUE(t.window.isMenuEntryEnabled(kMenuModify));
    EXPECT_FALSE(t.window.closeEnabled());
    EXPECT_FALSE(t.window.dropsAccepted());
}

TEST_F(ControlsFixture, TheCameraDecidesSaveToLockupAndLiveView) {
    struct Case {
        int model;
        bool burst, simulation, liveView;
        bool saveToEnabled, lockupEnabled, liveViewEnabled, zoomEnabled;
    };
    const Case cases[] = {{kModel300D, false, false, false, false, false, false, false},
                          {kModel10D, false, false, false, false, true, false, false},
                          {kModelUnknown, true, true, false, false, true, true, false},
                          {kModelUnknown, false, false, true, true, true, true, true}};
    t.program.camera.connected = true;
    for (const Case& c : cases) {
        t.program.camera.rules = modelRules(c.model);
        t.program.script.hasBurst = c.burst;
        t.program.options.simulation = c.simulation;
        t.program.camera.liveViewAvailable = c.liveView;
        refresh();
        EXPECT_EQ(t.window.isItemEnabled(kSaveToList), c.saveToEnabled) << c.model;
        EXPECT_EQ(t.window.isItemEnabled(kLockupList), c.lockupEnabled) << c.model;
        EXPECT_EQ(t.window.isItemEnabled(kLiveViewButton), c.liveViewEnabled) << c.model;
        EXPECT_EQ(t.window.isItemEnabled(kZoomList), c.zoomEnabled) << c.model;
    }
}

// Each coloured field follows what it shows, step by step: the camera its link and its battery (the two
// thresholds, and mains power); the status the states a user must tell apart at a glance from across the
// room; the shot count a late shot; a value field what is left to the body or differs from the script.
TEST_F(ControlsFixture, FieldColoursFollowWhatTheyShow) {
    using enum RunStatus;
    Program& p = t.program;
    p.options.simulation = true;
    p.camera.batteryLevel = 5;
    p.run.shotCount = 2;
    const struct {
        std::function<void()> change;
        int field;
        FieldColour expected;
    } steps[] = {
        {[&] { p.camera.connected = false; }, kCameraField, {red, white}},
        {[&] { p.camera.connected = true; }, kCameraField, {green, {}}}, // simulation: the battery aside
        {[&] { p.options.simulation = false; }, kCameraField, {orange, {}}},
        {[&] { p.camera.batteryLevel = 10; }, kCameraField, {orange, {}}},
        {[&] { p.camera.batteryLevel = 11; }, kCameraField, {yellow, {}}},
        {[&] { p.camera.batteryLevel = 30; }, kCameraField, {yellow, {}}},
        {[&] { p.camera.batteryLevel = 31; }, kCameraField, {green, {}}},
        {[&] { p.camera.batteryLevel = kBatteryMains; }, kCameraField, {green, {}}},
        {[&] { p.run.status = kError; }, kStatusField, {red, white}},
        {[&] { p.run.status = kPaused; }, kStatusField, {black, white}},
        {[&] { p.run.status = kExposure; }, kStatusField, {cyan, {}}},
        {[&] { p.run.status = kPictureWait; }, kStatusField, {cyan, {}}},
        {[&] { p.run.status = kIdle; }, kStatusField, {}},
        {[&] { p.run.status = kTimeWait; }, kStatusField, {}},
        {[] {}, kShotsField, {}},
        {[&] { p.run.running = true; }, kShotsField, {green, {}}},
        {[&] { p.run.wait.late = true; }, kShotsField, {red, white}},
        {[&] { p.run.fields.iso.leftToCamera = true; }, kIsoField, {lightBeige, orange}},
        {[&] { p.run.fields.iso.differs = true; }, kIsoField, {lightBeige, red}},
        {[] {}, kApertureField, {}},
        {[] {}, kStatusLabel, {}},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].change();
        EXPECT_EQ(colour(steps[i].field), steps[i].expected) << "step " << i;
    }
}

TEST_F(ControlsFixture, DetectionLevelBarColours) {
    t.program.run.running = true;
    struct Case {
        int level;
        Rgb colour;
    };
    for (const Case& c : {Case{49, green}, Case{50, yellow}, Case{99, yellow}, Case{100, red}}) {
        t.program.run.detection.level = c.level;
        t.window.post({MessageKind::User, kUserDetectionLevel, {}});
        t.window.pump();
        EXPECT_EQ(t.window.progressColour(kLevelBar), c.colour) << c.level;
        EXPECT_EQ(t.window.progress(kLevelBar), c.level);
        EXPECT_TRUE(t.window.isItemShown(kLevelBar));
        EXPECT_FALSE(t.window.isItemShown(kWaitField));
    }
    t.program.run.running = false;
    refresh();
    EXPECT_FALSE(t.window.isItemShown(kLevelBar));
    EXPECT_TRUE(t.window.isItemShown(kWaitField));
}

} // namespace
} // namespace orvex::test
