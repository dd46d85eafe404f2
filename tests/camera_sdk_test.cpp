#include "camera/camera_driver.h"
#include "camera/sdk.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <thread>

namespace orvex::test {
namespace {

using sdk::ByteSink;
using sdk::CameraDriver;
using sdk::CameraEventSink;
using sdk::DriverCamera;
using sdk::DriverItem;
using sdk::EvfFrameInfo;
using sdk::PropertyValue;
using Bytes = std::vector<std::uint8_t>;

// Flags any call that enters the fake while another is still inside it.
struct Overlap {
    std::atomic<int> inside{0};
    std::atomic<bool> seen{false};
    struct Scope {
        Overlap& o;
        explicit Scope(Overlap& overlap) : o(overlap) {
            if (o.inside.fetch_add(1) != 0) o.seen = true;
        }
        ~Scope() { o.inside.fetch_sub(1); }
    };
};

class FakeItem : public DriverItem {
  public:
    FakeItem(Overlap& overlap, std::string name, Bytes data) : overlap_(overlap), name_(name), data_(data) {}
    std::optional<EdsTime> time; // none: let the file tell
    bool cancelled = false, completed = false;

    EdsError info(EdsDirectoryItemInfo& out) override {
        Overlap::Scope s(overlap_);
        out.size = static_cast<EdsUInt32>(data_.size());
        std::strncpy(out.szFileName, name_.c_str(), sizeof out.szFileName - 1);
        return EDS_ERR_OK;
    }
    EdsError download(EdsUInt64 size, ByteSink& out) override {
        Overlap::Scope s(overlap_);
        const std::size_t n = std::min<std::size_t>(size, data_.size());
        // Byte by byte, to leave other threads every chance to barge in.
        for (std::size_t i = 0; i < n; ++i) {
            if (const EdsError e = out.write(&data_[i], 1)) return e;
            std::this_thread::yield();
        }
        return EDS_ERR_OK;
    }
    EdsError downloadCancel() override { return cancelled = true, EDS_ERR_OK; }
    EdsError downloadComplete() override { return completed = true, EDS_ERR_OK; }
    EdsError shootingTime(EdsTime& out) override {
        if (!time) return EDS_ERR_NOT_SUPPORTED;
        out = *time;
        return EDS_ERR_OK;
    }

  private:
    Overlap& overlap_;
    std::string name_;
    Bytes data_;
};

class FakeCamera : public DriverCamera {
  public:
    Overlap overlap;
    std::map<std::pair<EdsPropertyID, EdsInt32>, PropertyValue> properties;
    std::vector<std::pair<EdsCameraCommand, EdsInt32>> commands;
    std::vector<EdsCameraStatusCommand> statusCommands;
    EdsCapacity capacity{};
    bool open = false;
    std::shared_ptr<CameraEventSink> events;
    std::shared_ptr<FakeItem> nextPicture; // announced by the take-picture command
    Bytes evfJpeg{0xFF, 0xD8, 1, 2, 3, 0xFF, 0xD9};

