#include "camera/camera_driver.h"
#include "camera/sdk.h"
#include "camera/virtual/virtual_camera.h"
#include "camera/virtual/virtual_profile.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/headless/virtual_clock.h"
#include "platform/system_clock.h"
#include "platform/thread_scheduler.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // exiv2 0.27 still hands out std::auto_ptr
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <future>
#include <mutex>
#include <random>
#include <thread>

namespace orvex::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Seen {
    struct Object {
        EdsObjectEvent event;
        EdsBaseRef item;
        std::string name;
    };
    std::vector<Object> objects;
    std::vector<EdsStateEvent> states;
    std::vector<EdsPropertyID> properties;

    std::vector<std::string> names(EdsObjectEvent event) const {
        std::vector<std::string> out;
        for (const Object& o : objects)
            if (o.event == event) out.push_back(o.name);
        return out;
    }
};

EdsError onObject(EdsObjectEvent event, EdsBaseRef item, EdsVoid* context) {
    EdsDirectoryItemInfo info{};
    EdsGetDirectoryItemInfo(item, &info);
    static_cast<Seen*>(context)->objects.push_back({event, item, info.szFileName});
    return EDS_ERR_OK;
}

EdsError onState(EdsStateEvent event, EdsUInt32, EdsVoid* context) {
    static_cast<Seen*>(context)->states.push_back(event);
    return EDS_ERR_OK;
}

EdsError onProperty(EdsPropertyEvent, EdsPropertyID property, EdsUInt32, EdsVoid* context) {
    static_cast<Seen*>(context)->properties.push_back(property);
    return EDS_ERR_OK;
}

const CivilTime kStart{2015, 11, 3, 21, 4, 9, 250};
constexpr EdsUInt32 kOneSecond = 0x38, kBulb = 0x0C, kCardFull = 0x8D07;

// Downloads a file the camera announced; its bytes, and the shooting time the SDK layer reads from them.
struct Download {
    EdsError result = EDS_ERR_OK;
    Bytes bytes;
    std::optional<EdsTime> taken;
};

Download download(EdsBaseRef item) {
    Download d;
    EdsDirectoryItemInfo info{};
    EdsGetDirectoryItemInfo(item, &info);
    EdsStreamRef stream = nullptr;
    EdsCreateMemoryStream(0, &stream);
    d.result = EdsDownload(item, info.size, stream);
    EdsVoid* pointer = nullptr;
    EdsUInt64 length = 0;
    EdsGetPointer(stream, &pointer);
    EdsGetLength(stream, &length);
    d.bytes.assign(static_cast<std::uint8_t*>(pointer), static_cast<std::uint8_t*>(pointer) + length);
    EdsImageRef image = nullptr;
    EdsTime when{};
    if (d.result == EDS_ERR_OK && EdsCreateImageRef(stream, &image) == EDS_ERR_OK &&
        EdsGetPropertyData(image, kEdsPropID_DateTime, 0, sizeof when, &when) == EDS_ERR_OK)
        d.taken = when;
    if (image) EdsRelease(image);
    EdsRelease(stream);
    return d;
}

// What an independent EXIF reader finds in a file.
struct Exif {
    std::string type, model, dateTimeOriginal, exposureTime;
    long width = 0, height = 0;
};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
Exif readExif(const Bytes& bytes) {
    Exif e;
    auto image = Exiv2::ImageFactory::open(bytes.data(), static_cast<long>(bytes.size()));
    image->readMetadata();
    e.type = image->mimeType();
    e.width = image->pixelWidth();
    e.height = image->pixelHeight();
    const Exiv2::ExifData& data = image->exifData();
    const auto text = [&](const char* key) {
        const auto it = data.findKey(Exiv2::ExifKey(key));
        return it == data.end() ? std::string() : it->toString();
    };
    e.model = text("Exif.Image.Model");
    e.dateTimeOriginal = text("Exif.Photo.DateTimeOriginal");
    e.exposureTime = text("Exif.Photo.ExposureTime");
    return e;
}
#pragma GCC diagnostic pop

