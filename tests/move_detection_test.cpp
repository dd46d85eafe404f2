// Move detection counts changed bytes of consecutive frames; its bookkeeping keeps only the frame just
// before. A Move line's wait on the run's clock: live view frames feed the level bar; in simulation no
// frame comes.
#include "liveview/frame_tick.h"
#include "liveview/move_detection.h"
#include "platform/headless/headless_window.h"
#include "resources/live_view_dialog.h"
#include "resources/main_dialog.h"
#include "sdk/virtual/picture_files.h"
#include "tests/support/fake_camera.h"
#include "tests/support/run_program.h"

#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace orvex::test {
namespace {

Frame frame(int width, int height, std::uint8_t fill, int bitsPerPixel = 24) {
    Frame f;
    f.width = width, f.height = height, f.bitsPerPixel = bitsPerPixel;
    f.pixels.assign(static_cast<std::size_t>(f.stride()) * height, fill);
    return f;
}

Frame with(Frame f, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) f.pixels[at++] = b;
    return f;
}

// The records detection reads and a main window that only records what is posted to it.
struct Detector {
    Settings settings;
    RunState run;
    LiveViewState liveView;
    RunObserver* observer = nullptr;
    std::vector<DialogMessage> posted;
    HeadlessWindow window{[this](Window&, const DialogMessage& m) { posted.push_back(m); }};

    std::vector<DialogMessage> deliver() {
        posted.clear();
        window.pump();
        return posted;
    }
};

TEST(DetectMove, CountsBytesThatChangedByTheLevel) {
    const Frame grey = frame(4, 2, 100);
    const Frame black = frame(4, 2, 0);
    const struct {
        const char* name;
        Frame newFrame, reference;
        int moveLevel, movePixels;
        bool moved;
        int level; // -1: not shown, the level stays as it was
    } cases[] = {
        {"IdenticalFrames", grey, grey, 20, 10, false, 0},
        {"BlackToWhitePixelCountsThree", with(black, 3, {255, 255, 255}), black, 20, 3, true, 100},
        {"ThreeOfFourIsSeventyFivePercent", with(black, 3, {255, 255, 255}), black, 20, 4, false, 75},
        {"OtherSize", frame(2, 4, 0), frame(4, 2, 255), 20, 1, false, -1},
        {"OtherDepth", frame(4, 2, 0, 8), frame(4, 2, 255), 20, 1, false, -1},
        {"NoPixelsWantedIsAlwaysMovement", grey, grey, 20, 0, true, 100},
        {"NothingChangesByMoreThanAll", frame(4, 2, 255), black, 101, 1, false, 0},
        {"ANegativeLevelIsOverAll", frame(4, 2, 255), black, -16843009, 1, false, 0},
    };
    for (const auto& c : cases) {
        Detector d;
        d.settings.moveLevel = c.moveLevel, d.settings.movePixels = c.movePixels, d.run.detection.level = 42;
        const bool moved = detectMove(d.settings, d.run.detection, d.window, c.newFrame, c.reference);
        // The level bar is told of each level shown.
        EXPECT_EQ(std::tuple(moved, d.run.detection.level.load(), d.deliver().size()),
                  std::tuple(c.moved, c.level < 0 ? 42 : c.level, c.level < 0 ? 0u : 1u))
            << c.name;
    }
}

// Frames of a viewfinder's size: the counting runs in blocks, and a byte that changed by exactly the
// threshold counts wherever it lies, at every level. 641 pixels wide leaves bytes after the last block.
TEST(DetectMove, AChangeOfExactlyTheThresholdCountsAtEveryLevel) {
    for (const auto& [width, height] : {std::pair{640, 480}, {641, 3}}) {
        const Frame still = frame(width, height, 0);
        const std::size_t n = still.pixels.size();
        const std::size_t at[] = {0, 63, 64, n / 2 + 7, n - 1};
        for (int level = 1; level <= 100; ++level) {
            const auto threshold = static_cast<std::uint8_t>(level * 255 / 100);
            Frame exact = still, short_ = still;
            for (const std::size_t k : at) {
                exact.pixels[k] = threshold;
                short_.pixels[k] = static_cast<std::uint8_t>(threshold - 1);
            }
            ASSERT_EQ(std::tuple(changedBytes(exact, still, level), changedBytes(still, exact, level),
                                 changedBytes(short_, still, level)),
                      std::tuple(std::size(at), std::size(at), 0u))
                << width << " at " << level << "%";
        }
    }
}

