#include "run/status_display.h"
#include "tests/support/camera_program.h"
#include "tests/support/script_line.h"

#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace orvex::test {
namespace {

using Strings = std::vector<std::string>;

VirtualProfile preset(const std::string& name) {
    auto p = virtualPreset(name);
    EXPECT_TRUE(p.has_value()) << name;
    return p.value_or(VirtualProfile{});
}

VirtualProfile with(VirtualProfile p, void (*change)(VirtualProfile&)) {
    change(p);
    return p;
}

TEST(CameraRun, CameraTimedShotIsDownloadedAndNamedAfterItsMoment) {
    CameraTestProgram t(preset("bulb"));
    t.start({line().delay(0).aperture("8").speed("1/250").iso(100).quality("(L)"),
             line().delay(50).aperture("8").speed("1/250").iso(100).quality("(L)")});
    ASSERT_TRUE(t.program.camera.connected);
    EXPECT_EQ(t.window.itemText(kCameraField), "1 - Canon EOS 600D");
    t.runFor(10000);
    EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
    EXPECT_EQ(t.pictures(), (Strings{"2026-12-06_21-00-00_0001.JPG", "2026-12-06_21-00-05_0002.JPG"}));
    EXPECT_EQ(t.timeline.only("status").front(), "0 " + statusEvent(RunStatus::kExposure));
    EXPECT_EQ(t.window.itemText(kApertureField), "8");
    EXPECT_EQ(t.window.itemText(kSpeedField), "1/250");
    EXPECT_EQ(t.cable(), CableEvents{});
}

// Bodies that need a pause before each release: the pause only moves time on, it never runs a tick.
TEST(CameraRun, BodiesThatPauseBeforeTheReleaseTakeEachLineOnce) {
    std::string error;
    const auto body350D = parseVirtualProfile(
        "[camera]\npreset=legacy-lockup\ndescription=Canon EOS 350D DIGITAL\n", "350d", error);
    ASSERT_TRUE(body350D) << error;
    for (const VirtualProfile& profile : {preset("300d"), preset("10d"), *body350D}) {
        CameraTestProgram t(profile);
        t.start(
            {line().delay(0).speed("1/250").quality("(L)"), line().delay(20).speed("1/250").quality("(L)")});
        t.runFor(5000);
        EXPECT_EQ(t.timeline.only("shot"), (Strings{"0 shot 1 line 2 pass 0", "2000 shot 2 line 3 pass 0"}))
            << profile.description;
        EXPECT_EQ(t.camera->exposures(), 2u) << profile.description;
        EXPECT_EQ(t.timeline.only("status 30").front(), "150 status 30") << profile.description;
        EXPECT_EQ(t.program.run.status, RunStatus::kCompleted) << profile.description;
        EXPECT_EQ(t.pictures().size(), 2u) << profile.description;
    }
}

// Also across the wrap of the 32-bit tick counter, which falls 2 s into the exposure.
TEST(CameraRun, LongExposureOnABulbCommandBodyIsTimedByTheProgram) {
    for (const std::uint32_t startTick : {0u, 0u - 2000}) {
        CameraTestProgram t(preset("bulb"), {2026, 12, 6, 21, 0, 0, 0}, startTick);
        t.start({line().delay(0).speed("5")});
        EXPECT_EQ(t.program.camera.longestCameraTimedMs, 3000u);
        EXPECT_TRUE(t.camera->shutterOpen());
        t.runFor(4990);
        EXPECT_TRUE(t.camera->shutterOpen()) << startTick;
        t.runFor(20);
        EXPECT_FALSE(t.camera->shutterOpen());
        // The cells left empty are the camera's: orange on beige.
        EXPECT_EQ(colourField(t.program, kApertureField),
                  (FieldColour{colours::lightBeige, colours::orange}));
        EXPECT_EQ(colourField(t.program, kSpeedField), FieldColour{});
        t.runFor(5000);
        EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
        EXPECT_EQ(t.pictures().size(), 1u);
    }
}

// A camera-timed exposure, and the wait for its picture, across the tick counter's wrap.
TEST(CameraRun, CameraTimedShotsAcrossTheTickWrap) {
    for (const std::uint32_t ticksBeforeWrap : {1000u, 5000u}) {
        CameraTestProgram t(preset("bulb"), {2026, 12, 6, 21, 0, 0, 0}, 0u - ticksBeforeWrap);
        t.start({"0\t\t2\t1"});
        t.runFor(10000);
        EXPECT_EQ(t.timeline.only("status 196"), Strings{"2000 status 196"}) << ticksBeforeWrap;
        EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
        EXPECT_EQ(t.pictures().size(), 1u);
    }
}

// Bodies without bulb or shutter-button commands, with live view or without. The 400D's pictures of a cable
// shot count as in only two seconds after they came; after a lock-up the cable is held from the shutter
// press.
TEST(CameraRun, CableHoldsABulbExposureHalfASecondLonger) {
    struct Case {
        VirtualProfile body;
        const char* lockup;
        CableEvents cable; // the last change: the lines cleared again as the run ends
    };
    const VirtualProfile lockupSet =
        with(preset("legacy-lockup"), [](VirtualProfile& p) { p.customFunctions[7] = 1; });
    for (const Case& c :
         {Case{preset("cable"), "", {released(0), pressed(0), released(40500), released(41050)}},
          Case{preset("liveview-cable"), "", {released(0), pressed(0), released(40500), released(41050)}},
          Case{preset("legacy-lockup"), "", {released(0), pressed(0), released(40500), released(43000)}},
          Case{lockupSet,
               R"(-lockuptime="2")",
               {released(100), pressed(100), released(300), pressed(2100), released(42600),
                released(45100)}}}) {
        CameraTestProgram t(c.body);
        t.start({line().delay(0).speed("40")}, std::string(R"(-serialport="VirtualCable" )") + c.lockup);
        t.runFor(46000);
        EXPECT_EQ(t.cable(), c.cable) << c.body.description << c.lockup;
        EXPECT_EQ(t.program.run.status, RunStatus::kCompleted) << c.body.description;
        EXPECT_EQ(t.pictures().size(), 1u) << c.body.description;
    }
}

// Long-exposure noise reduction: the picture comes as long again after the exposure, and is waited for.
TEST(CameraRun, PictureTimeOutsAllowForADarkFrame) {
    for (const char* commandLine : {"", "-savetocam"}) {
        CameraTestProgram t(with(preset("bulb"), [](VirtualProfile& p) { p.noiseReduction = true; }));
        t.start({line().delay(0).speed("20")}, commandLine);
        t.runFor(45000);
        EXPECT_EQ(t.program.run.status, RunStatus::kCompleted) << commandLine;
        EXPECT_EQ(t.lastBox(), nullptr) << t.lastBox()->text;
    }
}

// A failed download costs that picture only: no partial file is left, and the run says so at its end.
TEST(CameraRun, AFailedDownloadLetsTheRunGoOn) {
    CameraTestProgram t(with(preset("bulb"), [](VirtualProfile& p) { p.failDownloadAt = 1; }));
    t.start({line().delay(0).speed("1/250"), line().delay(20).speed("1/250")});
    t.runFor(5000);
    EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
    EXPECT_EQ(t.pictures(), Strings{"2026-12-06_21-00-02_0002.JPG"});
    EXPECT_EQ(t.timeline.only("download-failed"), Strings{"550 download-failed 1 IMG_0001.JPG"});
    ASSERT_EQ(t.window.messageBoxes().size(), 1u);
    EXPECT_EQ(t.lastBox()->text, "Pictures that could not be downloaded: 1");
    EXPECT_EQ(t.lastBox()->caption, "Warning");
}

TEST(CameraRun, MirrorLockupThroughTheCable) {
    CameraTestProgram t(preset("no-liveview"));
    t.start({line().delay(0).speed("1/250")}, R"(-serialport="VirtualCable" -lockuptime="3")");
    t.runFor(5000);
    EXPECT_EQ(t.cable(), (CableEvents{released(100), pressed(100), released(300), pressed(3100),
                                      released(3350), released(3500)}));
    EXPECT_EQ(t.timeline.only("status").front(), "0 " + statusEvent(RunStatus::kLockup));
}

TEST(CameraRun, APauseShortensTheLockupCountdownToHalfASecond) {
    CameraTestProgram t(preset("no-liveview"));
    t.start({line().delay(0).speed("1/250"), "100"}, R"(-serialport="VirtualCable" -lockuptime="5")");
    t.runFor(1000);
    t.window.click(kPauseButton);
    t.runFor(1000);
    EXPECT_EQ(t.cable(),
              (CableEvents{released(100), pressed(100), released(300), pressed(1300), released(1550)}));
}

TEST(CameraRun, AShotThatRunsLongMakesTheNextDelayLate) {
    CameraTestProgram t(preset("bulb"));
    t.start({line().delay(0).speed("8"), line().delay(50).speed("1/250")});
    t.runFor(7000);
    EXPECT_FALSE(t.program.run.wait.late);
    t.runFor(1700);
    EXPECT_TRUE(t.program.run.wait.late); // line 3's moment, 5 s, passed during the 8 s exposure
    EXPECT_EQ(t.timeline.only("late"), Strings{"8600 late 1"});
    EXPECT_EQ(colourField(t.program, kShotsField), (FieldColour{colours::red, colours::white}));
    // Shot as soon as the camera was ready again: exposure, processing, one tick to arm, one to shoot.
    EXPECT_EQ(t.timeline.only("shot").back(), "8600 shot 2 line 3 pass 0");
}

TEST(CameraRun, MirrorLockupOnALiveViewBodyNeedsNoPort) {
    CameraTestProgram t(preset("bulb"));
    t.start({line().delay(0).speed("1/250")}, R"(-lockuptime="3")");
    t.runFor(3050);
    EXPECT_TRUE(t.program.run.lockup.liveView);
    EXPECT_EQ(t.camera->exposures(), 0u);
    t.runFor(100);
    EXPECT_EQ(t.camera->exposures(), 1u); // taken at 3100
    EXPECT_EQ(t.ports.opened, 0);
    t.runFor(3000);
    EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
    EXPECT_FALSE(t.program.run.lockup.liveView);
}

TEST(CameraRun, BurstHoldsTheCableAndEndsTwoSecondsAfterTheLastPicture) {
    CameraTestProgram t(with(preset("bulb"), [](VirtualProfile& p) { p.driveMode = 1; }));
    t.start({line().delay(0).speed("1/100").burst(3)}, R"(-serialport="VirtualCable")");
    t.runFor(3000);
    EXPECT_EQ(t.cable(), (CableEvents{released(0), pressed(0), released(3000)}));
    EXPECT_TRUE(t.program.run.running);
    t.runFor(10000);
    EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
    EXPECT_GT(t.pictures().size(), 2u);
    // The last picture came in at least two seconds before the run ended.
    const auto pictures = t.timeline.times("picture"),
               ends = t.timeline.times(statusEvent(RunStatus::kCompleted));
    ASSERT_FALSE(pictures.empty());
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_GE(ends[0] - pictures.back(), 2000u);
}

// The JPEG comes a little after the RAW, as from a real body: each keeps its shot's numbers.
struct FileGapCase {
    unsigned fileGapMs;
    Strings pictures;
};

void PrintTo(const FileGapCase& c, std::ostream* out) {
    *out << "JPEG " << c.fileGapMs << " ms after its RAW";
}

class RawAndJpegApart : public testing::TestWithParam<FileGapCase> {};

// However late the JPEG of an exposure comes after its RAW, even after the next shot or the run's end, it is
// filed with its exposure and every shot keeps its own pictures.
TEST_P(RawAndJpegApart, EachExposureKeepsConsecutiveNumbers) {
    static unsigned gap;
    gap = GetParam().fileGapMs;
    CameraTestProgram t(with(preset("bulb"), [](VirtualProfile& p) {
        p.picturesPerShot = 2;
        p.fileGapMs = gap;
    }));
    t.start({line().delay(0).speed("1/250"), line().delay(20).speed("1/250")}, R"(-prefix="Moon")");
    t.runFor(8000);
    EXPECT_EQ(t.pictures(), GetParam().pictures);
    EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
}

const Strings kNotApart{"Moon_2026-12-06_21-00-00_0001.CR2", "Moon_2026-12-06_21-00-00_0002.JPG",
                        "Moon_2026-12-06_21-00-02_0003.CR2", "Moon_2026-12-06_21-00-02_0004.JPG"};

INSTANTIATE_TEST_SUITE_P(
    CameraRun, RawAndJpegApart,
    testing::Values(FileGapCase{0, kNotApart}, FileGapCase{40, kNotApart}, FileGapCase{1500, kNotApart},
                    // the next shot's RAW comes before this one's JPEG: numbers stay unique
                    FileGapCase{3000,
                                {"Moon_2026-12-06_21-00-00_0001.CR2", "Moon_2026-12-06_21-00-00_0003.JPG",
                                 "Moon_2026-12-06_21-00-02_0002.CR2", "Moon_2026-12-06_21-00-02_0004.JPG"}}));

TEST(CameraRun, AnExistingPictureIsNeverOverwritten) {
    CameraTestProgram t(preset("bulb"));
    const auto folder = t.dir.path() / "1 - Canon EOS 600D";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "2026-12-06_21-00-00_0001.JPG") << "an earlier night";
    t.start({line().delay(0).speed("1/250")});
    t.runFor(5000);
    EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
    std::ifstream kept(folder / "2026-12-06_21-00-00_0001.JPG");
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "an earlier night");
    const Strings pictures = t.pictures();
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[1].substr(0, 4), "IMG_"); // the camera's own name
}

