// What the plan keeps of a run as it goes: the values the window shows at each release, and a move along a
// chain with the name of the script the run went on with.
#include "app/cli/plan_recorder.h"
#include "tests/support/run_program.h"

#include <gtest/gtest.h>

namespace orvex::test {
namespace {

TEST(PlanRecorder, KeepsTheShownValuesAndAMoveAlongAChain) {
    RunProgram t(kSimulation);
    t.dir.write("dawn.txt", scriptText({line().delay(0), line().delay(10), line().delay(10)}));
    t.dir.write("night.next", "dawn.txt");
    cli::PlanRecorder recorder(t.program);
    t.start({line().delay(0).aperture("8").speed("1/250").iso(400).quality("R"), line().delay(100)}, "", [&] {
        t.program.observer = &recorder;
        recorder.watch(t.window);
        recorder.start();
    });
    t.runFor(1000);
    t.window.click(kNextScriptButton);
    t.runFor(5000);
    recorder.end(t.program.run.status);
    const cli::Plan& plan = recorder.plan();
    EXPECT_EQ(plan.script, "night.txt");
    std::vector<std::pair<int, std::uint32_t>> shots;
    for (const cli::PlannedExposure& e : plan.exposures) shots.emplace_back(e.line, e.atMs);
    EXPECT_EQ(shots, (std::vector<std::pair<int, std::uint32_t>>{{2, 0}, {2, 1050}, {3, 2050}, {4, 3050}}));
    ASSERT_FALSE(plan.exposures.empty());
    EXPECT_EQ(plan.exposures[0].values, "F/D 8, Speed 1/250, ISO 400, Qual. R");
    EXPECT_EQ(plan.exposures[0].release, cli::Release::Camera);
    ASSERT_EQ(plan.chains.size(), 1u);
    EXPECT_EQ(plan.chains[0].text, "dawn.txt");
    EXPECT_GE(plan.chains[0].atMs, 1000u);
    EXPECT_LE(plan.chains[0].atMs, 1050u);
    EXPECT_EQ(plan.end.text, "Completed");
    EXPECT_TRUE(plan.passes.empty());
}

} // namespace
} // namespace orvex::test