// Frames arriving one after the other, each with the run's state as it is then and the view the camera
// showed it at.
struct Arrival {
    const char* name;
    RunStatus status;
    Frame frame;
    bool fires, referenceKept, shown;
    EdsUInt32 zoom = 1;
    EdsPoint zoomPosition{0, 0};
    bool newWait = false; // the run armed another Move wait before this frame
};

TEST(FrameBookkeeping, ComparesEachFrameWithTheOneJustBeforeDuringAMoveWait) {
    using Pixels = std::vector<std::uint8_t>;
    constexpr auto kMove = RunStatus::kMoveWait;
    const Frame dark = frame(4, 2, 0), bright = frame(4, 2, 255);
    const Arrival arrivals[] = {
        {"outside a wait no frame is kept", RunStatus::kDelayWait, dark, false, false, true},
        {"the first frame of a wait never fires", kMove, bright, false, true, true},
        {"a still pair", kMove, bright, false, true, true},
        {"another size is a new reference", kMove, frame(2, 4, 0), false, true, true},
        {"compared with that reference", kMove, frame(2, 4, 0), false, true, true},
        {"another depth is a new reference", kMove, frame(2, 4, 255, 8), false, true, true},
        {"back to colour", kMove, dark, false, true, true},
        {"another zoom is a new reference", kMove, bright, false, true, true, 5},
        {"compared at that zoom", kMove, bright, false, true, true, 5},
        {"the area moved: a new reference", kMove, dark, false, true, true, 5, {128, 0}},
        {"a movement fires and is not drawn", kMove, bright, true, false, false, 5, {128, 0}},
        {"after a trigger nothing is kept", kMove, dark, false, false, true, 5, {128, 0}},
        {"the next wait starts afresh", kMove, bright, false, true, true, 5, {128, 0}, true},
        {"and can fire at its second frame", kMove, dark, true, false, false, 5, {128, 0}},
    };
    Detector d;
    d.settings.movePixels = 1;
    for (const Arrival& a : arrivals) {
        if (a.newWait) d.run.detection.triggered = false;
        d.run.status = a.status;
        d.liveView.pending = {a.frame, true, a.zoom, a.zoomPosition};
        const bool wasTriggered = d.run.detection.triggered;
        const Frame* shown = frameArrived(d.liveView, d.run, d.settings, d.observer, d.window);
        bool timerPosted = false;
        for (const DialogMessage& m : d.deliver())
            timerPosted |= m.kind == MessageKind::Timer && m.id == kTimerRun;
        // A trigger has the run tick at once; the frame drawn is the one that came.
        EXPECT_EQ(std::tuple(d.run.detection.triggered && !wasTriggered, timerPosted,
                             d.liveView.reference.held, d.liveView.pending.held,
                             shown ? shown->pixels : Pixels{}),
                  std::tuple(a.fires, a.fires, a.referenceKept, false, a.shown ? a.frame.pixels : Pixels{}))
            << a.name;
    }
}

