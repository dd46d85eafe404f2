// The plan's picture: lanes, shapes placed on the clock-time axis, colours by release, titles, waits, marks,
// and a day of shots grouped into a picture of sensible size.
#include "app/cli/plan_axis.h"
#include "app/cli/plan_drawing.h"
#include "core/catalogue.h"
#include "tests/support/svg_shapes.h"

#include <gtest/gtest.h>
#include <regex>

namespace orvex::test {
namespace {

using cli::Plan;
using cli::Release;

constexpr CivilTime kNine{2026, 12, 6, 21, 0, 0, 0};

// Ten seconds on four lines: one shot of each release, a Sound wait, a second pass, a move along a chain.
Plan shortPlan(int language) {
    Plan plan;
    plan.language = language;
    plan.script = "night.txt";
    plan.start = kNine;
    plan.lines = {2, 3, 4, 5};
    plan.exposures = {{2, 0, 0, 2000, Release::Camera, false, "F/D 8"},
                      {3, 0, 4000, 1000, Release::Bulb, false, "F/D 5.6"},
                      {4, 0, 5000, 2000, Release::Cable, true, "F/D 4"},
                      {5, 1, 8000, 4, Release::Lockup, false, "F/D 11"}};
    plan.waits = {{3, 1000, 4000, "Sound ?"}};
    plan.passes = {{7000, "pass 1"}};
    plan.chains = {{6000, "a&b<c.txt"}};
    plan.end = {10000, "Completed"};
    return plan;
}

SvgShape only(const std::vector<SvgShape>& shapes) {
    EXPECT_EQ(shapes.size(), 1u);
    return shapes.empty() ? SvgShape{} : shapes.front();
}

TEST(PlanDrawing, ShapesStandOnTheClockTimeAxisOfTheirLanes) {
    const auto shapes = svgShapes(cli::drawPlan(shortPlan(kEnglish)));
    const double second = tickX(shapes, "21:00:01") - tickX(shapes, "21:00:00");
    ASSERT_GT(second, 0);
    // Each shot starts at its moment and is as long as its exposure, a short one still a visible sliver.
    const struct {
        const char* cls;
        const char* at;
        double seconds;
        int line;
    } cases[] = {{"shot camera", "21:00:00", 2, 2},
                 {"shot bulb", "21:00:04", 1, 3},
                 {"shot cable", "21:00:05", 2, 4},
                 {"shot lockup", "21:00:08", 0, 5}};
    const auto lanes = shapesOf(shapes, "text", "lane");
    ASSERT_EQ(lanes.size(), 4u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cls);
        const SvgShape shot = only(shapesOf(shapes, "rect", c.cls));
        EXPECT_EQ(shot.number("x"), tickX(shapes, c.at));
        EXPECT_NEAR(shot.number("width"), std::max(c.seconds * second, 2.0), 0.11);
        // On the lane whose label is nearest its middle.
        const double middle = shot.number("y") + shot.number("height") / 2;
        const SvgShape* nearest = &lanes.front();
        for (const SvgShape& lane : lanes)
            if (std::abs(lane.number("y") - middle) < std::abs(nearest->number("y") - middle))
                nearest = &lane;
        EXPECT_EQ(nearest->text, "Line " + std::to_string(c.line));
    }
    // The Sound wait spans its lane from its arming to its trigger.
    const SvgShape wait = only(shapesOf(shapes, "rect", "wait"));
    EXPECT_EQ(wait.number("x"), tickX(shapes, "21:00:01"));
    EXPECT_NEAR(wait.number("x") + wait.number("width"), tickX(shapes, "21:00:04"), 0.11);
    EXPECT_EQ(wait.title, "Sound ?, 21:00:01 – 21:00:04");
    // A burst carries its notch; the marks stand at their moments.
    EXPECT_EQ(shapesOf(shapes, "path", "burst").size(), 1u);
    EXPECT_EQ(only(shapesOf(shapes, "line", "pass")).number("x1"), tickX(shapes, "21:00:07"));
    EXPECT_EQ(only(shapesOf(shapes, "line", "chain")).number("x1"), tickX(shapes, "21:00:06"));
    EXPECT_EQ(only(shapesOf(shapes, "line", "end")).number("x1"), tickX(shapes, "21:00:10"));
    EXPECT_EQ(only(shapesOf(shapes, "text", "end")).text, "Completed");
}

TEST(PlanDrawing, ColoursTitlesAndLegendSpeakTheUsersLanguage) {
    const struct {
        int language;
        const char* cameraTitle;
        const char* burstTitle;
        const char* legend[4];
        const char* firstLane;
    } cases[] = {
        {kEnglish,
         "Line 2, pass 0, 21:00:00, Timed by the camera: F/D 8",
         "Line 4, pass 0, 21:00:05, Shutter cable, Burst 2 s: F/D 4",
         {"Timed by the camera", "Bulb, held by Orvex", "Shutter cable", "Mirror lock-up first"},
         "Line 2"},
        {kFrench,
         "Ligne 2, passage 0, 21:00:00, Pose par l'appareil: F/D 8",
         "Ligne 4, passage 0, 21:00:05, Câble de déclenchement, Rafale 2 s: F/D 4",
         {"Pose par l'appareil", "Pose B, tenue par Orvex", "Câble de déclenchement",
          "Verrouillage du miroir d'abord"},
         "Ligne 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        const auto shapes = svgShapes(cli::drawPlan(shortPlan(c.language)));
        EXPECT_EQ(only(shapesOf(shapes, "rect", "shot camera")).title, c.cameraTitle);
        EXPECT_EQ(only(shapesOf(shapes, "rect", "shot cable")).title, c.burstTitle);
        EXPECT_EQ(shapesOf(shapes, "text", "lane").front().text, c.firstLane);
        // Each release has a colour of its own, the one its legend names.
        const auto names = shapesOf(shapes, "text", "legend");
        ASSERT_EQ(names.size(), 4u);
        std::set<std::string> fills;
        int i = 0;
        for (const char* kind : {"camera", "bulb", "cable", "lockup"}) {
            const SvgShape key = only(shapesOf(shapes, "rect", std::string("legend ") + kind));
            EXPECT_EQ(only(shapesOf(shapes, "rect", std::string("shot ") + kind)).attributes.at("fill"),
                      key.attributes.at("fill"))
                << kind;
            fills.insert(key.attributes.at("fill"));
            EXPECT_EQ(names[i].text, c.legend[i]);
            ++i;
        }
        EXPECT_EQ(fills.size(), 4u);
    }
}

TEST(PlanDrawing, TextsAreEscaped) {
    const std::string svg = cli::drawPlan(shortPlan(kEnglish));
    EXPECT_NE(svg.find(">a&amp;b&lt;c.txt<"), std::string::npos);
    EXPECT_EQ(svg.find("a&b"), std::string::npos);
    EXPECT_EQ(svg.find("b<c"), std::string::npos);
}

// A shot every 10 s for a day, one line looped or a line per shot: a few hundred shapes, whose titles count
// every shot from when to when, on an axis in hours.
TEST(PlanDrawing, ADayOfShotsIsGroupedOnAnAxisInHours) {
    const struct {
        const char* what;
        bool looped;
        std::size_t lanes;
        const char* firstLane;
    } cases[] = {{"one line looped", true, 1, "Line 2"}, {"a line per shot", false, 48, "Line 2–181"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Plan plan;
        plan.language = kEnglish;
        plan.script = "day.txt";
        plan.start = {2026, 12, 6, 12, 0, 0, 0};
        for (int i = 0; i < 8640; ++i) {
            const auto at = static_cast<std::uint32_t>(i) * 10000;
            plan.exposures.push_back(
                {c.looped ? 2 : i + 2, c.looped ? i : 0, at, 4, Release::Camera, false, "x"});
            if (c.looped && i > 0) plan.passes.push_back({at, "pass"});
        }
        plan.end = {86390050, "Completed"};
        const std::string svg = cli::drawPlan(plan);
        EXPECT_LT(svg.size(), 300000u);
        const auto shapes = svgShapes(svg);
        const auto lanes = shapesOf(shapes, "text", "lane");
        ASSERT_EQ(lanes.size(), c.lanes);
        EXPECT_EQ(lanes.front().text, c.firstLane);
        const auto groups = shapesOf(shapes, "rect", "shots");
        EXPECT_LE(groups.size() + shapesOf(shapes, "rect", "shot").size(), 300u);
        EXPECT_LE(shapesOf(shapes, "line", "pass").size(), 400u);
        static const std::regex groupTitle(
            R"(Line ([\d–]+): (\d+) shots, (\d\d:\d\d:\d\d) – (\d\d:\d\d:\d\d))");
        std::size_t counted = shapesOf(shapes, "rect", "shot").size();
        std::vector<std::string> from, to;
        for (const SvgShape& g : groups) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(g.title, m, groupTitle)) << g.title;
            counted += std::stoul(m[2]);
            from.push_back(m[3]);
            to.push_back(m[4]);
        }
        EXPECT_EQ(counted, 8640u);
        ASSERT_FALSE(groups.empty());
        EXPECT_EQ(from.front(), "12:00:00");
        EXPECT_EQ(to.back(), "11:59:50");
        const auto ticks = shapesOf(shapes, "text", "tick");
        ASSERT_EQ(ticks.size(), 24u);
        for (const SvgShape& t : ticks)
            EXPECT_TRUE(std::regex_match(t.text, std::regex(R"(\d\d:00)"))) << t.text;
        EXPECT_EQ(ticks[1].text, "13:00");
    }
}

TEST(PlanAxis, TicksFollowTheClockAtAStepTheScaleAllows) {
    const struct {
        CivilTime start;
        std::uint64_t durationMs;
        double minSpacingMs;
        std::vector<std::pair<std::uint64_t, std::string>> firstTwo;
    } cases[] = {
        {kNine, 10000, 875, {{0, "21:00:00"}, {1000, "21:00:01"}}},
        {{2026, 12, 6, 21, 0, 0, 500}, 10000, 875, {{500, "21:00:01"}, {1500, "21:00:02"}}},
        {kNine, 600000, 20000, {{0, "21:00:00"}, {30000, "21:00:30"}}},
        {kNine, 3600000, 105000, {{0, "21:00"}, {120000, "21:02"}}},
        {{2026, 12, 6, 23, 30, 0, 0}, 86400000, 2520000, {{1800000, "00:00"}, {5400000, "01:00"}}},
    };
    for (const auto& c : cases) {
        const auto ticks = cli::axisTicks(c.start, c.durationMs, c.minSpacingMs);
        ASSERT_GE(ticks.size(), 2u);
        EXPECT_EQ((std::vector<std::pair<std::uint64_t, std::string>>{{ticks[0].atMs, ticks[0].label},
                                                                      {ticks[1].atMs, ticks[1].label}}),
                  c.firstTwo)
            << c.durationMs;
        EXPECT_LE(ticks.back().atMs, c.durationMs);
    }
}

} // namespace
} // namespace orvex::test
