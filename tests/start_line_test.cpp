// The desktop program's -fromline: a night resumed at a line of its script.
#include "resources/main_dialog.h"
#include "run/script_load.h"
#include "tests/support/run_program.h"

#include <gtest/gtest.h>

namespace orvex::test {
namespace {

const std::vector<std::string> kNight = {line().delay(0), line().delay(20), line().delay(20)};

// A later run, and a run of another script (even the same file loaded again), start at the top again.
TEST(StartLine, TheRunStartsAtTheExposureOnThatLineOfTheFile) {
    RunProgram run("bulb");
    run.start(kNight, R"(-fromline="3" -start="")");
    run.runFor(10000);
    EXPECT_EQ(run.shots(), (Strings{"2000 shot 1 line 3 pass 0", "4000 shot 2 line 4 pass 0"}));
    run.window.click(kStartButton);
    run.runFor(10000);
    EXPECT_EQ(run.shots().at(2), "10000 shot 1 line 2 pass 0");
    RunProgram loaded("bulb");
    loaded.start(kNight, R"(-fromline="4")",
                 [&] { loadScript(loaded.program, loaded.window, loaded.program.script.path); });
    loaded.runFor(1000);
    EXPECT_EQ(loaded.shots().at(0), "0 shot 1 line 2 pass 0");
}

TEST(StartLine, ALineThatIsNoExposureIsNamedAndTheRunDoesNotStart) {
    // "3x" is no line number, though line 3 holds an exposure.
    for (const char* fileLine : {"1", "5", "x", "3x"}) {
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

} // namespace
} // namespace orvex::test
