// The desktop program's -fromline: a night resumed at a line of its script, and the body chosen by the
// number printed on it.
#include "resources/main_dialog.h"
#include "run/script_moves.h"
#include "tests/support/run_program.h"

#include <gtest/gtest.h>

namespace orvex::test {
namespace {

const std::vector<std::string> kNight = {line().delay(0), line().delay(20), line().delay(20)};

TEST(StartLine, TheRunStartsAtTheExposureOnThatLineOfTheFile) {
    RunProgram run("bulb");
    run.start(kNight, R"(-fromline="3" -start="")");
    run.runFor(10000);
    EXPECT_EQ(run.shots(), (Strings{"2000 shot 1 line 3 pass 0", "4000 shot 2 line 4 pass 0"}));
    // A later run, and a run of another script, start at the top again.
    run.window.click(kStartButton);
    run.runFor(10000);
    EXPECT_EQ(run.shots().at(2), "10000 shot 1 line 2 pass 0");
}

TEST(StartLine, ALineThatIsNoExposureIsNamedAndTheRunDoesNotStart) {
    for (const char* fileLine : {"1", "5", "x"}) {
        RunProgram run("bulb");
        run.start(kNight, std::string(R"(-start="" -fromline=")") + fileLine + "\"", [&] {
            EXPECT_FALSE(run.program.run.running) << fileLine;
            ASSERT_NE(run.lastBox(), nullptr);
            EXPECT_EQ(run.lastBox()->text,
                      std::string("Line ") + fileLine +
                          " of the script is not an exposure: the run cannot start there");
        });
    }
}

TEST(StartLine, LoadingAScriptForgetsTheLineChosenInTheOneBefore) {
    RunProgram run("bulb");
    run.start(kNight, R"(-fromline="4")",
              [&] { loadScript(run.program, run.window, run.program.script.path); });
    run.runFor(1000);
    EXPECT_EQ(run.shots().at(0), "0 shot 1 line 2 pass 0");
}

TEST(StartLine, AVirtualBodyIsConnectedByTheWholeNumberPrintedOnItOrItsLow32Bits) {
    for (const char* bodyId : {"023021012345", "1546175865"}) {
        RunProgram run("press-shutter");
        run.start(kNight, std::string("-connect=\"") + bodyId + "\"");
        EXPECT_EQ(run.window.itemText(kCameraField).substr(0, 26), "1 - Canon EOS 5D Mark III") << bodyId;
        EXPECT_TRUE(run.window.modalsRun().empty()) << bodyId << ": connected through the camera list";
    }
}

} // namespace
} // namespace orvex::test