bool sameTime(const EdsTime& a, const EdsTime& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A test before may have left the SDK running, with its event notifier and its drivers: start from none.
void freshSdk() {
    EdsTerminateSDK();
    sdk::unregisterAllCameraDrivers();
}

class VirtualCamera : public ::testing::Test {
  protected:
    // A body from a preset with the profile lines given, connected as the program connects it.
    void start(const std::string& preset, const std::string& lines = "") {
        std::string error;
        const auto profile = parseVirtualProfile("[camera]\npreset=" + preset + "\n" + lines, "test", error);
        ASSERT_TRUE(profile) << error;
        freshSdk();
        camera = makeVirtualCamera(*profile, clock, clock);
        sdk::registerCameraDriver(camera);
        ASSERT_EQ(EdsInitializeSDK(), EDS_ERR_OK);
        ref = firstCamera();
        ASSERT_NE(ref, nullptr);
        ASSERT_EQ(EdsOpenSession(ref), EDS_ERR_OK);
        EdsSetObjectEventHandler(ref, kEdsObjectEvent_All, onObject, &seen);
        EdsSetCameraStateEventHandler(ref, kEdsStateEvent_All, onState, &seen);
        EdsSetPropertyEventHandler(ref, kEdsPropertyEvent_All, onProperty, &seen);
    }

    void TearDown() override {
        for (const Seen::Object& o : seen.objects) EdsRelease(o.item);
        EdsTerminateSDK();
        if (camera) sdk::unregisterCameraDriver(camera);
    }

    static EdsCameraRef firstCamera() {
        EdsCameraListRef list = nullptr;
        EdsCameraRef found = nullptr;
        EdsGetCameraList(&list);
        EdsUInt32 count = 0;
        EdsGetChildCount(list, &count);
        if (count > 0) EdsGetChildAtIndex(list, 0, &found);
        EdsRelease(list);
        return found;
    }

    EdsUInt32 get(EdsPropertyID property, EdsInt32 param = 0, EdsError* error = nullptr) {
        EdsUInt32 value = 0xDEADBEEF;
        const EdsError e = EdsGetPropertyData(ref, property, param, sizeof value, &value);
        if (error) *error = e;
        return value;
    }
    EdsError set(EdsPropertyID property, EdsUInt32 value) {
        return EdsSetPropertyData(ref, property, 0, sizeof value, &value);
    }
    EdsError command(EdsCameraCommand c, EdsInt32 param = 0) { return EdsSendCommand(ref, c, param); }
    void saveToHost() {
        ASSERT_EQ(set(kEdsPropID_SaveTo, kEdsSaveTo_Host), EDS_ERR_OK);
        EdsSetCapacity(ref, EdsCapacity{0x7FFFFFFF, 0x1000, 1});
    }
    // Lets `ms` pass and delivers the events raised meanwhile.
    void pass(std::uint64_t ms) {
        clock.advance(ms);
        EdsGetEvent();
    }
    EdsTime now() {
        const CivilTime c = clock.localTime();
        return EdsTime{static_cast<EdsUInt32>(c.year),       static_cast<EdsUInt32>(c.month),
                       static_cast<EdsUInt32>(c.day),        static_cast<EdsUInt32>(c.hour),
                       static_cast<EdsUInt32>(c.minute),     static_cast<EdsUInt32>(c.second),
                       static_cast<EdsUInt32>(c.millisecond)};
    }

    VirtualClock clock{kStart};
    std::shared_ptr<VirtualCameraDriver> camera;
    EdsCameraRef ref = nullptr;
    Seen seen;
};

TEST_F(VirtualCamera, ACameraTimedExposureAsksForItsTransferOnceExposedAndProcessed) {
    start("bulb", "processingMs = 700");
    saveToHost();
    ASSERT_EQ(set(kEdsPropID_Tv, kOneSecond), EDS_ERR_OK);
    ASSERT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OK);
    EXPECT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_DEVICE_BUSY) << "the shutter is still open";
    EXPECT_EQ(set(kEdsPropID_Tv, 0x78), EDS_ERR_DEVICE_BUSY);
    pass(1000);
    EXPECT_FALSE(camera->shutterOpen());
    pass(699);
    EXPECT_TRUE(seen.objects.empty());
    pass(1);
    EXPECT_EQ(seen.names(kEdsObjectEvent_DirItemRequestTransfer), std::vector<std::string>{"IMG_0001.JPG"});
    EXPECT_EQ(get(kEdsPropID_AvailableShots), 850u)
        << "a picture sent to the computer takes no room on the card";
}

TEST_F(VirtualCamera, PicturesKeptOnTheCardAreAnnouncedAndCountedDownUntilItIsFull) {
    start("bulb", "shotsLeft = 2\nprocessingMs = 0\ntv = 0x78");
    EXPECT_EQ(get(kEdsPropID_SaveTo), kEdsSaveTo_Camera);
    ASSERT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OK);
    EXPECT_EQ(get(kEdsPropID_AvailableShots), 1u);
    pass(4);
    ASSERT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OK);
    pass(4);
    EXPECT_EQ(seen.names(kEdsObjectEvent_DirItemCreated),
              (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG"}));
    EXPECT_TRUE(seen.names(kEdsObjectEvent_DirItemRequestTransfer).empty());
    EXPECT_EQ(get(kEdsPropID_AvailableShots), 0u);
    EXPECT_EQ(command(kEdsCameraCommand_TakePicture), kCardFull);
    EXPECT_EQ(camera->exposures(), 2u);
}

TEST_F(VirtualCamera, WithoutACardTheBodyOnlyShootsForTheComputerAndOnlyOnceToldItsRoom) {
    start("bulb", "card = no\nprocessingMs = 0\ntv = 0x78");
    EXPECT_EQ(get(kEdsPropID_AvailableShots), 0xFFFFFFFFu);
    EXPECT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_TAKE_PICTURE_NO_CARD_NG);
    ASSERT_EQ(set(kEdsPropID_SaveTo, kEdsSaveTo_Host), EDS_ERR_OK);
    EXPECT_EQ(command(kEdsCameraCommand_TakePicture), kCardFull) << "no capacity announced yet";
    ASSERT_EQ(EdsSetCapacity(ref, EdsCapacity{0x7FFFFFFF, 0x1000, 1}), EDS_ERR_OK);
    EXPECT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OK);
}

