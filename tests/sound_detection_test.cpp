// The Sound trigger: what a buffer of sound shows and fires, and the input's life through a run on the
// virtual clock, with a recording played into it as the computer would hand it over.
#include "resources/main_dialog.h"
#include "run/run_controller.h"
#include "run/run_end.h"
#include "run/sound_detection.h"
#include "tests/support/run_program.h"

#include <gtest/gtest.h>
#include <tuple>

namespace orvex::test {
namespace {

using Samples = std::vector<std::int16_t>;

TEST(SoundDetection, LevelAndTriggerOfOneBuffer) {
    const struct {
        const char* what;
        int threshold;
        Samples samples;
        bool loud;
        int level;
    } cases[] = {{"a sample at the threshold fires", 50, {0, 100, 16383, 0}, true, 100},
                 {"the level is the largest sample against the threshold", 50, {8191, -200}, false, 49},
                 {"one below the threshold", 50, {16382}, false, 99},
                 {"silence", 50, {0, 0, 0}, false, 0},
                 {"only negative samples", 50, {-1, -12000}, false, 0},
                 {"a strong negative peak never fires", 50, {-32768, 300}, false, 1},
                 {"the lowest threshold", 1, {327}, true, 100},
                 {"the highest threshold", 100, {32766}, false, 99},
                 {"full scale at the highest threshold", 100, {32767}, true, 100}};
    for (const auto& c : cases) {
        const SoundLevel heard = measureSound(c.samples.data(), c.samples.size(), c.threshold);
        EXPECT_EQ(std::tuple(heard.loud, heard.level), std::tuple(c.loud, c.level)) << c.what;
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
    // Opening, starting or closing, and the answer and state after it.
    for (const auto& [step, answer, state] : {std::tuple{'s', -1, kSoundClosed},
                                              {'c', -1, kSoundClosed},
                                              {'o', 0, kSoundOpen},
                                              {'o', -1, kSoundOpen},
                                              {'s', 0, kSoundRecording},
                                              {'s', -1, kSoundRecording},
                                              {'c', 0, kSoundClosed},
                                              {'c', -1, kSoundClosed}}) {
        const int got = step == 'o'   ? openSound(t.program, t.window, 500)
                        : step == 's' ? startSound(t.program)
                                      : closeSound(t.program);
        EXPECT_EQ(std::tuple(got, t.program.soundState.load()), std::tuple(answer, state))
            << step << " " << answer;
    }
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

// However the wait ends, the input goes with it: a loud buffer still handed over by the input of that wait
// changes nothing, and a script started again or taken from the chain that waits for a sound opens it
// afresh.
TEST(SoundDetection, TheInputLivesOnlyAsLongAsTheWait) {
    const struct {
        const char* dawn; // the first line of dawn.txt, night's next and previous script
        int button;       // 0: the camera switched off
        RunStatus status;
        int opens;
        Strings shots;
    } cases[] = {{"20", kStartButton, RunStatus::kAborted, 1, {}},
                 {"20", 0, RunStatus::kCameraGone, 1, {}},
                 {"20", kReloadScriptButton, RunStatus::kSoundWait, 2, {}},
                 {"Sound", kNextScriptButton, RunStatus::kSoundWait, 2, {}},
                 {"20", kPrevScriptButton, RunStatus::kCompleted, 1, {"2050 shot 1 line 2 pass 0"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "button " << c.button << " to " << c.dawn);
        ChosenSound input; // outlives the program, which closes it as it ends
        RunProgram t;
        t.answerYes();
        t.program.soundInput = &input;
        for (const char* name : {"dawn.txt", "night.next", "night.prev"})
            t.dir.write(name, *name == 'd' ? scriptText({line().when(c.dawn)}) : "dawn.txt");
        t.start({line().when("Sound")});
        ASSERT_EQ(t.program.run.status, RunStatus::kSoundWait);
        const SoundBuffer first = input.buffer;
        c.button ? t.window.click(c.button) : t.camera->switchOff();
        t.runFor(50);
        EXPECT_EQ(input.closes, 1);
        // An input that was closed delivers nothing more once it opens again: only a wait that did not
        // begin again can be handed a buffer of the old one.
        const Samples loud = {32767};
        if (c.opens == 1) first(loud.data(), loud.size());
        t.runFor(3000);
        EXPECT_FALSE(t.program.run.detection.triggered);
        EXPECT_EQ(std::tuple(t.program.run.status, input.opens, t.shots()),
                  std::tuple(c.status, c.opens, c.shots));
        EXPECT_EQ(t.program.soundState, c.opens == 2 ? kSoundRecording : kSoundClosed);
        EXPECT_TRUE(t.timeline.only("sound").empty());
        for (const MessageBoxRecord& box : t.window.messageBoxes())
            EXPECT_EQ(box.caption.find("L6087"), std::string::npos) << box.text;
    }
}

// What the buffers of one wait do: the first loud one fires, whenever it comes, under the threshold of
// that moment; nothing after it counts, and the input is closed once it fired. How far into a recording
// the loud buffer lies, and the next delay counted from the tick that acts on it, is the scenario
// sound-fires-at-the-loud-buffer.
TEST(SoundDetection, TheFirstLoudBufferOfTheWaitFires) {
    const struct {
        const char* what;
        Samples atStart;
        bool pause;
        int threshold; // set during the wait; 0: left at 50 %
        std::vector<Samples> buffers;
        int level;
    } cases[] = {
        {"a buffer that comes as the input starts", {20000}, false, 0, {}, 100},
        {"a quiet buffer", {}, false, 0, {{1000, 2000}}, 12},
        {"a buffer after the one that fired", {}, false, 0, {{20000}, {100}}, 100},
        {"a pause", {}, true, 0, {{20000}}, 100},
        {"the threshold lowered to 10 % during the wait", {}, false, 10, {{4000}}, 100},
        {"the threshold raised to 100 % during the wait", {}, false, 100, {{20000}}, 61},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ChosenSound input; // outlives the program, which closes it as it ends
        RunProgram t;
        input.atStart = c.atStart;
        t.program.soundInput = &input;
        t.start({line().when("Sound")});
        if (c.pause) t.window.click(kPauseButton);
        if (c.threshold) t.program.settings.soundThreshold = c.threshold;
        for (const Samples& b : c.buffers) input.hand(b);
        t.runFor(1000);
        const bool fired = c.level == 100;
        EXPECT_EQ(t.window.progress(kLevelBar), c.level);
        EXPECT_EQ(t.window.isItemShown(kLevelBar), !fired); // only while it waits
        EXPECT_EQ(t.timeline.only("sound"), fired ? Strings{"0 sound 100"} : Strings{});
        EXPECT_EQ(t.shots(), fired ? Strings{"50 shot 1 line 2 pass 0"} : Strings{});
        EXPECT_EQ(t.program.soundState, fired ? kSoundClosed : kSoundRecording);
    }
}

} // namespace
} // namespace orvex::test
