// Live view and focus on a real body through libgphoto2.
#include "app/camera_link.h"
#include "liveview/frame_tick.h"
#include "resources/live_view_dialog.h"
#include "sdk/gphoto2/sensor_grid.h"
#include "tests/gphoto2/emulated_body.h"

#include <gmock/gmock.h>

#include <chrono>
#include <thread>

namespace orvex::test {
namespace {

using ::testing::IsSupersetOf;

class GphotoLiveView : public EmulatedBody {
  protected:
    // One frame into a memory stream; the frame's zoom facts through its image reference.
    EdsError frame(sdk::EvfFrameInfo& info, std::vector<unsigned char>& jpeg) {
        EdsStreamRef stream = nullptr;
        EdsEvfImageRef image = nullptr;
        EdsCreateMemoryStream(0x200000, &stream);
        EdsCreateEvfImageRef(stream, &image);
        const EdsError error = EdsDownloadEvfImage(camera, image);
        if (error == EDS_ERR_OK) {
            EdsGetPropertyData(image, kEdsPropID_Evf_Zoom, 0, sizeof info.zoom, &info.zoom);
            EdsGetPropertyData(image, kEdsPropID_Evf_ZoomPosition, 0, sizeof info.zoomPosition,
                               &info.zoomPosition);
            EdsGetPropertyData(image, kEdsPropID_Evf_CoordinateSystem, 0, sizeof info.coordinateSystem,
                               &info.coordinateSystem);
            void* data = nullptr;
            EdsUInt64 length = 0;
            EdsGetPointer(stream, &data);
            EdsGetLength(stream, &length);
            const auto* bytes = static_cast<const unsigned char*>(data);
            jpeg.assign(bytes, bytes + length);
        }
        EdsRelease(image);
        EdsRelease(stream);
        return error;
    }
};

TEST_F(GphotoLiveView, FramesFollowTheZoomAndItsPosition) {
    open();
    set(kEdsPropID_Evf_OutputDevice, kEdsEvfOutputDevice_PC);
    sdk::EvfFrameInfo info;
    std::vector<unsigned char> jpeg;
    ASSERT_EQ(frame(info, jpeg), EDS_ERR_OK);
    ASSERT_GT(jpeg.size(), 2u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    EXPECT_EQ(info.zoom, kEdsEvfZoom_Fit);
    // The body places its zoom area on its sensor's pixels, which the library does not tell; the first frame
    // puts the area in the middle of them.
    EXPECT_EQ(info.coordinateSystem.width, 5184);
    EXPECT_EQ(info.coordinateSystem.height, 3456);
    EXPECT_EQ(info.zoomPosition.x, 2073);
    EXPECT_EQ(info.zoomPosition.y, 1382);

    set(kEdsPropID_Evf_Zoom, kEdsEvfZoom_x5);
    const EdsPoint position{300, 200};
    ASSERT_EQ(EdsSetPropertyData(camera, kEdsPropID_Evf_ZoomPosition, 0, sizeof position, &position),
              EDS_ERR_OK);
    ASSERT_EQ(frame(info, jpeg), EDS_ERR_OK);
    EXPECT_EQ(info.zoom, kEdsEvfZoom_x5);
    EXPECT_EQ(info.zoomPosition.x, 300);
    EXPECT_EQ(info.zoomPosition.y, 200);
    set(kEdsPropID_Evf_OutputDevice, 0);
    EXPECT_THAT(actions(), IsSupersetOf({"set viewfinder 1", "set eoszoomposition 2073,1382", "set eoszoom 5",
                                         "set eoszoomposition 300,200", "set viewfinder 0"}));
}

TEST_F(GphotoLiveView, DrivesTheFocusNearAndFarAndFocusesOnCommand) {
    open();
    for (const EdsInt32 step : {kEdsEvfDriveLens_Near2, kEdsEvfDriveLens_Far3})
        EXPECT_EQ(EdsSendCommand(camera, kEdsCameraCommand_DriveLensEvf, step), EDS_ERR_OK);
    EXPECT_EQ(EdsSendCommand(camera, kEdsCameraCommand_DriveLensEvf, 4), EDS_ERR_INVALID_PARAMETER);
    EXPECT_EQ(EdsSendCommand(camera, kEdsCameraCommand_DoEvfAf, kEdsCameraCommand_EvfAf_ON), EDS_ERR_OK);
    EXPECT_THAT(actions(), IsSupersetOf({"set manualfocusdrive Near 2", "set manualfocusdrive Far 3",
                                         "set autofocusdrive 1"}));
}

// The program connected to the body, with its live view window open.
struct Watching {
    Watching() {
        t.start();
        connectCamera(t.program, t.window);
        EXPECT_TRUE(t.program.camera.connected);
        t.window.click(kLiveViewButton);
    }
    ~Watching() { disconnectCamera(t.program, t.window); }
    HeadlessWindow& window() { return *t.window.modeless(BIG_LIVE_VIEW_DIALOG.name).back(); }
    void tick() {
        frameTick(t.program.liveViewRecords(), t.window);
        t.window.pump();
    }
    TestProgram t;
};

TEST_F(GphotoLiveView, TheWindowShowsTheBodyAndItsButtonsReachIt) {
    Watching w;
    const auto click = [&](int button) {
        w.window().click(button);
        w.t.window.pump();
        w.tick();
    };
    w.tick();
    EXPECT_EQ(w.window().drawing(kPictureArea).count, 1) << "a frame reached the window";
    click(kZoomX5Button);
    EXPECT_EQ(w.t.program.liveView.evfZoom, kEdsEvfZoom_x5);
    click(kZoomFitButton);
    EXPECT_EQ(w.t.program.liveView.evfZoom, kEdsEvfZoom_Fit);
    click(kFocusFar1);
    EXPECT_EQ(w.window().drawing(kPictureArea).count, 4);
    EXPECT_THAT(actions(), IsSupersetOf({"set eoszoom 5", "set eoszoom 1", "set manualfocusdrive Far 1"}));
}

// The grid comes from the model's name as the library spells it, the longer name first.
TEST(SensorGrid, FollowsTheModelsName) {
    const struct {
        const char* model;
        EdsSize grid;
    } cases[] = {{"Canon EOS 700D", {5184, 3456}},
                 {"Canon:EOS 5D Mark III", {5760, 3840}},
                 {"Canon EOS 5D Mark II", {5616, 3744}},
                 {"Canon:EOS 7D MarkII", {5472, 3648}},
                 {"Canon EOS 7D", {5184, 3456}},
                 {"Canon EOS 77D", {6000, 4000}},
                 {"Canon EOS 1000D", {3888, 2592}},
                 {"Canon EOS 100D", {5184, 3456}},
                 {"Canon EOS 1D X MarkII", {5472, 3648}},
                 {"Canon EOS Rebel T5i", {5184, 3456}},
                 {"", {5184, 3456}}};
    for (const auto& c : cases) {
        const EdsSize grid = gphoto::sensorGrid(c.model);
        EXPECT_EQ(grid.width, c.grid.width) << c.model;
        EXPECT_EQ(grid.height, c.grid.height) << c.model;
    }
    const EdsPoint middle = gphoto::centredZoomArea({5184, 3456});
    EXPECT_EQ(middle.x, 2073);
    EXPECT_EQ(middle.y, 1382);
}

// Where the outline stands in the picture area is where the body was told to put its zoom area, in its
// sensor's pixels: in the middle at first, after Center, and one step to the right.
TEST_F(GphotoLiveView, TheOutlineStandsWhereTheBodyPutsItsZoomArea) {
    Watching w;
    const struct {
        int button; // 0: the first frame
        const char* told;
        EdsPoint at;
    } steps[] = {{0, "set eoszoomposition 2073,1382", {2073, 1382}},
                 {kZoomRight, "set eoszoomposition 2201,1382", {2201, 1382}},
                 {kZoomCenter, "set eoszoomposition 2073,1382", {2073, 1382}},
                 {kZoomDown, "set eoszoomposition 2073,1510", {2073, 1510}}};
    for (const auto& s : steps) {
        if (s.button) {
            w.window().click(s.button);
            w.t.window.pump();
        }
        w.tick();
        EXPECT_EQ(actions().back(), s.told) << s.told;
        const auto& outline = w.window().drawing(kPictureArea).outline;
        const PixelRect area = w.window().itemRect(kPictureArea);
        ASSERT_TRUE(outline) << s.told;
        EXPECT_EQ(outline->x, area.width * s.at.x / 5184) << s.told;
        EXPECT_EQ(outline->y, area.height * s.at.y / 3456) << s.told;
    }
}

TEST_F(GphotoLiveView, TheFocusButtonsFollowTheLensSwitchTheBodyReports) {
    useEmulatedBodies(home, k700D, "af-switch-at-preview=2");
    Watching w;
    const Program& p = w.t.program;
    w.tick();
    EXPECT_FALSE(w.window().isItemEnabled(kFocusNear1)) << "the lens starts in manual focus";
    w.tick(); // the switch is turned during this frame
    // The body's event comes in real time, through the camera's own thread.
    for (int i = 0; i < 400 && !p.camera.afModeStale; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        w.t.window.pump();
    }
    ASSERT_TRUE(p.camera.afModeStale);
    w.tick();
    EXPECT_TRUE(w.window().isItemEnabled(kFocusNear1));
    EXPECT_FALSE(p.camera.afModeStale);
}

TEST_F(GphotoLiveView, ABodyWithoutFramesSaysSoInTheProgramsTerms) {
    const struct {
        const char *body, *faults;
        EdsError expected;
    } cases[] = {{k700D, "preview-not-ready", EDS_ERR_OBJECT_NOTREADY},
                 {k5DMarkIII, "", EDS_ERR_NOT_SUPPORTED}};
    for (const auto& c : cases) {
        reopen(c.body, c.faults);
        sdk::EvfFrameInfo info;
        std::vector<unsigned char> jpeg;
        EXPECT_EQ(frame(info, jpeg), c.expected) << c.body;
    }
    // The program learns at connection that the 5D Mark III body offers no live view.
    EdsUInt32 output = 0;
    EXPECT_EQ(EdsGetPropertyData(camera, kEdsPropID_Evf_OutputDevice, 0, sizeof output, &output),
              EDS_ERR_PROPERTIES_UNAVAILABLE);
}

} // namespace
} // namespace orvex::test
