// The live view window on the desktop, in both sizes, showing a virtual body's viewfinder in fit view and
// zoomed; the screenshots go to the build folder for the manual.
#include "liveview/live_view_window.h"
#include "resources/live_view_dialog.h"
#include "tests/qt/program_window.h"

#include <QImage>

#include <gtest/gtest.h>

namespace orvex {
namespace {

QImage picture(QtDialogWindow& lv) {
    return lv.control(kPictureArea)->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The area is black until a frame is drawn; the night scene has stars.
bool pictureDrawn(QtDialogWindow& lv) {
    const QImage shot = picture(lv);
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) != qRgb(0, 0, 0)) return true;
    return false;
}

TEST(LiveViewWindowOnScreen, BothSizesShowTheBodyInFitAndX5) {
    const test::PluggedBody body("bulb");
    test::ProgramWindow t(kEnglish);
    QtDialogWindow& main = t.start("-connect=\"\"");
    ASSERT_TRUE(t.program.camera.connected);
    t.click(kLiveViewButton);
    auto* lv = dynamic_cast<QtDialogWindow*>(t.program.liveView.window);
    ASSERT_NE(lv, nullptr);
    const bool big = main.screenWidth() > kSmallScreenWidth;
    EXPECT_EQ(lv->objectName(), big ? "BIG_LIVE_VIEW_DIALOG" : "SMALL_LIVE_VIEW_DIALOG");
    EXPECT_EQ(lv->windowTitle(), "Orvex - Live view");

    for (const DialogTemplate* size : {&SMALL_LIVE_VIEW_DIALOG, &BIG_LIVE_VIEW_DIALOG}) {
        if (std::string(size->name) != lv->objectName().toStdString()) {
            // The other size, as a screen of the other width would have it.
            t.click(kLiveViewButton);
            ASSERT_TRUE(test::runEventsUntil([&] { return !t.program.liveView.window; }, 5000));
            Window* other = main.openModeless(*size, [&](Window& self, const DialogMessage& m) {
                liveViewProcedure(t.program.liveViewRecords(), main, self, m);
            });
            t.program.liveView.wanted = t.program.liveView.windowShown = true;
            main.setTimer(kTimerLiveView, 333);
            lv = dynamic_cast<QtDialogWindow*>(other);
        }
        const std::string name = size == &BIG_LIVE_VIEW_DIALOG ? "big" : "small";
        ASSERT_TRUE(
            test::runEventsUntil([&] { return t.program.liveView.evfZoom == 1 && pictureDrawn(*lv); }, 5000));
        EXPECT_FALSE(lv->isItemEnabled(kZoomFitButton));
        lv->saveScreenshot(QString::fromStdString(test::screenshotPath("live_view_" + name + "_fit.png")));
        const QImage fit = picture(*lv);
        static_cast<QAbstractButton*>(lv->control(kZoomX5Button))->click();
        ASSERT_TRUE(test::runEventsUntil([&] { return t.program.liveView.evfZoom == 5; }, 5000));
        ASSERT_TRUE(test::runEventsUntil([&] { return lv->isItemEnabled(kZoomFitButton); }, 5000));
        EXPECT_FALSE(lv->isItemEnabled(kZoomX5Button));
        ASSERT_TRUE(test::runEventsUntil([&] { return picture(*lv) != fit; }, 5000))
            << "a zoomed frame drawn";
        lv->saveScreenshot(QString::fromStdString(test::screenshotPath("live_view_" + name + "_x5.png")));
        static_cast<QAbstractButton*>(lv->control(kZoomFitButton))->click();
        ASSERT_TRUE(test::runEventsUntil([&] { return t.program.liveView.evfZoom == 1; }, 5000));
    }
    // Minimised, the window wants no frames; restored, it does again.
    lv->showMinimized();
    EXPECT_FALSE(t.program.liveView.windowShown);
    lv->showNormal();
    EXPECT_TRUE(t.program.liveView.windowShown);
    t.click(kLiveViewButton);
    EXPECT_TRUE(test::runEventsUntil([&] { return !t.program.liveView.window; }, 5000));
}

} // namespace
} // namespace orvex
