// Choosing, connecting and losing a camera, with fake bodies behind the SDK layer.
#include "camera/camera_connection.h"
#include "camera/camera_properties.h"
#include "resources/connect_dialog.h"
#include "tests/support/fake_camera.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvex::test {
namespace {

std::vector<std::string> listLines(const HeadlessWindow& dialog, int id) {
    std::vector<std::string> lines;
    for (int i = 0; i < dialog.listCount(id); ++i) lines.push_back(dialog.listText(id, i));
    return lines;
}

class CameraConnection : public FakeCameraFixture {
  protected:
    std::shared_ptr<FakeCameraFile> raiseFile(EdsObjectEvent event) {
        auto file = std::make_shared<FakeCameraFile>();
        body->events->objectEvent(event, file);
        deliverCameraEvents(p, w);
        return file;
    }
};

TEST_F(CameraConnection, SimulationConnectsWithoutTheSdk) {
    p.options.simulation = true;
    w.listSelectIndex(kZoomList, 0);
    connectCamera(p, w);
    EXPECT_EQ(driver->enumerations, 0);
    EXPECT_TRUE(w.modalsRun().empty());
    EXPECT_TRUE(p.camera.connected);
    EXPECT_TRUE(p.run.cameraReady);
    EXPECT_FALSE(p.camera.liveViewAvailable);
    EXPECT_EQ(p.camera.name, "Simulation");
    EXPECT_EQ(w.itemText(kCameraField), "Simulation");
    EXPECT_EQ(w.itemText(kConnectButton), "Disconnect");
    EXPECT_TRUE(w.isItemEnabled(kLiveViewButton));
    EXPECT_EQ(p.camera.modelIndex, 0);

    disconnectCamera(p, w);
    EXPECT_FALSE(p.camera.connected);
    EXPECT_EQ(w.itemText(kCameraField), "Not connected");
    EXPECT_EQ(driver->enumerations, 0);
    EXPECT_EQ(body->sessionsOpened, 0);
}

TEST_F(CameraConnection, OneCameraIsTakenWithoutWaitingForTheUser) {
    bool asked = false;
    w.onModal = [&](HeadlessWindow&) { asked = true; };
    p.run.status = 35;
    connectCamera(p, w);
    EXPECT_FALSE(asked);
    EXPECT_EQ(w.modalsRun(), std::vector<std::string>{"CONNECT_DIALOG"});
    EXPECT_FALSE(p.camera.connectDialogOpen);
    ASSERT_TRUE(p.camera.connected);
    EXPECT_TRUE(body->open);
    EXPECT_EQ(p.camera.cameraNumber, 1);
    EXPECT_EQ(p.camera.name, "1 - Canon EOS 5D Mark III");
    EXPECT_EQ(w.itemText(kCameraField), "1 - Canon EOS 5D Mark III");
    EXPECT_EQ(p.camera.modelIndex, kModel5D);
    EXPECT_EQ(p.run.status, kStatusIdle);
    EXPECT_EQ(w.itemText(kConnectButton), "Disconnect");
    EXPECT_TRUE(w.messageBoxes().empty());
}

TEST_F(CameraConnection, WithoutCamerasTheDialogOffersOnlyCancel) {
    driver->bodies.clear();
    std::vector<std::string> lines;
    w.onModal = [&](HeadlessWindow& dialog) {
        EXPECT_EQ(dialog.title(), "Connect camera");
        EXPECT_EQ(dialog.itemText(kCancelCommand), "Cancel");
        lines = listLines(dialog, kCameraChoiceList);
        EXPECT_EQ(dialog.listSelection(kCameraChoiceList), 0);
        EXPECT_FALSE(dialog.isItemEnabled(kOkCommand));
        EXPECT_TRUE(p.camera.connectDialogOpen);
        dialog.click(kOkCommand);
        EXPECT_FALSE(dialog.dialogEnded()) << "a disabled OK does nothing";
        dialog.click(kCancelCommand);
        EXPECT_EQ(dialog.dialogResult(), kCancelCommand);
    };
    connectCamera(p, w);
    EXPECT_EQ(lines, std::vector<std::string>{"(No camera found)"});
    EXPECT_FALSE(p.camera.connected);
    EXPECT_FALSE(p.camera.connectDialogOpen);
    EXPECT_EQ(p.camera.cameraList, nullptr);
    EXPECT_TRUE(w.messageBoxes().empty());
    EXPECT_EQ(w.itemText(kCameraField), "Not connected");
}

TEST_F(CameraConnection, TwoCamerasOfOneModelAreToldApartByTheirNumber) {
    body->description = "Canon EOS 60D";
    auto second = driver->add("Canon EOS 60D");
    w.onModal = [&](HeadlessWindow& dialog) {
        EXPECT_EQ(listLines(dialog, kCameraChoiceList),
                  (std::vector<std::string>{"1 - Canon EOS 60D", "2 - Canon EOS 60D"}));
        EXPECT_EQ(dialog.listSelection(kCameraChoiceList), 0);
        EXPECT_TRUE(dialog.isItemEnabled(kOkCommand));
        dialog.listSelectIndex(kCameraChoiceList, 1);
        dialog.click(kOkCommand);
    };
    connectCamera(p, w);
    ASSERT_TRUE(p.camera.connected);
    EXPECT_FALSE(body->open);
    EXPECT_TRUE(second->open);
    EXPECT_EQ(p.camera.name, "2 - Canon EOS 60D");
    EXPECT_EQ(p.camera.cameraNumber, 2);
    EXPECT_EQ(p.camera.cameraList, nullptr);
}

TEST_F(CameraConnection, CancellingTheChoiceConnectsNothing) {
    driver->add("Canon EOS 7D");
    w.onModal = [](HeadlessWindow& dialog) { dialog.click(kCancelCommand); };
    connectCamera(p, w);
    EXPECT_FALSE(p.camera.connected);
    EXPECT_FALSE(p.camera.connectDialogOpen);
    EXPECT_EQ(p.camera.cameraList, nullptr);
    EXPECT_EQ(p.camera.camera, nullptr);
    EXPECT_EQ(body->sessionsOpened, 0);

    // A dialog the user leaves by its close box is a cancel too.
    w.onModal = {};
    connectCamera(p, w);
    EXPECT_FALSE(p.camera.connected);
    EXPECT_FALSE(p.camera.connectDialogOpen);
}

TEST_F(CameraConnection, OnlyTheListedCameraCanBeTakenByItself) {
    body->deviceInfoError = EDS_ERR_DEVICE_BUSY;
    auto second = driver->add("Canon EOS 7D");
    connectCamera(p, w);
    ASSERT_TRUE(p.camera.connected);
    EXPECT_TRUE(second->open);
    EXPECT_FALSE(body->open);
    EXPECT_EQ(p.camera.name, "2 - Canon EOS 7D");
}

TEST_F(CameraConnection, ASecondConnectWhileTheDialogIsUpDoesNothing) {
    p.camera.connectDialogOpen = true;
    connectCamera(p, w);
    EXPECT_TRUE(w.modalsRun().empty());
    EXPECT_FALSE(p.camera.connected);
}

TEST_F(CameraConnection, ACameraThatCannotOpenItsSessionSaysWhy) {
    body->openError = EDS_ERR_COMM_PORT_IS_IN_USE;
    connectCamera(p, w);
    EXPECT_FALSE(p.camera.connected);
    EXPECT_EQ(p.camera.camera, nullptr);
    ASSERT_EQ(w.messageBoxes().size(), 1u);
    EXPECT_EQ(w.messageBoxes()[0].text, "Cannot access this camera !\rCamera already in use");
    EXPECT_EQ(w.messageBoxes()[0].caption, "Error");
    EXPECT_EQ(w.messageBoxes()[0].icon, BoxIcon::Error);
    EXPECT_EQ(w.messageBoxes()[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(w.itemText(kCameraField), "Not connected");
}

TEST_F(CameraConnection, TheSessionFailureIsToldInTheUsersLanguage) {
    p.language = kFrench;
    body->openError = EDS_ERR_COMM_DISCONNECTED;
    connectCamera(p, w);
    ASSERT_EQ(w.messageBoxes().size(), 1u);
    EXPECT_EQ(w.messageBoxes()[0].text,
              std::string(messageText(kFrench, 44)) + "\r" + messageText(kFrench, 33));
    EXPECT_EQ(w.messageBoxes()[0].caption, messageText(kFrench, 54));
}

struct QualityCase {
    const char* name;
    std::uint32_t standard, legacy;
};

TEST_F(CameraConnection, TheProtocolChoosesTheQualityCodes) {
    const QualityCase cases[] = {
        {"R", 0x0064FF0F, 0x00240000},   {"(L)", 0x0013FF0F, 0x00130000}, {"(M)", 0x0113FF0F, 0x01130000},
        {"(S)", 0x0213FF0F, 0x02130000}, {"[L]", 0x0012FF0F, 0x00120000}, {"[M]", 0x0112FF0F, 0x01120000},
        {"[S]", 0x0212FF0F, 0x02120000}, {"MR", 0x0164FF0F, 0x0164FF0F},  {"SR", 0x0264FF0F, 0x0264FF0F},
    };
    const auto code = [&](const char* name) {
        return p.tables.quality[static_cast<std::size_t>(findByName(p.tables.quality, name))].code;
    };
    body->deviceSubType = 0;
    connect();
    EXPECT_TRUE(p.camera.legacyProtocol);
    for (const QualityCase& c : cases) EXPECT_EQ(code(c.name), c.legacy) << c.name;

    disconnectCamera(p, w);
    body->deviceSubType = 1;
    connect();
    EXPECT_FALSE(p.camera.legacyProtocol);
    for (const QualityCase& c : cases) EXPECT_EQ(code(c.name), c.standard) << c.name;
}

struct CapabilityCase {
    const char* description;
    bool refuseBulbEnd, refuseShutterButton;
    bool pressShutterBody;
    std::uint32_t longest;
};

class ConnectCapabilities : public CameraConnection, public ::testing::WithParamInterface<CapabilityCase> {};

TEST_P(ConnectCapabilities, TheProbesDecideTheLongestCameraTimedExposure) {
    const CapabilityCase& c = GetParam();
    body->description = c.description;
    if (c.refuseBulbEnd) body->refusedCommands.insert(kEdsCameraCommand_BulbEnd);
    if (c.refuseShutterButton) body->refusedCommands.insert(kEdsCameraCommand_PressShutterButton);
    connectCamera(p, w);
    ASSERT_TRUE(p.camera.connected);
    EXPECT_EQ(body->commands, (std::vector<std::pair<EdsCameraCommand, EdsInt32>>{{3, 0}, {4, 0}}));
    EXPECT_EQ(p.camera.bulbCommands, !c.refuseBulbEnd);
    EXPECT_EQ(p.camera.shutterButton, !c.refuseShutterButton);
    EXPECT_EQ(p.camera.pressShutterBody, c.pressShutterBody);
    EXPECT_EQ(p.camera.longestCameraTimedMs, c.longest);
}

INSTANTIATE_TEST_SUITE_P(Bodies, ConnectCapabilities,
                         ::testing::Values(CapabilityCase{"Canon EOS 5D Mark II", false, false, true, 30000},
                                           CapabilityCase{"Canon EOS 70D", true, true, true, 30000},
                                           CapabilityCase{"Canon EOS 1D X", false, true, true, 30000},
                                           CapabilityCase{"Canon EOS 600D", false, true, false, 3000},
                                           CapabilityCase{"Canon EOS 600D", true, false, false, 3000},
                                           CapabilityCase{"Canon EOS 600D", true, true, false, 30000},
                                           CapabilityCase{"Canon EOS 40D", false, false, false, 3000}));

TEST_F(CameraConnection, LiveViewIsAvailableWhenItsOutputCanBeRead) {
    connect();
    EXPECT_FALSE(p.camera.liveViewAvailable);
    EXPECT_FALSE(w.isItemEnabled(kZoomList));
    disconnectCamera(p, w);
    body->set(kEdsPropID_Evf_OutputDevice, EdsUInt32{1});
    connect();
    EXPECT_TRUE(p.camera.liveViewAvailable);
    EXPECT_TRUE(w.isItemEnabled(kZoomList));
    EXPECT_TRUE(w.isItemEnabled(kLiveViewButton));
}

TEST_F(CameraConnection, DisconnectingRestoresOnlyTheSettingsThatWereSaved) {
    body->set(kEdsPropID_ImageQuality, EdsUInt32{0x0013FF0F});
    body->set(kEdsPropID_ISOSpeed, EdsUInt32{0});
    body->set(kEdsPropID_Tv, EdsUInt32{0x60});
    connect();
    EXPECT_EQ(p.camera.savedQuality, 0x0013FF0Fu);
    EXPECT_EQ(p.camera.savedIso, 0u);
    EXPECT_EQ(p.camera.savedAperture, 0u) << "unreadable";
    EXPECT_EQ(p.camera.savedSpeed, 0x60u);
    // The run changed them meanwhile.
    body->set(kEdsPropID_ImageQuality, EdsUInt32{0x00640F0F});
    body->set(kEdsPropID_Tv, EdsUInt32{0x10});
    body->set(kEdsPropID_ISOSpeed, EdsUInt32{0x48});

    disconnectCamera(p, w);
    ASSERT_EQ(body->writes.size(), 2u);
    EXPECT_EQ(std::get<0>(body->writes[0]), kEdsPropID_ImageQuality);
    EXPECT_EQ(std::get<0>(body->writes[1]), kEdsPropID_Tv);
    EXPECT_EQ(body->value(kEdsPropID_ImageQuality), 0x0013FF0Fu);
    EXPECT_EQ(body->value(kEdsPropID_Tv), 0x60u);
    EXPECT_EQ(body->value(kEdsPropID_ISOSpeed), 0x48u);
    EXPECT_FALSE(body->open);
    EXPECT_EQ(p.camera.camera, nullptr);
    EXPECT_FALSE(p.camera.connected);
    EXPECT_EQ(w.itemText(kCameraField), "Not connected");
    EXPECT_EQ(w.itemText(kConnectButton), "Connect");
    EXPECT_EQ(p.run.status, kStatusIdle);
}

TEST_F(CameraConnection, TheBatteryIsWatchedOnlyWhenItIsNotOnMains) {
    body->set(kEdsPropID_BatteryLevel, EdsUInt32{kBatteryMains});
    connect();
    EXPECT_FALSE(w.hasTimer(kTimerBattery));
    EXPECT_EQ(w.colourOf(kCameraField), (FieldColour{colours::green, {}}));
    disconnectCamera(p, w);

    body->properties.erase({kEdsPropID_BatteryLevel, 0});
    connect();
    EXPECT_FALSE(w.hasTimer(kTimerBattery)) << "unreadable";
    EXPECT_EQ(w.itemText(kCameraField), "1 - Canon EOS 5D Mark III");
    disconnectCamera(p, w);

    body->set(kEdsPropID_BatteryLevel, EdsUInt32{50});
    connect();
    EXPECT_TRUE(w.hasTimer(kTimerBattery));
    EXPECT_EQ(w.timerPeriod(kTimerBattery), 20000u);
    EXPECT_EQ(p.camera.batteryLevel, 50u);
    EXPECT_EQ(w.colourOf(kCameraField), (FieldColour{colours::green, {}}));

    disconnectCamera(p, w);
    EXPECT_FALSE(w.hasTimer(kTimerBattery));
    EXPECT_EQ(w.colourOf(kCameraField), (FieldColour{colours::red, colours::white}));
}

TEST_F(CameraConnection, TheBatteryWatchRecoloursTheCameraField) {
    body->set(kEdsPropID_BatteryLevel, EdsUInt32{50});
    connect();
    const struct {
        std::uint32_t level;
        Rgb colour;
    } levels[] = {{31, colours::green},  {30, colours::yellow}, {11, colours::yellow},
                  {10, colours::orange}, {0, colours::orange},  {kBatteryMains, colours::green}};
    for (const auto& l : levels) {
        body->set(kEdsPropID_BatteryLevel, EdsUInt32{l.level});
        w.setItemText(kCameraField, "");
        batteryWatch(p, w);
        EXPECT_EQ(p.camera.batteryLevel, l.level);
        EXPECT_EQ(w.itemText(kCameraField), "1 - Canon EOS 5D Mark III");
        EXPECT_EQ(w.colourOf(kCameraField), (FieldColour{l.colour, {}})) << l.level;
    }

    // While a shot is outstanding the camera is left alone.
    body->set(kEdsPropID_BatteryLevel, EdsUInt32{20});
    body->forget();
    p.run.cameraReady = false;
    batteryWatch(p, w);
    EXPECT_TRUE(body->reads.empty());
    EXPECT_EQ(p.camera.batteryLevel, kBatteryMains);

    // A failed read keeps the last level.
    p.run.cameraReady = true;
    body->set(kEdsPropID_BatteryLevel, EdsUInt32{20});
    batteryWatch(p, w);
    body->properties.erase({kEdsPropID_BatteryLevel, 0});
    batteryWatch(p, w);
    EXPECT_EQ(p.camera.batteryLevel, 20u);
}

TEST_F(CameraConnection, ANewCameraDoesNotInheritTheLastOnesBatteryLevel) {
    body->set(kEdsPropID_BatteryLevel, EdsUInt32{5});
    connect();
    disconnectCamera(p, w);
    body->properties.erase({kEdsPropID_BatteryLevel, 0});
    connect();
    EXPECT_EQ(w.colourOf(kCameraField), (FieldColour{colours::green, {}}));
}

TEST_F(CameraConnection, The300DAndThe10DSaveToTheHost) {
    p.options.saveToHost = false;
    w.listSelectIndex(kSaveToList, 1);
    w.listSelectIndex(kLockupList, 3);
    body->description = "Canon EOS 10D";
    connect();
    EXPECT_TRUE(p.options.saveToHost);
    EXPECT_EQ(w.listSelection(kSaveToList), 0);
    EXPECT_EQ(w.listSelection(kLockupList), 3);
    EXPECT_FALSE(w.isItemEnabled(kSaveToList));
    EXPECT_TRUE(w.isItemEnabled(kLockupList));
    disconnectCamera(p, w);

    p.options.saveToHost = false;
    w.listSelectIndex(kSaveToList, 1);
    body->description = "Canon EOS 300D DIGITAL";
    connect();
    EXPECT_TRUE(p.options.saveToHost);
    EXPECT_EQ(w.listSelection(kSaveToList), 0);
    EXPECT_EQ(w.listSelection(kLockupList), 0);
    EXPECT_FALSE(w.isItemEnabled(kLockupList));
    disconnectCamera(p, w);

    p.options.saveToHost = false;
    w.listSelectIndex(kSaveToList, 1);
    body->description = "Canon EOS 100D";
    connect();
    EXPECT_FALSE(p.options.saveToHost);
    EXPECT_EQ(w.listSelection(kSaveToList), 1);
}

class AutoConnect : public CameraConnection {
  protected:
    void SetUp() override {
        body->set(kEdsPropID_BodyIDEx, std::string("111"));
        second->set(kEdsPropID_BodyIDEx, std::string("222"));
        third->set(kEdsPropID_BodyIDEx, std::string("333"));
        CameraConnection::SetUp();
        p.options.connectRequested = true;
    }
    std::shared_ptr<FakeBody> second = driver->add("Canon EOS 60D");
    std::shared_ptr<FakeBody> third = driver->add("Canon EOS 60D");
};

TEST_F(AutoConnect, TakesTheCameraWithTheWantedBodyId) {
    p.options.connectNumber = 222;
    autoConnect(p, w);
    ASSERT_TRUE(p.camera.connected);
    EXPECT_EQ(p.camera.name, "2 - Canon EOS 60D");
    EXPECT_TRUE(second->open);
    EXPECT_EQ(body->sessionsOpened, 1);
    EXPECT_EQ(body->sessionsClosed, 1) << "the camera that did not match is closed again";
    EXPECT_FALSE(body->open);
    EXPECT_EQ(third->sessionsOpened, 0);
    EXPECT_TRUE(w.modalsRun().empty());
    EXPECT_EQ(w.itemText(kCameraField), "2 - Canon EOS 60D");
    EXPECT_EQ(w.itemText(kConnectButton), "Disconnect");
}

TEST_F(AutoConnect, WithoutABodyIdTakesTheFirstCameraThatOpens) {
    body->openError = EDS_ERR_COMM_PORT_IS_IN_USE;
    autoConnect(p, w);
    ASSERT_TRUE(p.camera.connected);
    EXPECT_EQ(p.camera.name, "2 - Canon EOS 60D");
    EXPECT_EQ(third->sessionsOpened, 0);
    EXPECT_TRUE(w.messageBoxes().empty());
}

TEST_F(AutoConnect, NoMatchingCameraLeavesTheProgramSilentlyNotConnected) {
    p.options.connectNumber = 444;
    second->set(kEdsPropID_BodyIDEx, std::string("no number"));
    third->properties.clear();
    autoConnect(p, w);
    EXPECT_FALSE(p.camera.connected);
    EXPECT_EQ(p.camera.camera, nullptr);
    for (const auto& b : driver->bodies) {
        EXPECT_EQ(b->sessionsOpened, 1);
        EXPECT_FALSE(b->open);
    }
    EXPECT_TRUE(w.messageBoxes().empty());
}

TEST_F(AutoConnect, ABodyIdBeyond32BitsMatchesByItsLowBits) {
    third->set(kEdsPropID_BodyIDEx, std::string("4294967629")); // 2^32 + 333
    p.options.connectNumber = 333;
    autoConnect(p, w);
    EXPECT_EQ(p.camera.name, "3 - Canon EOS 60D");
}

TEST_F(AutoConnect, DoesNothingInSimulation) {
    p.options.simulation = true;
    autoConnect(p, w);
    EXPECT_FALSE(p.camera.connected);
    EXPECT_EQ(driver->enumerations, 0);
}

TEST_F(CameraConnection, PicturesAreCountedAndQueuedOnlyDuringARun) {
    connect();
    auto created = raiseFile(kEdsObjectEvent_DirItemCreated);
    EXPECT_EQ(p.run.picturesReported, 0);
    auto refused = raiseFile(kEdsObjectEvent_DirItemRequestTransfer);
    EXPECT_TRUE(refused->cancelled) << "nobody would take it";
    EXPECT_TRUE(p.transfers.empty());

    p.run.running = true;
    raiseFile(kEdsObjectEvent_DirItemCreated);
    raiseFile(kEdsObjectEvent_DirItemCreated);
    EXPECT_EQ(p.run.picturesReported, 2);
    auto wanted = raiseFile(kEdsObjectEvent_DirItemRequestTransfer);
    EXPECT_FALSE(wanted->cancelled);
    EdsDirectoryItemRef item = p.transfers.takeQueuedTransfer(0);
    ASSERT_NE(item, nullptr);
    EdsDirectoryItemInfo info{};
    EXPECT_EQ(EdsGetDirectoryItemInfo(item, &info), EDS_ERR_OK) << "the queue owns a live reference";
    EXPECT_STREQ(info.szFileName, "IMG_0001.JPG");
    EdsRelease(item);

    // Other object events are let go.
    raiseFile(kEdsObjectEvent_DirItemRemoved);
    body->events->objectEvent(kEdsObjectEvent_DirItemRequestTransfer, nullptr);
    deliverCameraEvents(p, w);
    EXPECT_TRUE(p.transfers.empty()) << "nothing to download";
    p.run.running = false;
}

TEST_F(CameraConnection, AnAfModeChangeMarksTheLiveViewAfModeStale) {
    connect();
    body->events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_Av, 0);
    body->events->propertyEvent(kEdsPropertyEvent_PropertyDescChanged, kEdsPropID_AFMode, 0);
    deliverCameraEvents(p, w);
    EXPECT_FALSE(p.camera.afModeStale);
    body->events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_AFMode, 0);
    EXPECT_FALSE(p.camera.afModeStale) << "only delivered events count";
    deliverCameraEvents(p, w);
    EXPECT_TRUE(p.camera.afModeStale);
}

TEST_F(CameraConnection, AShutdownDisconnectsWithoutRestoringSettings) {
    body->set(kEdsPropID_ImageQuality, EdsUInt32{0x0013FF0F});
    body->set(kEdsPropID_BatteryLevel, EdsUInt32{60});
    connect();
    ASSERT_TRUE(w.hasTimer(kTimerBattery));
    body->events->stateEvent(kEdsStateEvent_Shutdown, 0);
    // Events behind the shutdown belong to a session that is over.
    body->events->objectEvent(kEdsObjectEvent_DirItemCreated, std::make_shared<FakeCameraFile>());
    p.run.running = false;
    deliverCameraEvents(p, w);
    EXPECT_FALSE(p.camera.connected);
    EXPECT_TRUE(body->writes.empty());
    EXPECT_FALSE(body->open);
    EXPECT_EQ(p.camera.camera, nullptr);
    EXPECT_FALSE(w.hasTimer(kTimerBattery));
    EXPECT_EQ(w.itemText(kCameraField), "Not connected");
    EXPECT_EQ(w.itemText(kConnectButton), "Connect");
}

TEST_F(CameraConnection, AShutdownStopsTheRun) {
    connect();
    p.run.running = true;
    p.run.paused = true;
    w.setTimer(1, 50);
    body->events->stateEvent(kEdsStateEvent_Shutdown, 0);
    deliverCameraEvents(p, w);
    EXPECT_FALSE(p.run.running);
    EXPECT_FALSE(p.run.paused);
    EXPECT_FALSE(w.hasTimer(1));
    EXPECT_FALSE(p.camera.connected);
    EXPECT_EQ(p.run.status, kStatusIdle);
    EXPECT_TRUE(w.isItemEnabled(kConnectButton));
}

TEST_F(CameraConnection, OtherStateEventsChangeNothing) {
    connect();
    body->events->stateEvent(kEdsStateEvent_WillSoonShutDown, 0);
    deliverCameraEvents(p, w);
    EXPECT_TRUE(p.camera.connected);
}

TEST_F(CameraConnection, AClosedSessionNoLongerReachesTheProgram) {
    connect();
    disconnectCamera(p, w);
    // The same body in a session of its own, as autoConnect opens one to read a body id: the handlers of the
    // old connection must have gone with it.
    EdsCameraListRef list = nullptr;
    ASSERT_EQ(EdsGetCameraList(&list), EDS_ERR_OK);
    EdsCameraRef camera = nullptr;
    ASSERT_EQ(EdsGetChildAtIndex(list, 0, &camera), EDS_ERR_OK);
    ASSERT_EQ(EdsOpenSession(camera), EDS_ERR_OK);
    p.run.running = true;
    w.setItemText(kCameraField, "untouched");
    auto file = raiseFile(kEdsObjectEvent_DirItemRequestTransfer);
    body->events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_AFMode, 0);
    body->events->stateEvent(kEdsStateEvent_Shutdown, 0);
    deliverCameraEvents(p, w);
    EXPECT_TRUE(p.transfers.empty());
    EXPECT_TRUE(file->cancelled) << "nobody takes it now";
    EXPECT_FALSE(p.camera.afModeStale);
    EXPECT_EQ(w.itemText(kCameraField), "untouched");
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
    EXPECT_EQ(w.colourOf(kCameraField), (FieldColour{colours::yellow, {}}));

