#include "sdk/camera_driver.h"
#include "sdk/exif_time.h"
#include "sdk/sdk.h"
#include "tests/support/fake_camera.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace orvex::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Two calls at once inside the fake camera or its files mean the per-camera lock failed.
struct Inside {
    std::mutex busy;
    std::atomic<bool> overlapped{false};
    std::unique_lock<std::mutex> enter() {
        std::unique_lock lock(busy, std::try_to_lock);
        if (!lock) overlapped = true;
        return lock;
    }
};

// Byte by byte, to leave other threads every chance to barge in.
struct FakeItem : FakeCameraFile {
    FakeItem(Inside& in, Bytes bytes) : FakeCameraFile(std::move(bytes)), inside(in) {}
    Inside& inside;

    EdsError download(EdsUInt64 size, sdk::ByteSink& out) override {
        const auto lock = inside.enter();
        for (std::size_t i = 0; i < std::min<std::size_t>(size, data.size()); ++i, std::this_thread::yield())
            if (const EdsError e = out.write(&data[i], 1)) return e;
        return EDS_ERR_OK;
    }
};

// Taking a picture raises a property event and announces `nextPicture`.
struct FakeCamera : FakeBody {
    Inside inside;
    std::shared_ptr<FakeItem> nextPicture;

    EdsError sendCommand(EdsCameraCommand command, EdsInt32 param) override {
        const auto lock = inside.enter();
        if (command == kEdsCameraCommand_TakePicture && events) {
            events->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_AFMode, 0);
            events->objectEvent(kEdsObjectEvent_DirItemRequestTransfer, nextPicture);
        }
        return FakeBody::sendCommand(command, param);
    }
};

EdsError keepItem(EdsObjectEvent, EdsBaseRef item, EdsVoid* out) {
    *static_cast<EdsBaseRef*>(out) = item;
    return EDS_ERR_OK;
}

Bytes contents(EdsStreamRef stream) {
    EdsVoid* pointer = nullptr;
    EdsUInt64 length = 0;
    EXPECT_EQ(EdsGetPointer(stream, &pointer), EDS_ERR_OK);
    EXPECT_EQ(EdsGetLength(stream, &length), EDS_ERR_OK);
    return Bytes(static_cast<std::uint8_t*>(pointer), static_cast<std::uint8_t*>(pointer) + length);
}

class CameraSdk : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(EdsInitializeSDK(), EDS_ERR_OK);
        driver->bodies.push_back(body);
        sdk::registerCameraDriver(driver);
    }
    void TearDown() override {
        EdsTerminateSDK();
        sdk::unregisterCameraDriver(driver);
    }
    EdsCameraRef camera(bool open = true) {
        EdsCameraListRef list = nullptr;
        EdsCameraRef ref = nullptr;
        EXPECT_EQ(EdsGetCameraList(&list), EDS_ERR_OK);
        EXPECT_EQ(EdsGetChildAtIndex(list, 0, &ref), EDS_ERR_OK);
        EdsRelease(list); // the camera handle outlives its list, as the connect dialog relies on
        EXPECT_EQ(open ? EdsOpenSession(ref) : EDS_ERR_OK, EDS_ERR_OK);
        return ref;
    }
    EdsStreamRef memoryStream() {
        EdsStreamRef stream = nullptr;
        EXPECT_EQ(EdsCreateMemoryStream(0x200000, &stream), EDS_ERR_OK);
        return stream;
    }
    // The item of a picture of `bytes`, as the object handler receives it.
    EdsDirectoryItemRef takePicture(EdsCameraRef ref, Bytes bytes) {
        body->nextPicture = std::make_shared<FakeItem>(body->inside, std::move(bytes));
        EdsDirectoryItemRef item = nullptr;
        EdsSetObjectEventHandler(ref, kEdsObjectEvent_All, keepItem, &item);
        EdsSendCommand(ref, kEdsCameraCommand_TakePicture, 0);
        EdsGetEvent();
        return item;
    }

    std::shared_ptr<FakeCameraDriver> driver = std::make_shared<FakeCameraDriver>();
    std::shared_ptr<FakeCamera> body = std::make_shared<FakeCamera>();
};