// The stored Level and Pixels as they are, a pause, and the live view window minimised, on a scene still
// until its object starts moving, and a virtual body on for weeks already. A line that does not fire waits
// with the level bar shown at 0; in simulation it waits with no frame at all.
TEST(MoveWait, LevelPixelsAndPauseDecideWhenTheLineFires) {
    const struct {
        const char* name;
        const char* body;
        int level, pixels;
        bool paused;
        std::uint32_t firesBy; // 0: never
        bool minimised = false;
        std::uint64_t onForMs = 0; // the body was switched on that long before the run
    } cases[] = {
        {"still frames", "bulb motion=2000 motionAfter=60", 20, 10000, false, 0},
        {"in simulation", kSimulation, 20, 10000, false, 0},
        {"no pixels wanted: the second frame fires", "bulb motionAfter=600", 20, 0, false, 700},
        {"over 100 %: never", "bulb motion=20000 motionAfter=1", 101, 1, false, 0},
        {"a movement fires", "bulb motion=2000 motionAfter=3", 20, 10000, false, 5000},
        {"and fires while paused", "bulb motion=2000 motionAfter=3", 20, 10000, true, 5000},
        {"and with the window minimised", "bulb motion=2000 motionAfter=3", 20, 10000, false, 5000, true},
        {"after 24.8 days on", "bulb motion=2000 motionAfter=3", 20, 10000, false, 5000, false,
         (1ull << 31) + 10000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool simulation = std::string(c.body) == kSimulation;
        RunProgram t(c.body);
        if (c.onForMs) t.clock.advance(c.onForMs);
        t.start({line().when("Move")}, "", [&] {
            t.program.settings.moveLevel = c.level;
            t.program.settings.movePixels = c.pixels;
        });
        if (c.paused || c.minimised) t.runFor(100);
        if (c.paused) t.window.click(kPauseButton);
        ASSERT_EQ(t.program.run.paused, c.paused);
        if (c.minimised)
            t.window.modeless(BIG_LIVE_VIEW_DIALOG.name).back()->send({MessageKind::Minimised, 0, {}});
        t.runFor(c.firesBy ? c.firesBy : simulation ? 60000 : 10000);
        EXPECT_EQ(std::tuple(t.program.run.status == RunStatus::kMoveWait, t.shots().size()),
                  std::tuple(!c.firesBy, c.firesBy ? 1u : 0u));
        if (simulation) {
            EXPECT_FALSE(t.program.liveView.reference.held);
        } else if (!c.firesBy) {
            EXPECT_EQ(std::tuple(t.window.timerPeriod(kTimerLiveView), t.window.isItemShown(kLevelBar),
                                 t.window.progress(kLevelBar), t.program.camera.liveViewOutputOn),
                      std::tuple(333u, true, 0, true));
        }
    }
}

// The steps of the live view timer, on a body that answers as each row needs: which ticks download a
// frame, which close the window, and which leave the camera alone.
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
        unsigned timerPeriod;   // 0: no timer
        bool untouched = false; // not one call into the camera
    };
    const Row rows[] = {
        {"a frame", [](LiveView&) {}, 2, true, 2, 333},
        {"a frame the window has not taken", [](LiveView& v) { v.p.liveView.pending.held = true; }, 0, true,
         0, 333},
        {"not ready on every tick", [](LiveView& v) { v.body->evfError = EDS_ERR_OBJECT_NOTREADY; }, 2, true,
         0, 333},
        {"busy on every tick", [](LiveView& v) { v.body->evfError = EDS_ERR_DEVICE_BUSY; }, 2, true, 0, 333},
        // The error ends live view; the next tick closes the window.
        {"another error", [](LiveView& v) { v.body->evfError = EDS_ERR_INTERNAL_ERROR; }, 1, false, 0, 0},
        {"minimised", [](LiveView& v) { v.send(M::Minimised); }, 0, true, 0, 333},
        {"minimised during a Move wait",
         [](LiveView& v) { v.p.run.status = RunStatus::kMoveWait, v.send(M::Minimised); }, 2, true, 0, 333},
        {"restored", [](LiveView& v) { v.send(M::Minimised), v.send(M::Restored); }, 2, true, 2, 333},
        {"a shot in progress", [](LiveView& v) { v.p.run.running = true, v.p.run.cameraReady = false; }, 0,
         true, 0, 333},
        {"a run that ended during its shot", [](LiveView& v) { v.p.run.cameraReady = false; }, 2, true, 2,
         333},
        {"the live view command", [](LiveView& v) { v.w.click(kLiveViewButton); }, 0, false, 0, 0},
        // A new frame rate fetches at once, before the two ticks.
        {"a new frame rate",
         [](LiveView& v) {
             v.window().listSelectIndex(kFrameRateList, 4);
             v.send(M::Command, kFrameRateList);
             v.w.pump();
         },
         3, true, 3, 200},
        // Gone with the body: the window closes at once, and the camera is not asked for anything, not even
        // to take back the live view it was sending.
        {"a disconnection", [](LiveView& v) { v.p.camera.connected = false; }, 0, false, 0, 0, true},
        {"a disconnection while frames come",
         [](LiveView& v) { v.tick(), v.body->forget(), v.p.camera.connected = false; }, 1, false, 1, 0, true},
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
        EXPECT_EQ(v.p.liveView.window == nullptr, !r.windowOpen);
        if (r.untouched) {
            EXPECT_TRUE(v.body->reads.empty() && v.body->writes.empty() && v.body->commands.empty());
        }
        v.p.camera.connected = true; // for the fixture's own disconnection
    }
}

TEST(LiveViewButtons, EachPostsItsCameraCall) {
    constexpr EdsCameraCommand kDrive = kEdsCameraCommand_DriveLensEvf;
    const std::tuple<int, EdsCameraCommand, EdsInt32> rows[] = {
        {kFocusFar3, kDrive, kEdsEvfDriveLens_Far3},     {kFocusFar2, kDrive, kEdsEvfDriveLens_Far2},
        {kFocusFar1, kDrive, kEdsEvfDriveLens_Far1},     {kFocusNear1, kDrive, kEdsEvfDriveLens_Near1},
        {kFocusNear2, kDrive, kEdsEvfDriveLens_Near2},   {kFocusNear3, kDrive, kEdsEvfDriveLens_Near3},
        {kAutofocusButton, kEdsCameraCommand_DoEvfAf, 1}};
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
