// The plan of a rehearsed night: what it keeps of a run as it goes, its picture (lanes, shapes on the
// clock-time axis, colours by release, titles, waits, marks, a day of shots grouped), orvex-cli simulate
// --plan, whose timeline stays as it was, and the rehearsal the desktop's Script › Plan… asks it for.
#include "app/cli/plan_axis.h"
#include "app/cli/plan_drawing.h"
#include "app/cli/plan_recorder.h"
#include "app/desktop/rehearsal_arguments.h"
#include "core/catalogue.h"
#include "tests/support/cli_process.h"
#include "tests/support/run_program.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <vector>

namespace orvex::test {
namespace {

using cli::Plan;
using cli::Release;

// The shapes of a plan's SVG as a test reads them: each element with a class, its attributes, and its title
// or its text.
struct SvgShape {
    std::string element, cls, attributes, title, text;
    std::string attribute(const std::string& name) const {
        std::smatch m;
        return std::regex_search(attributes, m, std::regex(" " + name + "=\"([^\"]*)\"")) ? m[1].str() : "";
    }
    double number(const std::string& name) const { return std::stod(attribute(name)); }
};

std::vector<SvgShape> svgShapes(const std::string& svg) {
    static const std::regex element(
        R"re(<(rect|line|text|path) class="([^"]*)"([^>]*?)/?>(?:<title>([^<]*)</title>)?([^<\n]*))re");
    std::vector<SvgShape> shapes;
    for (auto e = std::sregex_iterator(svg.begin(), svg.end(), element); e != std::sregex_iterator(); ++e) {
        shapes.push_back({(*e)[1], (*e)[2], (*e)[3], (*e)[4], (*e)[5]});
    }
    return shapes;
}

// The shapes of that element whose class is `cls` or begins with it and a blank.
std::vector<SvgShape> shapesOf(const std::vector<SvgShape>& shapes, const std::string& element,
                               const std::string& cls) {
    std::vector<SvgShape> found;
    for (const SvgShape& s : shapes)
        if (s.element == element && (s.cls == cls || s.cls.rfind(cls + " ", 0) == 0)) found.push_back(s);
    return found;
}

// The x of the axis tick labelled so; -1 when there is none.
double tickX(const std::vector<SvgShape>& shapes, const std::string& label) {
    for (const SvgShape& s : shapesOf(shapes, "text", "tick"))
        if (s.text == label) return s.number("x");
    return -1;
}

// How wide a text of 12 pixels is at least: 6.5 pixels a character, less than any the font draws.
double leastWidth(const std::string& text) {
    return 6.5 * static_cast<double>(std::count_if(text.begin(), text.end(), [](char c) {
               return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
           }));
}

SvgShape only(const std::vector<SvgShape>& shapes) {
    EXPECT_EQ(shapes.size(), 1u);
    return shapes.empty() ? SvgShape{} : shapes.front();
}

// Next pressed during a run: the chain is followed between shots.
TEST(PlanRecorder, KeepsTheShownValuesAndAMoveAlongAChain) {
    RunProgram t(kSimulation);
    t.dir.write("dawn.txt", scriptText({line().delay(0), line().delay(10), line().delay(10)}));
    t.dir.write("night.next", "dawn.txt");
    cli::PlanRecorder recorder(t.program);
    t.start({line().delay(0).aperture("8").speed("1/250").iso(400).quality("R"), line().delay(100)}, "", [&] {
        t.program.observer = &recorder;
        recorder.watch(t.window);
        recorder.start("night.txt");
    });
    t.runFor(1000);
    t.window.click(kNextScriptButton);
    t.runFor(5000);
    // The run switched scripts between shots and went on to the end of the next one.
    EXPECT_EQ(std::tuple(t.window.title(), t.program.run.status),
              std::tuple("Corvane - dawn", RunStatus::kCompleted));
    recorder.end(t.program.run.status);
    const Plan& plan = recorder.plan();
    std::vector<std::pair<int, std::uint32_t>> shots;
    for (const cli::PlannedExposure& e : plan.exposures) shots.emplace_back(e.line, e.atMs);
    ASSERT_EQ(shots, (std::vector<std::pair<int, std::uint32_t>>{{2, 0}, {2, 1050}, {3, 2050}, {4, 3050}}));
    EXPECT_EQ(plan.exposures[0].values, "F/D 8, Speed 1/250, ISO 400, Qual. R");
    // The script the run started with, and a move that is no pass.
    ASSERT_EQ(std::tuple(plan.script, plan.passes.size(), plan.chains.size()),
              std::tuple("night.txt", 0ul, 1ul));
    EXPECT_EQ(plan.chains[0].text, "dawn.txt");
    EXPECT_TRUE(plan.chains[0].atMs >= 1000u && plan.chains[0].atMs <= 1050u) << plan.chains[0].atMs;
}

constexpr CivilTime kNine{2026, 12, 6, 21, 0, 0, 0};

// Ten seconds on four lines: one shot of each release, a Sound wait, a second pass, a move along a chain.
Plan shortPlan(int language) {
    return {language,
            "night.txt",
            kNine,
            {2, 3, 4, 5},
            {{2, 0, 0, 2000, Release::Camera, false, "F/D 8"},
             {3, 0, 4000, 1000, Release::Bulb, false, "F/D 5.6"},
             {4, 0, 5000, 2000, Release::Cable, true, "F/D 4"},
             {5, 1, 8000, 4, Release::Lockup, false, "F/D 11"}},
            {{3, 1000, 4000, "Sound ?"}},
            {{7000, "pass 1"}},
            {{6000, "a&b<c.txt"}},
            {10000, "Completed"},
            ""};
}

TEST(PlanDrawing, ShapesStandOnTheClockTimeAxisOfTheirLanesInTheUsersLanguage) {
    const struct {
        int language;
        const char* line;
        const char* legend[4];
        const char* cameraTitle;
        const char* burstTitle;
    } languages[] = {
        {kEnglish,
         "Line ",
         {"Timed by the camera", "Bulb, held by Orvex", "Shutter cable", "Mirror lock-up first"},
         "Line 2, pass 0, 21:00:00, Timed by the camera: F/D 8",
         "Line 4, pass 0, 21:00:05, Shutter cable, Burst 2 s: F/D 4"},
        {kFrench,
         "Ligne ",
         {"Pose par l'appareil", "Pose B, tenue par Orvex", "Câble de déclenchement",
          "Verrouillage du miroir d'abord"},
         "Ligne 2, passage 0, 21:00:00, Pose par l'appareil: F/D 8",
         "Ligne 4, passage 0, 21:00:05, Câble de déclenchement, Rafale 2 s: F/D 4"},
    };
    const char* kinds[] = {"camera", "bulb", "cable", "lockup"}; // one shot of each, on lines 2 to 5
    for (const auto& l : languages) {
        SCOPED_TRACE(l.line);
        const Plan plan = shortPlan(l.language);
        const std::string svg = cli::drawPlan(plan);
        const auto shapes = svgShapes(svg);
        const double second = tickX(shapes, "21:00:01") - tickX(shapes, "21:00:00");
        ASSERT_GT(second, 0);
        const auto lanes = shapesOf(shapes, "text", "lane"), names = shapesOf(shapes, "text", "legend");
        ASSERT_EQ(std::pair(lanes.size(), names.size()), std::pair(4ul, 4ul));
        std::vector<std::string> titles;
        std::set<std::string> fills;
        for (std::size_t i = 0; i < 4; ++i) {
            SCOPED_TRACE(kinds[i]);
            const std::string kind = kinds[i];
            const cli::PlannedExposure& e = plan.exposures[i];
            // It starts at its moment and is as long as its exposure, a short one still a visible sliver.
            const SvgShape shot = only(shapesOf(shapes, "rect", "shot " + kind));
            EXPECT_EQ(shot.number("x"), tickX(shapes, "21:00:0" + std::to_string(e.atMs / 1000)));
            EXPECT_NEAR(shot.number("width"), std::max(e.lengthMs / 1000 * second, 2.0), 0.11);
            // On the lane of its line, within half a lane of its label.
            EXPECT_EQ(lanes[i].text, l.line + std::to_string(i + 2));
            EXPECT_NEAR(shot.number("y") + shot.number("height") / 2, lanes[i].number("y"), 13);
            // Each release has a colour of its own, the one its legend names.
            const std::string fill = shot.attribute("fill");
            EXPECT_EQ(fill, only(shapesOf(shapes, "rect", "legend " + kind)).attribute("fill"));
            fills.insert(fill);
            EXPECT_EQ(names[i].text, l.legend[i]);
            titles.push_back(shot.title);
        }
        EXPECT_EQ(fills.size(), 4u);
        EXPECT_EQ(titles[0], l.cameraTitle);
        EXPECT_EQ(titles[2], l.burstTitle);
        // The Sound wait spans its lane from its arming to its trigger.
        const SvgShape wait = only(shapesOf(shapes, "rect", "wait"));
        EXPECT_EQ(wait.number("x"), tickX(shapes, "21:00:01"));
        EXPECT_NEAR(wait.number("x") + wait.number("width"), tickX(shapes, "21:00:04"), 0.11);
        EXPECT_EQ(wait.title, "Sound ?, 21:00:01 – 21:00:04");
        // The marks stand at their moments; texts are escaped.
        for (const auto& [mark, at] :
             {std::pair{"pass", "21:00:07"}, {"chain", "21:00:06"}, {"end", "21:00:10"}})
            EXPECT_EQ(only(shapesOf(shapes, "line", mark)).number("x1"), tickX(shapes, at)) << mark;
        EXPECT_NE(svg.find(">a&amp;b&lt;c.txt<"), std::string::npos);
        EXPECT_EQ(svg.find("a&b"), std::string::npos);
        EXPECT_EQ(svg.find("b<c"), std::string::npos);
    }
    // A name from a disk written in another encoding, or with a control character, keeps its other
    // characters, and the picture stays XML.
    Plan odd = shortPlan(kEnglish);
    odd.script = "\xe9t\xc3\xa9\x01\xed\xa0\x80.txt";
    EXPECT_NE(cli::drawPlan(odd).find(
                  ">Plan of \xEF\xBF\xBDt\xC3\xA9\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD.txt — "),
              std::string::npos);
}

// A shot every 10 s for a day, one line looped or a line per shot: a few hundred shapes, whose titles count
// every shot from when to when, on an axis in hours, with labels that stay apart.
TEST(PlanDrawing, ADayOfShotsIsGroupedOnAnAxisInHours) {
    constexpr int kPassMessage = 256;
    const struct {
        const char* what;
        bool looped;
        std::size_t lanes;
        const char* firstLane;
    } cases[] = {{"one line looped", true, 1, "Line 2"}, {"a line per shot", false, 48, "Line 2–181"}};
    std::vector<std::string> hours;
    for (int h = 12; h < 36; ++h) hours.push_back((h % 24 < 10 ? "0" : "") + std::to_string(h % 24) + ":00");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Plan plan{kEnglish, "day.txt", {2026, 12, 6, 12, 0, 0, 0}, {}, {}, {},
                  {},       {},        {86390050, "Completed"},    ""};
        for (int i = 0; i < 8640; ++i) {
            const auto at = static_cast<std::uint32_t>(i) * 10000;
            plan.exposures.push_back(
                {c.looped ? 2 : i + 2, c.looped ? i : 0, at, 4, Release::Camera, false, "x"});
            if (c.looped && i > 0)
                plan.passes.push_back({at, formatMessage(kEnglish, kPassMessage, std::to_string(i))});
        }
        const std::string svg = cli::drawPlan(plan);
        EXPECT_LT(svg.size(), 300000u);
        const auto shapes = svgShapes(svg);
        const auto lanes = shapesOf(shapes, "text", "lane");
        ASSERT_EQ(lanes.size(), c.lanes);
        EXPECT_EQ(lanes.front().text, c.firstLane);
        // Each lane's label ends before the lanes begin, where the first tick stands.
        for (const SvgShape& lane : lanes)
            EXPECT_LE(lane.number("x") + leastWidth(lane.text), tickX(shapes, "12:00")) << lane.text;
        const auto groups = shapesOf(shapes, "rect", "shots");
        EXPECT_LE(groups.size() + shapesOf(shapes, "rect", "shot").size(), 300u);
        EXPECT_LE(shapesOf(shapes, "line", "pass").size(), 400u);
        // Pass labels never run into one another, nor where they turn to read leftwards near the right edge.
        double labelsEnd = 0;
        for (const SvgShape& label : shapesOf(shapes, "text", "pass")) {
            const double width = leastWidth(label.text), x = label.number("x");
            const double from =
                label.attributes.find("text-anchor=\"end\"") == std::string::npos ? x : x - width;
            EXPECT_GE(from, labelsEnd) << label.text;
            labelsEnd = from + width;
        }
        static const std::regex groupTitle(
            R"(Line ([\d–]+): (\d+) shots, (\d\d:\d\d:\d\d) – (\d\d:\d\d:\d\d))");
        std::size_t counted = shapesOf(shapes, "rect", "shot").size();
        std::string from, to;
        for (const SvgShape& g : groups) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(g.title, m, groupTitle)) << g.title;
            counted += std::stoul(m[2]);
            if (from.empty()) from = m[3];
            to = m[4];
        }
        EXPECT_EQ(counted, 8640u);
        EXPECT_EQ(from + " – " + to, "12:00:00 – 11:59:50");
        std::vector<std::string> ticks;
        for (const SvgShape& t : shapesOf(shapes, "text", "tick")) ticks.push_back(t.text);
        EXPECT_EQ(ticks, hours);
    }
}

// The drawings above start on a whole second; a plan that does not has its first tick on the next one. A
// night across midnight shows its times; a plan of several days dates its midnights, into the new year too,
// and its shapes' times.
TEST(PlanAxis, TicksStandOnWholeStepsAndDateTheMidnightsOfSeveralDays) {
    constexpr std::uint64_t kHour = 3600000;
    const struct {
        CivilTime start;
        std::uint64_t durationMs;
        double spacingMs;
        std::vector<std::pair<std::uint64_t, std::string>> first;
    } cases[] = {
        {{2026, 12, 6, 21, 0, 0, 500}, 10000, 875, {{500, "21:00:01"}, {1500, "21:00:02"}}},
        {{2026, 12, 6, 23, 0, 0, 0},
         8 * kHour,
         kHour,
         {{0, "23:00"}, {kHour, "00:00"}, {2 * kHour, "01:00"}}},
        {{2026, 12, 30, 21, 0, 0, 0},
         96 * kHour,
         4 * kHour,
         {{3 * kHour, "2026-12-31"},
          {9 * kHour, "06:00"},
          {15 * kHour, "12:00"},
          {21 * kHour, "18:00"},
          {27 * kHour, "2027-01-01"}}},
    };
    for (const auto& c : cases) {
        std::vector<std::pair<std::uint64_t, std::string>> ticks;
        for (const cli::AxisTick& t : cli::axisTicks(c.start, c.durationMs, c.spacingMs))
            ticks.emplace_back(t.atMs, t.label);
        ticks.resize(std::min(ticks.size(), c.first.size()));
        EXPECT_EQ(ticks, c.first);
    }
    // The shapes' titles tell their day where the axis does.
    EXPECT_EQ(cli::clockText(cases[1].start, kHour + 5000, cases[1].durationMs), "00:00:05");
    EXPECT_EQ(cli::clockText(cases[2].start, 27 * kHour + 5000, cases[2].durationMs), "2027-01-01 00:00:05");
}

const std::string kRehearse = "simulate --lang en --clock=2026-12-06T21:00:00 ";

// orvex-cli's rehearsal with these options and script, drawing into the folder's night.svg, and its shapes.
std::pair<CliResult, std::vector<SvgShape>> rehearse(const TempDir& dir, const std::string& arguments) {
    const std::string plan = (dir.path() / "night.svg").string();
    return {runCli(kRehearse + "--plan=" + plan + " " + arguments), svgShapes(dir.read(plan))};
}

// A shot at the start and one five seconds later, 40 s long or a burst, on bodies and options that release
// them in each way, once or in passes; simulation mode draws what the line asks of a body. A run refused at
// its start is drawn too.
TEST(CliPlan, EachShotIsDrawnAsTheRunReleasedItAmongItsPassesAndItsEnd) {
    TempDir dir;
    const std::string longShot =
        dir.write("long.txt", scriptText({line().delay(0).speed("1/250"), line().delay(50).speed("40")}));
    const std::string burst =
        dir.write("burst.txt", scriptText({line().delay(0).speed("1/250"), line().delay(50).burst(2)}));
    const struct {
        std::string options;
        bool burst;           // on a body in continuous drive, through the cable
        const char* releases; // in the order of their moments
        std::size_t passes;
        const char* end;
    } cases[] = {
        {"--camera=bulb", false, "camera bulb", 0, "Completed"},
        {"--camera=bulb --lockup=2s", false, "lockup lockup", 0, "Completed"},
        {"--camera=legacy-lockup --serialport=VirtualCable", false, "camera cable", 0, "Completed"},
        {"", false, "camera bulb", 0, "Completed"},
        {"--lockup=2s", false, "lockup lockup", 0, "Completed"},
        {"--loop=3", true, "camera cable camera cable camera cable", 2, "Completed"},
        {"--loop=3 --until=12s", true, "camera cable camera cable", 1, "Rehearsal stopped by --until"},
    };
    for (const auto& c : cases) {
        const std::string arguments =
            c.burst ? "--camera=burst --serialport=VirtualCable " + c.options + " " + burst
                    : c.options + " " + longShot;
        SCOPED_TRACE(arguments);
        const CliResult without = runCli(kRehearse + arguments);
        const auto [with, shapes] = rehearse(dir, arguments);
        EXPECT_EQ(std::tuple(with.exitCode, with.out), std::tuple(without.exitCode, without.out));
        auto shots = shapesOf(shapes, "rect", "shot");
        std::sort(shots.begin(), shots.end(),
                  [](const SvgShape& a, const SvgShape& b) { return a.number("x") < b.number("x"); });
        std::string releases;
        for (const SvgShape& s : shots) releases += (releases.empty() ? "" : " ") + s.cls.substr(5);
        ASSERT_EQ(releases, c.releases);
        EXPECT_EQ(shapesOf(shapes, "path", "burst").size(), c.burst ? shots.size() / 2 : 0);
        // Each pass's mark stands before its first shot, after the last one of the pass before.
        const auto passes = shapesOf(shapes, "line", "pass");
        ASSERT_EQ(passes.size(), c.passes);
        for (std::size_t i = 0; i < passes.size(); ++i) {
            EXPECT_EQ(passes[i].title.rfind("pass " + std::to_string(i + 1) + ", ", 0), 0u)
                << passes[i].title;
            EXPECT_LE(passes[i].number("x1"), shots[2 * i + 2].number("x"));
            EXPECT_GE(passes[i].number("x1"), shots[2 * i + 1].number("x"));
        }
        EXPECT_EQ(only(shapesOf(shapes, "text", "end")).text, c.end);
        // The long exposure stands for its forty seconds on the axis, from its moment; after a lock-up the
        // shutter opens its time later.
        if (c.burst || releases.ends_with("lockup")) continue;
        const double start = tickX(shapes, "21:00:05"), end = tickX(shapes, "21:00:45");
        ASSERT_TRUE(start > 0 && end > start) << start << " to " << end;
        EXPECT_EQ(shots[1].number("x"), start);
        EXPECT_NEAR(shots[1].number("width"), end - start, 0.11);
        EXPECT_EQ(shots[1].title.rfind("Line 3, pass 0, 21:00:05, ", 0), 0u) << shots[1].title;
    }
    // A run that never started says why under its end, above the legend, in a plan named for its script,
    // whose lanes stand when it loaded.
    const struct {
        std::string arguments;
        const char *reason, *title;
        std::size_t lanes;
    } refusals[] = {{dir.write("bad.txt", "Delay\n"), "Invalid header at line 1 !", "Plan of bad.txt", 0},
                    {"--camera=cable " + longShot, "No serial port selected for camera control !",
                     "Plan of long.txt", 2}};
    for (const auto& c : refusals) {
        const auto [refused, shapes] = rehearse(dir, c.arguments);
        const SvgShape reason = only(shapesOf(shapes, "text", "reason"));
        EXPECT_EQ(
            std::tuple(only(shapesOf(shapes, "text", "title")).text,
                       only(shapesOf(shapes, "text", "end")).text, reason.text,
                       shapesOf(shapes, "text", "lane").size()),
            std::tuple(std::string(c.title) + " — 2026-12-06 21:00:00", "Not started", c.reason, c.lanes));
        // The legend's boxes start a line of 12 pixels below the reason's baseline.
        EXPECT_GE(shapesOf(shapes, "rect", "legend").front().number("y") - reason.number("y"), 12);
    }
}

// 16-bit mono at 8000 Hz, 24100 samples silent but for a loud one three seconds in.
std::string clap() {
    using namespace std::string_literals;
    return "RIFF\x6c\xbc\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0\x02\0\x10\0data\x48\xbc\0\0"s +
           std::string(2 * 24000, '\0') + "\x30\x75"s + std::string(2 * 99, '\0');
}

// A Sound or Move line's wait is a band on its lane from its arming to its trigger; the shot follows it.
TEST(CliPlan, AWaitIsABandFromItsArmingToItsTrigger) {
    TempDir dir;
    const std::string sound = dir.write("clap.wav", clap());
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        const std::string script = dir.write("night.txt", scriptText({line().when(c.when).speed("1/250")}));
        const auto [r, shapes] = rehearse(dir, c.options + " " + script);
        EXPECT_EQ(r.exitCode, 0);
        const SvgShape wait = only(shapesOf(shapes, "rect", "wait"));
        EXPECT_EQ(wait.title.rfind(c.title, 0), 0u) << wait.title;
        EXPECT_EQ(wait.number("x"), tickX(shapes, "21:00:00"));
        // At the next tick.
        const double trigger = wait.number("x") + wait.number("width");
        const double second = tickX(shapes, "21:00:01") - tickX(shapes, "21:00:00");
        const double shot = only(shapesOf(shapes, "rect", "shot")).number("x");
        EXPECT_TRUE(shot >= trigger - 0.11 && shot < trigger + 0.1 * second) << shot << " after " << trigger;
    }
}