    EdsError deviceInfo(EdsDeviceInfo& out) override {
        std::memset(out.szDeviceDescription, 'x', sizeof out.szDeviceDescription); // no terminator
        std::memcpy(out.szDeviceDescription, "Canon EOS 5D", 12);
        out.deviceSubType = 1;
        return EDS_ERR_OK;
    }
    EdsError openSession(std::shared_ptr<CameraEventSink> sink) override {
        events = sink;
        open = true;
        return EDS_ERR_OK;
    }
    EdsError closeSession() override {
        open = false;
        events.reset();
        return EDS_ERR_OK;
    }
    EdsError getProperty(EdsPropertyID id, EdsInt32 param, PropertyValue& out) override {
        Overlap::Scope s(overlap);
        const auto it = properties.find({id, param});
        if (it == properties.end()) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        out = it->second;
        return EDS_ERR_OK;
    }
    EdsError setProperty(EdsPropertyID id, EdsInt32 param, const PropertyValue& value) override {
        properties[{id, param}] = value;
        return EDS_ERR_OK;
    }
    EdsError propertyDesc(EdsPropertyID, EdsPropertyDesc& out) override {
        out.numElements = 500; // more than the record holds
        return EDS_ERR_OK;
    }
    EdsError sendCommand(EdsCameraCommand command, EdsInt32 param) override {
        Overlap::Scope s(overlap);
        commands.emplace_back(command, param);
        if (command == kEdsCameraCommand_TakePicture && events) {
            events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_AFMode, 0);
            events->objectEvent(kEdsObjectEvent_DirItemRequestTransfer, nextPicture);
        }
        return EDS_ERR_OK;
    }
    EdsError sendStatusCommand(EdsCameraStatusCommand command, EdsInt32) override {
        statusCommands.push_back(command);
        return EDS_ERR_OK;
    }
    EdsError setCapacity(const EdsCapacity& c) override {
        capacity = c;
        return EDS_ERR_OK;
    }
    EdsError downloadEvfImage(ByteSink& jpeg, EvfFrameInfo& info) override {
        info = EvfFrameInfo{5, {100, 200}, {1024, 680}};
        return jpeg.write(evfJpeg.data(), evfJpeg.size());
    }
};

class FakeDriver : public CameraDriver {
  public:
    std::vector<std::shared_ptr<FakeCamera>> cameras;
    EdsError enumerate(std::vector<std::shared_ptr<DriverCamera>>& out) override {
        out.insert(out.end(), cameras.begin(), cameras.end());
        return EDS_ERR_OK;
    }
};

class CameraSdk : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(EdsInitializeSDK(), EDS_ERR_OK);
        driver->cameras.push_back(body);
        sdk::registerCameraDriver(driver);
    }
    void TearDown() override {
        EdsTerminateSDK();
        sdk::unregisterCameraDriver(driver);
    }

    EdsCameraRef firstCamera() {
        EdsCameraListRef list = nullptr;
        EdsCameraRef camera = nullptr;
        EXPECT_EQ(EdsGetCameraList(&list), EDS_ERR_OK);
        EXPECT_EQ(EdsGetChildAtIndex(list, 0, &camera), EDS_ERR_OK);
        EdsRelease(list); // the camera handle outlives its list, as the connect dialog relies on
        return camera;
    }
    EdsCameraRef openCamera() {
        EdsCameraRef camera = firstCamera();
        EXPECT_EQ(EdsOpenSession(camera), EDS_ERR_OK);
        return camera;
    }
    EdsStreamRef memoryStream() {
        EdsStreamRef stream = nullptr;
        EXPECT_EQ(EdsCreateMemoryStream(0x200000, &stream), EDS_ERR_OK);
        return stream;
    }

    std::shared_ptr<FakeDriver> driver = std::make_shared<FakeDriver>();
    std::shared_ptr<FakeCamera> body = std::make_shared<FakeCamera>();
};

TEST(CameraSdkLifecycle, InitialisingTwiceAndTerminatingTwiceAreHarmless) {
    EXPECT_EQ(EdsInitializeSDK(), EDS_ERR_OK);
    EXPECT_EQ(EdsInitializeSDK(), EDS_ERR_OK);
    EdsCameraListRef list = nullptr;
    ASSERT_EQ(EdsGetCameraList(&list), EDS_ERR_OK);
    EdsUInt32 count = 99;
    EXPECT_EQ(EdsGetChildCount(list, &count), EDS_ERR_OK);
    EXPECT_EQ(count, 0u) << "no driver registered";
    EdsBaseRef child = nullptr;
    EXPECT_EQ(EdsGetChildAtIndex(list, 0, &child), EDS_ERR_INVALID_INDEX);
    EXPECT_EQ(EdsGetChildAtIndex(list, -1, &child), EDS_ERR_INVALID_INDEX);

    EXPECT_EQ(EdsTerminateSDK(), EDS_ERR_OK);
    EXPECT_EQ(EdsTerminateSDK(), EDS_ERR_OK);
    EXPECT_EQ(EdsGetChildCount(list, &count), EDS_ERR_INVALID_HANDLE) << "handles end with the SDK";
    EXPECT_EQ(EdsGetCameraList(&list), EDS_ERR_INTERNAL_ERROR);
    EdsStreamRef stream = nullptr;
    EXPECT_EQ(EdsCreateMemoryStream(16, &stream), EDS_ERR_INTERNAL_ERROR);
}

