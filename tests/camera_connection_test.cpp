// Choosing, connecting and losing a camera, with fake bodies behind the SDK layer.
#include "camera/camera_connection.h"
#include "camera/camera_info_dialog.h"
#include "resources/camera_info_dialog.h"
#include "resources/connect_dialog.h"
#include "tests/support/fake_camera.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace orvex::test {
namespace {

TEST(CameraConnection, SimulationNeverTouchesTheSdk) {
    FakeSession s;
    s.options.simulation = s.options.connectRequested = true;
    EXPECT_FALSE(openWantedCamera(s.events(), s.setting(), s.w, s.clock));
    EXPECT_EQ(s.open(), Connection::kSimulation);
    EXPECT_EQ(s.w.itemText(kCameraField), "Simulation");
    s.disconnect();
    EXPECT_TRUE(s.w.modalsRun().empty());
    EXPECT_EQ(s.driver->enumerations, 0);
}

TEST(CameraConnection, TheDialogConnectsTheCameraChosen) {
    const std::string inUse = "Cannot access this camera !\rCamera already in use / Error";
    const struct {
        int cameras;
        bool firstUnlisted;               // its device info cannot be read
        EdsError openError;               // what the last body answers when its session opens
        std::vector<std::string> offered; // empty: the dialog took the only camera by itself
        std::string connected;            // empty: nothing connected
        std::string boxes;                // the message boxes shown, text / caption
    } cases[] = {{0, false, EDS_ERR_OK, {"(No camera found)"}, "", ""},
                 {1, false, EDS_ERR_OK, {}, "1 - Canon EOS 60D", ""},
                 {1, false, EDS_ERR_COMM_PORT_IS_IN_USE, {}, "", inUse},
                 {2, false, EDS_ERR_OK, {"1 - Canon EOS 60D", "2 - Canon EOS 60D"}, "2 - Canon EOS 60D", ""},
                 {2, true, EDS_ERR_OK, {}, "2 - Canon EOS 60D", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.cameras << " camera(s), first unlisted " << c.firstUnlisted
                                          << ", opening answers " << c.openError);
        FakeSession s;
        s.driver->bodies.clear();
        for (int i = 0; i < c.cameras; ++i) s.driver->add("Canon EOS 60D")->openError = c.openError;
        if (c.firstUnlisted) s.driver->bodies[0]->deviceInfoError = EDS_ERR_DEVICE_BUSY;
        std::vector<std::string> offered;
        s.w.onModal = [&](HeadlessWindow& dialog) {
            for (int i = 0; i < dialog.listCount(kCameraChoiceList); ++i)
                offered.push_back(dialog.listText(kCameraChoiceList, i));
            dialog.listSelectIndex(kCameraChoiceList, c.cameras - 1);
            dialog.click(kOkCommand);
            EXPECT_EQ(dialog.dialogEnded(), c.cameras > 0) << "OK needs a camera";
        };
        EXPECT_EQ(s.open(), c.connected.empty() ? Connection::kNone : Connection::kBody);
        EXPECT_EQ(s.w.modalsRun(), std::vector<std::string>{"CONNECT_DIALOG"});
        EXPECT_EQ(offered, c.offered);
        EXPECT_EQ(s.w.itemText(kCameraField), c.connected);
        EXPECT_EQ(s.camera.connected, !c.connected.empty());
        EXPECT_EQ(s.camera.camera != nullptr, s.camera.connected);
        for (const auto& b : s.driver->bodies)
            EXPECT_EQ(b->open, b == s.driver->bodies.back() && s.camera.connected);
        EXPECT_FALSE(s.camera.connectDialogOpen);
        EXPECT_EQ(s.camera.cameraList, nullptr);
        std::string boxes; // each box's text and caption
        for (const auto& box : s.w.messageBoxes()) boxes += box.text + " / " + box.caption;
        EXPECT_EQ(boxes, c.boxes);
    }
}

TEST(CameraConnection, DisconnectingRestoresOnlyTheSettingsThatWereSaved) {
    FakeSession s;
    // The aperture cannot be read; then the run changes the three others, the ISO from Auto, and each is
    // given back its value at connection.
    const std::tuple<EdsPropertyID, EdsUInt32, EdsUInt32> settings[] = {
        {kEdsPropID_ImageQuality, 0x0013FF0F, 0x00640F0F},
        {kEdsPropID_ISOSpeed, 0, 0x48},
        {kEdsPropID_Tv, 0x60, 0x10}};
    for (const auto& [id, atConnection, changed] : settings) s.body->set(id, atConnection);
    s.connect();
    for (const auto& [id, atConnection, changed] : settings) s.body->set(id, changed);
    s.disconnect();
    EXPECT_EQ(s.body->writes.size(), 3u);
    for (const auto& [id, atConnection, changed] : settings) EXPECT_EQ(s.body->value(id), atConnection) << id;
    EXPECT_FALSE(s.body->open);
    EXPECT_EQ(s.w.itemText(kCameraField), "Not connected");
}

TEST(CameraConnection, TheBatteryIsWatchedOffMainsAndColoursTheCameraField) {
    FakeSession s;
    s.body->set(kEdsPropID_BatteryLevel, EdsUInt32{kBatteryMains});
    s.connect();
    EXPECT_FALSE(s.w.hasTimer(kTimerBattery));
    s.disconnect();
    s.body->set(kEdsPropID_BatteryLevel, EdsUInt32{50});
    s.connect();
    EXPECT_EQ(s.w.timerPeriod(kTimerBattery), 20000u);
    // Where each colour begins is the controls' test; here each reading recolours the field.
    const std::pair<std::uint32_t, Rgb> levels[] = {{30, colours::yellow}, {10, colours::orange}};
    for (const auto& [level, colour] : levels) {
        s.body->set(kEdsPropID_BatteryLevel, EdsUInt32{level});
        batteryWatch(s.camera, s.run, s.w);
        EXPECT_EQ(s.w.colourOf(kCameraField), (FieldColour{colour, {}})) << level;
    }
    s.body->properties.erase({kEdsPropID_BatteryLevel, 0});
    batteryWatch(s.camera, s.run, s.w);
    EXPECT_EQ(s.camera.batteryLevel, 10u) << "a failed read keeps the last level";
    s.run.cameraReady = false;
    s.body->forget();
    batteryWatch(s.camera, s.run, s.w);
    EXPECT_TRUE(s.body->reads.empty()) << "a shot is outstanding";

    // The next camera's level cannot be read: the last one's must not colour its field.
    s.disconnect();
    s.connect();
    EXPECT_FALSE(s.w.hasTimer(kTimerBattery));
    EXPECT_EQ(s.w.colourOf(kCameraField), (FieldColour{colours::green, {}}));
}

// The 300D and the 10D save to the computer only, and the 300D's mirror lock-up stays off.
TEST(CameraConnection, TheBodyChoosesWhereItSavesAndWhetherItLocksItsMirror) {
    // Description, saves to the computer, lockup list's entry.
    const std::tuple<const char*, bool, int> bodies[] = {
        {"Canon EOS 10D", true, 3}, {"Canon EOS 300D DIGITAL", true, 0}, {"Canon EOS 100D", false, 3}};
    FakeSession s;
    for (int i = 0; i < 4; ++i) s.w.listAdd(kSaveToList, "to"), s.w.listAdd(kLockupList, "lockup");
    for (const auto& [description, toHost, lockup] : bodies) {
        SCOPED_TRACE(description);
        s.options.saveToHost = false;
        s.w.listSelectIndex(kSaveToList, 1);
        s.w.listSelectIndex(kLockupList, 3);
        s.body->description = description;
        s.connect();
        EXPECT_EQ(s.options.saveToHost, toHost);
        EXPECT_EQ(s.w.listSelection(kSaveToList), toHost ? 0 : 1);
        EXPECT_EQ(s.w.listSelection(kLockupList), lockup);
        s.disconnect();
    }
}

// An EOS serial number has 12 digits: the whole number printed on the body picks it, and so do its low 32
// bits, which two bodies may share. No dialog asks; a body opened to read its number and not taken is closed
// again, and the search ends at the body taken.
TEST(CameraConnection, AutoConnectTakesTheBodyByItsWholeSerialNumberOrItsLow32Bits) {
    const std::pair<const char*, int> cases[] = {
        {"083021004217", 0}, {"087315971513", 1}, {"1416625593", 0}, {"580123456", 2}, {"183021004217", -1}};
    for (const auto& [wanted, taken] : cases) {
        SCOPED_TRACE(wanted);
        FakeSession s;
        s.driver->bodies.clear();
        // The second body's number is the first's plus 2^32.
        for (const char* id : {"083021004217", "087315971513", "0580123456"})
            s.driver->add("Canon EOS 700D")->set(kEdsPropID_BodyIDEx, std::string(id));
        s.options = parseCommandLine("-connect=\"" + std::string(wanted) + "\"");
        EXPECT_EQ(openWantedCamera(s.events(), s.setting(), s.w, s.clock), taken >= 0);
        EXPECT_EQ(s.w.itemText(kCameraField),
                  taken < 0 ? "" : std::to_string(taken + 1) + " - Canon EOS 700D");
        for (int i = 0; i < 3; ++i) {
            const auto& b = s.driver->bodies[static_cast<std::size_t>(i)];
            EXPECT_EQ(std::pair(b->open, b->sessionsOpened),
                      std::pair(i == taken, taken < 0 || i <= taken ? 1 : 0))
                << "body " << i;
        }
        EXPECT_TRUE(s.w.modalsRun().empty());
    }
}

// The body asked for, held by another program for three tries (another Orvex reading its id), is asked again
// every 250 ms until let go; one switched off is not waited for.
TEST(CameraConnection, AWantedBodyHeldByAnotherProgramIsAskedAgain) {
    for (const EdsError error : {EDS_ERR_COMM_PORT_IS_IN_USE, EDS_ERR_COMM_DISCONNECTED}) {
        FakeSession s;
        s.body->set(kEdsPropID_BodyIDEx, std::string("083021004217"));
        s.body->openError = error;
        s.body->openErrors = 3;
        s.options = parseCommandLine("-connect=\"083021004217\"");
        const std::uint32_t before = s.clock.tick();
        const bool held = error == EDS_ERR_COMM_PORT_IS_IN_USE;
        EXPECT_EQ(openWantedCamera(s.events(), s.setting(), s.w, s.clock), held) << error;
        EXPECT_EQ(s.clock.tick() - before, held ? 750u : 0u) << error;
    }
}

TEST(CameraConnection, PicturesAreCountedAndQueuedOnlyDuringARunOfTheOpenSession) {
    ConnectedSession s;
    s.raise(kEdsObjectEvent_DirItemCreated);
    EXPECT_EQ(s.run.picturesReported, 0);
    EXPECT_TRUE(s.raise(kEdsObjectEvent_DirItemRequestTransfer)->cancelled) << "nobody would take it";
    EXPECT_EQ(s.latePictures, 1) << "offered to whoever files late pictures first";
    EXPECT_TRUE(s.transfers.empty());

    s.run.running = true;
    s.raise(kEdsObjectEvent_DirItemCreated);
    EXPECT_EQ(s.run.picturesReported, 1);
    EXPECT_FALSE(s.raise(kEdsObjectEvent_DirItemRequestTransfer)->cancelled);
    EdsDirectoryItemRef item = s.transfers.takeQueuedTransfer(0);
    ASSERT_NE(item, nullptr);
    EdsDirectoryItemInfo info{};
    EXPECT_EQ(EdsGetDirectoryItemInfo(item, &info), EDS_ERR_OK) << "the queue owns a live reference";
    EdsRelease(item);
    s.body->events->objectEvent(kEdsObjectEvent_DirItemRequestTransfer, nullptr);
    EXPECT_FALSE(deliverEvents(s.camera));
    EXPECT_TRUE(s.transfers.empty()) << "nothing to download";
    EXPECT_EQ(s.latePictures, 1);

    // A closed session no longer reaches the records, even with the same body in a session of its own, as
    // openWantedCamera opens one to read a body id.
    s.disconnect();
    EdsCameraListRef list = nullptr;
    EdsCameraRef camera = nullptr;
    ASSERT_EQ(EdsGetCameraList(&list), EDS_ERR_OK);
    ASSERT_EQ(EdsGetChildAtIndex(list, 0, &camera), EDS_ERR_OK);
    ASSERT_EQ(EdsOpenSession(camera), EDS_ERR_OK);
    auto file = s.raise(kEdsObjectEvent_DirItemRequestTransfer);
    s.body->events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_AFMode, 0);
    s.body->events->stateEvent(kEdsStateEvent_Shutdown, 0);
    EXPECT_FALSE(deliverEvents(s.camera)) << "not this session's shutdown";
    EXPECT_TRUE(file->cancelled) << "nobody takes it now";
    EXPECT_FALSE(s.camera.afModeStale);
    EXPECT_TRUE(s.transfers.empty());
    EdsCloseSession(camera);
    EdsRelease(camera);
    EdsRelease(list);
}

