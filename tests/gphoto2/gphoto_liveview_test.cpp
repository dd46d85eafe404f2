// Live view and focus on a real body through libgphoto2.
#include "app/camera_link.h"
#include "liveview/frame_tick.h"
#include "resources/live_view_dialog.h"
#include "sdk/gphoto2/sensor_grid.h"
#include "tests/gphoto2/emulated_body.h"
#include "tests/support/scoped_env.h"

#include <gmock/gmock.h>

#include <tuple>

namespace orvex::test {
namespace {

using ::testing::IsSupersetOf;

class GphotoLiveView : public EmulatedBody {
  protected:
    struct Frame {
        EdsError error;
        sdk::EvfFrameInfo info; // the frame's zoom facts, read through its image reference
        std::vector<unsigned char> jpeg;
    };
    Frame frame() {
        Frame f{};
        EdsStreamRef stream = nullptr;
        EdsEvfImageRef image = nullptr;
        EdsCreateMemoryStream(0x200000, &stream);
        EdsCreateEvfImageRef(stream, &image);
        if ((f.error = EdsDownloadEvfImage(camera, image)) == EDS_ERR_OK) {
            EdsGetPropertyData(image, kEdsPropID_Evf_Zoom, 0, sizeof f.info.zoom, &f.info.zoom);
            EdsGetPropertyData(image, kEdsPropID_Evf_ZoomPosition, 0, sizeof(EdsPoint), &f.info.zoomPosition);
            EdsGetPropertyData(image, kEdsPropID_Evf_CoordinateSystem, 0, sizeof(EdsSize),
                               &f.info.coordinateSystem);
            void* data = nullptr;
            EdsUInt64 length = 0;
            EdsGetPointer(stream, &data);
            EdsGetLength(stream, &length);
            f.jpeg.assign(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + length);
        }
        EdsRelease(image);
        EdsRelease(stream);
        return f;
    }
};

// The body places its zoom area on its sensor's pixels, which the library does not tell; the first frame puts
// the area in the middle of them; live view started again is back at the whole frame. The lens drives near
// and far, and focuses on command.
TEST_F(GphotoLiveView, FramesFollowTheZoomAndItsPositionAndTheLensDrivesAndFocuses) {
    open();
    set(kEdsPropID_Evf_OutputDevice, kEdsEvfOutputDevice_PC);
    for (const auto& [zoom, x, y] :
         {std::tuple<EdsUInt32, int, int>{kEdsEvfZoom_Fit, 2073, 1382}, {kEdsEvfZoom_x5, 300, 200}}) {
        SCOPED_TRACE(zoom);
        const EdsPoint position{x, y};
        if (zoom != kEdsEvfZoom_Fit) {
            set(kEdsPropID_Evf_Zoom, zoom);
            ASSERT_EQ(EdsSetPropertyData(camera, kEdsPropID_Evf_ZoomPosition, 0, sizeof position, &position),
                      EDS_ERR_OK);
        }
        const Frame f = frame();
        ASSERT_EQ(f.error, EDS_ERR_OK);
        ASSERT_GT(f.jpeg.size(), 2u);
        const auto& [zoomed, at, grid] = f.info;
        EXPECT_EQ(std::tuple(f.jpeg[0], f.jpeg[1], zoomed, at.x, at.y, grid.width, grid.height),
                  std::tuple(0xFF, 0xD8, zoom, x, y, 5184, 3456));
    }
    set(kEdsPropID_Evf_OutputDevice, 0);
    set(kEdsPropID_Evf_OutputDevice, kEdsEvfOutputDevice_PC);
    EXPECT_EQ(frame().info.zoom, kEdsEvfZoom_Fit) << "live view starts again on the whole frame";
    set(kEdsPropID_Evf_OutputDevice, 0);
    for (const EdsInt32 step : {kEdsEvfDriveLens_Near2, kEdsEvfDriveLens_Far3})
        EXPECT_EQ(EdsSendCommand(camera, kEdsCameraCommand_DriveLensEvf, step), EDS_ERR_OK);
    EXPECT_EQ(EdsSendCommand(camera, kEdsCameraCommand_DriveLensEvf, 4), EDS_ERR_INVALID_PARAMETER);
    EXPECT_EQ(EdsSendCommand(camera, kEdsCameraCommand_DoEvfAf, kEdsCameraCommand_EvfAf_ON), EDS_ERR_OK);
    EXPECT_THAT(actions(), IsSupersetOf({"set viewfinder 1", "set eoszoomposition 2073,1382", "set eoszoom 5",
                                         "set eoszoomposition 300,200", "set viewfinder 0",
                                         "set manualfocusdrive Near 2", "set manualfocusdrive Far 3",
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

// The window shows the body's frames, one a tick, and its buttons reach the body. Where the outline stands in
// the picture area is where the body was told to put its zoom area, in its sensor's pixels: in the middle at
// first, after Center, and one step to the right.
TEST_F(GphotoLiveView, TheWindowShowsTheBodyItsButtonsReachItAndTheOutlineStandsOnItsZoomArea) {
    Watching w;
    const struct {
        int button; // 0: the first frame
        const char* told;
        EdsPoint at = {-1, -1}; // where the outline stands, when it matters
        EdsUInt32 zoom = kEdsEvfZoom_Fit;
    } steps[] = {{0, "set eoszoomposition 2073,1382", {2073, 1382}},
                 {kZoomRight, "set eoszoomposition 2201,1382", {2201, 1382}},
                 {kZoomCenter, "set eoszoomposition 2073,1382", {2073, 1382}},
                 {kZoomDown, "set eoszoomposition 2073,1510", {2073, 1510}},
                 {kZoomX5Button, "set eoszoom 5", {-1, -1}, kEdsEvfZoom_x5},
                 {kZoomFitButton, "set eoszoom 1"},
                 {kFocusFar1, "set manualfocusdrive Far 1"}};
    int frames = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE(s.told);
        const std::size_t before = actions().size();
        if (s.button) w.window().click(s.button);
        w.t.window.pump();
        w.tick();
        EXPECT_EQ(w.window().drawing(kPictureArea).count, ++frames) << "a frame reached the window";
        EXPECT_EQ(w.t.program.liveView.evfZoom, s.zoom);
        EXPECT_THAT(actions(before), ::testing::Contains(s.told));
        if (s.at.x < 0) continue;
        EXPECT_EQ(actions().back(), s.told);
        const auto& outline = w.window().drawing(kPictureArea).outline;
        const PixelRect area = w.window().itemRect(kPictureArea);
        ASSERT_TRUE(outline);
        EXPECT_EQ(std::pair(outline->x, outline->y),
                  std::pair(area.width * s.at.x / 5184, area.height * s.at.y / 3456));
    }
}

// The grid comes from the model's name as the library spells it, the longer name first; the same on a Turkish
// desktop, where 'I' is not an upper-case 'i'.
TEST(SensorGrid, FollowsTheModelsName) {
    const struct {
        const char* model;
        EdsInt32 width, height;
    } cases[] = {{"Canon EOS 700D", 5184, 3456},
                 {"Canon:EOS 5D Mark III", 5760, 3840},
                 {"Canon EOS 5D Mark II", 5616, 3744},
                 {"Canon:EOS 7D MarkII", 5472, 3648},
                 {"Canon EOS 7D", 5184, 3456},
                 {"Canon EOS 77D", 6000, 4000},
                 {"Canon EOS 1000D", 3888, 2592},
                 {"Canon EOS 100D", 5184, 3456},
                 {"Canon EOS 1D X MarkII", 5472, 3648},
                 {"Canon EOS Rebel T5i", 5184, 3456},
                 {"", 5184, 3456}};
    for (const char* name : {"C", "tr_TR.UTF-8"}) {
        const ScopedLocale locale(name);
        ASSERT_TRUE(locale.taken()) << name << ": run scripts/install-deps.sh";
        for (const auto& c : cases) {
            const EdsSize grid = gphoto::sensorGrid(c.model);
            EXPECT_EQ(std::pair(grid.width, grid.height), std::pair(c.width, c.height))
                << name << " " << c.model;
        }
    }
}

// The program learns at connection that the 5D Mark III body offers no live view.
TEST_F(GphotoLiveView, ABodyWithoutFramesSaysSoInTheProgramsTerms) {
    for (const auto& [body, faults, expected] :
         {std::tuple{k700D, "preview-not-ready", EDS_ERR_OBJECT_NOTREADY},
          std::tuple{k5DMarkIII, "", EDS_ERR_NOT_SUPPORTED}}) {
        reopen(body, faults);
        EXPECT_EQ(frame().error, expected) << body;
    }
    EdsUInt32 output = 0;
    EXPECT_EQ(EdsGetPropertyData(camera, kEdsPropID_Evf_OutputDevice, 0, sizeof output, &output),
              EDS_ERR_PROPERTIES_UNAVAILABLE);
}

} // namespace
} // namespace orvex::test