TEST_F(VirtualCamera, TwoPicturesPerShotShareTheirNumberAndBothCarryTheShootingTime) {
    start("bulb", "picturesPerShot = 2\nprocessingMs = 300");
    saveToHost();
    // The body's own clock, not the computer's, dates the pictures.
    const EdsTime bodyClock{2024, 4, 8, 18, 17, 59, 0};
    ASSERT_EQ(EdsSetPropertyData(ref, kEdsPropID_DateTime, 0, sizeof bodyClock, &bodyClock), EDS_ERR_OK);
    pass(1234);
    EdsTime expected{};
    ASSERT_EQ(EdsGetPropertyData(ref, kEdsPropID_DateTime, 0, sizeof expected, &expected), EDS_ERR_OK);
    EXPECT_TRUE(sameTime(expected, EdsTime{2024, 4, 8, 18, 18, 0, 234})) << "the body's clock runs on";

    ASSERT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OK);
    pass(10000);
    ASSERT_EQ(seen.names(kEdsObjectEvent_DirItemRequestTransfer),
              (std::vector<std::string>{"IMG_0001.CR2", "IMG_0001.JPG"}));
    for (const Seen::Object& o : seen.objects) {
        const Download d = download(o.item);
        ASSERT_EQ(d.result, EDS_ERR_OK) << o.name;
        ASSERT_TRUE(d.taken) << o.name << ": the SDK layer found no date in the file";
        EXPECT_TRUE(sameTime(*d.taken, expected)) << o.name;
        const Exif exif = readExif(d.bytes);
        EXPECT_EQ(exif.dateTimeOriginal, "2024:04:08 18:18:00") << o.name;
        EXPECT_EQ(exif.model, "Canon EOS 600D") << o.name;
        EXPECT_EQ(exif.type, o.name.ends_with(".CR2") ? "image/x-canon-cr2" : "image/jpeg");
        EXPECT_EQ(EdsDownloadComplete(o.item), EDS_ERR_OK);
    }
    ASSERT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OK);
    pass(10000);
    EXPECT_EQ(seen.objects.back().name, "IMG_0002.JPG") << "numbering continues";
}

TEST_F(VirtualCamera, APictureSavedThroughAFileStreamIsDatedWhenItsShutterOpened) {
    start("bulb", "processingMs = 0");
    saveToHost();
    ASSERT_EQ(set(kEdsPropID_Tv, 0x10), EDS_ERR_OK); // 30 s
    pass(5);
    const EdsTime opened = now();
    ASSERT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OK);
    pass(30000);
    ASSERT_EQ(seen.objects.size(), 1u);
    const auto folder =
        std::filesystem::temp_directory_path() / ("orvex-vc-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "IMG_0001.JPG").string();
    EdsStreamRef stream = nullptr;
    ASSERT_EQ(EdsCreateFileStream(path.c_str(), kEdsFileCreateDisposition_CreateAlways, kEdsAccess_ReadWrite,
                                  &stream),
              EDS_ERR_OK);
    EdsDirectoryItemInfo info{};
    ASSERT_EQ(EdsGetDirectoryItemInfo(seen.objects[0].item, &info), EDS_ERR_OK);
    ASSERT_EQ(EdsDownload(seen.objects[0].item, info.size, stream), EDS_ERR_OK);
    EdsImageRef image = nullptr;
    ASSERT_EQ(EdsCreateImageRef(stream, &image), EDS_ERR_OK);
    EdsTime taken{};
    EXPECT_EQ(EdsGetPropertyData(image, kEdsPropID_DateTime, 0, sizeof taken, &taken), EDS_ERR_OK);
    EXPECT_TRUE(sameTime(taken, opened))
        << taken.hour << ":" << taken.minute << ":" << taken.second << "." << taken.milliseconds;
    EdsRelease(image);
    EdsRelease(stream);
    EXPECT_EQ(std::filesystem::file_size(path), info.size);
    std::filesystem::remove_all(folder);
}

TEST_F(VirtualCamera, TheOlderProtocolRecordsCrwWithAThumbnailAndRefusesStandardQualityCodes) {
    start("10d", "processingMs = 0");
    EXPECT_EQ(set(kEdsPropID_ImageQuality, 0x0064FF0F), EDS_ERR_INVALID_DEVICEPROP_VALUE);
    ASSERT_EQ(set(kEdsPropID_ImageQuality, 0x00240000), EDS_ERR_OK);
    EXPECT_EQ(set(kEdsPropID_SaveTo, kEdsSaveTo_Camera), EDS_ERR_INVALID_DEVICEPROP_VALUE)
        << "this body only sends its pictures to the computer";
    ASSERT_EQ(set(kEdsPropID_SaveTo, kEdsSaveTo_Host), EDS_ERR_OK);
    EXPECT_EQ(EdsSetCapacity(ref, EdsCapacity{0x7FFFFFFF, 0x1000, 1}), EDS_ERR_NOT_SUPPORTED);
    ASSERT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OK) << "no capacity needed on this protocol";
    pass(100);
    ASSERT_EQ(seen.names(kEdsObjectEvent_DirItemRequestTransfer),
              (std::vector<std::string>{"IMG_0001.CRW", "IMG_0001.THM"}));
    EXPECT_TRUE(download(seen.objects[0].item).taken) << "the RAW file is TIFF-based";
}

TEST_F(VirtualCamera, BulbCommandsHoldTheShutterOpenBetweenStartAndEnd) {
    start("bulb", "processingMs = 200");
    saveToHost();
    ASSERT_EQ(command(kEdsCameraCommand_BulbEnd, 0), EDS_ERR_OK) << "the connection probe";
    EXPECT_EQ(command(kEdsCameraCommand_BulbStart), EDS_ERR_OPERATION_REFUSED) << "not set to Bulb";
    EXPECT_EQ(camera->exposures(), 0u);
    ASSERT_EQ(set(kEdsPropID_Tv, kBulb), EDS_ERR_OK);
    EXPECT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OPERATION_REFUSED);
    ASSERT_EQ(command(kEdsCameraCommand_BulbStart), EDS_ERR_OK);
    pass(5000);
    EXPECT_TRUE(camera->shutterOpen());
    ASSERT_EQ(command(kEdsCameraCommand_BulbEnd), EDS_ERR_OK);
    pass(199);
    EXPECT_TRUE(seen.objects.empty());
    pass(1);
    ASSERT_EQ(seen.objects.size(), 1u);
    EXPECT_EQ(readExif(download(seen.objects[0].item).bytes).exposureTime, "5/1");
}

