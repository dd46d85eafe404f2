// orvex-cli simulate and run refuse options they cannot use, naming them; whole rehearsals are scenarios,
// which also show that each press of the shutter is one release however many pictures it makes (a burst, a
// lock-up's release its time later).
#include "app/cli/plan_recorder.h"
#include "app/cli/run_options.h"
#include "app/cli/timeline_printer.h"
#include "tests/support/cli_process.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace orvex::test {
namespace {

TEST(CliSimulate, RefusedOptionsAreNamed) {
    // Each names the option of its last word, but for the argument too many.
    const char* cases[] = {
        "simulate y.txt", "simulate --clock=yesterday", "simulate --clock=2026-12-06T21:00:00.25x",
        "simulate --clock=2026-02-30T21:00:00", "simulate --clock=2025-02-29T21:00:00", "simulate --lockup=2",
        "simulate --clock=2026-12-06T-1:00:00", "simulate --until=soon", "simulate --until=1h30",
        "simulate --utc-offset=1", "simulate --bogus", "simulate --loop=abc", "simulate --loop=0",
        "simulate --loop=5x", "run --start=25:00", "run --start=7:30pm", "run --clock=2026-12-06T21:00:00",
        "run --utc-offset=+01:00", "simulate --serialport", "simulate --prefix=../m42",
        "simulate --prefix=m:42", "simulate --savetocam=no", "simulate --from-line=x", "run --from-line=",
        // Nobody can press a virtual body's release by hand: the run would wait for ever.
        "simulate --lockup=Manu", "run --camera=bulb --lockup=Manu",
        // A rehearsal's clock is its own: no master's start is a moment of it.
        "simulate --slave", "run --slave=yes",
        // A run always writes its pictures; a rehearsal without a body has none to name by an id.
        "run --pictures", "simulate --pictures=no", "simulate --connect=580123456", "run --connect=abc",
        // check says what was wrong as they do.
        "check --lang=de", "check --bogus", "check a.txt"};
    for (const std::string args : cases) {
        const std::string last = args.substr(args.rfind(' ') + 1);
        const std::string option =
            last.starts_with("--") ? last.substr(0, last.find('=')) : "unexpected argument: x.txt";
        const CliResult r = runCli(args + " x.txt 2>&1");
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_EQ(r.out.rfind("orvex-cli: " + option, 0), 0u) << args << "\n" << r.out;
    }
    const CliResult help = runCli("--help 2>/dev/null");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.starts_with("usage: orvex-cli cameras\n")) << help.out;

    // The refusal and the usage after it speak the language of --lang wherever it stands, else the system's;
    // a usage error exits with 2.
    const std::string loop =
        "orvex-cli: --loop attend un nombre de passages de 2 à 10000, et non 'abc'\nusage : ";
    const struct {
        std::string environment, args, out;
        int exitCode = 2;
    } languages[] = {
        {"LC_ALL=C", "simulate --lang fr --loop=abc x.txt", loop},
        {"LC_ALL=C", "simulate --loop=abc --lang=fr x.txt", loop},
        {"LC_ALL=fr_FR.UTF-8", "run --loop=abc x.txt", loop},
        {"LC_ALL=fr_FR.UTF-8", "check x.txt --lang en --bogus",
         "orvex-cli: --bogus is not an option of check\nusage: "},
        {"LC_ALL=C", "check --lang fr a.txt b.txt", "orvex-cli: argument en trop : b.txt\nusage : "},
        {"LC_ALL=C", "--help --lang fr", "usage : orvex-cli cameras\n", 0},
        {"LC_ALL=C", "", "usage: orvex-cli cameras\n"},
        {"LC_ALL=C", "check", "orvex-cli: no script given\nusage: "},
        {"LC_ALL=C", "check --lang de x.txt", "orvex-cli: --lang wants en or fr\nusage: "},
        {"LC_ALL=C", "bogus --lang fr",
         "orvex-cli: bogus n'est pas une commande : cameras, clock, check, simulate, run ou --help\nusage "
         ": "},
        {"LC_ALL=C", "cameras extra", "orvex-cli: unexpected argument: extra\nusage: "},
        {"LC_ALL=C", "simulate --prefix=m\\\\42 x.txt", "orvex-cli: --prefix cannot hold a \\\n"},
        {"LC_ALL=fr_FR.UTF-8", "simulate '--prefix=m\t42' x.txt",
         "orvex-cli: --prefix ne peut pas contenir de tabulation ni d'autre caractère de contrôle\n"},
        // A 29th of February of a leap year is a day: the rehearsal gets as far as the script.
        {"LC_ALL=C", "simulate --clock=2024-02-29T21:00:00 --lang fr /no/such.txt",
         "0\tmessage\tErreur\tImpossible d'accéder au fichier /no/such.txt\n", 1},
    };
    for (const auto& c : languages) {
        const CliResult r = runCli(c.args + " 2>&1", c.environment);
        EXPECT_TRUE(r.out.starts_with(c.out) && r.exitCode == c.exitCode) << c.args << "\n"
                                                                          << r.out << r.exitCode;
    }
}