TEST_F(CameraSdk, RefusesNullReleasedAndWrongKindHandles) {
    EdsStreamRef released = memoryStream();
    ASSERT_EQ(EdsRelease(released), EDS_ERR_OK);
    EdsStreamRef stream = memoryStream();
    EdsCameraRef camera = openCamera();

    EdsUInt32 u = 0;
    EdsUInt64 length = 0;
    EdsVoid* pointer = nullptr;
    EdsDeviceInfo info{};
    EdsDirectoryItemInfo itemInfo{};
    EdsBaseRef out = nullptr;
    const std::vector<std::pair<const char*, std::function<EdsError(EdsBaseRef)>>> calls = {
        {"GetChildCount", [&](EdsBaseRef r) { return EdsGetChildCount(r, &u); }},
        {"GetChildAtIndex", [&](EdsBaseRef r) { return EdsGetChildAtIndex(r, 0, &out); }},
        {"GetDeviceInfo", [&](EdsBaseRef r) { return EdsGetDeviceInfo(r, &info); }},
        {"OpenSession", [&](EdsBaseRef r) { return EdsOpenSession(r); }},
        {"SendCommand", [&](EdsBaseRef r) { return EdsSendCommand(r, 0, 0); }},
        {"GetPropertyData", [&](EdsBaseRef r) { return EdsGetPropertyData(r, kEdsPropID_Av, 0, 4, &u); }},
        {"SetPropertyData", [&](EdsBaseRef r) { return EdsSetPropertyData(r, kEdsPropID_Av, 0, 4, &u); }},
        {"SetHandler",
         [&](EdsBaseRef r) { return EdsSetCameraStateEventHandler(r, 0x300, nullptr, nullptr); }},
        {"GetDirectoryItemInfo", [&](EdsBaseRef r) { return EdsGetDirectoryItemInfo(r, &itemInfo); }},
        {"Download", [&](EdsBaseRef r) { return EdsDownload(r, 1, stream); }},
        {"DownloadCancel", [&](EdsBaseRef r) { return EdsDownloadCancel(r); }},
        {"GetLength", [&](EdsBaseRef r) { return EdsGetLength(r, &length); }},
        {"CreateImageRef", [&](EdsBaseRef r) { return EdsCreateImageRef(r, &out); }},
        {"DownloadEvfImage", [&](EdsBaseRef r) { return EdsDownloadEvfImage(camera, r); }},
        {"Release", [&](EdsBaseRef r) { return EdsRelease(r); }},
    };
    for (const auto& [name, call] : calls) {
        EXPECT_EQ(call(nullptr), EDS_ERR_INVALID_HANDLE) << name << " on null";
        EXPECT_EQ(call(released), EDS_ERR_INVALID_HANDLE) << name << " on a released handle";
    }
    const std::set<std::string> acceptStreams = {"GetLength", "CreateImageRef", "Release"};
    for (const auto& [name, call] : calls) {
        if (acceptStreams.count(name)) continue;
        EXPECT_EQ(call(stream), EDS_ERR_INVALID_HANDLE) << name << " on a stream";
    }
    EXPECT_EQ(EdsGetPointer(camera, &pointer), EDS_ERR_INVALID_HANDLE);
    EXPECT_EQ(EdsGetLength(camera, &length), EDS_ERR_INVALID_HANDLE);
}

