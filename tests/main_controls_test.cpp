#include "tests/support/test_program.h"

#include <gtest/gtest.h>

namespace orvex::test {
namespace {

using namespace colours;

struct ControlsFixture : ::testing::Test {
    TestProgram t;
    void SetUp() override { t.start(); }
    void refresh() { updateMainControls(t.program, t.window); }
    FieldColour colour(int id) { return colourField(t.program, id); }
};

TEST_F(ControlsFixture, StartNeedsScriptCameraAndNoSlaveMode) {
    struct Case {
        bool loaded, connected, slave, running, startEnabled;
    };
    const Case cases[] = {{true, true, false, false, true},
                          {true, true, true, false, false},
                          {false, true, false, false, false},
                          {true, false, false, false, false},
                          {false, false, true, true, true}};
    for (const Case& c : cases) {
        t.program.script.loaded = c.loaded;
        t.program.camera.connected = c.connected;
        t.program.slaveMode = c.slave;
        t.program.run.running = c.running;
        refresh();
        EXPECT_EQ(t.window.isItemEnabled(kStartButton), c.startEnabled);
        EXPECT_EQ(t.window.itemText(kStartButton), c.running ? "Stop" : "Start");
    }
}

TEST_F(ControlsFixture, RunningGreysWhatMustNotChangeDuringARun) {
    t.program.script.loaded = true;
    t.program.camera.connected = true;
    t.program.run.running = true;
    t.program.run.paused = true;
    refresh();
    for (int id : {kConnectButton, kSerialPortList, kDelayedToggle, kSlaveToggle, kSaveToList})
        EXPECT_FALSE(t.window.isItemEnabled(id)) << id;
    EXPECT_TRUE(t.window.isItemEnabled(kPauseButton));
    EXPECT_EQ(t.window.itemText(kPauseButton), "Resume");
    EXPECT_EQ(t.window.itemText(kConnectButton), "Disconnect");
    for (int entry : {kMenuQuit, kMenuLoad, kMenuCamera, kMenuSetTimeLT, kMenuSetTimeUT})
        EXPECT_FALSE(t.window.isMenuEntryEnabled(entry)) << entry;
    EXPECT_TRUE(t.window.isMenuEntryEnabled(kMenuModify));
    EXPECT_FALSE(t.window.closeEnabled());
    EXPECT_FALSE(t.window.dropsAccepted());
}

TEST_F(ControlsFixture, ModelsAndBurstsLockTheSaveToList) {
    struct Case {
        int model;
        bool burst, saveToEnabled, lockupEnabled;
    };
    const Case cases[] = {{kModel300D, false, false, false},
                          {kModel10D, false, false, true},
                          {kModelUnknown, true, false, true},
                          {kModelUnknown, false, true, true}};
    t.program.camera.connected = true;
    for (const Case& c : cases) {
        t.program.camera.rules = modelRules(c.model);
        t.program.script.hasBurst = c.burst;
        refresh();
        EXPECT_EQ(t.window.isItemEnabled(kSaveToList), c.saveToEnabled) << c.model;
        EXPECT_EQ(t.window.isItemEnabled(kLockupList), c.lockupEnabled) << c.model;
    }
}

TEST_F(ControlsFixture, LiveViewButtonsFollowTheCamera) {
    t.program.camera.connected = true;
    t.program.options.simulation = true;
    refresh();
    EXPECT_TRUE(t.window.isItemEnabled(kLiveViewButton));
    EXPECT_FALSE(t.window.isItemEnabled(kZoomList));
    t.program.options.simulation = false;
    t.program.camera.liveViewAvailable = true;
    refresh();
    EXPECT_TRUE(t.window.isItemEnabled(kZoomList));
}

// Emptied before a run's first shot, and once the script or the camera that they describe is gone.
TEST_F(ControlsFixture, ValueFieldsEmptiedWhenTheyDescribeNothing) {
    struct Case {
        int shots;
        bool loaded, connected, emptied;
    };
    for (const Case& c : {Case{0, true, true, true}, Case{3, true, true, false}, Case{3, false, true, true},
                          Case{3, true, false, true}}) {
        t.program.run.shotCount = c.shots;
        t.program.script.loaded = c.loaded;
        t.program.camera.connected = c.connected;
        t.window.setItemText(kSpeedField, "1/250");
        t.window.setItemText(kShotsField, "3");
        refresh();
        EXPECT_EQ(t.window.itemText(kSpeedField), c.emptied ? "" : "1/250")
            << c.shots << c.loaded << c.connected;
        EXPECT_EQ(t.window.itemText(kShotsField), c.emptied ? "" : "3");
    }
}

// The picture menu works on the pictures this computer received.
TEST_F(ControlsFixture, BrowseAndEraseOnlyWhenSavingToTheComputer) {
    struct Case {
        bool saveToHost, loaded, connected, enabled;
    };
    for (const Case& c : {Case{true, true, true, true}, Case{false, true, true, false},
                          Case{true, false, true, false}, Case{true, true, false, false}}) {
        t.program.options.saveToHost = c.saveToHost;
        t.program.script.loaded = c.loaded;
        t.program.camera.connected = c.connected;
        refresh();
        for (int entry : {kMenuBrowse, kMenuErase})
            EXPECT_EQ(t.window.isMenuEntryEnabled(entry), c.enabled)
                << c.saveToHost << c.loaded << c.connected;
    }
}

TEST_F(ControlsFixture, CameraFieldColours) {
    struct Case {
        bool connected, simulation;
        std::uint32_t battery;
        FieldColour expected;
    };
    const Case cases[] = {{false, false, 100, {red, white}}, {true, true, 5, {green, {}}},
                          {true, false, 0, {orange, {}}},    {true, false, 10, {orange, {}}},
                          {true, false, 11, {yellow, {}}},   {true, false, 30, {yellow, {}}},
                          {true, false, 31, {green, {}}},    {true, false, kBatteryMains, {green, {}}}};
    for (const Case& c : cases) {
        t.program.camera.connected = c.connected;
        t.program.options.simulation = c.simulation;
        t.program.camera.batteryLevel = c.battery;
        EXPECT_EQ(colour(kCameraField), c.expected) << c.battery;
    }
}

TEST_F(ControlsFixture, StatusFieldColours) {
    struct Case {
        RunStatus status;
        FieldColour expected;
    };
    const Case cases[] = {{RunStatus::kAborted, {magenta, {}}},
                          {RunStatus::kBurst, {cyan, {}}},
                          {RunStatus::kExposure, {cyan, {}}},
                          {RunStatus::kPictureWait, {cyan, {}}},
                          {RunStatus::kCompleted, {green, {}}},
                          {RunStatus::kDelayedStartWait, {yellow, {}}},
                          {RunStatus::kDelayWait, {yellow, {}}},
                          {RunStatus::kMoveWait, {yellow, {}}},
                          {RunStatus::kSoundWait, {yellow, {}}},
                          {RunStatus::kError, {red, white}},
                          {RunStatus::kManualRelease, {orange, {}}},
                          {RunStatus::kLockup, {orange, {}}},
                          {RunStatus::kPaused, {black, white}},
                          {RunStatus::kSaving, {white, {}}},
                          {RunStatus::kIdle, {}},
                          {RunStatus::kTimeWait, {}}};
    for (const Case& c : cases) {
        t.program.run.status = c.status;
        EXPECT_EQ(colour(kStatusField), c.expected) << messageOf(c.status);
    }
}

TEST_F(ControlsFixture, ShotsAndValueFieldColours) {
    EXPECT_EQ(colour(kShotsField), FieldColour{});
    t.program.run.running = true;
    t.program.run.shotCount = 2;
    EXPECT_EQ(colour(kShotsField), (FieldColour{green, {}}));
    t.program.run.late = true;
    EXPECT_EQ(colour(kShotsField), (FieldColour{red, white}));

    t.program.run.isoField.leftToCamera = true;
    EXPECT_EQ(colour(kIsoField), (FieldColour{lightBeige, orange}));
    t.program.run.isoField.differs = true;
    EXPECT_EQ(colour(kIsoField), (FieldColour{lightBeige, red}));
    EXPECT_EQ(colour(kApertureField), FieldColour{});
    EXPECT_EQ(colour(kStatusLabel), FieldColour{});
}

TEST_F(ControlsFixture, DetectionLevelBarColours) {
    t.program.run.running = true;
    struct Case {
        int level;
        Rgb colour;
    };
    for (const Case& c :
         {Case{49, green}, Case{50, yellow}, Case{99, yellow}, Case{100, red}, Case{0, green}}) {
        t.program.run.detectionLevel = c.level;
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

TEST_F(ControlsFixture, LanguageChangeKeepsListSelections) {
    t.window.listSelectIndex(kLockupList, 3);
    t.window.listSelectIndex(kSaveToList, 1);
    t.window.listSelectIndex(kZoomList, 2);
    t.program.language = kFrench;
    buildMainTexts(t.program, t.window);
    EXPECT_EQ(t.window.listSelection(kLockupList), 3);
    EXPECT_EQ(t.window.listText(kLockupList, 0), "Sans");
    EXPECT_EQ(t.window.listSelection(kSaveToList), 1);
    EXPECT_EQ(t.window.listText(kSaveToList, 1), "Appareil");
    EXPECT_EQ(t.window.listSelection(kZoomList), 2);
    EXPECT_EQ(t.window.itemText(kStartButton), "Démarrer");
    EXPECT_EQ(t.window.menus()[1].title, "Images");
}

TEST_F(ControlsFixture, MenuBar) {
    const auto& menus = t.window.menus();
    ASSERT_EQ(menus.size(), 4u);
    EXPECT_EQ(menus[0].title, "Script");
    ASSERT_EQ(menus[0].entries.size(), 6u);
    EXPECT_EQ(menus[0].entries[4].id, 0); // separator before Quit
    EXPECT_EQ(menus[0].entries[5].text, "Quit");
    EXPECT_EQ(menus[2].entries[0].id, kMenuParameters);
    EXPECT_EQ(menus[3].title, "?");
    EXPECT_EQ(menus[3].entries[1].text, "Help");
}

} // namespace
} // namespace orvex::test
