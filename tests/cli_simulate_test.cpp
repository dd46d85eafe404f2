// orvex-cli simulate and run refuse options they cannot use, naming them; whole rehearsals are scenarios.
#include "tests/support/cli_process.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace orvex::test {
namespace {

TEST(CliSimulate, RefusedOptionsAreNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"simulate y.txt", "unexpected argument: x.txt"},
        {"simulate --clock=yesterday", "--clock"},
        {"simulate --lockup=2", "--lockup"},
        {"simulate --until=soon", "--until"},
        {"simulate --utc-offset=1", "--utc-offset"},
        {"simulate --bogus", "--bogus"},
        {"simulate --loop=abc", "--loop"},
        {"simulate --loop=0", "--loop"},
        {"simulate --loop=5x", "--loop"},
        {"run --start=25:00", "--start"},
        {"run --start=7:30pm", "--start"},
        {"run --clock=2026-12-06T21:00:00", "--clock"},
        {"run --utc-offset=+01:00", "--utc-offset"},
        {"simulate --serialport", "--serialport"},
        {"simulate --prefix=../m42", "--prefix"},
        {"simulate --savetocam=no", "--savetocam"},
        {"simulate --from-line=x", "--from-line"},
        {"run --from-line=", "--from-line"},
        // Nobody can press a virtual body's release by hand: the run would wait for ever.
        {"simulate --lockup=Manu", "--lockup"},
        {"run --camera=bulb --lockup=Manu", "--lockup"},
        // A rehearsal's clock is its own: no master's start is a moment of it.
        {"simulate --slave", "--slave"},
        {"run --slave=yes", "--slave"},
    };
    for (const auto& [args, option] : cases) {
        const CliResult r = runCli(std::string(args) + (*option ? " x.txt" : "") + " 2>&1");
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_EQ(r.out.rfind(std::string("orvex-cli: ") + option, 0), *option ? 0u : std::string::npos)
            << args << "\n"
            << r.out;
    }
}

TEST(CliSimulate, HelpIsUsageOnStandardOutput) {
    const CliResult r = runCli("--help 2>/dev/null");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.starts_with("usage: orvex-cli cameras\n")) << r.out;
}

// Resuming a night starts at an exposure line of the file (scenario resume-at-a-line); any other is named.
TEST(CliSimulate, AStartLineThatIsNoExposureIsNamed) {
    TempDir dir;
    const std::string script = dir.write(
        "night.txt", scriptText({line().delay(0), line().delay(20), line().delay(20), line().delay(20)}));
    for (const std::string fileLine : {"1", "6"}) {
        const std::string arguments = "simulate --lang en --from-line=" + fileLine + " " + script;
        const CliResult r = runCli(arguments + " 2>/dev/null");
        EXPECT_EQ(r.exitCode, 2) << fileLine;
        EXPECT_EQ(r.out.find("\tshot\t"), std::string::npos) << r.out;
        EXPECT_EQ(runCli(arguments + " 2>&1 >/dev/null").out,
                  "orvex-cli: Line " + fileLine +
                      " of the script is not an exposure: the run cannot start there\n");
    }
}

std::set<std::string> entriesOf(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        names.insert(std::filesystem::relative(entry.path(), dir).string());
    return names;
}

// A rehearsal never files its pictures where the night's go, and leaves no folder it did not fill.
TEST(CliSimulate, RehearsalPicturesHaveAFolderOfTheirOwn) {
    const struct {
        const char* options;
        int burst;
        std::set<std::string> entries;
    } cases[] = {
        {"", 0, {"night.txt"}},
        {"--camera=bulb",
         0,
         {"night.txt", "rehearsal", "rehearsal/1 - Canon EOS 600D",
          "rehearsal/1 - Canon EOS 600D/2026-12-06_21-00-00_0001.JPG"}},
        // Refused at the start, once the picture folder is made: a burst without the cable.
        {"--camera=burst", 2, {"night.txt"}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        auto shot = line().delay(0).aperture("8").speed("1/250").quality("(L)");
        if (c.burst != 0) shot.burst(c.burst);
        const std::string script = dir.write("night.txt", scriptText({shot}));
        runCli(std::string("simulate --clock=2026-12-06T21:00:00 ") + c.options + " " + script +
               " >/dev/null 2>&1");
        EXPECT_EQ(entriesOf(dir.path()), c.entries) << c.options;
    }
}

} // namespace
} // namespace orvex::test