TEST_F(CameraSdk, RefusesNullOutputPointers) {
    EdsCameraListRef list = nullptr;
    ASSERT_EQ(EdsGetCameraList(&list), EDS_ERR_OK);
    EdsCameraRef camera = openCamera();
    EdsStreamRef stream = memoryStream();
    const std::vector<std::pair<const char*, EdsError>> results = {
        {"GetCameraList", EdsGetCameraList(nullptr)},
        {"GetChildCount", EdsGetChildCount(list, nullptr)},
        {"GetChildAtIndex", EdsGetChildAtIndex(list, 0, nullptr)},
        {"GetDeviceInfo", EdsGetDeviceInfo(camera, nullptr)},
        {"GetPropertyData", EdsGetPropertyData(camera, kEdsPropID_Av, 0, 4, nullptr)},
        {"SetPropertyData", EdsSetPropertyData(camera, kEdsPropID_Av, 0, 4, nullptr)},
        {"GetPropertyDesc", EdsGetPropertyDesc(camera, kEdsPropID_Av, nullptr)},
        {"CreateFileStream path", EdsCreateFileStream(nullptr, 1, 2, &stream)},
        {"CreateMemoryStream", EdsCreateMemoryStream(16, nullptr)},
        {"GetPointer", EdsGetPointer(stream, nullptr)},
        {"GetLength", EdsGetLength(stream, nullptr)},
        {"CreateEvfImageRef", EdsCreateEvfImageRef(stream, nullptr)},
    };
    for (const auto& [name, result] : results) EXPECT_EQ(result, EDS_ERR_INVALID_POINTER) << name;
}

TEST_F(CameraSdk, RoutesCallsToTheDriverCameraWithinItsSession) {
    EdsCameraRef camera = firstCamera();
    EdsDeviceInfo info;
    ASSERT_EQ(EdsGetDeviceInfo(camera, &info), EDS_ERR_OK);
    EXPECT_EQ(std::strlen(info.szDeviceDescription), std::size_t{EDS_MAX_NAME - 1}) << "always terminated";
    EXPECT_EQ(std::string(info.szDeviceDescription, 12), "Canon EOS 5D");
    EXPECT_EQ(info.deviceSubType, 1u);
    EXPECT_EQ(EdsSendCommand(camera, kEdsCameraCommand_BulbEnd, 0), EDS_ERR_SESSION_NOT_OPEN);
    EXPECT_TRUE(body->commands.empty());

    ASSERT_EQ(EdsOpenSession(camera), EDS_ERR_OK);
    EXPECT_EQ(EdsSendCommand(camera, kEdsCameraCommand_PressShutterButton, 0x10003), EDS_ERR_OK);
    EXPECT_EQ(EdsSendStatusCommand(camera, kEdsCameraStatusCommand_UIUnLock, 0), EDS_ERR_OK);
    EXPECT_EQ(EdsSetCapacity(camera, EdsCapacity{0x7FFFFFFF, 0x1000, 1}), EDS_ERR_OK);
    ASSERT_EQ(body->commands.size(), 1u);
    EXPECT_EQ(body->commands[0], std::make_pair(kEdsCameraCommand_PressShutterButton, EdsInt32{0x10003}));
    EXPECT_EQ(body->statusCommands, std::vector<EdsCameraStatusCommand>{kEdsCameraStatusCommand_UIUnLock});
    EXPECT_EQ(body->capacity.bytesPerSector, 0x1000);

    // Values go through typed, whatever buffer the caller hands over.
    const EdsUInt32 av = 0x30;
    EXPECT_EQ(EdsSetPropertyData(camera, kEdsPropID_Av, 0, 4, &av), EDS_ERR_OK);
    EXPECT_EQ(std::get<EdsUInt32>(body->properties.at({kEdsPropID_Av, 0})), 0x30u);
    const EdsTime when{2015, 11, 3, 21, 4, 9, 500};
    EXPECT_EQ(EdsSetPropertyData(camera, kEdsPropID_DateTime, 0, sizeof when, &when), EDS_ERR_OK);
    EdsTime back{};
    EXPECT_EQ(EdsGetPropertyData(camera, kEdsPropID_DateTime, 0, sizeof back, &back), EDS_ERR_OK);
    EXPECT_EQ(std::memcmp(&back, &when, sizeof when), 0);
    EXPECT_EQ(EdsSetPropertyData(camera, kEdsPropID_DateTime, 0, 8, &when), EDS_ERR_INVALID_LENGTH);

    body->properties[{kEdsPropID_CFn, 12}] = EdsUInt32{1};
    EdsUInt32 cfn = 0;
    EXPECT_EQ(EdsGetPropertyData(camera, kEdsPropID_CFn, 12, 4, &cfn), EDS_ERR_OK);
    EXPECT_EQ(cfn, 1u) << "the parameter selects the custom function";
    EXPECT_EQ(EdsGetPropertyData(camera, kEdsPropID_CFn, 7, 4, &cfn), EDS_ERR_PROPERTIES_UNAVAILABLE);

    body->properties[{kEdsPropID_BodyIDEx, 0}] = std::string("1234567890");
    char text[80];
    std::memset(text, '?', sizeof text);
    EXPECT_EQ(EdsGetPropertyData(camera, kEdsPropID_BodyIDEx, 0, sizeof text, text), EDS_ERR_OK);
    EXPECT_STREQ(text, "1234567890");
    EXPECT_EQ(EdsGetPropertyData(camera, kEdsPropID_BodyIDEx, 0, 10, text), EDS_ERR_INVALID_LENGTH)
        << "no room for the terminator";
    EdsDataType type = 0;
    EdsUInt32 size = 0;
    EXPECT_EQ(EdsGetPropertySize(camera, kEdsPropID_BodyIDEx, 0, &type, &size), EDS_ERR_OK);
    EXPECT_EQ(type, kEdsDataType_String);
    EXPECT_EQ(size, 11u);

    EdsPropertyDesc desc;
    EXPECT_EQ(EdsGetPropertyDesc(camera, kEdsPropID_Tv, &desc), EDS_ERR_OK);
    EXPECT_EQ(desc.numElements, 128) << "a driver's miscount stays inside the record";

    EXPECT_EQ(EdsCloseSession(camera), EDS_ERR_OK);
    EXPECT_FALSE(body->open);
    EXPECT_EQ(EdsGetPropertyData(camera, kEdsPropID_Av, 0, 4, &cfn), EDS_ERR_SESSION_NOT_OPEN);
}