TEST_F(CameraSdk, RefusesNullReleasedAndWrongKindHandlesAndNullOutputs) {
    EdsStreamRef released = memoryStream(), stream = memoryStream();
    ASSERT_EQ(EdsRelease(released), EDS_ERR_OK);
    EdsCameraRef cam = camera();
    EdsUInt32 u = 0;
    EdsUInt64 length = 0;
    EdsBaseRef out = nullptr;
    // Name, call, and whether a stream is the right kind of handle for it.
    const std::vector<std::tuple<const char*, std::function<EdsError(EdsBaseRef)>, bool>> calls = {
        {"GetChildAtIndex", [&](auto r) { return EdsGetChildAtIndex(r, 0, &out); }, false},
        {"SendCommand", [&](auto r) { return EdsSendCommand(r, 0, 0); }, false},
        {"GetPropertyData", [&](auto r) { return EdsGetPropertyData(r, kEdsPropID_Av, 0, 4, &u); }, false},
        {"SetHandler", [&](auto r) { return EdsSetPropertyEventHandler(r, 0x100, nullptr, nullptr); }, false},
        {"Download", [&](auto r) { return EdsDownload(r, 1, stream); }, false},
        {"DownloadCancel", [&](auto r) { return EdsDownloadCancel(r); }, false},
        {"DownloadEvfImage", [&](auto r) { return EdsDownloadEvfImage(cam, r); }, false},
        {"GetLength", [&](auto r) { return EdsGetLength(r, &length); }, true},
        {"CreateImageRef", [&](auto r) { return EdsCreateImageRef(r, &out); }, true},
        {"Release", [&](auto r) { return EdsRelease(r); }, true},
    };
    for (const auto& [name, call, takesStreams] : calls) {
        EXPECT_EQ(call(nullptr), EDS_ERR_INVALID_HANDLE) << name << " on null";
        EXPECT_EQ(call(released), EDS_ERR_INVALID_HANDLE) << name << " on a released handle";
        EXPECT_TRUE(takesStreams || call(stream) == EDS_ERR_INVALID_HANDLE) << name << " on a stream";
    }
    EXPECT_EQ(EdsGetLength(cam, &length), EDS_ERR_INVALID_HANDLE);
    for (EdsError nullOutput :
         {EdsGetCameraList(nullptr), EdsGetPropertyData(cam, kEdsPropID_Av, 0, 4, nullptr),
          EdsGetPropertyDesc(cam, kEdsPropID_Av, nullptr), EdsCreateMemoryStream(16, nullptr),
          EdsCreateFileStream(nullptr, 1, 2, &out), EdsGetPointer(stream, nullptr)})
        EXPECT_EQ(nullOutput, EDS_ERR_INVALID_POINTER);
}

TEST_F(CameraSdk, HandlesLiveUntilTheirLastReleaseOrTheEndOfTheSdk) {
    EdsStreamRef stream = memoryStream();
    EdsUInt64 length = 1;
    EXPECT_EQ(EdsRetain(stream), EDS_ERR_OK);
    EXPECT_EQ(EdsRelease(stream), EDS_ERR_OK);
    EXPECT_EQ(EdsGetLength(stream, &length), EDS_ERR_OK) << "one reference left";
    EXPECT_EQ(EdsRelease(stream), EDS_ERR_OK);
    EXPECT_EQ(EdsGetLength(stream, &length), EDS_ERR_INVALID_HANDLE);
    EXPECT_EQ(EdsRetain(stream), EDS_ERR_INVALID_HANDLE);

    EdsCameraRef first = camera(), second = camera(false); // the same body, its session already open
    EXPECT_EQ(EdsRelease(first), EDS_ERR_OK);
    EXPECT_EQ(EdsSendCommand(second, kEdsCameraCommand_BulbEnd, 0), EDS_ERR_OK);
    EXPECT_EQ(body->commands.size(), 1u);

    EXPECT_EQ(EdsInitializeSDK(), EDS_ERR_OK);
    EXPECT_EQ(EdsTerminateSDK(), EDS_ERR_OK);
    EXPECT_EQ(EdsTerminateSDK(), EDS_ERR_OK);
    EXPECT_FALSE(body->open);
    EXPECT_EQ(EdsSendCommand(second, kEdsCameraCommand_BulbEnd, 0), EDS_ERR_INVALID_HANDLE);
    EXPECT_EQ(EdsCreateMemoryStream(16, &stream), EDS_ERR_INTERNAL_ERROR);
}

