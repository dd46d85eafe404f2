#include "app/profile_problem_text.h"
#include "core/catalogue.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/headless/virtual_clock.h"
#include "platform/thread_scheduler.h"
#include "sdk/virtual/virtual_camera.h"
#include "tests/support/scoped_env.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // exiv2 0.27 still hands out std::auto_ptr
#include <exiv2/exiv2.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace orvex::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;
constexpr EdsUInt32 kBulb = 0x0C, kCardFull = 0x8D07;

struct Seen {
    std::vector<EdsBaseRef> items;
    Names created, transfers; // file names, by the event that announced them
    std::vector<EdsStateEvent> states;
};

EdsError onObject(EdsObjectEvent event, EdsBaseRef item, EdsVoid* context) {
    Seen& seen = *static_cast<Seen*>(context);
    EdsDirectoryItemInfo info{};
    EdsGetDirectoryItemInfo(item, &info);
    seen.items.push_back(item);
    (event == kEdsObjectEvent_DirItemCreated ? seen.created : seen.transfers).push_back(info.szFileName);
    return EDS_ERR_OK;
}

EdsError onState(EdsStateEvent event, EdsUInt32, EdsVoid* context) {
    static_cast<Seen*>(context)->states.push_back(event);
    return EDS_ERR_OK;
}

// A file the camera announced, downloaded: its bytes, and the shooting time the SDK layer reads from them
// (year to millisecond; empty when it cannot).
struct Download {
    EdsError result = EDS_ERR_OK;
    Bytes bytes;
    std::vector<EdsUInt32> taken;
};

Download download(EdsBaseRef item) {
    Download d;
    EdsDirectoryItemInfo info{};
    EdsStreamRef stream = nullptr;
    EdsVoid* pointer = nullptr;
    EdsUInt64 length = 0;
    EdsImageRef image = nullptr;
    EdsTime t{};
    EdsGetDirectoryItemInfo(item, &info);
    EdsCreateMemoryStream(0, &stream);
    d.result = EdsDownload(item, info.size, stream);
    EdsGetPointer(stream, &pointer);
    EdsGetLength(stream, &length);
    d.bytes.assign(static_cast<std::uint8_t*>(pointer), static_cast<std::uint8_t*>(pointer) + length);
    if (d.result == EDS_ERR_OK && EdsCreateImageRef(stream, &image) == EDS_ERR_OK &&
        EdsGetPropertyData(image, kEdsPropID_DateTime, 0, sizeof t, &t) == EDS_ERR_OK)
        d.taken = {t.year, t.month, t.day, t.hour, t.minute, t.second, t.milliseconds};
    if (image) EdsRelease(image);
    EdsRelease(stream);
    return d;
}

// An EXIF tag's text as an independent reader finds it.
std::string exif(const Bytes& bytes, const char* key) {
    auto image = Exiv2::ImageFactory::open(bytes.data(), static_cast<long>(bytes.size()));
    image->readMetadata();
    const auto it = image->exifData().findKey(Exiv2::ExifKey(key));
    return it == image->exifData().end() ? std::string() : it->toString();
}

class VirtualCamera : public ::testing::Test {
  protected:
    // A body from a preset with the profile lines given, connected as the program connects it; what an
    // earlier body of the test announced is forgotten.
    void start(const std::string& preset, const std::string& lines = "") {
        ProfileProblem problem;
        const auto profile =
            parseVirtualProfile("[camera]\npreset=" + preset + "\n" + lines, "test", problem);
        ASSERT_TRUE(profile) << problem.fault;
        forget();
        // A test before may have left the SDK running, with its drivers: start from none.
        EdsTerminateSDK();
        sdk::unregisterAllCameraDrivers();
        camera = makeVirtualCamera(*profile, clock, clock, pace);
        sdk::registerCameraDriver(camera);
        ASSERT_EQ(EdsInitializeSDK(), EDS_ERR_OK);
        ref = firstCamera();
        ASSERT_NE(ref, nullptr);
        ASSERT_EQ(EdsOpenSession(ref), EDS_ERR_OK);
        EdsSetObjectEventHandler(ref, kEdsObjectEvent_All, onObject, &seen);
        EdsSetCameraStateEventHandler(ref, kEdsStateEvent_All, onState, &seen);
    }
    void forget() {
        for (EdsBaseRef item : seen.items) EdsRelease(item);
        seen = {};
    }

