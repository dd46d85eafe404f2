// Move detection counts changed bytes of consecutive frames; its bookkeeping keeps only the frame just
// before.
#include "liveview/move_detection.h"
#include "tests/support/test_program.h"

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

// A program whose main window only records what is posted to it.
struct Detector {
    VirtualClock clock;
    FakeSerialPorts ports;
    Program program{clock, ports};
    std::vector<DialogMessage> posted;
    HeadlessWindow window{[this](Window&, const DialogMessage& m) { posted.push_back(m); }};

    std::vector<DialogMessage> deliver() {
        posted.clear();
        window.pump();
        return posted;
    }
};

struct DetectCase {
    const char* name;
    Frame newFrame, reference;
    int moveLevel, movePixels;
    bool moved;
    int level; // -1: not shown, the level stays as it was
};

TEST(DetectMove, CountsBytesThatChangedByTheLevel) {
    const Frame grey = frame(4, 2, 100);
    const Frame black = frame(4, 2, 0);
    const DetectCase cases[] = {
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
    };
    for (const DetectCase& c : cases) {
        Detector d;
        d.program.settings.moveLevel = c.moveLevel;
        d.program.settings.movePixels = c.movePixels;
        d.program.run.detection.level = 42;
        EXPECT_EQ(detectMove(d.program, d.window, c.newFrame, c.reference), c.moved) << c.name;
        EXPECT_EQ(d.program.run.detection.level, c.level < 0 ? 42 : c.level) << c.name;
        EXPECT_EQ(d.deliver().size(), c.level < 0 ? 0u : 1u) << c.name << ": the level bar is told";
    }
}

// Frames arriving one after the other, each with the run's state as it is then.
struct Arrival {
    RunStatus status;
    std::uint8_t fill;
    bool fires;
    bool referenceKept;
};

TEST(FrameBookkeeping, ComparesEachFrameWithTheOneJustBeforeDuringAMoveWait) {
    constexpr auto kMove = RunStatus::kMoveWait;
    const Arrival arrivals[] = {
        {RunStatus::kDelayWait, 0, false, false}, // outside a wait no frame is kept
        {kMove, 255, false, true},                // the first frame of a wait never fires
        {kMove, 255, false, true},
        {kMove, 0, true, false}, // after a trigger no reference is kept
        {kMove, 255, false, false},
    };
    Detector d;
    d.program.settings.movePixels = 1;
    int step = 0;
    for (const Arrival& a : arrivals) {
        d.program.run.status = a.status;
        d.program.liveView.pending = {frame(4, 2, a.fill), true};
        const bool wasTriggered = d.program.run.detection.triggered;
        frameArrived(d.program, d.window);
        bool timerPosted = false;
        for (const DialogMessage& m : d.deliver())
            timerPosted |= m.kind == MessageKind::Timer && m.id == kTimerRun;
        EXPECT_EQ(d.program.run.detection.triggered && !wasTriggered, a.fires) << "frame " << step;
        EXPECT_EQ(timerPosted, a.fires) << "frame " << step << ": the run ticks at once";
        EXPECT_EQ(d.program.liveView.reference.held, a.referenceKept) << "frame " << step;
        EXPECT_FALSE(d.program.liveView.pending.held) << "frame " << step;
        ++step;
    }
    // The next wait starts afresh.
    d.program.run.detection.triggered = false;
    d.program.liveView.pending = {frame(4, 2, 0), true};
    frameArrived(d.program, d.window);
    EXPECT_FALSE(d.program.run.detection.triggered);
    EXPECT_TRUE(d.program.liveView.reference.held);
}

} // namespace
} // namespace orvex::test