TEST_F(VirtualCamera, AtBulbOnTheModeDialOnlyTheShutterButtonOpensAPressShutterBody) {
    start("press-shutter", "processingMs = 0");
    saveToHost();
    EXPECT_EQ(command(kEdsCameraCommand_BulbEnd), EDS_ERR_NOT_SUPPORTED);
    ASSERT_EQ(command(kEdsCameraCommand_PressShutterButton, 0), EDS_ERR_OK) << "the connection probe";
    EXPECT_EQ(camera->exposures(), 0u);
    camera->setOnBody(kEdsPropID_AEMode, 0, 4);
    EXPECT_EQ(get(kEdsPropID_Tv), kBulb);
    EXPECT_EQ(set(kEdsPropID_Tv, kOneSecond), EDS_ERR_PROPERTIES_UNAVAILABLE);
    ASSERT_EQ(command(kEdsCameraCommand_PressShutterButton, kEdsCameraCommand_ShutterButton_Completely_NonAF),
              EDS_ERR_OK);
    pass(40000);
    ASSERT_EQ(command(kEdsCameraCommand_PressShutterButton, kEdsCameraCommand_ShutterButton_OFF), EDS_ERR_OK);
    pass(0);
    ASSERT_EQ(seen.objects.size(), 1u);
    EXPECT_EQ(readExif(download(seen.objects[0].item).bytes).exposureTime, "40/1");
}

TEST_F(VirtualCamera, TheCableIsAPortOfItsOwnThatTimesBulbAndBurstsOnceTheControlsAreUnlocked) {
    start("cable", "processingMs = 100");
    saveToHost();
    NoSerialPorts system;
    VirtualCablePorts ports(system, camera);
    ASSERT_EQ(ports.portNames(), std::vector<std::string>{"VirtualCable"});
    EXPECT_FALSE(ports.open("ttyS0"));
    auto cable = ports.open("VirtualCable");
    ASSERT_TRUE(cable);
    EXPECT_FALSE(ports.probe("VirtualCable")) << "opened once at a time";
    EXPECT_FALSE(ports.open("VirtualCable"));

    ASSERT_EQ(EdsSendStatusCommand(ref, kEdsCameraStatusCommand_UILock, 0), EDS_ERR_OK);
    ASSERT_EQ(set(kEdsPropID_Tv, kBulb), EDS_ERR_OK);
    cable->setLines(true);
    EXPECT_FALSE(camera->shutterOpen()) << "a locked body ignores its remote socket";
    cable->setLines(false);
    ASSERT_EQ(EdsSendStatusCommand(ref, kEdsCameraStatusCommand_UIUnLock, 0), EDS_ERR_OK);
    cable->setLines(true);
    pass(40500);
    cable->setLines(false);
    pass(100);
    ASSERT_EQ(seen.objects.size(), 1u);
    EXPECT_EQ(readExif(download(seen.objects[0].item).bytes).exposureTime, "81/2");

    // A burst: one frame every 200 ms while the cable is held, the frame under way finishing after.
    ASSERT_EQ(set(kEdsPropID_Tv, 0x78), EDS_ERR_OK);
    ASSERT_EQ(set(kEdsPropID_DriveMode, 1), EDS_ERR_OK);
    cable->setLines(true);
    pass(999);
    cable->setLines(false);
    EXPECT_FALSE(camera->shutterOpen());
    pass(1000);
    EXPECT_EQ(seen.names(kEdsObjectEvent_DirItemRequestTransfer),
              (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG", "IMG_0004.JPG",
                                        "IMG_0005.JPG", "IMG_0006.JPG"}));
    cable.reset();
    EXPECT_TRUE(ports.probe("VirtualCable"));
}

TEST_F(VirtualCamera, WithMirrorLockUpTheFirstPressRaisesTheMirrorAndTheSecondTakesThePicture) {
    start("legacy-lockup", "customFunctions = 7=1\nprocessingMs = 0");
    EXPECT_EQ(get(kEdsPropID_CFn, 7), 1u);
    EXPECT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_TAKE_PICTURE_MIRROR_UP_NG);
    ASSERT_EQ(set(kEdsPropID_SaveTo, kEdsSaveTo_Host), EDS_ERR_OK);
    auto cable = camera->plugCable();
    cable->setLines(true);
    EXPECT_TRUE(camera->mirrorUp());
    EXPECT_EQ(camera->exposures(), 0u);
    cable->setLines(false);
    pass(3000);
    cable->setLines(true);
    cable->setLines(false);
    EXPECT_EQ(camera->exposures(), 1u);
    pass(100);
    EXPECT_FALSE(camera->mirrorUp());
    EXPECT_EQ(seen.names(kEdsObjectEvent_DirItemRequestTransfer), std::vector<std::string>{"IMG_0001.JPG"});

    // A mirror left up comes down by itself; the next press raises it again.
    cable->setLines(true);
    cable->setLines(false);
    pass(30000);
    EXPECT_FALSE(camera->mirrorUp());
    cable->setLines(true);
    EXPECT_EQ(camera->exposures(), 1u);
}

TEST_F(VirtualCamera, AByHandReleaseWaitsForTheProgramToUnlockTheControls) {
    start("shutter-button", "processingMs = 0\ntv = 0x78");
    ASSERT_EQ(EdsSendStatusCommand(ref, kEdsCameraStatusCommand_UILock, 0), EDS_ERR_OK);
    EXPECT_FALSE(camera->pressShutterByHand(true));
    EXPECT_TRUE(camera->pressShutterByHand(false));
    EdsCloseSession(ref);
    EXPECT_FALSE(camera->controlsLocked()) << "the lock ends with the session";
    EXPECT_TRUE(camera->pressShutterByHand(true));
    EXPECT_EQ(camera->exposures(), 1u);
}

