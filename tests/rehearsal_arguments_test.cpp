// The desktop's Script › Plan… asks orvex-cli for the rehearsal of the loaded script with the main window's
// settings.
#include "app/desktop/rehearsal_arguments.h"
#include "tests/support/run_program.h"

#include <gtest/gtest.h>

namespace orvex::test {
namespace {

TEST(RehearsalArguments, CarryTheWindowsSettings) {
    const struct {
        const char* what;
        std::function<void(Program&, Window&)> set;
        std::optional<std::string> sound;
        Strings options; // between the plan and the script
        const char* language;
    } cases[] = {
        {"as loaded", [](Program&, Window&) {}, std::nullopt, {}, "en"},
        {"five passes",
         [](Program& p, Window&) {
             p.run.settings.loopEnabled = true;
             p.run.settings.loopCount = 5;
         },
         std::nullopt,
         {"--loop=5"},
         "en"},
        {"endless loop, a day of it",
         [](Program& p, Window&) { p.run.settings.loopEnabled = p.run.settings.loopInfinite = true; },
         std::nullopt,
         {"--loop=10000"},
         "en"},
        {"delayed start in universal time",
         [](Program& p, Window&) {
             p.run.settings.delayedStart = p.run.settings.universalTime = true;
             p.run.settings.startHour = 21, p.run.settings.startMinute = 30, p.run.settings.startSecond = 5;
         },
         std::nullopt,
         {"--start=21:30:05", "--ut"},
         "en"},
        {"two seconds of lock-up",
         [](Program&, Window& w) { w.listSelectPrefix(kLockupList, "2s"); },
         std::nullopt,
         {"--lockup=2s"},
         "en"},
        {"in French, hearing a recording",
         [](Program& p, Window&) { p.language = kFrench; },
         "/tmp/s.wav",
         {"--sound=/tmp/s.wav"},
         "fr"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RunProgram t(kSimulation);
        t.start({line().delay(10)}, "", [&] { c.set(t.program, t.window); });
        Strings expected{"simulate", "--lang", c.language, "--plan=/tmp/plan.svg"};
        expected.insert(expected.end(), c.options.begin(), c.options.end());
        expected.push_back(t.program.script.path);
        EXPECT_EQ(rehearsalArguments(t.program, t.window, "/tmp/plan.svg", c.sound), expected);
    }
}

TEST(RehearsalArguments, ASoundLineIsToldApart) {
    const std::pair<std::vector<std::string>, bool> cases[] = {{{"0", "Move", "21:00:00"}, false},
                                                               {{"0", "Sound"}, true}};
    for (const auto& [whens, listens] : cases) {
        Script script;
        for (const std::string& when : whens) {
            ScriptLine l;
            l.kind = when == "Sound"  ? TriggerKind::Sound
                     : when == "Move" ? TriggerKind::Move
                                      : TriggerKind::Delay;
            script.lines.push_back(l);
        }
        EXPECT_EQ(listensForSound(script), listens);
    }
}

} // namespace
} // namespace orvex::test