TEST_F(CameraSdk, PassesValuesOnlyWithinASessionAndOnlyInBuffersThatFitThem) {
    EdsCameraRef cam = camera(false);
    body->set(kEdsPropID_BodyIDEx, std::string("1234567890"));
    char text[11];
    EXPECT_EQ(EdsGetPropertyData(cam, kEdsPropID_BodyIDEx, 0, 11, text), EDS_ERR_SESSION_NOT_OPEN);
    ASSERT_EQ(EdsOpenSession(cam), EDS_ERR_OK);
    EXPECT_EQ(EdsGetPropertyData(cam, kEdsPropID_BodyIDEx, 0, 10, text), EDS_ERR_INVALID_LENGTH)
        << "no room for the terminator";
    EXPECT_EQ(EdsGetPropertyData(cam, kEdsPropID_BodyIDEx, 0, 11, text), EDS_ERR_OK);
    EXPECT_STREQ(text, "1234567890");
    const EdsTime when{2015, 11, 3, 21, 4, 9, 500};
    EXPECT_EQ(EdsSetPropertyData(cam, kEdsPropID_DateTime, 0, 8, &when), EDS_ERR_INVALID_LENGTH);
    EXPECT_EQ(EdsSetPropertyData(cam, kEdsPropID_DateTime, 0, sizeof when, &when), EDS_ERR_OK);
    EXPECT_EQ(std::get<EdsTime>(body->properties.at({kEdsPropID_DateTime, 0})).milliseconds, 500u);
    EXPECT_EQ(EdsCloseSession(cam), EDS_ERR_OK);
    EXPECT_EQ(EdsGetPropertyData(cam, kEdsPropID_BodyIDEx, 0, 11, text), EDS_ERR_SESSION_NOT_OPEN);
}

// Events queued before the session closed belong to a window that moved on. When and in what order the
// others reach their handlers is the camera link's test.
TEST_F(CameraSdk, EventsOfASessionThatClosedAreDropped) {
    int seen = 0;
    EdsCameraRef cam = camera();
    const auto count = [](EdsPropertyEvent, EdsPropertyID, EdsUInt32, EdsVoid* n) -> EdsError {
        return ++*static_cast<int*>(n), EDS_ERR_OK;
    };
    EdsSetPropertyEventHandler(cam, kEdsPropertyEvent_All, count, &seen);
    auto sink = body->events;
    sink->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_Tv, 0);
    EdsCloseSession(cam);
    sink->propertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_Av, 0);
    ASSERT_EQ(EdsOpenSession(cam), EDS_ERR_OK);
    EdsGetEvent();
    EXPECT_EQ(seen, 0);
}

// What the frame tells of the zoom, once loaded, is the live view window's test.
TEST_F(CameraSdk, LiveViewFramesLandInAMemoryStreamOneAtATime) {
    EdsCameraRef cam = camera();
    EdsStreamRef stream = memoryStream();
    EdsEvfImageRef image = nullptr;
    ASSERT_EQ(EdsCreateEvfImageRef(stream, &image), EDS_ERR_OK);
    EdsSize size{};
    EXPECT_EQ(EdsGetPropertyData(image, kEdsPropID_Evf_CoordinateSystem, 0, sizeof size, &size),
              EDS_ERR_PROPERTIES_NOT_LOADED);
    body->evfError = EDS_ERR_OK;
    for (const Bytes& jpeg : {Bytes{0xFF, 0xD8, 1, 2, 3, 0xFF, 0xD9}, Bytes{0xFF, 0xD8, 4, 0xFF, 0xD9}}) {
        body->evfJpeg = jpeg;
        ASSERT_EQ(EdsDownloadEvfImage(cam, image), EDS_ERR_OK);
        EXPECT_EQ(contents(stream), jpeg);
    }
}

TEST_F(CameraSdk, DownloadsToANewFileButNeverOverASavedOne) {
    const TempDir folder;
    const std::string path = (folder.path() / "IMG_0001.JPG").string();
    const Bytes picture(1000, 0x5A);
    EdsDirectoryItemRef item = takePicture(camera(), picture);
    EdsStreamRef stream = nullptr, again = nullptr;
    EdsImageRef image = nullptr;
    const auto createNew = [&path](EdsStreamRef* out) {
        return EdsCreateFileStream(path.c_str(), kEdsFileCreateDisposition_CreateNew, kEdsAccess_ReadWrite,
                                   out);
    };
    ASSERT_EQ(createNew(&stream), EDS_ERR_OK);
    EXPECT_EQ(createNew(&again), EDS_ERR_STREAM_OPEN_ERROR) << "a new file never replaces a saved picture";
    ASSERT_EQ(EdsDownload(item, picture.size(), stream), EDS_ERR_OK);
    EXPECT_EQ(EdsCreateImageRef(stream, &image), EDS_ERR_FILE_FORMAT_UNRECOGNIZED) << "read back: no picture";
    EXPECT_EQ(EdsDownloadComplete(item), EDS_ERR_OK);
    EXPECT_EQ(EdsRelease(stream), EDS_ERR_OK);
    EXPECT_EQ(folder.read("IMG_0001.JPG"), std::string(picture.begin(), picture.end()));
}

