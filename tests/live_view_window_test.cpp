// The live view window on the virtual body: its size, its zoom arithmetic, which buttons it enables, and
// what its buttons and its close box do through the main window.
#include "liveview/live_view_requests.h"
#include "liveview/live_view_window.h"
#include "liveview/zoom_area.h"
#include "resources/live_view_dialog.h"
#include "resources/main_dialog.h"
#include "tests/support/run_program.h"
#include "tests/support/window_items.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string_view>
#include <tuple>
#include <utility>

namespace orvex::test {
namespace {

TEST(ZoomArea, MovesStayInsideCenterCentresAndTheFrameGivesItsBandAndOutline) {
    const std::tuple<EdsPoint, int, int, EdsPoint> moves[] = {
        {{100, 500}, -128, 0, {0, 500}},    // "Left" stops at the edge, not at -28
        {{4100, 500}, 128, 0, {4147, 500}}, // "Right" stops at 4 × width / 5
        {{300, 2700}, 0, 128, {300, 2764}}, // "Down" at 4 × height / 5
        {{300, 100}, 0, -128, {300, 0}},    // "Up"
        {{7, 9}, 0, 0, {2073, 1382}},       // "Center"
    };
    for (const auto& [from, dx, dy, to] : moves) {
        const EdsPoint moved = movedZoomArea({5184, 3456}, from, dx, dy);
        EXPECT_EQ(std::pair(moved.x, moved.y), std::pair(to.x, to.y))
            << from.x << "," << from.y << " by " << dx << "," << dy;
    }
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

// The main window's LV zoom list set to that entry, as the user chooses it.
void chooseZoom(RunProgram& t, int index) {
    t.window.listSelectIndex(kZoomList, index);
    t.window.click(kZoomList);
}

// The screen's width chooses the template, unless the big one would not fit in its height. A window closed
// and opened again before the tick that would close it stays, alone. In simulation it opens and no frame
// comes. Opened anew, it shows the frame rate in use.
TEST(LiveViewWindow, OpensInTheScreensSizeShowsTheBodysFramesAndKeepsItsRate) {
    const int bigHeight = BIG_LIVE_VIEW_DIALOG.height;
    const struct {
        int width, height;
        const char *body, *name;
        bool reopen;
    } cases[] = {{1024, bigHeight, "bulb", SMALL_LIVE_VIEW_DIALOG.name, false},
                 {1025, bigHeight, "bulb", BIG_LIVE_VIEW_DIALOG.name, true},
                 {1366, bigHeight - 1, "bulb", SMALL_LIVE_VIEW_DIALOG.name, false},
                 {1025, bigHeight, kSimulation, BIG_LIVE_VIEW_DIALOG.name, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.width << "x" << c.height << " " << c.body << " reopen " << c.reopen);
        RunProgram t(c.body);
        t.open();
        t.window.screenWidthPixels = c.width, t.window.screenHeightPixels = c.height;
        t.window.click(kLiveViewButton);
        HeadlessWindow* lv = liveViewWindow(t);
        ASSERT_NE(lv, nullptr);
        if (c.reopen) {
            lv->send({MessageKind::Close, 0, {}});
            t.window.click(kLiveViewButton);
        }
        t.runFor(2000);
        // One window, no second, showing frames unless in simulation.
        EXPECT_EQ(
            std::tuple(liveViewWindow(t), t.window.modeless(c.name).size(), lv->templateName(), lv->title(),
                       t.window.timerPeriod(kTimerLiveView), lv->drawing(kPictureArea).count > 0),
            std::tuple(lv, 1u, c.name, "Orvex - Live view", 333u, std::string_view(c.body) != kSimulation));
        lv->listSelectIndex(kFrameRateList, 4);
        lv->click(kFrameRateList);
        t.window.click(kLiveViewButton);
        t.runFor(400);
        ASSERT_EQ(liveViewWindow(t), nullptr);
        t.window.click(kLiveViewButton);
        ASSERT_NE(lv = liveViewWindow(t), nullptr);
        EXPECT_EQ(std::pair(chosenText(*lv, kFrameRateList), t.window.timerPeriod(kTimerLiveView)),
                  std::pair(std::string("5"), 200u));
    }
}

// On its records alone: it speaks the user's language and follows its change, keeping the frame rate chosen.
// In simulation its buttons ask nothing of the main window, which would call the camera (each button's call
// is LiveViewButtons' and the zoom tests').
TEST(LiveViewWindow, SpeaksTheUsersLanguageAndItsButtonsAskNothingInSimulation) {
    RunProgram t(kSimulation);
    t.program.options.simulation = true, t.program.language = kFrench;
    std::vector<DialogMessage> posted;
    HeadlessWindow main{[&posted](Window&, const DialogMessage& m) { posted.push_back(m); }};
    HeadlessWindow lv{[&](Window& w, const DialogMessage& m) {
        liveViewProcedure(t.program.liveViewRecords(), main, w, m);
    }};
    lv.create(BIG_LIVE_VIEW_DIALOG);
    EXPECT_EQ(itemTexts(lv, {kFocusGroup, kZoomFitButton, kZoomCenter, kFocusNear3}),
              (std::vector<std::string>{"Mise au point", "Vue", "Centrer", "<<<"}));
    lv.listSelectIndex(kFrameRateList, 1);
    t.program.language = kEnglish;
    lv.send({MessageKind::User, kLiveViewLanguage, {}});
    EXPECT_EQ(itemTexts(lv, {kFocusGroup, kZoomAreaGroup}),
              (std::vector<std::string>{"Focus", "Zoom position"}));
    EXPECT_EQ(lv.listSelection(kFrameRateList), 1) << "the frame rate chosen stays";
    main.pump();
    posted.clear();
    for (const int button : {kFocusFar3, kZoomLeft, kAutofocusButton, kZoomX5Button})
        lv.send({MessageKind::Command, button, {}});
    main.pump();
    EXPECT_TRUE(posted.empty());
}

// The window's buttons and the main window's LV zoom list move the body's zoom and the zoom area, and the
// focus buttons follow the lens's AF switch. Which of Fit and x5 a zoom enables is seen on the real window
// (tests/qt/main_window_offscreen_test.cpp).
TEST(LiveViewWindow, ZoomButtonsFollowTheFramesAndFocusFollowsTheAfSwitch) {
    RunProgram t("bulb afMode=0");
    t.open();
    t.window.click(kLiveViewButton);
    HeadlessWindow& lv = *liveViewWindow(t);
    t.runFor(400);
    const auto fit = lv.drawing(kPictureArea);
    // The zoom area is outlined in fit view.
    EXPECT_EQ(std::tuple(lv.isItemEnabled(kFocusFar3), fit.source, fit.outline.has_value()),
              std::tuple(true, PixelRect{0, 0, fit.width, fit.height}, true));

    lv.click(kZoomX5Button);
    t.runFor(700);
    EXPECT_EQ(std::tuple(chosenText(t.window, kZoomList), t.program.liveView.evfZoom,
                         lv.drawing(kPictureArea).outline.has_value()),
              std::tuple("x5", 5u, false));

    // A move starts from where the last frame saw the area, or from where the press before sent it when no
    // frame has come since: two quick presses are two steps.
    lv.click(kZoomCenter);
    t.runFor(400);
    lv.click(kZoomLeft);
    lv.click(kZoomLeft);
    t.runFor(400);
    const EdsSize c = t.program.liveView.coordinateSystem;
    const EdsPoint at = t.program.liveView.zoomPosition;
    EXPECT_EQ(std::pair(at.x, at.y), std::pair(2 * c.width / 5 - 256, 2 * c.height / 5));

    lv.click(kZoomFitButton);
    t.camera->setOnBody(kEdsPropID_AFMode, 0, 3); // the lens switched to manual focus
    t.runFor(700);
    EXPECT_EQ(t.program.liveView.evfZoom, 1u);
    EXPECT_EQ(enabledItems(lv, {kFocusFar3, kFocusNear1}), (std::vector{false, false}))
        << "the AF mode event is read at the next tick";
    // The LV zoom list's texts give the body's zoom: "Fit" 1, "x5" 5, "x10" 10.
    for (const auto& [index, zoom] : {std::pair{2, 10u}, {1, 5u}, {0, 1u}}) {
        chooseZoom(t, index);
        t.runFor(700);
        EXPECT_EQ(std::pair(chosenLiveViewZoom(t.program.language, t.window), t.program.liveView.evfZoom),
                  std::pair(zoom, zoom))
            << index;
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
        bool running;       // during the Move wait, the window staying; otherwise the run was stopped first
        const char* script; // loaded afterwards
    } cases[] = {{MessageKind::Close, 0, true, "night.txt"},
                 {MessageKind::Close, 0, false, "night.txt"},
                 {MessageKind::Command, kCancelCommand, true, "dawn.txt"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "close box " << (c.kind == MessageKind::Close) << " running " << c.running);
        RunProgram t("bulb motionAfter=600");
        t.dir.write("dawn.txt", scriptText({line().when("Move")}));
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
        // The camera's live view is taken back with the window.
        EXPECT_EQ(std::tuple(liveViewWindow(t) == lv, t.window.hasTimer(kTimerLiveView),
                             t.program.camera.liveViewOutputOn),
                  std::tuple(c.running, c.running, c.running));
        EXPECT_EQ(std::filesystem::path(t.program.script.path).filename(), c.script);
        EXPECT_TRUE(!c.running || t.program.run.status == RunStatus::kMoveWait);
        EXPECT_TRUE(t.shots().empty());
    }
}

// Live view holds the mirror up for a lock-up, on this body set to lock its mirror, which refuses a release
// outside live view. Opened as the shot starts, before any frame, the window has not yet brought live view
// up: the lock-up does. Closed during the countdown, the window goes at once, but the body keeps its live
// view until the shot is in.
TEST(LiveViewWindow, AMirrorLockupHasLiveViewUpUntilTheShotIsIn) {
    for (const bool closed : {false, true}) {
        SCOPED_TRACE(closed ? "closed" : "opened");
        RunProgram t("bulb lockupFunction=7 customFunctions=7=1");
        t.start({line().delay(closed ? 10 : 0)}, " -lockuptime=\"3\"",
                [&] { t.window.click(kLiveViewButton); });
        t.runFor(2000);
        ASSERT_EQ(t.program.run.status, RunStatus::kLockup);
        if (closed) liveViewWindow(t)->send({MessageKind::Close, 0, {}});
        t.runFor(1000);
        EXPECT_EQ(liveViewWindow(t) == nullptr, closed);
        t.runFor(5000);
        EXPECT_EQ(std::tuple(t.program.run.status, t.pictures().size(), t.program.camera.liveViewOutputOn),
                  std::tuple(RunStatus::kCompleted, 1ul, !closed));
    }
}

// The zoom and the zoom area reach the camera only when it is free: not during a shot, nor without one.
// The area moves only once a frame has told the body's coordinates. What reaches the camera also restarts
// the move comparison, even before a frame shows the change.
TEST(LiveViewRequests, ZoomMovesWaitForAFreeCameraAndRestartTheComparison) {
    const struct {
        int code;
        bool running, cameraReady, framed = true;
    } cases[] = {{kZoomRight, true, false}, {kZoomCenter, true, false},      {kZoomX5Button, true, false},
                 {kZoomRight, true, true},  {kZoomUp, false, true},          {kZoomX5Button, false, true},
                 {kZoomCenter, true, true}, {kZoomCenter, true, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.code << " running " << c.running << " ready " << c.cameraReady);
        RunProgram t;
        t.start({line().when("Move")});
        t.runFor(1000);
        ASSERT_TRUE(t.program.liveView.reference.held);
        const EdsPoint before = t.program.liveView.zoomPosition;
        t.program.run.running = c.running, t.program.run.cameraReady = c.cameraReady;
        if (!c.framed) t.program.liveView.coordinateSystem = {};
        liveViewRequest(t.program.liveViewRecords(), t.window, c.code);
        EdsPoint onBody{};
        EdsUInt32 zoom = 0;
        EdsGetPropertyData(t.program.camera.camera, kEdsPropID_Evf_ZoomPosition, 0, sizeof onBody, &onBody);
        EdsGetPropertyData(t.program.camera.camera, kEdsPropID_Evf_Zoom, 0, sizeof zoom, &zoom);
        // Sent exactly when the camera is ready.
        EXPECT_EQ(std::pair(onBody.x != before.x || onBody.y != before.y || zoom != 1,
                            t.program.liveView.reference.held),
                  std::pair(c.cameraReady && c.framed, !c.cameraReady || !c.framed));
    }
}

// After a shot the chosen zoom goes back to the body and a frame is fetched at once; a zoomed view first gets
// the 300 ms a body needs to restart it.
TEST(LiveViewAfterAShot, AZoomedViewWaitsBeforeTheFrame) {
    for (const bool zoomed : {false, true}) {
        RunProgram t;
        t.start({line(), line().delay(50)}, "", [&] {
            t.window.click(kLiveViewButton);
            chooseZoom(t, zoomed ? 1 : 0);
        });
        t.runFor(1000);
        const Strings waits = t.timeline.only(statusEvent(RunStatus::kDelayWait));
        ASSERT_FALSE(waits.empty());
        const int pause =
            std::stoi(waits[0]) - std::stoi(t.timeline.only(statusEvent(RunStatus::kSaving))[0]);
        EXPECT_EQ(std::pair(pause, t.program.liveView.evfZoom),
                  std::pair(zoomed ? 350 : 50, zoomed ? 5u : 1u))
            << "zoomed: " << zoomed;
    }
}

} // namespace
} // namespace orvex::test
