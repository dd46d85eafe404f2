// The live view window on the virtual body: its size, its zoom arithmetic, which buttons it enables, and
// what its buttons and its close box do through the main window.
#include "liveview/live_view_window.h"
#include "liveview/zoom_area.h"
#include "resources/live_view_dialog.h"
#include "resources/main_dialog.h"
#include "tests/support/run_program.h"

#include <gtest/gtest.h>

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
// close it stays, alone. In simulation it opens and no frame comes.
TEST(LiveViewWindow, OpensInTheScreensSizeAndShowsTheBodysFrames) {
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
        EXPECT_EQ(lv->templateName(), c.name);
        EXPECT_EQ(lv->title(), "Orvex - Live view");
        EXPECT_EQ(t.window.timerPeriod(kTimerLiveView), 333u);
        EXPECT_EQ(lv->drawing(kPictureArea).count > 0, std::string_view(c.body) != kSimulation);
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
}

TEST(LiveViewWindow, CloseBoxAndCommandEndLiveViewExceptDuringAMoveWait) {
    RunProgram t("bulb motionAfter=600");
    t.start({line().when("Move")});
    t.runFor(100);
    HeadlessWindow* lv = liveViewWindow(t);
    ASSERT_NE(lv, nullptr) << "the Move line opened live view";
    lv->send({MessageKind::Close, 0, {}});
    t.window.click(kLiveViewButton);
    t.runFor(1000);
    EXPECT_EQ(liveViewWindow(t), lv) << "the wait keeps its window";
    t.answerYes();
    t.window.click(kStartButton); // the run stops; live view stays open
    t.runFor(400);
    ASSERT_EQ(liveViewWindow(t), lv);
    lv->send({MessageKind::Close, 0, {}});
    t.runFor(400);
    EXPECT_EQ(liveViewWindow(t), nullptr);
    EXPECT_FALSE(t.window.hasTimer(kTimerLiveView));
    EXPECT_FALSE(t.program.camera.liveViewOutputOn) << "the camera's live view is taken back";
}

TEST(LiveViewWindow, SpeaksTheUsersLanguageAndFollowsItsChange) {
    RunProgram t;
    t.open();
    t.program.language = kFrench;
    t.window.click(kLiveViewButton);
    HeadlessWindow& lv = *liveViewWindow(t);
    EXPECT_EQ(lv.itemText(kFocusGroup), "Mise au point");
    EXPECT_EQ(lv.itemText(kZoomFitButton), "Vue");
    EXPECT_EQ(lv.itemText(kZoomCenter), "Centrer");
    EXPECT_EQ(lv.itemText(kFocusNear3), "<<<");
    lv.listSelectIndex(kFrameRateList, 1);
    t.program.language = kEnglish;
    lv.send({MessageKind::User, kLiveViewLanguage, {}});
    EXPECT_EQ(lv.itemText(kFocusGroup), "Focus");
    EXPECT_EQ(lv.itemText(kZoomAreaGroup), "Zoom position");
    EXPECT_EQ(lv.listSelection(kFrameRateList), 1) << "the frame rate chosen stays";
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