TEST_F(CameraSdk, EveryListingReachesTheSameBodyAndSession) {
    EdsCameraRef first = openCamera();
    EdsCameraRef second = firstCamera();
    EXPECT_EQ(EdsSendCommand(second, kEdsCameraCommand_BulbStart, 0), EDS_ERR_OK);
    EXPECT_EQ(EdsRelease(first), EDS_ERR_OK);
    EXPECT_EQ(EdsSendCommand(second, kEdsCameraCommand_BulbEnd, 0), EDS_ERR_OK);
    EXPECT_EQ(body->commands.size(), 2u);
}

TEST_F(CameraSdk, ReleaseFreesAtTheLastReference) {
    EdsStreamRef stream = memoryStream();
    EXPECT_EQ(EdsRetain(stream), EDS_ERR_OK);
    EXPECT_EQ(EdsRelease(stream), EDS_ERR_OK);
    EdsUInt64 length = 1;
    EXPECT_EQ(EdsGetLength(stream, &length), EDS_ERR_OK) << "one reference left";
    EXPECT_EQ(EdsRelease(stream), EDS_ERR_OK);
    EXPECT_EQ(EdsGetLength(stream, &length), EDS_ERR_INVALID_HANDLE);
    EXPECT_EQ(EdsRelease(stream), EDS_ERR_INVALID_HANDLE);
    EXPECT_EQ(EdsRetain(stream), EDS_ERR_INVALID_HANDLE);
}

struct Seen {
    std::vector<EdsPropertyID> properties;
    std::vector<std::string> files;
    std::vector<EdsStateEvent> states;
    EdsError cancelResult = 0xFFFFFFFF;
};

EdsError onProperty(EdsPropertyEvent, EdsPropertyID id, EdsUInt32, EdsVoid* context) {
    static_cast<Seen*>(context)->properties.push_back(id);
    return EDS_ERR_OK;
}

EdsError onObject(EdsObjectEvent, EdsBaseRef item, EdsVoid* context) {
    auto* seen = static_cast<Seen*>(context);
    EdsDirectoryItemInfo info;
    if (EdsGetDirectoryItemInfo(item, &info) == EDS_ERR_OK) seen->files.push_back(info.szFileName);
    seen->cancelResult = EdsDownloadCancel(item); // calling back into the SDK from a handler
    EdsRelease(item);
    return EDS_ERR_OK;
}

EdsError onState(EdsStateEvent event, EdsUInt32, EdsVoid* context) {
    static_cast<Seen*>(context)->states.push_back(event);
    return EDS_ERR_OK;
}

