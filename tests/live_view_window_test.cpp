// The live view window on the virtual body: its size, its zoom arithmetic, which buttons it enables, and
// what its buttons and its close box do through the main window.
#include "liveview/live_view_requests.h"
#include "liveview/live_view_window.h"
#include "liveview/zoom_area.h"
#include "resources/live_view_dialog.h"
#include "resources/main_dialog.h"
#include "tests/support/run_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string_view>
#include <tuple>
#include <utility>

namespace orvex::test {
namespace {

TEST(ZoomArea, MovesStayInsideAndCenterCentres) {
    struct Row {
        EdsPoint from;
        int dx, dy;
        EdsPoint to;
    };
    const EdsSize c{5184, 3456};
    const Row rows[] = {
        {{100, 500}, -128, 0, {0, 500}},    // "Left" stops at the edge, not at -28
        {{4100, 500}, 128, 0, {4147, 500}}, // "Right" stops at 4 × width / 5
        {{300, 2700}, 0, 128, {300, 2764}}, // "Down" at 4 × height / 5
        {{300, 100}, 0, -128, {300, 0}},    // "Up"
        {{7, 9}, 0, 0, {2073, 1382}},       // "Center"
    };
    for (const Row& r : rows) {
        const EdsPoint to = movedZoomArea(c, r.from, r.dx, r.dy);
        EXPECT_EQ(to.x, r.to.x) << r.from.x << " by " << r.dx;
        EXPECT_EQ(to.y, r.to.y) << r.from.y << " by " << r.dy;
    }
}

TEST(ZoomArea, SourceBandAndOutline) {
    EXPECT_EQ(frameSource(1024, 680, 5), (PixelRect{0, -1, 1024, 682})) << "the 3:2 band of a zoomed frame";
    EXPECT_EQ(frameSource(1024, 680, 1), (PixelRect{0, 0, 1024, 680}));
    EXPECT_EQ(frameSource(640, 480, 5), (PixelRect{0, 45, 640, 426})) << "a 4:3 frame gives its 3:2 band";
    EXPECT_EQ(frameSource(640, 480, 10), (PixelRect{0, 45, 640, 426}));
    const PixelRect area{0, 0, 800, 600};
    EXPECT_EQ(zoomOutline(area, 1, {5184, 3456}, {2073, 1382}), (PixelRect{319, 239, 160, 120}));
    EXPECT_FALSE(zoomOutline(area, 5, {5184, 3456}, {2073, 1382})) << "no outline when zoomed";
    EXPECT_FALSE(zoomOutline(area, 1, {0, 0}, {0, 0})) << "nor before a frame told the coordinates";
}

HeadlessWindow* liveViewWindow(RunProgram& t) {
    for (const char* name : {BIG_LIVE_VIEW_DIALOG.name, SMALL_LIVE_VIEW_DIALOG.name}) {
        const auto made = t.window.modeless(name);
        if (!made.empty() && !made.back()->destroyed()) return made.back();
    }
    return nullptr;
}

// The screen's width chooses the template. A window closed and opened again before the tick that would
// close it stays, alone. In simulation it opens and no frame comes. Opened anew, it shows the frame rate in
// use.
TEST(LiveViewWindow, OpensInTheScreensSizeShowsTheBodysFramesAndKeepsItsRate) {
    const struct {
        int width;
        const char *body, *name;
        bool reopen;
    } cases[] = {{1024, "bulb", SMALL_LIVE_VIEW_DIALOG.name, false},
                 {1025, "bulb", BIG_LIVE_VIEW_DIALOG.name, true},
                 {1025, kSimulation, BIG_LIVE_VIEW_DIALOG.name, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " " << c.body << " reopen " << c.reopen);
        RunProgram t(c.body);
        t.open();
        t.window.screenWidthPixels = c.width;
        t.window.click(kLiveViewButton);
        HeadlessWindow* lv = liveViewWindow(t);
        ASSERT_NE(lv, nullptr);
        if (c.reopen) {
            lv->send({MessageKind::Close, 0, {}});
            t.window.click(kLiveViewButton);
        }
        t.runFor(2000);
        EXPECT_EQ(liveViewWindow(t), lv);
        EXPECT_EQ(t.window.modeless(c.name).size(), 1u) << "no second window";
        EXPECT_EQ(std::tuple(lv->templateName(), lv->title(), t.window.timerPeriod(kTimerLiveView)),
                  std::tuple(c.name, "Orvex - Live view", 333u));
        EXPECT_EQ(lv->drawing(kPictureArea).count > 0, std::string_view(c.body) != kSimulation);
        lv->listSelectIndex(kFrameRateList, 4);
        lv->click(kFrameRateList);
        t.window.click(kLiveViewButton);
        t.runFor(400);
        ASSERT_EQ(liveViewWindow(t), nullptr);
        t.window.click(kLiveViewButton);
        ASSERT_NE(lv = liveViewWindow(t), nullptr);
        EXPECT_EQ(lv->listText(kFrameRateList, lv->listSelection(kFrameRateList)), "5");
        EXPECT_EQ(t.window.timerPeriod(kTimerLiveView), 200u);
    }
}

// On its records alone: it speaks the user's language and follows its change, keeping the frame rate chosen;
// its buttons post their id to the main window, which calls the camera; in simulation they ask nothing.
TEST(LiveViewWindow, SpeaksTheUsersLanguageAndItsButtonsAskTheMainWindowExceptInSimulation) {
    for (const bool simulation : {false, true}) {
        SCOPED_TRACE(::testing::Message() << "simulation " << simulation);
        LiveViewState state;
        CameraSession camera;
        RunState run;
        Settings settings;
        RunObserver* observer = nullptr;
        StartupOptions options;
        options.simulation = simulation;
        int language = kFrench;
        const LiveViewRecords records{state, camera, run, settings, observer, options, language};
        std::vector<DialogMessage> posted;
        HeadlessWindow main{[&posted](Window&, const DialogMessage& m) { posted.push_back(m); }};
        HeadlessWindow lv{[&](Window& w, const DialogMessage& m) { liveViewProcedure(records, main, w, m); }};
        lv.create(BIG_LIVE_VIEW_DIALOG);
        const auto texts = [&lv](std::initializer_list<int> ids) {
            std::vector<std::string> result;
            for (const int id : ids) result.push_back(lv.itemText(id));
            return result;
        };
        EXPECT_EQ(texts({kFocusGroup, kZoomFitButton, kZoomCenter, kFocusNear3}),
                  (std::vector<std::string>{"Mise au point", "Vue", "Centrer", "<<<"}));
        lv.listSelectIndex(kFrameRateList, 1);
        language = kEnglish;
        lv.send({MessageKind::User, kLiveViewLanguage, {}});
        EXPECT_EQ(texts({kFocusGroup, kZoomAreaGroup}), (std::vector<std::string>{"Focus", "Zoom position"}));
        EXPECT_EQ(lv.listSelection(kFrameRateList), 1) << "the frame rate chosen stays";

        const int buttons[] = {kFocusFar3,  kFocusFar2,       kFocusFar1,    kFocusNear1,   kFocusNear2,
                               kFocusNear3, kZoomLeft,        kZoomUp,       kZoomRight,    kZoomDown,
                               kZoomCenter, kAutofocusButton, kZoomX5Button, kZoomFitButton};
        main.pump();
        posted.clear();
        for (const int button : buttons) lv.send({MessageKind::Command, button, {}});
        main.pump();
        ASSERT_EQ(posted.size(), simulation ? 0u : std::size(buttons));
        for (std::size_t i = 0; i < posted.size(); ++i)
            EXPECT_EQ(std::pair(posted[i].kind, posted[i].id), std::pair(MessageKind::User, buttons[i]));
    }
}

TEST(LiveViewWindow, ZoomButtonsFollowTheFramesAndFocusFollowsTheAfSwitch) {
    RunProgram t("bulb afMode=0");
    t.open();
    t.window.click(kLiveViewButton);
    HeadlessWindow& lv = *liveViewWindow(t);
    t.runFor(400);
    EXPECT_FALSE(lv.isItemEnabled(kZoomFitButton));
    EXPECT_TRUE(lv.isItemEnabled(kZoomX5Button));
    EXPECT_TRUE(lv.isItemEnabled(kFocusFar3));
    const auto fit = lv.drawing(kPictureArea);
    EXPECT_EQ(fit.source, (PixelRect{0, 0, fit.width, fit.height}));
    EXPECT_TRUE(fit.outline) << "the zoom area is outlined in fit view";

    lv.click(kZoomX5Button);
    t.runFor(700);
    EXPECT_EQ(t.window.listText(kZoomList, t.window.listSelection(kZoomList)), "x5");
    EXPECT_EQ(t.program.liveView.evfZoom, 5u) << "the body zoomed";
    EXPECT_TRUE(lv.isItemEnabled(kZoomFitButton));
    EXPECT_FALSE(lv.isItemEnabled(kZoomX5Button));
    EXPECT_FALSE(lv.drawing(kPictureArea).outline);

    lv.click(kZoomCenter);
    t.runFor(400); // a move starts from where the last frame saw the area
    lv.click(kZoomLeft);
    t.runFor(400);
    const EdsSize c = t.program.liveView.coordinateSystem;
    EXPECT_EQ(t.program.liveView.zoomPosition.x, 2 * c.width / 5 - 128);
    EXPECT_EQ(t.program.liveView.zoomPosition.y, 2 * c.height / 5);

    lv.click(kZoomFitButton);
    t.camera->setOnBody(kEdsPropID_AFMode, 0, 3); // the lens switched to manual focus
    t.runFor(700);
    EXPECT_EQ(t.program.liveView.evfZoom, 1u);
    EXPECT_FALSE(lv.isItemEnabled(kFocusFar3)) << "the AF mode event is read at the next tick";
    EXPECT_FALSE(lv.isItemEnabled(kFocusNear1));
    // The LV zoom list's texts give the body's zoom: "Fit" 1, "x5" 5, "x10" 10.
    for (const auto& [index, zoom] : {std::pair{2, 10u}, {1, 5u}, {0, 1u}}) {
        t.window.listSelectIndex(kZoomList, index);
        t.window.click(kZoomList);
        t.runFor(700);
        EXPECT_EQ(chosenLiveViewZoom(t.program.language, t.window), zoom) << index;
        EXPECT_EQ(t.program.liveView.evfZoom, zoom) << index;
    }
}

// The close box is the live view window's own: with a next script in the chain, it neither starts that
// script nor drops the Move line, during the wait or after the run. Escape is the main window's. During the
// wait neither the close box nor the main window's button closes the window; after the run, stopped with
// the window open, the close box ends live view on the body too.
TEST(LiveViewWindow, TheCloseBoxNeverActsOnTheMainWindow) {
    const struct {
        MessageKind kind;
        int id;
        bool running; // during the Move wait; otherwise the run was stopped first
        bool windowStays;
        const char* script; // loaded afterwards
    } cases[] = {{MessageKind::Close, 0, true, true, "night.txt"},
                 {MessageKind::Close, 0, false, false, "night.txt"},
                 {MessageKind::Command, kCancelCommand, true, true, "dawn.txt"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "close box " << (c.kind == MessageKind::Close) << " running " << c.running);
        RunProgram t("bulb motionAfter=600");
        t.dir.write("dawn.txt", "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n" +
                                    std::string(line().when("Move")) + "\n");
        t.dir.write("night.next", "dawn.txt");
        t.start({line().when("Move"), line().delay(10)});
        t.runFor(1000);
        HeadlessWindow* lv = liveViewWindow(t);
        ASSERT_NE(lv, nullptr);
        if (!c.running) {
            t.answerYes();
            t.window.click(kStartButton);
            t.runFor(400);
            ASSERT_EQ(liveViewWindow(t), lv) << "stopping the run leaves live view open";
        }
        lv->send({c.kind, c.id, {}});
        if (c.running) t.window.click(kLiveViewButton);
        t.window.pump();
        t.runFor(1000);
        EXPECT_EQ(liveViewWindow(t) == lv, c.windowStays);
        EXPECT_EQ(t.window.hasTimer(kTimerLiveView), c.windowStays);
        EXPECT_EQ(t.program.camera.liveViewOutputOn, c.windowStays) << "the camera's live view is taken back";
        EXPECT_EQ(std::filesystem::path(t.program.script.path).filename(), c.script);
        if (c.running) {
            EXPECT_EQ(t.program.run.status, RunStatus::kMoveWait);
        }
        EXPECT_TRUE(t.shots().empty());
    }
}

// Zooming to focus during a Move wait on a still scene: each new zoom or zoom area gives the next frame's
// reference, never a movement, whether asked from the window or from the main window's LV zoom list.
TEST(MoveWaitZoom, ZoomingOnAStillSceneTakesNoPicture) {
    using Step = std::function<void(RunProgram&, HeadlessWindow&)>;
    const auto press = [](int id) -> Step { return [id](RunProgram&, HeadlessWindow& lv) { lv.click(id); }; };
    const auto choose = [](int index) -> Step {
        return [index](RunProgram& t, HeadlessWindow&) {
            t.window.listSelectIndex(kZoomList, index);
            t.window.click(kZoomList);
        };
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {{"x5", {press(kZoomX5Button)}},
                 {"x5 then Fit", {press(kZoomX5Button), press(kZoomFitButton)}},
                 {"the zoomed area moves", {press(kZoomX5Button), press(kZoomRight), press(kZoomDown)}},
                 {"Center in x5", {press(kZoomX5Button), press(kZoomLeft), press(kZoomCenter)}},
                 {"LV zoom x10 then Fit", {choose(2), choose(0)}}};
    for (const auto& c : cases) {
        RunProgram t;
        t.start({line().when("Move")});
        t.runFor(1000);
        HeadlessWindow& lv = *liveViewWindow(t);
        for (const Step& step : c.steps) {
            step(t, lv);
            t.window.pump();
            t.runFor(1000);
        }
        EXPECT_NE(t.program.liveView.evfZoom, 0u) << c.name;
        EXPECT_TRUE(t.shots().empty()) << c.name;
        EXPECT_EQ(t.program.run.status, RunStatus::kMoveWait) << c.name;
        EXPECT_EQ(t.program.run.detection.level, 0) << c.name << ": every compared pair was still";
    }
}

// The zoom and the zoom area reach the camera only when it is free: not during a shot, nor without one.
// What reaches it also restarts the move comparison, even before a frame shows the change.
TEST(LiveViewRequests, ZoomMovesWaitForAFreeCameraAndRestartTheComparison) {
    const struct {
        int code;
        bool running, cameraReady;
        bool sent;
    } cases[] = {{kZoomRight, true, false, false},    {kZoomCenter, true, false, false},
                 {kZoomX5Button, true, false, false}, {kZoomRight, true, true, true},
                 {kZoomUp, false, true, true},        {kZoomX5Button, false, true, true},
                 {kZoomCenter, true, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.code << " running " << c.running << " ready " << c.cameraReady);
        RunProgram t;
        t.start({line().when("Move")});
        t.runFor(1000);
        ASSERT_TRUE(t.program.liveView.reference.held);
        const EdsPoint before = t.program.liveView.zoomPosition;
        t.program.run.running = c.running;
        t.program.run.cameraReady = c.cameraReady;
        liveViewRequest(t.program.liveViewRecords(), t.window, c.code);
        EdsPoint onBody{};
        EdsUInt32 zoom = 0;
        EdsGetPropertyData(t.program.camera.camera, kEdsPropID_Evf_ZoomPosition, 0, sizeof onBody, &onBody);
        EdsGetPropertyData(t.program.camera.camera, kEdsPropID_Evf_Zoom, 0, sizeof zoom, &zoom);
        EXPECT_EQ(onBody.x != before.x || onBody.y != before.y || zoom != 1, c.sent);
        EXPECT_EQ(t.program.liveView.reference.held, !c.sent);
    }
}

// After a shot the chosen zoom goes back to the body and a frame is fetched at once; a zoomed view first gets
// the 300 ms a body needs to restart it.
TEST(LiveViewAfterAShot, AZoomedViewWaitsBeforeTheFrame) {
    for (const bool zoomed : {false, true}) {
        RunProgram t;
        t.start({line(), line().delay(50)}, "", [&] {
            t.window.click(kLiveViewButton);
            t.window.listSelectIndex(kZoomList, zoomed ? 1 : 0);
            t.window.click(kZoomList);
        });
        t.runFor(1000);
        const Strings waits = t.timeline.only(statusEvent(RunStatus::kDelayWait));
        ASSERT_FALSE(waits.empty());
        const Strings saving = t.timeline.only(statusEvent(RunStatus::kSaving));
        const int pause = std::stoi(waits[0]) - std::stoi(saving[0]);
        EXPECT_EQ(pause, zoomed ? 350 : 50) << "zoomed: " << zoomed;
        EXPECT_EQ(t.program.liveView.evfZoom, zoomed ? 5u : 1u);
    }
}

} // namespace
} // namespace orvex::test
