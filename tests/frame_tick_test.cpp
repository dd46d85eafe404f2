// The steps of the live view timer, on a body that answers as each row needs: which ticks download a
// frame, which close the window, and which leave the camera alone.
#include "liveview/frame_tick.h"
#include "resources/live_view_dialog.h"
#include "sdk/virtual/picture_files.h"
#include "tests/support/fake_camera.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace orvex::test {
namespace {

struct LiveView : FakeCameraProgram {
    LiveView() {
        connect();
        body->evfError = EDS_ERR_OK;
        body->evfJpeg = virtualcam::encodeJpeg(virtualcam::Bytes(16 * 8 * 3, 40), 16, 8, 90);
        w.click(kLiveViewButton);
        body->forget();
    }
    HeadlessWindow& window() { return *w.modeless(BIG_LIVE_VIEW_DIALOG.name).back(); }
    void send(MessageKind kind, int id = 0) { window().send({kind, id, {}}); }
    void tick() {
        frameTick(p.liveViewRecords(), w);
        w.pump();
    }
};

TEST(FrameTick, EachStep) {
    using M = MessageKind;
    struct Row {
        const char* name;
        std::function<void(LiveView&)> before; // then two ticks
        int downloads;
        bool windowOpen;
        int drawn;
        unsigned timerPeriod; // 0: no timer
    };
    const Row rows[] = {
        {"a frame", [](LiveView&) {}, 2, true, 2, 333},
        {"a frame the window has not taken", [](LiveView& v) { v.p.liveView.pending.held = true; }, 0, true,
         0, 333},
        {"not ready on every tick", [](LiveView& v) { v.body->evfError = EDS_ERR_OBJECT_NOTREADY; }, 2, true,
         0, 333},
        // The error ends live view; the next tick closes the window.
        {"another error", [](LiveView& v) { v.body->evfError = EDS_ERR_DEVICE_BUSY; }, 1, false, 0, 0},
        {"minimised", [](LiveView& v) { v.send(M::Minimised); }, 0, true, 0, 100},
        {"minimised during a Move wait",
         [](LiveView& v) { v.p.run.status = RunStatus::kMoveWait, v.send(M::Minimised); }, 2, true, 0, 100},
        {"restored", [](LiveView& v) { v.send(M::Minimised), v.send(M::Restored); }, 2, true, 2, 333},
        {"a shot in progress", [](LiveView& v) { v.p.run.cameraReady = false; }, 0, true, 0, 333},
        {"the live view command", [](LiveView& v) { v.w.click(kLiveViewButton); }, 0, false, 0, 0},
        // A new frame rate fetches at once, before the two ticks.
        {"a new frame rate",
         [](LiveView& v) {
             v.window().listSelectIndex(kFrameRateList, 4);
             v.send(M::Command, kFrameRateList);
             v.w.pump();
         },
         3, true, 3, 200},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        LiveView v;
        r.before(v);
        v.tick();
        v.tick();
        EXPECT_EQ(std::tuple(v.body->evfDownloads, !v.window().destroyed(),
                             v.window().drawing(kPictureArea).count, v.w.timerPeriod(kTimerLiveView)),
                  std::tuple(r.downloads, r.windowOpen, r.drawn, r.timerPeriod));
    }
}

TEST(FrameTick, ADisconnectionClosesTheWindowWithoutTouchingTheCamera) {
    LiveView v;
    v.p.camera.connected = false;
    v.tick();
    EXPECT_TRUE(v.window().destroyed());
    EXPECT_EQ(v.p.liveView.window, nullptr);
    EXPECT_EQ(v.body->evfDownloads, 0);
    EXPECT_TRUE(v.body->reads.empty() && v.body->writes.empty() && v.body->commands.empty());
    v.p.camera.connected = true; // for the fixture's own disconnection
}

TEST(LiveViewButtons, EachPostsItsCameraCall) {
    const std::tuple<int, EdsCameraCommand, EdsInt32> rows[] = {
        {kFocusFar3, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Far3},
        {kFocusFar2, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Far2},
        {kFocusFar1, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Far1},
        {kFocusNear1, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Near1},
        {kFocusNear2, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Near2},
        {kFocusNear3, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Near3},
        {kAutofocusButton, kEdsCameraCommand_DoEvfAf, 1},
    };
    LiveView v;
    for (const bool shooting : {false, true}) {
        v.p.run.running = shooting;
        v.p.run.cameraReady = !shooting;
        for (const auto& [button, command, param] : rows) {
            SCOPED_TRACE(::testing::Message() << "button " << button << (shooting ? " during a shot" : ""));
            v.body->forget();
            v.window().click(button);
            EXPECT_TRUE(v.body->commands.empty()) << "the window only posts";
            v.w.pump();
            using Commands = std::vector<std::pair<EdsCameraCommand, EdsInt32>>;
            EXPECT_EQ(v.body->commands, (shooting ? Commands{} : Commands{{command, param}}))
                << "no lens drive while a shot is in progress";
        }
    }
    v.p.run.running = false;
}

} // namespace
} // namespace orvex::test
