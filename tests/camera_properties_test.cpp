// Model knowledge and the small camera operations, against a fake body.
#include "camera/ae_mode_icons.h"
#include "camera/camera_connection.h"
#include "camera/camera_properties.h"
#include "tests/support/fake_camera.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace orvex::test {
namespace {

struct ModelCase {
    const char* description;
    int model;
};

class FindCameraModel : public ::testing::TestWithParam<ModelCase> {};

TEST_P(FindCameraModel, TakesTheFirstSearchTextInTheDescription) {
    EXPECT_EQ(findCameraModel(GetParam().description), GetParam().model) << GetParam().description;
}

INSTANTIATE_TEST_SUITE_P(
    Descriptions, FindCameraModel,
    ::testing::Values(ModelCase{"Canon EOS 1200D", 0}, ModelCase{"Canon EOS 1100D", 1},
                      ModelCase{"Canon EOS 600D", 7}, ModelCase{"Canon EOS 400D DIGITAL", 11},
                      ModelCase{"Canon EOS 300D DIGITAL", 13}, ModelCase{"Canon EOS 100D", 14},
                      ModelCase{"Canon EOS 60D", 16}, ModelCase{"Canon EOS 10D", 21},
                      ModelCase{"Canon EOS 5D Mark III", 23}, ModelCase{"Canon EOS 7D Mark II", 22},
                      ModelCase{"Canon EOS 1D X", 24}, ModelCase{"Canon EOS-1D X", 25},
                      ModelCase{"Canon EOS 80D", 25}, ModelCase{"Canon PowerShot G12", 25},
                      ModelCase{"", 25}));

TEST(FindCameraModelTable, EveryModelIsFoundByItsOwnText) {
    const char* names[] = {"1200D", "1100D", "1000D", "760D", "750D", "700D", "650D", "600D", "550D",
                           "500D",  "450D",  "400D",  "350D", "300D", "100D", "70D",  "60D",  "50D",
                           "40D",   "30D",   "20D",   "10D",  "7D",   "5D",   "1D"};
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(findCameraModel(std::string("Canon EOS ") + names[i]), i) << names[i];
}

TEST(AeModeIcons, CodesWithoutAnIconOfTheirOwnShowTheUnknownModeIcon) {
    for (int code : {7, 8, 16, 17, 18, 21, 25, 29, 100, -1})
        EXPECT_STREQ(aeModeIconFile(code), "Mode_Unknown.ico");
    EXPECT_STREQ(aeModeIconFile(0), "Mode_Program.ico");
    EXPECT_STREQ(aeModeIconFile(4), "Mode_Bulb.ico");
    EXPECT_STREQ(aeModeIconFile(19), "Mode_CreativeAuto.ico");
    EXPECT_STREQ(aeModeIconFile(28), "Mode_Candle.ico");
}

TEST(AeModeIcons, EveryFileIsShippedOnce) {
    const auto files = aeModeIconFiles();
    ASSERT_EQ(files.size(), 23u);
    EXPECT_STREQ(files[0], kUnknownModeIconFile);
    EXPECT_EQ(std::set<std::string>(files.begin(), files.end()).size(), files.size());
    const auto folder = std::filesystem::path(ORVEX_EXAMPLES_DIR).parent_path() / "resources" / "icons";
    for (const char* file : files) EXPECT_TRUE(std::filesystem::is_regular_file(folder / file)) << file;
}

using CameraProperties = FakeCameraFixture;

TEST_F(CameraProperties, IsCameraModelNeedsAConnectedCamera) {
    p.camera.modelIndex = kModel5D;
    EXPECT_FALSE(isCameraModel(p, kModel5D));
    connect();
    EXPECT_TRUE(isCameraModel(p, kModel5D));
    EXPECT_FALSE(isCameraModel(p, kModel7D));
}

TEST_F(CameraProperties, TheUiLockIsSentOnlyWhenItChanges) {
    connect();
    EXPECT_EQ(setCameraUiLock(p, false), EDS_ERR_OK);
    EXPECT_TRUE(body->statusCommands.empty()) << "unlocked since the connection";
    setCameraUiLock(p, true);
    setCameraUiLock(p, true);
    EXPECT_EQ(body->statusCommands, std::vector<EdsCameraStatusCommand>{kEdsCameraStatusCommand_UILock});
    setCameraUiLock(p, false);
    EXPECT_EQ(body->statusCommands.back(), kEdsCameraStatusCommand_UIUnLock);
    EXPECT_EQ(body->statusCommands.size(), 2u);

    // A new connection starts unlocked again.
    setCameraUiLock(p, true);
    disconnectCamera(p, w);
    connect();
    EXPECT_EQ(setCameraUiLock(p, false), EDS_ERR_OK);
    EXPECT_TRUE(body->statusCommands.empty());
}

struct ShutterCase {
    const char* name;
    bool pressShutterBody, bulbCommands, shutterButton, open;
    EdsCameraCommand command;
    EdsInt32 param;
    int location;
};

class DriveShutterButton : public CameraProperties, public ::testing::WithParamInterface<ShutterCase> {};

TEST_P(DriveShutterButton, UsesTheFirstMethodTheCameraOffers) {
    const ShutterCase& c = GetParam();
    connect();
    p.camera.pressShutterBody = c.pressShutterBody;
    p.camera.bulbCommands = c.bulbCommands;
    p.camera.shutterButton = c.shutterButton;
    EXPECT_EQ(driveShutterButton(p, c.open), EDS_ERR_OK);
    ASSERT_EQ(body->commands.size(), 1u);
    EXPECT_EQ(body->commands[0], std::make_pair(c.command, c.param));
    EXPECT_EQ(p.run.errorLocation, c.location);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, DriveShutterButton,
    ::testing::Values(ShutterCase{"PressBodyOpens", true, true, true, true, 4, 0x10003, 5930},
                      ShutterCase{"PressBodyCloses", true, true, true, false, 4, 0, 5936},
                      ShutterCase{"BulbOpens", false, true, true, true, 2, 0, 5945},
                      ShutterCase{"BulbCloses", false, true, true, false, 3, 0, 5950},
                      ShutterCase{"ButtonOpens", false, false, true, true, 4, 0x10003, 5958},
                      ShutterCase{"ButtonCloses", false, false, true, false, 4, 0, 5964}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CameraProperties, DriveShutterButtonWithoutAnyMethodMakesNoCall) {
    connect();
    p.camera.pressShutterBody = p.camera.bulbCommands = p.camera.shutterButton = false;
    for (bool open : {true, false}) {
        p.run.errorLocation = 0;
        EXPECT_EQ(driveShutterButton(p, open), EDS_ERR_NOT_SUPPORTED);
        EXPECT_EQ(p.run.errorLocation, 5969);
    }
    EXPECT_TRUE(body->commands.empty());
}

struct BodyIdCase {
    const char* text;
    std::int32_t result;
    std::uint32_t id;
};

class ReadBodyId : public CameraProperties, public ::testing::WithParamInterface<BodyIdCase> {};

TEST_P(ReadBodyId, ParsesASigned64BitNumberAndKeepsItsLow32Bits) {
    connect();
    body->set(kEdsPropID_BodyIDEx, std::string(GetParam().text));
    std::uint32_t id = 12345;
    EXPECT_EQ(readBodyId(p, id), GetParam().result) << GetParam().text;
    EXPECT_EQ(id, GetParam().id) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, ReadBodyId,
                         ::testing::Values(BodyIdCase{"1234567890", 0, 1234567890u},
                                           BodyIdCase{"  42", 0, 42u}, BodyIdCase{"0000000042abc", 0, 42u},
                                           BodyIdCase{"4294967297", 0, 1u},
                                           BodyIdCase{"123456789012", 0, 0xBE991A14u},
                                           BodyIdCase{"-1", 0, 0xFFFFFFFFu}, BodyIdCase{"abc", -17, 12345u},
                                           BodyIdCase{"", -17, 12345u}));

TEST_F(CameraProperties, ReadBodyIdReturnsTheSdkCodeWhenTheIdCannotBeRead) {
    connect();
    std::uint32_t id = 7;
    EXPECT_EQ(readBodyId(p, id), static_cast<std::int32_t>(EDS_ERR_PROPERTIES_UNAVAILABLE));
    EXPECT_EQ(id, 7u);
}

struct LockupCase {
    const char* description;
    EdsInt32 customFunction; // 0: the model has no rule
};

class MirrorLockup : public CameraProperties, public ::testing::WithParamInterface<LockupCase> {};

TEST_P(MirrorLockup, ComparesTheModelsCustomFunctionWithTheWish) {
    const LockupCase& c = GetParam();
    body->description = c.description;
    connect();
    if (c.customFunction == 0) {
        body->set(kEdsPropID_CFn, EdsUInt32{1}, 12);
        body->set(kEdsPropID_CFn, EdsUInt32{1}, 7);
        EXPECT_TRUE(mirrorLockupMatches(p, true));
        EXPECT_TRUE(mirrorLockupMatches(p, false));
        EXPECT_TRUE(body->reads.empty()) << "no custom function to ask";
        return;
    }
    EXPECT_TRUE(mirrorLockupMatches(p, true)) << "unreadable: not a reason to refuse";
    EXPECT_TRUE(mirrorLockupMatches(p, false));
    body->set(kEdsPropID_CFn, EdsUInt32{1}, c.customFunction);
    EXPECT_TRUE(mirrorLockupMatches(p, true));
    EXPECT_FALSE(mirrorLockupMatches(p, false));
    body->set(kEdsPropID_CFn, EdsUInt32{0}, c.customFunction);
    EXPECT_FALSE(mirrorLockupMatches(p, true));
    EXPECT_TRUE(mirrorLockupMatches(p, false));
    EXPECT_EQ(body->reads.back(), std::make_pair(kEdsPropID_CFn, c.customFunction));
}

INSTANTIATE_TEST_SUITE_P(Models, MirrorLockup,
                         ::testing::Values(LockupCase{"Canon EOS 10D", 12}, LockupCase{"Canon EOS 20D", 12},
                                           LockupCase{"Canon EOS 350D DIGITAL", 7},
                                           LockupCase{"Canon EOS 400D DIGITAL", 7},
                                           LockupCase{"Canon EOS 5D Mark III", 0},
                                           LockupCase{"Canon EOS 30D", 0}, LockupCase{"Nikon D850", 0}));

TEST_F(CameraProperties, MirrorLockupAlwaysMatchesWithoutACamera) {
    p.camera.modelIndex = kModel10D;
    EXPECT_TRUE(mirrorLockupMatches(p, true));
    EXPECT_TRUE(mirrorLockupMatches(p, false));
}

TEST_F(CameraProperties, TheLensStatusDecidesAndTheApertureStandsInForIt) {
    connect();
    EXPECT_FALSE(isLensAttached(p)) << "neither can be read";
    body->set(kEdsPropID_Av, EdsUInt32{0x30});
    EXPECT_TRUE(isLensAttached(p));
    body->set(kEdsPropID_Av, EdsUInt32{0xFFFFFFFF});
    EXPECT_FALSE(isLensAttached(p));
    body->set(kEdsPropID_LensStatus, EdsUInt32{1});
    EXPECT_TRUE(isLensAttached(p)) << "the lens status wins";
    body->set(kEdsPropID_LensStatus, EdsUInt32{0});
    body->set(kEdsPropID_Av, EdsUInt32{0x30});
    EXPECT_FALSE(isLensAttached(p));
}

TEST_F(CameraProperties, LiveViewOutputIsSwitchedOnlyWhenItsStateChanges) {
    connect();
    body->set(kEdsPropID_Evf_OutputDevice, EdsUInt32{kEdsEvfOutputDevice_TFT});
    w.listSelectIndex(kZoomList, 2);
    setLiveViewOutput(p, w, true);
    EXPECT_EQ(body->value(kEdsPropID_Evf_Mode), 1u);
    EXPECT_EQ(body->value(kEdsPropID_Evf_AFMode), 0u);
    EXPECT_EQ(body->value(kEdsPropID_Evf_OutputDevice), 3u);
    EXPECT_EQ(w.listSelection(kZoomList), 2) << "the camera screen was on: the zoom stays";
    ASSERT_EQ(body->writes.size(), 3u);
    EXPECT_EQ(std::get<0>(body->writes[0]), kEdsPropID_Evf_Mode);
    EXPECT_EQ(std::get<0>(body->writes[1]), kEdsPropID_Evf_AFMode);

    body->forget();
    setLiveViewOutput(p, w, true);
    EXPECT_TRUE(body->writes.empty());
    EXPECT_TRUE(body->reads.empty());

    setLiveViewOutput(p, w, false);
    EXPECT_EQ(body->value(kEdsPropID_Evf_OutputDevice), 1u);
    ASSERT_EQ(body->writes.size(), 1u) << "switching off touches only the output";
    EXPECT_EQ(w.listSelection(kZoomList), 2);
}

TEST_F(CameraProperties, LiveViewOutputWithNeitherScreenResetsTheZoomList) {
    connect();
    body->set(kEdsPropID_Evf_OutputDevice, EdsUInt32{0});
    w.listSelectIndex(kZoomList, 2);
    setLiveViewOutput(p, w, true);
    EXPECT_EQ(w.listSelection(kZoomList), 0) << "nothing was shown before";
    w.listSelectIndex(kZoomList, 1);
    setLiveViewOutput(p, w, false);
    EXPECT_EQ(body->value(kEdsPropID_Evf_OutputDevice), 0u);
    EXPECT_EQ(w.listSelection(kZoomList), 0) << "nothing is shown now";
}

TEST_F(CameraProperties, AReconnectedCameraGetsItsLiveViewOutputAgain) {
    connect();
    body->set(kEdsPropID_Evf_OutputDevice, EdsUInt32{kEdsEvfOutputDevice_TFT});
    setLiveViewOutput(p, w, true);
    // The camera goes away while live view is on; its session takes the output with it.
    disconnectCamera(p, w);
    body->set(kEdsPropID_Evf_OutputDevice, EdsUInt32{kEdsEvfOutputDevice_TFT});
    connect();
    setLiveViewOutput(p, w, true);
    EXPECT_EQ(body->value(kEdsPropID_Evf_OutputDevice), 3u);
}

TEST_F(CameraProperties, ReleaseLiveViewOutputGivesBackWhatTheMirrorLockupBorrowed) {
    connect();
    body->set(kEdsPropID_Evf_OutputDevice, EdsUInt32{3});
    releaseLiveViewOutput(p);
    EXPECT_TRUE(body->reads.empty()) << "nothing borrowed";

    p.run.lockupLiveView = true;
    p.liveViewOn = true;
    releaseLiveViewOutput(p);
    EXPECT_FALSE(p.run.lockupLiveView);
    EXPECT_EQ(body->value(kEdsPropID_Evf_OutputDevice), 3u) << "the live view window still uses it";

    p.run.lockupLiveView = true;
    p.liveViewOn = false;
    releaseLiveViewOutput(p);
    EXPECT_FALSE(p.run.lockupLiveView);
    EXPECT_EQ(body->value(kEdsPropID_Evf_OutputDevice), 1u);

    body->forget();
    p.run.lockupLiveView = true;
    releaseLiveViewOutput(p);
    EXPECT_TRUE(body->writes.empty()) << "the computer bit is already clear";
}

} // namespace
} // namespace orvex::test