TEST_F(CameraSdk, EventsWaitForEdsGetEventAndReachTheirHandlersInOrder) {
    Seen seen;
    int notified = 0;
    EdsSetEventNotifier([](EdsVoid* c) { ++*static_cast<int*>(c); }, &notified);
    EdsCameraRef camera = openCamera();
    EdsSetPropertyEventHandler(camera, kEdsPropertyEvent_All, onProperty, &seen);
    EdsSetObjectEventHandler(camera, kEdsObjectEvent_All, onObject, &seen);
    EdsSetCameraStateEventHandler(camera, kEdsStateEvent_All, onState, &seen);
    body->nextPicture = std::make_shared<FakeItem>(body->overlap, "IMG_0001.CR2", Bytes{1, 2, 3});

    ASSERT_EQ(EdsSendCommand(camera, kEdsCameraCommand_TakePicture, 0), EDS_ERR_OK);
    EXPECT_EQ(notified, 2);
    EXPECT_TRUE(seen.properties.empty()) << "handlers never run inside another call";
    body->events->stateEvent(kEdsStateEvent_Shutdown, 0);

    ASSERT_EQ(EdsGetEvent(), EDS_ERR_OK);
    EXPECT_EQ(seen.properties, std::vector<EdsPropertyID>{kEdsPropID_AFMode});
    EXPECT_EQ(seen.files, std::vector<std::string>{"IMG_0001.CR2"});
    EXPECT_EQ(seen.cancelResult, EDS_ERR_OK);
    EXPECT_TRUE(body->nextPicture->cancelled);
    EXPECT_EQ(seen.states, std::vector<EdsStateEvent>{kEdsStateEvent_Shutdown});

    // The program closes the session before the queued events reach it: they belong to a window that moved
    // on.
    seen = Seen{};
    auto sink = body->events;
    sink->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_Tv, 0);
    EdsCloseSession(camera);
    sink->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_Av, 0);
    ASSERT_EQ(EdsOpenSession(camera), EDS_ERR_OK);
    EdsGetEvent();
    EXPECT_TRUE(seen.properties.empty());
}

TEST_F(CameraSdk, AFileNobodyTakesIsCancelledOnTheCamera) {
    EdsCameraRef camera = openCamera();
    body->nextPicture = std::make_shared<FakeItem>(body->overlap, "IMG_0002.JPG", Bytes{1});
    EdsSendCommand(camera, kEdsCameraCommand_TakePicture, 0);
    EdsGetEvent();
    EXPECT_TRUE(body->nextPicture->cancelled);
}

TEST_F(CameraSdk, LiveViewFramesLandInAMemoryStreamOneAtATime) {
    EdsCameraRef camera = openCamera();
    EdsStreamRef stream = memoryStream();
    EdsVoid* pointer = nullptr;
    EdsUInt64 length = 99;
    EXPECT_EQ(EdsGetPointer(stream, &pointer), EDS_ERR_OK);
    EXPECT_NE(pointer, nullptr) << "room for a frame from the start";
    EXPECT_EQ(EdsGetLength(stream, &length), EDS_ERR_OK);
    EXPECT_EQ(length, 0u);

    EdsEvfImageRef image = nullptr;
    ASSERT_EQ(EdsCreateEvfImageRef(stream, &image), EDS_ERR_OK);
    EdsUInt32 zoom = 0;
    EXPECT_EQ(EdsGetPropertyData(image, kEdsPropID_Evf_Zoom, 0, 4, &zoom), EDS_ERR_PROPERTIES_NOT_LOADED);
    for (int frame = 0; frame < 2; ++frame) {
        ASSERT_EQ(EdsDownloadEvfImage(camera, image), EDS_ERR_OK);
        EdsGetLength(stream, &length);
        EdsGetPointer(stream, &pointer);
        ASSERT_EQ(length, body->evfJpeg.size());
        EXPECT_EQ(Bytes(static_cast<std::uint8_t*>(pointer), static_cast<std::uint8_t*>(pointer) + length),
                  body->evfJpeg);
    }
    EdsPoint position{};
    EdsSize system{};
    EXPECT_EQ(EdsGetPropertyData(image, kEdsPropID_Evf_Zoom, 0, 4, &zoom), EDS_ERR_OK);
    EXPECT_EQ(EdsGetPropertyData(image, kEdsPropID_Evf_ZoomPosition, 0, 8, &position), EDS_ERR_OK);
    EXPECT_EQ(EdsGetPropertyData(image, kEdsPropID_Evf_CoordinateSystem, 0, 8, &system), EDS_ERR_OK);
    EXPECT_EQ(zoom, 5u);
    EXPECT_EQ(position.y, 200);
    EXPECT_EQ(system.width, 1024);
}