    body->events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_AFMode, 0);
    EXPECT_FALSE(p.camera.afModeStale);
    w.pump();
    EXPECT_TRUE(p.camera.afModeStale);

    w.click(kConnectButton);
    EXPECT_FALSE(p.camera.connected);
    EXPECT_FALSE(body->open);
    EXPECT_FALSE(w.hasTimer(kTimerBattery));
}

TEST(CameraCommandLine, ConnectsByBodyIdDuringStartUp) {
    auto driver = std::make_shared<FakeCameraDriver>();
    driver->add("Canon EOS 60D")->set(kEdsPropID_BodyIDEx, std::string("111"));
    driver->add("Canon EOS 60D")->set(kEdsPropID_BodyIDEx, std::string("222"));
    sdk::registerCameraDriver(driver);
    {
        TestProgram t;
        t.start("-connect=\"222\"");
        EXPECT_TRUE(t.window.modalsRun().empty());
        EXPECT_EQ(t.window.itemText(kCameraField), "2 - Canon EOS 60D");
        EXPECT_EQ(t.window.itemText(kConnectButton), "Disconnect");
        t.window.click(kMenuQuit);
        EXPECT_TRUE(t.window.destroyed());
        EXPECT_FALSE(driver->bodies[1]->open);
    }
    {
        TestProgram t;
        t.start("-simul -connect=\"\"");
        EXPECT_FALSE(t.program.camera.connected);
        EXPECT_EQ(driver->enumerations, 1);
        t.window.click(kMenuQuit);
    }
    EdsTerminateSDK();
    sdk::unregisterCameraDriver(driver);
}