// A refused rehearsal leaves the plan as it was, none made and one already there untouched: a plan that
// cannot be written (a FIFO, which `timeout` keeps from hanging the test, a read-only file), or that is the
// script itself however spelled, is refused before anything is rehearsed, in the user's language; a Sound
// line without a recording at the run's start.
TEST(CliPlan, ARefusedRehearsalLeavesThePlanAsItWas) {
    TempDir dir;
    const std::string folder = dir.path().string(), plan = folder + "/night.svg";
    const std::string shot = dir.write("shot.txt", scriptText({line().delay(0)}));
    const std::string sound = dir.write("sound.txt", scriptText({line().when("Sound")}));
    const std::string fifo = folder + "/fifo.svg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Opened even so by root, but never replaced.
    const std::string locked = dir.write("locked.svg", "<svg/>");
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    // Files the rehearsal reads.
    const std::string recording = dir.write("clap.wav", clap()),
                      profile = dir.write("body.ini", "[camera]\npreset = bulb\n");
    const std::string noRecording = "The script waits for a sound: rehearse it with --sound=FILE.wav";
    const struct {
        std::string options, plan; // a plan that cannot be written unless a message is given
        bool existed = false;
        std::string message = "", script = "";
    } cases[] = {
        {"--lang en", folder + "/missing/night.svg"},
        {"--lang en", folder, true},
        {"--lang fr", folder, false, "Le plan ne peut pas être écrit dans " + folder},
        {"--lang en", fifo},
        {"--lang en", locked},
        {"--lang en --sound=" + recording, recording},
        {"--lang en --camera=" + profile, folder + "/./body.ini"},
        {"", plan, true, noRecording, sound},
        {"", plan, false, noRecording, sound},
        {"--lang en", shot, false, "The plan cannot be written over the script " + shot},
        {"--lang fr", folder + "/./shot.txt", false,
         "Le plan ne peut pas être écrit à la place du script " + folder + "/./shot.txt"},
    };
    for (const auto& c : cases) {
        const std::string arguments =
            c.options + " --plan=" + c.plan + " " + (c.script.empty() ? shot : c.script);
        SCOPED_TRACE(arguments);
        std::filesystem::remove(plan);
        if (c.existed) dir.write("night.svg", "<svg/>");
        const CliResult r = runCli("simulate " + arguments + " 2>&1", "timeout 60");
        const std::string message = c.message.empty() ? "The plan cannot be written to " + c.plan : c.message;
        EXPECT_EQ(std::tuple(r.exitCode, r.out), std::tuple(2, "orvex-cli: " + message + "\n"));
        EXPECT_EQ(std::filesystem::exists(plan), c.existed);
        EXPECT_EQ(dir.read("night.svg"), c.existed ? "<svg/>" : "");
    }
    EXPECT_EQ(std::tuple(dir.read(shot), dir.read(locked), dir.read(recording), dir.read(profile)),
              std::tuple(scriptText({line().delay(0)}), "<svg/>", clap(), "[camera]\npreset = bulb\n"));
}

