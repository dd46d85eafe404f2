// The main window's rules on the records they read alone, drawn into a headless window of the main template.
#include "camera/camera_model.h"
#include "core/catalogue.h"
#include "platform/headless/headless_window.h"
#include "resources/main_dialog.h"
#include "ui/main_controls.h"

#include <gtest/gtest.h>

#include <functional>

namespace orvex {
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
    const struct {
        const char* what;
        bool loaded, connected, slave, running, saveToHost;
        int shots;
        bool startEnabled, browseEnabled, fieldsEmptied;
    } cases[] = {
        {"ready", true, true, false, false, true, 3, true, true, false},
        {"slave, no shot yet", true, true, true, false, true, 0, false, true, true},
        {"no script", false, true, false, false, true, 3, false, false, true},
        {"no camera", true, false, false, false, true, 3, false, false, true},
        {"running", false, false, true, true, true, 3, true, false, true},
        {"saving to the card", true, true, false, false, false, 3, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        script.loaded = c.loaded, camera.connected = c.connected, slave = c.slave, run.running = c.running;
        options.saveToHost = c.saveToHost, run.shotCount = c.shots;
        w.setItemText(kSpeedField, "1/250");
        w.setItemText(kShotsField, "3");
        refresh();
        EXPECT_EQ(w.isItemEnabled(kStartButton), c.startEnabled);
        EXPECT_EQ(w.itemText(kStartButton), c.running ? "Stop" : "Start");
        for (int entry : {kMenuBrowse, kMenuErase}) EXPECT_EQ(w.isMenuEntryEnabled(entry), c.browseEnabled);
        EXPECT_EQ(w.isMenuEntryEnabled(kMenuPlan), c.loaded);
        EXPECT_EQ(w.itemText(kSpeedField), c.fieldsEmptied ? "" : "1/250");
        EXPECT_EQ(w.itemText(kShotsField), c.fieldsEmptied ? "" : "3");
    }
    // What must not change during a run is greyed.
    script.loaded = camera.connected = run.running = true;
    refresh();
    for (int id : {kConnectButton, kSerialPortList, kDelayedToggle, kSlaveToggle, kSaveToList})
        EXPECT_FALSE(w.isItemEnabled(id)) << id;
    EXPECT_TRUE(w.isItemEnabled(kPauseButton));
    EXPECT_EQ(w.itemText(kConnectButton), "Disconnect");
    for (int entry : {kMenuQuit, kMenuLoad, kMenuCamera, kMenuSetTimeLT, kMenuSetTimeUT})
        EXPECT_FALSE(w.isMenuEntryEnabled(entry)) << entry;
    EXPECT_TRUE(w.isMenuEntryEnabled(kMenuModify));
    EXPECT_FALSE(w.closeEnabled() || w.dropsAccepted());
}

TEST_F(Controls, TheCameraDecidesSaveToLockupAndLiveView) {
    const struct {
        int model;
        bool burst, simulation, liveView;
        bool enabled[4]; // Save to, Lock-up, Live view, the LV zoom list
    } cases[] = {{kModel300D, false, false, false, {false, false, false, false}},
                 {kModel10D, false, false, false, {false, true, false, false}},
                 {kModelUnknown, true, true, false, {false, true, true, false}},
                 {kModelUnknown, false, false, true, {true, true, true, true}}};
    camera.connected = true;
    for (const auto& c : cases) {
        camera.rules = modelRules(c.model);
        script.hasBurst = c.burst, options.simulation = c.simulation, camera.liveViewAvailable = c.liveView;
        refresh();
        const int controls[] = {kSaveToList, kLockupList, kLiveViewButton, kZoomList};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(w.isItemEnabled(controls[i]), c.enabled[i]) << c.model << " " << i;
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
    const struct {
        std::function<void()> change;
        int field;
        FieldColour expected;
    } steps[] = {
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
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].change();
        EXPECT_EQ(colourField(view(), steps[i].field), steps[i].expected) << "step " << i;
    }
}

TEST_F(Controls, DetectionLevelBarColours) {
    run.running = true;
    for (const auto& [level, colour] : {std::pair{49, green}, {50, yellow}, {99, yellow}, {100, red}}) {
        run.detection.level = level;
        showDetectionLevel(run, w);
        EXPECT_EQ(w.progressColour(kLevelBar), colour) << level;
        EXPECT_EQ(w.progress(kLevelBar), level);
        EXPECT_TRUE(w.isItemShown(kLevelBar) && !w.isItemShown(kWaitField));
    }
    run.running = false;
    refresh();
    EXPECT_FALSE(w.isItemShown(kLevelBar));
    EXPECT_TRUE(w.isItemShown(kWaitField));
}

} // namespace
} // namespace orvex