TEST_F(VirtualCamera, ABusyPropertyIsRefusedEitherWayAndTheOthersStillAnswer) {
    start("bulb", "busy = 0x402, 0x8");
    EdsError error = EDS_ERR_OK;
    get(kEdsPropID_ISOSpeed, 0, &error);
    EXPECT_EQ(error, EDS_ERR_DEVICE_BUSY);
    EXPECT_EQ(set(kEdsPropID_ISOSpeed, 0x48), EDS_ERR_DEVICE_BUSY);
    get(kEdsPropID_BatteryLevel, 0, &error);
    EXPECT_EQ(error, EDS_ERR_DEVICE_BUSY);
    EXPECT_EQ(set(kEdsPropID_Av, 0x30), EDS_ERR_OK);
    EXPECT_EQ(get(kEdsPropID_Av), 0x30u);
}

TEST_F(VirtualCamera, SettingsFollowTheModeDialAndTheCodesTheBodyOffers) {
    start("bulb");
    camera->setOnBody(kEdsPropID_AEMode, 0, 2); // Av
    EXPECT_EQ(set(kEdsPropID_Tv, 0x78), EDS_ERR_PROPERTIES_UNAVAILABLE);
    EXPECT_EQ(set(kEdsPropID_Av, 0x30), EDS_ERR_OK);
    EXPECT_EQ(set(kEdsPropID_Av, 0x0C), EDS_ERR_INVALID_DEVICEPROP_VALUE) << "f/1.2 on an f/3.5 lens";
    camera->setOnBody(kEdsPropID_AEMode, 0, 1); // Tv
    EXPECT_EQ(set(kEdsPropID_Tv, kBulb), EDS_ERR_INVALID_DEVICEPROP_VALUE) << "Bulb is a manual-mode speed";
    EXPECT_EQ(set(kEdsPropID_ISOSpeed, 0x28), EDS_ERR_INVALID_DEVICEPROP_VALUE);
    camera->setOnBody(kEdsPropID_LensStatus, 0, 0);
    EXPECT_EQ(get(kEdsPropID_LensStatus), 0u);
    EXPECT_EQ(get(kEdsPropID_Av), 0xFFFFFFFFu) << "no lens, no aperture";
    EdsPropertyDesc desc{};
    EXPECT_EQ(EdsGetPropertyDesc(ref, kEdsPropID_Av, &desc), EDS_ERR_OK);
    EXPECT_EQ(desc.numElements, 0);
    EXPECT_EQ(EdsGetPropertyDesc(ref, kEdsPropID_Tv, &desc), EDS_ERR_OK);
    EXPECT_EQ(desc.propDesc[0], 0x0C);
    EXPECT_EQ(desc.numElements, 53);
    EdsGetEvent();
    EXPECT_EQ(std::count(seen.properties.begin(), seen.properties.end(), kEdsPropID_AEMode), 2);
}

TEST_F(VirtualCamera, TheChosenShotsPicturesFailToDownloadAndOnlyThose) {
    start("bulb", "failDownloadAt = 2\nprocessingMs = 0\ntv = 0x78");
    saveToHost();
    for (int shot = 0; shot < 3; ++shot) {
        ASSERT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OK);
        pass(10);
    }
    ASSERT_EQ(seen.objects.size(), 3u);
    EdsDirectoryItemInfo info{};
    EdsGetDirectoryItemInfo(seen.objects[1].item, &info);
    const Download failed = download(seen.objects[1].item);
    EXPECT_EQ(failed.result, EDS_ERR_INCOMPLETE_TRANSFER);
    EXPECT_LT(failed.bytes.size(), info.size);
    EXPECT_EQ(EdsDownloadCancel(seen.objects[1].item), EDS_ERR_OK);
    EXPECT_EQ(download(seen.objects[0].item).result, EDS_ERR_OK);
    EXPECT_EQ(download(seen.objects[2].item).result, EDS_ERR_OK);
}

TEST_F(VirtualCamera, ShuttingDownAtTheChosenShotLeavesTheCameraListUntilSwitchedOn) {
    start("bulb", "shutdownAt = 2\nprocessingMs = 500\ntv = 0x78");
    saveToHost();
    ASSERT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OK);
    pass(100);
    ASSERT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OK);
    pass(1000);
    EXPECT_EQ(seen.states, std::vector<EdsStateEvent>{kEdsStateEvent_Shutdown});
    EXPECT_TRUE(seen.objects.empty()) << "the first picture was still in the body's memory";
    EXPECT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_COMM_DISCONNECTED);
    EXPECT_EQ(firstCamera(), nullptr);
    EXPECT_EQ(EdsCloseSession(ref), EDS_ERR_OK);

    camera->switchOn();
    EdsCameraRef again = firstCamera();
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(EdsOpenSession(again), EDS_ERR_OK);
    EXPECT_EQ(EdsSendCommand(again, kEdsCameraCommand_TakePicture, 0), EDS_ERR_OK);
    EXPECT_EQ(camera->exposures(), 3u);
}

