// The steps of the live view timer, on a body that answers as each row needs: which ticks download a
// frame, which close the window, and which leave the camera alone.
#include "camera/virtual/picture_files.h"
#include "liveview/frame_tick.h"
#include "resources/live_view_dialog.h"
#include "tests/support/fake_camera.h"

#include <gtest/gtest.h>

#include <functional>

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
    void tick() {
        frameTick(p, w);
        w.pump();
    }
};

TEST(FrameTick, EachStep) {
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
        {"minimised",
         [](LiveView& v) {
             v.window().send({MessageKind::Minimised, 0, {}});
         },
         0, true, 0, 100},
        {"minimised during a Move wait",
         [](LiveView& v) {
             v.p.run.status = RunStatus::kMoveWait;
             v.window().send({MessageKind::Minimised, 0, {}});
         },
         2, true, 0, 100},
        {"restored",
         [](LiveView& v) {
             v.window().send({MessageKind::Minimised, 0, {}});
             v.window().send({MessageKind::Restored, 0, {}});
         },
         2, true, 2, 333},
        {"a shot in progress", [](LiveView& v) { v.p.run.cameraReady = false; }, 0, true, 0, 333},
        {"the live view command", [](LiveView& v) { v.w.click(kLiveViewButton); }, 0, false, 0, 0},
    };
    for (const Row& r : rows) {
        LiveView v;
        r.before(v);
        v.tick();
        v.tick();
        EXPECT_EQ(v.body->evfDownloads, r.downloads) << r.name;
        EXPECT_EQ(!v.window().destroyed(), r.windowOpen) << r.name;
        EXPECT_EQ(v.window().drawing(kPictureArea).count, r.drawn) << r.name;
        EXPECT_EQ(v.w.timerPeriod(kTimerLiveView), r.timerPeriod) << r.name;
    }
}

TEST(FrameTick, ANewFrameRateFetchesAtOnce) {
    LiveView v;
    v.window().listSelectIndex(kFrameRateList, 4);
    v.window().send({MessageKind::Command, kFrameRateList, {}});
    v.w.pump();
    EXPECT_EQ(v.body->evfDownloads, 1);
    EXPECT_EQ(v.w.timerPeriod(kTimerLiveView), 200u);
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
    struct Row {
        int button;
        EdsCameraCommand command;
        EdsInt32 param;
    };
    const Row rows[] = {
        {kFocusFar3, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Far3},
        {kFocusFar2, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Far2},
        {kFocusFar1, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Far1},
        {kFocusNear1, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Near1},
        {kFocusNear2, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Near2},
        {kFocusNear3, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Near3},
        {kAutofocusButton, kEdsCameraCommand_DoEvfAf, 1},
    };
    for (const Row& r : rows) {
        LiveView v;
        v.window().click(r.button);
        EXPECT_TRUE(v.body->commands.empty()) << r.button << ": the window only posts";
        v.w.pump();
        ASSERT_EQ(v.body->commands.size(), 1u) << r.button;
        EXPECT_EQ(v.body->commands[0], std::make_pair(r.command, r.param)) << r.button;
    }
    LiveView shooting;
    shooting.p.run.running = true;
    shooting.p.run.cameraReady = false;
    shooting.window().click(kFocusFar1);
    shooting.w.pump();
    EXPECT_TRUE(shooting.body->commands.empty()) << "no focus drive while a shot is in progress";
}

} // namespace
} // namespace orvex::test