void putLe(Bytes& b, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void putEntry(Bytes& b, std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
    putLe(b, tag, 2);
    putLe(b, type, 2);
    putLe(b, count, 4);
    putLe(b, value, 4);
}

// Little-endian TIFF dated in IFD0, or, with a sub-second text, through an EXIF IFD as cameras write it.
Bytes tiffDated(const std::string& date, const char* subSeconds) {
    Bytes b = {'I', 'I', 42, 0};
    putLe(b, 8, 4);
    if (!subSeconds) {
        putLe(b, 1, 2);
        putEntry(b, 0x0132, 2, 20, 26);
        putLe(b, 0, 4);
    } else {
        putLe(b, 1, 2);
        putEntry(b, 0x8769, 4, 1, 26);
        putLe(b, 0, 4);
        putLe(b, 2, 2);
        putEntry(b, 0x9003, 2, 20, 56);
        Bytes sub(subSeconds, subSeconds + std::strlen(subSeconds) + 1);
        sub.resize(4, 0);
        putEntry(b, 0x9291, 2, static_cast<std::uint32_t>(std::strlen(subSeconds) + 1),
                 sub[0] | sub[1] << 8 | sub[2] << 16 | static_cast<std::uint32_t>(sub[3]) << 24);
        putLe(b, 0, 4);
    }
    b.insert(b.end(), date.begin(), date.end());
    b.push_back(0);
    return b;
}

Bytes jpegWithExif(const Bytes& tiff) {
    Bytes b = {0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 0, 0}; // an APP0 segment first, as most cameras write
    const auto length = static_cast<std::uint16_t>(2 + 6 + tiff.size());
    b.insert(b.end(),
             {0xFF, 0xE1, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    b.insert(b.end(), {'E', 'x', 'i', 'f', 0, 0});
    b.insert(b.end(), tiff.begin(), tiff.end());
    b.insert(b.end(), {0xFF, 0xDA, 0, 2, 0xFF, 0xD9});
    return b;
}

struct DownloadCase {
    const char* name;
    Bytes file;
    std::optional<EdsTime> fromCamera;
    EdsError imageResult;
    EdsTime expected;
};

class CameraSdkDownload : public CameraSdk, public ::testing::WithParamInterface<DownloadCase> {};

TEST_P(CameraSdkDownload, SavesTheFileAndTellsWhenThePictureWasTaken) {
    const DownloadCase& c = GetParam();
    const auto folder =
        std::filesystem::temp_directory_path() / ("orvex-sdk-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "IMG_0001.JPG").string();
    EdsCameraRef camera = openCamera();
    auto picture = std::make_shared<FakeItem>(body->overlap, "IMG_0001.JPG", c.file);
    picture->time = c.fromCamera;
    body->nextPicture = picture;
    EdsDirectoryItemRef item = nullptr;
    EdsSetObjectEventHandler(
        camera, kEdsObjectEvent_DirItemRequestTransfer,
        [](EdsObjectEvent, EdsBaseRef ref, EdsVoid* out) {
            return *static_cast<EdsBaseRef*>(out) = ref, EDS_ERR_OK;
        },
        &item);
    EdsSendCommand(camera, kEdsCameraCommand_TakePicture, 0);
    EdsGetEvent();
    ASSERT_NE(item, nullptr);

    EdsDirectoryItemInfo info;
    ASSERT_EQ(EdsGetDirectoryItemInfo(item, &info), EDS_ERR_OK);
    EdsStreamRef stream = nullptr;
    ASSERT_EQ(EdsCreateFileStream(path.c_str(), kEdsFileCreateDisposition_CreateAlways, kEdsAccess_ReadWrite,
                                  &stream),
              EDS_ERR_OK);
    ASSERT_EQ(EdsDownload(item, info.size, stream), EDS_ERR_OK);

    EdsImageRef image = nullptr;
    ASSERT_EQ(EdsCreateImageRef(stream, &image), c.imageResult);
    if (c.imageResult == EDS_ERR_OK) {
        EdsTime when{};
        EXPECT_EQ(EdsGetPropertyData(image, kEdsPropID_DateTime, 0, sizeof when, &when), EDS_ERR_OK);
        EXPECT_EQ(std::memcmp(&when, &c.expected, sizeof when), 0)
            << when.year << "-" << when.month << "-" << when.day << " " << when.hour << ":" << when.minute
            << ":" << when.second << "." << when.milliseconds;
        EdsRelease(image);
    }
    EXPECT_EQ(EdsDownloadComplete(item), EDS_ERR_OK);
    EXPECT_TRUE(picture->completed);
    EdsRelease(stream);
    EdsRelease(item);
    EdsStreamRef again = nullptr;
    EXPECT_EQ(
        EdsCreateFileStream(path.c_str(), kEdsFileCreateDisposition_CreateNew, kEdsAccess_ReadWrite, &again),
        EDS_ERR_STREAM_OPEN_ERROR)
        << "a new file never replaces a saved picture";
    std::ifstream saved(path, std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(saved), {}), c.file);
    std::filesystem::remove_all(folder);
}

const EdsTime kShot{2015, 11, 3, 21, 4, 9, 0};
INSTANTIATE_TEST_SUITE_P(
    Files, CameraSdkDownload,
    ::testing::Values(
        DownloadCase{"CameraKnowsTheTime", Bytes{1, 2, 3}, EdsTime{2020, 1, 2, 3, 4, 5, 6}, EDS_ERR_OK,
                     EdsTime{2020, 1, 2, 3, 4, 5, 6}},
        DownloadCase{"JpegExif", jpegWithExif(tiffDated("2015:11:03 21:04:09", "25")), std::nullopt,
                     EDS_ERR_OK, EdsTime{2015, 11, 3, 21, 4, 9, 250}},
        DownloadCase{"TiffRaw", tiffDated("2015:11:03 21:04:09", nullptr), std::nullopt, EDS_ERR_OK, kShot},
        DownloadCase{
            "NotAPicture", Bytes{'t', 'e', 'x', 't'}, std::nullopt, EDS_ERR_FILE_FORMAT_UNRECOGNIZED, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CameraSdk, ADownloadOnTheWorkerNeverOverlapsTheUiThreadsCalls) {
    EdsCameraRef camera = openCamera();
    body->nextPicture = std::make_shared<FakeItem>(body->overlap, "IMG_0003.CR2", Bytes(4096, 0x5A));
    EdsDirectoryItemRef item = nullptr;
    EdsSetObjectEventHandler(
        camera, kEdsObjectEvent_All,
        [](EdsObjectEvent, EdsBaseRef ref, EdsVoid* out) {
            return *static_cast<EdsBaseRef*>(out) = ref, EDS_ERR_OK;
        },
        &item);
    EdsSendCommand(camera, kEdsCameraCommand_TakePicture, 0);
    EdsGetEvent();
    EdsStreamRef stream = memoryStream();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        EXPECT_EQ(EdsDownload(item, 4096, stream), EDS_ERR_OK);
        done = true;
    });
    while (!done) EdsSendCommand(camera, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Near1);
    worker.join();
    EXPECT_FALSE(body->overlap.seen) << "two calls were inside the camera at once";
    EdsUInt64 length = 0;
    EdsGetLength(stream, &length);
    EXPECT_EQ(length, 4096u);
    EdsRelease(item);
}

TEST_F(CameraSdk, TerminatingClosesTheOpenSession) {
    openCamera();
    ASSERT_TRUE(body->open);
    EdsTerminateSDK();
    EXPECT_FALSE(body->open);
}

} // namespace
} // namespace orvex::test