TEST_F(VirtualCamera, LiveViewFramesShowTheSceneAsZoomedAndTheObjectWhereItMoved) {
    start("press-shutter");
    EdsStreamRef stream = nullptr;
    EdsEvfImageRef image = nullptr;
    EdsCreateMemoryStream(0x200000, &stream);
    EdsCreateEvfImageRef(stream, &image);
    const auto frame = [&] {
        if (const EdsError e = EdsDownloadEvfImage(ref, image)) return Bytes{static_cast<std::uint8_t>(e)};
        EdsVoid* p = nullptr;
        EdsUInt64 n = 0;
        EdsGetPointer(stream, &p);
        EdsGetLength(stream, &n);
        return Bytes(static_cast<std::uint8_t*>(p), static_cast<std::uint8_t*>(p) + n);
    };
    EXPECT_EQ(EdsDownloadEvfImage(ref, image), EDS_ERR_OBJECT_NOTREADY)
        << "live view is not sent to the computer";
    ASSERT_EQ(set(kEdsPropID_Evf_OutputDevice, kEdsEvfOutputDevice_PC), EDS_ERR_OK);
    const Bytes fit = frame();
    const Exif exif = readExif(fit);
    EXPECT_EQ(exif.type, "image/jpeg");
    EXPECT_EQ(exif.width, 720);
    EXPECT_EQ(exif.height, 480);
    EXPECT_EQ(frame(), fit) << "a still scene gives the same frame";
    camera->moveObject(400, 0);
    const Bytes moved = frame();
    EXPECT_NE(moved, fit);

    ASSERT_EQ(set(kEdsPropID_Evf_Zoom, 5), EDS_ERR_OK);
    const EdsPoint corner{9999, -5};
    ASSERT_EQ(EdsSetPropertyData(ref, kEdsPropID_Evf_ZoomPosition, 0, sizeof corner, &corner), EDS_ERR_OK);
    const Bytes zoomed = frame();
    EXPECT_NE(zoomed, moved);
    EdsUInt32 zoom = 0;
    EdsPoint position{};
    EdsSize system{};
    EdsGetPropertyData(image, kEdsPropID_Evf_Zoom, 0, 4, &zoom);
    EdsGetPropertyData(image, kEdsPropID_Evf_ZoomPosition, 0, 8, &position);
    EdsGetPropertyData(image, kEdsPropID_Evf_CoordinateSystem, 0, 8, &system);
    EXPECT_EQ(zoom, 5u);
    EXPECT_EQ(position.x, system.width - system.width / 5) << "the zoom area stays on the sensor";
    EXPECT_EQ(position.y, 0);
    EXPECT_EQ(set(kEdsPropID_Evf_Zoom, 3), EDS_ERR_INVALID_DEVICEPROP_VALUE);
    ASSERT_EQ(set(kEdsPropID_Evf_Zoom, 10), EDS_ERR_OK);
    EXPECT_NE(frame(), zoomed);
    EdsRelease(image);
    EdsRelease(stream);
}

TEST_F(VirtualCamera, AProfilesMotionCarriesTheObjectAcrossTheFrameAsTimePasses) {
    start("bulb", "motion = 2000");
    ASSERT_EQ(set(kEdsPropID_Evf_OutputDevice, kEdsEvfOutputDevice_PC), EDS_ERR_OK);
    EdsStreamRef stream = nullptr;
    EdsEvfImageRef image = nullptr;
    EdsCreateMemoryStream(0, &stream);
    EdsCreateEvfImageRef(stream, &image);
    const auto frame = [&] {
        EdsDownloadEvfImage(ref, image);
        EdsVoid* p = nullptr;
        EdsUInt64 n = 0;
        EdsGetPointer(stream, &p);
        EdsGetLength(stream, &n);
        return Bytes(static_cast<std::uint8_t*>(p), static_cast<std::uint8_t*>(p) + n);
    };
    const Bytes before = frame();
    ASSERT_FALSE(before.empty());
    pass(500);
    EXPECT_NE(frame(), before);
    EdsRelease(image);
    EdsRelease(stream);
}

struct PresetCase {
    const char* preset;
    const char* description;
    EdsUInt32 subtype;
    bool liveView, bulbCommands, shutterButton, lensStatus;
    EdsInt32 lockupFunction;
    bool saveToCamera;
};

class VirtualCameraPreset : public VirtualCamera, public ::testing::WithParamInterface<PresetCase> {};

