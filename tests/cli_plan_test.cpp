// orvex-cli simulate --plan: the timeline stays as it was, and the picture tells how each shot was released,
// from the run's own state, where the waits and passes fell and how the run ended.
#include "tests/support/cli_process.h"
#include "tests/support/script_line.h"
#include "tests/support/svg_shapes.h"
#include "tests/support/test_program.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orvex::test {
namespace {

const std::string kRehearse = "simulate --lang en --clock=2026-12-06T21:00:00 ";

std::vector<std::string> classesOf(const std::vector<SvgShape>& shots) {
    std::vector<std::string> classes;
    for (const SvgShape& s : shots) classes.push_back(s.cls);
    return classes;
}

// A shot at the start and a 40-second one five seconds later, on bodies and options that release them in
// each way; simulation mode draws what the line asks of a body.
TEST(CliPlan, EachShotIsColouredByHowTheRunReleasedIt) {
    TempDir dir;
    const std::string script =
        dir.write("night.txt", scriptText({line().delay(0).speed("1/250"), line().delay(50).speed("40")}));
    const struct {
        const char* options;
        std::vector<std::string> classes;
    } cases[] = {
        {"--camera=bulb", {"shot camera", "shot bulb"}},
        {"--camera=bulb --lockup=2s", {"shot lockup", "shot lockup"}},
        {"--camera=legacy-lockup --serialport=VirtualCable", {"shot camera", "shot cable"}},
        {"", {"shot camera", "shot bulb"}},
        {"--lockup=2s", {"shot lockup", "shot lockup"}},
    };
    const std::string plan = (dir.path() / "night.svg").string();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        const std::string arguments = kRehearse + c.options + " " + script;
        const CliResult without = runCli(arguments);
        const CliResult with = runCli(kRehearse + "--plan=" + plan + " " + c.options + " " + script);
        EXPECT_EQ(std::tuple(with.exitCode, with.out), std::tuple(without.exitCode, without.out));
        const auto shapes = svgShapes(dir.read(plan));
        const auto shots = shapesOf(shapes, "rect", "shot");
        EXPECT_EQ(classesOf(shots), c.classes);
        ASSERT_EQ(shots.size(), 2u);
        // The long exposure stands for its forty seconds on the axis, from its moment; after a lock-up the
        // shutter opens its time later.
        if (c.classes[1] == "shot lockup") continue;
        const double start = tickX(shapes, "21:00:05"), end = tickX(shapes, "21:00:45");
        ASSERT_GT(start, 0);
        ASSERT_GT(end, start);
        EXPECT_EQ(shots[1].number("x"), start);
        EXPECT_NEAR(shots[1].number("width"), end - start, 0.11);
        EXPECT_EQ(shots[1].title.rfind("Line 3, pass 0, 21:00:05, ", 0), 0u) << shots[1].title;
    }
}

TEST(CliPlan, BurstsPassesAndTheEndAreMarked) {
    TempDir dir;
    const std::string script =
        dir.write("night.txt", scriptText({line().delay(0).speed("1/250"), line().delay(50).burst(2)}));
    const struct {
        const char* options;
        std::size_t shots, passes;
        const char* end;
    } cases[] = {
        {"--camera=burst --serialport=VirtualCable --loop=3", 6, 2, "Completed"},
        {"--camera=burst --serialport=VirtualCable --loop=3 --until=12s", 4, 1,
         "Rehearsal stopped by --until"},
    };
    const std::string plan = (dir.path() / "night.svg").string();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        runCli(kRehearse + "--plan=" + plan + " " + c.options + " " + script);
        const auto shapes = svgShapes(dir.read(plan));
        const auto shots = shapesOf(shapes, "rect", "shot");
        EXPECT_EQ(shots.size(), c.shots);
        EXPECT_EQ(shapesOf(shapes, "rect", "shot cable").size(), c.shots / 2);
        EXPECT_EQ(shapesOf(shapes, "path", "burst").size(), c.shots / 2);
        // Each pass's mark stands before its first shot, after the last one of the pass before.
        const auto passes = shapesOf(shapes, "line", "pass");
        ASSERT_EQ(passes.size(), c.passes);
        for (std::size_t i = 0; i < passes.size(); ++i) {
            EXPECT_EQ(passes[i].title.rfind("pass " + std::to_string(i + 1) + ", ", 0), 0u)
                << passes[i].title;
            EXPECT_LE(passes[i].number("x1"), shapesOf(shapes, "rect", "shot camera")[i + 1].number("x"));
            EXPECT_GE(passes[i].number("x1"), shapesOf(shapes, "rect", "shot cable")[i].number("x"));
        }
        EXPECT_EQ(shapesOf(shapes, "text", "end").at(0).text, c.end);
    }
}

