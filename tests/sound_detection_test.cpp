// The Sound trigger: what a buffer of sound shows and fires, and the input's life through a run on the
// virtual clock, with a recording played into it as the computer would hand it over.
#include "resources/main_dialog.h"
#include "run/run_controller.h"
#include "run/run_end.h"
#include "run/sound_detection.h"
#include "tests/support/cli_process.h"
#include "tests/support/run_program.h"
#include "tests/support/wav_bytes.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace orvex::test {
namespace {

TEST(SoundDetection, LevelAndTriggerOfOneBuffer) {
    // What the buffer is, the threshold, and the level and trigger it gives.
    const std::tuple<const char*, int, Samples, int, bool> cases[] = {
        {"a sample at the threshold fires", 50, {0, 100, 16383, 0}, 100, true},
        {"the level is the largest sample against the threshold", 50, {8191, -200}, 49, false},
        {"one below the threshold", 50, {16382}, 99, false},
        {"silence", 50, {0, 0, 0}, 0, false},
        {"only negative samples", 50, {-1, -12000}, 0, false},
        {"a strong negative peak never fires", 50, {-32768, 300}, 1, false},
        {"the lowest threshold", 1, {327}, 100, true},
        {"the highest threshold", 100, {32766}, 99, false},
        {"full scale at the highest threshold", 100, {32767}, 100, true}};
    for (const auto& [what, threshold, samples, level, loud] : cases) {
        const SoundLevel heard = measureSound(samples.data(), samples.size(), threshold);
        EXPECT_EQ(std::tuple(heard.loud, heard.level), std::tuple(loud, level)) << what;
    }
}
// A sound input whose answers the test chooses, and whose buffers the test hands over.
class ChosenSound : public SoundInput {
  public:
    int openAnswer = 0, startAnswer = 0, opens = 0, closes = 0;
    SoundBuffer buffer;
    Samples atStart; // handed over from within start(), as a fast input may
    bool stops = false;
    int open(unsigned, SoundBuffer b) override { return buffer = std::move(b), ++opens, openAnswer; }
    int start() override {
        if (!atStart.empty()) hand(atStart);
        return startAnswer;
    }
    int close() override { return ++closes, 0; }
    bool stoppedByItself() const override { return stops; }
    void hand(Samples samples) const { buffer(samples.data(), samples.size()); }
};

// A program listening through that input, which outlives it: the program closes it as it ends.
struct Listening {
    ChosenSound input;
    RunProgram t;
    Listening() { t.program.soundInput = &input; }
};

TEST(SoundDetection, InputStatesAnswerMinusOneOutOfTurn) {
    Listening l;
    auto& [input, t] = l;
    t.program.soundInput = nullptr;
    t.open();
    EXPECT_EQ(openSound(t.program, t.window, 500), -1) << "no input";
    t.program.soundInput = &input;
    // Opening, starting or closing, and the answer and state after it.
    const std::tuple<char, int, int> steps[] = {{'s', -1, kSoundClosed},   {'c', -1, kSoundClosed},
                                                {'o', 0, kSoundOpen},      {'o', -1, kSoundOpen},
                                                {'s', 0, kSoundRecording}, {'s', -1, kSoundRecording},
                                                {'c', 0, kSoundClosed},    {'c', -1, kSoundClosed}};
    for (const auto& [step, answer, state] : steps) {
        const int got = step == 'o'   ? openSound(t.program, t.window, 500)
                        : step == 's' ? startSound(t.program)
                                      : closeSound(t.program);
        EXPECT_EQ(std::tuple(got, t.program.soundState.load()), std::tuple(answer, state))
            << step << " " << answer;
    }
    EXPECT_EQ(input.closes, 1);
}

// Nor one that stops by itself during the wait (its microphone pulled out).
TEST(SoundDetection, AnInputThatCannotOpenOrStartOrStopsStopsTheRun) {
    for (const std::string fails : {"open", "start", "later"}) {
        Listening l;
        auto& [input, t] = l;
        const bool opens = fails != "open";
        if (fails != "later") (opens ? input.startAnswer : input.openAnswer) = -9996;
        t.start({line().when("Sound")});
        if (fails == "later") {
            t.runFor(1000);
            EXPECT_EQ(t.program.run.status, RunStatus::kSoundWait);
            input.stops = true;
            t.runFor(100);
        }
        ASSERT_NE(t.lastBox(), nullptr) << fails;
        EXPECT_EQ(
            std::tuple(t.program.run.status, t.lastBox()->caption, t.lastBox()->text,
                       t.program.soundState.load(), input.closes),
            std::tuple(RunStatus::kError, "Error (L6087)", "Error fffffff5", kSoundClosed, opens ? 1 : 0))
            << fails;
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
        Listening l;
        auto& [input, t] = l;
        t.answerYes();
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
        EXPECT_EQ(std::tuple(t.program.run.detection.triggered.load(), t.timeline.only("sound"),
                             t.program.run.status, input.opens, t.shots(), t.program.soundState.load()),
                  std::tuple(false, Strings{}, c.status, c.opens, c.shots,
                             c.opens == 2 ? kSoundRecording : kSoundClosed));
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
        Listening l;
        auto& [input, t] = l;
        input.atStart = c.atStart;
        t.start({line().when("Sound")});
        if (c.pause) t.window.click(kPauseButton);
        if (c.threshold) t.program.settings.soundThreshold = c.threshold;
        for (const Samples& b : c.buffers) input.hand(b);
        t.runFor(1000);
        // The level bar is shown only while the line waits.
        const bool fired = c.level == 100;
        EXPECT_EQ(std::tuple(t.window.progress(kLevelBar), t.window.isItemShown(kLevelBar),
                             t.timeline.only("sound"), t.shots(), t.program.soundState.load()),
                  std::tuple(c.level, !fired, fired ? Strings{"0 sound 100"} : Strings{},
                             fired ? Strings{"50 shot 1 line 2 pass 0"} : Strings{},
                             fired ? kSoundClosed : kSoundRecording));
    }
}

// A sound heard while the run is paused gets the whole exposure its line asks for: only a pause pressed again
// during it, once lifted, ends it early.
TEST(SoundDetection, ASoundHeardWhilePausedGetsTheWholeExposure) {
    for (const bool pausedAgain : {false, true}) {
        SCOPED_TRACE(pausedAgain);
        Listening l;
        auto& [input, t] = l;
        t.start({line().when("Sound").speed("40")});
        t.window.click(kPauseButton);
        t.runFor(200);
        input.hand({20000});
        t.runFor(1000);
        if (pausedAgain) {
            t.window.click(kPauseButton);
            t.runFor(1000);
            t.window.click(kPauseButton);
        }
        t.runFor(45000);
        EXPECT_EQ(t.timeline.only(statusEvent(RunStatus::kPictureWait)),
                  Strings{pausedAgain ? "2250 status 196" : "40250 status 196"});
    }
}

// Sound lines from the command line: a recording rehearses them, a run listens to the computer's input
// through PortAudio, here ALSA's file plugin reading samples on a machine without a sound card.
TEST(CliSimulate, ASoundItCannotPlayIsRefusedByName) {
    TempDir dir;
    const std::string script = dir.write("night.txt", scriptText({line().when("Sound")}));
    const std::pair<std::string, std::string> cases[] = {
        {"", "The script waits for a sound: rehearse it with --sound=FILE.wav"},
        {"--sound=" + (dir.path() / "none.wav").string(), "Cannot read the sound file "},
        {"--sound=" + script, " is not a sound Orvex can play"},
        {"--sound=" + dir.write("cd.wav", wavFile({0, 0}, 1, 44100)), " is not a sound Orvex can play"},
        {"--sound=", "--sound needs a WAV file"},
        {"--sound=" + dir.path().string(), dir.path().string() + " is not a file: --sound needs a WAV file"},
    };
    for (const auto& [sound, message] : cases) {
        const CliResult r = runCli("simulate --lang en --camera=bulb " + sound + " " + script + " 2>&1");
        EXPECT_EQ(r.exitCode, 2) << sound;
        EXPECT_NE(r.out.find(message), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("\tshot\t"), std::string::npos) << r.out;
    }
}

// A recording fires its Sound line under the threshold of the Orvex.ini of the folder orvex-cli starts
// from; one cut short, as an interrupted recording leaves it, plays up to where it ends, with a warning.
TEST(CliSimulate, ARecordingFiresUnderTheThresholdOfItsSettings) {
    TempDir dir;
    const std::string script = dir.write("night.txt", scriptText({line().when("Sound")}));
    Samples samples(1000, 0);
    samples[900] = 5000; // 15 % of full scale
    const std::string whole = wavFile(samples);
    const struct {
        const char* what;
        std::string wav;
        bool atTenPercent, fires, warned;
    } cases[] = {{"at the default 50 %", whole, false, false, false},
                 {"at 10 %", whole, true, true, false},
                 {"cut short after the peak", whole.substr(0, whole.size() - 100), true, true, true},
                 {"cut short before the peak", whole.substr(0, 44 + 1000), true, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir from;
        if (c.atTenPercent) from.write("Orvex.ini", "[Corvane]\nThreshold=10\n");
        const std::string wav = dir.write("sound.wav", c.wav);
        const CliResult r = runCli("simulate --lang en --until=10s --sound=" + wav + " " + script + " 2>&1",
                                   "cd " + from.path().string() + " && LC_ALL=C");
        EXPECT_EQ(r.out.find("\tsound\t100\n") != std::string::npos, c.fires) << r.out;
        EXPECT_EQ(r.out.find(wav + " is cut short: it plays up to where its sound ends") != std::string::npos,
                  c.warned)
            << r.out;
    }
}

TEST(CliRun, ASoundLineListensToTheComputersInput) {
    TempDir dir;
    const std::string script = dir.write("night.txt", scriptText({line().when("Sound").speed("1/100")}));
    Samples samples(4000, -2000);
    samples[2600] = 30000;
    const std::string loud = dir.write("loud.raw", pcm(samples));
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {loud, {"\tstatus\t178\tSound ?\n", "\tsound\t100\n", "\tend\t35\tCompleted\n"}},
        {loud + ".gone", {"\tmessage\tError (L6087)\tError fffffff5\n", "\tend\t55\tError\n"}}};
    for (const auto& [input, expected] : cases) {
        // ALSA's default capture device reads the file: one that is not there leaves no input to open.
        const std::string alsa =
            dir.write("alsa.conf", "pcm.null { type null }\npcm.!default { type file slave.pcm "
                                   "\"null\" file \"/dev/null\" infile \"" +
                                       input + "\" format \"raw\" }\n");
        const CliResult r = runCli("run --until=20s --camera=bulb " + script + " 2>/dev/null",
                                   "LC_ALL=C ALSA_CONFIG_PATH=" + alsa);
        std::size_t from = 0;
        for (const std::string& event : expected) {
            from = r.out.find(event, from);
            EXPECT_NE(from, std::string::npos) << event << " in\n" << r.out;
        }
    }
}

} // namespace
} // namespace orvex::test
