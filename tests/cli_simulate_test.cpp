// orvex-cli simulate and run refuse options they cannot use, naming them; whole rehearsals are scenarios.
#include "tests/support/cli_process.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

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
        // A run always writes its pictures; a rehearsal without a body has none to name by an id.
        {"run --pictures", "--pictures"},
        {"simulate --pictures=no", "--pictures"},
        {"simulate --connect=580123456", "--connect"},
        {"run --connect=abc", "--connect"},
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

// A session that does not start its run says why, and its end line carries a text; a body asked for by its id
// is the one connected, a virtual one too, or is named when no body has it; a slave says first what it waits
// for.
TEST(CliSimulate, ASessionThatDoesNotStartSaysWhy) {
    const std::string group = "north-" + std::to_string(getpid());
    const struct {
        std::string args;
        std::string environment;
        int exitCode;
        std::vector<std::string> said; // in this order
    } cases[] = {
        // A 30 s exposure that the cable body cannot time without its cable.
        {"simulate --lang en --camera=cable", "", 1, {"0\tend\t69\tNot started\n"}},
        {"simulate --lang fr --camera=cable", "", 1, {"0\tend\t69\tNon démarrée\n"}},
        {"simulate --lang en --camera=bulb --connect=999",
         "",
         1,
         {"0\tmessage\tConnect camera\tNo camera has the body id 999\n", "0\tend\t69\tNot started\n",
          "orvex-cli: No camera has the body id 999\n"}},
        {"run --lang fr --camera=bulb --connect=12",
         "",
         1,
         {"orvex-cli: Aucun appareil n'a le numéro de boîtier 12\n"}},
        // The bulb preset's body, by its whole id and by its low 32 bits: the run completes.
        {"simulate --lang en --camera=bulb --connect=0580123456", "", 0, {}},
        {"simulate --lang en --camera=bulb --connect=580123456", "", 0, {}},
        {"run --lang en --camera=bulb --slave --until=0s",
         "ORVEX_SYNC_GROUP=" + group,
         1,
         {"orvex-cli: Waiting for a master to start its run, in sync group " + group + "\n",
          "\tend\t-\tuntil\n"}},
        {"run --lang fr --camera=bulb --slave --until=0s",
         "ORVEX_SYNC_GROUP=",
         1,
         {"orvex-cli: En attente du départ d'un maître, dans le groupe de synchronisation par défaut "
          "(ORVEX_SYNC_GROUP n'est pas défini)\n"}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string script =
            dir.write("night.txt", scriptText({line().delay(0).aperture("8").speed("30").quality("(L)")}));
        const CliResult r = runCli(c.args + " " + script + " 2>&1", "LC_ALL=C " + c.environment);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args << "\n" << r.out;
        std::size_t from = 0;
        for (const std::string& text : c.said) {
            const auto at = r.out.find(text, from);
            EXPECT_NE(at, std::string::npos) << c.args << ": " << text << "\n" << r.out;
            if (at != std::string::npos) from = at + text.size();
        }
        // Nothing comes before what a slave waits for.
        if (c.args.find("--slave") != std::string::npos) {
            EXPECT_EQ(r.out.rfind(c.said[0], 0), 0u) << r.out;
        }
    }
}

std::set<std::string> entriesOf(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        names.insert(std::filesystem::relative(entry.path(), dir).string());
    return names;
}

// A rehearsal never files its pictures where the night's go, writes them only when asked to (still naming
// each in its timeline, beside the files already there), and takes away only the folders it made and left
// empty.
TEST(CliSimulate, RehearsalPicturesAreFilesOnlyWhenAskedFor) {
    const std::string folder = "rehearsal/1 - Canon EOS 600D";
    const std::string first = folder + "/2026-12-06_21-00-00_0001.JPG";
    const struct {
        const char* options;
        int burst;
        std::vector<std::string> before; // folders, or files when they have an extension, made beforehand
        std::set<std::string> entries;
        const char* named; // the picture the timeline names; none when empty
    } cases[] = {
        {"", 0, {}, {"night.txt"}, ""},
        {"--camera=bulb", 0, {}, {"night.txt"}, first.c_str()},
        {"--camera=bulb --pictures", 0, {}, {"night.txt", "rehearsal", folder, first}, first.c_str()},
        // The name is taken: the picture gets the camera's own, as a written one would.
        {"--camera=bulb", 0, {first}, {"night.txt", "rehearsal", folder, first}, "IMG_0001.JPG"},
        // Refused at the start, once the picture folder is made: a burst without the cable.
        {"--camera=burst --pictures", 2, {}, {"night.txt"}, ""},
        // Folders that were there stay, empty as they are.
        {"--pictures", 0, {"rehearsal"}, {"night.txt", "rehearsal"}, ""},
        {"--camera=bulb --pictures", 0, {folder}, {"night.txt", "rehearsal", folder, first}, first.c_str()},
    };
    for (const auto& c : cases) {
        TempDir dir;
        for (const std::string& entry : c.before) {
            const std::filesystem::path path = dir.path() / entry;
            std::filesystem::create_directories(path.has_extension() ? path.parent_path() : path);
            if (path.has_extension()) dir.write(entry, "an older picture");
        }
        auto shot = line().delay(0).aperture("8").speed("1/250").quality("(L)");
        if (c.burst != 0) shot.burst(c.burst);
        const std::string script = dir.write("night.txt", scriptText({shot}));
        const CliResult r =
            runCli(std::string("simulate --clock=2026-12-06T21:00:00 ") + c.options + " " + script + " 2>&1");
        EXPECT_EQ(entriesOf(dir.path()), c.entries) << c.options;
        const auto at = r.out.find("\tpicture\t");
        const std::string named =
            at == std::string::npos ? "" : r.out.substr(at + 9, r.out.find('\n', at) - at - 9);
        EXPECT_TRUE(*c.named ? named.ends_with(c.named) : named.empty()) << c.options << "\n" << r.out;
    }
}

// A rehearsal that writes no file still makes each picture, smaller, with the facts its name is made of: its
// timeline is the one a rehearsal with --pictures prints, RAW files and thumbnails included.
TEST(CliSimulate, ARehearsalWithoutFilesPrintsTheTimelineOfOneWithThem) {
    for (const char* body : {"bulb", "300d", "10d"}) {
        TempDir dir;
        const std::string script =
            dir.write("night.txt", scriptText({line().delay(0).speed("1/250").quality("R"),
                                               line().delay(50).speed("1/250").quality("(L)"),
                                               line().delay(50).speed("1/250")}));
        const std::string arguments = std::string("--camera=") + body + " " + script + " 2>&1";
        const CliResult unwritten = runCli("simulate --clock=2026-12-06T21:00:00 " + arguments);
        const CliResult written = runCli("simulate --clock=2026-12-06T21:00:00 --pictures " + arguments);
        EXPECT_EQ(unwritten.out, written.out) << body;
        EXPECT_NE(unwritten.out.find("\tpicture\t"), std::string::npos) << body << "\n" << unwritten.out;
    }
}

// Each press of the shutter is one release event, however many pictures it makes: a burst gives many shots.
// After a mirror lock-up, the release is the press that opens the shutter, the lock-up's time later.
TEST(CliSimulate, EachPressOfTheShutterIsOneRelease) {
    const struct {
        const char* options;
        int burst;
        int releases, shots;
        const char* firstRelease;
    } cases[] = {
        {"", 0, 2, 2, "0\trelease\t2\t0\n"},
        {"--camera=bulb", 0, 2, 2, "0\trelease\t2\t0\n"},
        {"--camera=burst --serialport=VirtualCable", 2, 2, 22, "0\trelease\t2\t0\n"},
        {"--camera=bulb --lockup=2s", 0, 2, 2, "2100\trelease\t2\t0\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        auto shot = line().aperture("8").speed("1/250").quality("(L)");
        if (c.burst != 0) shot.burst(c.burst);
        const std::string script = dir.write(
            "night.txt", scriptText({ScriptLineText(shot).delay(0), ScriptLineText(shot).delay(100)}));
        const CliResult r =
            runCli(std::string("simulate --clock=2026-12-06T21:00:00 ") + c.options + " " + script + " 2>&1");
        const auto count = [&](const std::string& event) {
            std::size_t n = 0;
            for (auto at = r.out.find(event); at != std::string::npos; at = r.out.find(event, at + 1)) ++n;
            return static_cast<int>(n);
        };
        EXPECT_EQ(count("\trelease\t"), c.releases) << c.options << "\n" << r.out;
        EXPECT_EQ(count("\tshot\t"), c.shots) << c.options << "\n" << r.out;
        EXPECT_NE(r.out.find(c.firstRelease), std::string::npos) << c.options << "\n" << r.out;
        EXPECT_TRUE(r.out.ends_with("\tend\t35\tCompleted\n")) << c.options << "\n" << r.out;
    }
}

} // namespace
} // namespace orvex::test