// The desktop's Script › Plan… asks orvex-cli for the rehearsal of the loaded script with the main window's
// settings, and for a recording only when one of its lines waits for a sound.
TEST(RehearsalArguments, CarryTheWindowsSettings) {
    RunSettings delayed;
    delayed.delayedStart = delayed.universalTime = true, delayed.startHour = 21, delayed.startMinute = 30;
    delayed.startSecond = 5;
    const struct {
        Strings options; // between the plan and the script
        RunSettings settings = {};
        const char* lockup = ""; // the window's choice, none when empty
        const char* language = "en";
        const char* when = "0";            // the script's second line
        std::optional<int> startLine = {}; // a night resumed at that exposure
    } cases[] = {
        {.options = {}, .when = "Move"},
        {.options = {"--loop=5"}, .settings = {.loopEnabled = true, .loopCount = 5}},
        // An endless loop, a day of it.
        {.options = {"--loop=10000"}, .settings = {.loopEnabled = true, .loopInfinite = true}},
        // A count of a hand-edited Orvex.ini, which orvex-cli reads too: one pass, as the run makes.
        {.options = {"--loop"}, .settings = {.loopEnabled = true, .loopCount = 1}},
        {.options = {"--from-line=3"}, .startLine = 1},
        {.options = {"--start=21:30:05", "--ut"}, .settings = delayed},
        {.options = {"--lockup=2s"}, .lockup = "2s"},
        {.options = {"--sound=/tmp/s.wav"}, .language = "fr", .when = "Sound"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.options));
        RunProgram t(kSimulation);
        t.start({line().delay(10), line().when(c.when)}, "", [&] {
            t.program.run.settings = c.settings;
            t.program.language = std::string(c.language) == "fr" ? kFrench : kEnglish;
            if (*c.lockup) t.window.listSelectPrefix(kLockupList, c.lockup);
        });
        t.program.run.startLine = c.startLine; // as -fromline leaves it, for the run still to come
        Strings expected{"simulate", "--lang", c.language, "--plan=/tmp/plan.svg"};
        expected.insert(expected.end(), c.options.begin(), c.options.end());
        expected.push_back(t.program.script.path);
        const auto sound =
            listensForSound(t.program.script) ? std::optional<std::string>("/tmp/s.wav") : std::nullopt;
        EXPECT_EQ(rehearsalArguments(t.program, t.window, "/tmp/plan.svg", sound), expected);
    }
}

} // namespace
} // namespace orvex::test