TEST(CameraEventPump, EveryWaitingEventWakesTheWindow) {
    TestProgram t;
    auto driver = std::make_shared<FakeCameraDriver>();
    auto body = driver->add();
    sdk::registerCameraDriver(driver);
    t.start();
    std::vector<DialogMessage> received;
    HeadlessWindow pumpWindow([&](Window& w, const DialogMessage& m) {
        received.push_back(m);
        if (m.kind == MessageKind::User && m.id == kUserCameraEvent) deliverCameraEvents(t.program, w);
    });
    installCameraEventPump(pumpWindow);
    connectCamera(t.program, t.window);
    ASSERT_TRUE(t.program.camera.connected);

    body->events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_AFMode, 0);
    EXPECT_TRUE(received.empty()) << "posted, not delivered inside the camera's call";
    EXPECT_FALSE(t.program.camera.afModeStale);
    pumpWindow.pump();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].kind, MessageKind::User);
    EXPECT_EQ(received[0].id, kUserCameraEvent);
    EXPECT_TRUE(t.program.camera.afModeStale);

    // Only the window the pump posts to can take it away.
    removeCameraEventPump(t.window);
    body->events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_Av, 0);
    pumpWindow.pump();
    EXPECT_EQ(received.size(), 2u);
    removeCameraEventPump(pumpWindow);
    body->events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_Av, 0);
    pumpWindow.pump();
    EXPECT_EQ(received.size(), 2u) << "nothing posts to a window that is about to go";

    disconnectCamera(t.program, t.window);
    EdsTerminateSDK();
    sdk::unregisterCameraDriver(driver);
}

} // namespace
} // namespace orvex::test
