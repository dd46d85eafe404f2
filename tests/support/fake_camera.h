#pragma once
// Fake bodies behind the SDK layer for the camera tests: they answer from a property map, record every
// command and write, and raise events when a test asks. A camera test connects one to a bare CameraSession
// (FakeSession); the tests that go through the main window on purpose take the whole program
// (FakeCameraProgram).
#include "app/camera_link.h"
#include "camera/camera_connection.h"
#include "core/script.h"
#include "resources/main_dialog.h"
#include "sdk/camera_driver.h"
#include "tests/support/test_program.h"
#include "ui/main_controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace orvex::test {

// A file on the body, announced by a test; `data` is what a download receives.
class FakeCameraFile : public sdk::DriverItem {
  public:
    explicit FakeCameraFile(std::vector<std::uint8_t> bytes = {'J', 'P', 'E', 'G'})
        : data(std::move(bytes)) {}
    std::vector<std::uint8_t> data;
    bool cancelled = false;

    EdsError info(EdsDirectoryItemInfo& out) override {
        out.size = static_cast<EdsUInt32>(data.size());
        std::strncpy(out.szFileName, "IMG_0001.JPG", sizeof out.szFileName - 1);
        return EDS_ERR_OK;
    }
    EdsError download(EdsUInt64 size, sdk::ByteSink& out) override {
        return out.write(data.data(), std::min<std::size_t>(size, data.size()));
    }
    EdsError downloadCancel() override { return cancelled = true, EDS_ERR_OK; }
    EdsError downloadComplete() override { return EDS_ERR_OK; }
};

class FakeBody : public sdk::DriverCamera {
  public:
    using Key = std::pair<EdsPropertyID, EdsInt32>;
    explicit FakeBody(std::string text = "Canon EOS 5D Mark III") : description(std::move(text)) {}

    std::string description;
    EdsError deviceInfoError = EDS_ERR_OK, openError = EDS_ERR_OK;
    int openErrors = -1; // how many openings answer openError; -1: all
    std::map<Key, sdk::PropertyValue> properties;
    std::set<EdsPropertyID> busyProperties; // read and written with EDS_ERR_DEVICE_BUSY
    std::vector<std::pair<EdsCameraCommand, EdsInt32>> commands;
    std::vector<EdsCameraStatusCommand> statusCommands;
    std::vector<std::tuple<EdsPropertyID, EdsInt32, sdk::PropertyValue>> writes;
    std::vector<Key> reads;
    bool open = false;
    int sessionsOpened = 0;
    std::shared_ptr<sdk::CameraEventSink> events;
    // Live view: not ready until a test gives it a picture.
    EdsError evfError = EDS_ERR_OBJECT_NOTREADY;
    std::vector<std::uint8_t> evfJpeg;
    int evfDownloads = 0;

    void set(EdsPropertyID id, sdk::PropertyValue value, EdsInt32 param = 0) {
        properties[{id, param}] = std::move(value);
    }
    EdsUInt32 value(EdsPropertyID id, EdsInt32 param = 0) const {
        const auto it = properties.find({id, param});
        return it == properties.end() ? 0xDEADBEEF : std::get<EdsUInt32>(it->second);
    }
    // Everything recorded so far is forgotten: what a test does next is what it checks.
    void forget() { commands.clear(), statusCommands.clear(), writes.clear(), reads.clear(); }

    EdsError deviceInfo(EdsDeviceInfo& out) override {
        if (deviceInfoError != EDS_ERR_OK) return deviceInfoError;
        std::strncpy(out.szDeviceDescription, description.c_str(), sizeof out.szDeviceDescription - 1);
        std::strncpy(out.szPortName, "usb:001,004", sizeof out.szPortName - 1);
        out.deviceSubType = 1;
        return EDS_ERR_OK;
    }
    EdsError openSession(std::shared_ptr<sdk::CameraEventSink> sink) override {
        if (openError != EDS_ERR_OK && openErrors-- != 0) return openError;
        events = std::move(sink);
        open = true;
        ++sessionsOpened;
        return EDS_ERR_OK;
    }
    EdsError closeSession() override { return open = false, events.reset(), EDS_ERR_OK; }
    EdsError getProperty(EdsPropertyID id, EdsInt32 param, sdk::PropertyValue& out) override {
        reads.emplace_back(id, param);
        if (busyProperties.count(id)) return EDS_ERR_DEVICE_BUSY;
        const auto it = properties.find({id, param});
        if (it == properties.end()) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        out = it->second;
        return EDS_ERR_OK;
    }
    EdsError setProperty(EdsPropertyID id, EdsInt32 param, const sdk::PropertyValue& value) override {
        writes.emplace_back(id, param, value);
        if (busyProperties.count(id)) return EDS_ERR_DEVICE_BUSY;
        properties[{id, param}] = value;
        return EDS_ERR_OK;
    }
    EdsError propertyDesc(EdsPropertyID, EdsPropertyDesc& out) override {
        return out.numElements = 0, EDS_ERR_OK;
    }
    EdsError sendCommand(EdsCameraCommand command, EdsInt32 param) override {
        return commands.emplace_back(command, param), EDS_ERR_OK;
    }
    EdsError sendStatusCommand(EdsCameraStatusCommand command, EdsInt32) override {
        return statusCommands.push_back(command), EDS_ERR_OK;
    }
    EdsError setCapacity(const EdsCapacity&) override { return EDS_ERR_OK; }
    EdsError downloadEvfImage(sdk::ByteSink& out, sdk::EvfFrameInfo& info) override {
        ++evfDownloads;
        if (evfError != EDS_ERR_OK) return evfError;
        return info.coordinateSystem = {5184, 3456}, out.write(evfJpeg.data(), evfJpeg.size());
    }
};

