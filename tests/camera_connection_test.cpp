// Choosing, connecting and losing a camera, with fake bodies behind the SDK layer.
#include "app/camera_link.h"
#include "camera/camera_connection.h"
#include "camera/camera_properties.h"
#include "resources/connect_dialog.h"
#include "tests/support/fake_camera.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace orvex::test {
namespace {

class CameraConnection : public FakeCameraFixture {
  protected:
    std::shared_ptr<FakeCameraFile> raiseFile(EdsObjectEvent event) {
        auto file = std::make_shared<FakeCameraFile>();
        body->events->objectEvent(event, file);
        deliverCameraEvents(p, w);
        return file;
    }
};

TEST_F(CameraConnection, SimulationNeverTouchesTheSdk) {
    p.options.simulation = p.options.connectRequested = true;
    autoConnect(p, w);
    connectCamera(p, w);
    EXPECT_EQ(w.itemText(kCameraField), "Simulation");
    disconnectCamera(p, w);
    EXPECT_TRUE(w.modalsRun().empty());
    EXPECT_EQ(driver->enumerations, 0);
}

TEST(CameraChoice, TheDialogConnectsTheCameraChosen) {
    const struct {
        int cameras;
        bool firstUnlisted;               // its device info cannot be read
        std::vector<std::string> offered; // empty: the dialog took the only camera by itself
        std::string connected;            // empty: nothing connected
    } cases[] = {{0, false, {"(No camera found)"}, ""},
                 {1, false, {}, "1 - Canon EOS 60D"},
                 {2, false, {"1 - Canon EOS 60D", "2 - Canon EOS 60D"}, "2 - Canon EOS 60D"},
                 {2, true, {}, "2 - Canon EOS 60D"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.cameras << " camera(s), first unlisted " << c.firstUnlisted);
        FakeCameraProgram f;
        f.driver->bodies.clear();
        for (int i = 0; i < c.cameras; ++i) f.driver->add("Canon EOS 60D");
        if (c.firstUnlisted) f.driver->bodies[0]->deviceInfoError = EDS_ERR_DEVICE_BUSY;
        std::vector<std::string> offered;
        f.w.onModal = [&](HeadlessWindow& dialog) {
            for (int i = 0; i < dialog.listCount(kCameraChoiceList); ++i)
                offered.push_back(dialog.listText(kCameraChoiceList, i));
            dialog.listSelectIndex(kCameraChoiceList, c.cameras - 1);
            dialog.click(kOkCommand);
            EXPECT_EQ(dialog.dialogEnded(), c.cameras > 0) << "OK needs a camera";
            if (!dialog.dialogEnded()) dialog.click(kCancelCommand);
        };
        connectCamera(f.p, f.w);
        EXPECT_EQ(f.w.modalsRun(), std::vector<std::string>{"CONNECT_DIALOG"});
        EXPECT_EQ(offered, c.offered);
        EXPECT_EQ(f.w.itemText(kCameraField), c.connected.empty() ? "Not connected" : c.connected);
        EXPECT_EQ(f.p.camera.connected, !c.connected.empty());
        for (const auto& b : f.driver->bodies)
            EXPECT_EQ(b->open, b == f.driver->bodies.back() && f.p.camera.connected);
        EXPECT_FALSE(f.p.camera.connectDialogOpen);
        EXPECT_EQ(f.p.camera.cameraList, nullptr);
    }
}

TEST_F(CameraConnection, ACameraThatCannotOpenItsSessionSaysWhy) {
    body->openError = EDS_ERR_COMM_PORT_IS_IN_USE;
    connectCamera(p, w);
    EXPECT_FALSE(p.camera.connected);
    EXPECT_EQ(p.camera.camera, nullptr);
    ASSERT_EQ(w.messageBoxes().size(), 1u);
    EXPECT_EQ(w.messageBoxes()[0].text, "Cannot access this camera !\rCamera already in use");
    EXPECT_EQ(w.messageBoxes()[0].caption, "Error");
}

TEST(ConnectCapabilities, TheProbesDecideTheLongestCameraTimedExposure) {
    const struct {
        const char* description;
        bool refuseBulbEnd, refuseShutterButton, liveView, pressShutterBody;
        std::uint32_t longest;
    } cases[] = {{"Canon EOS 5D Mark II", false, false, true, true, 30000},
                 {"Canon EOS 70D", true, true, false, true, 30000},
                 {"Canon EOS 600D", false, true, false, false, 3000},
                 {"Canon EOS 600D", true, false, true, false, 3000},
                 {"Canon EOS 600D", true, true, false, false, 30000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.description << " bulb " << !c.refuseBulbEnd << " button "
                                          << !c.refuseShutterButton);
        FakeCameraProgram f;
        f.body->description = c.description;
        if (c.refuseBulbEnd) f.body->refusedCommands.insert(kEdsCameraCommand_BulbEnd);
        if (c.refuseShutterButton) f.body->refusedCommands.insert(kEdsCameraCommand_PressShutterButton);
        if (c.liveView) f.body->set(kEdsPropID_Evf_OutputDevice, EdsUInt32{1});
        f.connect();
        EXPECT_EQ(f.p.camera.liveViewAvailable, c.liveView);
        EXPECT_EQ(f.p.camera.bulbCommands, !c.refuseBulbEnd);
        EXPECT_EQ(f.p.camera.shutterButton, !c.refuseShutterButton);
        EXPECT_EQ(f.p.camera.rules.pressShutterBody, c.pressShutterBody);
        EXPECT_EQ(f.p.camera.longestCameraTimedMs, c.longest);
    }
}

TEST_F(CameraConnection, DisconnectingRestoresOnlyTheSettingsThatWereSaved) {
    body->set(kEdsPropID_ImageQuality, EdsUInt32{0x0013FF0F});
    body->set(kEdsPropID_ISOSpeed, EdsUInt32{0});
    body->set(kEdsPropID_Tv, EdsUInt32{0x60}); // the aperture cannot be read
    connect();
    // The run changed them meanwhile.
    body->set(kEdsPropID_ImageQuality, EdsUInt32{0x00640F0F});
    body->set(kEdsPropID_ISOSpeed, EdsUInt32{0x48});
    body->set(kEdsPropID_Tv, EdsUInt32{0x10});
    disconnectCamera(p, w);
    EXPECT_EQ(body->writes.size(), 2u);
    EXPECT_EQ(body->value(kEdsPropID_ImageQuality), 0x0013FF0Fu);
    EXPECT_EQ(body->value(kEdsPropID_ISOSpeed), 0x48u);
    EXPECT_EQ(body->value(kEdsPropID_Tv), 0x60u);
    EXPECT_FALSE(body->open);
}

TEST_F(CameraConnection, TheBatteryIsWatchedOffMainsAndColoursTheCameraField) {
    body->set(kEdsPropID_BatteryLevel, EdsUInt32{kBatteryMains});
    connect();
    EXPECT_FALSE(w.hasTimer(kTimerBattery));
    disconnectCamera(p, w);
    body->set(kEdsPropID_BatteryLevel, EdsUInt32{50});
    connect(); // how often it reads is the main window's test below
    // Where each colour begins is the controls' test; here each reading recolours the field.
    const std::pair<std::uint32_t, Rgb> levels[] = {{30, colours::yellow}, {10, colours::orange}};
    for (const auto& [level, colour] : levels) {
        body->set(kEdsPropID_BatteryLevel, EdsUInt32{level});
        batteryWatch(p.camera, p.run, w);
        EXPECT_EQ(w.colourOf(kCameraField), (FieldColour{colour, {}})) << level;
    }
    body->properties.erase({kEdsPropID_BatteryLevel, 0});
    batteryWatch(p.camera, p.run, w);
    EXPECT_EQ(p.camera.batteryLevel, 10u) << "a failed read keeps the last level";
    p.run.cameraReady = false;
    body->forget();
    batteryWatch(p.camera, p.run, w);
    EXPECT_TRUE(body->reads.empty()) << "a shot is outstanding";

    // The next camera's level cannot be read: the last one's must not colour its field.
    disconnectCamera(p, w);
    connect();
    EXPECT_FALSE(w.hasTimer(kTimerBattery));
    EXPECT_EQ(w.colourOf(kCameraField), (FieldColour{colours::green, {}}));
}

// The older protocol (sub-type 0) has quality codes of its own; the 300D and the 10D save to the computer
// only, and the 300D's mirror lock-up stays off.
TEST_F(CameraConnection, TheBodyChoosesTheQualityCodesAndWhereItSaves) {
    // RAW, a size and a compression apart, RAW and JPEG, and qualities the older protocol lacks.
    const std::tuple<const char*, std::uint32_t, std::uint32_t> qualities[] = {
        {"R", 0x0064FF0F, 0x00240000},     {"(M)", 0x0113FF0F, 0x01130000},   {"[S]", 0x0212FF0F, 0x02120000},
        {"R+(L)", 0x00640013, 0x00240013}, {"R+[S]", 0x00640212, 0x00240212}, {"SR", 0x0264FF0F, 0x0264FF0F},
        {"SR+[M]", 0x02640112, 0x02640112}};
    // Description, sub-type, saves to the computer, lockup list's entry.
    const std::tuple<const char*, EdsUInt32, bool, int> bodies[] = {{"Canon EOS 10D", 0, true, 3},
                                                                    {"Canon EOS 300D DIGITAL", 0, true, 0},
                                                                    {"Canon EOS 100D", 1, false, 3}};
    for (const auto& [description, subType, toHost, lockup] : bodies) {
        SCOPED_TRACE(description);
        p.options.saveToHost = false;
        w.listSelectIndex(kSaveToList, 1);
        w.listSelectIndex(kLockupList, 3);
        body->description = description;
        body->deviceSubType = subType;
        connect();
        EXPECT_EQ(p.camera.legacyProtocol, subType == 0);
        for (const auto& [name, standard, legacy] : qualities)
            EXPECT_EQ(p.tables.quality[static_cast<std::size_t>(findByName(p.tables.quality, name))].code,
                      subType == 0 ? legacy : standard)
                << name;
        EXPECT_EQ(p.options.saveToHost, toHost);
        EXPECT_EQ(w.listSelection(kSaveToList), toHost ? 0 : 1);
        EXPECT_EQ(w.listSelection(kLockupList), lockup);
        disconnectCamera(p, w);
    }
}

// An EOS serial number has 12 digits: the whole number printed on the body picks it, and so do its low 32
// bits, which two bodies may share. No dialog asks; a body opened to read its number and not taken is closed
// again, and the search ends at the body taken.
TEST_F(CameraConnection, AutoConnectTakesTheBodyByItsWholeSerialNumberOrItsLow32Bits) {
    const std::pair<const char*, int> cases[] = {
        {"083021004217", 0}, {"087315971513", 1}, {"1416625593", 0}, {"580123456", 2}, {"183021004217", -1}};
    for (const auto& [wanted, taken] : cases) {
        driver->bodies.clear();
        // The second body's number is the first's plus 2^32.
        for (const char* id : {"083021004217", "087315971513", "0580123456"})
            driver->add("Canon EOS 700D")->set(kEdsPropID_BodyIDEx, std::string(id));
        p.options = parseCommandLine("-connect=\"" + std::string(wanted) + "\"");
        autoConnect(p, w);
        EXPECT_EQ(w.itemText(kCameraField),
                  taken < 0 ? "Not connected" : std::to_string(taken + 1) + " - Canon EOS 700D")
            << wanted;
        for (int i = 0; i < 3; ++i) {
            const auto& b = driver->bodies[static_cast<std::size_t>(i)];
            EXPECT_EQ(b->open, i == taken) << wanted << " body " << i;
            EXPECT_EQ(b->sessionsOpened, taken < 0 || i <= taken ? 1 : 0) << wanted << " body " << i;
        }
        if (p.camera.connected) disconnectCamera(p, w);
    }
    EXPECT_TRUE(w.modalsRun().empty());
}

TEST_F(CameraConnection, PicturesAreCountedAndQueuedOnlyDuringARun) {
    connect();
    raiseFile(kEdsObjectEvent_DirItemCreated);
    EXPECT_EQ(p.run.picturesReported, 0);
    EXPECT_TRUE(raiseFile(kEdsObjectEvent_DirItemRequestTransfer)->cancelled) << "nobody would take it";
    EXPECT_TRUE(p.transfers.empty());

    p.run.running = true;
    raiseFile(kEdsObjectEvent_DirItemCreated);
    EXPECT_EQ(p.run.picturesReported, 1);
    EXPECT_FALSE(raiseFile(kEdsObjectEvent_DirItemRequestTransfer)->cancelled);
    EdsDirectoryItemRef item = p.transfers.takeQueuedTransfer(0);
    ASSERT_NE(item, nullptr);
    EdsDirectoryItemInfo info{};
    EXPECT_EQ(EdsGetDirectoryItemInfo(item, &info), EDS_ERR_OK) << "the queue owns a live reference";
    EdsRelease(item);
    body->events->objectEvent(kEdsObjectEvent_DirItemRequestTransfer, nullptr);
    deliverCameraEvents(p, w);
    EXPECT_TRUE(p.transfers.empty()) << "nothing to download";
    p.run.running = false;
}

TEST_F(CameraConnection, AShutdownStopsTheRunAndDisconnectsWithoutRestoringSettings) {
    body->set(kEdsPropID_ImageQuality, EdsUInt32{0x0013FF0F});
    body->set(kEdsPropID_BatteryLevel, EdsUInt32{60});
    connect();
    p.run.running = true;
    body->events->stateEvent(kEdsStateEvent_Shutdown, 0);
    // Events behind the shutdown belong to a session that is over.
    body->events->objectEvent(kEdsObjectEvent_DirItemCreated, std::make_shared<FakeCameraFile>());
    deliverCameraEvents(p, w);
    EXPECT_FALSE(p.run.running);
    EXPECT_FALSE(p.camera.connected);
    EXPECT_FALSE(body->open);
    EXPECT_TRUE(body->writes.empty());
    EXPECT_FALSE(w.hasTimer(kTimerBattery));
    EXPECT_EQ(w.itemText(kConnectButton), "Connect");
    EXPECT_EQ(w.itemText(kCameraField), "Not connected");
}

TEST_F(CameraConnection, AClosedSessionNoLongerReachesTheProgram) {
    connect();
    disconnectCamera(p, w);
    // The same body in a session of its own, as autoConnect opens one to read a body id.
    EdsCameraListRef list = nullptr;
    EdsCameraRef camera = nullptr;
    ASSERT_EQ(EdsGetCameraList(&list), EDS_ERR_OK);
    ASSERT_EQ(EdsGetChildAtIndex(list, 0, &camera), EDS_ERR_OK);
    ASSERT_EQ(EdsOpenSession(camera), EDS_ERR_OK);
    p.run.running = true;
    auto file = raiseFile(kEdsObjectEvent_DirItemRequestTransfer);
    body->events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_AFMode, 0);
    body->events->stateEvent(kEdsStateEvent_Shutdown, 0);
    deliverCameraEvents(p, w);
    EXPECT_TRUE(file->cancelled) << "nobody takes it now";
    EXPECT_FALSE(p.camera.afModeStale);
    EXPECT_TRUE(p.run.running);
    p.run.running = false;
    EdsCloseSession(camera);
    EdsRelease(camera);
    EdsRelease(list);
}

TEST_F(CameraConnection, TheMainWindowDrivesTheSession) {
    body->set(kEdsPropID_BatteryLevel, EdsUInt32{50});
    w.click(kConnectButton);
    ASSERT_TRUE(p.camera.connected);
    body->set(kEdsPropID_BatteryLevel, EdsUInt32{20});
    t.clock.advance(19999);
    EXPECT_EQ(p.camera.batteryLevel, 50u);
    t.clock.advance(1);
    EXPECT_EQ(p.camera.batteryLevel, 20u);

    HeadlessWindow dialog([](Window&, const DialogMessage&) {});
    removeCameraEventPump(dialog); // not the window the pump posts to
    body->events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_AFMode, 0);
    EXPECT_FALSE(p.camera.afModeStale) << "posted, not delivered inside the camera's call";
    w.pump();
    EXPECT_TRUE(p.camera.afModeStale);
    removeCameraEventPump(w);
    p.camera.afModeStale = false;
    body->events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_AFMode, 0);
    w.pump();
    EXPECT_FALSE(p.camera.afModeStale) << "nothing posts to a window that is about to go";
    w.click(kConnectButton);
    EXPECT_FALSE(body->open);
}

} // namespace
} // namespace orvex::test
