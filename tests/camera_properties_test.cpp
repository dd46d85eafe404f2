// Model knowledge and the small camera operations, against a fake body.
#include "camera/ae_mode_icons.h"
#include "camera/camera_model.h"
#include "camera/camera_properties.h"
#include "tests/support/fake_camera.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <tuple>

namespace orvex::test {
namespace {

// The first search text found in the description names the model, whose rules the body then follows.
TEST(CameraModel, TheDescriptionNamesTheModelAndItsRules) {
    const ModelRules none, press{.pressShutterBody = true};
    const std::tuple<const char*, int, ModelRules> cases[] = {
        {"Canon EOS 1200D", 0, none},
        {"Canon EOS 300D DIGITAL",
         13,
         {.pauseBeforeReleaseMs = 150,
          .manualFocusRequired = true,
          .rawOrJpegByQuality = true,
          .savesToHostOnly = true,
          .lockupFixedOff = true}},
        {"Canon EOS 350D DIGITAL",
         12,
         {.pauseBeforeReleaseMs = 150, .pauseAfterCableShotMs = 2000, .lockupCustomFunction = 7}},
        {"Canon EOS 400D DIGITAL", 11, {.pauseAfterCableShotMs = 2000, .lockupCustomFunction = 7}},
        {"Canon EOS 100D", 14, none},
        {"Canon EOS 10D",
         21,
         {.pauseBeforeReleaseMs = 150, .savesToHostOnly = true, .lockupCustomFunction = 12}},
        {"Canon EOS 7D Mark II", 22, press},
        {"Canon EOS 5D Mark III", 23, press},
        {"Canon EOS 1D X", 24, press},
        {"Canon EOS 1D Mark IV", 24, press},
        {"Canon EOS-1D X", kModelUnknown, none},
        {"Canon EOS 80D", kModelUnknown, none},
        {"", kModelUnknown, none}};
    for (const auto& [description, model, rules] : cases) {
        EXPECT_EQ(findCameraModel(description), model) << description;
        EXPECT_TRUE(modelRules(findCameraModel(description)) == rules) << description;
    }
}

TEST(AeModeIcons, EveryFileIsShippedOnceAndUnknownCodesShareOne) {
    for (int code : {7, 25, 29, -1}) EXPECT_STREQ(aeModeIconFile(code), kUnknownModeIconFile);
    const auto files = aeModeIconFiles();
    EXPECT_EQ(std::set<std::string>(files.begin(), files.end()).size(), files.size());
    const auto folder = std::filesystem::path(ORVEX_EXAMPLES_DIR).parent_path() / "resources" / "icons";
    for (const char* file : files) EXPECT_TRUE(std::filesystem::is_regular_file(folder / file)) << file;
}

TEST(CameraProperties, TheUiLockIsSentOnlyWhenItChanges) {
    ConnectedSession s;
    for (bool locked : {false, true, true, false, true}) setCameraUiLock(s.camera, locked);
    EXPECT_EQ(s.body->statusCommands,
              (std::vector{kEdsCameraStatusCommand_UILock, kEdsCameraStatusCommand_UIUnLock,
                           kEdsCameraStatusCommand_UILock}));
    s.disconnect(), s.connect();
    setCameraUiLock(s.camera, false);
    EXPECT_TRUE(s.body->statusCommands.empty()) << "a new connection starts unlocked again";
}

// Each method with where it opens and where it closes (a location, a command, 0 for none, and its parameter).
TEST(CameraProperties, TheShutterButtonUsesTheFirstMethodTheCameraOffers) {
    ConnectedSession s;
    using Step = std::tuple<int, EdsCameraCommand, EdsInt32>;
    const struct {
        const char* name;
        bool pressShutterBody, bulbCommands, shutterButton;
        Step opens, closes;
    } cases[] = {{"press body", true, true, true, {5930, 4, 0x10003}, {5936, 4, 0}},
                 {"bulb", false, true, true, {5945, 2, 0}, {5950, 3, 0}},
                 {"button", false, false, true, {5958, 4, 0x10003}, {5964, 4, 0}},
                 {"no method", false, false, false, {5969, 0, 0}, {5969, 0, 0}}};
    for (const auto& c : cases)
        for (const bool open : {true, false}) {
            SCOPED_TRACE(::testing::Message() << c.name << (open ? " opens" : " closes"));
            const auto& [where, command, param] = open ? c.opens : c.closes;
            s.body->forget();
            int location = 0;
            s.camera.rules.pressShutterBody = c.pressShutterBody;
            s.camera.bulbCommands = c.bulbCommands;
            s.camera.shutterButton = c.shutterButton;
            EXPECT_EQ(driveShutterButton(s.camera, location, open),
                      command ? EDS_ERR_OK : EDS_ERR_NOT_SUPPORTED);
            EXPECT_EQ(location, where);
            EXPECT_EQ(s.body->commands, (command ? std::vector{std::make_pair(command, param)}
                                                 : std::vector<std::pair<EdsCameraCommand, EdsInt32>>{}));
        }
}

TEST(CameraProperties, ReadBodyNumberParsesASigned64BitNumber) {
    ConnectedSession s;
    // Null: no body id at all.
    const std::tuple<const char*, std::int32_t, std::uint64_t> cases[] = {
        {nullptr, EDS_ERR_PROPERTIES_UNAVAILABLE, 12345u},
        {"1234567890", 0, 1234567890u},
        {"  42", 0, 42u},
        {"0000000042abc", 0, 42u},
        {"123456789012", 0, 123456789012u},
        {"-1", 0, 0xFFFFFFFFFFFFFFFFu},
        {"abc", kErrorBodyIdNotANumber, 12345u},
        {"", kErrorBodyIdNotANumber, 12345u}};
    for (const auto& [text, result, expected] : cases) {
        if (text) s.body->set(kEdsPropID_BodyIDEx, std::string(text));
        std::uint64_t id = 12345;
        EXPECT_EQ((std::pair{readBodyNumber(s.camera, id), id}), std::pair(result, expected))
            << (text ? text : "none");
    }
}

TEST(CameraProperties, MirrorLockupComparesTheModelsCustomFunctionWithTheWish) {
    const std::pair<const char*, EdsInt32> cases[] = {
        {"Canon EOS 20D", 12},
        {"Canon EOS 400D DIGITAL", 7},
        {"Canon EOS 5D Mark III", 0}, // 0: the model has no rule
        {"Nikon D850", 0}};
    for (const auto& [description, customFunction] : cases) {
        SCOPED_TRACE(description);
        FakeSession s;
        s.body->description = description;
        s.connect();
        EXPECT_TRUE(mirrorLockupMatches(s.camera, true)) << "unreadable: not a reason to refuse";
        EXPECT_TRUE(mirrorLockupMatches(s.camera, false));
        for (EdsInt32 cfn : {7, 12}) s.body->set(kEdsPropID_CFn, EdsUInt32{1}, cfn);
        EXPECT_TRUE(mirrorLockupMatches(s.camera, true));
        EXPECT_EQ(mirrorLockupMatches(s.camera, false), customFunction == 0);
        if (customFunction == 0) {
            EXPECT_TRUE(s.body->reads.empty()) << "no custom function to ask";
            continue;
        }
        s.body->set(kEdsPropID_CFn, EdsUInt32{0}, customFunction);
        EXPECT_FALSE(mirrorLockupMatches(s.camera, true));
        EXPECT_TRUE(mirrorLockupMatches(s.camera, false));
    }
}

TEST(CameraProperties, TheLensStatusDecidesAndTheApertureStandsInForIt) {
    ConnectedSession s;
    EXPECT_FALSE(isLensAttached(s.camera)) << "neither can be read";
    s.body->set(kEdsPropID_Av, EdsUInt32{0x30});
    EXPECT_TRUE(isLensAttached(s.camera));
    s.body->set(kEdsPropID_Av, EdsUInt32{0xFFFFFFFF});
    EXPECT_FALSE(isLensAttached(s.camera));
    s.body->set(kEdsPropID_LensStatus, EdsUInt32{1});
    EXPECT_TRUE(isLensAttached(s.camera)) << "the lens status wins";
    s.body->set(kEdsPropID_LensStatus, EdsUInt32{0});
    s.body->set(kEdsPropID_Av, EdsUInt32{0x30});
    EXPECT_FALSE(isLensAttached(s.camera));
}

TEST(CameraProperties, LiveViewOutputIsSwitchedOnlyWhenItsStateChanges) {
    ConnectedSession s;
    s.body->set(kEdsPropID_Evf_OutputDevice, EdsUInt32{kEdsEvfOutputDevice_TFT});
    for (const char* zoom : {"x1", "x5", "x10"}) s.w.listAdd(kZoomList, zoom);
    s.w.listSelectIndex(kZoomList, 2);
    setLiveViewOutput(s.camera, s.w, true);
    setLiveViewOutput(s.camera, s.w, true);
    EXPECT_EQ(s.body->writes.size(), 3u) << "live view mode, its focus mode and the output";
    setLiveViewOutput(s.camera, s.w, false);
    EXPECT_EQ(s.body->value(kEdsPropID_Evf_OutputDevice), 1u);
    EXPECT_EQ(s.w.listSelection(kZoomList), 2) << "the camera screen was on: the zoom stays";

    // A session takes the output with it: the next one switches it on again, here with neither screen on.
    setLiveViewOutput(s.camera, s.w, true);
    s.disconnect();
    s.body->set(kEdsPropID_Evf_OutputDevice, EdsUInt32{0});
    s.connect();
    setLiveViewOutput(s.camera, s.w, true);
    EXPECT_EQ(s.body->value(kEdsPropID_Evf_OutputDevice), 2u);
    EXPECT_EQ(s.w.listSelection(kZoomList), 0) << "nothing was shown before";
}

} // namespace
} // namespace orvex::test
