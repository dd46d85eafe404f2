// Model knowledge and the small camera operations, against a fake body.
#include "app/camera_link.h"
#include "camera/ae_mode_icons.h"
#include "camera/camera_connection.h"
#include "camera/camera_model.h"
#include "camera/camera_properties.h"
#include "tests/support/fake_camera.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <tuple>

namespace orvex::test {
namespace {

TEST(FindCameraModel, TakesTheFirstSearchTextInTheDescription) {
    const std::pair<const char*, int> cases[] = {{"Canon EOS 1200D", 0},
                                                 {"Canon EOS 300D DIGITAL", 13},
                                                 {"Canon EOS 100D", 14},
                                                 {"Canon EOS 10D", 21},
                                                 {"Canon EOS 7D Mark II", 22},
                                                 {"Canon EOS 1D X", 24},
                                                 {"Canon EOS-1D X", kModelUnknown},
                                                 {"Canon EOS 80D", kModelUnknown},
                                                 {"", kModelUnknown}};
    for (const auto& [description, model] : cases)
        EXPECT_EQ(findCameraModel(description), model) << description;
}

TEST(ModelRules, AreThoseOfTheModelTheDescriptionNames) {
    const ModelRules none, pressShutter{.pressShutterBody = true};
    const std::pair<const char*, ModelRules> cases[] = {
        {"Canon EOS 300D DIGITAL",
         {.pauseBeforeReleaseMs = 150,
          .manualFocusRequired = true,
          .rawOrJpegByQuality = true,
          .savesToHostOnly = true,
          .lockupFixedOff = true}},
        {"Canon EOS 10D", {.pauseBeforeReleaseMs = 150, .savesToHostOnly = true, .lockupCustomFunction = 12}},
        {"Canon EOS 350D DIGITAL",
         {.pauseBeforeReleaseMs = 150, .pauseAfterCableShotMs = 2000, .lockupCustomFunction = 7}},
        {"Canon EOS 400D DIGITAL", {.pauseAfterCableShotMs = 2000, .lockupCustomFunction = 7}},
        {"Canon EOS 5D Mark III", pressShutter},
        {"Canon EOS 1D Mark IV", pressShutter},
        {"Canon EOS 100D", none},
        {"Canon EOS 80D", none},
    };
    for (const auto& [description, rules] : cases)
        EXPECT_TRUE(modelRules(findCameraModel(description)) == rules) << description;
}

TEST(AeModeIcons, EveryFileIsShippedOnceAndUnknownCodesShareOne) {
    for (int code : {7, 25, 29, -1}) EXPECT_STREQ(aeModeIconFile(code), kUnknownModeIconFile);
    const auto files = aeModeIconFiles();
    EXPECT_EQ(std::set<std::string>(files.begin(), files.end()).size(), files.size());
    const auto folder = std::filesystem::path(ORVEX_EXAMPLES_DIR).parent_path() / "resources" / "icons";
    for (const char* file : files) EXPECT_TRUE(std::filesystem::is_regular_file(folder / file)) << file;
}

using CameraProperties = FakeCameraFixture;

TEST_F(CameraProperties, TheUiLockIsSentOnlyWhenItChanges) {
    connect();
    for (bool locked : {false, true, true, false}) setCameraUiLock(p.camera, locked);
    EXPECT_EQ(body->statusCommands, (std::vector<EdsCameraStatusCommand>{kEdsCameraStatusCommand_UILock,
                                                                         kEdsCameraStatusCommand_UIUnLock}));
    // A new connection starts unlocked again.
    setCameraUiLock(p.camera, true);
    disconnectCamera(p, w);
    connect();
    setCameraUiLock(p.camera, false);
    EXPECT_TRUE(body->statusCommands.empty());
}

TEST_F(CameraProperties, TheShutterButtonUsesTheFirstMethodTheCameraOffers) {
    connect();
    const struct {
        const char* name;
        bool pressShutterBody, bulbCommands, shutterButton, open;
        int location;
        EdsCameraCommand command; // 0: no command at all
        EdsInt32 param;
    } cases[] = {
        {"press body opens", true, true, true, true, 5930, 4, 0x10003},
        {"press body closes", true, true, true, false, 5936, 4, 0},
        {"bulb opens", false, true, true, true, 5945, 2, 0},
        {"bulb closes", false, true, true, false, 5950, 3, 0},
        {"button opens", false, false, true, true, 5958, 4, 0x10003},
        {"button closes", false, false, true, false, 5964, 4, 0},
        {"no method opens", false, false, false, true, 5969, 0, 0},
        {"no method closes", false, false, false, false, 5969, 0, 0},
    };
    for (const auto& c : cases) {
        body->forget();
        p.run.errorLocation = 0;
        p.camera.rules.pressShutterBody = c.pressShutterBody;
        p.camera.bulbCommands = c.bulbCommands;
        p.camera.shutterButton = c.shutterButton;
        EXPECT_EQ(driveShutterButton(p.camera, p.run.errorLocation, c.open),
                  c.command ? EDS_ERR_OK : EDS_ERR_NOT_SUPPORTED)
            << c.name;
        EXPECT_EQ(p.run.errorLocation, c.location) << c.name;
        EXPECT_EQ(body->commands, (c.command ? std::vector{std::make_pair(c.command, c.param)}
                                             : std::vector<std::pair<EdsCameraCommand, EdsInt32>>{}))
            << c.name;
    }
}

TEST_F(CameraProperties, ReadBodyNumberParsesASigned64BitNumber) {
    connect();
    std::uint64_t id = 12345;
    EXPECT_EQ(readBodyNumber(p.camera, id), static_cast<std::int32_t>(EDS_ERR_PROPERTIES_UNAVAILABLE));
    const std::tuple<const char*, std::int32_t, std::uint64_t> cases[] = {
        {"1234567890", 0, 1234567890u},
        {"  42", 0, 42u},
        {"0000000042abc", 0, 42u},
        {"123456789012", 0, 123456789012u},
        {"-1", 0, 0xFFFFFFFFFFFFFFFFu},
        {"abc", kErrorBodyIdNotANumber, 12345u},
        {"", kErrorBodyIdNotANumber, 12345u},
    };
    for (const auto& [text, result, expected] : cases) {
        body->set(kEdsPropID_BodyIDEx, std::string(text));
        id = 12345;
        EXPECT_EQ(readBodyNumber(p.camera, id), result) << text;
        EXPECT_EQ(id, expected) << text;
    }
}

TEST(MirrorLockup, ComparesTheModelsCustomFunctionWithTheWish) {
    const std::pair<const char*, EdsInt32> cases[] = {
        {"Canon EOS 20D", 12},
        {"Canon EOS 400D DIGITAL", 7},
        {"Canon EOS 5D Mark III", 0}, // 0: the model has no rule
        {"Nikon D850", 0}};
    for (const auto& [description, customFunction] : cases) {
        SCOPED_TRACE(description);
        FakeCameraProgram f;
        f.body->description = description;
        f.connect();
        EXPECT_TRUE(mirrorLockupMatches(f.p.camera, true)) << "unreadable: not a reason to refuse";
        EXPECT_TRUE(mirrorLockupMatches(f.p.camera, false));
        for (EdsInt32 cfn : {7, 12}) f.body->set(kEdsPropID_CFn, EdsUInt32{1}, cfn);
        EXPECT_TRUE(mirrorLockupMatches(f.p.camera, true));
        EXPECT_EQ(mirrorLockupMatches(f.p.camera, false), customFunction == 0);
        if (customFunction == 0) {
            EXPECT_TRUE(f.body->reads.empty()) << "no custom function to ask";
            continue;
        }
        f.body->set(kEdsPropID_CFn, EdsUInt32{0}, customFunction);
        EXPECT_FALSE(mirrorLockupMatches(f.p.camera, true));
        EXPECT_TRUE(mirrorLockupMatches(f.p.camera, false));
    }
}

TEST_F(CameraProperties, TheLensStatusDecidesAndTheApertureStandsInForIt) {
    connect();
    EXPECT_FALSE(isLensAttached(p.camera)) << "neither can be read";
    body->set(kEdsPropID_Av, EdsUInt32{0x30});
    EXPECT_TRUE(isLensAttached(p.camera));
    body->set(kEdsPropID_Av, EdsUInt32{0xFFFFFFFF});
    EXPECT_FALSE(isLensAttached(p.camera));
    body->set(kEdsPropID_LensStatus, EdsUInt32{1});
    EXPECT_TRUE(isLensAttached(p.camera)) << "the lens status wins";
    body->set(kEdsPropID_LensStatus, EdsUInt32{0});
    body->set(kEdsPropID_Av, EdsUInt32{0x30});
    EXPECT_FALSE(isLensAttached(p.camera));
}

TEST_F(CameraProperties, LiveViewOutputIsSwitchedOnlyWhenItsStateChanges) {
    connect();
    body->set(kEdsPropID_Evf_OutputDevice, EdsUInt32{kEdsEvfOutputDevice_TFT});
    w.listSelectIndex(kZoomList, 2);
    setLiveViewOutput(p.camera, w, true);
    setLiveViewOutput(p.camera, w, true);
    EXPECT_EQ(body->writes.size(), 3u) << "live view mode, its focus mode and the output";
    setLiveViewOutput(p.camera, w, false);
    EXPECT_EQ(body->value(kEdsPropID_Evf_OutputDevice), 1u);
    EXPECT_EQ(w.listSelection(kZoomList), 2) << "the camera screen was on: the zoom stays";

    // A session takes the output with it: the next one switches it on again, here with neither screen on.
    setLiveViewOutput(p.camera, w, true);
    disconnectCamera(p, w);
    body->set(kEdsPropID_Evf_OutputDevice, EdsUInt32{0});
    connect();
    setLiveViewOutput(p.camera, w, true);
    EXPECT_EQ(body->value(kEdsPropID_Evf_OutputDevice), 2u);
    EXPECT_EQ(w.listSelection(kZoomList), 0) << "nothing was shown before";
}

} // namespace
} // namespace orvex::test
