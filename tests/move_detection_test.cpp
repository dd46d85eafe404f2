// Move detection counts changed bytes of consecutive frames; its bookkeeping keeps only the frame just
// before.
#include "liveview/move_detection.h"
#include "platform/headless/headless_window.h"
#include "resources/main_dialog.h"

#include <gtest/gtest.h>

namespace orvex::test {
namespace {

Frame frame(int width, int height, std::uint8_t fill, int bitsPerPixel = 24) {
    Frame f;
    f.width = width;
    f.height = height;
    f.bitsPerPixel = bitsPerPixel;
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
        {"ThresholdIs51At20Percent", with(grey, 5, {151}), grey, 20, 1, true, 100},
        {"OneShortOfTheThreshold", with(grey, 5, {150}), grey, 20, 1, false, 0},
        {"BlackToWhitePixelCountsThree", with(black, 3, {255, 255, 255}), black, 20, 3, true, 100},
        {"ThreeOfFourIsSeventyFivePercent", with(black, 3, {255, 255, 255}), black, 20, 4, false, 75},
        {"DownwardChangesCountToo", grey, with(grey, 0, {200, 200}), 20, 2, true, 100},
        {"EveryLevelCountsAtOnePercent", with(grey, 0, {102}), grey, 1, 1, true, 100},
        {"OtherSize", frame(2, 4, 0), frame(4, 2, 255), 20, 1, false, -1},
        {"OtherDepth", frame(4, 2, 0, 8), frame(4, 2, 255), 20, 1, false, -1},
        {"NoPixelsWantedIsAlwaysMovement", grey, grey, 20, 0, true, 100},
        {"NothingChangesByMoreThanAll", frame(4, 2, 255), black, 101, 1, false, 0},
        {"LevelHundredSeesBlackToWhite", with(black, 2, {255}), black, 100, 1, true, 100},
        {"LevelHundredSeesNothingLess", with(black, 2, {254}), black, 100, 1, false, 0},
        {"ANegativeLevelIsOverAll", frame(4, 2, 255), black, -16843009, 1, false, 0},
    };
    for (const auto& c : cases) {
        Detector d;
        d.settings.moveLevel = c.moveLevel, d.settings.movePixels = c.movePixels, d.run.detection.level = 42;
        EXPECT_EQ(detectMove(d.settings, d.run.detection, d.window, c.newFrame, c.reference), c.moved)
            << c.name;
        EXPECT_EQ(d.run.detection.level, c.level < 0 ? 42 : c.level) << c.name;
        EXPECT_EQ(d.deliver().size(), c.level < 0 ? 0u : 1u) << c.name << ": the level bar is told";
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
            ASSERT_EQ(changedBytes(exact, still, level), std::size(at)) << width << " at " << level << "%";
            ASSERT_EQ(changedBytes(still, exact, level), std::size(at)) << width << " at " << level << "%";
            ASSERT_EQ(changedBytes(short_, still, level), 0u) << width << " at " << level << "%";
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
        EXPECT_EQ(d.run.detection.triggered && !wasTriggered, a.fires) << a.name;
        EXPECT_EQ(timerPosted, a.fires) << a.name << ": the run ticks at once";
        EXPECT_EQ(d.liveView.reference.held, a.referenceKept) << a.name;
        EXPECT_FALSE(d.liveView.pending.held) << a.name;
        ASSERT_EQ(shown != nullptr, a.shown) << a.name;
        if (shown) {
            EXPECT_EQ(shown->pixels, a.frame.pixels) << a.name << ": the frame drawn is the one that came";
        }
    }
}

} // namespace
} // namespace orvex::test