std::string littleEndian(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

// 16-bit mono at 8000 Hz, silent but for one loud sample.
std::string clap(int atSample) {
    std::string data;
    for (int i = 0; i < atSample + 100; ++i) data += littleEndian(i == atSample ? 30000 : 0, 2);
    const std::string format = littleEndian(1, 2) + littleEndian(1, 2) + littleEndian(8000, 4) +
                               littleEndian(16000, 4) + littleEndian(2, 2) + littleEndian(16, 2);
    return "RIFF" + littleEndian(static_cast<std::uint32_t>(20 + format.size() + data.size()), 4) +
           "WAVEfmt " + littleEndian(16, 4) + format + "data" + littleEndian(data.size(), 4) + data;
}

// A Sound or Move line's wait is a band on its lane from its arming to its trigger; the shot follows it.
TEST(CliPlan, AWaitIsABandFromItsArmingToItsTrigger) {
    TempDir dir;
    const std::string sound = dir.write("clap.wav", clap(24000));
    const std::string moving =
        dir.write("moving.ini", "[camera]\npreset = bulb\nmotion = 2000\nmotionAfter = 3\n");
    const struct {
        const char* when;
        std::string options;
        const char* title;
    } cases[] = {
        {"Sound", "--camera=bulb --sound=" + sound, "Sound ?, 21:00:00 – 21:00:03"},
        {"Move", "--camera=" + moving, "Move ?, 21:00:00 – 21:00:0"},
    };
    const std::string plan = (dir.path() / "night.svg").string();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        const std::string script = dir.write("night.txt", scriptText({line().when(c.when).speed("1/250")}));
        EXPECT_EQ(runCli(kRehearse + "--plan=" + plan + " " + c.options + " " + script).exitCode, 0);
        const auto shapes = svgShapes(dir.read(plan));
        const auto waits = shapesOf(shapes, "rect", "wait");
        ASSERT_EQ(waits.size(), 1u);
        EXPECT_EQ(waits[0].title.rfind(c.title, 0), 0u) << waits[0].title;
        EXPECT_EQ(waits[0].number("x"), tickX(shapes, "21:00:00"));
        const auto shots = shapesOf(shapes, "rect", "shot");
        ASSERT_EQ(shots.size(), 1u);
        // At the next tick.
        const double trigger = waits[0].number("x") + waits[0].number("width");
        const double second = tickX(shapes, "21:00:01") - tickX(shapes, "21:00:00");
        EXPECT_GE(shots[0].number("x"), trigger - 0.11);
        EXPECT_LT(shots[0].number("x"), trigger + 0.1 * second);
    }
}

// A plan that cannot be written is refused before anything is rehearsed, in the user's language.
TEST(CliPlan, APlanThatCannotBeWrittenIsRefusedFirst) {
    TempDir dir;
    const std::string script = dir.write("night.txt", scriptText({line().delay(0)}));
    const std::string folder = dir.path().string();
    const struct {
        std::string plan;
        const char* language;
        std::string message;
    } cases[] = {
        {folder + "/missing/night.svg", "en",
         "orvex-cli: The plan cannot be written to " + folder + "/missing/night.svg"},
        {folder, "en", "orvex-cli: The plan cannot be written to " + folder},
        {folder, "fr", "orvex-cli: Le plan ne peut pas être écrit dans " + folder},
    };
    for (const auto& c : cases) {
        const CliResult r = runCli("simulate --lang " + std::string(c.language) + " --plan=" + c.plan + " " +
                                   script + " 2>&1");
        EXPECT_EQ(std::tuple(r.exitCode, r.out), std::tuple(2, c.message + "\n")) << c.plan;
    }
}

// A rehearsal refused at its start (a Sound line without a recording) draws nothing: a plan already there is
// left as it was, and none is made.
TEST(CliPlan, ARehearsalRefusedAtItsStartLeavesThePlanAsItWas) {
    TempDir dir;
    const std::string script = dir.write("night.txt", scriptText({line().when("Sound")}));
    const std::string plan = (dir.path() / "night.svg").string();
    for (const bool existed : {true, false}) {
        SCOPED_TRACE(existed);
        std::filesystem::remove(plan);
        if (existed) dir.write("night.svg", "<svg/>");
        EXPECT_EQ(runCli("simulate --plan=" + plan + " " + script + " 2>/dev/null").exitCode, 2);
        EXPECT_EQ(std::filesystem::exists(plan), existed);
        EXPECT_EQ(dir.read("night.svg"), existed ? "<svg/>" : "");
    }
}

} // namespace
} // namespace orvex::test