TEST(CameraRun, ManualReleaseWaitsForThePhotographer) {
    CameraTestProgram t(preset("bulb"));
    t.start({line().delay(0).speed("1/250")}, "",
            [&] { t.window.listSelectIndex(kLockupList, t.window.listCount(kLockupList) - 1); });
    EXPECT_EQ(t.window.itemText(kStatusField), "Go!");
    EXPECT_EQ(t.window.beeps(), 1);
    t.runFor(60000);
    EXPECT_EQ(t.program.run.status, RunStatus::kManualRelease); // no time limit
    EXPECT_TRUE(t.camera->pressShutterByHand(true));
    t.camera->pressShutterByHand(false);
    t.runFor(3000);
    EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
    EXPECT_EQ(t.pictures().size(), 1u);
}

struct ErrorCase {
    const char* name;
    const char* preset;
    void (*change)(VirtualProfile&);
    std::vector<std::string> lines;
    std::string commandLine;
    std::string text;           // the box's text
    std::string caption;        // the box's caption
    const char* when = nullptr; // the moment the run ends, when it matters
};

void PrintTo(const ErrorCase& c, std::ostream* out) {
    *out << c.name;
}

class CameraRunError : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CameraRunError, StopsTheRunWithItsMessage) {
    const ErrorCase& c = GetParam();
    VirtualProfile profile = preset(c.preset);
    if (c.change) c.change(profile);
    CameraTestProgram t(profile);
    t.start(c.lines, c.commandLine);
    t.runFor(30000);
    EXPECT_FALSE(t.program.run.running);
    const MessageBoxRecord* box = t.lastBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text, c.text);
    EXPECT_EQ(box->caption, c.caption);
    if (c.when) {
        EXPECT_EQ(t.timeline.only("status 55"), Strings{c.when});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CameraRunError,
    ::testing::Values(ErrorCase{"PressShutterManualTooLong",
                                "press-shutter",
                                nullptr,
                                {line().delay(0).speed("40")},
                                "",
                                "Current speed requires bulb mode",
                                "Error (L3644)"},
                      ErrorCase{"NoSpeedInBulb",
                                "bulb",
                                [](VirtualProfile& p) { p.aeMode = 4; },
                                {line().delay(0).aperture("8")},
                                "",
                                "Camera in bulb mode without speed setting !",
                                "Error (L3742)"},
                      ErrorCase{"IsoBusy",
                                "bulb",
                                [](VirtualProfile& p) { p.busy = {kEdsPropID_ISOSpeed}; },
                                {line().delay(0).iso(400)},
                                "",
                                "ISO not supported",
                                "Error (L3770)"},
                      ErrorCase{"ApertureInTv",
                                "bulb",
                                [](VirtualProfile& p) { p.aeMode = 1; },
                                {line().delay(0).aperture("8")},
                                "",
                                "Unable to set aperture. Camera should be set in manual or Av mode!",
                                "Error (L3660)"},
                      ErrorCase{"BurstNotContinuous",
                                "bulb",
                                nullptr,
                                {line().delay(0).speed("1/100").burst(2)},
                                R"(-serialport="VirtualCable")",
                                "Camera shoud be set in continuous shooting !",
                                "Error (L3144)"},
                      ErrorCase{"NoPictureFromTheCamera",
                                "bulb",
                                [](VirtualProfile& p) { p.processingMs = 20000; },
                                {line().delay(0).speed("1/250")},
                                "",
                                "Cannot download image file !",
                                "Error (L3502)",
                                "12050 status 55"}, // 12 000 ms after the exposure's end
                      ErrorCase{"PictureNotStoredOnTheCard",
                                "bulb",
                                [](VirtualProfile& p) { p.processingMs = 20000; },
                                {line().delay(0).speed("1/250")},
                                "-savetocam",
                                "Cannot store image to memory !",
                                "Error (L3373)",
                                "5050 status 55"},
                      ErrorCase{"AutofocusOn300D",
                                "300d",
                                [](VirtualProfile& p) { p.afMode = 0; },
                                {"0\t\t1\t250"},
                                "",
                                "Autofocus should be disabled !",
                                "Error (L3898)"},
                      ErrorCase{"FocusFailsAtRelease",
                                "bulb",
                                [](VirtualProfile& p) { p.afFailureAt = 2; },
                                {line().delay(0).speed("1/250"), line().delay(20).speed("1/250")},
                                "",
                                "Focus failed !",
                                "Error (L3947)"},
                      ErrorCase{"TakePictureBusy",
                                "bulb",
                                [](VirtualProfile& p) { p.takePictureBusyAt = 1; },
                                {line().delay(0).speed("1/250")},
                                "",
                                "camera busy",
                                "Error (L3947)"},
                      ErrorCase{"CaptureErrorInsteadOfThePicture",
                                "bulb",
                                [](VirtualProfile& p) { p.captureErrorAt = 1; },
                                {line().delay(0).speed("1/250")},
                                "",
                                "Cannot download image file !",
                                "Error (L3502)"},
                      ErrorCase{"MoveWithoutLiveView",
                                "no-liveview",
                                nullptr,
                                {"Move"},
                                "",
                                "cannot detect move with this camera !",
                                "Error"},
                      ErrorCase{"CableWithoutPort",
                                "cable",
                                nullptr,
                                {line().delay(0).speed("40")},
                                "",
                                "No serial port selected for camera control !",
                                "Error"},
                      ErrorCase{"LockupWithoutLiveViewOrPort",
                                "no-liveview",
                                nullptr,
                                {"0\t\t1\t250"},
                                R"(-lockuptime="2")",
                                "No serial port selected for camera control !",
                                "Error"},
                      ErrorCase{"LiveViewCableWithoutPort",
                                "liveview-cable",
                                nullptr,
                                {line().delay(0).speed("40")},
                                "",
                                "No serial port selected for camera control !",
                                "Error"},
                      ErrorCase{"LockupFunctionOff",
                                "legacy-lockup",
                                nullptr,
                                {line().delay(0).speed("1/250")},
                                R"(-serialport="VirtualCable" -lockuptime="2")",
                                "Mirror lockup should be set on camera !",
                                "Error (L3833)"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

// Runs at the edges of what a body accepts: each is taken and the run ends by itself.
struct AcceptedCase {
    const char* name;
    const char* preset;
    void (*change)(VirtualProfile&);
    std::vector<std::string> lines;
    std::string commandLine;
    RunStatus firstStatus;
    const char* event = nullptr; // one event of the run's timeline
    bool manualRelease = false;  // Lockup Manu: the photographer presses the release at 1 s
};

class CameraRunAccepted : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(CameraRunAccepted, CompletesWithOnePictureAShot) {
    const AcceptedCase& c = GetParam();
    VirtualProfile profile = preset(c.preset);
    if (c.change) c.change(profile);
    CameraTestProgram t(profile);
    t.start(c.lines, c.commandLine, [&] {
        if (c.manualRelease) t.window.listSelectIndex(kLockupList, t.window.listCount(kLockupList) - 1);
    });
    ASSERT_FALSE(t.timeline.only("status").empty());
    EXPECT_EQ(t.timeline.only("status").front(), "0 status " + std::to_string(messageOf(c.firstStatus)));
    if (c.manualRelease) {
        t.runFor(1000);
        t.camera->pressShutterByHand(true);
        t.camera->pressShutterByHand(false);
    }
    t.runFor(50000);
    EXPECT_EQ(t.lastBox(), nullptr) << t.lastBox()->text;
    EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
    EXPECT_GE(t.pictures().size(), c.lines.size());
    if (c.event) {
        EXPECT_THAT(t.timeline.events(), ::testing::Contains(c.event));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, CameraRunAccepted,
    ::testing::Values(AcceptedCase{"BurstInLowSpeedContinuousDrive",
                                   "bulb",
                                   [](VirtualProfile& p) { p.driveMode = kEdsDriveMode_LowSpeedContinuous; },
                                   {"0\t\t1\t100\t\t\t2"},
                                   R"(-serialport="VirtualCable")",
                                   RunStatus::kBurst},
                      // Refused in bulb mode only under one second.
                      AcceptedCase{"OneSecondBulbOnAPressShutterBody",
                                   "press-shutter",
                                   [](VirtualProfile& p) { p.aeMode = 4; },
                                   {"0\t\t1\t1"},
                                   "",
                                   RunStatus::kExposure},
                      AcceptedCase{"ThirtySecondsOutsideBulbOnAPressShutterBody",
                                   "press-shutter",
                                   nullptr,
                                   {"0\t\t30\t1"},
                                   "",
                                   RunStatus::kExposure,
                                   "30000 status 196"},
                      AcceptedCase{"LongestExposureTheBodyTimes",
                                   "bulb",
                                   [](VirtualProfile& p) { p.shutterCodes.push_back(0x2C); },
                                   {"0\t\t3\t1"},
                                   "",
                                   RunStatus::kExposure,
                                   "3000 status 196"},
                      // Only the cable shot waits the 400D's two seconds.
                      AcceptedCase{"CameraShotAfterACableShotOnThe400D",
                                   "legacy-lockup",
                                   nullptr,
                                   {"0\t\t40\t1", "\t\t1\t250"},
                                   R"(-serialport="VirtualCable")",
                                   RunStatus::kExposure,
                                   "43600 status 35"},
                      AcceptedCase{"IsoInBulbMode",
                                   "bulb",
                                   [](VirtualProfile& p) { p.aeMode = 4; },
                                   {"0\t\t1\t1\t800"},
                                   "",
                                   RunStatus::kExposure},
                      AcceptedCase{"ApertureInBulbMode",
                                   "bulb",
                                   [](VirtualProfile& p) { p.aeMode = 4; },
                                   {"0\t8\t1\t1"},
                                   "",
                                   RunStatus::kExposure},
                      AcceptedCase{"SpeedInTv",
                                   "bulb",
                                   [](VirtualProfile& p) { p.aeMode = 1; },
                                   {"0\t\t1\t250"},
                                   "",
                                   RunStatus::kExposure},
                      // f/13 is 0x43 or 0x44, as the body offers.
                      AcceptedCase{"ApertureByItsAlternativeCode",
                                   "bulb",
                                   [](VirtualProfile& p) {
                                       p.apertureCodes = {0x38, 0x44};
                                   },
                                   {"0\t13\t1\t250"},
                                   "",
                                   RunStatus::kExposure},
                      AcceptedCase{"TenSecondLockup",
                                   "bulb",
                                   nullptr,
                                   {"0\t\t1\t250"},
                                   R"(-lockuptime="10")",
                                   RunStatus::kLockup,
                                   "10350 status 30"},
                      // The camera times the exposure from the end of the lock-up.
                      AcceptedCase{"LongExposureAfterALockupOnAPressShutterBody",
                                   "press-shutter",
                                   nullptr,
                                   {"0\t\t15\t1"},
                                   R"(-lockuptime="2")",
                                   RunStatus::kLockup,
                                   "17350 status 196"},
                      // The photographer's hand needs neither live view nor a cable.
                      AcceptedCase{"ManualReleaseWithoutLiveViewOrPort",
                                   "cable",
                                   nullptr,
                                   {"0\t\t1\t250"},
                                   "",
                                   RunStatus::kManualRelease,
                                   nullptr,
                                   true}),
    [](const ::testing::TestParamInfo<AcceptedCase>& info) { return std::string(info.param.name); });

// The 300D names its pictures by the line's quality, and its thumbnails are not pictures.
TEST(CameraRun, The300DNamesByQualityAndSkipsThumbnails) {
    struct Case {
        const char* quality;
        const char* picture;
    };
    for (const Case& c :
         {Case{"R", "2026-12-06_21-00-00_0001.crw"}, Case{"[L]", "2026-12-06_21-00-00_0001.jpg"}}) {
        CameraTestProgram t(preset("300d"));
        t.start({"0\t\t1\t250\t\t" + std::string(c.quality)});
        t.runFor(5000);
        EXPECT_EQ(t.pictures(), Strings{c.picture}) << c.quality;
        EXPECT_EQ(t.timeline.only("shot"), Strings{"0 shot 1 line 2 pass 0"}) << c.quality;
        EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
    }
}

// A RAW and its JPEG make one shot, complete 2 s after the last came; a line without delay follows then.
TEST(CameraRun, ALineWithoutDelayFollowsARawAndJpegShot) {
    CameraTestProgram t(with(preset("bulb"), [](VirtualProfile& p) { p.picturesPerShot = 2; }));
    t.start({"0\t\t1\t250", "\t\t1\t250"});
    t.runFor(8000);
    EXPECT_EQ(t.timeline.only("shot"), (Strings{"0 shot 1 line 2 pass 0", "550 shot 2 line 2 pass 0",
                                                "2550 shot 3 line 3 pass 0", "3100 shot 4 line 3 pass 0"}));
    EXPECT_EQ(t.pictures().size(), 4u);
}

// A run stopped by an error in the middle of a shot, after Stop was asked for it, leaves nothing pending: the
// next run goes on by itself, and its Stop acts at once.
TEST(CameraRun, ARunAfterAnErrorInMidShotStartsAfresh) {
    for (const bool stopAgain : {false, true}) {
        CameraTestProgram t(preset("bulb"));
        t.window.answer = [](const MessageBoxRecord&) { return BoxAnswer::Yes; };
        t.start({"10\t\t1\t250", "10\t\t1\t250"});
        t.runFor(1100);
        t.window.click(kStartButton); // Stop during the first shot: carried out once it is complete
        reportError(t.program, t.window, kErrorDownloadTimeout, 3502);
        t.window.click(kStartButton);
        t.runFor(500);
        if (stopAgain) {
            t.window.click(kStartButton);
            EXPECT_EQ(t.program.run.status, RunStatus::kAborted);
            EXPECT_FALSE(t.program.run.running);
        } else {
            t.runFor(5000);
            EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
        }
    }
}

// The port vanishes as the cable opens the second bulb exposure: the body lets go at once; the run learns it
// at its next step, stops with the port's message and closes the port.
TEST(CameraRun, SerialPortVanishingStopsTheRunWithNothingLeftPressed) {
    CameraTestProgram t(with(preset("cable"), [](VirtualProfile& p) { p.cableLostAt = 2; }));
    t.program.language = kFrench;
    t.start({line().delay(0).speed("40"), line().delay(500).speed("40")}, R"(-serialport="VirtualCable")");
    t.runFor(51000);
    EXPECT_TRUE(t.program.run.running);
    EXPECT_FALSE(t.camera->shutterOpen());
    t.runFor(41000);
    EXPECT_FALSE(t.program.run.running);
    EXPECT_EQ(t.program.cable, nullptr);
    ASSERT_NE(t.lastBox(), nullptr);
    EXPECT_EQ(t.lastBox()->text, "Imposible d'accéder au port série VirtualCable !");
    EXPECT_EQ(t.lastBox()->caption, "Erreur");
    EXPECT_EQ(t.cable(), (CableEvents{released(0), pressed(0), released(40500), pressed(50000),
                                      released(90500), released(90500)}));
}

// Next, Prev. or Escape pressed during a shot when the link cannot be followed: the run goes on, no line
// lost.
TEST(CameraRun, ARequestThatCannotBeCarriedOutSkipsNothing) {
    struct Case {
        const char* link;    // the link file's name and content beside night.txt, removed once loaded
        const char* content; // nullptr: removed before the press
        int command;
        const char* box; // what the box that says why holds
    };
    for (const Case& c : {Case{"night.next", nullptr, kNextScriptButton, "Unable to access file"},
                          Case{"night.prev", "", kPrevScriptButton, "Empty file !"},
                          Case{"night.prev", "\n", kPrevScriptButton, "Empty file !"},
                          Case{"night.next", nullptr, kCancelCommand, "Unable to access file"}}) {
        CameraTestProgram t(preset("bulb"));
        t.dir.write(c.link, "dawn.txt");
        t.start({line().delay(0).speed("1"), line().delay(50).speed("1/250"), line().delay(50).speed("1/250"),
                 line().delay(50).speed("1/250")});
        if (c.content)
            t.dir.write(c.link, c.content);
        else
            std::filesystem::remove(t.dir.path() / c.link);
        t.runFor(500);
        t.window.click(c.command); // during the first shot's 1 s exposure
        t.runFor(16000);
        EXPECT_EQ(t.timeline.only("shot"),
                  (Strings{"0 shot 1 line 2 pass 0", "5000 shot 2 line 3 pass 0",
                           "10000 shot 3 line 4 pass 0", "15000 shot 4 line 5 pass 0"}))
            << c.command;
        ASSERT_NE(t.lastBox(), nullptr);
        EXPECT_NE(t.lastBox()->text.find(c.box), std::string::npos) << t.lastBox()->text;
        EXPECT_EQ(t.program.run.status, RunStatus::kCompleted);
    }
}

// While paused the photographer may use the body's own controls.
TEST(CameraRun, PauseUnlocksTheBodyBetweenShots) {
    CameraTestProgram t(preset("bulb"));
    t.start({"0\t\t1\t250", "100"});
    struct Step {
        bool pressPause, locked;
    };
    for (const Step& s : {Step{false, true}, Step{true, false}, Step{true, true}}) {
        if (s.pressPause) t.window.click(kPauseButton);
        t.runFor(1000);
        EXPECT_EQ(t.camera->controlsLocked(), s.locked);
    }
}

// A next script that fails to load, asked for during a shot, leaves the run no lines: it stops then.
TEST(CameraRun, ANextScriptThatFailsToLoadStopsTheRun) {
    CameraTestProgram t(preset("bulb"));
    t.dir.write("dawn.txt", scriptText({"0", "nonsense"}));
    t.dir.write("night.next", "dawn.txt");
    t.start({"0\t\t1\t1", "50\t\t1\t250"});
    t.runFor(500);
    t.window.click(kNextScriptButton); // during the first shot's 1 s exposure
    t.runFor(8000);
    EXPECT_FALSE(t.program.run.running);
    EXPECT_EQ(t.program.run.status, RunStatus::kIdle);
    ASSERT_NE(t.lastBox(), nullptr);
    EXPECT_EQ(t.lastBox()->text, "invalid delay at line 3 !");
    EXPECT_EQ(t.timeline.only("shot"), Strings{"0 shot 1 line 2 pass 0"});
}

// A run stopped by an error while its pictures were queued (at 520 ms) or counted (at 600 ms) leaves nothing
// to the next run: its own pictures take their own numbers.
TEST(CameraRun, ANewRunStartsFromACleanHandshake) {
    for (const unsigned stopAt : {520u, 600u}) {
        CameraTestProgram t(with(preset("bulb"), [](VirtualProfile& p) { p.picturesPerShot = 2; }));
        t.start({line().delay(0).speed("1/250")});
        t.runFor(stopAt);
        reportError(t.program, t.window, kErrorDownloadTimeout, 3502);
        const Strings left = t.pictures();
        t.runFor(2000);
        t.window.click(kStartButton);
        t.runFor(5000);
        EXPECT_EQ(t.program.run.status, RunStatus::kCompleted) << stopAt;
        Strings expected = left;
        expected.insert(expected.end(), {"2026-12-06_21-00-02_0001.CR2", "2026-12-06_21-00-02_0002.JPG"});
        EXPECT_EQ(t.pictures(), expected) << stopAt;
    }
}

TEST(CameraRun, StopDuringAnExposureEndsOnceThePictureIsIn) {
    CameraTestProgram t(preset("bulb"));
    t.start({line().delay(0).speed("10"), "100"});
    t.runFor(1000);
    t.window.answer = [](const MessageBoxRecord&) { return BoxAnswer::Yes; };
    t.window.click(kStartButton);
    EXPECT_TRUE(t.program.run.requests.abort);
    EXPECT_FALSE(t.window.isItemEnabled(kStartButton));
    t.runFor(5000);
    EXPECT_EQ(t.program.run.status, RunStatus::kAborted);
    EXPECT_EQ(t.pictures().size(), 1u);
}

TEST(CameraRun, CameraSwitchedOffMidRun) {
    CameraTestProgram t(with(preset("bulb"), [](VirtualProfile& p) { p.shutdownAt = 2; }));
    t.start({line().delay(0).speed("1/250"), line().delay(20).speed("1/250")});
    t.runFor(10000);
    EXPECT_FALSE(t.program.run.running);
    EXPECT_FALSE(t.program.camera.connected);
    EXPECT_EQ(t.window.itemText(kCameraField), "Not connected");
    EXPECT_EQ(t.program.run.status, RunStatus::kIdle);
}

} // namespace
} // namespace orvex::test