    void TearDown() override {
        forget();
        EdsTerminateSDK();
        if (camera) sdk::unregisterCameraDriver(camera);
    }

    static EdsCameraRef firstCamera() {
        EdsCameraListRef list = nullptr;
        EdsCameraRef found = nullptr;
        EdsGetCameraList(&list);
        EdsGetChildAtIndex(list, 0, &found); // none when the list is empty
        EdsRelease(list);
        return found;
    }

    // The value read; its error stays in `readError`.
    EdsUInt32 get(EdsPropertyID property, EdsInt32 param = 0) {
        EdsUInt32 value = 0xDEADBEEF;
        readError = EdsGetPropertyData(ref, property, param, sizeof value, &value);
        return value;
    }
    EdsError set(EdsPropertyID property, EdsUInt32 value) {
        return EdsSetPropertyData(ref, property, 0, sizeof value, &value);
    }
    EdsError command(EdsCameraCommand c, EdsInt32 param = 0) { return EdsSendCommand(ref, c, param); }
    // The older protocol takes no capacity: it needs none.
    void saveToHost() {
        ASSERT_EQ(set(kEdsPropID_SaveTo, kEdsSaveTo_Host), EDS_ERR_OK);
        EdsSetCapacity(ref, EdsCapacity{0x7FFFFFFF, 0x1000, 1});
    }
    // Lets `ms` pass and delivers the events raised meanwhile.
    void pass(std::uint64_t ms) {
        clock.advance(ms);
        EdsGetEvent();
    }
    // Takes a picture, then lets `ms` pass.
    void shoot(std::uint64_t ms) {
        EXPECT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OK);
        pass(ms);
    }

    VirtualClock clock{CivilTime{2015, 11, 3, 21, 4, 9, 250}};
    DownloadPace pace; // set before start(): downloads then take time
    std::shared_ptr<VirtualCameraDriver> camera;
    EdsCameraRef ref = nullptr;
    EdsError readError = EDS_ERR_OK;
    Seen seen;
};

// A picture kept on the card is announced as created and takes room there; one for the computer asks for
// its transfer, once the computer has announced its own room.
TEST_F(VirtualCamera, ACameraTimedExposureIsAnnouncedOnceExposedAndProcessed) {
    for (const bool toCard : {true, false}) {
        SCOPED_TRACE(toCard ? "to the card" : "to the computer");
        start("bulb", "shotsLeft = 2\nprocessingMs = 700\ntv = 0x38"); // 1 s
        if (!toCard) {
            ASSERT_EQ(set(kEdsPropID_SaveTo, kEdsSaveTo_Host), EDS_ERR_OK);
            EXPECT_EQ(command(kEdsCameraCommand_TakePicture), kCardFull) << "no capacity announced yet";
            ASSERT_EQ(EdsSetCapacity(ref, EdsCapacity{0x7FFFFFFF, 0x1000, 1}), EDS_ERR_OK);
        }
        ASSERT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OK);
        EXPECT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_DEVICE_BUSY) << "the shutter is still open";
        EXPECT_EQ(set(kEdsPropID_Tv, 0x78), EDS_ERR_DEVICE_BUSY);
        pass(1000);
        EXPECT_FALSE(camera->shutterOpen());
        pass(699);
        EXPECT_TRUE(seen.items.empty());
        pass(1);
        EXPECT_EQ(toCard ? seen.created : seen.transfers, Names{"IMG_0001.JPG"});
        EXPECT_TRUE((toCard ? seen.transfers : seen.created).empty());
        EXPECT_EQ(get(kEdsPropID_AvailableShots), toCard ? 1u : 2u);
        shoot(1700);
        EXPECT_EQ(toCard ? seen.created : seen.transfers, (Names{"IMG_0001.JPG", "IMG_0002.JPG"}));
        EXPECT_EQ(command(kEdsCameraCommand_TakePicture), toCard ? kCardFull : EDS_ERR_OK);
    }
}