// A session that does not start its run says why (scenarios refused-body-id-no-camera-has,
// refused-thirty-seconds-on-a-cable-body-in-french): a run's body asked for by an id no body has is named, a
// slave says first what it waits for, and a start line that is no exposure of the file is named (scenario
// resume-at-a-line starts at one).
TEST(CliSimulate, ASessionThatDoesNotStartSaysWhy) {
    const std::string group = "north-" + std::to_string(getpid());
    const auto noExposure = [](const std::string& line) {
        const std::string why =
            "Line " + line + " of the script is not an exposure: the run cannot start there\n";
        return "0\tmessage\tError\t" + why + "orvex-cli: " + why;
    };
    // A slave's rows: nothing comes before the first text, no status after it, and no picture folder.
    const struct {
        std::string args, environment;
        int exitCode;
        std::vector<std::string> said; // in this order; all that is said when refused with 2
    } cases[] = {
        {"run --lang fr --camera=bulb --connect=12",
         "",
         1,
         {"orvex-cli: Aucun appareil n'a le numéro de boîtier 12\n"}},
        // With no master starting, a slave waits without a run until --until ends it.
        {"run --lang en --camera=bulb --slave --until=300ms",
         "ORVEX_SYNC_GROUP=" + group,
         1,
         {"orvex-cli: Waiting for a master to start its run, in sync group " + group + "\n",
          "\tend\t-\tuntil\n"}},
        {"run --lang fr --camera=bulb --slave --until=0s",
         "ORVEX_SYNC_GROUP=",
         1,
         {"orvex-cli: En attente du départ d'un maître, dans le groupe de synchronisation par défaut "
          "(ORVEX_SYNC_GROUP n'est pas défini)\n"}},
        // The header, and the line after the last.
        {"simulate --lang en --from-line=1", "", 2, {noExposure("1")}},
        {"simulate --lang en --from-line=3", "", 2, {noExposure("3")}}};
    for (const auto& c : cases) {
        TempDir dir;
        const std::string script =
            dir.write("night.txt", scriptText({line().delay(0).aperture("8").speed("30").quality("(L)")}));
        const CliResult r = runCli(c.args + " " + script + " 2>&1", "LC_ALL=C " + c.environment);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args << "\n" << r.out;
        EXPECT_EQ(r.out.find("\tshot\t"), std::string::npos) << c.args << "\n" << r.out;
        EXPECT_EQ(c.exitCode == 2 ? r.out : c.said[0], c.said[0]) << c.args;
        const bool slave = c.args.find("--slave") != std::string::npos;
        EXPECT_EQ(slave ? r.out.rfind(c.said[0], 0) : 0u, 0u) << r.out;
        EXPECT_EQ(slave && r.out.find("\tstatus\t") != std::string::npos, false) << r.out;
        EXPECT_EQ(slave && std::filesystem::exists(dir.path() / "1 - Canon EOS 600D"), false) << c.args;
        std::size_t from = 0;
        for (const std::string& text : c.said) {
            const auto at = r.out.find(text, from);
            EXPECT_NE(at, std::string::npos) << c.args << ": " << text << "\n" << r.out;
            if (at != std::string::npos) from = at + text.size();
        }
    }
}

// A rehearsal of weeks counts its time on past the 49.7 days after which the run's millisecond tick comes
// round, in its timeline and its plan, also when nothing happens for longer (a Move line no movement fires).
TEST(CliSimulate, TheTimelineCountsOnPastTheTicksRound) {
    TestProgram t;
    std::ostringstream out;
    cli::TimelinePrinter printer(t.program, out);
    cli::PlanRecorder recorder(t.program);
    printer.start();
    recorder.start("night.txt");
    for (const std::uint64_t ms : {5'000'000'000ull, 1'000'000'000ull}) {
        t.clock.advance(ms);
        printer.lateChanged(false);
    }
    recorder.endUntil();
    EXPECT_EQ(out.str(), "5000000000\tlate\t0\n6000000000\tlate\t0\n");
    EXPECT_EQ(recorder.plan().end.atMs, 6'000'000'000u);
}

// A night of `run` with a Loop line goes on for days, where a rehearsal stops after one (scenario
// rehearsal-without-until-stops-after-a-day).
TEST(CliSimulate, OnlyARehearsalHasATimeLimitByDefault) {
    std::string error;
    const auto options = cli::parseRunOptions(cli::Command::Run, {"night.txt"}, kEnglish, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->untilMs, std::nullopt);
}

const std::string kRehearsal = "simulate --clock=2026-12-06T21:00:00";

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
    // Every rehearsal that starts leaves its log in its own folder.
    const std::string log = "rehearsal/night_2026-12-06_21-00-00.tsv";
    const struct {
        const char* options;
        int burst;
        std::vector<std::string> before; // folders, or files when they have an extension, made beforehand
        std::set<std::string> entries;
        std::string named; // the picture the timeline names; none when empty
    } cases[] = {
        {"", 0, {}, {"night.txt", "rehearsal", log}, ""},
        {"--camera=bulb", 0, {}, {"night.txt", "rehearsal", log}, first},
        // The name is taken: the picture gets the camera's own, as a written one would.
        {"--camera=bulb", 0, {first}, {"night.txt", "rehearsal", folder, first, log}, "IMG_0001.JPG"},
        // Refused at the start, once the picture folder is made: a burst without the cable.
        {"--camera=burst --pictures", 2, {}, {"night.txt"}, ""},
        // Folders that were there stay, empty as they are.
        {"--pictures", 0, {"rehearsal"}, {"night.txt", "rehearsal", log}, ""},
        {"--camera=bulb --pictures", 0, {folder}, {"night.txt", "rehearsal", folder, first, log}, first}};
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
        const CliResult r = runCli(kRehearsal + " " + c.options + " " + script + " 2>&1");
        EXPECT_EQ(entriesOf(dir.path()), c.entries) << c.options;
        const auto at = r.out.find("\tpicture\t");
        const std::string named =
            at == std::string::npos ? "" : r.out.substr(at + 9, r.out.find('\n', at) - at - 9);
        EXPECT_TRUE(c.named.empty() ? named.empty() : named.ends_with(c.named)) << c.options << "\n" << r.out;
    }
}

} // namespace
} // namespace orvex::test
