#include "liveview/live_view_window.h"

#include "core/catalogue.h"
#include "liveview/live_view_requests.h"
#include "liveview/move_detection.h"
#include "liveview/zoom_area.h"
#include "resources/live_view_dialog.h"
#include "resources/main_dialog.h"

#include <string>

namespace orvex {
namespace {

constexpr int kTitle = 93;
constexpr int kFocusButtons[] = {kFocusNear3, kFocusNear2, kFocusNear1, kFocusFar1, kFocusFar2, kFocusFar3};
constexpr const char* kFocusTexts[] = {"<<<", "<<", "<", ">", ">>", ">>>"};

const char* text(const LiveViewRecords& p, int number) {
    return messageText(p.language, number);
}

unsigned frameInterval(const LiveViewState& lv) {
    return 1000 / static_cast<unsigned>(lv.framesPerSecond);
}

void enableFocus(const LiveViewRecords& p, Window& w) {
    for (int id : kFocusButtons) w.enableItem(id, p.state.afAvailable);
}

void applyTexts(const LiveViewRecords& p, Window& w) {
    w.setTitle(text(p, kTitle));
    // Both templates carry the same controls with the same texts.
    for (const ControlTemplate& c : BIG_LIVE_VIEW_DIALOG.controls)
        if (c.message >= 0) w.setItemText(c.id, text(p, c.message));
    for (std::size_t i = 0; i < std::size(kFocusButtons); ++i)
        w.setItemText(kFocusButtons[i], kFocusTexts[i]);
    w.setItemText(kAutofocusButton, "AF");
    const int remembered = w.listSelection(kFrameRateList);
    w.listClear(kFrameRateList);
    for (int rate = 1; rate <= 5; ++rate) w.listAdd(kFrameRateList, std::to_string(rate));
    w.listSelectIndex(kFrameRateList, p.state.framesPerSecond - 1);
    if (remembered >= 0) w.listSelectIndex(kFrameRateList, remembered);
    enableFocus(p, w);
}

void drawFrame(const LiveViewRecords& p, Window& w, const Frame& f) {
    const LiveViewState& lv = p.state;
    const PixelRect area = w.itemRect(kPictureArea);
    Picture picture{f.width,
                    f.height,
                    f.bitsPerPixel,
                    f.stride(),
                    f.pixels.data(),
                    f.colourTable.data(),
                    static_cast<int>(f.colourTable.size()),
                    frameSource(f.width, f.height, lv.evfZoom),
                    zoomOutline(area, lv.evfZoom, lv.coordinateSystem, lv.zoomPosition)};
    w.drawPicture(kPictureArea, picture);
}

void newFrame(const LiveViewRecords& p, Window& main, Window& w) {
    const LiveViewState& lv = p.state;
    w.enableItem(kZoomFitButton, lv.evfZoom != 1);
    w.enableItem(kZoomX5Button, lv.evfZoom == 1);
    enableFocus(p, w);
    if (!lv.pending.held) return;
    const Frame* shown = frameArrived(p.state, p.run, p.settings, p.observer, main);
    if (shown && lv.windowShown) drawFrame(p, w, *shown);
}

void frameRateChosen(const LiveViewRecords& p, Window& main, Window& w) {
    LiveViewState& lv = p.state;
    const int rate = std::stoi(w.listText(kFrameRateList, w.listSelection(kFrameRateList)));
    if (rate == lv.framesPerSecond) return;
    lv.framesPerSecond = rate;
    lv.rearmFrameTimer = true;
    main.post({MessageKind::User, kFrameRateList, {}});
}

// Escape: while live view is on it is the main window's cancel command.
void cancel(const LiveViewRecords& p, Window& main) {
    if (p.state.wanted) main.post({MessageKind::Command, kCancelCommand, {}});
}

void command(const LiveViewRecords& p, Window& main, Window& w, int id) {
    switch (id) {
    case kFrameRateList:
        frameRateChosen(p, main, w);
        break;
    case kCancelCommand:
        cancel(p, main);
        break;
    default:
        // In simulation there is no camera to ask.
        if (!p.options.simulation) main.post({MessageKind::User, id, {}});
        break;
    }
}

} // namespace

void openOrCloseLiveView(const LiveViewRecords& p, Window& main) {
    if (p.state.wanted) {
        if (p.run.status != RunStatus::kMoveWait) p.state.wanted = false;
        return;
    }
    // Closed, but the tick that takes the window away has not come yet: it stays, and a second one would be
    // left behind for ever.
    if (p.state.window) {
        p.state.wanted = true;
        return;
    }
    refreshAfAvailability(p.camera, p.state);
    // A wide screen may still be too low for the big window (1366 x 768 under a taskbar): its controls, at
    // the bottom, would be out of reach.
    const bool big = main.screenWidth() > kSmallScreenWidth && main.fitsOnScreen(BIG_LIVE_VIEW_DIALOG);
    const DialogTemplate& dialog = big ? BIG_LIVE_VIEW_DIALOG : SMALL_LIVE_VIEW_DIALOG;
    Window* w = main.openModeless(
        dialog, [p, &main](Window& self, const DialogMessage& m) { liveViewProcedure(p, main, self, m); });
    if (!w) return;
    LiveViewState& lv = p.state;
    lv.wanted = lv.windowShown = true;
    lv.rearmFrameTimer = false;
    main.setTimer(kTimerLiveView, frameInterval(lv));
}

void liveViewProcedure(const LiveViewRecords& p, Window& main, Window& w, const DialogMessage& m) {
    LiveViewState& lv = p.state;
    switch (m.kind) {
    case MessageKind::Init:
        lv.window = &w;
        applyTexts(p, w);
        w.showItem(kAutofocusButton, false);
        break;
    case MessageKind::User:
        if (m.id == kLiveViewFrame) newFrame(p, main, w);
        if (m.id == kLiveViewLanguage) applyTexts(p, w);
        if (m.id == kLiveViewOver) w.destroy();
        break;
    case MessageKind::Command:
        command(p, main, w, m.id);
        break;
    case MessageKind::Close:
        // A Move line waits on the frames: the window stays. The close box is this window's alone: it never
        // reaches the main window's controls.
        if (p.run.status != RunStatus::kMoveWait) p.state.wanted = false;
        break;
    case MessageKind::Minimised:
        // The timer keeps the chosen rate: a Move line compares each frame with the one before, and frames
        // closer together would differ by too little to show a movement that the window open shows.
        lv.windowShown = false;
        break;
    case MessageKind::Restored:
        lv.windowShown = true;
        break;
    default:
        break;
    }
}

} // namespace orvex