class FakeCameraDriver : public sdk::CameraDriver {
  public:
    std::vector<std::shared_ptr<FakeBody>> bodies;
    int enumerations = 0;

    std::shared_ptr<FakeBody> add(const std::string& description = "Canon EOS 5D Mark III") {
        return bodies.push_back(std::make_shared<FakeBody>(description)), bodies.back();
    }
    EdsError enumerate(std::vector<std::shared_ptr<sdk::DriverCamera>>& out) override {
        ++enumerations;
        out.insert(out.end(), bodies.begin(), bodies.end());
        return EDS_ERR_OK;
    }
};

// A fake body and the records the camera layer takes, with a headless window whose camera field is coloured
// as the main window colours it. connect() opens the body as the Connect button does (one body listed: the
// connect dialog takes it by itself). A picture offered after a run is counted in `latePictures` and refused.
struct FakeSession {
    FakeSession() { sdk::registerCameraDriver(driver), EdsInitializeSDK(); }
    ~FakeSession() {
        if (camera.connected) disconnect();
        transfers.clear();
        EdsTerminateSDK();
        sdk::unregisterCameraDriver(driver);
    }
    CameraEvents events() {
        return {camera, run, transfers, [this](EdsDirectoryItemRef) { return ++latePictures, false; },
                [](EdsDirectoryItemRef) {}};
    }
    ConnectionSetting setting() { return {options, tables.quality, kEnglish}; }
    Connection open() { return openCamera(events(), setting(), w); }
    void connect() {
        ASSERT_EQ(open(), Connection::kBody);
        body->forget();
    }
    void disconnect() {
        giveBackCameraSettings(camera);
        closeCamera(camera, options.simulation, kEnglish, w);
    }
    // A file the body announces, once its events are delivered.
    std::shared_ptr<FakeCameraFile> raise(EdsObjectEvent event) {
        auto file = std::make_shared<FakeCameraFile>();
        body->events->objectEvent(event, file);
        deliverEvents(camera);
        return file;
    }

    std::shared_ptr<FakeCameraDriver> driver = std::make_shared<FakeCameraDriver>();
    std::shared_ptr<FakeBody> body = driver->add();
    CameraSession camera;
    RunState run;
    TransferQueue transfers;
    StartupOptions options;
    ValueTables tables = makeValueTables();
    Script script;
    std::vector<std::string> ports;
    int latePictures = 0;
    VirtualClock clock;
    HeadlessWindow w{[](Window&, const DialogMessage&) {},
                     [this](int id) {
                         return colourField({run, camera, script, options, ports, false, kEnglish}, id);
                     },
                     &clock};
};

// A FakeSession whose body is connected from the start, as most camera operations need.
struct ConnectedSession : FakeSession {
    ConnectedSession() { connect(); }
};

// The whole program with one fake body, for the tests that go through the main window; connect() uses the
// Connect button's path.
struct FakeCameraProgram {
    FakeCameraProgram() { sdk::registerCameraDriver(driver), t.start(); }
    ~FakeCameraProgram() {
        if (p.camera.connected) disconnectCamera(p, w);
        EdsTerminateSDK();
        sdk::unregisterCameraDriver(driver);
    }
    void connect() {
        connectCamera(p, w);
        ASSERT_TRUE(p.camera.connected);
        body->forget();
    }

    TestProgram t;
    Program& p = t.program;
    HeadlessWindow& w = t.window;
    std::shared_ptr<FakeCameraDriver> driver = std::make_shared<FakeCameraDriver>();
    std::shared_ptr<FakeBody> body = driver->add();
};

} // namespace orvex::test