// What follows a shutdown, and what the main window's timer and event pump do, goes through the program.
TEST(CameraLink, AShutdownStopsTheRunAndDisconnectsWithoutRestoringSettings) {
    FakeCameraProgram f;
    f.body->set(kEdsPropID_ImageQuality, EdsUInt32{0x0013FF0F});
    f.body->set(kEdsPropID_BatteryLevel, EdsUInt32{60});
    f.connect();
    f.p.run.running = true;
    f.body->events->stateEvent(kEdsStateEvent_Shutdown, 0);
    // Events behind the shutdown belong to a session that is over.
    f.body->events->objectEvent(kEdsObjectEvent_DirItemCreated, std::make_shared<FakeCameraFile>());
    deliverCameraEvents(f.p, f.w);
    EXPECT_FALSE(f.p.run.running);
    EXPECT_EQ(f.p.run.picturesReported, 0);
    EXPECT_FALSE(f.p.camera.connected);
    EXPECT_FALSE(f.body->open);
    EXPECT_TRUE(f.body->writes.empty());
    EXPECT_FALSE(f.w.hasTimer(kTimerBattery));
    EXPECT_EQ(f.w.itemText(kConnectButton), "Connect");
    EXPECT_EQ(f.w.itemText(kCameraField), "Not connected");
}

