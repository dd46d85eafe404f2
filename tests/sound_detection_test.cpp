// The Sound trigger: what a buffer of sound shows and fires, and the input's life through a run on the
// virtual clock, with a recording played into it as the computer would hand it over.
#include "platform/headless/recorded_sound.h"
#include "resources/main_dialog.h"
#include "run/run_controller.h"
#include "run/run_end.h"
#include "run/sound_detection.h"
#include "tests/support/run_program.h"

#include <functional>
#include <gtest/gtest.h>

namespace orvex::test {
namespace {

using Samples = std::vector<std::int16_t>;

TEST(SoundDetection, LevelAndTriggerOfOneBuffer) {
    struct Case {
        const char* what;
        int threshold;
        Samples samples;
        SoundLevel expected;
    };
    const Case cases[] = {
        {"a sample at the threshold fires", 50, {0, 100, 16383, 0}, {true, 100}},
        {"the level is the largest sample against the threshold", 50, {8191, -200}, {false, 49}},
        {"one below the threshold", 50, {16382}, {false, 99}},
        {"silence", 50, {0, 0, 0}, {false, 0}},
        {"only negative samples", 50, {-1, -12000}, {false, 0}},
        {"a strong negative peak never fires", 50, {-32768, 300}, {false, 1}},
        {"the lowest threshold", 1, {327}, {true, 100}},
        {"the highest threshold", 100, {32766}, {false, 99}},
        {"full scale at the highest threshold", 100, {32767}, {true, 100}},
    };
    for (const Case& c : cases) {
        const SoundLevel heard = measureSound(c.samples.data(), c.samples.size(), c.threshold);
        EXPECT_EQ(heard.loud, c.expected.loud) << c.what;
        EXPECT_EQ(heard.level, c.expected.level) << c.what;
    }
}

// A sound input whose answers the test chooses, and whose buffers the test hands over.
class ChosenSound : public SoundInput {
  public:
    int openAnswer = 0, startAnswer = 0;
    SoundBuffer buffer;
    Samples atStart; // handed over from within start(), as a fast input may
    int opens = 0, closes = 0;
    int open(unsigned, SoundBuffer b) override {
        buffer = std::move(b);
        return ++opens, openAnswer;
    }
    int start() override {
        if (!atStart.empty()) hand(atStart);
        return startAnswer;
    }
    int close() override { return ++closes, 0; }
    void hand(Samples samples) const { buffer(samples.data(), samples.size()); }
};

TEST(SoundDetection, InputStatesAnswerMinusOneOutOfTurn) {
    ChosenSound input; // outlives the program, which closes it as it ends
    RunProgram t;
    t.open();
    EXPECT_EQ(openSound(t.program, t.window, 500), -1) << "no input";
    t.program.soundInput = &input;
    EXPECT_EQ(startSound(t.program), -1) << "not open";
    EXPECT_EQ(closeSound(t.program), -1) << "not open";
    EXPECT_EQ(openSound(t.program, t.window, 500), 0);
    EXPECT_EQ(t.program.soundState, kSoundOpen);
    EXPECT_EQ(openSound(t.program, t.window, 500), -1) << "already open";
    EXPECT_EQ(startSound(t.program), 0);
    EXPECT_EQ(t.program.soundState, kSoundRecording);
    EXPECT_EQ(startSound(t.program), -1) << "already recording";
    EXPECT_EQ(closeSound(t.program), 0);
    EXPECT_EQ(t.program.soundState, kSoundClosed);
    EXPECT_EQ(closeSound(t.program), -1) << "already closed";
    EXPECT_EQ(input.closes, 1);
}

TEST(SoundDetection, AnInputThatCannotOpenOrStartStopsTheRun) {
    for (const bool opens : {false, true}) {
        ChosenSound input; // outlives the program, which closes it as it ends
        RunProgram t;
        (opens ? input.startAnswer : input.openAnswer) = -9996;
        t.program.soundInput = &input;
        t.start({line().when("Sound")});
        EXPECT_EQ(t.program.run.status, RunStatus::kError) << opens;
        ASSERT_NE(t.lastBox(), nullptr);
        EXPECT_EQ(t.lastBox()->caption, "Error (L6087)");
        EXPECT_EQ(t.lastBox()->text, "Error fffffff5");
        EXPECT_EQ(t.program.soundState, kSoundClosed);
        EXPECT_EQ(input.closes, opens ? 1 : 0);
    }
}

TEST(SoundDetection, StopDuringTheWaitClosesTheInputAndLateBuffersChangeNothing) {
    ChosenSound input; // outlives the program, which closes it as it ends
    RunProgram t;
    t.program.soundInput = &input;
    t.start({line().when("Sound")});
    ASSERT_EQ(t.program.run.status, RunStatus::kSoundWait);
    input.hand({1000, 2000});
    t.runFor(50);
    EXPECT_EQ(t.window.progress(kLevelBar), 12);
    EXPECT_TRUE(t.window.isItemShown(kLevelBar));
    stopRun(t.program, t.window);
    EXPECT_EQ(input.closes, 1);
    input.hand({32767});
    t.runFor(1000);
    EXPECT_FALSE(t.program.run.detection.triggered);
    EXPECT_TRUE(t.shots().empty());
    EXPECT_TRUE(t.timeline.only("sound").empty());
}

// However the wait ends, the input goes with it: a loud buffer still handed over by the input of that wait
// changes nothing, and a script started again or taken from the chain that waits for a sound opens it
// afresh.
TEST(SoundDetection, TheInputLivesOnlyAsLongAsTheWait) {
    const struct {
        const char* what;
        const char* dawn; // the first line of dawn.txt, night's next and previous script
        std::function<void(RunProgram&)> end;
        RunStatus status;
        int opens;
        Strings shots;
    } cases[] = {
        {"Stop", "20", [](RunProgram& t) { t.window.click(kStartButton); }, RunStatus::kAborted, 1, {}},
        {"camera switched off",
         "20",
         [](RunProgram& t) { t.camera->switchOff(); },
         RunStatus::kCameraGone,
         1,
         {}},
        {"Reload",
         "20",
         [](RunProgram& t) { t.window.click(kReloadScriptButton); },
         RunStatus::kSoundWait,
         2,
         {}},
        {"Next, to a Sound line",
         "Sound",
         [](RunProgram& t) { t.window.click(kNextScriptButton); },
         RunStatus::kSoundWait,
         2,
         {}},
        {"Prev., to a delay line",
         "20",
         [](RunProgram& t) { t.window.click(kPrevScriptButton); },
         RunStatus::kCompleted,
         1,
         {"2050 shot 1 line 2 pass 0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ChosenSound input; // outlives the program, which closes it as it ends
        RunProgram t;
        t.answerYes();
        t.program.soundInput = &input;
        t.dir.write("dawn.txt", scriptText({line().when(c.dawn)}));
        t.dir.write("night.next", "dawn.txt");
        t.dir.write("night.prev", "dawn.txt");
        t.start({line().when("Sound")});
        ASSERT_EQ(t.program.run.status, RunStatus::kSoundWait);
        const SoundBuffer first = input.buffer;
        c.end(t);
        t.runFor(50);
        EXPECT_EQ(input.closes, 1);
        // An input that was closed delivers nothing more once it opens again: only a wait that did not
        // begin again can be handed a buffer of the old one.
        const Samples loud = {32767};
        if (c.opens == 1) first(loud.data(), loud.size());
        t.runFor(3000);
        EXPECT_FALSE(t.program.run.detection.triggered);
        EXPECT_EQ(t.program.run.status, c.status);
        EXPECT_EQ(input.opens, c.opens);
        EXPECT_EQ(t.program.soundState, c.opens == 2 ? kSoundRecording : kSoundClosed);
        EXPECT_EQ(t.shots(), c.shots);
        EXPECT_TRUE(t.timeline.only("sound").empty());
        for (const MessageBoxRecord& box : t.window.messageBoxes())
            EXPECT_EQ(box.caption.find("L6087"), std::string::npos) << box.text;
    }
}

// What the buffers of one wait do: the first loud one fires, whenever it comes, under the threshold of
// that moment; nothing after it counts.
TEST(SoundDetection, TheFirstLoudBufferOfTheWaitFires) {
    const struct {
        const char* what;
        Samples atStart;
        std::function<void(RunProgram&)> meanwhile;
        std::vector<Samples> buffers;
        int level;
        Strings shots;
    } cases[] = {
        {"a buffer that comes as the input starts", {20000}, {}, {}, 100, {"50 shot 1 line 2 pass 0"}},
        {"a buffer after the one that fired", {}, {}, {{20000}, {100}}, 100, {"50 shot 1 line 2 pass 0"}},
        {"a pause",
         {},
         [](RunProgram& t) { t.window.click(kPauseButton); },
         {{20000}},
         100,
         {"50 shot 1 line 2 pass 0"}},
        {"the threshold lowered to 10 % during the wait",
         {},
         [](RunProgram& t) { t.program.settings.soundThreshold = 10; },
         {{4000}},
         100,
         {"50 shot 1 line 2 pass 0"}},
        {"the threshold raised to 100 % during the wait",
         {},
         [](RunProgram& t) { t.program.settings.soundThreshold = 100; },
         {{20000}},
         61,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ChosenSound input; // outlives the program, which closes it as it ends
        RunProgram t;
        input.atStart = c.atStart;
        t.program.soundInput = &input;
        t.start({line().when("Sound")});
        if (c.meanwhile) c.meanwhile(t);
        for (const Samples& b : c.buffers) input.hand(b);
        t.runFor(1000);
        EXPECT_EQ(t.window.progress(kLevelBar), c.level);
        EXPECT_EQ(t.timeline.only("sound"), c.level == 100 ? Strings{"0 sound 100"} : Strings{});
        EXPECT_EQ(t.shots(), c.shots);
    }
}

// Buffer n of a recording is handed over 62.5 ms × n after the input opened, and the run acts on the loud
// one at its next tick, counting the next line's delay from that tick.
TEST(SoundDetection, ARecordingFiresAtItsLoudBuffer) {
    RunProgram t;
    Samples recording(2000, 800);
    recording[1750] = 20000; // in buffer 4, handed over at 250 ms
    RecordedSound input(recording, t.clock, t.clock);
    t.program.soundInput = &input;
    t.start({line().when("Sound"), line().delay(20)});
    t.runFor(5000);
    EXPECT_EQ(t.timeline.only("sound"), Strings{"250 sound 100"});
    EXPECT_EQ(t.shots(), (Strings{"250 shot 1 line 2 pass 0", "2250 shot 2 line 3 pass 0"}));
    EXPECT_EQ(t.program.soundState, kSoundClosed);
}

} // namespace
} // namespace orvex::test