// The files of one shot share its number, and each is dated by the body's own clock when the shutter opened;
// at the link speed given, a download takes as long as a real body's file would.
TEST_F(VirtualCamera, RecordsItsFilesDatedWhenTheShutterOpened) {
    const struct {
        const char *preset, *lines;
        Names files;
        std::vector<unsigned> waits;
    } cases[] = {
        {"bulb", "picturesPerShot = 2", {"IMG_0001.CR2", "IMG_0001.JPG"}, {1200, 300}}, // 24 and 6 MB
        {"10d", "quality = 0x00240000", {"IMG_0001.CRW", "IMG_0001.THM"}, {}}};         // the older protocol
    for (const auto& c : cases) {
        SCOPED_TRACE(c.preset);
        std::vector<unsigned> waits;
        pace = [&](unsigned ms) { waits.push_back(ms); };
        const std::string speed = c.waits.empty() ? "" : "\ndownloadMBps = 20";
        start(c.preset, std::string(c.lines) + speed + "\nprocessingMs = 300\ntv = 0x10"); // 30 s
        saveToHost();
        const EdsTime bodyClock{2024, 4, 8, 18, 17, 59, 0};
        ASSERT_EQ(EdsSetPropertyData(ref, kEdsPropID_DateTime, 0, sizeof bodyClock, &bodyClock), EDS_ERR_OK);
        pass(1234);
        shoot(30300);
        ASSERT_EQ(seen.transfers, c.files);
        for (std::size_t i = 0; i < c.files.size(); ++i) {
            const Download d = download(seen.items[i]);
            ASSERT_EQ(d.result, EDS_ERR_OK) << c.files[i];
            EXPECT_EQ(d.taken, (std::vector<EdsUInt32>{2024, 4, 8, 18, 18, 0, 234})) << c.files[i];
            EXPECT_EQ(exif(d.bytes, "Exif.Photo.DateTimeOriginal"), "2024:04:08 18:18:00") << c.files[i];
        }
        EXPECT_EQ(waits, c.waits);
    }
}

// Bulb: the shutter stays open from press to release, by whichever means the body offers.
TEST_F(VirtualCamera, HoldsABulbShutterOpenFromPressToRelease) {
    enum class Release { Commands, Button, Cable };
    const struct {
        const char* preset;
        Release release;
        bool dialAtB; // the mode dial turned to B on the body; else Bulb chosen as the speed in M
        unsigned ms;
        const char* exposureTime;
    } cases[] = {{"bulb", Release::Commands, false, 5000, "5/1"},
                 {"press-shutter", Release::Button, true, 40000, "40/1"},
                 {"cable", Release::Cable, false, 40500, "81/2"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.preset);
        start(c.preset, "processingMs = 200");
        saveToHost();
        NoSerialPorts system;
        const auto cable = VirtualCablePorts(system, camera).open("VirtualCable");
        const auto hold = [&](bool down) {
            if (c.release == Release::Commands)
                return command(down ? kEdsCameraCommand_BulbStart : kEdsCameraCommand_BulbEnd);
            if (c.release == Release::Button)
                return command(kEdsCameraCommand_PressShutterButton,
                               down ? kEdsCameraCommand_ShutterButton_Completely_NonAF
                                    : kEdsCameraCommand_ShutterButton_OFF);
            cable->setLines(down);
            return EDS_ERR_OK;
        };
        if (c.dialAtB)
            camera->setOnBody(kEdsPropID_AEMode, 0, 4);
        else
            ASSERT_EQ(set(kEdsPropID_Tv, kBulb), EDS_ERR_OK);
        EXPECT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_OPERATION_REFUSED)
            << "the body cannot time Bulb";
        ASSERT_EQ(hold(true), EDS_ERR_OK);
        pass(c.ms);
        EXPECT_TRUE(camera->shutterOpen());
        ASSERT_EQ(hold(false), EDS_ERR_OK);
        pass(200);
        ASSERT_EQ(seen.items.size(), 1u);
        EXPECT_EQ(exif(download(seen.items[0]).bytes, "Exif.Photo.ExposureTime"), c.exposureTime);
    }
}

TEST_F(VirtualCamera, WithMirrorLockUpTheFirstPressRaisesTheMirrorWhichComesDownByItself) {
    start("legacy-lockup", "customFunctions = 7=1\nprocessingMs = 0");
    EXPECT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_TAKE_PICTURE_MIRROR_UP_NG);
    auto cable = camera->plugCable();
    for (bool down : {true, false}) cable->setLines(down);
    EXPECT_TRUE(camera->mirrorUp());
    pass(30000);
    EXPECT_EQ(std::pair(camera->mirrorUp(), camera->exposures()), std::pair(false, 0u));
    for (bool down : {true, false, true, false}) cable->setLines(down);
    EXPECT_EQ(camera->exposures(), 1u);
}