// A run's late pictures come from its own body: once it is disconnected, a picture offered under the name
// of one it filed (IMG_0001.JPG), or while it was owed one, is not taken for theirs.
TEST(CameraLink, TheNextBodysPicturesAreNoneOfTheLastRunsLateOnes) {
    for (const bool owed : {false, true}) {
        FakeCameraProgram f;
        f.connect();
        f.p.run.picturesOwed = owed;
        if (!owed) f.p.transferStatus.filed.push_back({"IMG_0001", 2, 0, {}});
        f.w.click(kConnectButton);
        f.connect();
        auto file = std::make_shared<FakeCameraFile>();
        f.body->events->objectEvent(kEdsObjectEvent_DirItemRequestTransfer, file);
        deliverCameraEvents(f.p, f.w);
        EXPECT_TRUE(file->cancelled) << owed;
        EXPECT_TRUE(f.p.transfers.empty()) << owed;
    }
}

TEST(CameraLink, TheMainWindowDrivesTheSession) {
    FakeCameraProgram f;
    f.body->set(kEdsPropID_BatteryLevel, EdsUInt32{50});
    f.w.click(kConnectButton);
    ASSERT_TRUE(f.p.camera.connected);
    f.body->set(kEdsPropID_BatteryLevel, EdsUInt32{20});
    f.t.clock.advance(19999);
    EXPECT_EQ(f.p.camera.batteryLevel, 50u);
    f.t.clock.advance(1);
    EXPECT_EQ(f.p.camera.batteryLevel, 20u);
    // The Settings menu sets the body's clock, by the computer's local or universal time.
    f.body->forget();
    for (const int command : {kMenuSetTimeLT, kMenuSetTimeUT}) f.w.click(command);
    EXPECT_EQ(f.body->writes.size(), 2u);
    EXPECT_EQ(f.w.messageBoxes().back().text, "Camera date & time updated with success !");

    HeadlessWindow dialog([](Window&, const DialogMessage&) {});
    removeCameraEventPump(dialog); // not the window the pump posts to
    f.body->events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_AFMode, 0);
    EXPECT_FALSE(f.p.camera.afModeStale) << "posted, not delivered inside the camera's call";
    f.w.pump();
    EXPECT_TRUE(f.p.camera.afModeStale);
    removeCameraEventPump(f.w);
    f.p.camera.afModeStale = false;
    f.body->events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_AFMode, 0);
    f.w.pump();
    EXPECT_FALSE(f.p.camera.afModeStale) << "nothing posts to a window that is about to go";
    f.w.click(kConnectButton);
    EXPECT_FALSE(f.body->open);

    // The Camera menu opens the information dialog, which in simulation has no body to read.
    f.p.options.simulation = true;
    f.w.click(kConnectButton);
    f.w.onModal = [](HeadlessWindow& d) {
        EXPECT_FALSE(d.hasTimer(kTimerCameraInfo)) << "nothing to read";
        EXPECT_EQ(d.itemText(kBatteryLabel), "Battery level");
        EXPECT_EQ(d.itemText(kProductNameField), "");
    };
    f.w.click(kMenuCamera);
    EXPECT_EQ(f.w.modalsRun().back(), "CAMERA_INFO_DIALOG");
    f.w.click(kConnectButton);
}

} // namespace
} // namespace orvex::test