// What the program learns of each body at connection.
TEST_P(VirtualCameraPreset, AnswersTheConnectionProbesLikeItsModel) {
    const PresetCase& c = GetParam();
    start(c.preset);
    EdsDeviceInfo info{};
    ASSERT_EQ(EdsGetDeviceInfo(ref, &info), EDS_ERR_OK);
    EXPECT_STREQ(info.szDeviceDescription, c.description);
    EXPECT_EQ(info.deviceSubType, c.subtype);
    EdsError error = EDS_ERR_OK;
    get(kEdsPropID_Evf_OutputDevice, 0, &error);
    EXPECT_EQ(error == EDS_ERR_OK, c.liveView);
    EXPECT_EQ(command(kEdsCameraCommand_BulbEnd, 0) == EDS_ERR_OK, c.bulbCommands);
    EXPECT_EQ(command(kEdsCameraCommand_PressShutterButton, 0) == EDS_ERR_OK, c.shutterButton);
    get(kEdsPropID_LensStatus, 0, &error);
    EXPECT_EQ(error == EDS_ERR_OK, c.lensStatus);
    EXPECT_NE(get(kEdsPropID_Av), 0xFFFFFFFFu) << "a lens is attached";
    if (c.lockupFunction) {
        EXPECT_EQ(get(kEdsPropID_CFn, c.lockupFunction, &error), 0u);
        EXPECT_EQ(error, EDS_ERR_OK);
    }
    EXPECT_EQ(set(kEdsPropID_SaveTo, kEdsSaveTo_Camera) == EDS_ERR_OK, c.saveToCamera);
    EXPECT_EQ(camera->exposures(), 0u) << "probing takes no picture";
    char bodyId[80] = {};
    EXPECT_EQ(EdsGetPropertyData(ref, kEdsPropID_BodyIDEx, 0, sizeof bodyId, bodyId), EDS_ERR_OK);
    EXPECT_GT(std::strlen(bodyId), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    VirtualCameraPresets, VirtualCameraPreset,
    ::testing::Values(
        PresetCase{"bulb", "Canon EOS 600D", 1, true, true, false, true, 0, true},
        PresetCase{"press-shutter", "Canon EOS 5D Mark III", 1, true, false, true, true, 0, true},
        PresetCase{"shutter-button", "Canon EOS 1100D", 1, true, false, true, true, 0, true},
        PresetCase{"cable", "Canon EOS 450D", 1, false, false, false, true, 0, true},
        PresetCase{"legacy-lockup", "Canon EOS 400D DIGITAL", 0, false, false, false, false, 7, true},
        PresetCase{"300d", "Canon EOS 300D DIGITAL", 0, false, false, false, false, 0, false},
        PresetCase{"10d", "Canon EOS 10D", 0, false, false, false, false, 12, false},
        PresetCase{"no-liveview", "Canon EOS 40D", 1, false, true, false, true, 0, true}),
    [](const auto& info) {
        std::string name = info.param.preset;
        std::replace(name.begin(), name.end(), '-', '_');
        return "preset_" + name;
    });

TEST(VirtualCameraProfile, EveryPresetIsOfferedAndTheDefaultTimesBulbItself) {
    EXPECT_EQ(virtualPresetNames().size(), 8u);
    std::string error;
    const auto byDefault = loadVirtualProfile("", error);
    ASSERT_TRUE(byDefault);
    EXPECT_EQ(byDefault->description, "Canon EOS 600D");
    EXPECT_TRUE(byDefault->bulbCommands);
}

TEST(VirtualCameraProfile, AFileStartsFromItsPresetAndOverridesIt) {
    std::string error;
    const auto p =
        parseVirtualProfile("; rehearsal body\n[Camera]\nPreset = cable\nbattery = mains\n"
                            "shutterCodes = 0x0C, 0x10, 0x38, 120\ntv=0x38\ncustomFunctions = 3=1, 12=0\n"
                            "busy = 0x402\nowner = A. Stargazer\n",
                            "rehearsal.ini", error);
    ASSERT_TRUE(p) << error;
    EXPECT_EQ(p->description, "Canon EOS 450D");
    EXPECT_EQ(p->battery, kEdsBatteryLevel_AC);
    EXPECT_EQ(p->shutterCodes, (std::vector<EdsUInt32>{0x0C, 0x10, 0x38, 0x78}));
    EXPECT_EQ(p->customFunctions, (std::map<EdsInt32, EdsUInt32>{{3, 1}, {12, 0}}));
    EXPECT_EQ(p->owner, "A. Stargazer");

    const auto example = loadVirtualProfile(std::string(ORVEX_EXAMPLES_DIR) + "/virtual-camera.ini", error);
    EXPECT_TRUE(example) << error;
}

TEST(VirtualCameraProfile, ABadProfileIsRefusedWithItsLineAndWhy) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"[camera]\nflash = yes\n", "p.ini:2: unknown key 'flash'"},
        {"[camera]\nlens = maybe\n", "p.ini:2: lens must be yes or no, not 'maybe'"},
        {"[camera]\nshotsLeft = lots\n",
         "p.ini:2: shotsLeft must be a number from 0 to 4294967294, not 'lots'"},
        {"[camera]\nbattery = 120\n", "p.ini:2: battery must be a percentage or mains, not '120'"},
        {"[lens]\n", "p.ini:1: unknown section [lens]; a profile has only [camera]"},
        {"liveView = no\n", "p.ini:1: settings must follow the [camera] line"},
        {"[camera]\ncard = no\ncard = yes\n", "p.ini:3: 'card' is given twice"},
        {"[camera]\npreset = 20d\n",
         "p.ini:2: no preset named '20d'; presets: bulb, press-shutter, shutter-button, "
         "cable, legacy-lockup, 300d, 10d, no-liveview"},
        {"[camera]\ntv = 0x10\nshutterCodes = 0x0C, 0x38\n", "p.ini: tv 0x10 is not among the shutterCodes"},
        {"[camera]\nshutterCodes = 0x0C, 0x11\n", "p.ini: shutterCodes: 0x11 is no shutter speed"},
        {"[camera]\npreset = 300d\nquality = 0x0013FF0F\n",
         "p.ini: quality 0x13FF0F is not an image quality of the older protocol (subtype 0)"},
        {"[camera]\nlockupFunction = 7\n", "p.ini: lockupFunction 7 is not among the customFunctions"},
        {"[camera]\ncustomFunctions = 7\n",
         "p.ini:2: customFunctions entries are written number=value, not '7'"},
        {"[camera]\ndriveMode = 2\n", "p.ini: driveMode 2 is not one of 0 (single), 1, 4 or 5 (continuous)"},
        {"[camera]\nnonsense\n", "p.ini:2: expected key = value, not 'nonsense'"},
    };
    for (const auto& [text, expected] : cases) {
        std::string error;
        EXPECT_FALSE(parseVirtualProfile(text, "p.ini", error)) << text;
        EXPECT_EQ(error, expected) << text;
    }
    std::string error;
    EXPECT_FALSE(loadVirtualProfile("/nonexistent/body.ini", error));
    EXPECT_NE(error.find("neither a virtual camera preset"), std::string::npos) << error;
}

TEST(VirtualCameraProfile, AProtocolChangeBringsItsOwnQualityUnlessOneIsGiven) {
    std::string error;
    const auto p = parseVirtualProfile("[camera]\nsubtype = 0\n", "p.ini", error);
    ASSERT_TRUE(p) << error;
    EXPECT_EQ(p->quality, 0x00130000u);
}