// A take-picture fault on demand comes once, at its exposure, and the next try takes it; a download fault
// strikes that exposure's pictures only. Shutting down at the chosen exposure loses the picture before it,
// still in the body's memory, and leaves the camera list until the body is switched on.
TEST_F(VirtualCamera, FaultsOnDemandStrikeTheirExposureOnly) {
    start("bulb",
          "takePictureBusyAt = 2\nafFailureAt = 2\nfailDownloadAt = 2\nshutdownAt = 5\nprocessingMs = 500\n"
          "tv = 0x78");
    saveToHost();
    std::vector<EdsError> answers;
    for (int attempt = 0; attempt < 5; ++attempt)
        answers.push_back(command(kEdsCameraCommand_TakePicture)), pass(600);
    EXPECT_EQ(answers, (std::vector<EdsError>{EDS_ERR_OK, EDS_ERR_DEVICE_BUSY, EDS_ERR_TAKE_PICTURE_AF_NG,
                                              EDS_ERR_OK, EDS_ERR_OK}));
    EXPECT_EQ(camera->exposures(), 3u);
    ASSERT_EQ(seen.transfers, (Names{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
    const std::vector<EdsError> downloads{EDS_ERR_OK, EDS_ERR_INCOMPLETE_TRANSFER, EDS_ERR_OK};
    for (std::size_t i = 0; i < downloads.size(); ++i)
        EXPECT_EQ(download(seen.items[i]).result, downloads[i]) << i;
    shoot(100);
    shoot(1000);
    EXPECT_EQ(seen.states, std::vector<EdsStateEvent>{kEdsStateEvent_Shutdown});
    EXPECT_EQ(seen.transfers.size(), 3u) << "the fourth picture was still in the body's memory";
    EXPECT_EQ(command(kEdsCameraCommand_TakePicture), EDS_ERR_COMM_DISCONNECTED);
    EXPECT_EQ(firstCamera(), nullptr);
    camera->switchOn();
    EdsCameraRef again = firstCamera();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(EdsOpenSession(again), EDS_ERR_OK);
}

// What the program learns of each body at connection.
TEST_F(VirtualCamera, AnswersTheConnectionProbesLikeItsModel) {
    const struct {
        const char* preset;
        const char* description;
        EdsUInt32 subtype;
        bool liveView, bulbCommands, shutterButton, lensStatus, saveToCamera;
        EdsInt32 lockupFunction;
    } cases[] = {
        {"bulb", "Canon EOS 600D", 1, true, true, false, true, true, 0},
        {"press-shutter", "Canon EOS 5D Mark III", 1, true, false, true, true, true, 0},
        {"legacy-lockup", "Canon EOS 400D DIGITAL", 0, false, false, false, false, true, 7},
        {"10d", "Canon EOS 10D", 0, false, false, false, false, false, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.preset);
        start(c.preset);
        EdsDeviceInfo info{};
        ASSERT_EQ(EdsGetDeviceInfo(ref, &info), EDS_ERR_OK);
        EXPECT_STREQ(info.szDeviceDescription, c.description);
        EXPECT_EQ(info.deviceSubType, c.subtype);
        EXPECT_EQ((get(kEdsPropID_Evf_OutputDevice), readError == EDS_ERR_OK), c.liveView);
        EXPECT_EQ(command(kEdsCameraCommand_BulbEnd, 0) == EDS_ERR_OK, c.bulbCommands);
        EXPECT_EQ(command(kEdsCameraCommand_PressShutterButton, 0) == EDS_ERR_OK, c.shutterButton);
        EXPECT_EQ((get(kEdsPropID_LensStatus), readError == EDS_ERR_OK), c.lensStatus);
        EXPECT_TRUE(!c.lockupFunction ||
                    (get(kEdsPropID_CFn, c.lockupFunction) == 0 && readError == EDS_ERR_OK));
        EXPECT_EQ(set(kEdsPropID_SaveTo, kEdsSaveTo_Camera) == EDS_ERR_OK, c.saveToCamera);
        EXPECT_EQ(camera->exposures(), 0u) << "probing takes no picture";
    }
}

// Names are read whatever the case of their letters, also on a Turkish desktop, where 'I' is not an
// upper-case 'i'.
TEST(VirtualCameraProfile, NamesAreReadInAnyCase) {
    for (const char* name : {"C", "tr_TR.UTF-8"}) {
        const ScopedLocale locale(name);
        ASSERT_TRUE(locale.taken()) << name << ": run scripts/install-deps.sh";
        ProfileProblem problem;
        const auto profile =
            parseVirtualProfile("[CAMERA]\nPRESET = BULB\nLIVEVIEW = NO\n", "p.ini", problem);
        ASSERT_TRUE(profile) << name << ": " << problem.fault;
        EXPECT_FALSE(profile->liveView) << name;
        EXPECT_TRUE(virtualPreset("LIVEVIEW-CABLE")) << name;
    }
}

// In the user's language, but for the file's own words.
TEST(VirtualCameraProfile, ABadProfileIsRefusedWithItsLineAndWhy) {
    ProfileProblem problem;
    const struct {
        std::string text;
        int language;
        std::string said;
    } cases[] = {
        {"[camera]\nflash = yes\n", kEnglish, "p.ini:2: unknown key 'flash'"},
        {"[camera]\nshotsLeft = lots\n", kEnglish,
         "p.ini:2: shotsLeft must be a number from 0 to 4294967294, not 'lots'"},
        {"[camera]\nmotion = -100001\n", kFrench,
         "p.ini:2: motion doit être un nombre de -100000 à 100000, et non '-100001'"},
        {"liveView = no\n", kFrench, "p.ini:1: les réglages doivent suivre la ligne [camera]"},
        {"[camera]\npreset = 20d\n", kEnglish,
         "p.ini:2: no preset named '20d'; presets: bulb, press-shutter, shutter-button, "
         "cable, legacy-lockup, 300d, 10d, no-liveview, burst, liveview-cable"},
        // Settings that contradict each other or the preset, named by the line that comes first.
        {"[camera]\nav = 0x40\napertureCodes = 0x30, 0x38\n", kEnglish,
         "p.ini:2: av 0x40 is not among the apertureCodes"},
        {"[camera]\npreset = 10d\n\ncustomFunctions = 1=0\n", kFrench,
         "p.ini:4: lockupFunction 12 ne fait pas partie de customFunctions"},
        {"[camera]\nnonsense\n", kEnglish, "p.ini:2: expected key = value, not 'nonsense'"},
        // An editor's byte-order mark is no part of the section's name.
        {"\xEF\xBB\xBF[camera]\nflash = yes\n", kEnglish, "p.ini:2: unknown key 'flash'"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(parseVirtualProfile(c.text, "p.ini", problem)) << c.text;
        EXPECT_EQ(profileProblemText(c.language, problem), c.said) << c.text;
    }
    // A folder is no profile, rather than an empty one that would be the default body.
    EXPECT_FALSE(loadVirtualProfile("/", problem));
    EXPECT_EQ(problem.fault, ProfileProblem::kNeitherPresetNorFile);
    // A name is said as it is, even one that looks like a conversion.
    EXPECT_FALSE(loadVirtualProfile("/nonexistent/%s.ini", problem));
    EXPECT_EQ(profileProblemText(kFrench, problem)
                  .rfind("'/nonexistent/%s.ini' n'est ni un préréglage d'appareil virtuel (bulb,", 0),
              0u);
}

TEST(ThreadSchedulerTest, RunsActionsInTheOrderOfTheirMomentsAndEndingDropsTheRest) {
    std::atomic<bool> lateRan{false};
    {
        ThreadScheduler scheduler;
        std::vector<int> order; // read here only once `done` is set
        std::promise<void> done;
        scheduler.schedule(40, [&] {
            order.push_back(3);
            scheduler.schedule(0, [&] { done.set_value(); }); // an action may schedule another
        });
        scheduler.schedule(5, [&] { order.push_back(1); });
        scheduler.schedule(20, [&] { order.push_back(2); });
        scheduler.schedule(3600000, [&] { lateRan = true; });
        ASSERT_EQ(done.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    }
    EXPECT_FALSE(lateRan);
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
    scheduler.schedule(0, [&] { done.set_value(); }); // after anything still due earlier
    ASSERT_EQ(done.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(cancelledRan);
}

} // namespace
} // namespace orvex::test