TEST_F(CameraSdk, ADownloadOnTheWorkerNeverOverlapsTheUiThreadsCalls) {
    EdsCameraRef cam = camera();
    EdsDirectoryItemRef item = takePicture(cam, Bytes(4096, 0x5A));
    EdsStreamRef stream = memoryStream();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        EXPECT_EQ(EdsDownload(item, 4096, stream), EDS_ERR_OK);
        done = true;
    });
    while (!done) EdsSendCommand(cam, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Near1);
    worker.join();
    EXPECT_FALSE(body->inside.overlapped) << "two calls were inside the camera at once";
    EXPECT_EQ(contents(stream), Bytes(4096, 0x5A));
}

// A CR3 (the newer bodies' RAW files) tells its moment by the EXIF tags of its CMT2 box, to the
// millisecond, else by the main tags of its CMT1 box; the boxes come inside Canon's own among the movie's.
TEST(ShootingTime, ACr3IsReadByItsExifTagsElseByItsMainOnes) {
    const auto box = [](const std::string& type, Bytes contents) {
        const auto size = static_cast<std::uint32_t>(contents.size() + 8);
        Bytes b{static_cast<std::uint8_t>(size >> 24), static_cast<std::uint8_t>(size >> 16),
                static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)};
        b.insert(b.end(), type.begin(), type.end());
        b.insert(b.end(), contents.begin(), contents.end());
        return b;
    };
    // A TIFF whose first IFD holds the date under `tag` and ".45" of a second.
    const auto tiff = [](std::uint8_t tagLow, std::uint8_t tagHigh, const std::string& date) {
        Bytes b{'I', 'I', 42, 0,    8,    0, 0, 0, 2, 0, tagLow, tagHigh, 2,   0, 20, 0, 0, 0, 38,
                0,   0,   0,  0x91, 0x92, 2, 0, 3, 0, 0, 0,      '4',     '5', 0, 0,  0, 0, 0, 0};
        b.insert(b.end(), date.begin(), date.end() + 1);
        return b;
    };
    const Bytes canon{0x85, 0xC0, 0xB6, 0x87, 0x82, 0x0F, 0x11, 0xE0,
                      0x81, 0x11, 0xF4, 0xCE, 0x46, 0x2B, 0x6A, 0x48};
    const Bytes exif = box("CMT2", tiff(0x03, 0x90, "2026:12:09 01:02:03"));
    const Bytes main = box("CMT1", tiff(0x32, 0x01, "2026:12:09 01:02:04"));
    const auto cr3 = [&](const std::string& brand, Bytes id, const std::vector<Bytes>& tags) {
        Bytes file = box("ftyp", Bytes(brand.begin(), brand.end()));
        for (const Bytes& t : tags) id.insert(id.end(), t.begin(), t.end());
        const Bytes movie = box("moov", box("uuid", id));
        file.insert(file.end(), movie.begin(), movie.end());
        return file;
    };
    const struct {
        const char* file;
        Bytes bytes;
        EdsError result;
        std::optional<std::vector<EdsUInt32>> taken;
    } cases[] = {
        {"both boxes", cr3("crx ", canon, {main, exif}), EDS_ERR_OK, {{2026, 12, 9, 1, 2, 3, 450}}},
        {"main tags only", cr3("crx ", canon, {main}), EDS_ERR_OK, {{2026, 12, 9, 1, 2, 4, 0}}},
        {"another uuid", cr3("crx ", Bytes(16, 0), {exif}), EDS_ERR_OK, std::nullopt},
        {"another brand", cr3("heic", canon, {exif}), EDS_ERR_FILE_FORMAT_UNRECOGNIZED, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::optional<EdsTime> t;
        const auto read = [&](std::uint64_t at, void* out, std::size_t size) {
            if (at > c.bytes.size() || size > c.bytes.size() - at) return false;
            std::memcpy(out, c.bytes.data() + at, size);
            return true;
        };
        EXPECT_EQ(sdk::detail::readShootingTime(read, t), c.result);
        EXPECT_EQ(t ? std::optional(std::vector<EdsUInt32>{t->year, t->month, t->day, t->hour, t->minute,
                                                           t->second, t->milliseconds})
                    : std::nullopt,
                  c.taken);
    }
}

} // namespace
} // namespace orvex::test