// ---- Real time ----

TEST(ThreadSchedulerTest, RunsActionsInTheOrderOfTheirMoments) {
    ThreadScheduler scheduler;
    std::mutex lock;
    std::vector<int> order;
    std::promise<void> done;
    const auto note = [&](int n) {
        std::lock_guard guard(lock);
        order.push_back(n);
    };
    scheduler.schedule(40, [&] {
        note(3);
        // An action may schedule another, to run after it.
        scheduler.schedule(0, [&] { done.set_value(); });
    });
    scheduler.schedule(5, [&] { note(1); });
    scheduler.schedule(20, [&] { note(2); });
    ASSERT_EQ(done.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    std::lock_guard guard(lock);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(ThreadSchedulerTest, ACancelledActionNeverRunsAndCancelWaitsForOneRunning) {
    ThreadScheduler scheduler;
    std::promise<void> started, gate, done;
    std::atomic<bool> finished{false}, cancelledRan{false};
    const int running = scheduler.schedule(0, [&] {
        started.set_value();
        gate.get_future().wait();
        finished = true;
    });
    const int cancelled = scheduler.schedule(0, [&] { cancelledRan = true; });
    started.get_future().wait();
    scheduler.cancel(cancelled);
    bool finishedWhenCancelReturned = false;
    std::thread other([&] {
        scheduler.cancel(running);
        finishedWhenCancelReturned = finished;
    });
    gate.set_value();
    other.join();
    EXPECT_TRUE(finishedWhenCancelReturned);
    scheduler.schedule(0, [&] {
        scheduler.cancel(99999); // from inside an action: never waits for itself
        done.set_value();
    });
    ASSERT_EQ(done.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(cancelledRan);
}

TEST(ThreadSchedulerTest, EndingDropsWhatIsStillWaiting) {
    std::atomic<bool> ran{false};
    {
        ThreadScheduler scheduler;
        scheduler.schedule(3600000, [&] { ran = true; });
    }
    EXPECT_FALSE(ran);
}

struct Wakeup {
    std::mutex lock;
    std::condition_variable cv;
    bool raised = false;
};

// The body on the computer's clock: its actions run on the timer thread while the UI thread keeps asking.
TEST(VirtualCameraRealTime, APictureArrivesWhileTheProgramKeepsUsingTheCamera) {
    ThreadScheduler scheduler;
    SystemClock clock;
    std::string error;
    auto profile = loadVirtualProfile("bulb", error);
    profile->processingMs = 0;
    profile->tv = 0x98; // 1/4000 s
    Wakeup wakeup;
    Seen seen;
    freshSdk();
    const auto camera = makeVirtualCamera(*profile, clock, scheduler);
    sdk::registerCameraDriver(camera);
    // Whatever happens below, the SDK lets go of the notifier and the handlers before they go away.
    struct Ending {
        std::shared_ptr<VirtualCameraDriver> camera;
        ~Ending() {
            EdsTerminateSDK();
            sdk::unregisterCameraDriver(camera);
        }
    } ending{camera};
    ASSERT_EQ(EdsInitializeSDK(), EDS_ERR_OK);
    EdsSetEventNotifier(
        [](EdsVoid* context) {
            auto* w = static_cast<Wakeup*>(context);
            std::lock_guard guard(w->lock);
            w->raised = true;
            w->cv.notify_all();
        },
        &wakeup);
    EdsCameraListRef list = nullptr;
    EdsCameraRef ref = nullptr;
    EdsGetCameraList(&list);
    EdsGetChildAtIndex(list, 0, &ref);
    EdsRelease(list);
    ASSERT_EQ(EdsOpenSession(ref), EDS_ERR_OK);
    EdsSetObjectEventHandler(ref, kEdsObjectEvent_All, onObject, &seen);
    const EdsUInt32 host = kEdsSaveTo_Host;
    EdsSetPropertyData(ref, kEdsPropID_SaveTo, 0, 4, &host);
    EdsSetCapacity(ref, EdsCapacity{0x7FFFFFFF, 0x1000, 1});
    // Waits for `count` files while the program keeps reading the camera, as the main window does.
    const auto waitFor = [&](std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (seen.objects.size() < count && std::chrono::steady_clock::now() < deadline) {
            EdsUInt32 tv = 0;
            EdsGetPropertyData(ref, kEdsPropID_Tv, 0, 4, &tv);
            std::unique_lock guard(wakeup.lock);
            if (wakeup.cv.wait_for(guard, std::chrono::milliseconds(1), [&] { return wakeup.raised; })) {
                wakeup.raised = false;
                guard.unlock();
                EdsGetEvent();
            }
        }
        return seen.objects.size() >= count;
    };
    ASSERT_EQ(EdsSendCommand(ref, kEdsCameraCommand_TakePicture, 0), EDS_ERR_OK);
    ASSERT_TRUE(waitFor(1));
    EXPECT_EQ(seen.objects[0].event, kEdsObjectEvent_DirItemRequestTransfer);
    EXPECT_TRUE(download(seen.objects[0].item).taken);

    // A burst on the cable: frames come from the timer thread while the cable is held from this one.
    const EdsUInt32 continuous = 1;
    EdsSetPropertyData(ref, kEdsPropID_DriveMode, 0, 4, &continuous);
    auto cable = camera->plugCable();
    cable->setLines(true);
    ASSERT_TRUE(waitFor(3));
    cable->setLines(false);
    EXPECT_FALSE(camera->shutterOpen());
}

} // namespace
} // namespace orvex::test
